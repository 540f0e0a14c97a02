#include "canvas/SKTGraphic.h"

#include "canvas/ItemPainting.h"

void SKTGraphic::setBounds(const QRectF& rect) { _bounds = rect.normalized(); }

void SKTGraphic::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    const qreal side = qMin(_bounds.width(), _bounds.height());
    if (side > 0)
        _bounds.setSize(QSizeF(side, side));
}

QRectF SKTGraphic::drawingBounds() const
{
    // What the kind's drawing can touch: stroke, miters, line caps, text rotation and shadow.
    return ItemPainting::paintedBounds(*this);
}
