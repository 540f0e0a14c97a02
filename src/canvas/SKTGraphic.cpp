#include "canvas/SKTGraphic.h"

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
    const qreal pad = _isDrawingStroke ? _strokeWidth / 2 + 1 : 1;
    return _bounds.adjusted(-pad, -pad, pad, pad);
}
