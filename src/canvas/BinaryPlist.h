#pragma once

// The binary property list ("bplist00") encoding shared by the writers and readers of the program: big-endian
// integers, object markers, scalar objects and the trailer.

#include <QByteArray>
#include <QStringView>
#include <QtEndian>

#include <plist/plist.h>

#include <cstdint>
#include <cstring>
#include <optional>

namespace bplist {

// Bytes needed for v: 1, 2, 4 or 8.
int bytesFor(quint64 v);
// The low `size` (1 to 8) bytes of v, the most significant first.
inline void putBigEndian(char* p, quint64 v, int size)
{
    const quint64 big = qToBigEndian(v << (8 * (8 - size)));
    std::memcpy(p, &big, size_t(size));
}
void appendBigEndian(QByteArray& out, quint64 v, int size);
quint64 readBigEndian(const uchar* p, int size);

// An integer object of the fewest bytes.
void appendInt(QByteArray& out, quint64 v);
// A marker of the type (high nibble) with its count, followed by an integer object when the count is 15 or more.
void appendMarker(QByteArray& out, uchar type, quint64 count);
// The same written at p (at most 10 bytes); the bytes written.
inline int putMarker(char* p, uchar type, quint64 count)
{
    if (count < 15) {
        p[0] = char((type << 4) | count);
        return 1;
    }
    p[0] = char((type << 4) | 0x0F);
    const int size = bytesFor(count);
    p[1] = char(0x10 | (size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3));
    putBigEndian(p + 2, count, size);
    return 2 + size;
}
// A text object: ASCII when every character is, else UTF-16. Every character is kept, NUL too.
void appendText(QByteArray& out, QStringView text);
void appendTextUtf8(QByteArray& out, const char* utf8, quint64 length);
void appendData(QByteArray& out, const char* bytes, quint64 size);
// A flag, integer, real, date or UID node as its object; false, with nothing appended, for any other node.
bool appendScalar(QByteArray& out, plist_t node);

struct Trailer {
    int offsetSize = 0;
    int refSize = 0;
    quint64 count = 0;       // objects
    quint64 top = 0;         // the root object
    quint64 tableOffset = 0; // where the offset table starts
};
void appendTrailer(QByteArray& out, const Trailer& trailer);
// The count of the object whose marker is at data[at], at < end: the marker's low nibble, or the integer
// object after it when that is 15; *body is where the object's contents start. False when that integer is
// malformed or does not end before end.
bool readCount(const uchar* data, quint64 end, quint64 at, quint64* count, quint64* body);
// The header and trailer of data checked against its size (the offset table lies within the data); nothing
// when they are malformed.
std::optional<Trailer> readTrailer(const QByteArray& data);

} // namespace bplist
