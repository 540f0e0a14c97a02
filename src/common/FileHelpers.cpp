#include "common/FileHelpers.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QMutex>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>
#include <exception>

namespace {

QMutex openerMutex;
UrlOpener currentOpener;

// The process's umask, read without changing it (umask() would change it for every thread for a moment).
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask & 0777);
            }
        }
    }
    return S_IWGRP | S_IWOTH;
}

} // namespace

bool openSaveFile(SaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    ::fchmod(file.handle(), file.replacing() ? (file.replacedMode() & 0777 & ~mode_t(S_IWOTH))
                                             : (0666 & ~currentUmask()));
    return true;
}

bool makeFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QFileInfo fi(clean);
    if (fi.isDir())
        return true;
    if (fi.exists() || fi.isSymLink())
        return false; // a file or a dangling link stands in the way
    const QString parent = fi.absolutePath();
    if (parent != clean && !makeFolder(parent))
        return false;
    if (QDir().mkdir(clean, kFolderPermissions))
        return true;
    return QFileInfo(clean).isDir(); // made by someone else meanwhile
}

bool Check_Path_And_Create_Files()
{
    if (Resource_Path.isEmpty()) {
        Show_NSLog_Message(QStringLiteral("Check_Path_And_Create_Files: the resource folder is not set"));
        return false;
    }
    const QString dataFolder =
        Data_Folder_Path.isEmpty() ? Resource_Path + QStringLiteral("/DataSet") : Data_Folder_Path;
    const QStringList folders = {
        dataFolder,
        Resource_Path + QStringLiteral("/Frames"),
        Resource_Path + QStringLiteral("/Fill_Style_Image"),
        Resource_Path + QStringLiteral("/LibraryImage"),
        Resource_Path + QStringLiteral("/Templates"),
        Resource_Path + QStringLiteral("/Templates/User"),
    };
    bool ok = true;
    for (const QString& f : folders) {
        if (!makeFolder(f)) {
            Show_NSLog_Message(QStringLiteral("Could not create the folder %1").arg(f));
            ok = false;
        }
    }
    return ok;
}

bool Delete_File(const QString& path)
{
    if (path.isEmpty())
        return true;
    QFileInfo fi(path);
    if (!fi.exists() && !fi.isSymLink())
        return true;
    bool ok;
    if (fi.isDir() && !fi.isSymLink())
        ok = QDir(path).removeRecursively();
    else
        ok = QFile::remove(path);
    if (!ok)
        Show_NSLog_Message(QStringLiteral("Could not delete %1").arg(path));
    return ok;
}

void setUrlOpener(UrlOpener opener)
{
    QMutexLocker lock(&openerMutex);
    currentOpener = std::move(opener);
}

bool openUrl(const QUrl& url)
{
    UrlOpener opener;
    {
        QMutexLocker lock(&openerMutex);
        opener = currentOpener;
    }
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

void Open_Help_File()
{
    const QString path = Resource_Path + QStringLiteral("/Help.pdf");
    if (Resource_Path.isEmpty() || !QFileInfo(path).isFile()) {
        Show_MessageBox(QStringLiteral("Help file does not exist!"));
        return;
    }
    if (!openUrl(QUrl::fromLocalFile(path)))
        Show_MessageBox(noProgramMessage(path));
}

QString noProgramMessage(const QString& path)
{
    return QStringLiteral("There is no program on this computer to open\n%1").arg(path);
}

int Check_And_Validate_File_Path(const QString& path)
{
    const QString trimmed = Trim_Str(path);
    if (!trimmed.isEmpty() && QFileInfo::exists(trimmed))
        return 0;
    Show_MessageBox(QStringLiteral("Please select valid file path."));
    return 1;
}

QString Convert_Path_From_URL(const QUrl& url)
{
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme().isEmpty())
        return url.path();
    return QString();
}

