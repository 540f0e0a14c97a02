#pragma once

// What the canvas's sources share: item areas, handle points and the key that merges the steps of a drag.

#include "canvas/ItemPainting.h"
#include "canvas/SKTGraphic.h"
#include "canvas/ui/SKTGraphicView.h"

#include <QLatin1String>
#include <QPointF>
#include <QRectF>

#include <algorithm>

namespace graphicview {

// Same key for the steps of one drag or one run of arrow keys; a new one for each.
inline int nextMergeKey = 1;

// Everything an item's drawing can touch: stroke, miters, rotated text and shadow included.
inline QRectF paintedArea(const SKTGraphic& g) {
    return ItemPainting::paintedBounds(g).united(g.drawingBounds()).united(g.bounds());
}

inline bool isTextOrPicture(const GraphicPtr& g) {
    return g->kind() == GraphicKind::Text || g->kind() == GraphicKind::Image;
}

inline bool isCardFrame(const GraphicPtr& g) {
    return g && g->control_ID == QLatin1String("PARTY_IMAGE_BG") && g->kind() == GraphicKind::Image;
}

// Where an item of the given size placed at a point lies: inside the card, moved back from its edges and,
// larger than the card, made smaller (keeping its proportions when asked).
inline QRectF placedInsideCard(QPointF at, QSizeF size, QSizeF card, bool keepProportions) {
    if (card.isEmpty())
        return QRectF(at, size);
    if (size.width() > card.width() || size.height() > card.height())
        size = keepProportions ? size.scaled(size.boundedTo(card), Qt::KeepAspectRatio) : size.boundedTo(card);
    return QRectF(QPointF(std::clamp(at.x(), 0.0, card.width() - size.width()),
                          std::clamp(at.y(), 0.0, card.height() - size.height())),
                  size);
}

inline QPointF handlePoint(const QRectF& r, int h) {
    switch (h) {
    case SKTGraphicView::TopLeft:
        return r.topLeft();
    case SKTGraphicView::Top:
        return QPointF(r.center().x(), r.top());
    case SKTGraphicView::TopRight:
        return r.topRight();
    case SKTGraphicView::Right:
        return QPointF(r.right(), r.center().y());
    case SKTGraphicView::BottomRight:
        return r.bottomRight();
    case SKTGraphicView::Bottom:
        return QPointF(r.center().x(), r.bottom());
    case SKTGraphicView::BottomLeft:
        return r.bottomLeft();
    default:
        return QPointF(r.left(), r.center().y());
    }
}

} // namespace graphicview
