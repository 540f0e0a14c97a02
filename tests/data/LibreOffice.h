#pragma once

// Runs LibreOffice headless with a private profile to convert files for the tests.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

class LibreOffice {
public:
    static QString executable() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

    // Converts `source` into `outDir` with a filter such as "xlsx" or "csv:...". Returns the output path or
    // an empty string (with the tool's output in *log).
    QString convert(const QString& source, const QString& filter, const QString& outDir, const QString& ext,
                    QString* log = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        if (!environment.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const QString& e : environment)
                env.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
            p.setProcessEnvironment(env);
        }
        p.start(executable(), {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(_profile.path()).toString(),
                               QStringLiteral("--headless"), QStringLiteral("--norestore"),
                               QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, source});
        const bool done = p.waitForFinished(180000);
        if (log)
            *log = QString::fromLocal8Bit(p.readAll());
        const QString out = QDir(outDir).filePath(QFileInfo(source).completeBaseName() + u'.' + ext);
        return done && QFileInfo::exists(out) ? out : QString();
    }

    QStringList environment; // "NAME=value" entries for the conversions, such as a locale

private:
    QTemporaryDir _profile;
};
