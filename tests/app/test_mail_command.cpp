// The window's e-mail command: the dialog sees the design's data, the worker sends from a snapshot while
// the live design keeps its own values, and row 0 is shown on the design afterwards.

#include "RecordingPrompt.h"
#include "app/SKTWindowController.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/BatchState.h"
#include "data/SeriesFiles.h"
#include "output/mail/ui/Send_Mail.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestMailCommand : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    RecordingPrompt prompt;

private slots:
    void batchMailLeavesTheLiveDesignAlone() {
        prompt.answer = false;
        setPromptHandler(&prompt);
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Names", {"Anna", "Ben", "Cleo"}));
        SKTDocument doc;
        SKTWindowController wnd(&doc);
        GraphicPtr item = makeGraphicOfClass("SKTText", false);
        item->setBounds(QRectF(10, 10, 200, 40));
        item->data_source_type = 1;
        item->batch_list_name = "Names";
        static_cast<SKTText*>(item.get())->setText("typed");
        wnd.Get_Front_Controls_Array().append(item);

        QStringList liveDuringSend;
        QStringList recipients;
        bool batchBoxEnabled = false;
        QTimer::singleShot(0, [&] {
            Send_Mail* dlg = Send_Mail::defaultInstance();
            QVERIFY(dlg->isVisible());
            dlg->setMailSender([&](const MailMessage& m) {
                liveDuringSend << item->_Text_contents;
                recipients << m.recipient;
                return MailSendResult{true, {}};
            });
            batchBoxEnabled = dlg->send_with_batch_chk->isEnabled();
            dlg->from_txt->setText("me@navu.test");
            dlg->to_txt->setText("a@navu.test, b@navu.test");
            dlg->send_with_batch_chk->click();
            QSignalSpy done(dlg, &Send_Mail::sendingFinished);
            dlg->send_btn->click();
            QVERIFY(done.wait(15000));
            dlg->close_btn->click();
        });
        wnd.Mail_Action->trigger();
        QVERIFY(batchBoxEnabled);
        QCOMPARE(recipients.size(), 6);
        QCOMPARE(liveDuringSend, QStringList(6, "typed"));
        QCOMPARE(item->_Text_contents, QString("Anna"));
        QVERIFY(!Card_Value_In_Process);
        QCOMPARE(prompt.texts,
                 QStringList{
                     "E-mail has been sent successfully.\n\nSent: 6, refused: 0, failed: 0, not tried: 0, skipped: 0."});
        setPromptHandler(nullptr);
    }
};

QTEST_MAIN(TestMailCommand)
#include "test_mail_command.moc"
