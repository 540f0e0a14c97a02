#include "imaging/ItemPicture.h"

#include "common/PictureReader.h"
#include "imaging/ImageProcesser.h"
#include "imaging/PictureScaling.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <cmath>

struct ItemPicture::Data {
    pictures::PictureInfo info; // of the bytes
    QByteArray bytes;      // empty for a picture made in memory
    QImage image;          // the picture made in memory
    QSize size;            // as shown
    QSize rawSize;         // as shown before the adjustments
    bool transposed = false; // the file's own orientation is turned a quarter
    int bytesPerPixel = 4;
    qint64 key = 0;
    ImageAdjustSettings adjust; // made on every decode
    qint64 baseKey = 0;         // of the picture without them
    // Whether the bytes decode, shared by the pictures made of them (adjusted ones too).
    struct Failure {
        std::atomic<bool> claimed{false};
        std::atomic<bool> failed{false};
        QString why; // written before `failed`
        std::atomic<bool> reported{false};
    };
    std::shared_ptr<Failure> failure = std::make_shared<Failure>();
};

namespace {

// Keys of pictures from bytes; QImage::cacheKey() of pictures made in memory starts at 1 << 32.
std::atomic<qint64> nextKey{1};

// One key for each picture and adjustments, so that a picture adjusted again as before finds what the cache
// made of it.
qint64 adjustedKey(qint64 baseKey, const ImageAdjustSettings& settings)
{
    static QMutex mutex;
    static QHash<std::pair<qint64, ImageAdjustSettings>, qint64> keys;
    QMutexLocker lock(&mutex);
    const auto id = std::make_pair(baseKey, settings);
    auto it = keys.constFind(id);
    if (it == keys.constEnd()) {
        // Rows of a long run each adjust a picture of their own: the oldest are forgotten (they then get a
        // new key, which only costs a decode).
        if (keys.size() >= 4096)
            keys.clear();
        it = keys.insert(id, nextKey++);
    }
    return *it;
}

QMutex notifierMutex;
std::function<void()> failureNotifier;

// Set once, whichever thread finds it first.
void markFailed(const ItemPicture::Data& d, const QString& why)
{
    ItemPicture::Data::Failure& f = *d.failure;
    if (f.claimed.exchange(true))
        return;
    f.why = why;
    f.failed.store(true, std::memory_order_release);
}

bool hasFailed(const ItemPicture::Data& d) { return d.failure->failed.load(std::memory_order_acquire); }

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
    p.error = pictures::decodeCostMessage(p.info, QSize(1, 1), true);
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
// picture they give), resampled to size when valid, on this thread alone.
QImage scaledAs32Bits(QImage image, QSize size)
{
    if (size.isValid() && !size.isEmpty() && image.size() != size)
        return picturescaling::scaled(image, size);
    return picturescaling::converted(std::move(image));
}

// The size a JPEG of its own size `own` is decoded at for a picture of at least `wanted`: the smallest n/8
// step at or above it whose sides are whole, so the reader gives it as decoded without scaling it again.
QSize jpegDecodeSize(QSize own, QSize wanted)
{
    const auto side = [](int n, int k) { return (qint64(n) * k + 7) / 8; };
    int k = 1;
    while (k < 8 && (side(own.width(), k) < wanted.width() || side(own.height(), k) < wanted.height()))
        ++k;
    while (k < 8 && (qint64(own.width()) * k % 8 != 0 || qint64(own.height()) * k % 8 != 0))
        ++k;
    return QSize(int(side(own.width(), k)), int(side(own.height(), k)));
}

// What decoding at size (as shown) asks of the reader, in the file's orientation.
QSize decodeSize(const ItemPicture::Data& d, QSize size)
{
    // A size that would cost more than a decode may take is decoded smaller and drawn stretched.
    QSize asked = !size.isValid() || size.isEmpty() ? d.info.size : d.transposed ? size.transposed() : size;
    while (asked.width() > 16 && pictures::decodedBytes(d.info, asked, true) > pictures::decodeBudget())
        asked = (QSizeF(asked) * 0.7).toSize();
    // Only a reader that scales while decoding (JPEG) is asked for a size: the others decode whole and are
    // resampled after.
    if (!d.info.scalesWhileDecoding || !asked.isValid() || asked.isEmpty())
        return d.info.size;
    const QSize whole = jpegDecodeSize(d.info.size, asked);
    return pictures::decodedBytes(d.info, whole, true) > pictures::decodeBudget() ? asked : whole;
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
    const QSize asked = decodeSize(d, size);
    if (asked != d.info.size)
        reader.setScaledSize(asked);
    QImage image;
    if (!reader.read(&image)) {
        markFailed(d, pictures::undecodableMessage());
        return {};
    }
    return scaledAs32Bits(std::move(image), size);
}

// What any decode or adjustment holds besides its pictures (as pictures::decodedBytes counts it).
constexpr qint64 FixedBytes = 256 * 1024;

// What scaledAs32Bits() holds besides the picture of `from` pixels in `format`: the result and the scaler's
// lines, or a 32-bit copy where the pixels are smaller (converted in place where not).
qint64 as32BitsCost(QSize from, QImage::Format format, QSize size)
{
    if (size.isValid() && !size.isEmpty() && size != from)
        return pictures::imageBytes(size, QImage::Format_RGB32) + picturescaling::workingBytes(from, size);
    return QImage::toPixelFormat(format).bitsPerPixel() < 32 ? pictures::imageBytes(from, QImage::Format_RGB32) : 0;
}

// What making a picture kept in memory at size takes besides itself.
qint64 inMemoryCost(const QImage& image, QSize size)
{
    if (!size.isValid() || size.isEmpty() || size == image.size())
        return 0;
    return as32BitsCost(image.size(), image.format(), size);
}

// What decoding the bytes at size (as shown) holds at once: the reader with its buffers and picture, then that
// picture and what scaledAs32Bits() makes of it.
qint64 decodeBytes(const ItemPicture::Data& d, QSize size)
{
    const QSize asked = decodeSize(d, size);
    const QSize decoded = d.transposed ? asked.transposed() : asked;
    const QImage::Format native = d.info.decodesTo == QImage::Format_Invalid ? QImage::Format_ARGB32 : d.info.decodesTo;
    return std::max(pictures::decodedBytes(d.info, asked),
                    FixedBytes + pictures::imageBytes(decoded, native) + as32BitsCost(decoded, native, size));
}

// The picture without its adjustments at size (within its raw size).
QImage rawImage(const ItemPicture::Data& d, QSize size)
{
    if (!d.bytes.isEmpty())
        return decode(d, size);
    if (size == d.image.size())
        return d.image;
    return scaledAs32Bits(d.image, size);
}

// Where the adjusted picture at size is made from: the raw picture at the size the pipeline turns into at
// least size, or whole when the adjustments work in pixels.
QSize adjustedSource(const ItemPicture::Data& d, QSize size)
{
    if (d.adjust.needsWholePicture() || size == d.size)
        return d.rawSize;
    const double f = std::max(double(size.width()) / d.size.width(), double(size.height()) / d.size.height());
    return QSize(std::max(1, int(std::ceil(d.rawSize.width() * f))), std::max(1, int(std::ceil(d.rawSize.height() * f))))
        .boundedTo(d.rawSize);
}

QImage adjustedImage(const ItemPicture::Data& d, QSize size)
{
    const QImage image = ImageProcesser::process(rawImage(d, adjustedSource(d, size)), d.adjust);
    return image.isNull() || image.size() == size ? image : picturescaling::scaled(image, size);
}

} // namespace

