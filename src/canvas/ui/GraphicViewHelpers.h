#pragma once

// What the canvas's sources share: item areas, handle points and the key that merges the steps of a drag.

#include "canvas/ItemPainting.h"
#include "canvas/SKTGraphic.h"
#include "canvas/ui/SKTGraphicView.h"

#include <QLatin1String>
#include <QPointF>
#include <QRectF>

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
