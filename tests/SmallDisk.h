#pragma once

// A 64 KiB tmpfs for tests of a full disk: mounted at construction (root only), unmounted at the end.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <unistd.h>

class SmallDisk {
public:
    SmallDisk() {
        const QByteArray command = "mount -t tmpfs -o size=64k navu-test " + mountPoint() + " 2>/dev/null";
        _mounted = ::geteuid() == 0 && _dir.isValid() && std::system(command.constData()) == 0;
    }
    ~SmallDisk() {
        if (_mounted)
            std::system(("umount " + mountPoint()).constData());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return _mounted; }
    QString filePath(const QString& name) const { return _dir.filePath(name); }
    QStringList files() const { return QDir(_dir.path()).entryList(QDir::Files); }
    // Takes every free block.
    void fill() const {
        QFile filler(filePath(QStringLiteral("filler")));
        if (filler.open(QIODevice::WriteOnly))
            filler.write(QByteArray(64 * 1024, 'x'));
    }

private:
    QByteArray mountPoint() const { return QFile::encodeName(_dir.path()); }
    QTemporaryDir _dir;
    bool _mounted = false;
};
