// E-mail sending end to end against a loopback SMTP server, and the run's rules with a recording sender:
// failures, Stop, pauses and the temporary attachments.

#include "TestPictures.h"
#include "FileBytes.h"
#include "LoopbackSmtp.h"

#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "data/BatchFillJob.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "data/SeriesFiles.h"
#include "output/mail/MailJob.h"
#include "output/mail/MailScript.h"

#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QThread>
#include <QtTest>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
GraphicPtr textItem(const QString& text, int sourceType = 0, const QString& series = {}) {
    GraphicPtr g = makeGraphicOfClass("SKTText", false);
    g->setBounds(QRectF(20, 20, 300, 60));
    static_cast<SKTText*>(g.get())->setText(text);
    g->data_source_type = sourceType;
    g->batch_list_name = series;
    return g;
}

struct Recorder {
    QList<MailMessage> calls;
    QSet<int> failing;  // 1-based calls that fail
    int stopAfter = -1; // Stop pressed after this many calls
    QStringList attachmentsSeen;
    MailSender sender() {
        return [this](const MailMessage& m) {
            calls << m;
            for (const QString& a : m.attachments)
                attachmentsSeen << (QFileInfo(a).isFile() ? a : QString("missing ") + a);
            if (stopAfter >= 0 && calls.size() >= stopAfter)
                Stop_SMS_Sending_Now = true;
            return MailSendResult{!failing.contains(int(calls.size())), QString("refused")};
        };
    }
};
} // namespace

