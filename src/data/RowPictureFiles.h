#pragma once

// The pictures a run (print, export, mail) reads from files its data names. Each file is read once for the
// whole run however many rows and items name it, and read again only when it changed meanwhile, so the rows
// share one picture: it is decoded once at each size drawn while it is among the recent pictures the run keeps
// (JobPictures) and a PDF holds it once. A file that cannot be read gives its reason again without another
// try. Files read are held up to MaxHeldBytes; beyond, those named longest ago are let go. Thread-safe: the
// copies of a run share one.

#include "imaging/ItemPicture.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <functional>
#include <memory>

class JobPictures;

class RowPictureFiles {
public:
    using Reader = std::function<ItemPicture(const QString& path, QString* error)>;
    static constexpr qint64 MaxHeldBytes = 256LL * 1024 * 1024;

    // Pictures read are kept in `keep` while recent (null: nowhere).
    explicit RowPictureFiles(std::shared_ptr<JobPictures> keep);

    // The picture at path as read reads it (null and the reason when it cannot be read); an empty path gives a
    // null picture and no reason.
    ItemPicture picture(const QString& path, const Reader& read, QString* error = nullptr);
    // Files read so far (tests).
    int reads() const;

private:
    // What identifies a file's bytes without reading them.
    struct Stamp {
        bool exists = false;
        qint64 size = 0, modified = 0, changed = 0, inode = 0, device = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);
    struct Entry {
        bool reading = true;
        Stamp stamp;
        ItemPicture picture;
        QString error;
        qint64 used = 0; // when last named
    };
    void letGo();

    std::shared_ptr<JobPictures> m_keep;
    mutable QMutex m_mutex;
    QWaitCondition m_read;
    QHash<QString, Entry> m_files;
    qint64 m_clock = 0;
    qint64 m_held = 0;
    int m_reads = 0;
};
