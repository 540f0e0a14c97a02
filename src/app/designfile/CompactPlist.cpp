#include "app/designfile/CompactPlist.h"

#include "canvas/BinaryPlist.h"

#include <QBuffer>
#include <QFileDevice>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace bplist;

constexpr quint64 ContainerBit = quint64(1) << 63;

} // namespace

// Syncs a file's data to the disk whenever enough was written since the last sync, until it is destroyed.
// A disk that fails to take the data is remembered (the sync that ends the save would not hear of it again).
class DiskSyncer {
public:
    explicit DiskSyncer(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~DiskSyncer() { stop(); }
    // Stops syncing; the errno of a sync that failed, 0 when none did.
    int stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        return m_error;
    }
    void wrote(quint64 bytes)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_written = bytes;
        }
        m_wake.notify_one();
    }

private:
    void run()
    {
        quint64 synced = 0;
        std::unique_lock lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [&] { return m_done || m_written > synced; });
            if (m_done)
                return;
            synced = m_written;
            lock.unlock();
            // A file system that cannot sync is no failure of the data.
            if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP && !m_error)
                m_error = errno;
            lock.lock();
        }
    }

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    quint64 m_written = 0;
    bool m_done = false;
    int m_error = 0;
    std::thread m_thread;
};

// ---------------------------------------------------------------------------------------------------------

CompactPlistWriter::CompactPlistWriter() : m_out("bplist00")
{
    m_table.resize(1024);
}

CompactPlistWriter::~CompactPlistWriter() = default;

quint32 CompactPlistWriter::newObject(quint64 where)
{
    if (m_objects.size() >= 0xFFFFFFF0u)
        throw std::bad_alloc();
    m_objects.push_back(where);
    return quint32(m_objects.size() - 1);
}

void CompactPlistWriter::growTable()
{
    // The slot comes from the tag the entry keeps, so no scalar is read again.
    PodBuffer<quint64> table;
    table.resize(m_table.size() * 2);
    rehashByTag(m_table.data(), m_table.size(), table.data(), table.size());
    m_table = std::move(table);
}

std::optional<quint32> CompactPlistWriter::find(const char* bytes, size_t length, quint64 tag, size_t* slot) const
{
    const size_t mask = m_table.size() - 1;
    size_t at = size_t(tag) & mask;
    while (const quint64 entry = m_table[at]) {
        if ((entry >> 32) == tag) {
            const quint32 index = quint32(entry) - 1;
            const quint64 off = m_objects[index];
            // A scalar's first bytes give its type and length, so equal bytes are the same value.
            if (off + length <= quint64(m_out.size()) && std::memcmp(m_out.constData() + off, bytes, length) == 0)
                return index;
        }
        at = (at + 1) & mask;
    }
    *slot = at;
    return std::nullopt;
}

quint32 CompactPlistWriter::insert(quint64 where, quint64 tag, size_t slot)
{
    const quint32 index = newObject(where);
    m_table[slot] = (tag << 32) | (quint64(index) + 1);
    if (++m_scalars * 4 > m_table.size() * 3)
        growTable();
    return index;
}

quint32 CompactPlistWriter::addScalar(qsizetype start)
{
    const char* bytes = m_out.constData() + start;
    const size_t length = size_t(m_out.size() - start);
    const quint64 tag = hashBytes(std::string_view(bytes, length)) >> 32;
    size_t slot = 0;
    if (const auto found = find(bytes, length, tag, &slot)) {
        m_out.truncate(start);
        return *found;
    }
    return insert(quint64(start), tag, slot);
}

quint32 CompactPlistWriter::addText(QStringView text)
{
    const qsizetype start = m_out.size();
    QString clean;
    if (text.contains(QChar(0))) {
        clean = text.toString();
        clean.remove(QChar(0));
        text = clean;
    }
    appendText(m_out, text);
    return addScalar(start);
}

quint32 CompactPlistWriter::addData(const char* bytes, quint64 size)
{
    // Pictures are not worth comparing.
    const qsizetype start = m_out.size();
    appendData(m_out, bytes, size);
    return newObject(quint64(start));
}

CompactPlistWriter::Container CompactPlistWriter::begin(quint32 type, quint32 n)
{
    Container c;
    c.index = newObject(ContainerBit | quint64(m_refs.size()));
    m_refs.push_back(type);
    m_refs.push_back(n);
    c.firstRef = m_refs.size();
    m_refs.resize(m_refs.size() + (type == 0xD ? 2 * size_t(n) : size_t(n)));
    return c;
}

