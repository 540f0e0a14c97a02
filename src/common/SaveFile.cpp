#include "common/SaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

bool linkMayBeFollowed(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower)
{
    const mode_t shared = S_ISVTX | S_IWOTH;
    return linkOwner == follower || (folderMode & shared) != shared || linkOwner == folderOwner;
}

namespace {

constexpr int kMaxLinks = 40; // the system's own bound (ELOOP)

QByteArray joinedPath(const QByteArray& folder, const QByteArray& name)
{
    return folder == "/" ? "/" + name : folder + '/' + name;
}

QByteArray parentPath(const QByteArray& folder)
{
    const qsizetype slash = folder.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : folder.left(slash);
}

QString refusedLinkMessage(const QString& path, const QByteArray& link, const QByteArray& folder)
{
    const QString linkPath = QFile::decodeName(link);
    const QString where = QDir::toNativeSeparators(QFile::decodeName(folder));
    if (QFileInfo(path).absoluteFilePath() == linkPath)
        return QStringLiteral("The file %1 was not written: it is a link that another user placed in the shared "
                              "folder %2.")
            .arg(QDir::toNativeSeparators(path), where);
    return QStringLiteral("The file %1 was not written: the way to it leads through %2, a link that another user "
                          "placed in the shared folder %3.")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(linkPath), where);
}

// Where a writer's way ends: the folder held open and the final name in it.
struct WriteWay {
    int folder = -1;
    QByteArray folderPath = "/";
    QByteArray name;

    WriteWay() = default;
    WriteWay(const WriteWay&) = delete;
    WriteWay& operator=(const WriteWay&) = delete;
    ~WriteWay()
    {
        if (folder >= 0)
            ::close(folder);
    }
    void moveTo(int fd, QByteArray path)
    {
        if (folder >= 0)
            ::close(folder);
        folder = fd;
        folderPath = std::move(path);
    }
};

// Walks path from the root on open folders as the system would to write it, every link checked by the rule.
// Empty with `way` set when the final name is reached; the rule's message when a link is refused; empty with
// *error set (errno) when the way cannot be walked (a folder missing, too many links).
QString walkForWrite(const QString& path, uid_t follower, WriteWay& way, int* error)
{
    *error = 0;
    if (path.isEmpty()) {
        *error = ENOENT;
        return {};
    }
    // Taken as the system takes it: a relative path from the working folder, ".." from where a link led.
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.contains('\0')) {
        *error = EINVAL;
        return {};
    }
    if (bytes.endsWith('/')) {
        *error = EISDIR;
        return {};
    }
    QList<QByteArray> pending = bytes.split('/');
    if (bytes.startsWith('/'))
        way.moveTo(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC), "/");
    else
        way.moveTo(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC), QFile::encodeName(QDir::currentPath()));
    if (way.folder < 0) {
        *error = errno;
        return {};
    }
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        const bool last = pending.isEmpty();
        if (part == "..") {
            way.moveTo(::openat(way.folder, "..", O_PATH | O_DIRECTORY | O_CLOEXEC), parentPath(way.folderPath));
            if (way.folder < 0) {
                *error = errno;
                return {};
            }
            continue;
        }
        struct stat st {};
        if (::fstatat(way.folder, part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT) {
                way.name = part; // a new file
                return {};
            }
            *error = errno;
            return {};
        }
        if (S_ISLNK(st.st_mode)) {
            if (++links > kMaxLinks) {
                *error = ELOOP;
                return {};
            }
            struct stat folder {};
            if (::fstat(way.folder, &folder) != 0) {
                *error = errno;
                return {};
            }
            if (!linkMayBeFollowed(st.st_uid, folder.st_uid, folder.st_mode, follower))
                return refusedLinkMessage(path, joinedPath(way.folderPath, part), way.folderPath);
            char target[PATH_MAX + 1];
            const ssize_t n = ::readlinkat(way.folder, part.constData(), target, PATH_MAX);
            if (n <= 0) {
                pending.prepend(part); // changed meanwhile: looked at again
                continue;
            }
            if (target[0] == '/')
                way.moveTo(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC), "/");
            pending = QByteArray(target, n).split('/') + pending;
            continue;
        }
        if (last) {
            way.name = part;
            return {};
        }
        const int next = ::openat(way.folder, part.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            if (errno != ENOTDIR || !S_ISDIR(st.st_mode) || ++links > kMaxLinks) {
                *error = errno;
                return {};
            }
            pending.prepend(part); // a folder replaced by a link meanwhile: looked at again
            continue;
        }
        way.moveTo(next, joinedPath(way.folderPath, part));
    }
    *error = EISDIR; // the path names a folder
    return {};
}

} // namespace

