#include "common/ThumbnailCache.h"

#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/PictureReader.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace pictures {

namespace {

// What the thumbnail was made from: the picture's size in bytes and its modification time.
QString sourceStamp(const QFileInfo& source) {
    return QStringLiteral("%1 %2").arg(source.size()).arg(source.lastModified().toMSecsSinceEpoch());
}

const QString StampKey = QStringLiteral("NAVU-Source");

} // namespace

QString keptThumbnailPath(const QString& folder, const QString& path, int side) {
    const QByteArray id = QCryptographicHash::hash(
        QFileInfo(path).absoluteFilePath().toUtf8() + '\n' + QByteArray::number(side), QCryptographicHash::Sha1);
    return QDir(folder).filePath(QString::fromLatin1(id.toHex()) + QStringLiteral(".png"));
}

QImage keptThumbnail(const QString& path, int side) {
    const QFileInfo source(path);
    if (!source.isFile())
        return {};
    const QString folder = QDir(Resource_Path).filePath(QStringLiteral("Thumbnails"));
    const QString kept = keptThumbnailPath(folder, path, side);
    const QString stamp = sourceStamp(source);
    if (QFileInfo::exists(kept)) {
        QImageReader reader(kept, "png");
        // Our own PNG: no need to wake every picture-format plugin to ask whether it reads it (a reader
        // told so reads even a missing file, hence the check above).
        reader.setAutoDetectImageFormat(false);
        if (reader.text(StampKey) == stamp) {
            const QImage image = reader.read();
            if (!image.isNull() && std::max(image.width(), image.height()) <= side)
                return image;
        }
    }
    QImage image = readThumbnail(path, side);
    if (image.isNull() || Resource_Path.isEmpty() || !makeFolder(folder))
        return image;
    image.setText(StampKey, stamp);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    // Keeping it is only a saving for the next start: a failure costs nothing but the time.
    if (image.save(&buffer, "PNG"))
        writeFileAtomically(kept, png, &error);
    return image;
}

} // namespace pictures
