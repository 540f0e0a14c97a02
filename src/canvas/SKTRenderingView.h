#pragma once

#include "canvas/SKTGraphic.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

class QPainter;
struct Card_Property;

// The one renderer of a card side, shared by the canvas, image export, printing and PDF.
// QImage and QPainter only: safe on a worker thread as long as the items are not changed meanwhile.
class SKTRenderingView {
public:
    // Card base first, then the items from the last index to the first, then the card's border. Invisible
    // items are left out, and with printedOnly also items whose print_object is not 0. passRect (the area
    // being repainted) only clips the card base; an invalid passRect means the whole card.
    static void paintCardSide(QPainter& painter, const GraphicList& items, const Card_Property& prop,
                              int cardShape, const QRectF& cardRect, const QRectF& passRect, bool printedOnly);

    // The side as a Format_ARGB32_Premultiplied picture of cardSize points times scale pixels, at 72 dpi times
    // scale (so fonts in points map 1:1 at scale 1); outside a rounded or oval card it is transparent. Items
    // whose print_object is not 0 are left out. printBox asks for the rendering used for printing, which is
    // the same picture. An empty or absurd size (more than 30000 pixels a side) is logged and gives a null image.
    static QImage image_From_Card_Graphics(const GraphicList& items, bool printBox, const Card_Property& prop,
                                           int cardShape, QSizeF cardSize, qreal scale = 1.0);

    static constexpr int MaxImageSide = 30000;
};