ItemPicture::ItemPicture(const QImage& image)
{
    if (image.isNull())
        return;
    auto data = std::make_shared<Data>();
    data->image = image;
    data->size = image.size();
    data->rawSize = data->size;
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
    data->rawSize = data->size;
    data->transposed = p.transposed;
    data->bytesPerPixel = p.info.bytesPerPixel;
    data->key = nextKey++;
    // Kept with its bytes (what a design holds is saved again as it came), and never decoded.
    if (!p.info.damage.isEmpty())
        markFailed(*data, p.info.damage);
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
            else if (picture = fromBytes(bytes, &why); !picture.isNull()) {
                // A picture taken in from a file must decode: its data is read through once, at little cost.
                why = pictures::checkDecodes(bytes, picture.d->info, &stop);
                if (stop)
                    why = pictures::StoppedMessage;
                if (!why.isEmpty())
                    picture = ItemPicture();
            }
        });
    }
    if (picture.isNull() && error)
        *error = why == pictures::StoppedMessage ? why : QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
    return picture;
}

ItemPicture ItemPicture::adjusted(const ImageAdjustSettings& settings) const
{
    if (!d || settings == d->adjust)
        return *this;
    auto data = std::make_shared<Data>(*d);
    data->adjust = settings;
    if (d->baseKey == 0)
        data->baseKey = d->key;
    if (settings.isNeutral()) {
        data->adjust = ImageAdjustSettings();
        data->key = data->baseKey;
        data->size = data->rawSize;
    } else {
        data->key = adjustedKey(data->baseKey, settings);
        data->size = ImageProcesser::processedSize(data->rawSize, settings);
    }
    ItemPicture picture;
    picture.d = std::move(data);
    return picture;
}

