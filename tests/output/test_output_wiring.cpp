#include "OutputTestSupport.h"

#include "app/Open_Export_Log.h"
#include "app/SKTWindowController.h"
#include "common/Globals.h"
#include "output/ui/ExportWindow.h"
#include "output/ui/Help_Support.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/Print_Wnd.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace outtest;

// The editor window's File and Help entries lead into the output windows.
class TestOutputWiring : public QObject {
    Q_OBJECT
private slots:
    void menuEntries() {
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        QVERIFY(wnd.Print_Action->isEnabled());
        QVERIFY(wnd.Export_Action->isEnabled());
        QCOMPARE(wnd.Print_Action->shortcut(), QKeySequence(QKeySequence::Print));
        QCOMPARE(wnd.Export_Action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QCOMPARE(wnd.Help_Action->shortcut(), QKeySequence(QKeySequence::HelpContents));
        QVERIFY(wnd.findChild<QAction*>("Share_Action"));
    }

    // Help from the menu: the help window runs modally and hides when closed.
    void helpFromTheWindow()
    {
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        QTimer::singleShot(0, &wnd, [&] {
            QVERIFY(wnd.HelpWindow && wnd.HelpWindow->isVisible());
            wnd.HelpWindow->closeButton->click();
        });
        wnd.Help_Action->trigger();
        QVERIFY(!wnd.HelpWindow->isVisible());
    }

    // Export from the menu: the window's design is written and the export-finished window names it.
    void exportFromTheWindow() {
        PromptScope scope;
        QTemporaryDir dir;
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        CARD_SIDE_STR = "2";
        wnd.Front_card_Prop.Card_Size = QSizeF(300, 150);
        wnd.Get_Front_Controls_Array().append(text("From the window", QRectF(10, 10, 200, 30)));
        OutputCommands* commands = wnd.outputCommands();
        commands->runExportWindow = [](ExportWindow&) { return 1; };
        commands->chooseSaveFile = [&](const QString&) { return dir.filePath("w.png"); };
        // The export-finished window is closed as soon as it shows.
        QTimer::singleShot(0, &wnd, [&] {
            QVERIFY(wnd.Open_Export_Files()->isVisible());
            QCOMPARE(wnd.Open_Export_Files()->_open_log_chk->text(), QStringLiteral("Open exported file."));
            wnd.Open_Export_Files()->CancelPressed();
        });
        wnd.Export_Action->trigger();
        QImage img;
        QVERIFY(img.load(dir.filePath("w.png"), "PNG"));
        QCOMPARE(img.size(), QSize(1250, 625)); // at the default 300 dpi
        QCOMPARE(wnd.Open_Export_Files()->_open_log_path->text(), dir.filePath("w.png"));
    }

    // Print from the menu opens the print dialog with the window's card size.
    void printFromTheWindow() {
        PromptScope scope;
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        wnd.Front_card_Prop.Card_Size = QSizeF(283.46, 141.73); // 100 x 50 mm
        QTimer::singleShot(0, &wnd, [&] {
            Print_Wnd* p = wnd.outputCommands()->printWindow();
            QVERIFY(p->isVisible());
            QCOMPARE(p->totalLabels(), 1);
            QVERIFY(qAbs(p->currentLayout().card.width() - 283.46) < 0.01);
            p->reject();
        });
        wnd.Print_Action->trigger();
        QVERIFY(!wnd.outputCommands()->printWindow()->isVisible());
    }
};

QTEST_MAIN(TestOutputWiring)
#include "test_output_wiring.moc"
