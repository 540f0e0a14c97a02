// Long jobs behind a wait sheet, through the main window: no edit a user makes reaches the design while one
// runs, and a save marks saved exactly the state it wrote.

#include "../canvas_ui/ViewDriver.h"
#include "FileBytes.h"
#include "ScriptedPrompt.h"
#include "TestPictures.h"
#include "app/Open_Export_Log.h"
#include "app/SKTWindowController.h"
#include "app/designfile/DesignFile.h"
#include "app/inspector/InspectorPanel.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/ui/LongJobGuard.h"
#include "data/SeriesFiles.h"
#include "data/XlsxWriter.h"
#include "data/ui/Import_Excel.h"
#include "data/ui/SeriesDialogSupport.h"
#include "output/mail/ui/Send_Mail.h"
#include "output/ui/OutputCommands.h"
#include "output/ui/Print_Wnd.h"

#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

class TestLongJobs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompt m_prompt;
    SKTDocument* doc = nullptr;
    SKTWindowController* wnd = nullptr;
    StartRoadController* road = nullptr;
    GraphicPtr m_box;
    QString m_picture;

    QByteArray designBytes() { return designfile::toBytes(road->designCommands().captureDesign()); }
    SKTGraphicView* canvas() { return wnd->_graphicView; }

    // The roads an edit comes in by, as a user takes them; each gives whether the design changed.
    QStringList editRoads() {
        const QPointF at = canvas()->mapFromCanvas(m_box->bounds().center());
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(m_picture)});
        const std::pair<const char*, std::function<void()>> roads[] = {
            {"Ctrl+D", [&] { QTest::keyClick(canvas(), Qt::Key_D, Qt::ControlModifier); }},
            {"Ctrl+Z", [&] { QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier); }},
            {"arrow key", [&] { QTest::keyClick(canvas(), Qt::Key_Right, Qt::ShiftModifier); }},
            {"drag", [&] { viewdriver::drag(canvas(), at, at + QPointF(40, 25)); }},
            {"inspector", [&] { QTest::keyClick(wnd->inspector()->shape_alpha_Stepper, Qt::Key_Down); }},
            {"drop", [&] {
                QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
                QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(canvas(), &enter);
                QApplication::sendEvent(canvas(), &drop);
                QTest::qWait(5); // the drop places its pictures once it has ended
            }},
            {"Delete", [&] { QTest::keyClick(canvas(), Qt::Key_Delete); }},
        };
        QStringList changed;
        for (const auto& [name, run] : roads) {
            selectBox();
            const QByteArray before = designBytes();
            const int steps = doc->undoManager()->index();
            run();
            if (designBytes() != before || doc->undoManager()->index() != steps)
                changed << QLatin1String(name);
        }
        return changed;
    }
    void selectBox() {
        canvas()->setSelectionIndexes({canvas()->graphics().indexOf(m_box)});
        wnd->Show_RHS_Properties(m_box);
        canvas()->setFocus();
    }

