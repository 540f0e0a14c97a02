// The pure rules of e-mail sending: address test, settings validation, recipients, pairing of rows and
// recipients, pause text, the finished message and the script's command line.

#include "output/mail/MailJob.h"
#include "output/ImageExport.h"
#include "output/mail/MailPlan.h"
#include "output/mail/MailScript.h"
#include "output/mail/MailSettings.h"

#include <QtTest>

Q_DECLARE_METATYPE(EmailSettingsField)

class TestMailRules : public QObject {
    Q_OBJECT
private slots:
    void addressTest_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "ann@example.com" << true;
        QTest::newRow("blanks around") << "  ann@ex.com \n" << true;
        QTest::newRow("six characters") << "a@b.cd" << true;
        QTest::newRow("five characters") << "a@b.c" << false;
        QTest::newRow("no point") << "ann@example" << false;
        QTest::newRow("two at signs") << "ann@x@example.com" << false;
        QTest::newRow("no at sign") << "ann.example.com" << false;
        QTest::newRow("empty") << "" << false;
    }
    void addressTest() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(isValidEmail(text), valid);
    }

    void settingsValidation_data() {
        QTest::addColumn<QStringList>("entries"); // sender, password, server, port, recipient
        QTest::addColumn<bool>("withRecipient");
        QTest::addColumn<QString>("message");
        QTest::addColumn<EmailSettingsField>("field");
        const QStringList good{"me@host.org", "pw", "smtp.host.org", "587", "you@host.org"};
        auto with = [&](int i, const QString& v) {
            QStringList e = good;
            e[i] = v;
            return e;
        };
        QTest::newRow("all good") << good << true << "" << EmailSettingsField::None;
        QTest::newRow("no sender") << with(0, "") << false << "Please enter sender E-mail."
                                   << EmailSettingsField::Sender;
        QTest::newRow("bad sender") << with(0, "me@host") << false
                                    << "Please enter valid sender E-mail address."
                                    << EmailSettingsField::Sender;
        QTest::newRow("no password") << with(1, "") << false << "Please enter password."
                                     << EmailSettingsField::Password;
        QTest::newRow("blank password counts") << with(1, " ") << false << "" << EmailSettingsField::None;
        QTest::newRow("no server") << with(2, "") << false << "Please enter SMTP server."
                                   << EmailSettingsField::Server;
        QTest::newRow("no port") << with(3, "") << false << "Please enter port number."
                                 << EmailSettingsField::Port;
        QTest::newRow("port not checked for digits")
            << with(3, "abc") << false << "" << EmailSettingsField::None;
        QTest::newRow("recipient not needed to save")
            << with(4, "") << false << "" << EmailSettingsField::None;
        QTest::newRow("recipient needed for test")
            << with(4, "") << true << "Please enter recipient E-mail address."
            << EmailSettingsField::Recipient;
        QTest::newRow("bad recipient")
            << with(4, "you") << true << "Please enter valid recipient E-mail address."
            << EmailSettingsField::Recipient;
        QTest::newRow("first failure wins") << QStringList{"", "", "", "", ""} << true
                                            << "Please enter sender E-mail." << EmailSettingsField::Sender;
    }
    void settingsValidation() {
        QFETCH(QStringList, entries);
        QFETCH(bool, withRecipient);
        QFETCH(QString, message);
        QFETCH(EmailSettingsField, field);
        const EmailSettingsProblem p =
            Check_Validation({entries[0], entries[1], entries[2], entries[3], entries[4]}, withRecipient);
        QCOMPARE(p.message, message);
        QCOMPARE(p.field, field);
    }

    void recipients_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QString>("problem");
        const QString invalid = "Recipient E-mail address is invalid or incomplete.";
        QTest::newRow("one") << "Ann@Example.COM" << QStringList{"ann@example.com"} << "";
        QTest::newRow("three with blanks") << " a@one.org, b@two.org ,c@three.org"
                                           << QStringList{"a@one.org", "b@two.org", "c@three.org"} << "";
        QTest::newRow("trailing comma") << "a@one.org," << QStringList{"a@one.org"} << "";
        QTest::newRow("empty") << "   " << QStringList{} << "Please specify the Recipient E-mail address.";
        QTest::newRow("a typo refuses the lot") << "a@one.org, b@two" << QStringList{"a@one.org"} << invalid;
        QTest::newRow("nothing valid") << "nobody" << QStringList{} << invalid;
    }
    void recipients() {
        QFETCH(QString, text);
        QFETCH(QStringList, kept);
        QFETCH(QString, problem);
        QCOMPARE(keptRecipients(text), kept);
        QCOMPARE(recipientProblem(text), problem);
    }

    // Pairing of data rows and recipients; each pass is "row:recipients"; skipped is rows without a
    // recipient / recipients without a row.
    void pairing_data() {
        QTest::addColumn<bool>("cardMode");
        QTest::addColumn<bool>("batch");
        QTest::addColumn<bool>("allToEvery");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("recipients");
        QTest::addColumn<int>("total");
        QTest::addColumn<QStringList>("passes");
        QTest::addColumn<QString>("skipped");
        QTest::newRow("no data: one mail per recipient")
            << true << false << true << 0 << 3 << 3 << QStringList{"-1:0", "-1:1", "-1:2"} << "0/0";
        QTest::newRow("every row to every recipient")
            << true << true << true << 5 << 2 << 5 << QStringList{"0:0,1", "1:0,1", "2:0,1", "3:0,1", "4:0,1"}
            << "0/0";
        QTest::newRow("row i to recipient i, more rows")
            << true << true << false << 5 << 3 << 3 << QStringList{"0:0", "1:1", "2:2"} << "2/0";
        QTest::newRow("row i to recipient i, fewer rows")
            << true << true << false << 2 << 3 << 3 << QStringList{"0:0", "1:1"} << "0/1";
        QTest::newRow("plain mode ignores data")
            << false << true << true << 5 << 2 << 2 << QStringList{"-1:0", "-1:1"} << "0/0";
        QTest::newRow("no recipients") << true << false << true << 0 << 0 << 0 << QStringList{} << "0/0";
        QTest::newRow("data without rows") << true << true << true << 0 << 2 << 0 << QStringList{} << "0/0";
    }
    void pairing() {
        QFETCH(bool, cardMode);
        QFETCH(bool, batch);
        QFETCH(bool, allToEvery);
        QFETCH(int, rows);
        QFETCH(int, recipients);
        QFETCH(int, total);
        QFETCH(QStringList, passes);
        QFETCH(QString, skipped);
        const MailPlanResult plan = planMailPasses({cardMode, batch, allToEvery, rows, recipients});
        QCOMPARE(plan.total, total);
        QStringList got;
        for (const MailPass& p : plan.passes) {
            QStringList r;
            for (int i : p.recipients)
                r << QString::number(i);
            got << QString::number(p.row) + ":" + r.join(',');
        }
        QCOMPARE(got, passes);
        QCOMPARE(QString("%1/%2").arg(plan.rowsWithoutRecipient).arg(plan.recipientsWithoutRow), skipped);
    }

    void pauseText_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("1h 2m 5s") << qint64(3725000) << "Pausing the process for 1 Hour 2 Minutes 5 Seconds.";
        QTest::newRow("one minute") << qint64(60000) << "Pausing the process for 1 Minute 0 Second.";
        QTest::newRow("ten seconds") << qint64(10000) << "Pausing the process for 10 Seconds.";
        QTest::newRow("one second") << qint64(1999) << "Pausing the process for 1 Second.";
        QTest::newRow("two hours exactly")
            << qint64(7200000) << "Pausing the process for 2 Hours 0 Minute 0 Second.";
        QTest::newRow("zero") << qint64(0) << "Pausing the process for 0 Second.";
    }
    void pauseText() {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(Calculate_Pause_Time(ms), text);
    }

    // Success is reported only when every planned mail was sent and no row was skipped; a failure's reason
    // stands under the headline; the counts follow.
    void finishedMessage_data() {
        QTest::addColumn<int>("planned");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("failed");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("noImage");
        QTest::addColumn<int>("noRecipient");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("contains");
        QTest::newRow("all sent") << 3 << 3 << 0 << false << 0 << 0 << "E-mail has been sent successfully."
                                  << "";
        QTest::newRow("last sent after a failure")
            << 4 << 3 << 1 << false << 0 << 0 << "Could not send email message."
            << "server.\n\nReason: The server refused the login (535).\n\nSent: 3";
        QTest::newRow("nothing attempted")
            << 0 << 0 << 0 << false << 0 << 0 << "Could not send email message."
            << "";
        QTest::newRow("stopped") << 5 << 2 << 0 << true << 0 << 0 << "Sending was stopped."
                                 << "";
        QTest::newRow("stopped after the last")
            << 2 << 2 << 0 << true << 0 << 0 << "E-mail has been sent successfully."
            << "";
        QTest::newRow("a row without a card image")
            << 4 << 4 << 0 << false << 1 << 0 << "Not every card could be sent."
            << "\nRows skipped because they had no card image: 1.";
        QTest::newRow("rows without a recipient")
            << 3 << 3 << 0 << false << 0 << 2 << "Not every card could be sent."
            << "\nRows skipped because they had no recipient: 2.";
    }
    void finishedMessage() {
        QFETCH(int, planned);
        QFETCH(int, sent);
        QFETCH(int, failed);
        QFETCH(bool, stopped);
        QFETCH(int, noImage);
        QFETCH(int, noRecipient);
        QFETCH(QString, start);
        QFETCH(QString, contains);
        MailRunResult r;
        r.planned = planned;
        r.sent = sent;
        r.failed = failed;
        r.stopped = stopped;
        r.reason = "The server refused the login (535).";
        r.rowsWithoutImage = noImage;
        r.rowsWithoutRecipient = noRecipient;
        const QString text = mailFinishedMessage(r);
        QVERIFY2(text.startsWith(start), qPrintable(text));
        QVERIFY2(text.contains(contains), qPrintable(text));
        QCOMPARE(text.contains("Reason:"), failed > 0);
        QVERIFY(text.contains(QString("Sent: %1, not sent: %2.").arg(sent).arg(planned - sent)));
    }

    void backPath() {
        QCOMPARE(Create_Back_Card_Path("/tmp/x/NAVUFrame.png"), QString("/tmp/x/NAVUFrame_Back.png"));
        QCOMPARE(Create_Back_Card_Path("/tmp/x/my.card.png"), QString("/tmp/x/my.card_Back.png"));
    }

    // The password never reaches the command line; the order is the script's.
    void scriptArguments() {
        MailMessage m{"me@host.org", "s3cret-pw", "smtp.host.org",
                      "465",         "Y",         "you@host.org",
                      "Subj",        "Body",      {"/t/a_Back.png", "/t/a.png"}};
        const QStringList args = mailScriptArguments(m);
        QCOMPARE(args, (QStringList{"me@host.org", "smtp.host.org", "465", "me@host.org", "you@host.org",
                                    "Subj", "Body", "Y", "/t/a_Back.png", "/t/a.png"}));
        QVERIFY(!args.join('\n').contains("s3cret"));
        m.ssl = QString(); // settings never saved: STARTTLS when offered
        QCOMPARE(mailScriptArguments(m).at(7), QString("N"));
    }
};

QTEST_GUILESS_MAIN(TestMailRules)
#include "test_mail_rules.moc"
