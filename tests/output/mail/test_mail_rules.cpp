// The pure rules of e-mail sending: address test, settings validation, recipients, pairing of rows and
// recipients, pause text, the finished message and the script's command line.

#include "output/mail/MailJob.h"
#include "output/ImageExport.h"
#include "output/mail/MailPlan.h"
#include "output/mail/MailScript.h"
#include "output/mail/MailSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
        QTEST(isValidEmail(text), "valid");
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
        const struct {
            const char* tag;
            QStringList entries;
            bool withRecipient;
            QString message;
            EmailSettingsField field;
        } rows[] = {
            {"all good", good, true, "", EmailSettingsField::None},
            {"no sender", with(0, ""), false, "Please enter sender E-mail.", EmailSettingsField::Sender},
            {"bad sender", with(0, "me@host"), false, "Please enter valid sender E-mail address.",
             EmailSettingsField::Sender},
            {"no password", with(1, ""), false, "Please enter password.", EmailSettingsField::Password},
            {"blank password counts", with(1, " "), false, "", EmailSettingsField::None},
            {"no server", with(2, ""), false, "Please enter SMTP server.", EmailSettingsField::Server},
            {"no port", with(3, ""), false, "Please enter port number.", EmailSettingsField::Port},
            {"port not checked for digits", with(3, "abc"), false, "", EmailSettingsField::None},
            {"recipient not needed to save", with(4, ""), false, "", EmailSettingsField::None},
            {"recipient needed for test", with(4, ""), true, "Please enter recipient E-mail address.",
             EmailSettingsField::Recipient},
            {"bad recipient", with(4, "you"), true, "Please enter valid recipient E-mail address.",
             EmailSettingsField::Recipient},
            {"line break in the server", with(2, "smtp.host.org\n"), false,
             "The SMTP server holds a line break. Please type it on one line.", EmailSettingsField::Server},
            {"NUL in the password", with(1, QString("pw") + QChar(0)), false,
             "The password holds a NUL character, which cannot be sent.", EmailSettingsField::Password},
            {"line break in the test recipient, even to save", with(4, "you@host.org\r\nBcc: x@y.org"),
             false, "The test recipient holds a line break. Please type it on one line.",
             EmailSettingsField::Recipient},
            {"first failure wins", QStringList{"", "", "", "", ""}, true, "Please enter sender E-mail.",
             EmailSettingsField::Sender},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.entries << r.withRecipient << r.message << r.field;
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
        QTEST(keptRecipients(text), "kept");
        QTEST(recipientProblem(text), "problem");
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
        QTEST(QString("%1/%2").arg(plan.rowsWithoutRecipient).arg(plan.recipientsWithoutRow), "skipped");
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
        QTEST(Calculate_Pause_Time(ms), "text");
    }

    // Success is reported only when every planned mail was sent, nothing was skipped and every card is as
    // designed; the last unsent mail's reason stands under the headline; then what happened to every mail:
    // sent, refused by the server, failed otherwise, not tried (and why) and skipped.
    void finishedMessage_data() {
        QTest::addColumn<int>("planned");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("refused");
        QTest::addColumn<int>("failed");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<bool>("rowsGoOn");
        QTest::addColumn<int>("noImage");
        QTest::addColumn<int>("noRecipient");
        QTest::addColumn<int>("badRow"); // a data row whose card had a problem; -1: none
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("contains");
        QTest::newRow("all sent") << 3 << 3 << 0 << 0 << false << false << 0 << 0 << -1
                                  << "E-mail has been sent successfully."
                                  << "\n\nSent: 3, refused: 0, failed: 0, not tried: 0, skipped: 0.";
        QTest::newRow("last sent after a refusal")
            << 4 << 3 << 1 << 0 << false << true << 0 << 0 << -1 << "Could not send email message."
            << "server.\n\nReason: The server refused the login (535).\n\nSent: 3, refused: 1, failed: 0, "
               "not tried: 0";
        QTest::newRow("refused, then the run ends")
            << 2 << 0 << 1 << 0 << false << false << 0 << 0 << -1 << "Could not send email message."
            << "Sent: 0, refused: 1, failed: 0, not tried: 1, skipped: 0.\nNot tried because the run ended "
               "at a refusal: 1.";
        QTest::newRow("failed, then the run ends")
            << 2 << 0 << 0 << 1 << false << false << 0 << 0 << -1 << "Could not send email message."
            << "Sent: 0, refused: 0, failed: 1, not tried: 1, skipped: 0.\nNot tried because the run ended "
               "at a failure: 1.";
        QTest::newRow("every row to every recipient goes on after a refusal")
            << 6 << 4 << 1 << 0 << false << true << 0 << 0 << -1 << "Could not send email message."
            << "Sent: 4, refused: 1, failed: 0, not tried: 1, skipped: 0.\nNot tried because a refusal or "
               "failure ended their row's mails: 1.";
        QTest::newRow("nothing attempted")
            << 0 << 0 << 0 << 0 << false << false << 0 << 0 << -1 << "Could not send email message."
            << "Sent: 0, refused: 0, failed: 0, not tried: 0, skipped: 0.";
        QTest::newRow("stopped")
            << 5 << 2 << 0 << 0 << true << false << 0 << 0 << -1 << "Sending was stopped."
            << "Sent: 2, refused: 0, failed: 0, not tried: 3, skipped: 0.\nNot tried because sending "
               "was stopped: 3.";
        QTest::newRow("stopped after the last")
            << 2 << 2 << 0 << 0 << true << false << 0 << 0 << -1 << "E-mail has been sent successfully."
            << "";
        QTest::newRow("a row without a card image")
            << 4 << 4 << 0 << 0 << false << false << 1 << 0 << -1 << "Not every card could be sent."
            << "Sent: 4, refused: 0, failed: 0, not tried: 0, skipped: 2.\nRows skipped because they had no "
               "card image: 1.";
        QTest::newRow("rows without a recipient")
            << 3 << 3 << 0 << 0 << false << false << 0 << 2 << -1 << "Not every card could be sent."
            << "Sent: 3, refused: 0, failed: 0, not tried: 0, skipped: 2.\nRows skipped because they had no "
               "recipient: 2.";
        QTest::newRow("all sent, a card with a problem")
            << 3 << 3 << 0 << 0 << false << false << 0 << 0 << 2
            << "Every e-mail has been sent, but not every card is as designed."
            << "skipped: 0.\n\n1 of 3 cards had a problem:\nRow 3: the picture /p/c.jpg could not be read.";
    }
    void finishedMessage() {
        QFETCH(int, planned);
        QFETCH(int, sent);
        QFETCH(int, refused);
        QFETCH(int, failed);
        QFETCH(bool, stopped);
        QFETCH(bool, rowsGoOn);
        QFETCH(int, noImage);
        QFETCH(int, noRecipient);
        QFETCH(int, badRow);
        QFETCH(QString, start);
        QFETCH(QString, contains);
        MailRunResult r;
        r.planned = planned;
        r.sent = sent;
        r.refused = refused;
        r.failed = failed;
        r.stopped = stopped;
        r.rowsGoOn = rowsGoOn;
        r.reason = "The server refused the login (535).";
        r.rowsWithoutImage = noImage;
        r.mailsWithoutImage = 2 * noImage;
        r.rowsWithoutRecipient = noRecipient;
        r.rows = 3;
        if (badRow >= 0)
            r.problems.add(badRow, "the picture /p/c.jpg could not be read.");
        const QString text = mailFinishedMessage(r);
        QVERIFY2(text.startsWith(start), qPrintable(text));
        QVERIFY2(text.contains(contains), qPrintable(text));
        QCOMPARE(text.contains("Reason:"), refused + failed > 0);
    }

    // The first rows with their reasons, lowest first, however the workers' lists are merged; the count
    // covers every row.
    void rowProblemsSummary() {
        RowProblems a, b;
        for (int row : {40, 7, 12, 3})
            a.add(row, QString("the picture /p/%1.jpg could not be read.").arg(row));
        for (int row : {9, 1, 30, 2, 5})
            b.add(row, QString("no barcode for \"x%1\": Digits only.").arg(row));
        b.add(1, "no barcode for \"x1\": Digits only."); // the same problem twice counts once
        a.merge(b);
        QCOMPARE(a.cardCount(), 9);
        QCOMPARE(a.firstLines(), (QStringList{"Row 2: no barcode for \"x1\": Digits only.",
                                              "Row 3: no barcode for \"x2\": Digits only.",
                                              "Row 4: the picture /p/3.jpg could not be read.",
                                              "Row 6: no barcode for \"x5\": Digits only.",
                                              "Row 8: the picture /p/7.jpg could not be read."}));
        QVERIFY(a.summary(50).startsWith("9 of 50 cards had a problem:\nRow 2: "));
        QVERIFY(a.summary(50).endsWith("\n... and 4 more cards."));
        // Every line in the details, lowest rows first, each once.
        const QStringList every = a.details().split('\n');
        QCOMPARE(every.size(), 9);
        QCOMPARE(every.mid(0, 5), a.firstLines());
        QCOMPARE(every.last(), "Row 41: the picture /p/40.jpg could not be read.");
        a.keepRowsBelow(4);
        QCOMPARE(a.cardCount(), 3);
        QCOMPARE(a.details(), QString()); // the summary names them all
        QVERIFY(RowProblems().summary(5).isEmpty());
        // A run of any length keeps every row: 100,000 rows from two workers.
        RowProblems big, other;
        for (int row = 0; row < 100000; ++row)
            (row % 2 ? other : big).add(row, QString("the picture /p/%1.jpg could not be read.").arg(row));
        big.merge(other);
        QCOMPARE(big.cardCount(), 100000);
        QVERIFY(big.summary(100000).endsWith("\n... and 99995 more cards."));
        const QString all = big.details();
        QCOMPARE(all.count('\n'), 99999);
        QVERIFY(
            all.endsWith("\nRow 99999: the picture /p/99998.jpg could not be read.\nRow 100000: the picture "
                         "/p/99999.jpg could not be read."));
        // Mails not sent are named like rows: the first in the message, every one in the details.
        MailRunResult mail;
        mail.problems.add(2, "the picture /p/2.jpg could not be read.");
        for (int row = 1; row <= 7; ++row)
            mail.unsent << QString("Row %1, to a@x.org refused: 552 over quota").arg(row);
        QVERIFY(mailFinishedMessage(mail).contains("\nRow 5, to a@x.org refused: 552 over quota\n... and 2 more."));
        QCOMPARE(mailFinishedDetails(mail), (mail.unsent + QStringList{"Row 3: the picture /p/2.jpg could not be read."}).join('\n'));
        mail.unsent = mail.unsent.mid(0, 5);
        QCOMPARE(mailFinishedDetails(mail), QString()); // the message names them all
    }

    void backPath() {
        QCOMPARE(Create_Back_Card_Path("/tmp/x/NAVUFrame.png"), QString("/tmp/x/NAVUFrame_Back.png"));
        QCOMPARE(Create_Back_Card_Path("/tmp/x/my.card.png"), QString("/tmp/x/my.card_Back.png"));
    }

    // The script reads the password on its first line, then the mail as one JSON object; a settings file
    // without an SSL choice means STARTTLS.
    void scriptInput() {
        MailMessage m{"me@host.org",
                      "s3cret-pw",
                      "smtp.host.org",
                      "465",
                      "Y",
                      "you@host.org",
                      "Subj",
                      "Line 1\nLine 2",
                      {"/t/a_Back.png", "/t/a.png"}};
        QByteArray input = mailScriptInput(m);
        const qsizetype eol = input.indexOf('\n');
        QCOMPARE(input.left(eol), QByteArray("s3cret-pw"));
        const QJsonObject o = QJsonDocument::fromJson(input.mid(eol + 1)).object();
        QCOMPARE(o["sender"].toString(), QString("me@host.org"));
        QCOMPARE(o["from"].toString(), QString("me@host.org"));
        QCOMPARE(o["recipient"].toString(), QString("you@host.org"));
        QCOMPARE(o["body"].toString(), QString("Line 1\nLine 2"));
        QCOMPARE(o["ssl"].toString(), QString("Y"));
        QCOMPARE(o["attachments"].toArray().size(), 2);
        QVERIFY(!input.mid(eol + 1).contains("s3cret"));
        m.ssl = QString();
        input = mailScriptInput(m);
        QCOMPARE(QJsonDocument::fromJson(input.mid(input.indexOf('\n') + 1)).object()["ssl"].toString(),
                 QString("N"));
        // A pasted line break or NUL never reaches the script.
        for (const char16_t brk : {u'\n', u'\r', u'\v', u'\f', u'\x1c', u'\x85', u'\u2028', u'\u2029'}) {
            m.subject = QString("Hello") + QChar(brk) + "Bcc: x@y.org";
            QCOMPARE(mailTextProblem(m), QString("The subject holds a line break. Please type it on one line."));
        }
        m.subject = "ok";
        m.body = QString("a") + QChar(0) + "b";
        QCOMPARE(mailTextProblem(m), QString("The message holds a NUL character, which cannot be sent."));
    }
};

QTEST_GUILESS_MAIN(TestMailRules)
#include "test_mail_rules.moc"
