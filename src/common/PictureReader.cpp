#include "common/PictureReader.h"

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

QImage readPicture(QImageReader& reader, const ReadLimits& limits, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return fail(QStringLiteral("The picture could not be read: %1").arg(reader.errorString()));
    const double pixels = double(size.width()) * size.height();
    if (pixels > double(MaxSourcePixels))
        return fail(tooLargeMessage(size));

    double scale = 1.0;
    const int longest = std::max(size.width(), size.height());
    if (limits.maxSide > 0 && longest > limits.maxSide)
        scale = double(limits.maxSide) / longest;
    const int limitMB = QImageReader::allocationLimit();
    const qint64 allocatable = limitMB > 0 ? qint64(limitMB) * 1024 * 1024 / 4 : 0;
    const bool shrink = scale < 1.0 || (limits.maxPixels > 0 && pixels > double(limits.maxPixels)) ||
                        (allocatable > 0 && pixels > double(allocatable));
    if (shrink) {
        // Decoders that scale while reading (JPEG) first decode at up to twice the asked size in each
        // direction, and that intermediate picture must stay within Qt's allocation limit.
        qint64 maxPixels = limits.maxPixels;
        if (allocatable > 0)
            maxPixels = maxPixels > 0 ? std::min(maxPixels, allocatable / 4) : allocatable / 4;
        if (maxPixels > 0 && pixels * scale * scale > double(maxPixels))
            scale = std::sqrt(double(maxPixels) / pixels);
    }
    if (scale < 1.0)
        reader.setScaledSize(
            QSize(std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale))));
    QImage image;
    if (!reader.read(&image))
        return fail(QStringLiteral("The picture could not be read: %1").arg(reader.errorString()));
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
