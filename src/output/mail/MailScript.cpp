#include "output/mail/MailScript.h"

#include "common/ResourceSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>

namespace {
const QString kScriptName = QStringLiteral("pyth_mail.py");
const QString kShippedScript = QStringLiteral("share/navu-photo-frame/resources/pyth_mail.py");
const QString kChildPath = QStringLiteral("/bin:/usr/bin:/usr/local/bin");

// Every character the mail script's header code takes for a line end (Python's str.splitlines).
bool isLineBreak(QChar c) {
    switch (c.unicode()) {
    case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x1C: case 0x1D: case 0x1E: case 0x85: case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

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

QString mailScriptPath(QString* problem) {
    QString found;
    const QString fromEnv = qEnvironmentVariable("NAVU_MAIL_SCRIPT");
    if (isFile(fromEnv)) {
        found = QFileInfo(fromEnv).absoluteFilePath();
    } else if (QCoreApplication::instance()) {
        // Only places fixed relative to the running program: the installed layout, or the copy in the
        // build tree the program runs from. Nothing is searched for, so no folder that someone else made
        // can offer a script.
        const QDir exeDir(QCoreApplication::applicationDirPath());
        const QString installed = exeDir.absoluteFilePath(QStringLiteral("../") + kShippedScript);
        const QString buildTree = programBuildTree();
        const QString built = buildTree.isEmpty() ? QString() : buildTree + QLatin1Char('/') + kShippedScript;
        for (const QString& candidate : {installed, built}) {
            if (isFile(candidate)) {
                found = QFileInfo(candidate).canonicalFilePath();
                break;
            }
        }
    }
    if (found.isEmpty())
        return {};
    // The script receives the password: one that other users could have written is never run.
    if (const QString why = trustedPathProblem(found); !why.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("The mail script %1 is not used: %2").arg(found, why);
        return {};
    }
    return found;
}

QString pythonInterpreter() {
    QString found =
        QStandardPaths::findExecutable(QStringLiteral("python3"), kChildPath.split(QLatin1Char(':')));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("python3"));
    return found;
}

QString singleLineTextProblem(const QString& field, const QString& text) {
    if (text.contains(QChar(0)))
        return QStringLiteral("The %1 holds a NUL character, which cannot be sent.").arg(field);
    if (std::any_of(text.cbegin(), text.cend(), isLineBreak))
        return QStringLiteral("The %1 holds a line break. Please type it on one line.").arg(field);
    return {};
}

QString bodyTextProblem(const QString& text) {
    return text.contains(QChar(0))
               ? QStringLiteral("The message holds a NUL character, which cannot be sent.")
               : QString();
}

QString mailTextProblem(const MailMessage& m) {
    const std::pair<const char*, const QString*> fields[] = {
        {"sender", &m.sender}, {"password", &m.password},   {"SMTP server", &m.server},
        {"port", &m.port},     {"recipient", &m.recipient}, {"subject", &m.subject}};
    for (const auto& [name, text] : fields) {
        const QString problem = singleLineTextProblem(QString::fromLatin1(name), *text);
        if (!problem.isEmpty())
            return problem;
    }
    for (const QString& path : m.attachments) {
        if (path.isEmpty() || path.contains(QChar(0)))
            return QStringLiteral("An attachment's path cannot be used.");
    }
    return bodyTextProblem(m.body);
}

QByteArray mailScriptInput(const MailMessage& m) {
    QJsonObject fields;
    fields.insert(QStringLiteral("sender"), m.sender);
    fields.insert(QStringLiteral("server"), m.server);
    fields.insert(QStringLiteral("port"), m.port);
    fields.insert(QStringLiteral("from"), m.sender);
    fields.insert(QStringLiteral("recipient"), m.recipient);
    fields.insert(QStringLiteral("subject"), m.subject);
    fields.insert(QStringLiteral("body"), m.body);
    fields.insert(QStringLiteral("ssl"),
                  m.ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N"));
    fields.insert(QStringLiteral("attachments"), QJsonArray::fromStringList(m.attachments));
    return m.password.toLatin1() + '\n' + QJsonDocument(fields).toJson(QJsonDocument::Compact);
}

MailSendResult sendEmail_pyth(const MailMessage& message, int timeoutMs, const std::atomic<bool>* stop) {
    QString unsafe;
    const QString script = mailScriptPath(&unsafe);
    if (script.isEmpty())
        return {false, unsafe.isEmpty() ? QStringLiteral("The mail script \"%1\" was not found.").arg(kScriptName)
                                        : unsafe};
    const QString python = pythonInterpreter();
    if (python.isEmpty())
        return {false, QStringLiteral("python3 was not found.")};
    for (QChar c : message.password) {
        if (c.unicode() > 0x7f)
            return {false, QStringLiteral("The password holds characters that cannot be sent.")};
    }
    if (const QString problem = mailTextProblem(message); !problem.isEmpty())
        return {false, problem};

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
    // -I: nothing beside the script, in the user's site folder or in PYTHON* variables is imported.
    child.setArguments({QStringLiteral("-I"), script});
    child.start();
    if (!child.waitForStarted(10000))
        return {false, QStringLiteral("python3 could not be started: %1").arg(child.errorString())};
    child.write(mailScriptInput(message));
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
        const bool refused = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 3;
        return {false,
                err.isEmpty() ? QStringLiteral("The mail script failed (%1).").arg(child.exitCode()) : err,
                false, refused};
    }
    return {true, {}};
}
