#pragma once

// Picture files that claim more than they are or cost more than they look, built for the tests, the
// hostile-files bench and the picture reader's fuzz seeds.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <zlib.h>

namespace hostilepictures {

inline QByteArray encoded(const QImage& image, const char* format, bool progressive = false) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return buffer.data();
}

inline QByteArray be16(int v) {
    return QByteArray(1, char((v >> 8) & 0xFF)) + char(v & 0xFF);
}

// A progressive JPEG of a grey w x h gradient (one channel, in the six scans of libjpeg's script).
inline QByteArray progressiveGreyJpeg(int w, int h) {
    QImage image(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.scanLine(y)[x] = uchar(((x + y) / 64) & 0xFF);
    return encoded(image, "jpeg", true);
}

// The JPEG with its last scan written `copies` more times: each copy is one more pass over the picture.
inline QByteArray repeatingLastScan(const QByteArray& jpeg, int copies) {
    const qsizetype end = jpeg.lastIndexOf(QByteArray("\xFF\xD9", 2));
    const qsizetype scan = jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2));
    if (end < 0 || scan < 0)
        return {};
    return jpeg.left(end) + jpeg.mid(scan, end - scan).repeated(copies) + jpeg.mid(end);
}

// The JPEG with `count` short comment blocks after its start.
inline QByteArray jpegWithComments(const QByteArray& jpeg, int count) {
    return jpeg.left(2) + (QByteArray::fromHex("fffe000a") + "comment!").repeated(count) + jpeg.mid(2);
}

// A small progressive grey JPEG whose frame declares side x side pixels in `components` channels sampled
// alike (4: CMYK), over the scans of the first channel alone.
inline QByteArray progressiveJpegDeclaring(int side, int components) {
    const QByteArray jpeg = progressiveGreyJpeg(64, 64);
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    if (sof < 0)
        return {};
    QByteArray frame = QByteArray(1, '\x08') + be16(side) + be16(side) + char(components);
    for (int k = 1; k <= components; ++k)
        frame += QByteArray(1, char(k)) + '\x11' + '\0';
    const int oldLength = qFromBigEndian<quint16>(jpeg.constData() + sof + 2);
    return jpeg.left(sof + 2) + be16(int(frame.size()) + 2) + frame + jpeg.mid(sof + 2 + oldLength);
}

// The headers of a 24-bit BMP of w x h pixels, with no pixels.
inline QByteArray bmpDeclaring(int w, int h) {
    QByteArray b("BM");
    auto le = [&b](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    le(54, 4);
    le(0, 4);
    le(54, 4);
    le(40, 4);
    le(quint32(w), 4);
    le(quint32(h), 4);
    le(1, 2);
    le(24, 2);
    for (quint32 v : {0u, 0u, 2835u, 2835u, 0u, 0u})
        le(v, 4);
    return b;
}

// A PNG chunk of that type and data.
inline QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray c(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), c.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
                          crc.data());
    return c + body + crc;
}

// The PNG with `count` zTXt chunks after its header, each a few kilobytes inflating to `bytes` bytes of text.
inline QByteArray pngWithTexts(const QByteArray& png, int count, qsizetype bytes) {
    const QByteArray text = qCompress(QByteArray(bytes, 'A')).mid(4); // a zlib stream
    QByteArray chunks;
    for (int i = 0; i < count; ++i)
        chunks += pngChunk("zTXt", "Comment" + QByteArray::number(i) + QByteArray(2, '\0') + text);
    return png.left(33) + chunks + png.mid(33); // the signature and IHDR take 33 bytes
}

// An icon whose one entry, declared 16 x 16, holds the PNG.
inline QByteArray iconHolding(const QByteArray& png) {
    QByteArray ico = QByteArray::fromHex("000001000100" "10100000" "01002000");
    QByteArray le(8, '\0');
    qToLittleEndian<quint32>(quint32(png.size()), le.data());
    qToLittleEndian<quint32>(quint32(ico.size() + 8), le.data() + 4);
    return ico + le + png;
}

// An honest black 16-bit RGB PNG of w x h pixels, compressed row by row (a few hundred KB for 100
// megapixels).
inline QByteArray png16(int w, int h) {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(w), header.data());
    qToBigEndian<quint32>(quint32(h), header.data() + 4);
    header[8] = 16; // bits a channel
    header[9] = 2;  // RGB
    QByteArray idat;
    z_stream z{};
    deflateInit(&z, 6);
    QByteArray row(1 + 6 * qsizetype(w), '\0');
    QByteArray out(1 << 16, '\0');
    for (int y = 0; y <= h; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(row.data());
        z.avail_in = y < h ? uInt(row.size()) : 0;
        const int flush = y < h ? Z_NO_FLUSH : Z_FINISH;
        int rc;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            rc = deflate(&z, flush);
            idat.append(out.constData(), out.size() - qsizetype(z.avail_out));
        } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    }
    deflateEnd(&z);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat) + pngChunk("IEND", {});
}