private slots:
    void initTestCase() {
        Resource_Path = m_dir.path();
        Data_Folder_Path = m_dir.filePath(QStringLiteral("DataSet"));
        QDir().mkpath(Data_Folder_Path);
        setPromptHandler(&m_prompt);
        Open_Export_Log::setOpener([](const QUrl&) { return true; });
        m_picture = writePicture(m_dir.filePath(QStringLiteral("red.png")), Qt::red, QSize(40, 30));
    }
    void cleanupTestCase() { setPromptHandler(nullptr); Open_Export_Log::setOpener({}); }
    void init() {
        Card_Front_Or_Back = 0;
        m_prompt.texts.clear();
        doc = new SKTDocument;
        wnd = new SKTWindowController(doc);
        road = new StartRoadController(*wnd);
        road->designCommands().quitApplication = [] {};
        road->New_Project();
        wnd->resize(1366, 768);
        wnd->show();
        QVERIFY(QTest::qWaitForWindowExposed(wnd));
        wnd->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(wnd));
        m_box = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
        m_box->_shape_type = QStringLiteral("R");
        m_box->setBounds(QRectF(40, 40, 80, 60));
        m_box->data_source_type = 0;
        doc->insertGraphics(CardSide::Front, {m_box});
        doc->setSaved();
    }
    void cleanup() { delete road; delete wnd; delete doc; m_box.reset(); }

    // Each road changes the design when no job runs (else the rows below would prove nothing); while a job
    // runs, an edit sent from inside its wait changes nothing, and one posted then lands after it.
    void editsWaitForLongJobs_data() {
        QTest::addColumn<QString>("job");
        for (const char* job : {"save", "open", "import sheet", "series import", "picture read", "print", "export", "mail"})
            QTest::newRow(job) << QString::fromLatin1(job);
    }
    void editsWaitForLongJobs() {
        QFETCH(QString, job);
        selectBox();
        const QStringList all{"Ctrl+D", "Ctrl+Z", "arrow key", "drag", "inspector", "drop", "Delete"};
        QCOMPARE(editRoads(), all);
        while (doc->undoManager()->index() > 1)
            wnd->Undo_Clicked();
        const QString path = m_dir.filePath(QStringLiteral("jobs.kvto"));
        QVERIFY(road->designCommands().Save_project_file(path, false));
        selectBox();

        // A drag under way when the job begins ends there (the hand lets go during the job): after it, the
        // mouse moved with no button held drags nothing.
        const QPointF held = canvas()->mapFromCanvas(m_box->bounds().center());
        viewdriver::press(canvas(), held);
        viewdriver::send(canvas(), QEvent::MouseMove, held + QPointF(6, 4), Qt::NoButton, Qt::LeftButton, {});
        QStringList changedInside{"not tried"};
        bool guarded = false;
        // Tried from inside the job's wait: sent at once, and a key posted, handled when its turn comes.
        auto tryEdits = [&] {
            guarded = LongJobGuard::active();
            viewdriver::release(canvas(), held + QPointF(9, 6));
            changedInside = editRoads();
            QCoreApplication::postEvent(canvas(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier));
        };
        auto tryEditsWhenJobWaits = [&] { QMetaObject::invokeMethod(wnd, tryEdits, Qt::QueuedConnection); };
        const QString book = m_dir.filePath(QStringLiteral("guests.xlsx"));
        QVERIFY(XlsxWriter::WriteWorkbook(book, {{QStringLiteral("Name")}, {QStringLiteral("Bea")}}));
        QStringList names;
        for (int i = 0; i < 20; ++i)
            names << QStringLiteral("Guest %1").arg(i);
        QVERIFY(SeriesFiles::writeSeries(QStringLiteral("Names"), names));
        QTimer closer; // the windows a job leaves open at its end
        connect(&closer, &QTimer::timeout, [&] {
            if (wnd->Open_Export_Files()->isVisible())
                wnd->Open_Export_Files()->CancelPressed();
            if (auto* sheet = qobject_cast<Import_Excel*>(QApplication::activeModalWidget())) {
                sheet->Select_ALL_Pressed();
                sheet->OKPressed();
            }
        });
        closer.start(5);

        if (QStringList{"save", "open", "import sheet", "series import", "picture read"}.contains(job))
            tryEditsWhenJobWaits();
        if (job == "save")
            QVERIFY(road->designCommands().Save_project_file(path, false));
        else if (job == "open") {
            QVERIFY(road->designCommands().openDesignFile(path));
            m_box = doc->graphics().first();
        } else if (job == "import sheet")
            QCOMPARE(Import_Excel::defaultInstance()->Open_excel_Wnd(book), 1);
        else if (job == "series import")
            SeriesDialogs::runWithWait(wnd, [] { QThread::msleep(20); });
        else if (job == "picture read")
            road->framePicked(m_picture);
        else if (job == "print") {
            QTimer::singleShot(0, wnd, [&] {
                Print_Wnd* p = wnd->outputCommands()->printWindow();
                p->choosePdfPath = [this] { return m_dir.filePath(QStringLiteral("labels.pdf")); };
                tryEditsWhenJobWaits();
                QVERIFY(p->Execute_Printing(false));
                p->reject();
            });
            wnd->Print_Action->trigger();
        } else if (job == "export") {
            const GraphicPtr name = makeGraphicOfClass(QStringLiteral("SKTText"), false);
            name->setBounds(QRectF(10, 10, 200, 40));
            name->data_source_type = 1;
            name->batch_list_name = QStringLiteral("Names");
            doc->insertGraphics(CardSide::Front, {name});
            selectBox();
            OutputCommands* out = wnd->outputCommands();
            out->runExportWindow = [](ExportWindow&) { return 1; };
            out->chooseFolder = [this] { return m_dir.path(); };
            QSignalSpy done(out, &OutputCommands::batchFinished);
            wnd->Export_Action->trigger();
            QVERIFY(out->batchRunning());
            tryEditsWhenJobWaits();
            QVERIFY(done.wait(20000));
        } else if (job == "mail") {
            std::atomic<bool> tried = false;
            QTimer::singleShot(0, wnd, [&] {
                Send_Mail* dialog = Send_Mail::defaultInstance();
                dialog->setMailSender([&](const MailMessage&) {
                    while (!tried)
                        QThread::msleep(1);
                    return MailSendResult{true, {}};
                });
                dialog->from_txt->setText(QStringLiteral("me@navu.test"));
                dialog->to_txt->setText(QStringLiteral("a@navu.test"));
                QMetaObject::invokeMethod(wnd, [&] { tryEdits(); tried = true; }, Qt::QueuedConnection);
                QSignalSpy done(dialog, &Send_Mail::sendingFinished);
                dialog->send_btn->click();
                QVERIFY(done.wait(20000));
                dialog->close_btn->click();
            });
            wnd->Mail_Action->trigger();
        }
        QVERIFY2(guarded, "the edits were tried outside the job");
        QCOMPARE(changedInside, QStringList());
        QCoreApplication::processEvents();
        const QByteArray afterJob = designBytes();
        viewdriver::send(canvas(), QEvent::MouseMove, held + QPointF(60, 40), Qt::NoButton, Qt::NoButton, {});
        QVERIFY(designBytes() == afterJob);
        QCoreApplication::processEvents();
        // Whatever landed after the job counts as a change from the saved file.
        QCOMPARE(doc->isModified(), designBytes() != readBytes(path));
    }

    // An edit reaching the document straight during a save is not in the file nor marked saved; undoing it
    // gives the saved state, unmodified.
    void saveMarksTheStateItWrote() {
        const QString path = m_dir.filePath(QStringLiteral("mark.kvto"));
        const auto insert = [this] { doc->insertGraphics(CardSide::Front, {makeGraphicOfClass(QStringLiteral("SKTText"), false)}); };
        QMetaObject::invokeMethod(wnd, insert, Qt::QueuedConnection);
        QVERIFY(road->designCommands().Save_project_file(path, false));
        QCOMPARE(doc->graphics().size(), 2);
        QVERIFY(doc->isModified());
        const auto saved = designfile::load(path);
        QVERIFY(saved);
        QCOMPARE(saved->frontItems.size(), 1);
        wnd->Undo_Clicked();
        QVERIFY(!doc->isModified());
        QCOMPARE(designBytes(), readBytes(path));
        wnd->Redo_Clicked();
        QVERIFY(doc->isModified());
    }

    // A command started while a job runs says why it waits; the window does not close meanwhile.
    void commandsDuringAJobSayWhy() {
        DesignCommands& cmd = road->designCommands();
        bool asked = false;
        cmd.askSavePath = [&] { asked = true; return m_dir.filePath(QStringLiteral("other.kvto")); };
        QStringList said;
        QMetaObject::invokeMethod(wnd, [&] {
            m_prompt.texts.clear();
            cmd.Save_As_Clicked(); cmd.Open_Design_Clicked(); cmd.Exit_App();
            wnd->Print_Button(); wnd->Export_Button(); wnd->Mail_Button(); wnd->close();
            said = m_prompt.texts;
        }, Qt::QueuedConnection);
        QVERIFY(cmd.Save_project_file(m_dir.filePath(QStringLiteral("busy.kvto")), false));
        QVERIFY(!asked);
        QVERIFY(wnd->isVisible());
        QCOMPARE(said, QStringList(7, LongJobGuard::busyMessage()));
    }
};

QTEST_MAIN(TestLongJobs)
#include "test_long_jobs.moc"
