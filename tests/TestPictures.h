#pragma once

// Pictures of one colour for tests.

#include <QColor>
#include <QImage>

inline QImage filledImage(QSize size, QColor colour, QImage::Format format = QImage::Format_ARGB32) {
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// Saves a picture of one colour as PNG and returns its path.
inline QString writePicture(const QString& path, QColor colour, QSize size = QSize(40, 30)) {
    filledImage(size, colour).save(path, "PNG");
    return path;
}
