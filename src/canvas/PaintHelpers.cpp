#include "canvas/PaintHelpers.h"

#include "canvas/ResourceImages.h"

#include <QBrush>
#include <QFontInfo>
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

} // namespace PaintHelpers