std::optional<quint32> CompactPlistWriter::addTree(plist_t node, const Hook& hook)
{
    if (!node)
        return std::nullopt;
    if (hook) {
        const qint64 own = hook(node, *this);
        if (own == Failed)
            return std::nullopt;
        if (own >= 0)
            return quint32(own);
    }
    const qsizetype start = m_out.size();
    if (appendScalar(m_out, node))
        return addScalar(start);
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        uint64_t len = 0;
        const char* v = plist_get_string_ptr(node, &len);
        return addText(QString::fromUtf8(v ? v : "", v ? qsizetype(len) : 0));
    }
    case PLIST_DATA: {
        uint64_t len = 0;
        const char* v = plist_get_data_ptr(node, &len);
        return addData(v, v ? len : 0);
    }
    case PLIST_ARRAY: {
        const quint32 n = plist_array_get_size(node);
        const Container c = beginArray(n);
        for (quint32 i = 0; i < n; ++i) {
            const auto ref = addTree(plist_array_get_item(node, i), hook);
            if (!ref)
                return std::nullopt;
            setElement(c, i, *ref);
        }
        return c.index;
    }
    case PLIST_DICT: {
        const quint32 n = plist_dict_get_size(node);
        const Container c = beginDict(n);
        quint32 i = 0;
        const bool ok = plistio::forEachEntry(node, [&](const char* key, plist_t value) {
            const quint32 k = addText(QString::fromUtf8(key));
            const auto v = addTree(value, hook);
            if (!v || i >= n)
                return false;
            setEntry(c, n, i++, k, *v);
            return true;
        });
        if (!ok || i != n)
            return std::nullopt;
        return c.index;
    }
    default:
        return std::nullopt;
    }
}

quint32 CompactPlistWriter::reserve(quint32 n)
{
    const size_t first = m_objects.size();
    if (first + n >= 0xFFFFFFF0u)
        throw std::bad_alloc();
    m_objects.resize(first + n);
    m_reserved += n;
    return quint32(first);
}

bool CompactPlistWriter::flush()
{
    if (m_out.isEmpty())
        return true;
    const bool sent = send(m_out.constData(), m_out.size());
    m_out.resize(0); // keeps its room for the next chunk
    return sent;
}

bool CompactPlistWriter::send(const char* bytes, qsizetype size)
{
    if (m_device->write(bytes, size) != size) {
        m_refused = true;
        return false;
    }
    m_written += quint64(size);
    // A file is synced to the disk on another thread as it grows, so that the sync that ends the save has
    // little left to do.
    auto* file = qobject_cast<QFileDevice*>(m_device);
    if (file && m_written - m_sentToDisk >= kSendToDisk && file->flush() && file->handle() >= 0) {
        if (!m_syncer && !m_syncless) {
            try {
                m_syncer = std::make_unique<DiskSyncer>(file->handle());
            } catch (const std::system_error&) {
                m_syncless = true; // no thread to be had: the sync that ends the save does it all
            }
        }
        if (m_syncer)
            m_syncer->wrote(m_written);
        m_sentToDisk = m_written;
    }
    return true;
}

bool CompactPlistWriter::append(const char* bytes, qsizetype size)
{
    // Large blocks go out as they are, after what the output holds.
    if (size < kChunk / 4) {
        m_out.append(bytes, size);
        return spill();
    }
    return flush() && send(bytes, size);
}

