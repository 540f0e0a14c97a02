// What a picture file declares, read from its headers (and, for a JPEG, its markers) without decoding it.

#include "common/PictureReader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include <zlib.h>

namespace pictures {

namespace {

// Bytes of a device read in chunks from its position.
class ByteStream {
public:
    explicit ByteStream(QIODevice& device) : m_device(device) {}

    int get() {
        if (m_at == m_chunk.size() && !fill())
            return -1;
        return uchar(m_chunk[m_at++]);
    }
    bool skip(qint64 n) {
        const qint64 here = std::min<qint64>(n, m_chunk.size() - m_at);
        m_at += here;
        n -= here;
        return n == 0 || m_device.skip(n) == n;
    }
    QByteArray read(int n) {
        QByteArray out;
        for (int c; out.size() < n && (c = get()) >= 0;)
            out.append(char(c));
        return out;
    }
    // Up to n bytes, fewer at the end; empty once nothing is left.
    QByteArray block(qint64 n) {
        if (m_at == m_chunk.size() && !fill())
            return {};
        const qint64 here = std::min<qint64>(n, m_chunk.size() - m_at);
        QByteArray out = m_chunk.mid(m_at, here);
        m_at += here;
        return out;
    }
    // Moves to the next 0xFF byte; false at the end.
    bool toNextFF() {
        for (;;) {
            const char* start = m_chunk.constData() + m_at;
            if (const void* ff = std::memchr(start, 0xFF, size_t(m_chunk.size() - m_at))) {
                m_at += static_cast<const char*>(ff) - start;
                return true;
            }
            m_at = m_chunk.size();
            if (!fill())
                return false;
        }
    }

private:
    bool fill() {
        m_chunk = m_device.read(64 * 1024);
        m_at = 0;
        return !m_chunk.isEmpty();
    }
    QIODevice& m_device;
    QByteArray m_chunk;
    qsizetype m_at = 0;
};

int be16(const QByteArray& b, int at) { return (uchar(b[at]) << 8) | uchar(b[at + 1]); }
qint32 le32(const QByteArray& b, int at) {
    return qint32(quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
                  quint32(uchar(b[at + 3])) << 24);
}

qint64 pixelsOf(QSize s) { return qint64(std::max(0, s.width())) * std::max(0, s.height()); }

int bytesPerPixelOf(QImage::Format format) {
    if (format == QImage::Format_Invalid)
        return 4;
    return std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

// The next marker after the current position: skips fill bytes, stuffed zeros and restart markers, so it
// also walks over a scan's coded data. -1 at the end.
int nextMarker(ByteStream& in) {
    for (;;) {
        if (!in.toNextFF())
            return -1;
        in.get();
        int c;
        do
            c = in.get();
        while (c == 0xFF);
        if (c < 0)
            return -1;
        if (c != 0 && (c < 0xD0 || c > 0xD7))
            return c;
    }
}

bool isFrameMarker(int m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// A JPEG's frame and scans, up to the end of its picture (what follows is never decoded).
void inspectJpeg(QIODevice& device, PictureInfo& info) {
    ByteStream in(device);
    if (in.get() != 0xFF || in.get() != 0xD8)
        return;
    info.format = "jpeg";
    QByteArray frame;
    bool progressive = false;
    int firstScanComponents = 0;
    std::map<int, int> scansOf; // component id: scans coding it
    int kept = 0;               // blocks the decoder keeps
    for (int m; (m = nextMarker(in)) >= 0 && m != 0xD9;) {
        if (m == 0x01 || m == 0xD8)
            continue;
        if ((m == 0xFE || m == 0xE1 || m == 0xE2) && ++kept > MaxJpegKeptBlocks) {
            info.refusal = QStringLiteral("The picture could not be read: its JPEG data holds more comment and "
                                          "metadata blocks than picture programs write (over %1).")
                               .arg(MaxJpegKeptBlocks);
            return;
        }
        const int hi = in.get();
        const int lo = in.get();
        if (lo < 0)
            break;
        const int length = (hi << 8 | lo) - 2;
        if (length < 0)
            break;
        if (isFrameMarker(m) && frame.isEmpty()) {
            frame = in.read(length);
            progressive = m == 0xC2 || m == 0xC6 || m == 0xCA || m == 0xCE;
        } else if (m == 0xDA) {
            const QByteArray scan = in.read(length);
            const int count = scan.isEmpty() ? 0 : uchar(scan[0]);
            if (++info.scans == 1)
                firstScanComponents = count;
            for (int k = 0; k < count && 1 + 2 * k < scan.size(); ++k) {
                if (++scansOf[uchar(scan[1 + 2 * k])] > MaxJpegScansPerComponent) {
                    info.refusal = QStringLiteral("The picture could not be read: its JPEG data holds more scans "
                                                  "than picture programs write (over %1 a colour channel).")
                                       .arg(MaxJpegScansPerComponent);
                    return;
                }
            }
        } else if (!in.skip(length)) {
            break;
        }
    }
    if (frame.size() < 6)
        return;
    info.size = QSize(be16(frame, 3), be16(frame, 1));
    const int components = uchar(frame[5]);
    info.decodesTo = components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    info.bytesPerPixel = bytesPerPixelOf(info.decodesTo);
    info.scalesWhileDecoding = true;
    if (frame.size() < 6 + 3 * components || components == 0)
        return;
    // A picture coded in more than one scan is decoded through a buffer of all its coefficients (two bytes
    // each, 64 a block of 8 x 8 samples), at the full size whatever size is asked for.
    if (!progressive && firstScanComponents >= components)
        return;
    int hmax = 1;
    int vmax = 1;
    for (int k = 0; k < components; ++k) {
        const int factors = uchar(frame[6 + 3 * k + 1]);
        hmax = std::max(hmax, factors >> 4);
        vmax = std::max(vmax, factors & 15);
    }
    for (int k = 0; k < components; ++k) {
        const int factors = uchar(frame[6 + 3 * k + 1]);
        const int h = std::max(1, factors >> 4);
        const int v = std::max(1, factors & 15);
        auto blocks = [](qint64 side, int factor, int max) {
            const qint64 samples = (side * factor + max - 1) / max;
            const qint64 b = (samples + 7) / 8;
            return (b + factor - 1) / factor * factor;
        };
        info.decoderBytes +=
            blocks(info.size.width(), h, hmax) * blocks(info.size.height(), v, vmax) * 64 * qint64(sizeof(short));
    }
}

// A GIF decodes to its logical screen, which Qt does not declare.
void inspectGif(const QByteArray& head, PictureInfo& info) {
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    info.format = "gif";
    info.size = QSize(p[6] | (p[7] << 8), p[8] | (p[9] << 8));
    info.decodesTo = QImage::Format_ARGB32;
    info.bytesPerPixel = 4;
}

int be32(const QByteArray& b, int at) { return int(quint32(be16(b, at)) << 16 | quint32(be16(b, at + 2))); }

// The bytes a zlib stream of `length` bytes inflates to, counted only until they pass limit; -1 when the
// stream is broken.
qint64 inflatedBytes(ByteStream& in, qint64 length, qint64 limit) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return -1;
    qint64 total = 0;
    int status = Z_OK;
    static thread_local std::vector<Bytef> out(64 * 1024);
    while (length > 0 && total <= limit && status == Z_OK) {
        QByteArray chunk = in.block(std::min<qint64>(length, 64 * 1024));
        if (chunk.isEmpty())
            break;
        length -= chunk.size();
        z.next_in = reinterpret_cast<Bytef*>(chunk.data());
        z.avail_in = uInt(chunk.size());
        do {
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            status = inflate(&z, Z_NO_FLUSH);
            total += qint64(out.size() - z.avail_out);
        } while (status == Z_OK && z.avail_out == 0 && total <= limit);
    }
    inflateEnd(&z);
    in.skip(length);
    return status == Z_OK || status == Z_STREAM_END || total > limit ? total : -1;
}

// A NUL-ended field of a chunk, at most max bytes; what it took of the chunk in *used.
void skipField(ByteStream& in, qint64 max, qint64* used) {
    for (int c; *used < max && (c = in.get()) >= 0;) {
        ++*used;
        if (c == 0)
            return;
    }
}

// What a PNG declares in its header, and the text of its text chunks once inflated, which Qt's reader
// keeps whole (a zTXt chunk of a few kilobytes inflates to megabytes, and libpng keeps up to a thousand).
// The text is counted only until it passes MaxPngTextBytes. From the signature.
struct PngHead {
    QSize size;
    int depth = 0;
    qint64 text = 0;
};
PngHead readPng(ByteStream& in) {
    PngHead png;
    if (in.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return png;
    for (;;) {
        const QByteArray head = in.read(8);
        if (head.size() < 8)
            return png;
        const qint64 length = quint32(be32(head, 0));
        const QByteArray type = head.mid(4);
        qint64 used = 0;
        if (type == "IHDR" && length >= 13) {
            const QByteArray h = in.read(13);
            if (h.size() < 13)
                return png;
            used = 13;
            png.size = QSize(std::max(0, be32(h, 0)), std::max(0, be32(h, 4)));
            png.depth = uchar(h[8]);
        } else if (type == "tEXt") {
            png.text += length;
        } else if (type == "zTXt" || type == "iTXt") {
            skipField(in, length, &used); // keyword
            bool compressed = type == "zTXt";
            if (type == "iTXt" && used < length) {
                compressed = in.get() == 1;
                in.get();
                used += 2;
                skipField(in, length, &used); // language
                skipField(in, length, &used); // translated keyword
            } else if (used < length) {
                in.get();
                ++used;
            }
            const qint64 rest = std::max<qint64>(0, length - used);
            const qint64 inflated = compressed ? inflatedBytes(in, rest, MaxPngTextBytes - png.text) : rest;
            used = compressed ? length : used;
            png.text += std::max<qint64>(0, inflated);
        } else if (type == "IEND") {
            return png;
        }
        if (png.text > MaxPngTextBytes || !in.skip(length - used + 4))
            return png;
    }
}

// What a byte of a PNG's text costs while it is read: libpng's copy, and Qt's texts, each as a string, its
// simplified copy and the description they are joined into.
constexpr qint64 PngTextCost = 8;

QString pngTextMessage() {
    return QStringLiteral("The picture could not be read: its PNG data holds more than %1 MB of text besides the "
                          "picture.")
        .arg(MaxPngTextBytes / (1024 * 1024));
}

// Whether every chunk of a PNG up to its end is whole and its critical chunks (those the decoder refuses the
// picture over) keep their checksums. From the signature; reads the picture's data once, decodes nothing.
bool pngIntact(ByteStream& in) {
    if (in.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return false;
    for (;;) {
        const QByteArray head = in.read(8);
        if (head.size() < 8)
            return false;
        const qint64 length = quint32(be32(head, 0));
        if (length > 0x7FFFFFFF)
            return false;
        if (uchar(head[4]) & 0x20) { // ancillary
            if (!in.skip(length + 4))
                return false;
        } else {
            uLong crc = crc32(0, reinterpret_cast<const Bytef*>(head.constData() + 4), 4);
            for (qint64 left = length; left > 0;) {
                const QByteArray part = in.block(std::min<qint64>(left, 64 * 1024));
                if (part.isEmpty())
                    return false;
                crc = crc32(crc, reinterpret_cast<const Bytef*>(part.constData()), uInt(part.size()));
                left -= part.size();
            }
            const QByteArray stored = in.read(4);
            if (stored.size() < 4 || quint32(be32(stored, 0)) != quint32(crc))
                return false;
        }
        if (head.endsWith("IEND"))
            return true;
    }
}

// A PNG's text is held to MaxPngTextBytes; a PNG cut short or with a damaged chunk is marked. The rest is left
// to Qt's reader.
void inspectPng(QIODevice& device, PictureInfo& info) {
    const qint64 start = device.pos();
    ByteStream in(device);
    const PngHead head = readPng(in);
    if (head.text > MaxPngTextBytes) {
        info.refusal = pngTextMessage();
        return;
    }
    info.decoderBytes = PngTextCost * head.text;
    device.seek(start);
    ByteStream whole(device);
    if (pngIntact(whole))
        return;
    // Not handed to Qt's reader, whose decoder would take a chunk's length as given, past the end of the file
    // (a block of gigabytes for a few bytes): what is needed is in the header.
    info.damage = undecodableMessage();
    info.format = "png";
    info.size = head.size;
    info.decodesTo = head.depth == 16 ? QImage::Format_RGBA64 : QImage::Format_ARGB32;
    info.bytesPerPixel = bytesPerPixelOf(info.decodesTo);
}

// An icon's first picture is the one read; a PNG there is decoded whole whatever size the icon's directory
// gives, so its own header says the size. A bitmap there (a BITMAPINFOHEADER) is left to Qt's icon reader;
// anything else is no icon, whatever Qt's icon reader, which claims any header of that shape, says.
void inspectIcon(QIODevice& device, const QByteArray& head, PictureInfo& info) {
    const qint64 offset = quint32(le32(head, 6 + 12));
    const qint64 start = device.pos();
    if (!device.seek(start + offset))
        return;
    const QByteArray picture = device.peek(8);
    if (picture.size() == 8 && le32(picture, 0) == 40) {
        info.format = head[2] == 2 ? "cur" : "ico";
        return;
    }
    if (!picture.startsWith("\x89PNG"))
        return;
    ByteStream in(device);
    const PngHead png = readPng(in);
    if (png.text > MaxPngTextBytes) {
        info.refusal = pngTextMessage();
        return;
    }
    info.format = head[2] == 2 ? "cur" : "ico";
    info.decoderBytes = PngTextCost * png.text;
    info.size = png.size;
    info.decodesTo = png.depth == 16 ? QImage::Format_RGBA64 : QImage::Format_ARGB32;
    info.bytesPerPixel = bytesPerPixelOf(info.decodesTo);
    device.seek(start + offset);
    ByteStream whole(device);
    if (!pngIntact(whole))
        info.damage = undecodableMessage();
}

// Qt refuses a BMP header over 16384 x 16384 without saying why: the size is taken from the header.
void inspectBmp(const QByteArray& head, PictureInfo& info) {
    info.format = "bmp";
    int bits = 0;
    if (le32(head, 14) == 12) {
        info.size = QSize((uchar(head[19]) << 8) | uchar(head[18]), (uchar(head[21]) << 8) | uchar(head[20]));
        bits = (uchar(head[25]) << 8) | uchar(head[24]);
    } else {
        const qint64 w = le32(head, 18);
        const qint64 h = std::abs(qint64(le32(head, 22)));
        info.size = QSize(int(std::min<qint64>(w, INT_MAX)), int(std::min<qint64>(h, INT_MAX)));
        bits = (uchar(head[29]) << 8) | uchar(head[28]);
    }
    info.decodesTo = bits <= 8 ? QImage::Format_Indexed8 : QImage::Format_ARGB32;
    info.bytesPerPixel = bytesPerPixelOf(info.decodesTo);
}

// How a TIFF's first picture is laid out in the pieces (strips or tiles) its decoder reads one at a time.
struct TiffLayout {
    bool found = false;
    bool tiled = false;
    qint64 rawBytes = 0;   // the largest piece as stored
    qint64 pieceBytes = 0; // the largest piece decoded (every sample of its pixels, or one plane's)
    int planes = 1;        // pieces that hold one pixel's samples (planar data)
};

TiffLayout inspectTiff(QIODevice& device) {
    TiffLayout t;
    const qint64 start = device.pos();
    const qint64 fileBytes = device.size() - start;
    const QByteArray head = device.read(16);
    const bool little = head.startsWith("II");
    if (head.size() < 8 || (!little && !head.startsWith("MM")))
        return t;
    auto number = [little](const char* p, int n) {
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v |= quint64(uchar(p[little ? i : n - 1 - i])) << (8 * i);
        return v;
    };
    const bool big = number(head.constData() + 2, 2) == 43;
    if (!big && number(head.constData() + 2, 2) != 42)
        return t;
    const int valueSize = big ? 8 : 4;
    const quint64 ifd = number(head.constData() + (big ? 8 : 4), valueSize);
    if (head.size() < (big ? 16 : 8) || ifd >= quint64(fileBytes) || !device.seek(start + qint64(ifd)))
        return t;
    const quint64 entries = number(device.read(big ? 8 : 2).leftJustified(8, '\0').constData(), big ? 8 : 2);
    const int entrySize = big ? 20 : 12;
    const QByteArray table = device.read(qint64(std::min<quint64>(entries, 4096)) * entrySize);
    // The largest of an entry's values, read where they lie (inline, or an array elsewhere).
    auto largest = [&](const char* e, quint64* count) -> quint64 {
        const int type = int(number(e + 2, 2));
        const int size = type == 3 ? 2 : type == 4 ? 4 : type == 16 ? 8 : 0;
        *count = number(e + 4, valueSize);
        if (size == 0 || *count == 0)
            return 0;
        const char* field = e + 4 + valueSize;
        if (*count * size <= quint64(valueSize))
            return number(field, size); // the first: several inline values are samples alike
        quint64 at = number(field, valueSize);
        quint64 left = std::min<quint64>(*count, quint64(fileBytes) / size);
        quint64 most = 0;
        while (left > 0 && at < quint64(fileBytes) && device.seek(start + qint64(at))) {
            const QByteArray part = device.read(qint64(std::min<quint64>(left, 16384) * size));
            if (part.size() < size)
                break;
            for (qsizetype i = 0; i + size <= part.size(); i += size)
                most = std::max(most, number(part.constData() + i, size));
            left -= quint64(part.size() / size);
            at += quint64(part.size());
        }
        return most;
    };
    double width = 0, height = 0, bits = 1, samples = 1, rows = 0, tileWidth = 0, tileLength = 0;
    quint64 compression = 1, planar = 1, strips = 0, stripBytes = 0, tileBytes = 0;
    for (qsizetype at = 0; at + entrySize <= table.size(); at += entrySize) {
        const char* e = table.constData() + at;
        quint64 count = 0;
        const double v = double(largest(e, &count));
        switch (number(e, 2)) {
        case 256: width = v; break;
        case 257: height = v; break;
        case 258: bits = std::max(1.0, v); break;
        case 259: compression = quint64(v); break;
        case 273: strips = count; break;
        case 277: samples = std::max(1.0, v); break;
        case 278: rows = v; break;
        case 279: stripBytes = quint64(v); break;
        case 284: planar = quint64(v); break;
        case 322: tileWidth = v; break;
        case 323: tileLength = v; break;
        case 325: tileBytes = quint64(v); break;
        }
    }
    if (width <= 0 || height <= 0)
        return t;
    t.found = true;
    t.planes = planar == 2 ? int(std::min(samples, 16.0)) : 1;
    const double pieceSamples = planar == 2 ? 1 : samples;
    auto clamp = [](double v) { return qint64(std::min(v, 1e15)); };
    if (tileWidth > 0 && tileLength > 0) {
        t.tiled = true;
        t.pieceBytes = clamp(tileLength * std::ceil(tileWidth * bits * pieceSamples / 8));
        t.rawBytes = qint64(std::min<quint64>(tileBytes, quint64(fileBytes)));
        return t;
    }
    const double rowBytes = std::ceil(width * bits * pieceSamples / 8);
    if (compression == 1 && strips == 1) {
        // One uncompressed strip is read in parts of about 8 KB.
        t.pieceBytes = t.rawBytes = clamp(std::max(1.0, std::floor(8192 / rowBytes)) * rowBytes);
        return t;
    }
    t.pieceBytes = clamp((rows > 0 ? std::min(rows, height) : height) * rowBytes);
    t.rawBytes = qint64(std::min<quint64>(stripBytes, quint64(fileBytes)));
    return t;
}

// What Qt's TIFF reader holds besides the picture: a piece as stored and, where it reads through libtiff's
// RGBA interface (pictures it makes 32-bit), a decoded piece of every plane; a tile where it reads tiles.
qint64 tiffDecoderBytes(const TiffLayout& t, QImage::Format format) {
    const bool rgba = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                      format == QImage::Format_ARGB32_Premultiplied;
    const qint64 decoded = rgba ? t.pieceBytes * t.planes : t.tiled ? t.pieceBytes : 0;
    return t.rawBytes + decoded + 256 * 1024;
}

// What Qt's WebP reader holds besides the picture: the whole file, and the decoder's planes (a lossless
// picture's or alpha channel's are 32-bit and more, a lossy picture's a few rows).
qint64 webpDecoderBytes(QIODevice& device, QSize size) {
    const qint64 start = device.pos();
    double perPixel = 0.25;
    QByteArray chunk = device.peek(16).mid(12, 4);
    // An extended file says in its first picture chunk which kind it is.
    if (chunk == "VP8X" && device.seek(start + 12)) {
        for (int k = 0; k < 64; ++k) {
            const QByteArray h = device.read(8);
            const qint64 length = h.size() < 8 ? -1 : qint64(quint32(le32(h, 4)));
            if (length >= 0 && (h.startsWith("VP8L") || h.startsWith("ALPH") || h.startsWith("VP8 "))) {
                chunk = h.left(4);
                break;
            }
            if (length < 0 || !device.seek(device.pos() + length + (length & 1)))
                break;
        }
    }
    if (chunk != "VP8 ") // lossless, or with an alpha channel (itself coded losslessly)
        perPixel = 6.5;
    device.seek(start);
    return device.size() - start + qint64(std::min(perPixel * double(pixelsOf(size)), 0x1p50));
}

// The format of the reader of Qt's that takes the file as its own, for a file whose format the headers above
// do not name: empty when none does. Qt's icon reader claims any file that starts as an icon's header does
// (an ordinary TGA's) and names no format; the headers above found no icon there, so the TGA reader alone is
// asked.
QByteArray formatClaiming(QIODevice& device) {
    const qint64 start = device.pos();
    QImageReader reader(&device);
    const bool claimed = reader.canRead();
    QByteArray format = claimed ? reader.format() : QByteArray();
    device.seek(start);
    if (claimed && (format.isEmpty() || format == "ico" || format == "cur")) {
        QImageReader tga(&device, "tga");
        tga.setAutoDetectImageFormat(false);
        format = tga.canRead() ? QByteArray("tga") : QByteArray();
        device.seek(start);
    }
    return format;
}

} // namespace

QString notAPictureMessage() {
    return QStringLiteral("The file is not a picture the program can read.");
}

QString undecodableMessage() {
    return QStringLiteral("The picture could not be read: its data is damaged or cut short.");
}

QString tooLargeMessage(QSize declared) {
    return QStringLiteral(
               "The picture is too large (%1 × %2 pixels). Pictures of up to %3 megapixels can be used.")
        .arg(declared.width())
        .arg(declared.height())
        .arg(MaxSourcePixels / 1000000);
}

PictureInfo inspect(QIODevice& device) {
    allowPicturesAtSourceLimit();
    PictureInfo info;
    if (!device.isOpen() || device.isSequential()) {
        info.refusal = QStringLiteral("The picture could not be read: %1").arg(device.errorString());
        return info;
    }
    const qint64 start = device.pos();
    const QByteArray head = device.peek(32);
    TiffLayout tiff;
    if (head.startsWith("\xFF\xD8")) {
        inspectJpeg(device, info);
    } else if (head.size() >= 10 && head.startsWith("GIF8")) {
        inspectGif(head, info);
    } else if (head.size() >= 30 && head.startsWith("BM")) {
        inspectBmp(head, info);
    } else if (head.startsWith("\x89PNG")) {
        inspectPng(device, info);
    } else if (head.size() >= 22 && (head.startsWith(QByteArray("\0\0\1\0", 4)) || head.startsWith(QByteArray("\0\0\2\0", 4))) &&
               (head[4] != 0 || head[5] != 0)) {
        inspectIcon(device, head, info);
    } else if (head.startsWith("II") || head.startsWith("MM")) {
        tiff = inspectTiff(device);
    }
    device.seek(start);
    if (!info.refusal.isEmpty())
        return info;
    const bool bitmapIcon = (info.format == "ico" || info.format == "cur") && info.size.isEmpty();
    if (info.format.isEmpty() || info.format == "bmp" || bitmapIcon) {
        if (info.format.isEmpty())
            info.format = formatClaiming(device);
        // Qt's reader of the format says the rest: the size and the picture it makes. A format whose reader
        // declares no size before decoding (ICNS, MNG) gives nothing to measure a decode by, and a file no
        // reader claims (an ordinary TGA, PCX) is no picture the program reads.
        QImageReader reader(&device, info.format);
        reader.setAutoDetectImageFormat(false);
        const QSize declared = info.format.isEmpty() ? QSize() : reader.size();
        if (info.format != "bmp")
            info.size = declared;
        if (const QImage::Format f = reader.imageFormat(); f != QImage::Format_Invalid) {
            info.decodesTo = f;
            info.bytesPerPixel = bytesPerPixelOf(f);
        }
        if (info.format.isEmpty() || info.size.isEmpty())
            info.refusal = notAPictureMessage();
        device.seek(start);
        if (info.format == "webp")
            info.decoderBytes = webpDecoderBytes(device, info.size);
        else if (info.format == "tiff") // a layout not understood: as if it were held whole twice
            info.decoderBytes = tiff.found ? tiffDecoderBytes(tiff, info.decodesTo)
                                           : device.size() - start + 2 * imageBytes(info.size, info.decodesTo);
    }
    if (!info.refusal.isEmpty())
        return info;
    if (info.size.isEmpty()) {
        info.refusal = QStringLiteral("The picture could not be read: it declares no size.");
    } else if (double(info.size.width()) * info.size.height() > double(MaxSourcePixels)) {
        info.refusal = tooLargeMessage(info.size);
    } else {
        // Too costly at any size it could be asked for.
        info.refusal = decodeCostMessage(info, QSize(1, 1));
    }
    return info;
}

PictureInfo inspect(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return inspect(buffer);
}

PictureInfo inspectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PictureInfo info;
        info.refusal = QStringLiteral("The picture could not be read: %1").arg(file.errorString());
        return info;
    }
    return inspect(file);
}

} // namespace pictures
