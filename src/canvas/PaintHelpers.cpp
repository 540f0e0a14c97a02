#include "canvas/PaintHelpers.h"

#include "canvas/ResourceImages.h"

#include <QBrush>
#include <QFontInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace PaintHelpers {

QList<qreal> dashPattern(const QString& code)
{
    if (code == QLatin1String("DA"))
        return {4, 2};
    if (code == QLatin1String("DO"))
        return {1, 2};
    if (code == QLatin1String("DD"))
        return {4, 2, 1, 2};
    if (code == QLatin1String("DDD"))
        return {4, 2, 1, 2, 1, 2};
    return {};
}

QColor withAlpha(const QColor& colour, float fraction)
{
    QColor c = colour.isValid() ? colour : QColor(Qt::black);
    const float f = std::isnan(fraction) ? 1.0f : std::clamp(fraction, 0.0f, 1.0f);
    c.setAlphaF(c.alphaF() * f);
    return c;
}

QPen strokePen(const QColor& colour, qreal width, const QString& dashCode, float alpha, Qt::PenCapStyle cap)
{
    QPen pen(withAlpha(colour, alpha), width, Qt::SolidLine, cap, Qt::MiterJoin);
    const QList<qreal> dashes = dashPattern(dashCode);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

QLinearGradient angledGradient(const QRectF& rect, double degrees, const QColor& from, const QColor& to)
{
    const double rad = qDegreesToRadians(std::isfinite(degrees) ? degrees : 0.0);
    const double dx = std::cos(rad), dy = std::sin(rad);
    const double half = (std::abs(rect.width() * dx) + std::abs(rect.height() * dy)) / 2.0;
    const QPointF c = rect.center();
    QLinearGradient g(c - QPointF(dx * half, dy * half), c + QPointF(dx * half, dy * half));
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

bool fillWithHatch(QPainter& painter, const QPainterPath& path, const QString& hatchName, const QPointF& origin)
{
    const QImage tile = ResourceImages::hatch(hatchName);
    if (tile.isNull())
        return false;
    QBrush brush(tile);
    brush.setTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    painter.fillPath(path, brush);
    return true;
}

int doubleStarPoints(int variant)
{
    // Variants run 1 to 5; 0, written by early builds, draws as 1.
    static const int points[5] = {5, 6, 8, 10, 12};
    return points[std::clamp(variant, 1, 5) - 1];
}

int polygonSides(int variant) { return 4 + std::clamp(variant, 1, 5); }

namespace {

// Closed path through points at the given radii (fractions of the rect's half sides), going clockwise from
// the top, evenly spaced.
QPainterPath radialPath(const QRectF& r, const QList<qreal>& radii, int count)
{
    QPainterPath path;
    const QPointF c = r.center();
    const qreal rx = r.width() / 2, ry = r.height() / 2;
    const int total = count * int(radii.size());
    for (int i = 0; i < total; ++i) {
        const qreal a = -M_PI / 2 + 2 * M_PI * i / total;
        const qreal k = radii[i % radii.size()];
        const QPointF p(c.x() + rx * k * std::cos(a), c.y() + ry * k * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

} // namespace

QPainterPath shapeOutline(const QString& code, const QRectF& rect, qreal cornerRadius, int doubleStarType,
                          int polygonType)
{
    const QRectF r = rect.normalized();
    QPainterPath path;
    if (code == QLatin1String("C")) {
        path.addEllipse(r);
    } else if (code == QLatin1String("RR")) {
        const qreal maxR = std::min(r.width(), r.height()) / 2;
        const qreal rad = std::isfinite(cornerRadius) ? std::clamp(cornerRadius, qreal(0), maxR) : 0;
        path.addRoundedRect(r, rad, rad);
    } else if (code == QLatin1String("T")) {
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.bottomRight());
        path.lineTo(r.bottomLeft());
        path.closeSubpath();
    } else if (code == QLatin1String("D")) {
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.right(), r.center().y());
        path.lineTo(r.center().x(), r.bottom());
        path.lineTo(r.left(), r.center().y());
        path.closeSubpath();
    } else if (code == QLatin1String("S")) {
        path = radialPath(r, {1.0, 0.382}, 5);
    } else if (code == QLatin1String("DS")) {
        path = radialPath(r, {1.0, 0.38, 0.62, 0.38}, doubleStarPoints(doubleStarType));
    } else if (code == QLatin1String("P")) {
        path = radialPath(r, {1.0}, polygonSides(polygonType));
    } else {
        path.addRect(r);
    }
    return path;
}

QFont pointFont(const QFont& font)
{
    // Resolution Qt uses for fonts without a device: 72 pt at that resolution is `dpi` pixels.
    static const int defaultDpi = [] {
        QFont probe;
        probe.setPointSizeF(72);
        const int px = QFontInfo(probe).pixelSize();
        return px > 0 ? px : 72;
    }();
    QFont f = font;
    const qreal pt = font.pointSizeF() > 0 ? font.pointSizeF() : qreal(font.pixelSize());
    if (pt > 0 && defaultDpi != 72)
        f.setPointSizeF(pt * 72.0 / defaultDpi);
    return f;
}

QRect devicePixels(const QPainter& painter, const QRectF& rect)
{
    const QRectF mapped = painter.combinedTransform().mapRect(rect);
    auto edge = [](qreal v) { return std::isfinite(v) ? qint64(std::llround(std::clamp(v, -1e6, 1e6))) : qint64(0); };
    const qint64 left = edge(mapped.left()), top = edge(mapped.top());
    const qint64 width = std::clamp<qint64>(edge(mapped.right()) - left, 1, 1000000);
    const qint64 height = std::clamp<qint64>(edge(mapped.bottom()) - top, 1, 1000000);
    return QRect(int(left), int(top), int(width), int(height));
}

namespace {

bool onRaster(const QPainter& painter)
{
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
}

} // namespace

QSize pictureMadeSize(const QPainter& painter, const QRectF& rect, QSize own)
{
    const QSize pixels = devicePixels(painter, rect).size();
    return onRaster(painter) || own.isEmpty() ? pixels : pixels.boundedTo(own);
}

void drawImageInBands(QPainter& painter, const QRectF& target, const QImage& image, const QRectF& source)
{
    // every pixel the picture touches, within the device
    const QRectF mapped = painter.combinedTransform().mapRect(target);
    const QRect device = painter.device() && mapped.isValid()
                             ? mapped.intersected(QRectF(0, 0, painter.device()->width(), painter.device()->height()))
                                   .toAlignedRect()
                             : QRect();
    // Sharp scaling keeps to one thread by itself, and its rounding depends on where the clip starts.
    const bool shared = painter.testRenderHint(QPainter::SmoothPixmapTransform) ||
                        painter.combinedTransform().type() <= QTransform::TxTranslate;
    if (!onRaster(painter) || !shared || device.height() <= BandRows) {
        painter.drawImage(target, image, source);
        return;
    }
    // Qt shares a blend of 96 rows or more among its pool's threads and waits for them all, which on a busy
    // machine takes longer than the blend itself.
    const QTransform combined = painter.combinedTransform();
    for (int y = device.top(); y <= device.bottom(); y += BandRows) {
        painter.save();
        painter.resetTransform();
        painter.setClipRect(QRect(device.left(), y, device.width(), BandRows), Qt::IntersectClip);
        painter.setWorldTransform(combined);
        painter.drawImage(target, image, source);
        painter.restore();
    }
}

bool drawPicturePixels(QPainter& painter, const QRectF& rect, const QImage& picture, bool flipH, bool flipV)
{
    if (picture.isNull())
        return false;
    const QTransform t = painter.combinedTransform();
    const QRect pixels = devicePixels(painter, rect);
    if (!onRaster(painter) || !painter.device() || painter.device()->devicePixelRatio() != 1 ||
        t.type() > QTransform::TxScale || !(t.m11() > 0) || !(t.m22() > 0) || picture.size() != pixels.size())
        return false;
    painter.save();
    painter.resetTransform();
    const QImage shown = flipH || flipV ? picture.mirrored(flipH, flipV) : picture;
    drawImageInBands(painter, QRectF(pixels), shown, QRectF(shown.rect()));
    painter.restore();
    return true;
}

} // namespace PaintHelpers
