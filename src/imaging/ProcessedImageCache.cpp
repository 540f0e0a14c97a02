#include "imaging/ProcessedImageCache.h"

#include "imaging/ImageProcesser.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QThreadPool>
#include <QTransform>
#include <QWaitCondition>

#include <cmath>
#include <list>
#include <set>
#include <tuple>

namespace {

struct Entry {
    qint64 sourceKey;
    ImageAdjustSettings settings;
    QSize target;
    QImage image;
};

struct Cache {
    QMutex mutex;
    std::list<Entry> entries; // most recently used first
    QHash<qint64, qint64> standIns; // a picture's key -> the key of the picture it replaced
    qint64 bytes = 0;
    qint64 budget = 128ll * 1024 * 1024;
    std::function<void()> notify;

    void trim()
    {
        while (!entries.empty() && bytes > budget) {
            bytes -= entries.back().image.sizeInBytes();
            entries.pop_back();
        }
    }
};

Cache& cache()
{
    static Cache c;
    return c;
}

thread_local bool asyncHere = false;

// Pictures asked for in an AsyncScope and not yet made.
struct Pending {
    QMutex mutex;
    QWaitCondition done;
    std::set<std::tuple<qint64, QString, int, int>> jobs;
};

Pending& pending()
{
    static Pending p;
    return p;
}

QThreadPool& workers()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount() / 2));
        qAddPostRoutine([] { pool->waitForDone(); }); // before the cache goes, at the application's end
        return p;
    }();
    return *pool;
}

// Decodes and their adjustments share this many bytes at once, counted as they really peak (the first always
// goes), so that workers and export threads decoding large pictures together do not add up.
struct DecodeGate {
    static constexpr qint64 Bytes = 1024LL * 1024 * 1024;
    QMutex mutex;
    QWaitCondition freed;
    qint64 inUse = 0;
};

DecodeGate& gate()
{
    static DecodeGate g;
    return g;
}

QImage decodeWithin(const ItemPicture& source, QSize size, const ImageAdjustSettings& settings)
{
    if (source.inMemory())
        return ImageProcesser::process(source.image(size), settings);
    DecodeGate& g = gate();
    const QSize decoded = size.isValid() && !size.isEmpty() ? size.boundedTo(source.size()) : source.size();
    const qint64 adjusting = 4 * qint64(decoded.width()) * decoded.height() +
                             ImageProcesser::processCost(decoded, settings, false);
    const qint64 cost = std::min(std::max(source.decodeCost(size), adjusting), DecodeGate::Bytes);
    {
        QMutexLocker lock(&g.mutex);
        while (g.inUse > 0 && g.inUse + cost > DecodeGate::Bytes)
            g.freed.wait(&g.mutex);
        g.inUse += cost;
    }
    const QImage image = ImageProcesser::process(source.image(size), settings);
    QMutexLocker lock(&g.mutex);
    g.inUse -= cost;
    g.freed.wakeAll();
    return image;
}

bool needsDownscale(const QSize& size, const QSize& target)
{
    return target.isValid() && !target.isEmpty() &&
           (size.width() > 2 * target.width() || size.height() > 2 * target.height());
}

QString settingsKey(const ImageAdjustSettings& s)
{
    return QStringLiteral("%1%2%3 %4 %5 %6 %7 %8 %9 %10 %11")
        .arg(int(s.grayscale))
        .arg(int(s.sepia))
        .arg(int(s.invert))
        .arg(s.hue)
        .arg(s.saturation)
        .arg(s.brightness)
        .arg(s.contrast)
        .arg(s.rotation)
        .arg(s.sharpness)
        .arg(s.exposure)
        .arg(s.blur);
}

std::optional<QImage> lookup(qint64 key, const ImageAdjustSettings& settings, const QSize& target)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
        if (it->sourceKey == key && it->settings == settings && it->target == target) {
            c.entries.splice(c.entries.begin(), c.entries, it);
            return c.entries.front().image;
        }
    }
    return std::nullopt;
}

void store(qint64 key, const ImageAdjustSettings& settings, const QSize& target, const QImage& image)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    if (image.isNull() || image.sizeInBytes() > c.budget)
        return;
    for (const Entry& e : c.entries)
        if (e.sourceKey == key && e.settings == settings && e.target == target)
            return;
    c.entries.push_front(Entry{key, settings, target, image});
    c.bytes += image.sizeInBytes();
    c.trim();
}

// The picture made before for the same source whose size is nearest to target, with the same values if there
// is one (while an adjustment changes, the picture stays as it was until the new one is made).
QImage nearest(qint64 key, const ImageAdjustSettings& settings, const QSize& target)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    const Entry* best = nullptr;
    double bestDistance = 0;
    bool bestSame = false;
    for (const Entry& e : c.entries) {
        if (e.sourceKey != key)
            continue;
        const bool same = e.settings == settings;
        if (bestSame && !same)
            continue;
        const double distance = std::abs(std::log(double(std::max(1, e.image.width())) / std::max(1, target.width())));
        if (!best || (same && !bestSame) || distance < bestDistance) {
            bestSame = same;
            best = &e;
            bestDistance = distance;
        }
    }
    return best ? best->image : QImage();
}

