#pragma once

// Pictures kept for one run that draws many cards (print, export, mail). A picture of the design is drawn alike
// on every row: it is made once at each size and with each adjustment it is drawn with, and every row and side
// gets that same image, whatever the process-wide cache keeps meanwhile (so a PDF holds it once). Pictures of
// files the data names are kept the same way while they are among the recent ones (up to RecentBytes), so a
// file named on many rows is made once too. Kept pictures count against the bytes decodes share (1 GB): one is
// kept only while the largest decode the run has needed still fits beside them, and the rest are made again on
// each row; a decode that finds no room even alone has kept pictures dropped, the newest first. Thread-safe:
// the copies of a run on several threads share one.

#include "imaging/ImageAdjustments.h"
#include "imaging/ItemPicture.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QSize>
#include <QWaitCondition>

#include <memory>
#include <optional>

class JobPictures {
public:
    JobPictures();
    ~JobPictures();
    JobPictures(const JobPictures&) = delete;
    JobPictures& operator=(const JobPictures&) = delete;

    static constexpr qint64 RecentBytes = 128LL * 1024 * 1024;
    // What is made of the picture is kept: for the whole run when it is drawn on every row, else while recent.
    void keep(const ItemPicture& picture, bool everyRow = true);
    // Images kept now, and their bytes.
    int count() const;
    qint64 bytes() const;
    // The most that all runs keep at once (tests); never more than the decodes' bound leaves.
    static void setLimitBytes(qint64 bytes);

    // While one lives on a thread, ProcessedImageCache::processed() keeps and gives these pictures there.
    class Scope {
    public:
        explicit Scope(std::shared_ptr<JobPictures> pictures);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::shared_ptr<JobPictures> m_pictures;
        JobPictures* m_outer;
    };

    // What ProcessedImageCache asks. The run's pictures on this thread, if any:
    static JobPictures* current();
    bool keeps(qint64 pictureKey) const;
    // The kept image; while another thread makes it, waits for that. Nothing when the caller is to make it:
    // it then calls made() with what it made, kept or not.
    std::optional<QImage> find(qint64 pictureKey, const ImageAdjustSettings& settings, const QSize& size);
    // Keeps the image when it fits; false when it is not kept.
    bool made(qint64 pictureKey, const ImageAdjustSettings& settings, const QSize& size, const QImage& image);
    // A decode of the run held this many bytes at once.
    void noteDecode(qint64 bytes);
    // Drops kept images of every run, the newest first, until at least `bytes` are given back; what was given.
    static qint64 shed(qint64 bytes);

    struct Key {
        qint64 picture;
        ImageAdjustSettings settings;
        QSize size;
        bool operator==(const Key&) const = default;
    };

private:
    enum class State { Making, Kept, NotKept };
    struct Entry {
        State state = State::Making;
        QImage image;
        bool everyRow = true;
        qint64 used = 0; // when last given
    };
    qint64 drop(const Key& key);
    qint64 dropNewest(qint64 bytes);

    mutable QMutex m_mutex;
    QWaitCondition m_made;
    QHash<qint64, bool> m_keys; // picture -> drawn on every row
    QHash<Key, Entry> m_entries;
    QList<Key> m_order; // kept images, oldest first
    qint64 m_bytes = 0;
    qint64 m_recentBytes = 0; // of pictures kept while recent
    qint64 m_clock = 0;
    qint64 m_largestDecode = 0;
};

size_t qHash(const JobPictures::Key& key, size_t seed = 0);