namespace {

// Empty on success, else the reason. The old file is replaced only by a complete new one.
QString writePng(const QImage& image, const QString& path)
{
    SaveFile file(path);
    errno = 0;
    if (!openSaveFile(file))
        return writeErrorText(file, path, errno);
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        const int e = errno;
        const bool fileFailed = file.error() != QFileDevice::NoError || e == ENOSPC || e == EDQUOT;
        const QString why = fileFailed ? writeErrorText(file, path, e) : writer.errorString();
        file.cancelWriting();
        return why;
    }
    QString why;
    return commitSaveFile(file, &why) ? QString() : why;
}

// A writable file system with blocks and none left. Pseudo file systems (/proc, /sys) and read-only
// mounts report no free blocks too; they are not "full".
bool noRoomLeft(const QString& path)
{
    struct statvfs st {};
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    return statvfs(dir.constData(), &st) == 0 && st.f_blocks > 0 && !(st.f_flag & ST_RDONLY)
           && st.f_bavail == 0;
}

// Reasons a failed open gives that room on the disk cannot explain.
bool definiteReason(int e)
{
    return e == EACCES || e == EPERM || e == EROFS || e == ENOENT || e == ENOTDIR || e == EISDIR
           || e == ENAMETOOLONG;
}

} // namespace

QString writeErrorText(const QFileDevice& file, const QString& path, int savedErrno)
{
    if (const QString link = linkWriteProblem(path); !link.isEmpty())
        return link;
    if (savedErrno == ENOSPC || savedErrno == EDQUOT || (!definiteReason(savedErrno) && noRoomLeft(path)))
        return QStringLiteral("The disk is full.");
    const QString said = file.errorString();
    if (savedErrno != 0 && (said.isEmpty() || said == QLatin1String("Unknown error")))
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return said;
}

bool commitSaveFile(SaveFile& file, QString* error, bool sync)
{
    const QString path = file.fileName();
    const qint64 written = file.pos();
    errno = 0;
    struct stat st {};
    const bool complete = file.flush() && file.error() == QFileDevice::NoError &&
                          ::fstat(file.handle(), &st) == 0 && st.st_size == written;
    const int e = errno;
    if (!complete) {
        if (error) {
            *error = writeErrorText(file, path, e);
            if (error->isEmpty())
                *error = QStringLiteral("The file could not be written completely.");
        }
        file.cancelWriting();
        return false;
    }
    if (!file.commit(sync)) {
        if (error)
            *error = writeErrorText(file, path, errno);
        return false;
    }
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error, bool ownerOnly)
{
    SaveFile file(path);
    errno = 0;
    bool ok = ownerOnly ? file.open(QIODevice::WriteOnly) : openSaveFile(file);
    if (ok && ownerOnly)
        ok = ::fchmod(file.handle(), S_IRUSR | S_IWUSR) == 0;
    if (ok && file.write(bytes) == bytes.size())
        return commitSaveFile(file, error);
    const int e = errno;
    if (error)
        *error = writeErrorText(file, path, e);
    file.cancelWriting();
    return false;
}

bool Save_gen_image(const QImage& image, const QString& file_path_val)
{
    QString error;
    if (image.isNull())
        error = QStringLiteral("Invalid image");
    else if (file_path_val.isEmpty())
        error = QStringLiteral("No file name given");
    else {
        try {
            error = writePng(image, file_path_val);
        } catch (const std::exception& e) {
            // Out of memory while encoding a huge picture: the old file is still there.
            Show_NSLog_Message(
                QStringLiteral("Save_gen_image %1: %2").arg(file_path_val, QString::fromUtf8(e.what())));
            return false;
        }
    }
    if (error.isEmpty())
        return true;
    Show_MessageBox(file_path_val);
    Show_MessageBox(error);
    return false;
}

QString Get_date_Value(const QString& pattern, const QDateTime& at)
{
    return QLocale().toString(at, pattern);
}

QString Get_time_Value(const QString& pattern, const QDateTime& at)
{
    return QLocale().toString(at, pattern);
}
