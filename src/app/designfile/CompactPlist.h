#pragma once

// Binary property lists ("bplist00") written and read without a node per value, for design files whose data
// table holds millions of cells.
//
// The writer appends each scalar to the output as it is added; texts, numbers and flags equal in bytes are
// stored once. Objects may also be reserved and written later, while the list is streamed out (a table of
// millions of rows is written a chunk at a time, never held whole). Containers are laid out after the
// scalars, once the size of a reference is known; the offset table gives every object's place, so any
// reader of the format takes the result.
//
// The reader checks the trailer and the offset table, and every object it is asked for, against the data's
// bounds; it never follows a reference without checking it.

#include "canvas/KeyedArchive.h"
#include "data/StringPool.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

// A quick hash of bytes (most texts are short): eight at a time, mixed as splitmix64 does, so that every bit
// of the result depends on every byte.
inline quint64 mixBits(quint64 x)
{
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

inline quint64 hashBytes(std::string_view bytes)
{
    const char* p = bytes.data();
    size_t n = bytes.size();
    quint64 h = 0x9E3779B97F4A7C15ULL ^ (quint64(n) * 0xFF51AFD7ED558CCDULL);
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        h = mixBits(h ^ word);
    }
    quint64 last = 0;
    std::memcpy(&last, p, n);
    return mixBits(h ^ last);
}

// Puts the entries of an open-addressed table whose slot is picked by their upper 32 bits (0: empty) into
// `to`, a zeroed table of `size` slots, a power of two.
inline void rehashByTag(const quint64* from, size_t n, quint64* to, size_t size)
{
    const size_t mask = size - 1;
    for (size_t i = 0; i < n; ++i) {
        const quint64 entry = from[i];
        if (!entry)
            continue;
        size_t slot = size_t(entry >> 32) & mask;
        while (to[slot])
            slot = (slot + 1) & mask;
        to[slot] = entry;
    }
}

class CompactPlistWriter {
public:
    struct Container {
        quint32 index = 0; // the object's number
        size_t firstRef = 0;  // where its references start in the reference buffer
    };

    CompactPlistWriter();
    ~CompactPlistWriter();

    quint32 addText(QStringView text); // NUL characters are left out, as libplist keeps C strings
    quint32 addData(const char* bytes, quint64 size);
    // An array of n elements or a dictionary of n entries; its references are set afterwards, in any order.
    Container beginArray(quint32 n) { return begin(0xA, n); }
    Container beginDict(quint32 n) { return begin(0xD, n); }
    void setElement(const Container& array, quint32 i, quint32 ref) { m_refs[array.firstRef + i] = ref; }
    void setEntry(const Container& dict, quint32 n, quint32 i, quint32 key, quint32 value)
    {
        m_refs[dict.firstRef + i] = key;
        m_refs[dict.firstRef + n + i] = value;
    }

    // Adds a libplist tree, depth first. hook, when given, may add a node itself and give its object number;
    // NotMine lets the node be added as it is, Failed ends the write. Nothing when a node cannot be written.
    static constexpr qint64 NotMine = -2;
    static constexpr qint64 Failed = -1;
    using Hook = std::function<qint64(plist_t node, CompactPlistWriter& writer)>;
    std::optional<quint32> addTree(plist_t node, const Hook& hook = {});

    // n objects whose bytes are appended later, by the late step of finish; their numbers follow the one
    // given back.
    quint32 reserve(quint32 n);

    // Writes the property list with object `top` as its root to out, a chunk at a time: the scalars added
    // so far, then what late appends (it must place every reserved object), then the containers, the
    // offset table and the trailer. False when out refused a write or late gave false. The writer is spent
    // afterwards.
    using Late = std::function<bool(CompactPlistWriter& writer)>;
    bool finish(quint32 top, QIODevice& out, const Late& late = {});
    // The same in memory.
    QByteArray finish(quint32 top);

    // Whether out refused a write (or took only part of one) during finish.
    bool refused() const { return m_refused; }

