#include "imaging/ItemPicture.h"

#include "common/PictureReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <atomic>

struct ItemPicture::Data {
    pictures::PictureInfo info; // of the bytes
    QByteArray bytes;      // empty for a picture made in memory
    QImage image;          // the picture made in memory
    QSize size;            // as shown
    bool transposed = false; // the file's own orientation is turned a quarter
    int bytesPerPixel = 4;
    qint64 key = 0;
};

namespace {

// Keys of pictures from bytes; QImage::cacheKey() of pictures made in memory starts at 1 << 32.
std::atomic<qint64> nextKey{1};

QString fileTooLarge(qint64 bytes)
{
    return QStringLiteral("The picture file is too large (%1 MB). Picture files of up to %2 MB can be used.")
        .arg(bytes / (1024 * 1024))
        .arg(ItemPicture::MaxBytes / (1024 * 1024));
}

int bytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return 4;
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    return std::max(4, (bits + 7) / 8); // what is held once decoded is at least 32 bits a pixel
}

// What the header says (through the picture reader, the one place that inspects picture bytes), and whether
// the file's own orientation turns it a quarter.
struct Probe {
    pictures::PictureInfo info;
    bool transposed = false;
    QString error;
};

Probe probe(const QByteArray& bytes)
{
    Probe p;
    p.info = pictures::inspect(bytes);
    if (!p.info.readable()) {
        p.error = p.info.refusal;
        return p;
    }
    // Drawn at any size it must decode: refused when even the smallest decode costs too much (a PNG decodes
    // whole whatever the size asked).
    p.error = pictures::decodeCostMessage(p.info, QSize(1, 1));
    if (!p.error.isEmpty())
        return p;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, p.info.format);
    reader.setAutoTransform(true);
    p.transposed = reader.transformation() & QImageIOHandler::TransformationRotate90;
    return p;
}

// The picture as 32 bits a pixel (palettes, 1-bit ones too, and 16-bit channels are drawn as the 32-bit
// picture they give), smoothly scaled to size when valid.
QImage scaledAs32Bits(QImage image, QSize size)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    }
    if (size.isValid() && !size.isEmpty() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Decodes the bytes at size (as shown), as 32 bits a pixel.
QImage decode(const ItemPicture::Data& d, QSize size)
{
    QBuffer buffer;
    buffer.setData(d.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, d.info.format);
    reader.setAutoTransform(true);
    pictures::allowPicturesAtSourceLimit();
    // A size that would cost more than a decode may take is decoded smaller and drawn stretched.
    QSize asked = !size.isValid() || size.isEmpty() ? d.info.size : d.transposed ? size.transposed() : size;
    while (asked.width() > 16 && pictures::decodedBytes(d.info, asked) > pictures::MaxDecodeBytes)
        asked = (QSizeF(asked) * 0.7).toSize();
    // Only a reader that scales while decoding (JPEG) is asked for the size: the others decode whole and scale
    // in the picture's own format, which turns a 1-bit palette into noise.
    if (d.info.scalesWhileDecoding && asked.isValid() && !asked.isEmpty() && asked != d.info.size)
        reader.setScaledSize(asked);
    QImage image;
    if (!reader.read(&image))
        return {};
    return scaledAs32Bits(image, size);
}

} // namespace

ItemPicture::ItemPicture(const QImage& image)
{
    if (image.isNull())
        return;
    auto data = std::make_shared<Data>();
    data->image = image;
    data->size = image.size();
    data->bytesPerPixel = bytesPerPixel(image.format());
    data->key = image.cacheKey(); // the same for copies of one image, apart from the counter below
    d = std::move(data);
}

ItemPicture ItemPicture::fromBytes(const QByteArray& bytes, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return ItemPicture();
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("The picture is empty."));
    if (bytes.size() > MaxBytes)
        return fail(fileTooLarge(bytes.size()));
    const Probe p = probe(bytes);
    if (!p.error.isEmpty())
        return fail(p.error);
    auto data = std::make_shared<Data>();
    data->info = p.info;
    data->bytes = bytes;
    data->size = p.transposed ? p.info.size.transposed() : p.info.size;
    data->transposed = p.transposed;
    data->bytesPerPixel = p.info.bytesPerPixel;
    data->key = nextKey++;
    ItemPicture picture;
    picture.d = std::move(data);
    return picture;
}

ItemPicture ItemPicture::fromFile(const QString& path, QString* error)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The picture %1 does not exist.").arg(path);
        return {};
    }
    QString why;
    ItemPicture picture;
    if (file.size() > MaxBytes) {
        why = fileTooLarge(file.size());
    } else {
        // Read as the picture reader reads files: under the window's wait sheet while the user picks one.
        pictures::runRead([&](const std::atomic<bool>& stop, std::atomic<int>& progress) {
            QByteArray bytes;
            const qint64 size = file.size();
            bytes.reserve(size);
            while (!file.atEnd() && !stop) {
                const QByteArray chunk = file.read(4 << 20);
                if (chunk.isEmpty())
                    break;
                bytes += chunk;
                progress = int(90 * bytes.size() / std::max<qint64>(1, size));
            }
            if (stop)
                why = pictures::StoppedMessage;
            else if (bytes.size() != size)
                why = QStringLiteral("The picture could not be read: %1").arg(file.errorString());
            else
                picture = fromBytes(bytes, &why);
        });
    }
    if (picture.isNull() && error)
        *error = why == pictures::StoppedMessage ? why : QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
    return picture;
}

QSize ItemPicture::size() const { return d ? d->size : QSize(0, 0); }

QByteArray ItemPicture::bytes() const { return d ? d->bytes : QByteArray(); }

int ItemPicture::decodedBytesPerPixel() const { return d ? d->bytesPerPixel : 0; }

bool ItemPicture::inMemory() const { return d && d->bytes.isEmpty(); }

qint64 ItemPicture::cacheKey() const { return d ? d->key : 0; }

qint64 ItemPicture::decodeCost(QSize size) const
{
    if (!d)
        return 0;
    if (d->bytes.isEmpty())
        return qint64(d->size.width()) * d->size.height() * 4;
    return pictures::decodedBytes(d->info, d->transposed ? size.transposed() : size);
}

QImage ItemPicture::image(QSize size) const
{
    if (!d)
        return {};
    const QSize target = size.isValid() && !size.isEmpty() ? size.boundedTo(d->size) : d->size;
    if (!d->bytes.isEmpty())
        return decode(*d, target);
    if (target == d->image.size())
        return d->image;
    return scaledAs32Bits(d->image, target);
}

bool ItemPicture::operator==(const ItemPicture& o) const
{
    if (d == o.d)
        return true;
    if (!d || !o.d)
        return false;
    if (!d->bytes.isEmpty() || !o.d->bytes.isEmpty())
        return d->bytes == o.d->bytes;
    return d->image == o.d->image;
}
