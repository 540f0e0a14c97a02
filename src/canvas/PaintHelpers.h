#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>

class QImage;
class QPainter;

// Drawing pieces shared by the item kinds and the card base.
namespace PaintHelpers {

// Dash codes "S" solid, "DA" dash, "DO" dot, "DD" dash-dot, "DDD" dash-dot-dot, as a pen dash pattern in
// units of the pen width (so the pattern scales with the width). Empty for solid and unknown codes.
QList<qreal> dashPattern(const QString& code);

// The colour with its alpha multiplied by fraction (clamped to 0..1).
QColor withAlpha(const QColor& colour, float fraction);

QPen strokePen(const QColor& colour, qreal width, const QString& dashCode, float alpha,
               Qt::PenCapStyle cap = Qt::FlatCap);

// Linear gradient over rect at the angle in degrees: 0 runs left to right, 90 top to bottom (y downward).
// The ends sit on the rect's extreme corners along the direction, so the whole rect is covered.
QLinearGradient angledGradient(const QRectF& rect, double degrees, const QColor& from, const QColor& to);

// Fills path with the hatch picture tiled from origin. Returns false when the picture is missing.
bool fillWithHatch(QPainter& painter, const QPainterPath& path, const QString& hatchName, const QPointF& origin);

// Item shape outlines. Geometry of the shape codes:
//   "R"  the rect              "C"  the inscribed ellipse     "RR" rounded rect (radius clamped to half a side)
//   "T"  apex at top centre, base along the bottom edge     "D"  the four edge midpoints
//   "S"  five-pointed star (inner radius 0.382 of the outer)
//   "DS" double star: n long points (radius 1.0) with n short points (0.62) between them, valleys at 0.38;
//        variant 1..5 gives n = 5, 6, 8, 10, 12
//   "P"  regular polygon; variant 1..5 gives 5, 6, 7, 8, 9 sides
// Stars and polygons are inscribed in the rect's ellipse (stretched with the rect), first point at the top.
// An unknown code draws the rect. Variants outside 1..5 are clamped (0 draws as 1).
QPainterPath shapeOutline(const QString& code, const QRectF& rect, qreal cornerRadius = 10, int doubleStarType = 0,
                          int polygonType = 0);
int doubleStarPoints(int variant);
int polygonSides(int variant);

// A font for text laid out without a paint device (QTextLayout without one) whose point size maps to painter
// units 1:1 (1 pt = 1 unit at identity transform), so text lays out the same on the screen, a picture, a
// printer or a PDF; the painter's transform does the rest. (Laying out for a device would also drop the
// font's letter spacing.)
QFont pointFont(const QFont& font);

// The device pixels rect covers under the painter's transform, its edges on whole pixels; at least one pixel
// each way. Pictures are made at its size.
QRect devicePixels(const QPainter& painter, const QRectF& rect);
// The size to make a picture of `own` pixels drawn over rect: devicePixels(rect)'s on raster devices (put there
// a pixel for a pixel); elsewhere (PDF, printers, previews) never larger than own on either side, as the
// device stretches it itself and a grown picture only makes the file larger.
QSize pictureMadeSize(const QPainter& painter, const QRectF& rect, QSize own);
// Draws a picture of devicePixels(rect)'s size over rect a pixel for a pixel (a blit, no resampling), mirrored
// as asked, where the device is a raster one and the transform only scales; returns false, drawing nothing,
// where it cannot (the caller stretches the picture).
bool drawPicturePixels(QPainter& painter, const QRectF& rect, const QImage& picture, bool flipH = false,
                       bool flipV = false);
// QPainter::drawImage on raster devices in bands of BandRows device rows where Qt would share the blend out to
// its thread pool (whose threads a busy machine runs late): smooth or unscaled; others draw it at once.
inline constexpr int BandRows = 64;
void drawImageInBands(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source);

} // namespace PaintHelpers
