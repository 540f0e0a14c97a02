#pragma once

// Starts the test SMTP server (loopback_smtp.py) on 127.0.0.1 and reads back what it received; makes a
// test certificate authority and a server certificate for 127.0.0.1 with openssl. The server ends with the
// test: when the object goes (a failed check included) and, should the test itself die, with its parent.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>

inline QString testPython() {
    QString python = QStandardPaths::findExecutable("python3", {"/usr/bin", "/bin", "/usr/local/bin"});
    return python.isEmpty() ? QStandardPaths::findExecutable("python3") : python;
}

// A certificate authority of its own and a server certificate it signed for 127.0.0.1 and localhost.
class TestCertificates {
public:
    TestCertificates() {
        const QString ext = dir.filePath("server.ext");
        QFile f(ext);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n"
                "subjectKeyIdentifier=hash\nauthorityKeyIdentifier=keyid,issuer\n");
        f.close();
        const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        ok = run(QStringList{"req", "-x509"} + ec +
                 QStringList{"-keyout", path("ca.key"), "-out", ca(), "-days", "2", "-subj",
                             "/CN=NAVU Test CA", "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                             "keyUsage=critical,keyCertSign,cRLSign"}) &&
             run(QStringList{"req"} + ec +
                 QStringList{"-keyout", key(), "-out", path("server.csr"), "-subj", "/CN=127.0.0.1"}) &&
             run({"x509", "-req", "-in", path("server.csr"), "-CA", ca(), "-CAkey", path("ca.key"),
                  "-CAcreateserial", "-out", cert(), "-days", "2", "-extfile", ext});
    }
    bool ok = false;
    QString ca() const { return path("ca.pem"); }
    QString cert() const { return path("server.pem"); }
    QString key() const { return path("server.key"); }

private:
    QString path(const QString& name) const { return dir.filePath(name); }
    static bool run(const QStringList& args) {
        QProcess p;
        p.start("openssl", args);
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    QTemporaryDir dir;
};

// A child process of a test that is ended when the test process dies, however it dies.
inline void endWithParent(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

inline TestCertificates& testCertificates() {
    static TestCertificates certs;
    return certs;
}

class LoopbackSmtp {
public:
    explicit LoopbackSmtp(bool reject = false)
        : LoopbackSmtp(reject ? QStringList{"reject"} : QStringList{}) {}
    // Options of loopback_smtp.py: reject, badlogin, silent, ssl, starttls, cert=FILE, key=FILE. Without
    // "ssl", "starttls" or "plain" the server offers STARTTLS with a certificate the mail script is told to
    // trust (NAVU_MAIL_TEST_CA, while the server lives), as a real server would; "plain" offers no TLS.
    explicit LoopbackSmtp(QStringList options) {
        const bool plain = options.removeAll("plain") > 0;
        if (!plain && !options.contains("ssl") && !options.contains("starttls") && testCertificates().ok) {
            options << "starttls"
                    << "cert=" + testCertificates().cert() << "key=" + testCertificates().key();
            qputenv("NAVU_MAIL_TEST_CA", testCertificates().ca().toLocal8Bit());
            setsCa = true;
        }
        endWithParent(server);
        server.start(testPython(), QStringList{NAVU_LOOPBACK_SMTP, dir.path()} + options);
        if (server.waitForStarted(5000) && server.waitForReadyRead(10000))
            port = server.readLine().trimmed().toInt();
    }
    ~LoopbackSmtp() {
        server.kill();
        server.waitForFinished(3000);
        if (setsCa)
            qunsetenv("NAVU_MAIL_TEST_CA");
    }
    bool ok() const { return port > 0; }
    QString portText() const { return QString::number(port); }

    // Summaries of the received mails, in the order they arrived.
    QList<QJsonObject> mails() const {
        QList<QJsonObject> out;
        for (int n = 1;; ++n) {
            QFile f(dir.filePath(QString::number(n) + ".json"));
            if (!f.open(QIODevice::ReadOnly))
                break;
            out << QJsonDocument::fromJson(f.readAll()).object();
        }
        return out;
    }
    QStringList envelope(int n) const {
        QFile f(dir.filePath(QString::number(n) + ".env"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                           : QStringList();
    }
    QString auth() const {
        QFile f(dir.filePath("auth"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    QProcess server;
    int port = 0;
    bool setsCa = false;
};
