#include "output/mail/MailScript.h"

#include "common/Globals.h"
#include "common/ResourceSetup.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace {
const QString kScriptName = QStringLiteral("pyth_mail.py");
const QString kChildPath = QStringLiteral("/bin:/usr/bin:/usr/local/bin");

bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}
} // namespace

QString mailScriptPath() {
    const QString fromEnv = qEnvironmentVariable("NAVU_MAIL_SCRIPT");
    if (isFile(fromEnv))
        return QFileInfo(fromEnv).absoluteFilePath();
    const QString shipped = shippedResourcesFolder();
    if (!shipped.isEmpty() && isFile(shipped + QLatin1Char('/') + kScriptName))
        return shipped + QLatin1Char('/') + kScriptName;
    if (!Resource_Path.isEmpty() && isFile(Resource_Path + QLatin1Char('/') + kScriptName))
        return Resource_Path + QLatin1Char('/') + kScriptName;
    return {};
}

QString pythonInterpreter() {
    QString found =
        QStandardPaths::findExecutable(QStringLiteral("python3"), kChildPath.split(QLatin1Char(':')));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("python3"));
    return found;
}

QStringList mailScriptArguments(const MailMessage& m) {
    QStringList args{m.sender,    m.server,
                     m.port,      m.sender,
                     m.recipient, m.subject,
                     m.body,      m.ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N")};
    args += m.attachments;
    return args;
}

MailSendResult sendEmail_pyth(const MailMessage& message, int timeoutMs) {
    const QString script = mailScriptPath();
    if (script.isEmpty())
        return {false, QStringLiteral("The mail script \"%1\" was not found.").arg(kScriptName)};
    const QString python = pythonInterpreter();
    if (python.isEmpty())
        return {false, QStringLiteral("python3 was not found.")};
    const QByteArray password = message.password.toLatin1();
    for (QChar c : message.password) {
        if (c.unicode() > 0x7f)
            return {false, QStringLiteral("The password holds characters that cannot be sent.")};
    }

    QProcess child;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PYTHONPATH"), QString());
    env.insert(QStringLiteral("PATH"), kChildPath);
    child.setProcessEnvironment(env);
    child.setProgram(python);
    child.setArguments(QStringList{script} + mailScriptArguments(message));
    child.start();
    if (!child.waitForStarted(10000))
        return {false, QStringLiteral("python3 could not be started: %1").arg(child.errorString())};
    child.write(password + "\n" + QStringLiteral("Description").toUtf8());
    child.closeWriteChannel();
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        child.waitForFinished(2000);
        return {false, QStringLiteral("The mail script did not finish in time.")};
    }
    const QString err = QString::fromUtf8(child.readAllStandardError()).trimmed();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {false,
                err.isEmpty() ? QStringLiteral("The mail script failed (%1).").arg(child.exitCode()) : err};
    return {true, {}};
}
