#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "HostilePictures.h"
#include "common/Globals.h"
#include "common/LongMessage.h"
#include "common/Prompt.h"
#include "common/ui/AppStyle.h"
#include "common/ui/FontPicking.h"
#include "common/ui/GuiPrompt.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "common/ui/PictureWait.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/UiHelpers.h"
#include "common/ui/WaitSheet.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QHeaderView>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QPushButton>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

// Runs f on a new thread and keeps the GUI event loop going until it ends.
void runInWorker(const std::function<void()>& f)
{
    std::unique_ptr<QThread> t(QThread::create(f));
    t->start();
    QTRY_VERIFY_WITH_TIMEOUT(t->isFinished(), 10000);
    t->wait();
}

// Acts on the next modal window as soon as it shows.
void whenModalShows(const std::function<void(QWidget*)>& act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

// Answers a box: 0 clicks Yes, 1 clicks No, 2 presses Return, 3 presses Escape.
void answerBox(QMessageBox* box, int action)
{
    if (action < 2)
        box->button(action == 0 ? QMessageBox::Yes : QMessageBox::No)->click();
    else
        QTest::keyClick(box, action == 2 ? Qt::Key_Return : Qt::Key_Escape);
}

} // namespace

class TestCommonUi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        window = std::make_unique<QMainWindow>();
        window->resize(400, 300);
        window->show();
        setMainWindow(window.get());
    }
    void cleanup() { setPromptHandler(nullptr); }
    void cleanupTestCase()
    {
        setMainWindow(nullptr);
        window.reset();
    }

    // First: it counts the threads Qt's painting starts, which earlier tests could have started.
    // A main window's tall toolbar, scroll bar, tab frame and group box around a table are painted without
    // Qt's paint threads, which Fusion wakes for every tall blended fill (it starts them when first needed).
    // The group box, which Fusion draws from a picture, is drawn as Fusion draws it.
    void appStyleTallBarsStartNoPaintThreads()
    {
        const auto threads = [] { return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(); };
        struct Painted {
            QImage window;
            QRect box;
        };
        const auto paint = [](QStyle* style) {
            QMainWindow window;
            auto* tools = new QToolBar;
            tools->addAction(QStringLiteral("Tool"));
            window.addToolBar(Qt::LeftToolBarArea, tools);
            auto* central = new QWidget;
            auto* row = new QHBoxLayout(central);
            row->addWidget(new QScrollBar(Qt::Vertical));
            auto* tabs = new QTabWidget;
            tabs->addTab(new QWidget, QStringLiteral("Card"));
            row->addWidget(tabs);
            // A table paints its own background: the box's clip is then several rectangles.
            auto* box = new QGroupBox(QStringLiteral("Size"));
            auto* table = new QTableWidget(3, 1);
            table->setHorizontalHeaderLabels({QStringLiteral("Size")});
            table->horizontalHeader()->setStretchLastSection(true);
            table->verticalHeader()->hide();
            (new QVBoxLayout(box))->addWidget(table);
            row->addWidget(box);
            window.setCentralWidget(central);
            for (QWidget* w : window.findChildren<QWidget*>())
                w->setStyle(style);
            window.setStyle(style);
            window.resize(600, 700);
            window.show();
            if (!QTest::qWaitForWindowExposed(&window))
                return Painted();
            window.repaint();
            return Painted{window.screen()->grabWindow(window.winId()).toImage(),
                           QRect(box->mapTo(&window, QPoint(0, 0)), box->size())};
        };
        AppStyle app(QStyleFactory::create(QStringLiteral("Fusion")));
        const qsizetype before = threads();
        const Painted ours = paint(&app);
        QCOMPARE(threads(), before);
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        const Painted theirs = paint(fusion.get());
        QVERIFY(!ours.window.isNull() && ours.box == theirs.box);
        QCOMPARE(ours.window.copy(ours.box), theirs.window.copy(theirs.box));
        if (threads() == before)
            QSKIP("Fusion's drawing started no paint thread either: nothing to compare with");
    }

    void promptFromWorker_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("message") << false << false;
        QTest::newRow("question yes") << true << true;
        QTest::newRow("question no") << true << false;
        QTest::newRow("markup shown as text") << false << false;
    }
    void promptFromWorker()
    {
        QFETCH(bool, question);
        QFETCH(bool, answerYes);
        GuiPromptHandler handler;
        QThread* boxThread = nullptr;
        QString shownText;
        QList<QMessageBox::StandardButton> buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QWidget* parent = nullptr;
        Qt::TextFormat format = Qt::AutoText;
        const QString text = QString::fromLatin1(QTest::currentDataTag()).startsWith("markup")
                                 ? QStringLiteral("<b>a<b>.png</b>")
                                 : QStringLiteral("List is empty.");
        handler.setBoxRunner([&](QMessageBox& box) {
            boxThread = QThread::currentThread();
            shownText = box.text();
            parent = box.parentWidget();
            format = box.textFormat();
            for (QAbstractButton* b : box.buttons())
                buttons << box.standardButton(b);
            defaultButton = box.standardButton(box.defaultButton());
            return answerYes ? QMessageBox::Yes : (question ? QMessageBox::No : QMessageBox::Ok);
        });
        setPromptHandler(&handler);

        bool result = !answerYes;
        QThread* worker = nullptr;
        runInWorker([&] {
            worker = QThread::currentThread();
            if (question)
                result = Show_YES_NO_MessageBox(QStringLiteral("Replace it?"));
            else
                Show_MessageBox(text);
        });
        QCOMPARE(boxThread, QThread::currentThread());
        QVERIFY(worker != QThread::currentThread());
        QCOMPARE(parent, window.get());
        if (question) {
            QCOMPARE(shownText, QStringLiteral("\nReplace it?"));
            QCOMPARE(buttons.size(), 2);
            QVERIFY(buttons.contains(QMessageBox::Yes) && buttons.contains(QMessageBox::No));
            QCOMPARE(defaultButton, QMessageBox::Yes);
            QCOMPARE(result, answerYes);
        } else {
            QCOMPARE(shownText, "\n" + text);
            QCOMPARE(format, Qt::PlainText);
            QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        }
    }

    // A message with details from a worker: "Show Details..." beside OK; it closes the box and shows every
    // line in the long-message dialog, titled with the message's first line, where they can be selected
    // and copied. OK alone shows nothing more.
    void detailsOfAMessage_data() {
        QTest::addColumn<bool>("open");
        QTest::newRow("Show Details") << true;
        QTest::newRow("OK") << false;
    }
    void detailsOfAMessage() {
        QFETCH(bool, open);
        GuiPromptHandler handler;
        setPromptHandler(&handler);
        QStringList rows;
        for (int i = 1; i <= 16; ++i)
            rows << QStringLiteral("Row %1: the picture /p/%1.jpg could not be read.").arg(i);
        QStringList labels;
        QString detailsTitle, detailsShown;
        bool selectable = false;
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                labels << b->text();
            QAbstractButton* show = box->buttons().value(labels.indexOf(QStringLiteral("Show Details...")));
            if (!open) {
                box->button(QMessageBox::Ok)->click();
                return;
            }
            show->click();
            whenModalShows([&](QWidget* d) {
                auto* dlg = qobject_cast<Long_SMS_Dlg*>(d);
                QVERIFY(dlg);
                detailsTitle = dlg->title_label->text();
                detailsShown = dlg->msg_text->toPlainText();
                selectable = dlg->msg_text->textInteractionFlags() & Qt::TextSelectableByKeyboard;
                dlg->ok_btn->click();
            });
        });
        runInWorker([&] {
            Show_MessageBox(
                QStringLiteral("The labels have been saved, but not every card is as designed.\n\n16 "
                               "of 16 cards had a problem:"),
                rows.join(QLatin1Char('\n')));
        });
        QCOMPARE(labels.size(), 2);
        QVERIFY(labels.contains(QStringLiteral("OK")));
        QCOMPARE(detailsShown, open ? rows.join(QLatin1Char('\n')) : QString());
        if (open) {
            QCOMPARE(detailsTitle,
                     QStringLiteral("The labels have been saved, but not every card is as designed."));
            QVERIFY(selectable);
        }
    }

    void realBoxAnswers_data()
    {
        QTest::addColumn<int>("action"); // 0 click Yes, 1 click No, 2 Return key, 3 Escape key
        QTest::addColumn<bool>("expected");
        QTest::newRow("click yes") << 0 << true;
        QTest::newRow("click no") << 1 << false;
        QTest::newRow("return takes the default") << 2 << true;
        QTest::newRow("escape is no") << 3 << false;
    }
    // The real box, run by exec() on the GUI thread while a worker waits for the answer.
    void realBoxAnswers()
    {
        QFETCH(int, action);
        QFETCH(bool, expected);
        GuiPromptHandler handler;
        setPromptHandler(&handler);
        QString seen;
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            seen = box->text();
            answerBox(box, action);
        });
        bool result = !expected;
        runInWorker([&] { result = Show_YES_NO_MessageBox(QStringLiteral("Stop now?")); });
        QCOMPARE(result, expected);
        QCOMPARE(seen, QStringLiteral("\nStop now?"));
    }

    void longMessageView_data()
    {
        QTest::addColumn<QString>("title_val");
        QTest::addColumn<QString>("msg_val_str");
        QTest::addColumn<bool>("apply_chk_show");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("showNo");
        QTest::newRow("globals") << QString() << QString("ignored") << false << QString("DPI (Dots Per Inch) :")
                                 << QString("Dots per inch...") << false;
        QTest::newRow("own texts") << QString("Message :") << QString("abc\nin use") << false
                                   << QString("Message :") << QString("abc\nin use") << true;
        QTest::newRow("own texts, check box") << QString("Batch Processing Series already exists :")
                                              << QString("x") << true
                                              << QString("Batch Processing Series already exists :") << QString("x")
                                              << true;
        QTest::newRow("globals, check box") << QString("") << QString("") << true << QString("DPI (Dots Per Inch) :")
                                            << QString("Dots per inch...") << false;
    }
    void longMessageView()
    {
        QFETCH(QString, title_val);
        QFETCH(QString, msg_val_str);
        QFETCH(bool, apply_chk_show);
        Cutom_Msg_Title = QStringLiteral("DPI (Dots Per Inch) :");
        Cutom_Msg_Val = QStringLiteral("Dots per inch...");
        const LongMessageView v = ::longMessageView(title_val, msg_val_str, apply_chk_show);
        QTEST(v.title, "title");
        QTEST(v.message, "message");
        QTEST(v.showNo, "showNo");
        QCOMPARE(v.showApplyAll, apply_chk_show);
    }

    void longMessageFinish_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("ok ticked") << 1 << true << 0 << 1;
        QTest::newRow("ok not ticked clears") << 1 << false << 1 << 0;
        QTest::newRow("no keeps set") << 0 << true << 1 << 1;
        QTest::newRow("no keeps clear") << 0 << true << 0 << 0;
    }
    void longMessageFinish()
    {
        QFETCH(int, code);
        QFETCH(bool, ticked);
        QFETCH(int, before);
        Msg_Apply_All_Chk = before;
        QCOMPARE(finishLongMessage(code, ticked), code);
        QTEST(Msg_Apply_All_Chk, "after");
    }

    void longDialogControls_data()
    {
        QTest::addColumn<QString>("title_val");
        QTest::addColumn<bool>("apply_chk_show");
        QTest::addColumn<bool>("noShown");
        QTest::newRow("globals") << QString() << false << false;
        QTest::newRow("own title") << QString("Message :") << false << true;
        QTest::newRow("own title, box") << QString("Message :") << true << true;
    }
    void longDialogControls()
    {
        QFETCH(QString, title_val);
        QFETCH(bool, apply_chk_show);
        QFETCH(bool, noShown);
        Cutom_Msg_Title = QStringLiteral("Help :");
        Cutom_Msg_Val = QStringLiteral("Line one\n\nLine two");
        Long_SMS_Dlg dlg(window.get());
        dlg.title_val = title_val;
        dlg.msg_val_str = QStringLiteral("own text");
        dlg.apply_chk_show = apply_chk_show;
        dlg.loadTexts();
        QCOMPARE(dlg.no_btn->isVisibleTo(&dlg), noShown);
        QCOMPARE(dlg.apply_all_chk->isVisibleTo(&dlg), apply_chk_show);
        QCOMPARE(dlg.title_label->text(), noShown ? title_val : QStringLiteral("Help :"));
        QCOMPARE(dlg.msg_text->toPlainText(), noShown ? QStringLiteral("own text") : Cutom_Msg_Val);
        QCOMPARE(dlg.palette().color(QPalette::Window), dialogBackgroundColor());
    }

    void explanationHasOnlyOk()
    {
        Msg_Apply_All_Chk = 1;
        Long_SMS_Dlg* dlg = Long_SMS_Dlg::defaultInstance();
        whenModalShows([&](QWidget*) {
            QVERIFY(!dlg->no_btn->isVisible());
            dlg->ok_btn->click();
        });
        QCOMPARE(dlg->showExplanation(QStringLiteral("Rows :"), QStringLiteral("The number of rows.")), 1);
        QCOMPARE(Msg_Apply_All_Chk, 1); // an explanation changes no answer
        dlg->title_val = QStringLiteral("Question :");
        dlg->loadTexts();
        QVERIFY(dlg->no_btn->isVisibleTo(dlg)); // the next caller's question keeps its "No"
    }

    void longDialogRun_data()
    {
        QTest::addColumn<bool>("pressOk");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("fromWorker");
        QTest::newRow("ok ticked") << true << true << 0 << 1 << 1 << false;
        QTest::newRow("ok unticked") << true << false << 1 << 1 << 0 << false;
        QTest::newRow("no") << false << true << 0 << 0 << 0 << false;
        QTest::newRow("ok from a worker") << true << true << 0 << 1 << 1 << true;
    }
    void longDialogRun()
    {
        QFETCH(bool, pressOk);
        QFETCH(bool, tick);
        QFETCH(int, before);
        Msg_Apply_All_Chk = before;
        Long_SMS_Dlg* dlg = Long_SMS_Dlg::defaultInstance();
        QCOMPARE(Long_SMS_Dlg::defaultInstance(), dlg);
        whenModalShows([&](QWidget* w) {
            QCOMPARE(w, dlg);
            QVERIFY(dlg->apply_all_chk->isVisible());
            QVERIFY(!dlg->apply_all_chk->isChecked());
            dlg->apply_all_chk->setChecked(tick);
            (pressOk ? dlg->ok_btn : dlg->no_btn)->click();
        });
        QFETCH(bool, fromWorker);
        int r = -1;
        const auto open = [&] {
            r = dlg->Open_Long_sms_Dialog(QStringLiteral("Batch Processing Series already exists :"),
                                          QStringLiteral("Guests\nBatch Processing Series already exists."), true);
        };
        if (fromWorker)
            runInWorker(open);
        else
            open();
        QTEST(r, "result");
        QTEST(Msg_Apply_All_Chk, "after");
        QVERIFY(!dlg->isVisible());
        // The texts were for this call only.
        QVERIFY(dlg->title_val.isEmpty() && dlg->msg_val_str.isEmpty() && !dlg->apply_chk_show);
        Msg_Apply_All_Chk = 0;
    }

    void setObjEnabled_data()
    {
        QTest::addColumn<bool>("flag");
        QTest::newRow("enable") << true;
        QTest::newRow("disable") << false;
    }
    void setObjEnabled()
    {
        QFETCH(bool, flag);
        QGroupBox box;
        auto* layout = new QVBoxLayout(&box);
        auto* edit = new QLineEdit(&box);
        auto* inner = new QGroupBox(&box);
        auto* deep = new QCheckBox(inner);
        layout->addWidget(edit);
        layout->addWidget(inner);
        // Start from the opposite, with one child set apart on its own.
        box.setEnabled(!flag);
        edit->setEnabled(!flag);
        deep->setEnabled(!flag);
        inner->setEnabled(flag);
        SetObjEnabled(&box, flag);
        for (QWidget* w : {static_cast<QWidget*>(&box), static_cast<QWidget*>(edit), static_cast<QWidget*>(inner),
                           static_cast<QWidget*>(deep)}) {
            QCOMPARE(w->isEnabled(), flag);
            QCOMPARE(w->testAttribute(Qt::WA_Disabled), !flag);
        }
        SetObjEnabled(nullptr, flag); // no crash
    }

    void waitSheetKeepsLoopRunning()
    {
        Show_Create_Modeless();
        WaitSheet* sheet = waitSheetOf();
        QVERIFY(sheet);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->parentWidget(), window.get());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QCOMPARE(sheet->text(), QStringLiteral("It may take a while, Please wait.."));
        // Show returns at once and events keep flowing.
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        QTRY_VERIFY(fired);
        Show_Create_Modeless();
        QCOMPARE(waitSheetOf(), sheet);

        QPointer<WaitSheet> guard(sheet);
        Hide_Destroy_Modeless();
        QVERIFY(!waitSheetOf());
        QTRY_VERIFY(guard.isNull());
        Hide_Destroy_Modeless(); // nothing shown: no effect
    }

    void waitSheetFromWorker()
    {
        QWidget dialogWindow;
        dialogWindow.show();
        bool shownWhileWorking = false;
        runInWorker([&] {
            Show_Create_Modeless(&dialogWindow);
            shownWhileWorking = waitSheetOf(&dialogWindow) != nullptr;
            Hide_Destroy_Modeless(&dialogWindow);
        });
        QVERIFY(shownWhileWorking);
        QVERIFY(!waitSheetOf(&dialogWindow));
        QVERIFY(!waitSheetOf()); // the main window's sheet is separate
    }

    void progressStop_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes stops") << true;
        QTest::newRow("no goes on") << false;
    }
    void progressStop()
    {
        QFETCH(bool, answer);
        RecordingPrompt prompt;
        prompt.answer = answer;
        setPromptHandler(&prompt);
        Send_Modeless* sheet = Send_Modeless::defaultInstance();
        sheet->resetProgress(12, QStringLiteral("0 / 12 Frame"));
        QVERIFY(!Stop_SMS_Sending_Now);
        Show_One_By_One_Modeless();
        QVERIFY(sheet->isVisible());
        sheet->_stop_btn->click();
        QCOMPARE(prompt.texts, QStringList{QStringLiteral("Are you sure you want to stop?")});
        QCOMPARE(Stop_SMS_Sending_Now.load(), answer);
        QVERIFY(sheet->isVisible()); // the owner hides it
        Hide_One_By_One_Modeless();
        QVERIFY(!sheet->isVisible());
        sheet->resetProgress(1, QString());
        QVERIFY(!Stop_SMS_Sending_Now);
    }

    void progressFromWorker()
    {
        Send_Modeless* sheet = Send_Modeless::defaultInstance();
        sheet->resetProgress(12, QStringLiteral("0 / 12 Frame"));
        QCOMPARE(sheet->_tot_msg_cnt->text(), QStringLiteral("12"));
        QCOMPARE(sheet->_Curr_Progress->maximum(), 12);
        Show_One_By_One_Modeless();
        runInWorker([&] {
            for (int i = 1; i <= 5; ++i)
                sheet->setProgressValue(i, QStringLiteral("%1 / 12 Frame").arg(i));
            sheet->setPauseText(QStringLiteral("Paused"));
            sheet->setStopEnabled(false);
            Hide_One_By_One_Modeless();
        });
        QCOMPARE(sheet->_Curr_Progress->value(), 5);
        QCOMPARE(sheet->_curr_msg_cnt->text(), QStringLiteral("5 / 12 Frame"));
        QCOMPARE(sheet->pause_label->text(), QStringLiteral("Paused"));
        QVERIFY(!sheet->_stop_btn->isEnabled());
        QVERIFY(!sheet->isVisible());
    }

    void cancellableQuestion_data()
    {
        QTest::addColumn<int>("action"); // 0 click Yes, 1 click No, 2 Return key, 3 Escape key
        QTest::addColumn<int>("expected");
        QTest::newRow("click yes") << 0 << int(PromptAnswer::Yes);
        QTest::newRow("click no") << 1 << int(PromptAnswer::No);
        QTest::newRow("return takes the default") << 2 << int(PromptAnswer::Yes);
        QTest::newRow("escape cancels") << 3 << int(PromptAnswer::Cancel);
    }
    // A question whose No throws work away: Escape must not count as No.
    void cancellableQuestion()
    {
        QFETCH(int, action);
        GuiPromptHandler handler;
        setPromptHandler(&handler);
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QVERIFY(box->button(QMessageBox::Cancel));
            answerBox(box, action);
        });
        PromptAnswer answer = PromptAnswer::Yes;
        runInWorker([&] { answer = Show_YES_NO_CANCEL_MessageBox(QStringLiteral("Save first?")); });
        QTEST(int(answer), "expected");
    }

    void fontDialogNames_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("picked"); // empty: the family the dialog shows
        QTest::addColumn<QString>("kept");
        // "Times New Roman" is drawn with its metric twin here.
        QTest::newRow("stand-in left as shown") << QStringLiteral("Times New Roman") << QString()
                                                << QStringLiteral("Times New Roman");
        QTest::newRow("stand-in changed") << QStringLiteral("Times New Roman") << QStringLiteral("DejaVu Sans")
                                          << QStringLiteral("DejaVu Sans");
        QTest::newRow("installed family") << QStringLiteral("DejaVu Serif") << QString()
                                          << QStringLiteral("DejaVu Serif");
    }
    void fontDialogNames()
    {
        QFETCH(QString, stored);
        QFETCH(QString, picked);
        const QFont current(stored, 18);
        const QFont shown = fontForFontDialog(current);
        // The dialog is shown an installed family, the one that draws the stored font.
        QVERIFY2(QFontDatabase::families().contains(shown.family()), qPrintable(shown.family()));
        QCOMPARE(shown.family(), QFontInfo(current).family());
        QCOMPARE(shown.pointSize(), 18);
        QFont chosen = shown;
        if (!picked.isEmpty())
            chosen.setFamily(picked);
        QTEST(fontFromFontDialog(chosen, current).family(), "kept");
    }

    // The program's style reads some of Qt's pictures itself and draws tab frames in opaque fills; what it
    // draws must not differ from its base.
    void appStyleDrawsAsItsBase()
    {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        AppStyle app(QStyleFactory::create(QStringLiteral("Fusion")));
        const auto drawn = [](QStyle* style, QWidget& widget) {
            widget.setStyle(style);
            widget.resize(200, 90);
            return widget.grab().toImage();
        };
        for (const auto& [title, checkable] : {std::pair(QStringLiteral("Border"), false), std::pair(QString(), false),
                                               std::pair(QStringLiteral("Fill"), true), std::pair(QString(), true)}) {
            QGroupBox box(title);
            box.setCheckable(checkable);
            QCOMPARE(drawn(&app, box), drawn(fusion.get(), box));
        }
        {
            QTableWidget table(2, 3);
            table.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Last")});
            table.selectColumn(1); // a highlighted section
            table.resize(300, 90);
            const auto header = [&table](QStyle* style) {
                table.setStyle(style);
                table.horizontalHeader()->setStyle(style);
                return table.horizontalHeader()->grab().toImage();
            };
            QCOMPARE(header(&app), header(fusion.get()));
        }
        for (const auto position : {QTabWidget::North, QTabWidget::South, QTabWidget::West}) {
            QTabWidget tabs;
            QPalette palette = tabs.palette(); // disabled colours of their own
            palette.setColor(QPalette::Disabled, QPalette::Button, QColor(200, 180, 180));
            palette.setColor(QPalette::Disabled, QPalette::Window, QColor(210, 200, 190));
            tabs.setPalette(palette);
            tabs.setTabPosition(position);
            tabs.addTab(new QLabel(QStringLiteral("Page")), QStringLiteral("Card"));
            tabs.addTab(new QWidget, QStringLiteral("Background"));
            tabs.resize(200, 90);
            tabs.show(); // laid out: its frame is drawn at its size
            QVERIFY(QTest::qWaitForWindowExposed(&tabs));
            QCOMPARE(drawn(&app, tabs), drawn(fusion.get(), tabs));
            tabs.setEnabled(false); // after the enabled frame, with the same palette
            QCOMPARE(drawn(&app, tabs), drawn(fusion.get(), tabs));
        }
        {
            // A compact tab bar has the tabs a padding style sheet gave it.
            QTabBar sheet, compact;
            sheet.setStyle(&app);
            compact.setStyle(&app);
            sheet.setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
            AppStyle::makeCompact(&compact);
            for (QTabBar* bar : {&sheet, &compact})
                for (const QString& text : {QStringLiteral("Card"), QStringLiteral("Text Properties")})
                    bar->addTab(text);
            for (int i = 0; i < 2; ++i)
                QCOMPARE(compact.tabRect(i), sheet.tabRect(i));
        }
        for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = direction;
            for (const auto arrow : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton})
                for (const int side : {8, 16, 32})
                    QCOMPARE(app.standardIcon(arrow, &option).pixmap(side).toImage(),
                             fusion->standardIcon(arrow, &option).pixmap(side).toImage());
        }
        for (int call = 0; call < 2; ++call) // the second from what the first kept
            for (const auto button : {QStyle::SP_TitleBarNormalButton, QStyle::SP_TitleBarMinButton,
                                      QStyle::SP_TitleBarCloseButton, QStyle::SP_DockWidgetCloseButton})
                QCOMPARE(app.standardIcon(button).pixmap(10).toImage(), fusion->standardIcon(button).pixmap(10).toImage());
    }

    // A picture the user picks is read on a worker under the wait sheet: the window's thread keeps running, and
    // Stop ends the read with no picture.
    void pictureWaitReadsOffTheWindow_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("read") << false;
        QTest::newRow("stopped") << true;
    }
    void pictureWaitReadsOffTheWindow()
    {
        QFETCH(bool, stop);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.jpg"));
        writeBytes(path, hostilepictures::repeatingLastScan(hostilepictures::progressiveGreyJpeg(6000, 6000), 6));
        bool timerFired = false;
        QTimer::singleShot(stop ? 250 : 1, [&] {
            timerFired = true;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* button = top->findChild<QPushButton*>(QStringLiteral("Stop")); button && top->isVisible() && stop)
                    button->click();
        });
        const PictureWait wait(window.get());
        QString why;
        const QImage picture = pictures::readPictureFile(path, {}, &why);
        QVERIFY(timerFired);
        QCOMPARE(picture.isNull(), stop);
        QCOMPARE(wait.stopped(), stop);
        QCOMPARE(why, stop ? pictures::StoppedMessage : QString());
    }

private:
    std::unique_ptr<QMainWindow> window;
};

QTEST_MAIN(TestCommonUi)
#include "test_common_ui.moc"
