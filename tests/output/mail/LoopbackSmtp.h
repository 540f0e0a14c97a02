#pragma once

// Starts the test SMTP server (loopback_smtp.py) on 127.0.0.1 and reads back what it received.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

class LoopbackSmtp {
public:
    explicit LoopbackSmtp(bool reject = false) {
        QString python = QStandardPaths::findExecutable("python3", {"/usr/bin", "/bin", "/usr/local/bin"});
        if (python.isEmpty())
            python = QStandardPaths::findExecutable("python3");
        QStringList args{NAVU_LOOPBACK_SMTP, dir.path()};
        if (reject)
            args << "reject";
        server.start(python, args);
        if (server.waitForStarted(5000) && server.waitForReadyRead(10000))
            port = server.readLine().trimmed().toInt();
    }
    ~LoopbackSmtp() {
        server.kill();
        server.waitForFinished(3000);
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
};