QString linkWriteProblem(const QString& path, uid_t follower, QString* resolved)
{
    WriteWay way;
    int error = 0;
    const QString problem = walkForWrite(path, follower, way, &error);
    if (resolved && problem.isEmpty())
        *resolved = error == 0 ? QFile::decodeName(joinedPath(way.folderPath, way.name)) : path;
    return problem;
}

QString linkWriteProblem(const QString& path, QString* resolved)
{
    return linkWriteProblem(path, ::geteuid(), resolved);
}

SaveFile::SaveFile(const QString& path) : _path(path) {}

SaveFile::~SaveFile()
{
    cancelWriting();
}

bool SaveFile::failed(int error, const QString& why)
{
    setErrorString(why.isEmpty() ? QString::fromLocal8Bit(std::strerror(error)) : why);
    errno = error;
    return false;
}

bool SaveFile::open(OpenMode mode)
{
    if (isOpen() || !(mode & WriteOnly) || (mode & (ReadOnly | Append)))
        return failed(EINVAL, QStringLiteral("A file to replace is opened for writing only, once."));
    WriteWay way;
    int error = 0;
    if (const QString problem = walkForWrite(_path, ::geteuid(), way, &error); !problem.isEmpty())
        return failed(EACCES, problem);
    if (error != 0)
        return failed(error, {});
    struct stat old {};
    if (::fstatat(way.folder, way.name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode))
            return failed(EISDIR, QStringLiteral("Filename refers to a directory"));
        // (A link here was placed after the walk: it is replaced, never followed.)
        if (S_ISREG(old.st_mode) && ::faccessat(way.folder, way.name.constData(), W_OK, AT_EACCESS) != 0)
            return failed(EACCES, QStringLiteral("Existing file %1 is not writable").arg(_path));
        _replacing = S_ISREG(old.st_mode);
        _replacedMode = old.st_mode & 07777;
    }
    // A file without a name until it is complete, where the file system can (and /proc can give it one at
    // commit); else a hidden one beside it.
    int fd = ::access("/proc/self/fd", X_OK) == 0 ? ::openat(way.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)
                                                  : -1;
    QByteArray tempName;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        if (attempt > 0 && errno != EEXIST)
            break;
        tempName = ".navu-save." + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::openat(way.folder, tempName.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        return failed(errno, {});
    if (!QFile::open(fd, mode, AutoCloseHandle)) {
        const int e = errno;
        ::close(fd);
        if (!tempName.isEmpty())
            ::unlinkat(way.folder, tempName.constData(), 0);
        return failed(e ? e : EIO, {});
    }
    _tempName = tempName;
    _name = way.name;
    _folder = std::exchange(way.folder, -1);
    return true;
}

bool SaveFile::commit(bool sync)
{
    if (!isOpen() || _folder < 0)
        return failed(EBADF, QStringLiteral("The file was not open."));
    if (!flush() || (sync && ::fsync(handle()) != 0)) {
        const int e = errno;
        cancelWriting();
        return failed(e ? e : EIO, {});
    }
    // A file without a name is given a temporary one first: a rename is what replaces the old file whole.
    QByteArray temp = _tempName;
    for (int attempt = 0; temp.isEmpty() && attempt < 100; ++attempt) {
        const QByteArray name = ".navu-save." + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle());
        if (::linkat(AT_FDCWD, self.constData(), _folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            temp = name;
        else if (errno != EEXIST)
            break;
    }
    const int linkError = errno;
    QFile::close();
    if (temp.isEmpty()) {
        cancelWriting();
        return failed(linkError ? linkError : EIO, {});
    }
    _tempName = temp;
    if (::renameat(_folder, temp.constData(), _folder, _name.constData()) != 0) {
        const int e = errno;
        cancelWriting();
        return failed(e, {});
    }
    _tempName.clear();
    cancelWriting(); // only lets the folder go: nothing is left to remove
    return true;
}

void SaveFile::cancelWriting()
{
    if (isOpen())
        QFile::close();
    if (_folder >= 0) {
        if (!_tempName.isEmpty())
            ::unlinkat(_folder, _tempName.constData(), 0);
        ::close(_folder);
    }
    _folder = -1;
    _tempName.clear();
}

void SaveFile::close()
{
    cancelWriting(); // only commit() puts the file in place
}
