#include "profile/ProfilePlacement.h"

#include "canvas/ItemPainting.h"
#include "canvas/SKTItems.h"
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
    _ink = QImage(std::max(_w, 1), std::max(_h, 1), QImage::Format_ARGB32_Premultiplied);
    _ink.fill(Qt::transparent);
    {
        QPainter painter(&_ink);
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
    sum();
}

void TextInkMap::cover(const QRectF& r) {
    QPainter painter(&_ink);
    painter.fillRect(r, Qt::black);
    painter.end();
    sum();
}

void TextInkMap::sum() {
    _sum.assign(size_t(_w + 1) * size_t(_h + 1), 0);
    for (int y = 0; y < _h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(_ink.constScanLine(y));
        qint64 row = 0;
        for (int x = 0; x < _w; ++x) {
            row += qAlpha(line[x]) > 24 ? 1 : 0;
            _sum[size_t(y + 1) * size_t(_w + 1) + size_t(x + 1)] =
                _sum[size_t(y) * size_t(_w + 1) + size_t(x + 1)] + row;
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

qint64 TextInkMap::inkNear(const QRectF& r, double margin) const {
    return inkIn(r.adjusted(-margin, -margin, margin, margin));
}

QRectF TextInkMap::clearPlace(const QRectF& preferred, QSizeF size, double margin) const {
    if (inkNear(preferred, margin) == 0)
        return preferred;
    size = size.boundedTo(QSizeF(_w, _h));
    if (size.isEmpty())
        return preferred;
    constexpr int Step = 2;
    QRectF best = preferred;
    qint64 bestInk = inkNear(preferred, margin);
    double bestDistance = 0;
    const QPointF from = preferred.topLeft();
    for (double y = 0; y + size.height() <= _h; y += Step) {
        for (double x = 0; x + size.width() <= _w; x += Step) {
            const QRectF r(QPointF(x, y), size);
            const qint64 ink = inkNear(r, margin);
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

namespace {

// A text's box at the given font: its natural size, wrapped to the card's width when wider.
QSizeF textBox(const QString& value, const QFont& font, double cardWidth, double leastHeight) {
    GraphicPtr probe = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    probe->text_ctrl_font = font;
    static_cast<SKTText&>(*probe).setText(value);
    const QSizeF natural = ItemPainting::naturalTextSize(*probe);
    const double width = std::min(natural.width() + 4, cardWidth);
    const double height = width < natural.width() + 4 ? ItemPainting::naturalTextSize(*probe, width).height()
                                                      : natural.height();
    return QSizeF(width, std::max(leastHeight, height + 2));
}

} // namespace

QHash<QString, ProfilePlace> placeNewProfileItems(TextInkMap ink, const QList<NewProfileItem>& items,
                                                  const QFont& font) {
    QHash<QString, ProfilePlace> out;
    bool allClear = true;
    for (const NewProfileItem& n : items)
        allClear = allClear && ink.inkIn(n.preferred) == 0;
    if (allClear) {
        for (const NewProfileItem& n : items)
            out.insert(n.id, {n.preferred, 0});
        return out;
    }
    constexpr double Margin = 8, Gap = 2, SmallestPoints = 8;
    QList<const NewProfileItem*> texts;
    for (const NewProfileItem& n : items)
        if (n.text)
            texts << &n;
    const double cardWidth = ink.cardSize().width();
    if (!texts.isEmpty()) {
        const double base = font.pointSizeF() > 0 ? font.pointSizeF() : 12;
        bool placed = false;
        for (double points = base; !placed && points >= std::min(base, SmallestPoints); points *= 0.85) {
            QFont f = font;
            f.setPointSizeF(points);
            QList<QSizeF> sizes;
            QSizeF block(0, -Gap);
            for (const NewProfileItem* n : texts) {
                const QSizeF s = textBox(n->value, f, cardWidth, points == base ? n->preferred.height() : 0);
                sizes << s;
                block = QSizeF(std::max(block.width(), s.width()), block.height() + Gap + s.height());
            }
            const QRectF spot =
                ink.clearPlace(QRectF(texts.first()->preferred.topLeft(), block), block, Margin);
            if (ink.inkNear(spot, Margin) != 0 || spot.size() != block)
                continue;
            double y = spot.top();
            for (qsizetype i = 0; i < texts.size(); ++i) {
                out.insert(texts[i]->id,
                           {QRectF(QPointF(spot.left(), y), sizes[i]), points == base ? 0 : points});
                y += sizes[i].height() + Gap;
            }
            ink.cover(spot);
            placed = true;
        }
        for (qsizetype i = 0; !placed && i < texts.size(); ++i) {
            const QSizeF s = textBox(texts[i]->value, font, cardWidth, texts[i]->preferred.height());
            QRectF r = ink.clearPlace(texts[i]->preferred, s, Margin);
            if (ink.inkNear(r, Margin) != 0)
                r = ink.clearPlace(texts[i]->preferred, s);
            out.insert(texts[i]->id, {r, 0});
            ink.cover(r);
        }
    }
    for (const NewProfileItem& n : items) {
        if (n.text)
            continue;
        QRectF r = ink.clearPlace(n.preferred, n.preferred.size(), Margin);
        if (ink.inkNear(r, Margin) != 0)
            r = ink.clearPlace(n.preferred, n.preferred.size());
        out.insert(n.id, {r, 0});
        ink.cover(r);
    }
    return out;
}