bool CompactPlistWriter::finish(quint32 top, QIODevice& out, const Late& late)
{
    m_device = &out;
    if (!flush())
        return false;
    m_out.reserve(kChunk + 64 * 1024);
    const quint64 count = m_objects.size();
    m_refSize = bytesFor(count ? count - 1 : 0);
    m_table = PodBuffer<quint64>();
    if ((late && !late(*this)) || m_placed != m_reserved)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!(m_objects[i] & ContainerBit))
            continue;
        const size_t at = size_t(m_objects[i] & ~ContainerBit);
        const quint32 type = m_refs[at];
        const quint32 n = m_refs[at + 1];
        m_objects[i] = m_written + quint64(m_out.size());
        appendMarker(m_out, uchar(type), n);
        const size_t refs = type == 0xD ? 2 * size_t(n) : size_t(n);
        const qsizetype from = m_out.size();
        m_out.resize(from + qsizetype(refs) * m_refSize);
        char* p = m_out.data() + from;
        for (size_t k = 0; k < refs; ++k, p += m_refSize)
            putBigEndian(p, m_refs[at + 2 + k], m_refSize);
        if (!spill())
            return false;
    }
    m_refs = PodBuffer<quint32>();
    const quint64 tableOffset = m_written + quint64(m_out.size());
    const int offsetSize = bytesFor(tableOffset);
    for (size_t i = 0; i < count; i += 4096) {
        const size_t n = std::min<size_t>(4096, count - i);
        const qsizetype at = m_out.size();
        m_out.resize(at + qsizetype(n) * offsetSize);
        char* p = m_out.data() + at;
        for (size_t k = 0; k < n; ++k, p += offsetSize)
            putBigEndian(p, m_objects[i + k], offsetSize);
        if (!spill())
            return false;
    }
    m_objects = PodBuffer<quint64>();
    appendTrailer(m_out, {offsetSize, m_refSize, count, top, tableOffset});
    if (!flush())
        return false;
    if (const int error = m_syncer ? m_syncer->stop() : 0) {
        m_refused = true;
        errno = error;
        return false;
    }
    return true;
}

QByteArray CompactPlistWriter::finish(quint32 top)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!finish(top, buffer))
        return {};
    return bytes;
}

// ---------------------------------------------------------------------------------------------------------

bool CompactPlistReader::open(const QByteArray& data, QString* error)
{
    auto fail = [&] {
        if (error)
            *error = QStringLiteral("The data is not a readable property list.");
        return false;
    };
    const std::optional<Trailer> t = readTrailer(data);
    if (!t)
        return fail();
    m_data = reinterpret_cast<const uchar*>(data.constData());
    m_size = quint64(data.size());
    m_objectsEnd = m_size - 32;
    m_offsetSize = t->offsetSize;
    m_refSize = t->refSize;
    m_count = t->count;
    m_top = t->top;
    m_tableOffset = t->tableOffset;
    return true;
}

std::optional<CompactPlistReader::Object> CompactPlistReader::object(quint64 index) const
{
    if (index >= m_count)
        return std::nullopt;
    const quint64 off = readBigEndian(m_data + m_tableOffset + index * quint64(m_offsetSize), m_offsetSize);
    if (off < 8 || off >= m_objectsEnd)
        return std::nullopt;
    const uchar marker = m_data[off];
    Object o;
    o.type = marker >> 4;
    const int low = marker & 0x0F;
    quint64 pos = off + 1;
    quint64 payload = 0;
    switch (o.type) {
    case 0x0:
        if (low != 0x8 && low != 0x9)
            return std::nullopt;
        o.count = quint64(low);
        break;
    case 0x1:
        if (low > 4)
            return std::nullopt;
        payload = o.count = quint64(1) << low;
        break;
    case 0x2:
        if (low != 2 && low != 3)
            return std::nullopt;
        payload = o.count = quint64(1) << low;
        break;
    case 0x3:
        if (low != 3)
            return std::nullopt;
        payload = o.count = 8;
        break;
    case 0x8:
        payload = o.count = quint64(low) + 1;
        break;
    case 0x4:
    case 0x5:
    case 0x6:
    case 0xA:
    case 0xD: {
        quint64 n = 0;
        if (!readCount(m_data, m_objectsEnd, off, &n, &pos) || n > m_size)
            return std::nullopt;
        o.count = n;
        payload = o.type == 0x6 ? 2 * n : o.type == 0xA ? n * quint64(m_refSize)
                                        : o.type == 0xD ? 2 * n * quint64(m_refSize) : n;
        break;
    }
    default:
        return std::nullopt;
    }
    if (payload > m_objectsEnd - pos)
        return std::nullopt;
    o.body = m_data + pos;
    o.offset = off;
    return o;
}

quint64 CompactPlistReader::Object::extent(int refSize) const
{
    const quint64 head = 1; // the marker, at least
    switch (type) {
    case 0x6:
        return head + 2 * count;
    case 0xA:
        return head + count * quint64(refSize);
    case 0xD:
        return head + 2 * count * quint64(refSize);
    case 0x4:
    case 0x5:
        return head + count;
    default:
        return head;
    }
}

