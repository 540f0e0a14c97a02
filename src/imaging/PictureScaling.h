#pragma once

// Conversion and resampling of pictures on the calling thread alone. Qt's own smooth scaling and large format
// conversions share their work out to the application's thread pool, which the window's painting needs for
// its blends; picture workers use these instead, so that a long picture job never holds the window's paint.

#include <QImage>
#include <QSize>

namespace picturescaling {

// The 32-bit format a picture is kept in: premultiplied ARGB when it has an alpha channel, else RGB32.
QImage::Format keptFormat(const QImage& image);

// The picture in `format` (Format_RGB32 or Format_ARGB32_Premultiplied; keptFormat() when invalid), converted
// a line at a time: in the picture's own memory where its pixels are at least 32 bits and nothing else shares
// it (16-bit channels never held beside their 8-bit copy), else into a new picture. The picture itself when it
// is in that format already.
QImage converted(QImage image, QImage::Format format = QImage::Format_Invalid);

// The picture resampled to `size` in one pass, in keptFormat(): each side that shrinks averages the pixels
// it covers (weighted by the part covered), a side that grows interpolates linearly between pixel centres.
// Null when size is empty or there is no memory for the result.
QImage scaled(const QImage& image, QSize size);
// What scaled() holds besides the picture and its result while it makes a picture of `to` from one of `from`.
qint64 workingBytes(QSize from, QSize to);

} // namespace picturescaling
