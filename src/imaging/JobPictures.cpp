#include "imaging/JobPictures.h"

#include "imaging/DecodeGate.h"

#include <QMutexLocker>

#include <atomic>

namespace {

thread_local JobPictures* currentPictures = nullptr;

std::atomic<qint64> limitBytes{decodegate::Bytes};

// Every run's pictures, for shed().
struct Registry {
    QMutex mutex;
    QList<JobPictures*> all;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

size_t qHash(const JobPictures::Key& key, size_t seed)
{
    return qHashMulti(seed, key.picture, key.settings, key.size.width(), key.size.height());
}

JobPictures::JobPictures()
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.all << this;
}

JobPictures::~JobPictures()
{
    {
        Registry& r = registry();
        QMutexLocker lock(&r.mutex);
        r.all.removeOne(this);
    }
    decodegate::release(m_bytes);
}

void JobPictures::keep(const ItemPicture& picture, bool everyRow)
{
    if (picture.isNull())
        return;
    QMutexLocker lock(&m_mutex);
    bool& every = m_keys[picture.cacheKey()];
    every = every || everyRow;
}

int JobPictures::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_order.size());
}

qint64 JobPictures::bytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes;
}

void JobPictures::setLimitBytes(qint64 bytes) { limitBytes = std::min(bytes, decodegate::Bytes); }

JobPictures::Scope::Scope(std::shared_ptr<JobPictures> pictures)
    : m_pictures(std::move(pictures)), m_outer(currentPictures)
{
    currentPictures = m_pictures.get();
}

JobPictures::Scope::~Scope() { currentPictures = m_outer; }

JobPictures* JobPictures::current() { return currentPictures; }

bool JobPictures::keeps(qint64 pictureKey) const
{
    QMutexLocker lock(&m_mutex);
    return m_keys.contains(pictureKey);
}

std::optional<QImage> JobPictures::find(qint64 pictureKey, const ImageAdjustSettings& settings, const QSize& size)
{
    const Key key{pictureKey, settings, size};
    QMutexLocker lock(&m_mutex);
    for (;;) {
        const auto it = m_entries.find(key);
        if (it == m_entries.end()) {
            m_entries.insert(key, Entry{}); // this caller makes it
            return std::nullopt;
        }
        if (it->state == State::Kept) {
            it->used = ++m_clock;
            return it->image;
        }
        if (it->state == State::NotKept)
            return std::nullopt;
        m_made.wait(&m_mutex);
    }
}

bool JobPictures::made(qint64 pictureKey, const ImageAdjustSettings& settings, const QSize& size, const QImage& image)
{
    const Key key{pictureKey, settings, size};
    QMutexLocker lock(&m_mutex);
    Entry& entry = m_entries[key];
    if (entry.state == State::Kept)
        return entry.image.cacheKey() == image.cacheKey();
    const qint64 bytes = image.sizeInBytes();
    const bool keep = !image.isNull() && decodegate::hold(bytes, m_largestDecode, limitBytes);
    entry.state = keep ? State::Kept : State::NotKept;
    if (keep) {
        entry.image = image;
        entry.everyRow = m_keys.value(pictureKey, true);
        entry.used = ++m_clock;
        m_bytes += bytes;
        m_order << key;
    }
    m_made.wakeAll();
    if (!keep || entry.everyRow)
        return keep;
    // Of the pictures kept while recent, those given longest ago go.
    m_recentBytes += bytes;
    qint64 freed = 0;
    while (m_recentBytes > RecentBytes) {
        std::optional<Key> oldest;
        qint64 oldestUse = 0;
        for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
            if (it->state == State::Kept && !it->everyRow && !(it.key() == key) && (!oldest || it->used < oldestUse)) {
                oldest = it.key();
                oldestUse = it->used;
            }
        }
        if (!oldest)
            break;
        freed += drop(*oldest);
    }
    decodegate::release(freed);
    return true;
}

// Forgets a kept image; the bytes it held, which the caller gives back to the gate.
qint64 JobPictures::drop(const Key& key)
{
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return 0;
    const qint64 bytes = it->state == State::Kept ? it->image.sizeInBytes() : 0;
    if (it->state == State::Kept && !it->everyRow)
        m_recentBytes -= bytes;
    m_bytes -= bytes;
    m_order.removeOne(key);
    m_entries.erase(it); // made again, and kept again if it fits then
    return bytes;
}

void JobPictures::noteDecode(qint64 bytes)
{
    QMutexLocker lock(&m_mutex);
    m_largestDecode = std::max(m_largestDecode, bytes);
}

qint64 JobPictures::dropNewest(qint64 bytes)
{
    QMutexLocker lock(&m_mutex);
    qint64 freed = 0;
    while (freed < bytes && !m_order.isEmpty())
        freed += drop(Key(m_order.last()));
    return freed;
}

qint64 JobPictures::shed(qint64 bytes)
{
    qint64 freed = 0;
    {
        Registry& r = registry();
        QMutexLocker lock(&r.mutex);
        for (qsizetype i = r.all.size() - 1; i >= 0 && freed < bytes; --i)
            freed += r.all[i]->dropNewest(bytes - freed);
    }
    decodegate::release(freed);
    return freed;
}
