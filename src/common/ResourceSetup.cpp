#include "common/ResourceSetup.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyOneFile(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Written under a temporary name and renamed, so an interrupted start never leaves a half file
    // that later starts would take for the user's own.
    SaveFile out(target);
    if (!openSaveFile(out))
        return false;
    char buffer[64 * 1024];
    while (!in.atEnd()) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0 || out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

} // namespace

QString defaultResourcePath()
{
    const QString env = qEnvironmentVariable("NAVU_RESOURCE_PATH");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void setResourcePath(const QString& path)
{
    Resource_Path = path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Data_Folder_Path = Resource_Path.isEmpty() ? QString() : Resource_Path + QStringLiteral("/DataSet");
}

QString programBuildTree()
{
#ifdef NAVU_BINARY_DIR
    if (QCoreApplication::instance()) {
        const QString buildDir = QFileInfo(QStringLiteral(NAVU_BINARY_DIR)).canonicalFilePath();
        const QString exeDir = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
        if (!buildDir.isEmpty() && (exeDir == buildDir || exeDir.startsWith(buildDir + QLatin1Char('/'))))
            return buildDir;
    }
#endif
    return QString();
}

QString trustedPathProblem(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return QString();
    const uid_t me = geteuid();
    const gid_t myGroup = getegid();
    QString at = canonical;
    for (;;) {
        struct stat st {};
        if (stat(QFile::encodeName(at).constData(), &st) != 0)
            return QStringLiteral("%1 cannot be checked.").arg(at);
        if (st.st_uid != 0 && st.st_uid != me)
            return QStringLiteral("%1 belongs to another user.").arg(at);
        const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
        if (!sticky && ((st.st_mode & S_IWOTH) || ((st.st_mode & S_IWGRP) && st.st_gid != myGroup)))
            return QStringLiteral("%1 can be changed by other users.").arg(at);
        if (at == QLatin1String("/"))
            return QString();
        at = QFileInfo(at).path();
    }
}

QString shippedResourcesFolder()
{
    QStringList candidates;
    const QString env = qEnvironmentVariable("NAVU_SHIPPED_RESOURCES");
    if (!env.isEmpty())
        candidates << env;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << appDir + QStringLiteral("/resources")
                   << appDir + QStringLiteral("/../share/navu-photo-frame/resources");
        // A program run from its build tree takes the sources' resources, even when an older copy is
        // installed; nothing else ever reads the source tree.
#ifdef NAVU_SOURCE_RESOURCES_DIR
        if (!programBuildTree().isEmpty())
            candidates << QStringLiteral(NAVU_SOURCE_RESOURCES_DIR);
#endif
    }
#ifdef NAVU_INSTALLED_RESOURCES_DIR
    candidates << QStringLiteral(NAVU_INSTALLED_RESOURCES_DIR);
#endif
    for (const QString& c : candidates) {
        if (!QFileInfo(c).isDir())
            continue;
        if (const QString why = trustedPathProblem(c); !why.isEmpty()) {
            Show_NSLog_Message(QStringLiteral("The resources in %1 are passed over: %2").arg(c, why));
            continue;
        }
        return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
    }
    return QString();
}

int copyMissingResources(const QString& from, const QString& to)
{
    const QDir source(from);
    if (from.isEmpty() || !source.exists() || to.isEmpty())
        return -1;
    // A target inside the source would be walked while it grows.
    const QString fromCanon = QFileInfo(from).canonicalFilePath();
    const QString toAbs = QDir::cleanPath(QFileInfo(to).absoluteFilePath());
    const auto within = [&fromCanon](const QString& p) {
        return p == fromCanon || p.startsWith(fromCanon + QLatin1Char('/'));
    };
    if (within(toAbs) || !makeFolder(to) || within(QFileInfo(toAbs).canonicalFilePath()))
        return -1;
    int copied = 0;
    bool failed = false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo fi = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (fi.isDir()) {
            if (!makeFolder(target)) {
                Show_NSLog_Message(QStringLiteral("Could not create the folder %1").arg(target));
                failed = true;
            }
            continue;
        }
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink())
            continue; // the user's own file, or one copied before: never overwritten
        if (!makeFolder(existing.absolutePath()) || !copyOneFile(path, target)) {
            Show_NSLog_Message(QStringLiteral("Could not copy %1 to %2").arg(path, target));
            failed = true;
            continue;
        }
        ++copied;
    }
    return failed ? -1 : copied;
}

bool setupResources()
{
    if (Resource_Path.isEmpty())
        setResourcePath(defaultResourcePath());
    if (Resource_Path.isEmpty() || !makeFolder(Resource_Path)) {
        Show_NSLog_Message(QStringLiteral("Could not create the resource folder %1").arg(Resource_Path));
        return false;
    }
    const bool foldersMade = Check_Path_And_Create_Files();
    const QString shipped = shippedResourcesFolder();
    if (shipped.isEmpty())
        Show_NSLog_Message(QStringLiteral("The program's resources were not found"));
    else if (QFileInfo(shipped).canonicalFilePath() != QFileInfo(Resource_Path).canonicalFilePath())
        copyMissingResources(shipped, Resource_Path);
    return foldersMade;
}
