#include "app/ToolIcons.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <chrono>
#include <cmath>
#include <future>

namespace {

QPainterPath starPath(const QRectF& r, int points, qreal inner)
{
    QPainterPath path;
    const QPointF c = r.center();
    for (int i = 0; i < points * 2; ++i) {
        const qreal radius = (i % 2 ? inner : 1.0) * r.width() / 2;
        const qreal a = -M_PI / 2 + i * M_PI / points;
        const QPointF p(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QImage drawToolIcon(int tool)
{
    QImage pm(32, 32, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(120, 160, 220));
    const QRectF r(6, 6, 20, 20);
    switch (tool) {
    case 0: {
        QPainterPath arrow;
        arrow.moveTo(10, 5);
        arrow.lineTo(10, 25);
        arrow.lineTo(15, 20);
        arrow.lineTo(19, 28);
        arrow.lineTo(22, 26);
        arrow.lineTo(18, 19);
        arrow.lineTo(24, 19);
        arrow.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case 1: p.drawLine(QPointF(6, 26), QPointF(26, 6)); break;
    case 2:
        // A bold serif T, drawn: a font of its own would be loaded for this one letter before the window shows.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(7, 6), QPointF(25, 6), QPointF(25, 12.5), QPointF(23.8, 12.5),
                                 QPointF(22.8, 10.2), QPointF(18.4, 10.2), QPointF(18.4, 23.8), QPointF(21.5, 24.4),
                                 QPointF(21.5, 26), QPointF(10.5, 26), QPointF(10.5, 24.4), QPointF(13.6, 23.8),
                                 QPointF(13.6, 10.2), QPointF(9.2, 10.2), QPointF(8.2, 12.5), QPointF(7, 12.5)}));
        break;
    case 3: p.drawRect(r); break;
    case 4: p.drawEllipse(r); break;
    case 5: p.drawRoundedRect(r, 6, 6); break;
    case 6: p.drawPolygon(QPolygonF({QPointF(16, 6), QPointF(26, 26), QPointF(6, 26)})); break;
    case 7: p.drawPolygon(QPolygonF({QPointF(16, 5), QPointF(27, 16), QPointF(16, 27), QPointF(5, 16)})); break;
    case 8:
    case 9: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 7, 22, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(tool == 8 ? QColor(80, 160, 80) : QColor(200, 120, 60));
        p.drawPolygon(QPolygonF({QPointF(7, 23), QPointF(14, 13), QPointF(19, 19), QPointF(22, 16), QPointF(25, 23)}));
        if (tool == 9) {
            p.setPen(QPen(QColor(40, 40, 40), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(8, 4, 22, 18));
        }
        break;
    }
    case 10:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (int x = 6, i = 0; x < 26; x += (i % 3) + 2, ++i)
            p.drawRect(QRectF(x, 7, (i % 2) + 1, 18));
        break;
    case 11: {
        QPainterPath s;
        s.moveTo(5, 22);
        s.cubicTo(10, 4, 14, 30, 18, 14);
        s.cubicTo(20, 8, 24, 24, 28, 16);
        p.setBrush(Qt::NoBrush);
        p.drawPath(s);
        p.drawLine(QPointF(5, 27), QPointF(27, 27));
        break;
    }
    case 12:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(16, 17), 3 + i * 3, 4 + i * 3.5);
        break;
    case 13: p.drawPath(starPath(QRectF(4, 4, 24, 24), 5, 0.45)); break;
    case 14: p.drawPath(starPath(QRectF(4, 4, 24, 24), 8, 0.6)); break;
    case 15: {
        QPolygonF hex;
        for (int i = 0; i < 6; ++i)
            hex << QPointF(16 + 11 * std::cos(M_PI / 3 * i), 16 + 11 * std::sin(M_PI / 3 * i));
        p.drawPolygon(hex);
        break;
    }
    default: break;
    }
    return pm;
}

// A tool's picture at the sizes the tool palette (28) and the Tools menu (16) show it, made smaller as Qt
// would make them when first painted.
using Sizes = std::array<QImage, 3>;
using Drawn = std::array<Sizes, ToolIconCount>;

Sizes drawToolIconSizes(int tool)
{
    const QImage full = drawToolIcon(tool);
    return {full, full.scaled(28, 28, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
            full.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)};
}

std::future<Drawn>& drawnAhead()
{
    static std::future<Drawn> drawn;
    return drawn;
}

} // namespace

void drawToolIconsAhead()
{
    if (drawnAhead().valid())
        return;
    drawnAhead() = std::async(std::launch::async, [] {
        Drawn drawn;
        for (int tool = 0; tool < ToolIconCount; ++tool)
            drawn[size_t(tool)] = drawToolIconSizes(tool);
        return drawn;
    });
}

QIcon toolIcon(int tool)
{
    // Pictures not drawn yet are drawn here rather than waited for: the thread may have started late.
    static Drawn drawn;
    if (drawnAhead().valid() && drawnAhead().wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        drawn = drawnAhead().get();
    const bool ahead = tool >= 0 && tool < ToolIconCount && !drawn[size_t(tool)][0].isNull();
    QIcon icon;
    for (const QImage& image : ahead ? drawn[size_t(tool)] : drawToolIconSizes(tool))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}
