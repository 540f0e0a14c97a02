#include "imaging/JobPictures.h"

#include "imaging/DecodeGate.h"

#include <QMutexLocker>

namespace {

thread_local JobPictures* currentPictures = nullptr;

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

void JobPictures::keep(const ItemPicture& picture)
{
    if (picture.isNull())
        return;
    QMutexLocker lock(&m_mutex);
    m_keys.insert(picture.cacheKey());
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
        const auto it = m_entries.constFind(key);
        if (it == m_entries.constEnd()) {
            m_entries.insert(key, Entry{}); // this caller makes it
            return std::nullopt;
        }
        if (it->state == State::Kept)
            return it->image;
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
    const bool keep = !image.isNull() && decodegate::hold(image.sizeInBytes(), m_largestDecode);
    entry.state = keep ? State::Kept : State::NotKept;
    if (keep) {
        entry.image = image;
        m_bytes += image.sizeInBytes();
        m_order << key;
    }
    m_made.wakeAll();
    return keep;
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
    while (freed < bytes && !m_order.isEmpty()) {
        const Key key = m_order.takeLast();
        freed += m_entries.value(key).image.sizeInBytes();
        m_entries.remove(key); // made again, and kept again if it fits then
    }
    m_bytes -= freed;
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
