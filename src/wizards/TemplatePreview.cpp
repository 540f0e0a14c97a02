#include "wizards/TemplatePreview.h"

#include "canvas/SKTRenderingView.h"

#include <QPainter>

int cardShapeNumber(const QString& shapeCode) {
    if (shapeCode == QStringLiteral("RR"))
        return 1;
    if (shapeCode == QStringLiteral("E"))
        return 2;
    return 0;
}

QImage templatePreview(const GraphicList& front, const Card_Property& frontProp, const GraphicList& back,
                       const Card_Property& backProp, int cardShape) {
    // Both sides have the card's size: the back record's size may be stale, the front one is the card's.
    const QSizeF size = frontProp.Card_Size;
    const QImage f = SKTRenderingView::image_From_Card_Graphics(front, false, frontProp, cardShape, size);
    const QImage b = SKTRenderingView::image_From_Card_Graphics(back, false, backProp, cardShape, size);
    if (f.isNull() || b.isNull())
        return {};
    QImage out(qMax(f.width(), b.width()), f.height() + b.height(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(0, 0, f);
    p.drawImage(0, f.height(), b);
    p.end();
    return out;
}