    // For the late step: the size of a reference, the reserved object `index` starting where the output
    // ends now, the output to append it to, and spill, which writes the output out once it holds a chunk
    // (false when that failed).
    int referenceSize() const { return m_refSize; }
    void place(quint32 index)
    {
        m_objects[index] = m_written + quint64(m_out.size());
        ++m_placed;
    }
    void placeAt(quint32 index, quint64 offset)
    {
        m_objects[index] = offset;
        ++m_placed;
    }
    quint64 position() const { return m_written + quint64(m_out.size()); }
    QByteArray& output() { return m_out; }
    // Appends bytes to the output, or writes them out at once when they make a chunk of their own; false
    // when a write failed.
    bool append(const char* bytes, qsizetype size);
    bool spill() { return m_out.size() < kChunk || flush(); }

private:
    Container begin(quint32 type, quint32 n);
    quint32 addScalar(qsizetype start); // the bytes from start on are the new scalar
    // The object holding these bytes, or nothing with *slot where it goes.
    std::optional<quint32> find(const char* bytes, size_t length, quint64 tag, size_t* slot) const;
    quint32 insert(quint64 where, quint64 tag, size_t slot);
    quint32 newObject(quint64 where);
    void growTable();
    bool flush();
    bool send(const char* bytes, qsizetype size);

    static constexpr qsizetype kChunk = 1 << 20;
    QByteArray m_out;
    QIODevice* m_device = nullptr; // while finish streams
    quint64 m_written = 0;         // bytes written to m_device
    quint64 m_sentToDisk = 0;      // bytes of a file handed to the syncer
    static constexpr quint64 kSendToDisk = 8 << 20;
    std::unique_ptr<class DiskSyncer> m_syncer;
    bool m_syncless = false; // no syncer thread could be started
    int m_refSize = 0;
    quint64 m_reserved = 0;
    quint64 m_placed = 0;
    bool m_refused = false;
    PodBuffer<quint64> m_objects; // scalars: offset in m_out; containers: ContainerBit | offset in m_refs
    PodBuffer<quint32> m_refs;    // per container: its type, its count, then its references
    PodBuffer<quint64> m_table;   // open addressing over scalars: hash tag << 32 | object number + 1; 0 none
    size_t m_scalars = 0;
};

class CompactPlistReader {
public:
    struct Object {
        int type = -1;             // the marker's high nibble: 0xA array, 0xD dictionary, 0x5/0x6 texts, ...
        quint64 count = 0;         // elements, entries, characters or bytes
        const uchar* body = nullptr; // after the marker and count
        quint64 offset = 0;          // where the object starts: object numbers whose offsets agree name one object
        // The bytes the object takes in the data, its references included (its count's bytes left out).
        quint64 extent(int refSize) const;
    };

    // Checks the trailer and the offset table; nothing else is read yet.
    bool open(const QByteArray& data, QString* error);
    quint64 objectCount() const { return m_count; }
    // Where the objects end (the offset table follows), and the size of a reference.
    quint64 objectsEnd() const { return m_objectsEnd; }
    int referenceSize() const { return m_refSize; }
    quint64 top() const { return m_top; }

    // The object numbered index, its body within the data; nothing when it lies outside or is malformed.
    std::optional<Object> object(quint64 index) const;
    // Reference i of an array (i < count) or, for a dictionary, key i (i < count) and value i (count + i);
    // nothing when it names no object.
    std::optional<quint64> reference(const Object& container, quint64 i) const;
    // A text object as UTF-8; nothing for other types or texts longer than maxLength characters.
    std::optional<QByteArray> textUtf8(const Object& o, qsizetype maxLength) const;

    // The object as a libplist tree; nothing when it or anything below it is malformed, nested deeper than
    // depth, or claims more than *budget bytes (plistio::NodeBytes per value and its data and text bytes;
    // shared objects count each time they are met). The claim is taken from *budget before anything is copied.
    PlistPtr toPlist(quint64 index, int depth, qint64* budget) const;

private:
    const uchar* m_data = nullptr;
    quint64 m_size = 0;
    quint64 m_objectsEnd = 0; // objects lie before the offset table
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_count = 0;
    quint64 m_top = 0;
    quint64 m_tableOffset = 0;
};
