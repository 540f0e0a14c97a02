#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/types.h>

// A file that replaces its path only once it is complete. The way to it is walked once, folder by folder on
// open descriptors, every link on it checked by the link rule (linkMayBeFollowed); the data goes to a
// temporary file in the folder the way ends in, which is renamed there over the final name at commit. Nothing
// is looked up by its path again, so a link placed on the way meanwhile is never followed, and a rename
// never follows a link.
class SaveFile : public QFile {
public:
    explicit SaveFile(const QString& path);
    ~SaveFile() override; // an unfinished file is removed
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // The path given (the temporary file has no name of its own).
    QString fileName() const override { return _path; }
    // Opens the temporary file for writing (WriteOnly only); errno and errorString() say why not. A way
    // through a link the rule refuses gives EACCES (linkWriteProblem has the message).
    bool open(OpenMode mode) override;
    // Puts the file in place of the final name (synced to disk first unless `sync` is false); false, errno
    // and errorString() when it could not, the old file then kept.
    bool commit(bool sync = true);
    // Drops what was written; the old file is kept.
    void cancelWriting();

    // The file the temporary one replaces, as the way there resolved it: whether it existed, and its mode.
    bool replacing() const { return _replacing; }
    mode_t replacedMode() const { return _replacedMode; }

private:
    bool failed(int error, const QString& why);
    void close() override;

    QString _path;
    int _folder = -1;       // the folder the way ends in
    QByteArray _name;       // the final name in it
    QByteArray _tempName;   // the temporary file's name in it, when it has one
    bool _replacing = false;
    mode_t _replacedMode = 0;
};

// The kernel's rule for links in shared folders (protected_symlinks), applied by every writer whatever the
// system's setting: a link is followed when the follower owns it, when its folder's owner owns it, or when
// its folder is not both sticky and world-writable (as /tmp is, where anyone may place a link).
bool linkMayBeFollowed(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower);
// Walks path as a SaveFile does, checking every link on the way (the file's and its folders', each link of
// a chain) by that rule for `follower`. Empty when all may be followed, and *resolved then holds the path
// with every link resolved (what a writer replaces); otherwise the message naming the file.
QString linkWriteProblem(const QString& path, uid_t follower, QString* resolved = nullptr);
QString linkWriteProblem(const QString& path, QString* resolved = nullptr); // for this process's user
