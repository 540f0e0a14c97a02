#include "common/PictureReader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace pictures {

QString tooLargeMessage(QSize declared) {
    return QStringLiteral(
               "The picture is too large (%1 × %2 pixels). Pictures of up to %3 megapixels can be used.")
        .arg(declared.width())
        .arg(declared.height())
        .arg(MaxSourcePixels / 1000000);
}

void allowPicturesAtSourceLimit() {
    static const bool raised = [] {
        // Up to 8 bytes a pixel (16-bit channels), in whole megabytes.
        const int needed = int(MaxSourcePixels * 8 / (1024 * 1024)) + 1;
        const int current = QImageReader::allocationLimit();
        if (current > 0 && current < needed)
            QImageReader::setAllocationLimit(needed);
        return true;
    }();
    (void)raised;
}

QSize fitted(QSize size, const ReadLimits& limits) {
    const double pixels = double(size.width()) * size.height();
    double scale = 1.0;
    const int longest = std::max(size.width(), size.height());
    if (limits.maxSide > 0 && longest > limits.maxSide)
        scale = double(limits.maxSide) / longest;
    if (limits.maxPixels > 0 && pixels * scale * scale > double(limits.maxPixels))
        scale = std::sqrt(double(limits.maxPixels) / pixels);
    if (scale >= 1.0)
        return size;
    // The epsilon keeps 10000 x 0.0096 at 96, not 95.
    auto side = [scale](int v) { return std::max(1, int(v * scale + 1e-6)); };
    return QSize(side(size.width()), side(size.height()));
}

namespace {

// The logical screen of a GIF, which Qt returns whole although it declares only the first frame's size;
// an invalid size for other files.
QSize gifScreen(QImageReader& reader) {
    QByteArray head;
    if (QIODevice* device = reader.device(); device && device->isOpen()) {
        head = device->peek(10);
    } else if (!reader.fileName().isEmpty()) {
        QFile file(reader.fileName());
        if (file.open(QIODevice::ReadOnly))
            head = file.read(10);
    }
    if (head.size() < 10 || !head.startsWith("GIF8"))
        return {};
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    return QSize(p[6] | (p[7] << 8), p[8] | (p[9] << 8));
}

} // namespace

QImage readPicture(QImageReader& reader, const ReadLimits& limits, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    allowPicturesAtSourceLimit();
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return fail(QStringLiteral("The picture could not be read: %1").arg(reader.errorString()));
    if (const QSize screen = gifScreen(reader); !screen.isEmpty())
        size = screen; // what the decoder will give
    const double pixels = double(size.width()) * size.height();
    if (pixels > double(MaxSourcePixels))
        return fail(tooLargeMessage(size));

    const int limitMB = QImageReader::allocationLimit();
    const qint64 allocatable = limitMB > 0 ? qint64(limitMB) * 1024 * 1024 / 4 : 0;
    ReadLimits decode = limits;
    if (allocatable > 0 && (fitted(size, limits) != size || pixels > double(allocatable))) {
        // Decoders that scale while reading (JPEG) first decode at up to twice the asked size in each
        // direction, and that intermediate picture must stay within Qt's allocation limit.
        decode.maxPixels = limits.maxPixels > 0 ? std::min(limits.maxPixels, allocatable / 4) : allocatable / 4;
    }
    const QSize scaled = fitted(size, decode);
    if (scaled != size)
        reader.setScaledSize(scaled);
    QImage image;
    if (!reader.read(&image))
        return fail(QStringLiteral("The picture could not be read: %1").arg(reader.errorString()));
    // Some decoders give another size than the file declares (a GIF's logical screen around a small
    // first frame), so the picture got is held to the same limits.
    if (double(image.width()) * image.height() > double(MaxSourcePixels))
        return fail(tooLargeMessage(image.size()));
    const QSize fit = fitted(image.size(), limits);
    if (fit != image.size())
        image = image.scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage readPictureFile(const QString& path, const ReadLimits& limits, QString* error) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The picture %1 does not exist.").arg(path);
        return {};
    }
    QImageReader reader(path);
    return readPicture(reader, limits, error);
}

QImage readThumbnail(const QString& path, int side, QString* error) {
    return readPictureFile(path, {side, 0}, error);
}

} // namespace pictures
