#pragma once

// Thumbnails made once, at the size they are shown, and kept in the user's data folder ("Thumbnails" under
// Resource_Path) for the next start. A kept thumbnail is used only while its picture is unchanged (the
// same size and modification time); otherwise it is made again from the picture and kept anew. Pictures
// are read through PictureReader, so a picture that cannot be read gives a null image and nothing is kept.

#include <QImage>
#include <QString>

namespace pictures {

// The thumbnail of the picture at path whose longer side is `side` pixels at most.
QImage keptThumbnail(const QString& path, int side);

// Where that thumbnail is kept (under folder).
QString keptThumbnailPath(const QString& folder, const QString& path, int side);

} // namespace pictures
