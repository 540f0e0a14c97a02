#pragma once

// Text measuring and drawing for barcode drawings. Every length here is in points, whatever device the text
// is finally drawn on. A font's metrics and the layout of each grapheme cluster are worked out once and kept
// in a small cache of the calling thread (keyed by the font and the cluster), so a barcode image per data
// row lays out only what it has not seen before; on raster images the glyphs are drawn from bitmaps kept
// the same way, which also makes the same text draw to the same pixels every time.

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

#include <vector>

class QImage;
class QPaintDevice;
class QPainter;

namespace BarcodeText {

// Height of the font's capital letters, in points.
qreal capHeight(const QFont& font);
// Width of one line of text drawn with the font and no extra spacing, in points.
qreal textWidth(const QFont& font, const QString& text);
// Height of one laid-out line, and the ascent above its baseline, in points.
qreal lineHeight(const QFont& font);
qreal ascent(const QFont& font);

struct Cluster {
    QString text;  // one grapheme cluster
    qreal advance; // its width, points
};
// The text split into grapheme clusters with their widths, for drawing with extra spacing.
QList<Cluster> clusters(const QFont& font, const QString& text);
// Width of the text drawn with `kern` points between its clusters.
qreal spacedWidth(const QFont& font, const QString& text, qreal kern);

// Points drawn between the clusters of a header or footer at its own size; their widths count them.
constexpr qreal kLineKern = 2.0;
// Smallest point size a barcode text is set in to fit its frame.
constexpr qreal kLeastFittedPoints = 5.0;
struct FittedSize {
    qreal points = 0; // the font's own size where the text fits at it
    bool fits = true;
};
// The point size at which the text, with `kern` points between its clusters at the font's own size (kern
// shrinks with the size), is at most `room` points wide: the font's own where it fits, else smaller, down to
// kLeastFittedPoints (or the font's own size when smaller); `fits` false where even that is too wide.
FittedSize fitToWidth(const QFont& font, const QString& text, qreal kern, qreal room);

// Draws one line of text whose baseline starts at (x, baseline) in the painter's user units (points), with
// `kern` points added after each grapheme cluster. Glyphs missing from the font come from the fonts Qt
// falls back to, as in any Qt text.
void drawText(QPainter& painter, const QFont& font, const QColor& color, const QString& text, qreal kern,
              qreal x, qreal baseline);

// Draws as drawText does on a QPainter of `image` scaled by `scale` pixels per point, to the same pixels,
// blending the glyph bitmaps straight into the image (which must be Format_ARGB32_Premultiplied).
void drawTextOnImage(QImage& image, qreal scale, const QFont& font, const QColor& color, const QString& text,
                     qreal kern, qreal x, qreal baseline);

// Draws the text's coverage into an 8-bit image (0 no ink, 255 full ink), laid over the coverage already
// there: the alpha drawTextOnImage gives in black. `drawn` holds the areas of the image that have ink so far;
// the pixel area the text's glyphs take is returned. Other pixel depths are left alone.
QRect drawCoverageOnImage(QImage& image, qreal scale, const QFont& font, const QString& text, qreal kern, qreal x,
                          qreal baseline, const std::vector<QRect>& drawn);

// Colour table for an image of such coverage: opaque `ink` over opaque `background` at each coverage, as
// drawTextOnImage blends a glyph in `ink` over the background.
const QList<QRgb>& coverageColours(QRgb ink, QRgb background);

// The font to set on a painter of `device` whose user units are points: the point size is rescaled for
// the device's resolution.
QFont deviceFont(const QFont& font, const QPaintDevice* device);

} // namespace BarcodeText