// A TIFF of w x h pixels of `samples` samples of `bits` bits (8 or 16; with `palette`, one 8-bit sample and
// a colour map), a pattern in strips of `rowsPerStrip` rows, zlib-compressed when `deflate`, its samples in
// planes when `planar`.
inline QByteArray tiff(int w, int h, int samples, int bits, int rowsPerStrip, bool deflate, bool planar = false,
                       bool palette = false) {
    const int planes = planar ? samples : 1;
    const qsizetype rowBytes = qsizetype(w) * (planar ? 1 : samples) * bits / 8;
    const int stripsPerPlane = (h + rowsPerStrip - 1) / rowsPerStrip;
    QList<QByteArray> strips;
    for (int p = 0; p < planes; ++p)
        for (int s = 0; s < stripsPerPlane; ++s) {
            QByteArray strip(rowBytes * std::min(rowsPerStrip, h - s * rowsPerStrip), '\0');
            for (qsizetype i = 0; i < strip.size(); ++i)
                strip[i] = char((i * 7 / 5 + s * 3 + p * 50) & 0xFF);
            strips << (deflate ? qCompress(strip).mid(4) : strip);
        }
    auto le = [](QByteArray& b, quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    QByteArray bitsArray, colourMap, offsets, counts;
    for (int i = 0; i < samples; ++i)
        le(bitsArray, quint32(bits), 2);
    for (int c = 0; palette && c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            le(colourMap, quint32(i * (c + 1) * 257) & 0xFFFF, 2);
    const int entries = 10 + (palette ? 1 : 0) + (samples == 2 || samples == 4 ? 1 : 0);
    // Header, directory, then the arrays too long to lie in it, then the strips.
    quint32 at = 8 + 2 + 12 * entries + 4;
    const quint32 bitsAt = at;
    at += samples > 2 ? quint32(bitsArray.size()) : 0;
    const quint32 mapAt = at;
    at += quint32(colourMap.size());
    const quint32 offsetsAt = at;
    const quint32 countsAt = at + 4 * quint32(strips.size());
    at += strips.size() > 1 ? 8 * quint32(strips.size()) : 0;
    const quint32 firstStrip = at;
    for (const QByteArray& strip : strips) {
        le(offsets, at, 4);
        le(counts, quint32(strip.size()), 4);
        at += quint32(strip.size());
    }
    QByteArray out("II*\0", 4);
    le(out, 8, 4);
    le(out, quint32(entries), 2);
    auto entry = [&](quint16 tag, quint16 type, quint32 count, quint32 value) {
        le(out, tag, 2);
        le(out, type, 2);
        le(out, count, 4);
        le(out, value, 4);
    };
    entry(256, 4, 1, quint32(w));
    entry(257, 4, 1, quint32(h));
    entry(258, 3, quint32(samples), samples > 2 ? bitsAt : quint32(bits) | (samples == 2 ? quint32(bits) << 16 : 0));
    entry(259, 3, 1, deflate ? 8 : 1);
    entry(262, 3, 1, palette ? 3 : samples >= 3 ? 2 : 1);
    entry(273, 4, quint32(strips.size()), strips.size() > 1 ? offsetsAt : firstStrip);
    entry(277, 3, 1, quint32(samples));
    entry(278, 4, 1, quint32(rowsPerStrip));
    entry(279, 4, quint32(strips.size()), strips.size() > 1 ? countsAt : quint32(strips[0].size()));
    entry(284, 3, 1, planar ? 2 : 1);
    if (palette)
        entry(320, 3, 768, mapAt);
    if (samples == 2 || samples == 4)
        entry(338, 3, 1, 2); // unassociated alpha
    le(out, 0, 4);
    if (samples > 2)
        out += bitsArray;
    out += colourMap;
    if (strips.size() > 1)
        out += offsets + counts;
    for (const QByteArray& strip : strips)
        out += strip;
    return out;
}

// The PNG with one byte of its first picture data chunk changed at `offset` into the data; with its checksum
// made to match again when `checked`, so that only decoding finds the damage.
inline QByteArray damagedPng(const QByteArray& png, int offset, bool checked) {
    QByteArray out = png;
    const qsizetype idat = out.indexOf("IDAT");
    if (idat < 4)
        return {};
    const quint32 length = qFromBigEndian<quint32>(out.constData() + idat - 4);
    if (quint32(offset) >= length)
        return {};
    out[idat + 4 + offset] = char(out[idat + 4 + offset] ^ 0x5A);
    if (checked)
        qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef*>(out.constData() + idat), length + 4)),
                              out.data() + idat + 4 + length);
    return out;
}

} // namespace hostilepictures