std::optional<quint64> CompactPlistReader::reference(const Object& container, quint64 i) const
{
    const quint64 refs = container.type == 0xD ? 2 * container.count : container.type == 0xA ? container.count : 0;
    if (i >= refs)
        return std::nullopt;
    const quint64 ref = readBigEndian(container.body + i * quint64(m_refSize), m_refSize);
    if (ref >= m_count)
        return std::nullopt;
    return ref;
}

std::optional<QByteArray> CompactPlistReader::textUtf8(const Object& o, qsizetype maxLength) const
{
    if ((o.type != 0x5 && o.type != 0x6) || o.count > quint64(maxLength))
        return std::nullopt;
    if (o.type == 0x5)
        return QByteArray(reinterpret_cast<const char*>(o.body), qsizetype(o.count));
    QString text(qsizetype(o.count), Qt::Uninitialized);
    char16_t* units = reinterpret_cast<char16_t*>(text.data());
    for (quint64 i = 0; i < o.count; ++i)
        units[i] = char16_t((o.body[2 * i] << 8) | o.body[2 * i + 1]);
    return text.toUtf8();
}

PlistPtr CompactPlistReader::toPlist(quint64 index, int depth, qint64* budget) const
{
    if (depth < 0 || (*budget -= plistio::NodeBytes) < 0)
        return {};
    const std::optional<Object> o = object(index);
    if (!o)
        return {};
    // Data and texts are charged before they are copied.
    const qint64 held = o->type == 0x4 || o->type == 0x5 ? qint64(o->count) : o->type == 0x6 ? 3 * qint64(o->count) : 0;
    if ((*budget -= held) < 0)
        return {};
    switch (o->type) {
    case 0x0:
        return PlistPtr(plist_new_bool(o->count == 0x9 ? 1 : 0));
    case 0x1: {
        // A 16-byte integer keeps its low 8 bytes, as libplist reads it.
        const int size = int(o->count);
        return PlistPtr(plist_new_uint(readBigEndian(o->body + (size > 8 ? size - 8 : 0), size > 8 ? 8 : size)));
    }
    case 0x2: {
        double v = 0;
        if (o->count == 4) {
            const quint32 bits = quint32(readBigEndian(o->body, 4));
            float f = 0;
            std::memcpy(&f, &bits, 4);
            v = f;
        } else {
            const quint64 bits = readBigEndian(o->body, 8);
            std::memcpy(&v, &bits, 8);
        }
        return PlistPtr(plist_new_real(v));
    }
    case 0x3: {
        const quint64 bits = readBigEndian(o->body, 8);
        double v = 0;
        std::memcpy(&v, &bits, 8);
        if (!std::isfinite(v) || std::abs(v) > 2e9)
            return {};
        const double whole = std::floor(v);
        return PlistPtr(plist_new_date(int32_t(whole), int32_t((v - whole) * 1e6)));
    }
    case 0x4:
        return PlistPtr(plist_new_data(reinterpret_cast<const char*>(o->body), o->count));
    case 0x5:
    case 0x6: {
        const std::optional<QByteArray> text = textUtf8(*o, std::numeric_limits<qsizetype>::max() / 4);
        if (!text)
            return {};
        return PlistPtr(plist_new_string(text->constData()));
    }
    case 0x8:
        return PlistPtr(plist_new_uid(readBigEndian(o->body, int(o->count))));
    case 0xA: {
        PlistPtr array(plist_new_array());
        for (quint64 i = 0; i < o->count; ++i) {
            const std::optional<quint64> ref = reference(*o, i);
            PlistPtr child = ref ? toPlist(*ref, depth - 1, budget) : PlistPtr();
            if (!child)
                return {};
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    case 0xD: {
        PlistPtr dict(plist_new_dict());
        for (quint64 i = 0; i < o->count; ++i) {
            const std::optional<quint64> keyRef = reference(*o, i);
            const std::optional<quint64> valueRef = reference(*o, o->count + i);
            const std::optional<Object> key = keyRef ? object(*keyRef) : std::nullopt;
            if (key && (*budget -= plistio::NodeBytes + (key->type == 0x6 ? 3 : 1) * qint64(key->count)) < 0)
                return {};
            const std::optional<QByteArray> name = key ? textUtf8(*key, 1 << 20) : std::nullopt;
            PlistPtr value = name && valueRef ? toPlist(*valueRef, depth - 1, budget) : PlistPtr();
            if (!value)
                return {};
            plist_dict_set_item(dict.get(), name->constData(), value.release());
        }
        return dict;
    }
    default:
        return {};
    }
}
