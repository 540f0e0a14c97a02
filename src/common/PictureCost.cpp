// What decoding a picture costs at its peak, and the scaling whose steps that count follows: the reader's
// buffers and the picture it makes, the conversion smooth scaling needs (in place where the pixel does not
// grow), and the scaled result. The tests measure each class of picture against it.

#include "common/PictureReader.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

// What any decode holds besides its pictures: the decoder's tables and rows, the scaler's, the readers' own.
constexpr qint64 FixedBytes = 256 * 1024;

int bitsOf(QImage::Format format) {
    return format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
}

bool hasAlpha(QImage::Format format) {
    return format != QImage::Format_Invalid &&
           QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
}

// The size the reader decodes at for target: a JPEG at the n/8 step at or above it (as Qt asks libjpeg),
// the others whole.
QSize decodedSize(const PictureInfo& info, QSize target) {
    if (!info.scalesWhileDecoding || target == info.size)
        return info.size;
    const double f = std::min(double(info.size.width()) / target.width(), double(info.size.height()) / target.height());
    const int num = std::clamp(int(std::ceil(8 / f)), 1, 8);
    return QSize(int((qint64(info.size.width()) * num + 7) / 8), int((qint64(info.size.height()) * num + 7) / 8));
}

QString tooCostlyMessage(QSize declared, qint64 bytes) {
    return QStringLiteral("The picture is too large (%1 × %2 pixels): reading it would take %3 MB of memory, "
                          "more than the %4 MB a picture may take.")
        .arg(declared.width())
        .arg(declared.height())
        .arg((bytes + 1024 * 1024 - 1) / (1024 * 1024))
        .arg(decodeBudget() / (1024 * 1024));
}

} // namespace

qint64 imageBytes(QSize size, QImage::Format format) {
    // Held to 2^50 so that sums of them never overflow, whatever size a file claims.
    const qint64 row = (qint64(std::max(0, size.width())) * bitsOf(format) + 31) / 32 * 4;
    return qint64(std::min(double(row) * std::max(0, size.height()), 0x1p50));
}

QImage::Format scalingFormat(QImage::Format format, bool alpha, bool as32Bits) {
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return format;
    case QImage::Format_RGBX64:
        return as32Bits ? QImage::Format_RGB32 : format;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return as32Bits ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGBA64_Premultiplied;
    default:
        return alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    }
}

QImage scaledPicture(QImage image, QSize size, bool as32Bits) {
    if (image.isNull())
        return image;
    const bool scale = size.isValid() && !size.isEmpty() && size != image.size();
    if (!scale && !as32Bits)
        return image;
    const QImage::Format format = scalingFormat(image.format(), image.hasAlphaChannel(), as32Bits);
    // In place where the pixel does not grow (16-bit channels to 8, a straight alpha premultiplied), so the
    // two are never held together; into a copy where it grows, the decoded picture let go at once.
    if (format != image.format() && bitsOf(format) <= image.depth())
        image.convertTo(format);
    else if (format != image.format())
        image = image.convertToFormat(format);
    if (scale)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

qint64 decodedBytes(const PictureInfo& info, QSize target, bool as32Bits) {
    const QSize size = info.size;
    if (size.isEmpty()) // what reading its header holds
        return FixedBytes + info.decoderBytes;
    if (target.isEmpty() || target.width() > size.width() || target.height() > size.height())
        target = size;
    const QImage::Format native = info.decodesTo == QImage::Format_Invalid ? QImage::Format_ARGB32 : info.decodesTo;
    // The reader: its buffers and the picture it decodes; a JPEG's reader scales that to target itself (a
    // quick scaling in its own format).
    const QSize decoded = decodedSize(info, target);
    const QSize got = info.scalesWhileDecoding ? target : decoded;
    qint64 peak = info.decoderBytes + imageBytes(decoded, native) + (got != decoded ? imageBytes(got, native) : 0);
    if (got == target && !as32Bits)
        return FixedBytes + peak;
    // Made ready for smooth scaling (or as 32 bits), then scaled.
    const QImage::Format ready = scalingFormat(native, hasAlpha(native), as32Bits);
    const qint64 readyBytes = imageBytes(got, ready);
    if (bitsOf(ready) > bitsOf(native))
        peak = std::max(peak, imageBytes(got, native) + readyBytes);
    if (got != target)
        peak = std::max(peak, readyBytes + imageBytes(target, ready));
    return FixedBytes + peak;
}

qint64 decodeBudget() {
    // Qt's allocation limit, when set lower (a fuzzer keeping inputs fast), bounds the decoder's buffers too.
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    return limit > 0 ? std::min(limit, MaxDecodeBytes) : MaxDecodeBytes;
}

QString decodeCostMessage(const PictureInfo& info, QSize target, bool as32Bits) {
    const qint64 bytes = decodedBytes(info, target, as32Bits);
    return bytes > decodeBudget() ? tooCostlyMessage(info.size, bytes) : QString();
}

} // namespace pictures
