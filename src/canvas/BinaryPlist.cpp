#include "canvas/BinaryPlist.h"

#include <QString>

#include <cmath>
#include <cstring>

namespace bplist {

int bytesFor(quint64 v)
{
    if (v <= 0xFF)
        return 1;
    if (v <= 0xFFFF)
        return 2;
    if (v <= 0xFFFFFFFFULL)
        return 4;
    return 8;
}

void appendBigEndian(QByteArray& out, quint64 v, int size)
{
    char buf[8];
    putBigEndian(buf, v, size);
    out.append(buf, size);
}

quint64 readBigEndian(const uchar* p, int size)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    return v;
}

namespace {

// A marker byte, then v in size big-endian bytes.
void appendFixed(QByteArray& out, uchar marker, quint64 v, int size)
{
    out.append(char(marker));
    appendBigEndian(out, v, size);
}

quint64 bitsOf(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, 8);
    return bits;
}

} // namespace

void appendInt(QByteArray& out, quint64 v)
{
    // 1, 2 and 4-byte integers are unsigned; 8 bytes are read as signed, which keeps the bits.
    const int size = bytesFor(v);
    appendFixed(out, uchar(0x10 | (size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3)), v, size);
}

void appendMarker(QByteArray& out, uchar type, quint64 count)
{
    char marker[10];
    out.append(marker, putMarker(marker, type, count));
}

void appendText(QByteArray& out, QStringView text)
{
    const char16_t* units = text.utf16();
    const qsizetype n = text.size();
    bool ascii = true;
    for (qsizetype i = 0; i < n && ascii; ++i)
        ascii = units[i] < 0x80;
    appendMarker(out, ascii ? 0x5 : 0x6, quint64(n));
    const qsizetype at = out.size();
    out.resize(at + (ascii ? n : 2 * n));
    char* p = out.data() + at;
    for (qsizetype i = 0; i < n; ++i) {
        if (ascii) {
            p[i] = char(units[i]);
        } else {
            p[2 * i] = char(units[i] >> 8);
            p[2 * i + 1] = char(units[i] & 0xFF);
        }
    }
}

void appendTextUtf8(QByteArray& out, const char* utf8, quint64 length)
{
    bool ascii = true;
    for (quint64 i = 0; i < length && ascii; ++i)
        ascii = uchar(utf8[i]) < 0x80;
    if (ascii) {
        appendMarker(out, 0x5, length);
        out.append(utf8, qsizetype(length));
    } else {
        appendText(out, QString::fromUtf8(utf8, qsizetype(length)));
    }
}

void appendData(QByteArray& out, const char* bytes, quint64 size)
{
    appendMarker(out, 0x4, size);
    if (size)
        out.append(bytes, qsizetype(size));
}

bool appendScalar(QByteArray& out, plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t v = 0;
        plist_get_bool_val(node, &v);
        out.append(char(v ? 0x09 : 0x08));
        return true;
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        appendInt(out, v);
        return true;
    }
    case PLIST_REAL: {
        double v = 0;
        plist_get_real_val(node, &v);
        const float f = float(v);
        if (double(f) == v || !std::isfinite(v)) {
            quint32 bits = 0;
            std::memcpy(&bits, &f, 4);
            appendFixed(out, 0x22, bits, 4);
        } else {
            appendFixed(out, 0x23, bitsOf(v), 8);
        }
        return true;
    }
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        appendFixed(out, 0x33, bitsOf(double(sec) + double(usec) / 1e6), 8);
        return true;
    }
    case PLIST_UID: {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        const int size = bytesFor(v);
        appendFixed(out, uchar(0x80 | (size - 1)), v, size);
        return true;
    }
    default:
        return false;
    }
}

void appendTrailer(QByteArray& out, const Trailer& trailer)
{
    out.append(QByteArray(6, '\0'));
    out.append(char(trailer.offsetSize));
    out.append(char(trailer.refSize));
    appendBigEndian(out, trailer.count, 8);
    appendBigEndian(out, trailer.top, 8);
    appendBigEndian(out, trailer.tableOffset, 8);
}

bool readCount(const uchar* data, quint64 end, quint64 at, quint64* count, quint64* body)
{
    quint64 n = data[at] & 0x0F;
    quint64 pos = at + 1;
    if (n == 0x0F) {
        if (pos >= end || (data[pos] >> 4) != 0x1)
            return false;
        const int size = 1 << (data[pos] & 0x0F);
        if (size > 8 || pos + 1 + quint64(size) > end)
            return false;
        n = readBigEndian(data + pos + 1, size);
        pos += 1 + quint64(size);
    }
    *count = n;
    *body = pos;
    return true;
}

std::optional<Trailer> readTrailer(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint64 size = quint64(data.size());
    if (size < 8 + 32 || std::memcmp(bytes, "bplist00", 8) != 0)
        return std::nullopt;
    const uchar* end = bytes + size - 32;
    Trailer t;
    t.offsetSize = end[6];
    t.refSize = end[7];
    t.count = readBigEndian(end + 8, 8);
    t.top = readBigEndian(end + 16, 8);
    t.tableOffset = readBigEndian(end + 24, 8);
    const quint64 objectsEnd = size - 32;
    if (t.offsetSize < 1 || t.offsetSize > 8 || t.refSize < 1 || t.refSize > 8 || t.count == 0 || t.count > size ||
        t.top >= t.count || t.tableOffset >= objectsEnd ||
        t.count > (objectsEnd - t.tableOffset) / quint64(t.offsetSize))
        return std::nullopt;
    return t;
}

} // namespace bplist