class TestMailSend : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QTemporaryDir tempRoot; // where the runs make their attachment folders
    Data_From_Excel table;
    GraphicList front, back;

    std::unique_ptr<BatchFillJob> makeJob(bool useSeries) {
        SeriesBindingTable series;
        Check_Series_Or_Excel_Use_or_not(front, back, true, table, series);
        Use_Data_Sheet_Values = Use_Data_Sheet_Values && useSeries;
        Get_total_Card_count(series, table);
        return BatchFillJob::create(
            {front, back, Card_Property::defaults("F"), Card_Property::defaults("B"), 0, true}, series,
            table);
    }
    MailRequest request(const QStringList& recipients) {
        MailRequest r;
        r.account =
            MailMessage{"me@navu.test", "pw-on-stdin", "127.0.0.1", "1", "N", {}, "Hello", "Body", {}};
        r.recipients = recipients;
        return r;
    }
    bool tempRootEmpty() const {
        return QDir(tempRoot.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void initTestCase() {
        Resource_Path = root.path();
        Data_Folder_Path = root.filePath("DataSet");
        QVERIFY(QDir().mkpath(Data_Folder_Path));
        QVERIFY(SeriesFiles::writeSeries("Names", {"Anna", "Ben", "Cleo"}));
        qputenv("NAVU_MAIL_SCRIPT", NAVU_RESOURCES_DIR "/pyth_mail.py");
        front = {textItem("front", 1, "Names")};
        back = {textItem("back side")};
        CARD_SIDE_STR = "2";
    }

    // Three rows to two recipients, both sides: six mails that carry the right envelope, subject, body and
    // the back then the front card of their row as PNG files; the password went through standard input.
    void endToEndEveryRowToEveryRecipient() {
        LoopbackSmtp smtp;
        QVERIFY(smtp.ok());
        MailRequest req = request({"ann@navu.test", "bob@navu.test"});
        req.account.port = smtp.portText();
        req.account.subject = "Grüße";
        req.account.body = "Line one\nLine twö";
        req.side = "BOTH";
        req.batch = true;
        req.allToEvery = true;
        MailJob job(req, makeJob(true));
        job.setTempRoot(tempRoot.path());
        QList<int> steps;
        int total = -1;
        job.setProgress({[&](int t) { total = t; }, [&](int c, int) { steps << c; }, {}});
        const MailRunResult result = job.run();
        QCOMPARE(result.sent, 6);
        QCOMPARE(result.failed, 0);
        QCOMPARE(total, 3); // the progress counts rows, not mails
        QCOMPARE(steps, (QList<int>{1, 2, 3}));

        auto expected = makeJob(true);
        const QList<QJsonObject> mails = smtp.mails();
        QCOMPARE(mails.size(), 6);
        for (int i = 0; i < 6; ++i) {
            const QJsonObject m = mails[i];
            const QString to = i % 2 == 0 ? "ann@navu.test" : "bob@navu.test";
            QCOMPARE(smtp.envelope(i + 1), (QStringList{"me@navu.test", to}));
            QCOMPARE(m["from"].toString(), QString("me@navu.test"));
            QCOMPARE(m["to"].toString(), to);
            QCOMPARE(m["subject"].toString(), QString("Grüße"));
            QCOMPARE(m["body"].toString().trimmed(), QString("Line one\nLine twö"));
            const QJsonArray atts = m["attachments"].toArray();
            QCOMPARE(atts.size(), 2);
            QCOMPARE(atts[0].toObject()["filename"].toString(), QString("NAVUFrame_Back.png"));
            QCOMPARE(atts[1].toObject()["filename"].toString(), QString("NAVUFrame.png"));
            const int row = i / 2;
            // Attachments are rendered at 150 dpi.
            const QImage wantBack = expected->Set_data_table_value_to_card(row, "B", false, 150.0 / 72.0);
            const QImage wantFront = expected->Set_data_table_value_to_card(row, "F", false, 150.0 / 72.0);
            for (int a = 0; a < 2; ++a) {
                QCOMPARE(atts[a].toObject()["type"].toString(), QString("image/png"));
                QImage got(atts[a].toObject()["path"].toString(), "PNG");
                QVERIFY(!got.isNull());
                const QImage& want = a == 0 ? wantBack : wantFront;
                QCOMPARE(got.size(), want.size());
                QCOMPARE(got.convertToFormat(QImage::Format_ARGB32),
                         want.convertToFormat(QImage::Format_ARGB32));
            }
        }
        QCOMPARE(smtp.auth().count("me@navu.test\tpw-on-stdin\n"), 6);
        QVERIFY(tempRootEmpty());
    }

    // A server that refuses, or one that cannot be reached: nothing is reported as sent, the run stops at
    // the first mail, and the box tells a refusal (with the server's own reply) from a failure.
    void unsentMailsAreCountedByKind_data() {
        QTest::addColumn<QStringList>("options"); // empty: no server at all
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sender refused") << QStringList{"reject"} << true
                                        << "Reason: The server answered 550 mail refused by test server.";
        QTest::newRow("mailbox over quota")
            << QStringList{"overquota"} << true
            << "Reason: The server refused the recipient ann@navu.test (552 5.2.2 mailbox over quota).";
        QTest::newRow("nobody listening") << QStringList{} << false
                                          << "Reason: The connection to 127.0.0.1:1 was refused.";
    }
    void unsentMailsAreCountedByKind() {
        QFETCH(QStringList, options);
        QFETCH(bool, refused);
        QFETCH(QString, reason);
        std::optional<LoopbackSmtp> smtp;
        if (!options.isEmpty()) {
            smtp.emplace(options);
            QVERIFY(smtp->ok());
        }
        MailRequest req = request({"ann@navu.test", "bob@navu.test"});
        req.account.port = smtp ? smtp->portText() : QString("1");
        req.account.password.clear();
        MailJob job(req, makeJob(false));
        job.setTempRoot(tempRoot.path());
        const MailRunResult result = job.run();
        const QString text = mailFinishedMessage(result);
        QCOMPARE(result.sent, 0);
        QCOMPARE(result.refused, refused ? 1 : 0);
        QCOMPARE(result.failed, refused ? 0 : 1);
        QVERIFY(text.startsWith("Could not send email message."));
        QVERIFY2(text.contains(reason), qPrintable(text));
        // The mail not sent is named with its recipient.
        QVERIFY2(text.contains(QString("\n\nNot sent:\nTo ann@navu.test %1: ").arg(refused ? "refused" : "failed")),
                 qPrintable(text));
        // The second recipient was never tried: it is counted as neither.
        QVERIFY2(text.contains(QString("\n\nSent: 0, refused: %1, failed: %2, not tried: 1, skipped: 0.\n"
                                       "Not tried because the run ended at a %3: 1.")
                                   .arg(refused ? 1 : 0)
                                   .arg(refused ? 0 : 1)
                                   .arg(refused ? "refusal" : "failure")),
                 qPrintable(text));
        if (smtp)
            QVERIFY(smtp->mails().isEmpty());
        QVERIFY(tempRootEmpty());
    }

    void scriptFailuresAreClear_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("error");
        QTest::newRow("nobody listening") << "1"
                                          << "pw-on-stdin"
                                          << "The connection to 127.0.0.1:1 was refused.";
        QTest::newRow("not a port") << "x25"
                                    << "pw-on-stdin"
                                    << "is not a port number";
        QTest::newRow("password without ASCII form") << "1"
                                                     << "pässwörd"
                                                     << "cannot be sent";
    }
    void scriptFailuresAreClear() {
        QFETCH(QString, port);
        QFETCH(QString, password);
        QFETCH(QString, error);
        MailMessage m = request({}).account;
        m.port = port;
        m.password = password;
        m.recipient = "ann@navu.test";
        const MailSendResult r = sendEmail_pyth(m);
        QVERIFY(!r.sent);
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        QVERIFY(!r.error.contains(password));
    }

    // Nothing of a mail is on the script's command line, where other users can read it, however long the
    // body; python3 runs the script isolated, so a module beside it is never imported; without an override
    // the script is the copy in this build tree, found from the executable, not the sources'.
    void scriptCallIsPrivateAndIsolated() {
        QTemporaryDir scripts;
        const QString seen = scripts.filePath("seen.json");
        const QString marker = scripts.filePath("imported");
        // Would be imported instead of the standard module by a python that looks beside the script.
        for (const char* module : {"smtplib.py", "json.py"})
            writeBytes(scripts.filePath(module), "open('" + marker.toUtf8() + "','w').write('x')\n");
        writeBytes(scripts.filePath("recorder.py"), "import json, sys\n"
                                                    "data = sys.stdin.buffer.read()\n"
                                                    "json.dump({'argv': sys.argv, 'isolated': sys.flags.isolated,\n"
                                                    "           'stdin': data.decode('utf-8')},\n"
                                                    "          open('" +
                                                        seen.toUtf8() + "', 'w'))\n");
        QVERIFY(QFile::copy(NAVU_RESOURCES_DIR "/pyth_mail.py", scripts.filePath("pyth_mail.py")));

        MailMessage m = request({}).account;
        m.recipient = "ann@navu.test";
        m.subject = "Private subject";
        m.body = QString(200 * 1024, QLatin1Char('b')) + "\nend";
        qputenv("NAVU_MAIL_SCRIPT", scripts.filePath("recorder.py").toLocal8Bit());
        const MailSendResult recorded = sendEmail_pyth(m);
        QVERIFY2(recorded.sent, qPrintable(recorded.error));
        const QJsonObject call = QJsonDocument::fromJson(readBytes(seen)).object();
        QCOMPARE(call["argv"].toArray().size(), 1);
        QCOMPARE(call["isolated"].toInt(), 1);
        const QString input = call["stdin"].toString();
        QVERIFY(input.startsWith("pw-on-stdin\n"));
        const QJsonObject fields = QJsonDocument::fromJson(input.section('\n', 1).toUtf8()).object();
        QCOMPARE(fields["subject"].toString(), m.subject);
        QCOMPARE(fields["body"].toString(), m.body);

        // The real script beside a rogue module: the mail goes through, the module is never loaded.
        LoopbackSmtp smtp;
        QVERIFY(smtp.ok());
        m.port = smtp.portText();
        qputenv("NAVU_MAIL_SCRIPT", scripts.filePath("pyth_mail.py").toLocal8Bit());
        const MailSendResult sent = sendEmail_pyth(m);
        QVERIFY2(sent.sent, qPrintable(sent.error));
        QVERIFY(!QFile::exists(marker));
        QCOMPARE(smtp.mails().size(), 1);
        QCOMPARE(smtp.mails()[0]["body"].toString().trimmed(), m.body);

        qunsetenv("NAVU_MAIL_SCRIPT");
        const QString found = mailScriptPath();
        qputenv("NAVU_MAIL_SCRIPT", NAVU_RESOURCES_DIR "/pyth_mail.py");
        QVERIFY2(found.endsWith("/share/navu-photo-frame/resources/pyth_mail.py"), qPrintable(found));
        QVERIFY2(!found.startsWith(QFileInfo(NAVU_RESOURCES_DIR).canonicalFilePath()), qPrintable(found));
        QVERIFY(QFileInfo(found).dir().exists("../../../CMakeCache.txt"));
    }

    // The script receives the password: one that another user could have put there or changed is never run.
    void untrustedScriptsAreNeverRun_data() {
        QTest::addColumn<QString>("change"); // what is done to the script or its folder
        QTest::addColumn<QString>("error");  // empty: the script runs
        QTest::newRow("own folder, inside a sticky world-writable one") << "" << "";
        QTest::newRow("world-writable script") << "chmod script 0666" << "can be changed by other users.";
        QTest::newRow("world-writable folder") << "chmod folder 0777" << "can be changed by other users.";
        QTest::newRow("script of another user") << "chown script" << "belongs to another user.";
        QTest::newRow("folder of another user") << "chown folder" << "belongs to another user.";
    }
    void untrustedScriptsAreNeverRun() {
        QFETCH(QString, change);
        QFETCH(QString, error);
        QTemporaryDir sticky;
        QVERIFY(::chmod(QFile::encodeName(sticky.path()).constData(), 01777) == 0);
        const QString folder = sticky.path() + "/share";
        const QString script = folder + "/pyth_mail.py";
        const QString ran = sticky.path() + "/ran";
        QVERIFY(QDir().mkdir(folder));
        writeBytes(script, "import sys\nopen('" + ran.toUtf8() + "', 'w').write('x')\n");
        const QByteArray target = QFile::encodeName(change.endsWith("folder") ? folder : script);
        if (change.startsWith("chmod"))
            QVERIFY(::chmod(target.constData(), mode_t(change.section(' ', 2).toInt(nullptr, 8))) == 0);
        if (change.startsWith("chown") && ::chown(target.constData(), 65534, 65534) != 0)
            QSKIP("files cannot be given to another user here");
        qputenv("NAVU_MAIL_SCRIPT", QFile::encodeName(script));
        MailMessage m = request({}).account;
        m.recipient = "ann@navu.test";
        const MailSendResult result = sendEmail_pyth(m);
        qputenv("NAVU_MAIL_SCRIPT", NAVU_RESOURCES_DIR "/pyth_mail.py");
        QCOMPARE(QFile::exists(ran), error.isEmpty());
        if (!error.isEmpty()) {
            QVERIFY(!result.sent);
            QVERIFY2(result.error.startsWith("The mail script " + QFileInfo(script).canonicalFilePath() +
                                             " is not used: ") &&
                         result.error.endsWith(error),
                     qPrintable(result.error));
        }
    }

    // Encrypted servers end to end with certificate verification on, and the reasons a mail is not sent.
    // With TLS (STARTTLS) chosen, a server without STARTTLS gets nothing at all, password or not, loopback
    // or not.
    void secureAndFailingServers_data() {
        QTest::addColumn<QStringList>("options"); // of the loopback server
        QTest::addColumn<QString>("ssl");
        QTest::addColumn<bool>("trusted");  // the script is given the test certificate authority
        QTest::addColumn<QString>("env");   // a further NAVU_MAIL_TEST_ variable, NAME=VALUE
        QTest::addColumn<QString>("error"); // empty: sent
        QTest::addColumn<bool>("passwordSent");
        QTest::addColumn<bool>("withPassword");
        QTest::newRow("SSL, trusted") << QStringList{"ssl"} << "Y" << true << ""
                                      << "" << true << true;
        QTest::newRow("STARTTLS, trusted") << QStringList{"starttls"} << "N" << true << ""
                                           << "" << true << true;
        QTest::newRow("STARTTLS, no login") << QStringList{"starttls"} << "N" << true << ""
                                            << "" << false << false;
        QTest::newRow("SSL, untrusted") << QStringList{"ssl"} << "Y" << false << ""
                                        << "is not trusted" << false << true;
        QTest::newRow("STARTTLS, untrusted") << QStringList{"starttls"} << "N" << false << ""
                                             << "is not trusted" << false << true;
        QTest::newRow("login refused") << QStringList{"starttls", "badlogin"} << "N" << true << ""
                                       << "refused the login (535" << true << true;
        QTest::newRow("no STARTTLS offered")
            << QStringList{"plain"} << "N" << true << ""
            << "offers no encryption (STARTTLS), so nothing was sent" << false << true;
        QTest::newRow("no STARTTLS offered, no password")
            << QStringList{"plain"} << "N" << true << ""
            << "offers no encryption (STARTTLS), so nothing was sent" << false << false;
        QTest::newRow("SSL to a plain server") << QStringList{"plain"} << "Y" << true << ""
                                               << "No secure connection" << false << true;
        QTest::newRow("no answer") << QStringList{"silent"} << "N" << true << "TIMEOUT=1"
                                   << "did not answer" << false << true;
    }
    void secureAndFailingServers() {
        QFETCH(QStringList, options);
        QFETCH(QString, ssl);
        QFETCH(bool, trusted);
        QFETCH(QString, env);
        QFETCH(QString, error);
        QFETCH(bool, withPassword);
        TestCertificates& certs = testCertificates();
        QVERIFY(certs.ok);
        if (options.contains("ssl") || options.contains("starttls"))
            options << "cert=" + certs.cert() << "key=" + certs.key();
        LoopbackSmtp smtp(options);
        QVERIFY(smtp.ok());
        qunsetenv("NAVU_MAIL_TEST_CA");
        if (trusted)
            qputenv("NAVU_MAIL_TEST_CA", certs.ca().toLocal8Bit());
        const QString envName = "NAVU_MAIL_TEST_" + env.section('=', 0, 0);
        if (!env.isEmpty())
            qputenv(envName.toLatin1(), env.section('=', 1).toLatin1());
        MailMessage m = request({}).account;
        m.port = smtp.portText();
        m.ssl = ssl;
        m.recipient = "ann@navu.test";
        if (!withPassword)
            m.password.clear();
        QElapsedTimer clock;
        clock.start();
        const MailSendResult r = sendEmail_pyth(m);
        qunsetenv("NAVU_MAIL_TEST_CA");
        if (!env.isEmpty())
            qunsetenv(envName.toLatin1());
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(r.sent, error.isEmpty());
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        QVERIFY(!r.error.contains("pw-on-stdin"));
        QTEST(smtp.auth().contains("pw-on-stdin"), "passwordSent");
        if (r.sent) {
            QCOMPARE(smtp.mails().size(), 1);
            QVERIFY(smtp.mails()[0]["tls"].toBool());
        } else {
            QVERIFY(smtp.mails().isEmpty());
        }
    }

    // Stop ends a mail the script is still sending: the child is killed and the mail counts as not sent.
    void stopEndsMailInProgress() {
        LoopbackSmtp smtp(QStringList{"silent"});
        QVERIFY(smtp.ok());
        MailRequest req = request({"a@x.org", "b@x.org"});
        req.account.port = smtp.portText();
        req.cardMode = false;
        MailJob job(req, nullptr);
        MailRunResult result;
        QThread* worker = QThread::create([&] { result = job.run(); });
        QElapsedTimer clock;
        clock.start();
        worker->start();
        QTest::qWait(500);
        Stop_SMS_Sending_Now = true;
        QVERIFY(worker->wait(5000));
        delete worker;
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(result.stopped);
        QCOMPARE(result.sent, 0);
        QCOMPARE(result.failed, 0);
        QVERIFY(mailFinishedMessage(result).startsWith(
            "Sending was stopped.\n\nSent: 0, refused: 0, failed: 0, not tried: 2, skipped: 0."));
    }

    // "Pause after every N mails" counts mails, also when one row goes to several recipients; no pause
    // follows the last mail. m: a mail, P: a pause.
    void pauseCountsMails_data() {
        QTest::addColumn<bool>("cardMode");
        QTest::addColumn<int>("every");
        QTest::addColumn<QString>("events");
        QTest::newRow("3 rows x 2 recipients, every 2") << true << 2 << "mmPmmPmm";
        QTest::newRow("3 rows x 2 recipients, every 4") << true << 4 << "mmmmPmm";
        QTest::newRow("3 rows x 2 recipients, every 6") << true << 6 << "mmmmmm";
        QTest::newRow("plain, every 1") << false << 1 << "mPm";
    }
    void pauseCountsMails() {
        QFETCH(bool, cardMode);
        QFETCH(int, every);
        QFETCH(QString, events);
        QString got;
        MailRequest req = request({"a@x.org", "b@x.org"});
        req.cardMode = cardMode;
        req.batch = cardMode;
        req.allToEvery = true;
        req.delayed = true;
        req.pauseEvery = every;
        req.pauseMs = 0;
        MailJob job(req, cardMode ? makeJob(true) : nullptr);
        job.setTempRoot(tempRoot.path());
        job.setSender([&](const MailMessage&) {
            got += 'm';
            return MailSendResult{true, {}};
        });
        job.setProgress({{}, {}, [&](const QString& t) {
                             if (t.isEmpty())
                                 got += 'P';
                         }});
        QCOMPARE(job.run().sent, events.count('m'));
        QCOMPARE(got, events);
    }

    // Which mails a run sends when some fail or Stop is pressed (a recording sender stands in for the
    // script).
    void failuresAndStop_data() {
        QTest::addColumn<bool>("batch");
        QTest::addColumn<bool>("allToEvery");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QStringList>("sentTo"); // recipients of the attempted mails, in order
        QTest::addColumn<int>("sent");
        QTest::newRow("no data, all sent")
            << false << true << QList<int>{} << -1 << QStringList{"a@x.org", "b@x.org", "c@x.org"} << 3;
        QTest::newRow("no data, second fails: stop")
            << false << true << QList<int>{2} << -1 << QStringList{"a@x.org", "b@x.org"} << 1;
        QTest::newRow("every row: a failure ends only that row")
            << true << true << QList<int>{1} << -1
            << QStringList{"a@x.org", "a@x.org", "b@x.org", "c@x.org", "a@x.org", "b@x.org", "c@x.org"} << 6;
        QTest::newRow("row i to recipient i, failure stops")
            << true << false << QList<int>{2} << -1 << QStringList{"a@x.org", "b@x.org"} << 1;
        QTest::newRow("stop after two")
            << true << true << QList<int>{} << 2 << QStringList{"a@x.org", "b@x.org"} << 2;
    }
    void failuresAndStop() {
        QFETCH(bool, batch);
        QFETCH(bool, allToEvery);
        QFETCH(QList<int>, failing);
        QFETCH(int, stopAfter);
        QFETCH(int, sent);
        Recorder rec;
        rec.failing = QSet<int>(failing.begin(), failing.end());
        rec.stopAfter = stopAfter;
        MailRequest req = request({"a@x.org", "b@x.org", "c@x.org"});
        req.batch = batch;
        req.allToEvery = allToEvery;
        MailJob job(req, makeJob(batch));
        job.setSender(rec.sender());
        job.setTempRoot(tempRoot.path());
        const MailRunResult result = job.run();
        QStringList got;
        for (const MailMessage& m : rec.calls)
            got << m.recipient;
        QTEST(got, "sentTo");
        QCOMPARE(result.sent, sent);
        QCOMPARE(result.failed, failing.isEmpty() ? 0 : 1);
        QCOMPARE(result.stopped, stopAfter >= 0);
        for (const QString& a : rec.attachmentsSeen)
            QVERIFY2(!a.startsWith("missing"), qPrintable(a));
        QVERIFY(tempRootEmpty());
        for (const MailMessage& m : rec.calls)
            QCOMPARE(QFileInfo(m.attachments.value(0)).fileName(), QString("NAVUFrame.png"));
    }

    // A pause lasts what was asked, counting down; Stop ends it at once; no pause follows the last mail.
    void pauses() {
        Recorder rec;
        MailRequest req = request({"a@x.org", "b@x.org"});
        req.cardMode = false;
        req.delayed = true;
        req.pauseEvery = 1;
        req.pauseMs = 1000;
        MailJob job(req, nullptr);
        job.setSender(rec.sender());
        QStringList texts;
        job.setProgress({{}, {}, [&](const QString& t) { texts << t; }});
        QElapsedTimer clock;
        clock.start();
        MailRunResult result = job.run();
        QVERIFY(clock.elapsed() >= 1000);
        QCOMPARE(result.sent, 2);
        QCOMPARE(texts, (QStringList{"Pausing the process for 1 Second.", ""}));

        Recorder stopper;
        stopper.stopAfter = 1;
        req.pauseMs = 60000;
        MailJob stopped(req, nullptr);
        stopped.setSender(stopper.sender());
        clock.restart();
        result = stopped.run();
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(result.sent, 1);
        QVERIFY(result.stopped);
    }

    // Plain mode: a typed file that does not exist stops the run before any mail, naming the path; an
    // existing one is attached as it is.
    void plainModeAttachment() {
        Recorder rec;
        MailRequest req = request({"a@x.org"});
        req.cardMode = false;
        req.plainAttachment = root.filePath("nope.pdf");
        MailJob job(req, nullptr);
        job.setSender(rec.sender());
        const MailRunResult missing = job.run();
        QCOMPARE(missing.sent, 0);
        QVERIFY(rec.calls.isEmpty());
        QVERIFY(mailFinishedMessage(missing).contains(root.filePath("nope.pdf")));
        const QString file = root.filePath("DataSet/Names.txt");
        req.plainAttachment = " " + file + " ";
        MailJob job2(req, nullptr);
        job2.setSender(rec.sender());
        QCOMPARE(job2.run().sent, 1);
        QCOMPARE(rec.calls[0].attachments, QStringList{file});
    }

    // Files whose names hold line breaks (every character Python takes for a line end), other control
    // characters or letters beyond ASCII arrive under their own names and with their own bytes.
    void attachmentNamesArriveIntact() {
        LoopbackSmtp smtp;
        QVERIFY(smtp.ok());
        const QStringList names = {
            "report.pdf", "line\nbreak.png", "carriage\rreturn.txt", "both\r\nends.txt", "vertical\vtab.txt",
            "form\ffeed.txt", QString("file\x1cgroup\x1drecord\x1eunit.txt"), QString("next") + QChar(0x85) + "line.txt",
            QString("line") + QChar(0x2028) + "and" + QChar(0x2029) + "paragraph.txt", QString("tab\tand") + QChar(0x7f) + "delete.txt",
            "Grüße \"quoted\" 100%; a=b*'c'.png", QString(90, QChar(0x00e9)) + "\n.png"};
        QTemporaryDir files;
        MailRequest req = request({"ann@navu.test"});
        req.account.port = smtp.portText();
        req.cardMode = false;
        QStringList paths;
        for (const QString& name : names) {
            paths << files.filePath(name);
            writeBytes(paths.last(), name.toUtf8());
        }
        // One mail carries them all: the script takes each path of the list.
        MailMessage message = req.account;
        message.recipient = "ann@navu.test";
        message.attachments = paths;
        QVERIFY(mailTextProblem(message).isEmpty());
        const MailSendResult sent = sendEmail_pyth(message, 60000);
        QVERIFY2(sent.sent, qPrintable(sent.error));
        // And the plain mode's own road, with a name that ends in a line break (sent encoded as it is;
        // Python's reader, as many, strips the end of a name it decodes).
        req.plainAttachment = files.filePath("ends with a break\n");
        writeBytes(req.plainAttachment, "last");
        QVERIFY(plainAttachmentProblem(req.plainAttachment).isEmpty());
        MailJob job(req, nullptr);
        QCOMPARE(job.run().sent, 1);

        const QList<QJsonObject> mails = smtp.mails();
        QCOMPARE(mails.size(), 2);
        const QJsonArray atts = mails[0]["attachments"].toArray();
        QCOMPARE(atts.size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(atts[i].toObject()["filename"].toString(), names[i]);
            QCOMPARE(readBytes(atts[i].toObject()["path"].toString()), names[i].toUtf8());
        }
        QVERIFY(readBytes(smtp.dir.filePath("2.eml")).contains("filename*=utf-8''ends%20with%20a%20break%0A"));
    }

    // A row whose picture cannot be read still goes out, but the finish message says how many cards had a
    // problem and names the row and the picture, never plain success.
    void rowProblemsReachTheMessage() {
        const QString good = root.filePath("good.png");
        QImage picture = filledImage(QSize(8, 8), Qt::green);
        QVERIFY(picture.save(good));
        const QString missing = root.filePath("photos/b.jpg");
        QVERIFY(SeriesFiles::writeSeries("Pics", {good, missing, good}));
        GraphicPtr photo = makeGraphicOfClass("SKTImage", false);
        photo->setBounds(QRectF(0, 0, 50, 50));
        photo->data_source_type = 1;
        photo->batch_list_name = "Pics";
        const GraphicList saved = front;
        front << photo;
        Recorder rec;
        MailRequest req = request({"a@x.org"});
        req.batch = true;
        MailJob job(req, makeJob(true));
        front = saved;
        job.setSender(rec.sender());
        job.setTempRoot(tempRoot.path());
        const MailRunResult result = job.run();
        QCOMPARE(result.sent, 3);
        QCOMPARE(result.problems.cardCount(), 1);
        const QString text = mailFinishedMessage(result);
        QVERIFY2(
            text.startsWith("Every e-mail has been sent, but not every card is as designed.\n\nSent: 3, "),
            qPrintable(text));
        QVERIFY2(
            text.endsWith(QString("\n\n1 of 3 cards had a problem:\nRow 2: the picture %1 could not be read.")
                              .arg(missing)),
            qPrintable(text));
    }

    // Without a place for the attachments nothing is sent and the run says why.
    void noTemporaryFolder() {
        Recorder rec;
        MailJob job(request({"a@x.org"}), makeJob(false));
        job.setSender(rec.sender());
        job.setTempRoot("/proc/navu-no-such-folder");
        const MailRunResult result = job.run();
        QCOMPARE(result.sent, 0);
        QCOMPARE(result.problem, QString("No temporary folder for the attachments."));
        QVERIFY(mailFinishedMessage(result).startsWith(result.problem));
        QVERIFY(rec.calls.isEmpty());
    }

    // The attachment name cannot leave the private folder.
    void hostileAttachmentName() {
        Recorder rec;
        MailRequest req = request({"a@x.org"});
        req.baseName = "../../evil";
        MailJob job(req, makeJob(false));
        job.setSender(rec.sender());
        job.setTempRoot(tempRoot.path());
        const MailRunResult result = job.run();
        QCOMPARE(result.sent, 0);
        QVERIFY(!result.problem.isEmpty());
        QVERIFY(rec.calls.isEmpty());
        QVERIFY(tempRootEmpty());
    }
};

QTEST_MAIN(TestMailSend)
#include "test_mail_send.moc"
