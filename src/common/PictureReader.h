#pragma once

// Reading pictures from outside. The size a file declares is checked before anything is decoded, and a
// large picture is decoded scaled where the format can do that (JPEG), so a small file that claims a huge
// picture cannot exhaust memory.

#include <QImage>
#include <QSize>
#include <QString>

class QImageReader;

namespace pictures {

// Sources larger than this are refused whatever the result size would be.
constexpr qint64 MaxSourcePixels = 100LL * 1000 * 1000;

struct ReadLimits {
    int maxSide = 0;      // longest side of the result; 0 for no limit
    qint64 maxPixels = 0; // area of the result; 0 for no limit
};

// "The picture is too large (W × H pixels). Pictures of up to 100 megapixels can be used."
QString tooLargeMessage(QSize declared);

// Lets Qt's readers allocate a picture at the source limit in any format (Qt's default stops near 64
// megapixels). Done once, by the readers below; callers decoding pictures themselves call it first.
void allowPicturesAtSourceLimit();

// The largest size within the limits with the proportions of size (size itself when it fits).
QSize fitted(QSize size, const ReadLimits& limits);

// The picture scaled down (never up) to fit the limits, keeping its proportions. A null image and the reason
// in *error when the file is missing, unreadable or too large, whether by the size it declares or by the
// size of the picture it holds.
QImage readPicture(QImageReader& reader, const ReadLimits& limits, QString* error = nullptr);
QImage readPictureFile(const QString& path, const ReadLimits& limits, QString* error = nullptr);

// A thumbnail whose longer side is `side` pixels at most.
QImage readThumbnail(const QString& path, int side, QString* error = nullptr);

} // namespace pictures