qint64 standInOf(qint64 key)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    return c.standIns.value(key);
}

QImage make(const ItemPicture& source, const ImageAdjustSettings& settings, const QSize& target)
{
    const qint64 key = source.cacheKey();
    if (!target.isValid())
        return decodeWithin(source, QSize(), settings);
    if (settings.needsWholePicture()) {
        QImage whole;
        if (const auto hit = lookup(key, settings, QSize())) {
            whole = *hit;
        } else {
            whole = decodeWithin(source, QSize(), settings);
            store(key, settings, QSize(), whole);
        }
        return whole.isNull() ? whole : whole.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Decoded at the size that the pipeline turns into at least target, then scaled to it.
    const QSize full = ImageProcesser::processedSize(source.size(), settings);
    const double f = std::max(double(target.width()) / full.width(), double(target.height()) / full.height());
    const QSize decodeAt(std::max(1, int(std::ceil(source.width() * f))), std::max(1, int(std::ceil(source.height() * f))));
    QImage image = decodeWithin(source, decodeAt.boundedTo(source.size()), settings);
    if (!image.isNull() && image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Work small enough to do while painting.
bool quick(const ItemPicture& source)
{
    return qint64(source.width()) * source.height() <= 512 * 512;
}

} // namespace

QImage ProcessedImageCache::processed(const ItemPicture& source, const ImageAdjustSettings& settings,
                                      const QSize& targetSize)
{
    // A picture that failed to decode is not decoded again, nor asked of a worker again.
    if (source.isNull() || !source.drawError().isEmpty())
        return {};
    const qint64 key = source.cacheKey();
    const QSize full = ImageProcesser::processedSize(source.size(), settings);
    const bool scale = needsDownscale(full, targetSize);
    // only ever shrinks: a side already small enough keeps its size
    const QSize target = scale ? targetSize.boundedTo(full) : QSize();
    if (!scale && settings.isNeutral() && source.inMemory())
        return source.image();
    if (const auto hit = lookup(key, settings, target))
        return *hit;
    if (asyncHere && !quick(source)) {
        const auto job = std::make_tuple(key, settingsKey(settings), target.width(), target.height());
        Pending& p = pending();
        bool start = false;
        {
            QMutexLocker lock(&p.mutex);
            start = p.jobs.insert(job).second;
        }
        if (start) {
            workers().start([source, settings, target, job] {
                store(source.cacheKey(), settings, target, make(source, settings, target));
                std::function<void()> notify;
                {
                    QMutexLocker lock(&cache().mutex);
                    notify = cache().notify;
                }
                Pending& p = pending();
                {
                    QMutexLocker lock(&p.mutex);
                    p.jobs.erase(job);
                    p.done.wakeAll();
                }
                if (notify)
                    notify();
            });
        }
        QImage shown = nearest(key, settings, target);
        // Not made at any size yet: the picture it replaced, as long as there is one made of it.
        QList<qint64> seen{key};
        for (qint64 before = standInOf(key); shown.isNull() && before && !seen.contains(before);
             before = standInOf(before)) {
            seen << before;
            shown = nearest(before, settings, target);
        }
        return shown;
    }
    // Made outside the lock: two threads may both make the same picture, which is harmless.
    const QImage result = make(source, settings, target);
    store(key, settings, target, result);
    return result;
}

QImage ProcessedImageCache::processed(const QImage& source, const ImageAdjustSettings& settings,
                                      const QSize& targetSize)
{
    return processed(ItemPicture(source), settings, targetSize);
}

ProcessedImageCache::AsyncScope::AsyncScope() : m_outer(asyncHere) { asyncHere = true; }

ProcessedImageCache::AsyncScope::~AsyncScope() { asyncHere = m_outer; }

void ProcessedImageCache::setReadyNotifier(std::function<void()> notify)
{
    QMutexLocker lock(&cache().mutex);
    cache().notify = std::move(notify);
}

void ProcessedImageCache::showUntilMade(const ItemPicture& picture, const ItemPicture& before)
{
    // Only the canvas, on the application's thread, draws stand-ins; rows of a run do not need them.
    const QCoreApplication* app = QCoreApplication::instance();
    if (picture.isNull() || before.isNull() || picture.cacheKey() == before.cacheKey() || !app ||
        app->thread() != QThread::currentThread())
        return;
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    // a few keys a replaced picture, kept for the run (its first stand-in stays)
    if (c.standIns.size() < 100000 && !c.standIns.contains(picture.cacheKey()))
        c.standIns.insert(picture.cacheKey(), before.cacheKey());
}

void ProcessedImageCache::waitForPending()
{
    Pending& p = pending();
    QMutexLocker lock(&p.mutex);
    while (!p.jobs.empty())
        p.done.wait(&p.mutex);
}

void ProcessedImageCache::clear()
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.entries.clear();
    c.bytes = 0;
}

void ProcessedImageCache::setBudgetBytes(qint64 bytes)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.budget = bytes;
    c.trim();
}

int ProcessedImageCache::entryCount()
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    return int(c.entries.size());
}
