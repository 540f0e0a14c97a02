// The e-mail dialog and the settings dialog, driven headless: checks before sending, the worker run behind
// the progress sheet, the final message, restoring row 0, and the settings dialog's save, reset and test
// mail.

#include "RecordingPrompt.h"
#include "LoopbackSmtp.h"

#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/Send_Modeless.h"
#include "common/ui/WaitSheet.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "output/mail/MailDesignSource.h"
#include "output/mail/MailSettings.h"
#include "output/mail/ui/Email_Setting.h"
#include "output/mail/ui/Send_Mail.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QtTest>

namespace {
class TestSource : public MailDesignSource {
public:
    GraphicList front, back;
    Data_From_Excel table;
    SeriesBindingTable series;
    int restores = 0;
    void checkData() override { Check_Series_Or_Excel_Use_or_not(front, back, true, table, series); }
    std::unique_ptr<BatchFillJob> makeJob() override {
        Get_total_Card_count(series, table);
        return BatchFillJob::create(
            {front, back, Card_Property::defaults("F"), Card_Property::defaults("B"), 0, true}, series,
            table);
    }
    void restoreFirstRow(BatchFillJob& job) override {
        ++restores;
        job.Select_first_row_value_for_design(front, back, false);
    }
};

GraphicPtr seriesText(const QString& series) {
    GraphicPtr g = makeGraphicOfClass("SKTText", false);
    g->setBounds(QRectF(10, 10, 200, 40));
    g->data_source_type = 1;
    g->batch_list_name = series;
    return g;
}
} // namespace

