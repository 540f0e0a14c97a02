#include "imaging/ProcessedImageCache.h"

#include "imaging/DecodeGate.h"
#include "imaging/ImageProcesser.h"
#include "imaging/JobPictures.h"
#include "imaging/PictureScaling.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QThread>
#include <QThreadPool>
#include <QTransform>
#include <QWaitCondition>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <atomic>
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
    qint64 shownIn = -1; // the last canvas paint that drew it
};

// A picture asked of the canvas's workers: its key, values and size.
using Job = std::tuple<qint64, QString, int, int>;

// What the canvases drew in their last few paints (they paint in turn) stays while it takes at most this many
// budgets: otherwise pictures made on workers, each followed by a repaint, would put out one another and be
// made again for as long as the design is shown.
constexpr int ShownPasses = 8;
constexpr int ShownBudgets = 4;

QString settingsKey(const ImageAdjustSettings& s);

Job jobOf(qint64 key, const ImageAdjustSettings& settings, const QSize& target)
{
    return std::make_tuple(key, settingsKey(settings), target.width(), target.height());
}

Job jobOf(const Entry& e) { return jobOf(e.sourceKey, e.settings, e.target); }

struct Cache {
    QMutex mutex;
    std::list<Entry> entries; // most recently used first
    QHash<qint64, qint64> standIns; // a picture's key -> the key of the picture it replaced
    qint64 bytes = 0;
    qint64 budget = 128ll * 1024 * 1024;
    std::function<void(qint64)> notify;
    qint64 pass = 0;     // canvas paints begun
    std::set<Job> unkept; // asked by a canvas but put out while shown, beyond what may be kept

    bool shown(const Entry& e) const { return e.shownIn >= 0 && e.shownIn >= pass - ShownPasses; }

    // Least recently used first, but what a canvas drew lately only beyond ShownBudgets.
    void trim()
    {
        for (auto it = entries.end(); bytes > budget && it != entries.begin();) {
            --it;
            if (shown(*it)) {
                if (bytes <= ShownBudgets * budget)
                    continue;
                unkept.insert(jobOf(*it));
            }
            bytes -= it->image.sizeInBytes();
            it = entries.erase(it);
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
    std::set<Job> jobs;
};

Pending& pending()
{
    static Pending p;
    return p;
}

// Workers run below the window's thread (a tenth of its weight), so that on a busy machine its painting comes
// first; the pictures come in as soon as it leaves time.
void yieldToTheWindow()
{
#ifdef Q_OS_LINUX
    static thread_local bool lowered = false;
    if (!lowered) {
        lowered = true;
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
    }
#endif
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
    static constexpr qint64 Bytes = decodegate::Bytes;
    QMutex mutex;
    QWaitCondition freed;
    qint64 inUse = 0;
    qint64 held = 0; // pictures runs keep
};

DecodeGate& gate()
{
    static DecodeGate g;
    return g;
}

std::atomic<int> made{0};

QImage decodeWithin(const ItemPicture& source, QSize size, const ImageAdjustSettings& settings)
{
    ++made;
    if (source.inMemory())
        return ImageProcesser::process(source.image(size), settings);
    DecodeGate& g = gate();
    const QSize decoded = size.isValid() && !size.isEmpty() ? size.boundedTo(source.size()) : source.size();
    const qint64 adjusting = 4 * qint64(decoded.width()) * decoded.height() +
                             ImageProcesser::processCost(decoded, settings, false);
    const qint64 cost = std::min(std::max(source.decodeCost(size), adjusting), DecodeGate::Bytes);
    if (JobPictures* job = JobPictures::current())
        job->noteDecode(cost);
    for (;;) {
        QMutexLocker lock(&g.mutex);
        while (g.inUse > 0 && g.held + g.inUse + cost > DecodeGate::Bytes)
            g.freed.wait(&g.mutex);
        const qint64 over = g.held + g.inUse + cost - DecodeGate::Bytes;
        if (over <= 0 || g.held == 0) {
            g.inUse += cost;
            break;
        }
        // No room even alone: pictures kept for runs make way.
        lock.unlock();
        if (JobPictures::shed(over) <= 0) {
            lock.relock();
            g.inUse += cost;
            break;
        }
    }
    const QImage image = ImageProcesser::process(source.image(size), settings);
    QMutexLocker lock(&g.mutex);
    g.inUse -= cost;
    g.freed.wakeAll();
    return image;
}

// Pictures are made at the device size they cover, so that they are drawn a pixel for a pixel; one larger
// than its own pixels only up to this many (beyond, it is drawn stretched).
constexpr qint64 MaxGrownPixels = 16LL * 1024 * 1024;

// The size to make a picture of `full` pixels drawn over `wanted` device pixels; invalid for its own size.
QSize madeSize(const QSize& full, const QSize& wanted)
{
    if (!wanted.isValid() || wanted.isEmpty() || wanted == full)
        return {};
    const qint64 pixels = qint64(wanted.width()) * wanted.height();
    if (pixels > MaxGrownPixels && pixels > qint64(full.width()) * full.height())
        return {};
    return wanted;
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
            if (asyncHere)
                it->shownIn = c.pass;
            c.entries.splice(c.entries.begin(), c.entries, it);
            return c.entries.front().image;
        }
    }
    return std::nullopt;
}

