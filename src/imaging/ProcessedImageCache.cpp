#include "imaging/ProcessedImageCache.h"

#include "imaging/ImageProcesser.h"

#include <QMutex>
#include <QMutexLocker>

#include <list>

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
    qint64 bytes = 0;
    qint64 budget = 128ll * 1024 * 1024;

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

} // namespace

namespace {

bool needsDownscale(const QImage& image, const QSize& target)
{
    return target.isValid() && !target.isEmpty() &&
           (image.width() > 2 * target.width() || image.height() > 2 * target.height());
}

} // namespace

template <class Make> QImage lookupOrMake(qint64 key, const ImageAdjustSettings& settings, const QSize& target,
                                          Make make)
{
    Cache& c = cache();
    {
        QMutexLocker lock(&c.mutex);
        for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
            if (it->sourceKey == key && it->settings == settings && it->target == target) {
                c.entries.splice(c.entries.begin(), c.entries, it);
                return c.entries.front().image;
            }
        }
    }
    // Made outside the lock: two threads may both make the same picture, which is harmless.
    QImage result = make();
    if (result.isNull())
        return result;
    QMutexLocker lock(&c.mutex);
    if (result.sizeInBytes() <= c.budget) {
        c.entries.push_front(Entry{key, settings, target, result});
        c.bytes += result.sizeInBytes();
        c.trim();
    }
    return result;
}

QImage ProcessedImageCache::processed(const QImage& source, const ImageAdjustSettings& settings,
                                      const QSize& targetSize)
{
    if (source.isNull())
        return source;
    const qint64 key = source.cacheKey();
    // The full-size adjusted picture is kept too, so a new zoom only scales again.
    const QImage full = settings.isNeutral()
                            ? source
                            : lookupOrMake(key, settings, QSize(),
                                           [&] { return ImageProcesser::process(source, settings); });
    if (full.isNull() || !needsDownscale(full, targetSize))
        return full;
    // only ever shrinks: a side already small enough keeps its size
    const QSize target = targetSize.boundedTo(full.size());
    return lookupOrMake(key, settings, target, [&] {
        return full.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
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
