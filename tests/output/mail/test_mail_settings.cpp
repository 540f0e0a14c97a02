// The stored mail account: round trip through the settings file, its mode, and bad files.

#include "FileBytes.h"
#include "common/Globals.h"
#include "output/mail/MailSettings.h"
#include "SharedPlist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestMailSettings : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QString path;

    static int modeOf(const QString& p) {
        struct stat st {};
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    }

private slots:
    void init() {
        Resource_Path = root.path();
        path = root.filePath("com.navu.card.plist");
        QFile::remove(path);
    }

    void freshInstallHasEmptyDefaults() {
        const Preferences prefs = Preferences::sharedInstance();
        QCOMPARE(prefs.path(), path);
        QCOMPARE(prefs.send_email_SenderEmail(), QString(""));
        QVERIFY(prefs.send_email_enable_ssl().isNull());
        QVERIFY(!QFile::exists(path)); // nothing is written before a save
        sender_email = "stale@x.org";
        send_enable_ssl = "Y";
        Get_Email_Details();
        QCOMPARE(sender_email, QString(""));
        QVERIFY(send_enable_ssl.isNull());
    }

    // All six keys come back as typed (the password exactly, blanks and non-ASCII included); the file is
    // an XML property list readable by its owner only, also when an older file was world-readable.
    void roundTripAndMode() {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                                   QFileDevice::ReadGroup));
        Preferences prefs = Preferences::sharedInstance();
        prefs.setsend_email_SenderEmail("Me@Host.org");
        prefs.setsend_email_Password(" p&ss <wörd> ");
        prefs.setsend_email_SMTP_server("smtp.host.org");
        prefs.setsend_email_PORT_num("587");
        prefs.setsend_email_enable_ssl("N");
        prefs.setsend_email_Recipient("you@host.org");
        QVERIFY(prefs.flush());
        QCOMPARE(modeOf(path), 0600);
        const QString xml = QString::fromUtf8(readBytes(path));
        QVERIFY(xml.startsWith("<?xml"));
        for (const char* key : {"SendEmailSender", "SendEmailPwd", "SendEmailSMTP", "SendEmailPORT",
                                "SendEnableSSL", "SendEmailRecipient"})
            QVERIFY2(xml.contains(QString("<key>%1</key>").arg(key)), key);

        const Preferences back = Preferences::sharedInstance();
        QCOMPARE(back.send_email_SenderEmail(), QString("Me@Host.org"));
        QCOMPARE(back.send_email_Password(), QString(" p&ss <wörd> "));
        QCOMPARE(back.send_email_SMTP_server(), QString("smtp.host.org"));
        QCOMPARE(back.send_email_PORT_num(), QString("587"));
        QCOMPARE(back.send_email_enable_ssl(), QString("N"));
        QCOMPARE(back.send_email_Recipient(), QString("you@host.org"));
        Get_Email_Details();
        QCOMPARE(sender_pwd, QString(" p&ss <wörd> "));
        QCOMPARE(sending_port, QString("587"));
        QCOMPARE(send_enable_ssl, QString("N"));
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
    }

    // A broken, foreign or oversized file gives the defaults and is replaced whole by the next save.
    void badFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("not a plist \x01\x02");
        QTest::newRow("array") << QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string>"
            "</array></plist>");
        QTest::newRow("number where a string goes") << QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>SendEmailPORT</key><integer>25"
            "</integer><key>SendEmailSMTP</key><string>mail.x.org</string></dict></plist>");
        QTest::newRow("too big") << QByteArray(2 * 1024 * 1024, ' ');
        // Under the size limit, but a million copies of one text once read.
        QTest::newRow("one text shared") << sharedplist::sharedInDictionary(
            "SendEmailSMTP", sharedplist::text(QByteArray(4096, 's')), 1000000);
    }
    void badFiles() {
        QFETCH(QByteArray, content);
        writeBytes(path, content);
        Preferences prefs = Preferences::sharedInstance();
        QCOMPARE(prefs.send_email_PORT_num(), QString(""));
        QVERIFY(prefs.send_email_SMTP_server() == "" || prefs.send_email_SMTP_server() == "mail.x.org");
        prefs.setsend_email_PORT_num("25");
        QVERIFY(prefs.flush());
        QCOMPARE(Preferences::sharedInstance().send_email_PORT_num(), QString("25"));
    }

    void unwritableFolderKeepsOldFile() {
        Preferences prefs("/proc/navu-no-such-folder/com.navu.card.plist");
        prefs.setsend_email_SenderEmail("a@b.org");
        QVERIFY(!prefs.flush());
    }
};

QTEST_GUILESS_MAIN(TestMailSettings)
#include "test_mail_settings.moc"