// `shown`: made for a canvas, which draws it next.
void store(qint64 key, const ImageAdjustSettings& settings, const QSize& target, const QImage& image,
           bool shown = false)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    if (image.isNull())
        return;
    if (image.sizeInBytes() > (shown ? ShownBudgets : 1) * c.budget) {
        if (shown)
            c.unkept.insert(jobOf(key, settings, target));
        return;
    }
    for (const Entry& e : c.entries)
        if (e.sourceKey == key && e.settings == settings && e.target == target)
            return;
    c.entries.push_front(Entry{key, settings, target, image, shown ? c.pass : -1});
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
        return picturescaling::scaled(whole, target);
    }
    // Colours change each pixel alone, so they are made at the size drawn; a turn is made on a picture
    // decoded at the size that it turns into at least target.
    QSize decodeAt = target;
    if (settings.normalizedRotation() != 0) {
        const QSize full = ImageProcesser::processedSize(source.size(), settings);
        const double f = std::max(double(target.width()) / full.width(), double(target.height()) / full.height());
        decodeAt = QSize(std::max(1, int(std::ceil(source.width() * f))), std::max(1, int(std::ceil(source.height() * f))));
    }
    const QImage image = decodeWithin(source, decodeAt.boundedTo(source.size()), settings);
    return image.isNull() || image.size() == target ? image : picturescaling::scaled(image, target);
}

// The size a canvas has a picture made at: the size asked, or, where pictures made at that size were put out
// while shown (more than may be kept at once), half of it as often as needed, drawn stretched.
QSize keptSize(qint64 key, const ImageAdjustSettings& settings, QSize target, const QSize& full)
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    if (c.unkept.empty())
        return target;
    for (QSize at = target; c.unkept.count(jobOf(key, settings, at)) != 0;) {
        at = (at.isValid() ? at : full) / 2;
        if (at.width() < 16 || at.height() < 16)
            break;
        target = at;
    }
    return target;
}

// A picture the run drawing on this thread keeps: made once for all its rows, beside the cache of recent ones.
QImage keptForJob(JobPictures& job, const ItemPicture& source, const ImageAdjustSettings& settings, const QSize& target)
{
    const qint64 key = source.cacheKey();
    if (const auto kept = job.find(key, settings, target))
        return *kept;
    QImage image;
    bool told = false;
    // Rows waiting for the picture are told even when making it throws.
    const auto tell = qScopeGuard([&] {
        if (!told)
            job.made(key, settings, target, QImage());
    });
    const auto hit = lookup(key, settings, target);
    image = hit ? *hit : make(source, settings, target);
    told = true;
    if (!job.made(key, settings, target, image) && !hit)
        store(key, settings, target, image);
    return image;
}

// Work small enough to do while painting.
bool quick(const ItemPicture& source, const QSize& target)
{
    return qint64(source.width()) * source.height() <= 512 * 512 &&
           qint64(target.width()) * target.height() <= 1024 * 1024;
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
    QSize target = madeSize(full, targetSize);
    if (!target.isValid() && settings.isNeutral() && source.inMemory())
        return source.image();
    if (asyncHere)
        target = keptSize(key, settings, target, full);
    if (JobPictures* job = JobPictures::current(); job && job->keeps(key))
        return keptForJob(*job, source, settings, target);
    if (const auto hit = lookup(key, settings, target))
        return *hit;
    if (asyncHere && !quick(source, target)) {
        const Job job = jobOf(key, settings, target);
        Pending& p = pending();
        bool start = false;
        {
            QMutexLocker lock(&p.mutex);
            start = p.jobs.insert(job).second;
        }
        if (start) {
            workers().start([source, settings, target, job] {
                yieldToTheWindow();
                store(source.cacheKey(), settings, target, make(source, settings, target), true);
                std::function<void(qint64)> notify;
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
                    notify(source.cacheKey());
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
    store(key, settings, target, result, asyncHere);
    return result;
}

QImage ProcessedImageCache::processed(const QImage& source, const ImageAdjustSettings& settings,
                                      const QSize& targetSize)
{
    return processed(ItemPicture(source), settings, targetSize);
}

ProcessedImageCache::AsyncScope::AsyncScope() : m_outer(asyncHere)
{
    if (!m_outer) {
        Cache& c = cache();
        QMutexLocker lock(&c.mutex);
        ++c.pass;
        if (c.unkept.size() > 4096)
            c.unkept.clear();
    }
    asyncHere = true;
}

ProcessedImageCache::AsyncScope::~AsyncScope() { asyncHere = m_outer; }

void ProcessedImageCache::setReadyNotifier(std::function<void(qint64)> notify)
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

bool ProcessedImageCache::hasPending()
{
    Pending& p = pending();
    QMutexLocker lock(&p.mutex);
    return !p.jobs.empty();
}

void ProcessedImageCache::clear()
{
    Cache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.entries.clear();
    c.bytes = 0;
    c.unkept.clear();
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

int ProcessedImageCache::madeCount() { return made.load(); }

namespace decodegate {

bool hold(qint64 bytes, qint64 room, qint64 limit)
{
    DecodeGate& g = gate();
    QMutexLocker lock(&g.mutex);
    if (g.held + bytes > limit || g.held + bytes + std::max(room, g.inUse) > Bytes)
        return false;
    g.held += bytes;
    return true;
}

void release(qint64 bytes)
{
    if (bytes <= 0)
        return;
    DecodeGate& g = gate();
    QMutexLocker lock(&g.mutex);
    g.held -= bytes;
    g.freed.wakeAll();
}

} // namespace decodegate
