#include "common/ResourceSetup.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

bool copyOneFile(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Written under a temporary name and renamed, so an interrupted start never leaves a half file
    // that later starts would take for the user's own.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
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

QString shippedResourcesFolder()
{
    QStringList candidates;
    const QString env = qEnvironmentVariable("NAVU_SHIPPED_RESOURCES");
    if (!env.isEmpty())
        candidates << env;
    bool inBuildTree = false;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << appDir + QStringLiteral("/resources")
                   << appDir + QStringLiteral("/../share/navu-photo-frame/resources");
#ifdef NAVU_BINARY_DIR
        const QString buildDir = QFileInfo(QStringLiteral(NAVU_BINARY_DIR)).canonicalFilePath();
        const QString exeDir = QFileInfo(appDir).canonicalFilePath();
        inBuildTree = !buildDir.isEmpty() &&
                      (exeDir == buildDir || exeDir.startsWith(buildDir + QLatin1Char('/')));
#endif
    }
    // A program run from its build tree takes the sources' resources, even when an older copy is installed.
    QStringList builtIn;
#ifdef NAVU_INSTALLED_RESOURCES_DIR
    builtIn << QStringLiteral(NAVU_INSTALLED_RESOURCES_DIR);
#endif
#ifdef NAVU_SOURCE_RESOURCES_DIR
    if (inBuildTree)
        builtIn.prepend(QStringLiteral(NAVU_SOURCE_RESOURCES_DIR));
    else
        builtIn.append(QStringLiteral(NAVU_SOURCE_RESOURCES_DIR));
#endif
    candidates << builtIn;
    for (const QString& c : candidates) {
        if (QFileInfo(c).isDir())
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
