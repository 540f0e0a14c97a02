#include "output/mail/MailScript.h"

#include "common/Globals.h"
#include "common/ResourceSetup.h"

#include <QElapsedTimer>
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

// The script's last line on standard error, without its "pyth_mail: " tag, as a sentence.
QString scriptReason(const QByteArray& stderrText) {
    const QStringList lines = QString::fromUtf8(stderrText).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString reason = lines.isEmpty() ? QString() : lines.last().trimmed();
    const QString tag = QStringLiteral("pyth_mail: ");
    if (reason.startsWith(tag))
        reason = reason.mid(tag.size());
    if (reason.isEmpty())
        return {};
    reason[0] = reason[0].toUpper();
    if (!reason.endsWith(QLatin1Char('.')))
        reason += QLatin1Char('.');
    return reason;
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

MailSendResult sendEmail_pyth(const MailMessage& message, int timeoutMs, const std::atomic<bool>* stop) {
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
    const QProcessEnvironment ours = QProcessEnvironment::systemEnvironment();
    for (const QString& name : ours.keys()) {
        if (name.startsWith(QLatin1String("NAVU_MAIL_TEST_")))
            env.insert(name, ours.value(name));
    }
    child.setProcessEnvironment(env);
    child.setProgram(python);
    child.setArguments(QStringList{script} + mailScriptArguments(message));
    child.start();
    if (!child.waitForStarted(10000))
        return {false, QStringLiteral("python3 could not be started: %1").arg(child.errorString())};
    child.write(password + "\n" + QStringLiteral("Description").toUtf8());
    child.closeWriteChannel();
    // Waited for in short steps so that Stop ends a mail in progress at once.
    QElapsedTimer clock;
    clock.start();
    while (!child.waitForFinished(50)) {
        if (child.state() == QProcess::NotRunning)
            break;
        const bool stopped = stop && stop->load();
        if (stopped || clock.elapsed() >= timeoutMs) {
            child.kill();
            child.waitForFinished(2000);
            if (stopped)
                return {false, QStringLiteral("Sending was stopped."), true};
            return {
                false,
                QStringLiteral("The mail script did not finish within %1 seconds.").arg(timeoutMs / 1000)};
        }
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        const QString err = scriptReason(child.readAllStandardError());
        return {false,
                err.isEmpty() ? QStringLiteral("The mail script failed (%1).").arg(child.exitCode()) : err};
    }
    return {true, {}};
}