ImageAdjustSettings ItemPicture::adjustments() const { return d ? d->adjust : ImageAdjustSettings(); }

QSize ItemPicture::size() const { return d ? d->size : QSize(0, 0); }

QByteArray ItemPicture::bytes() const { return d ? d->bytes : QByteArray(); }

int ItemPicture::decodedBytesPerPixel() const { return d ? d->bytesPerPixel : 0; }

bool ItemPicture::inMemory() const { return d && d->bytes.isEmpty(); }

qint64 ItemPicture::cacheKey() const { return d ? d->key : 0; }

qint64 ItemPicture::decodeCost(QSize size) const
{
    if (!d)
        return 0;
    const bool adjusted = !d->adjust.isNeutral();
    const QSize raw = adjusted ? adjustedSource(*d, size.isValid() && !size.isEmpty() ? size.boundedTo(d->size) : d->size) : size;
    const QSize shown = raw.isValid() && !raw.isEmpty() ? raw.boundedTo(d->rawSize) : d->rawSize;
    qint64 cost = d->bytes.isEmpty() ? inMemoryCost(d->image, raw) : decodeBytes(*d, shown);
    if (!adjusted)
        return cost;
    // The raw picture through the pipeline, then the result scaled.
    const ImageAdjustSettings& s = d->adjust;
    const auto bytes32 = [](QSize size) { return pictures::imageBytes(size, QImage::Format_ARGB32_Premultiplied); };
    const bool premultiplied = d->bytes.isEmpty() ? d->image.format() == QImage::Format_ARGB32_Premultiplied
                                                  : d->info.decodesTo != QImage::Format_Invalid &&
                                                        QImage::toPixelFormat(d->info.decodesTo).alphaUsage() ==
                                                            QPixelFormat::UsesAlpha;
    const qint64 pipeline = bytes32(raw) + ImageProcesser::processCost(raw, s, premultiplied);
    const QSize turnedSize = ImageProcesser::processedSize(raw, s);
    const QSize target = size.isValid() && !size.isEmpty() ? size.boundedTo(d->size) : d->size;
    const qint64 scaling = target != turnedSize ? bytes32(turnedSize) + bytes32(target) : 0;
    return std::max({cost, pipeline + FixedBytes, scaling + FixedBytes});
}

QString ItemPicture::drawError() const
{
    return d && hasFailed(*d) ? d->failure->why : QString();
}

void ItemPicture::requestReport() const
{
    if (drawError().isEmpty() || d->failure->reported.load())
        return;
    std::function<void()> notify;
    {
        QMutexLocker lock(&notifierMutex);
        notify = failureNotifier;
    }
    if (notify)
        notify();
}

bool ItemPicture::claimReport() const
{
    return !drawError().isEmpty() && !d->failure->reported.exchange(true);
}

void ItemPicture::setFailureNotifier(std::function<void()> notify)
{
    QMutexLocker lock(&notifierMutex);
    failureNotifier = std::move(notify);
}

QImage ItemPicture::image(QSize size) const
{
    if (!d || hasFailed(*d))
        return {};
    const QSize target = size.isValid() && !size.isEmpty() ? size.boundedTo(d->size) : d->size;
    if (!d->adjust.isNeutral())
        return adjustedImage(*d, target);
    return rawImage(*d, target);
}

bool ItemPicture::operator==(const ItemPicture& o) const
{
    if (d == o.d)
        return true;
    if (!d || !o.d || d->adjust != o.d->adjust)
        return false;
    if (d->key == o.d->key) // one key, one picture
        return true;
    if (!d->bytes.isEmpty() || !o.d->bytes.isEmpty())
        return d->bytes == o.d->bytes;
    return d->image == o.d->image;
}