class TestMailDialog : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QTemporaryDir tempRoot;
    RecordingPrompt prompt;
    TestSource source;
    QList<MailMessage> calls;
    QSet<int> failing;
    QList<bool> onGuiThread;

    MailSender recorder() {
        return [this](const MailMessage& m) {
            calls << m;
            onGuiThread << (QThread::currentThread() == qApp->thread());
            return MailSendResult{!failing.contains(int(calls.size())), "refused"};
        };
    }
    // Clicks Send and waits for the run to end; false when it never ends.
    bool sendAndWait(Send_Mail& dlg) {
        QSignalSpy done(&dlg, &Send_Mail::sendingFinished);
        dlg.send_btn->click();
        if (!dlg.isSending())
            return true;
        return done.wait(15000);
    }
    bool tempRootEmpty() const {
        return QDir(tempRoot.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void initTestCase() {
        setPromptHandler(&prompt);
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Names", {"Anna", "Ben", "Cleo"}));
        qputenv("NAVU_MAIL_SCRIPT", NAVU_RESOURCES_DIR "/pyth_mail.py");
        source.front = {seriesText("Names")};
        CARD_SIDE_STR = "2";
    }
    void cleanupTestCase() { setPromptHandler(nullptr); }
    void init() {
        prompt.texts.clear();
        calls.clear();
        failing.clear();
        onGuiThread.clear();
        sender_email = "Me@Navu.test";
        source.checkData();
    }

    void opensReset() {
        Send_Mail dlg;
        dlg.to_txt->setText("x@y.org");
        dlg.file_name_txt->setText("other");
        dlg.delayed_delv_chk->setChecked(true);
        dlg.resetDialog();
        QCOMPARE(dlg.from_txt->text(), QString("Me@Navu.test"));
        QCOMPARE(dlg.to_txt->text(), QString());
        QCOMPARE(dlg.file_name_txt->text(), QString("NAVUFrame"));
        QCOMPARE(dlg.card_side_str, QString("F"));
        QVERIFY(dlg.side_rows[1]->isChecked());
        QVERIFY(dlg.rd_mail_curr_barcode->isChecked());
        QVERIFY(dlg.send_with_batch_chk->isEnabled()); // the design uses a series
        QVERIFY(!dlg.send_with_excel_chk->isEnabled());
        QVERIFY(!dlg.rd_all_to_every->isEnabled());
        QVERIFY(!dlg.delayed_delv_chk->isChecked());
        QVERIFY(!dlg.delayed_box->isEnabled());
        QCOMPARE(dlg.mail_count_stepper->value(), 1);
        dlg.send_with_batch_chk->click();
        QVERIFY(dlg.rd_all_to_every->isEnabled());
        dlg.rd_without_barcode->click();
        QVERIFY(!dlg.send_sett_box->isEnabled());
        QVERIFY(dlg.browse_att->isEnabled());
    }

    // Entries that refuse the sending: their message, nothing sent, no sheet.
    void refusals_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("plainFile"); // set: plain mode with this file
        const struct {
            const char* tag;
            QString from, to, name, message, plainFile;
        } rows[] = {
            {"no sender", " ", "a@x.org", "NAVUFrame", "Please make sure that:", ""},
            {"no recipient", "me@x.org", "", "NAVUFrame", "Please specify the Recipient E-mail address.", ""},
            {"bad recipient", "me@x.org", "a@x", "NAVUFrame", "Recipient E-mail address is invalid", ""},
            {"empty name", "me@x.org", "a@x.org", " /*? ", "Please enter valid file name.", ""},
            {"dot name", "me@x.org", "a@x.org", "..", "", ""},
            {"pasted line break in the recipients", "me@x.org", "a@x.org\nBcc: b@y.org", "NAVUFrame",
             "The recipient list holds a line break. Please type it on one line.", ""},
            {"line break in the sender", "me@x.org\r\n", "a@x.org", "NAVUFrame",
             "The From address holds a line break.", ""},
            {"plain file missing", "me@x.org", "a@x.org", "NAVUFrame",
             "The file to attach does not exist:\n/no/such/file.pdf", "/no/such/file.pdf"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.from << r.to << r.name << r.message << r.plainFile;
    }
    void refusals() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, plainFile);
        Send_Mail dlg;
        dlg.setMailSender(recorder());
        dlg.from_txt->setText(from);
        dlg.to_txt->setText(to);
        dlg.file_name_txt->setText(name);
        if (!plainFile.isEmpty()) {
            dlg.rd_without_barcode->click();
            dlg.attachment->setText(plainFile);
        }
        dlg.send_btn->click();
        QVERIFY(!dlg.isSending());
        QVERIFY(calls.isEmpty());
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts[0].startsWith(message), qPrintable(prompt.texts[0]));
        if (from.trimmed().isEmpty())
            QVERIFY(prompt.texts[0].endsWith("\n\nReason: the From address is empty."));
    }

    // Without data: one mail per recipient, lower-cased, sent from the worker; the sheet is hidden and the
    // message counts the mails.
    void sendsWithoutData() {
        Send_Mail dlg;
        dlg.setDesignSource(&source);
        dlg.setMailSender(recorder());
        dlg.setTempRoot(tempRoot.path());
        dlg.show();
        dlg.to_txt->setText("Ann@X.org, bob@x.org");
        dlg.subject_txt->setText("Hi");
        dlg.message_txt->setPlainText("Text");
        dlg.side_rows[0]->click();
        QVERIFY(sendAndWait(dlg));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].recipient, QString("ann@x.org"));
        QCOMPARE(calls[1].recipient, QString("bob@x.org"));
        QCOMPARE(calls[0].sender, QString("me@navu.test"));
        QCOMPARE(calls[0].subject, QString("Hi"));
        QCOMPARE(calls[0].body, QString("Text"));
        QCOMPARE(calls[0].attachments.size(), 2);
        QCOMPARE(onGuiThread, (QList<bool>{false, false}));
        QCOMPARE(prompt.texts,
                 QStringList{
                     "E-mail has been sent successfully.\n\nSent: 2, refused: 0, failed: 0, not tried: 0, skipped: 0."});
        QVERIFY(!Send_Modeless::defaultInstance()->isVisible());
        QVERIFY(dlg.send_btn->isEnabled());
        QVERIFY(tempRootEmpty());
        QCOMPARE(source.restores, 0);
    }

    // With data, row i to recipient i: row 0 is put back on the design afterwards; a failure is reported
    // as a failure even when an earlier mail went out.
    void sendsWithDataAndReportsFailure() {
        Send_Mail dlg;
        dlg.setDesignSource(&source);
        dlg.setMailSender(recorder());
        dlg.setTempRoot(tempRoot.path());
        dlg.show();
        dlg.to_txt->setText("a@x.org, b@x.org, c@x.org");
        dlg.send_with_batch_chk->click();
        dlg.rd_one_per_recp->click();
        failing = {2};
        static_cast<SKTText*>(source.front[0].get())->setText("typed");
        QVERIFY(sendAndWait(dlg));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(source.restores, 1);
        QCOMPARE(source.front[0]->_Text_contents, QString("Anna"));
        QVERIFY(!Card_Value_In_Process);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts[0].startsWith("Could not send email message."));
        QVERIFY2(
            prompt.texts[0].endsWith("server.\n\nReason: refused\n\nSent: 1, refused: 0, failed: 1, not "
                                        "tried: 1, skipped: 0.\nNot tried because the run ended at a failure: 1.\n\nNot sent:\n"
                                     "Row 2, to b@x.org failed: refused"),
            qPrintable(prompt.texts[0]));
        QCOMPARE(dlg.lastResult().failed, 1);
    }

    // A first row that already fails is asked about once, before anything is sent; No sends nothing. Yes
    // sends, and the finish message names the first rows and offers every one in its details.
    void firstRowProblemAsksBeforeSending() {
        const QString missing = root.filePath("photos/a.jpg");
        QVERIFY(SeriesFiles::writeSeries("Photos", QStringList(8, missing)));
        GraphicPtr photo = makeGraphicOfClass("SKTImage", false);
        photo->setBounds(QRectF(0, 0, 40, 40));
        photo->data_source_type = 1;
        photo->batch_list_name = "Photos";
        const GraphicList saved = source.front;
        source.front << photo;
        source.checkData();
        Send_Mail dlg;
        dlg.setDesignSource(&source);
        dlg.setMailSender(recorder());
        dlg.setTempRoot(tempRoot.path());
        dlg.resetDialog();
        dlg.to_txt->setText("a@x.org");
        dlg.send_with_batch_chk->click();
        prompt.answer = false;
        dlg.send_btn->click();
        prompt.answer = true;
        QVERIFY(!dlg.isSending());
        QVERIFY(calls.isEmpty());
        QCOMPARE(
            prompt.texts,
            QStringList{QString("The first card already has a problem:\nRow 1: the picture %1 could not be "
                                "read.\n\nCards with a problem are made without what could not be used. Do "
                                "you want to go on?")
                            .arg(missing)});
        QVERIFY(!Card_Value_In_Process);
        QVERIFY(sendAndWait(dlg));
        source.front = saved;
        QVERIFY2(
            prompt.texts.last().endsWith(QString("\nRow 5: the picture %1 could not be read.\n... and 3 more "
                                                 "cards.")
                                             .arg(missing)),
            qPrintable(prompt.texts.last()));
        QStringList every;
        for (int row = 1; row <= 8; ++row)
            every << QString("Row %1: the picture %2 could not be read.").arg(row).arg(missing);
        QCOMPARE(prompt.details, QStringList{every.join('\n')});
    }

    // Closing the dialog while the script waits on a server that never answers asks to stop, ends that
    // mail at once (not sent), and the dialog closes right after.
    void closeWhileSendingStops() {
        LoopbackSmtp smtp(QStringList{"silent"});
        QVERIFY(smtp.ok());
        sending_server = "127.0.0.1";
        sending_port = smtp.portText();
        sender_pwd.clear();
        Send_Mail dlg;
        dlg.setDesignSource(&source);
        dlg.setTempRoot(tempRoot.path());
        dlg.show();
        dlg.to_txt->setText("a@x.org, b@x.org");
        QSignalSpy done(&dlg, &Send_Mail::sendingFinished);
        dlg.send_btn->click();
        QVERIFY(dlg.isSending());
        QTest::qWait(500);
        QElapsedTimer clock;
        clock.start();
        dlg.reject();
        QVERIFY(dlg.isVisible());
        QVERIFY(done.wait(5000));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(prompt.texts.value(0), QString("Are you sure you want to stop?"));
        QVERIFY2(prompt.texts.value(1).startsWith(
                     "Sending was stopped.\n\nSent: 0, refused: 0, failed: 0, not tried: 2, skipped: 0."),
                 qPrintable(prompt.texts.value(1)));
        QVERIFY(tempRootEmpty());
        dlg.reject();
        QVERIFY(!dlg.isVisible());
    }

    void settingsSaveValidatesAndWrites() {
        QFile::remove(root.filePath("com.navu.card.plist"));
        Email_Setting dlg;
        dlg.loadPreferences();
        QVERIFY(dlg._send_mail_tls->isChecked());
        QCOMPARE(dlg._send_mail_sender_mail->text(), QString());
        dlg._send_mail_sender_mail->setText("me@host");
        dlg._send_mail_password->setText("pw");
        dlg._send_mail_smtp->setText("smtp.host.org");
        dlg._send_mail_port->setText("465");
        dlg.Save_Button();
        QCOMPARE(prompt.texts, QStringList{"Please enter valid sender E-mail address."});
        QCOMPARE(dlg.focusWidget(), dlg._send_mail_sender_mail);
        QVERIFY(!QFile::exists(root.filePath("com.navu.card.plist")));

        dlg._send_mail_sender_mail->setText("me@host.org");
        dlg._send_mail_ssl->setChecked(true);
        dlg.Save_Button();
        QCOMPARE(dlg.result(), 1);
        const Preferences saved = Preferences::sharedInstance();
        QCOMPARE(saved.send_email_SenderEmail(), QString("me@host.org"));
        QCOMPARE(saved.send_email_enable_ssl(), QString("Y"));
        QCOMPARE(saved.send_email_PORT_num(), QString("465"));

        prompt.answer = false;
        dlg.Reset_Button();
        QVERIFY(QFile::exists(root.filePath("com.navu.card.plist")));
        prompt.answer = true;
        dlg.Reset_Button();
        QVERIFY(!QFile::exists(root.filePath("com.navu.card.plist")));
        QVERIFY(dlg._send_mail_tls->isChecked());
        QCOMPARE(dlg._send_mail_sender_mail->text(), QString());
        QCOMPARE(sender_email, QString());
    }

    // The test mail through the real script and a loopback server; a refusing server gives the failure text.
    // With NAVU_SHOTS_DIR set, pictures of both dialogs are saved there (for looking at the layout).
    void shots() {
        const QString dir = qEnvironmentVariable("NAVU_SHOTS_DIR");
        if (dir.isEmpty())
            QSKIP("NAVU_SHOTS_DIR not set");
        Send_Mail mail;
        mail.to_txt->setText("anna@example.org, ben@example.org");
        mail.subject_txt->setText("Your invitation");
        mail.message_txt->setPlainText("Dear friends,\nplease find the card attached.");
        mail.send_with_batch_chk->click();
        mail.delayed_delv_chk->click();
        mail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mail));
        QTest::qWait(300);
        QVERIFY(mail.grab().save(dir + "/send_mail.png"));
        if (qEnvironmentVariableIsSet("NAVU_SHOTS_HOLD"))
            QTest::qWait(qEnvironmentVariableIntValue("NAVU_SHOTS_HOLD"));
        mail.hide();
        Email_Setting settings;
        settings.loadPreferences();
        settings._send_mail_sender_mail->setText("me@example.org");
        settings._send_mail_password->setText("secret");
        settings._send_mail_smtp->setText("smtp.example.org");
        settings._send_mail_port->setText("587");
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QTest::qWait(300);
        QVERIFY(settings.grab().save(dir + "/email_setting.png"));
    }

    // Escape on the wait sheet ends a test mail that waits on a silent server at once.
    void testMailCanBeStopped() {
        LoopbackSmtp smtp(QStringList{"silent"});
        QVERIFY(smtp.ok());
        Email_Setting dlg;
        dlg._send_mail_sender_mail->setText("me@navu.test");
        dlg._send_mail_password->setText("pw");
        dlg._send_mail_smtp->setText("127.0.0.1");
        dlg._send_mail_port->setText(smtp.portText());
        dlg._send_mail_to->setText("you@navu.test");
        dlg.show();
        QTimer::singleShot(500, &dlg, [&dlg] {
            if (WaitSheet* sheet = waitSheetOf(&dlg))
                sheet->reject();
        });
        QElapsedTimer clock;
        clock.start();
        dlg.Send_Test_Email();
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(dlg._send_mail_result_status->text(), QString("The test mail was stopped."));
        QVERIFY(dlg.test_btn->isEnabled());
    }

    void testMailEndToEnd() {
        for (bool reject : {false, true}) {
            LoopbackSmtp smtp(reject);
            QVERIFY(smtp.ok());
            prompt.texts.clear();
            Email_Setting dlg;
            dlg._send_mail_sender_mail->setText("Me@Navu.test");
            dlg._send_mail_password->setText("pw");
            dlg._send_mail_smtp->setText("127.0.0.1");
            dlg._send_mail_port->setText(smtp.portText());
            dlg._send_mail_to->setText("You@Navu.test");
            dlg._send_mail_tls->setChecked(true);
            dlg.Send_Test_Email();
            QCOMPARE(prompt.texts.size(), 1);
            if (!reject) {
                QCOMPARE(prompt.texts[0], QString("E-mail has been sent successfully."));
                const QList<QJsonObject> mails = smtp.mails();
                QCOMPARE(mails.size(), 1);
                QCOMPARE(mails[0]["subject"].toString(), QString("NAVU Photo Frame Test Mail"));
                QCOMPARE(mails[0]["body"].toString().trimmed(),
                         QString("This is test mail sent by NAVU Photo Frame."));
                QCOMPARE(smtp.envelope(1), (QStringList{"me@navu.test", "you@navu.test"}));
            } else {
                QVERIFY2(prompt.texts[0].contains(
                             "\n\nCould not send email.\n\nReason: The server answered 550 mail refused"),
                         qPrintable(prompt.texts[0]));
                QCOMPARE(dlg._send_mail_result_status->text(), prompt.texts[0]);
            }
        }
    }
};

QTEST_MAIN(TestMailDialog)
#include "test_mail_dialog.moc"
