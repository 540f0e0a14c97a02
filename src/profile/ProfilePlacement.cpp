#include "profile/ProfilePlacement.h"

#include "common/Prompt.h"
#include "profile/ProfileFields.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

const ProfileTemplates& ProfileTemplates::defaults() {
    // The template box is a 504 x 360 point card (7 x 5 inch). Landscape: texts down the right, photo on the
    // left. Portrait (a 360 x 504 card): photo at the top, texts below; y still counts from the top of the
    // 360 high landscape box, so the lower frames have negative y.
    static const ProfileTemplates t = [] {
        ProfileTemplates out;
        out.horzTemplateHeight = 360;
        out.landscapeCard = QSizeF(504, 360);
        out.portraitCard = QSizeF(360, 504);
        const double textH = 24, step = 26;
        for (int i = 0; i < profile::PhotoField; ++i) {
            const QString id = profile::fieldInfo(i).controlId;
            // Landscape text i: top at 30 + i * step, x 190, 290 wide.
            out.landscape.insert(id, QRectF(190, 360 - (30 + i * step), 290, textH));
            // Portrait text i: top at 200 + i * step, x 30, 300 wide.
            out.portrait.insert(id, QRectF(30, 360 - (200 + i * step), 300, textH));
        }
        const QString photo = profile::fieldInfo(profile::PhotoField).controlId;
        out.landscape.insert(photo, QRectF(24, 360 - 40, 140, 160));
        out.portrait.insert(photo, QRectF(120, 360 - 30, 120, 150));
        return out;
    }();
    return t;
}

QRectF Get_Control_Rect_From_Template(const QString& controlId, const QSizeF& cardSize,
                                      const ProfileTemplates& templates) {
    Show_NSLog_Message(QStringLiteral("Card size {%1, %2}").arg(cardSize.width()).arg(cardSize.height()));
    const bool landscape = cardSize.width() >= cardSize.height();
    if (profile::fieldOfId(controlId) < 0)
        return {};
    const QRectF frame = (landscape ? templates.landscape : templates.portrait).value(controlId);
    const QRectF place(frame.x(), templates.horzTemplateHeight - frame.y(), frame.width(), frame.height());
    const QSizeF laidOutFor = landscape ? templates.landscapeCard : templates.portraitCard;
    if (laidOutFor.isEmpty() || cardSize.isEmpty())
        return place;
    const double factor =
        std::min({1.0, cardSize.width() / laidOutFor.width(), cardSize.height() / laidOutFor.height()});
    return QRectF(place.topLeft() * factor, place.size() * factor);
}

TextInkMap::TextInkMap(const QSizeF& cardSize, const GraphicList& texts, const QList<QRectF>& boxes) {
    _w = std::clamp(int(std::ceil(cardSize.width())), 0, 4000);
    _h = std::clamp(int(std::ceil(cardSize.height())), 0, 4000);
    _sum.assign(size_t(_w + 1) * size_t(_h + 1), 0);
    if (_w == 0 || _h == 0)
        return;
    QImage ink(_w, _h, QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    {
        QPainter painter(&ink);
        for (const GraphicPtr& g : texts) {
            if (!g)
                continue;
            // Drawn as shown; a hidden item that is about to be shown counts too.
            const bool visible = g->ctrl_is_visible;
            g->ctrl_is_visible = true;
            g->draw(painter);
            g->ctrl_is_visible = visible;
        }
        for (const QRectF& r : boxes)
            painter.fillRect(r, Qt::black);
    }
    for (int y = 0; y < _h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(ink.constScanLine(y));
        qint64 row = 0;
        for (int x = 0; x < _w; ++x) {
            row += qAlpha(line[x]) > 24 ? 1 : 0;
            _sum[size_t(y + 1) * size_t(_w + 1) + size_t(x + 1)] = _sum[size_t(y) * size_t(_w + 1) + size_t(x + 1)] + row;
        }
    }
}

qint64 TextInkMap::inkIn(const QRectF& r) const {
    const QRect cells = r.toAlignedRect();
    const QRect inside = cells.intersected(QRect(0, 0, _w, _h));
    const qint64 outside = qint64(cells.width()) * cells.height() - qint64(inside.width()) * inside.height();
    if (inside.isEmpty())
        return outside;
    auto at = [this](int x, int y) { return _sum[size_t(y) * size_t(_w + 1) + size_t(x)]; };
    const int x0 = inside.left(), y0 = inside.top(), x1 = inside.right() + 1, y1 = inside.bottom() + 1;
    return outside + at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
}

QRectF TextInkMap::clearPlace(const QRectF& preferred, QSizeF size) const {
    if (inkIn(preferred) == 0)
        return preferred;
    size = size.boundedTo(QSizeF(_w, _h));
    if (size.isEmpty())
        return preferred;
    constexpr int Step = 2;
    QRectF best = preferred;
    qint64 bestInk = inkIn(preferred);
    double bestDistance = 0;
    const QPointF from = preferred.topLeft();
    for (double y = 0; y + size.height() <= _h; y += Step) {
        for (double x = 0; x + size.width() <= _w; x += Step) {
            const QRectF r(QPointF(x, y), size);
            const qint64 ink = inkIn(r);
            const double distance = std::hypot(x - from.x(), y - from.y());
            if (ink < bestInk || (ink == bestInk && distance < bestDistance)) {
                best = r;
                bestInk = ink;
                bestDistance = distance;
            }
        }
    }
    return best;
}
