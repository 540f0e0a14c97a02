#pragma once

#include <QLineF>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QString>

class SKTGraphic;

// Geometry the item kinds draw with, for hit tests, natural sizes and repaint areas.
class ItemPainting {
public:
    // The text as drawn: the first 250 characters with the case transform applied
    // (0 as typed, 1 upper, 2 lower, 3 capitalised words).
    static QString displayText(const SKTGraphic& item);
    // Size of the item's text laid out as drawn (1 pt = 1 unit), unwrapped when maxWidth <= 0.
    static QSizeF naturalTextSize(const SKTGraphic& item, qreal maxWidth = 0);
    // Outline of a shape item (see PaintHelpers::shapeOutline for the shape codes).
    static QPainterPath shapePath(const SKTGraphic& item);
    // A line item's line: _line_ori 0 horizontal through the middle, 1 vertical through the middle,
    // 2 diagonal down (top left to bottom right), 3 diagonal up (bottom left to top right).
    static QLineF linePoints(const SKTGraphic& item);
    // The area the item's drawing can touch: stroke, line caps, miters, text rotation and shadow included.
    static QRectF paintedBounds(const SKTGraphic& item);
    // Where a barcode item's picture lands, as outputs draw it: a linear barcode is never narrower than its
    // symbol's natural width (centred on the frame when the frame is narrower); a 2-D picture keeps its
    // proportions, centred in the frame. The frame itself when no symbol size is known.
    static QRectF barcodeRect(const SKTGraphic& item);
};
