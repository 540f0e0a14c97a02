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

// One object: its marker and contents, then the references of a container.
struct Object {
    QByteArray head;
    QList<quint64> refs;
};

// The list of the objects, object 0 its root.
inline QByteArray build(const QList<Object>& objects)
{
    const int refSize = bytesFor(quint64(objects.size()) - 1);
    QByteArray out("bplist00");
    QList<quint64> offsets;
    for (const Object& o : objects) {
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

} // namespace sharedplist
