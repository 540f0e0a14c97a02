#include "canvas/SKTRenderingView.h"

#include "canvas/CardBase.h"
#include "canvas/Card_Property.h"
#include "common/Prompt.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

void SKTRenderingView::paintCardSide(QPainter& painter, const GraphicList& items, const Card_Property& prop,
                                     int cardShape, const QRectF& cardRect, const QRectF& passRect,
                                     bool printedOnly)
{
    Card_Base_Drawing(painter, prop, cardShape, cardRect, passRect.isValid() ? passRect : cardRect);
    // Items are cut at the card's edge, on the canvas as on every output.
    painter.save();
    if (cardShape == 0)
        painter.setClipRect(cardRect.normalized(), Qt::IntersectClip);
    else
        painter.setClipPath(cardOutline(cardShape, cardRect), Qt::IntersectClip);
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        const GraphicPtr& item = items.at(i);
        if (!item || !item->ctrl_is_visible || (printedOnly && item->print_object != 0))
            continue;
        painter.save();
        try {
            item->draw(painter);
        } catch (const std::exception& e) {
            Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
        painter.restore();
    }
    painter.restore();
    Card_Border_Drawing(painter, prop, cardShape, cardRect);
}

QImage SKTRenderingView::image_From_Card_Graphics(const GraphicList& items, bool printBox,
                                                  const Card_Property& prop, int cardShape, QSizeF cardSize,
                                                  qreal scale)
{
    Q_UNUSED(printBox) // printing and export use the same picture
    if (!(scale > 0) || !std::isfinite(scale) || !(cardSize.width() > 0) || !(cardSize.height() > 0) ||
        cardSize.width() * scale > MaxImageSide || cardSize.height() * scale > MaxImageSide) {
        Show_NSLog_Message(QStringLiteral("Card picture of %1 x %2 points at scale %3 cannot be made.")
                               .arg(cardSize.width())
                               .arg(cardSize.height())
                               .arg(scale));
        return QImage();
    }
    // Whole pixels, and the card stretched by less than a pixel onto them, so that the picture covers the
    // card to its last column and row (a partly covered last column would be a translucent hairline).
    const QSize pixels(std::max(1, int(std::ceil(cardSize.width() * scale - 1e-6))),
                       std::max(1, int(std::ceil(cardSize.height() * scale - 1e-6))));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Not enough memory for a card picture of %1 x %2 pixels.")
                               .arg(pixels.width())
                               .arg(pixels.height()));
        return image;
    }
    const int dotsPerMeter = int(std::lround(72.0 / 0.0254 * scale)); // 72 dpi at scale 1
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(pixels.width() / cardSize.width(), pixels.height() / cardSize.height());
    const QRectF card(QPointF(0, 0), cardSize);
    paintCardSide(painter, items, prop, cardShape, card, card, true);
    painter.end();
    return image;
}
