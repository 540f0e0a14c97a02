#include "output/ImageFileWriter.h"

#include "common/FileHelpers.h"
#include "output/ColourPalette.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ImageFileWriter {

QString formatFor(const QString& typeOrExtension) {
    const QString t = typeOrExtension.toLower();
    if (t == QLatin1String("png"))
        return QStringLiteral("png");
    if (t == QLatin1String("jpeg") || t == QLatin1String("jpg"))
        return QStringLiteral("jpeg");
    if (t == QLatin1String("tiff") || t == QLatin1String("tif"))
        return QStringLiteral("tiff");
    if (t == QLatin1String("bmp"))
        return QStringLiteral("bmp");
    if (t == QLatin1String("gif"))
        return QStringLiteral("gif");
    return QString();
}

QString fileExtension(const QString& type) {
    const QString f = formatFor(type);
    if (f == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (f == QLatin1String("tiff"))
        return QStringLiteral("tif");
    return f.isEmpty() ? QStringLiteral("png") : f;
}

QString formatForPath(const QString& path, const QString& chosenType) {
    QString f = formatFor(QFileInfo(path).suffix());
    if (f.isEmpty())
        f = formatFor(chosenType);
    return f.isEmpty() ? QStringLiteral("png") : f;
}

namespace {

QImage overWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    p.end();
    return out;
}

// LZW of GIF with codes of 9 bits only: the table is cleared before it would need 10-bit codes.
class GifLzw {
public:
    explicit GifLzw(QByteArray& out) : _out(out) {}

    void encode(const uchar* pixels, qsizetype count) {
        write(kClear);
        reset();
        int prefix = pixels[0];
        for (qsizetype i = 1; i < count; ++i) {
            const int c = pixels[i];
            const int found = lookup(prefix, c);
            if (found >= 0) {
                prefix = found;
                continue;
            }
            write(prefix);
            if (_next < kLimit) {
                insert(prefix, c, _next++);
            } else {
                write(kClear);
                reset();
            }
            prefix = c;
        }
        write(prefix);
        write(kEnd);
        if (_bits > 0)
            _block.append(char(_acc & 0xFF));
        flushBlock(true);
        _out.append('\0');
    }

private:
    static constexpr int kClear = 256, kEnd = 257, kLimit = 510, kTable = 2048;

    void reset() {
        _keys.fill(-1);
        _next = 258;
    }
    int lookup(int prefix, int c) const {
        const int key = (prefix << 8) | c;
        for (int h = hash(key);; h = (h + 1) & (kTable - 1)) {
            if (_keys[std::size_t(h)] < 0)
                return -1;
            if (_keys[std::size_t(h)] == key)
                return _codes[std::size_t(h)];
        }
    }
    void insert(int prefix, int c, int code) {
        const int key = (prefix << 8) | c;
        int h = hash(key);
        while (_keys[std::size_t(h)] >= 0)
            h = (h + 1) & (kTable - 1);
        _keys[std::size_t(h)] = key;
        _codes[std::size_t(h)] = code;
    }
    static int hash(int key) { return int((uint32_t(key) * 2654435761u) >> 21) & (kTable - 1); }

    void write(int code) {
        _acc |= uint32_t(code) << _bits;
        _bits += 9;
        while (_bits >= 8) {
            _block.append(char(_acc & 0xFF));
            _acc >>= 8;
            _bits -= 8;
            flushBlock(false);
        }
    }
    void flushBlock(bool all) {
        while (_block.size() >= 255 || (all && !_block.isEmpty())) {
            const qsizetype n = std::min<qsizetype>(255, _block.size());
            _out.append(char(n));
            _out.append(_block.constData(), n);
            _block.remove(0, n);
        }
    }

    QByteArray& _out;
    QByteArray _block;
    std::array<int, kTable> _keys{};
    std::array<int, kTable> _codes{};
    int _next = 258;
    uint32_t _acc = 0;
    int _bits = 0;
};

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

QByteArray encodeGif(const QImage& image, QString* error) {
    if (image.width() > 65535 || image.height() > 65535) {
        if (error)
            *error = QStringLiteral("The picture is too large for a GIF file.");
        return QByteArray();
    }
    const QImage opaque = overWhite(image);
    const QImage indexed = opaque.isNull() ? QImage() : ColourPalette::toIndexed8(opaque);
    if (indexed.isNull()) {
        if (error)
            *error = QStringLiteral("Not enough memory for the GIF picture.");
        return QByteArray();
    }
    QByteArray out("GIF89a");
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits per primary
    out.append('\0');
    out.append('\0');
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table.at(i) : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    put16(out, 0);
    put16(out, 0);
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append('\0');
    out.append(char(8)); // minimum code size
    QByteArray pixels;
    pixels.reserve(qsizetype(indexed.width()) * indexed.height());
    for (int y = 0; y < indexed.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), indexed.width());
    GifLzw(out).encode(reinterpret_cast<const uchar*>(pixels.constData()), pixels.size());
    out.append(char(0x3B));
    return out;
}

} // namespace

QByteArray encode(const QImage& image, const QString& format, QString* error) {
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("Invalid image");
        return QByteArray();
    }
    const QString f = formatFor(format).isEmpty() ? QStringLiteral("png") : formatFor(format);
    if (f == QLatin1String("gif"))
        return encodeGif(image, error);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, f.toLatin1());
    QImage picture = image;
    if (f == QLatin1String("jpeg")) {
        writer.setQuality(95);
        picture = overWhite(image);
    } else if (f == QLatin1String("bmp")) {
        picture = overWhite(image);
    } else if (f == QLatin1String("tiff")) {
        writer.setCompression(1); // LZW: lossless
    }
    if (picture.isNull() || !writer.write(picture)) {
        if (error)
            *error = picture.isNull() ? QStringLiteral("Not enough memory for the picture.")
                                      : writer.errorString();
        return QByteArray();
    }
    return data;
}

bool writeAtomically(const QString& path, const QByteArray& data, QString* error) {
    // A link is written through where the link rule allows it, as every other file of the program is: its
    // target is replaced and the link stays.
    QString resolved;
    if (const QString problem = linkWriteProblem(path, &resolved); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    const QFileInfo info(resolved);
    // A name the file system cannot hold is refused as such (the temporary file's name would fail first,
    // with a reason that names no cause).
    const long nameMax = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    const qsizetype nameBytes = QFile::encodeName(info.fileName()).size();
    if (nameMax > 0 && nameBytes > nameMax) {
        if (error)
            *error = QStringLiteral("The file name is too long for the file system (%1 bytes; at most %2).")
                         .arg(nameBytes)
                         .arg(nameMax);
        return false;
    }
    SaveFile file(path);
    errno = 0;
    if (!openSaveFile(file) || file.write(data) != data.size()) {
        if (error)
            *error = writeErrorText(file, path, errno);
        return false;
    }
    QString why;
    if (!commitSaveFile(file, &why, false)) { // synced once for the whole batch (syncFolder)
        if (error)
            *error = why;
        return false;
    }
    return true;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::syncfs(fd);
    ::close(fd);
}

} // namespace ImageFileWriter
