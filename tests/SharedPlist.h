#pragma once

// Binary property lists written byte by byte for tests of hostile files: small lists in which one object is
// referred to very many times, so that a reader copying it per reference would need gigabytes.

#include <QByteArray>
#include <QList>

namespace sharedplist {

inline int bytesFor(quint64 v) { return v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFFFFULL ? 4 : 8; }

inline void appendBigEndian(QByteArray& out, quint64 v, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

// A marker of the type (high nibble) and count; counts of 15 or more follow as an 8-byte integer object.
inline QByteArray marker(int type, quint64 count)
{
    QByteArray out;
    if (count < 15) {
        out.append(char((type << 4) | int(count)));
    } else {
        out.append(char((type << 4) | 0x0F));
        out.append(char(0x13));
        appendBigEndian(out, count, 8);
    }
    return out;
}
inline QByteArray text(const QByteArray& ascii) { return marker(0x5, quint64(ascii.size())) + ascii; }
inline QByteArray data(const QByteArray& bytes) { return marker(0x4, quint64(bytes.size())) + bytes; }

// One object: its marker and contents, then the references of a container; or, with aliasOf set, no bytes
// of its own but the offset of an earlier object.
struct Object {
    QByteArray head;
    QList<quint64> refs;
    qsizetype aliasOf = -1;
};

// The list of the objects, object 0 its root.
inline QByteArray build(const QList<Object>& objects)
{
    const int refSize = bytesFor(quint64(objects.size()) - 1);
    QByteArray out("bplist00");
    QList<quint64> offsets;
    for (const Object& o : objects) {
        if (o.aliasOf >= 0) {
            offsets << offsets[o.aliasOf];
            continue;
        }
        offsets << quint64(out.size());
        out += o.head;
        for (quint64 ref : o.refs)
            appendBigEndian(out, ref, refSize);
    }
    const quint64 tableOffset = quint64(out.size());
    const int offsetSize = bytesFor(tableOffset);
    for (quint64 off : offsets)
        appendBigEndian(out, off, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(char(offsetSize));
    out.append(char(refSize));
    appendBigEndian(out, quint64(objects.size()), 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, tableOffset, 8);
    return out;
}

// A root array referring `times` times to one object.
inline QByteArray sharedInArray(const QByteArray& object, int times)
{
    return build({{marker(0xA, quint64(times)), QList<quint64>(times, 1)}, {object, {}}});
}

// A root dictionary whose entry `key` is such an array.
inline QByteArray sharedInDictionary(const QByteArray& key, const QByteArray& object, int times)
{
    return build({{marker(0xD, 1), {1, 2}},
                  {text(key), {}},
                  {marker(0xA, quint64(times)), QList<quint64>(times, 3)},
                  {object, {}}});
}

// A root array referring once to each of `aliases` object numbers whose offsets all name one dictionary of
// `entries` entries (distinct keys, each to true): the dictionary appears `aliases` times in the tree.
inline QList<Object> aliasedDictionaries(int aliases, int entries)
{
    QList<Object> objects;
    QList<quint64> rootRefs;
    for (int i = 0; i < aliases; ++i)
        rootRefs << quint64(1 + i);
    objects.append({marker(0xA, quint64(aliases)), rootRefs});
    const quint64 firstKey = quint64(1 + aliases);
    const quint64 yes = firstKey + quint64(entries);
    QList<quint64> refs;
    for (int k = 0; k < entries; ++k)
        refs << firstKey + quint64(k);
    refs.append(QList<quint64>(entries, yes));
    objects.append({marker(0xD, quint64(entries)), refs});
    for (int i = 1; i < aliases; ++i)
        objects.append({{}, {}, 1});
    for (int k = 0; k < entries; ++k)
        objects.append({text("k" + QByteArray::number(k)), {}});
    objects.append({QByteArray(1, char(0x09)), {}});
    return objects;
}

// The same as the only value of a root dictionary's entry `key`.
inline QByteArray aliasedInDictionary(const QByteArray& key, int aliases, int entries)
{
    QList<Object> objects = aliasedDictionaries(aliases, entries);
    for (Object& o : objects) {
        for (quint64& ref : o.refs)
            ref += 2;
        if (o.aliasOf >= 0)
            o.aliasOf += 2;
    }
    objects.prepend({text(key), {}});
    objects.prepend({marker(0xD, 1), {1, 2}});
    return build(objects);
}

} // namespace sharedplist
