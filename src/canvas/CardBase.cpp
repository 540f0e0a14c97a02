#include "canvas/CardBase.h"

#include "canvas/Card_Property.h"
#include "canvas/PaintHelpers.h"
#include "common/Prompt.h"
#include "imaging/ProcessedImageCache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

QRectF layoutRect(const QString& layout, const QSizeF& picture, const QRectF& card)
{
    if (layout.compare(CardImageLayout::Center, Qt::CaseInsensitive) == 0 ||
        layout.compare(QLatin1String("Centre"), Qt::CaseInsensitive) == 0) {
        QRectF r(QPointF(), picture);
        r.moveCenter(card.center());
        return r;
    }
    const bool fit = layout.compare(CardImageLayout::Fit, Qt::CaseInsensitive) == 0;
    const bool fill = layout.compare(CardImageLayout::Fill, Qt::CaseInsensitive) == 0;
    if ((fit || fill) && picture.width() > 0 && picture.height() > 0) {
        const QSizeF s = picture.scaled(card.size(), fit ? Qt::KeepAspectRatio : Qt::KeepAspectRatioByExpanding);
        QRectF r(QPointF(), s);
        r.moveCenter(card.center());
        return r;
    }
    return card;
}

void paintBackgroundPicture(QPainter& painter, const Card_Property& prop, const QPainterPath& outline,
                            const QRectF& card)
{
    const ItemPicture& picture = prop.Card_BG_Image;
    if (picture.isNull())
        return;
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (prop.Card_BG_Image_Layout.compare(CardImageLayout::Tile, Qt::CaseInsensitive) == 0) {
        // tiles are the picture at its own size, a pixel a point
        const QImage tile = ProcessedImageCache::processed(picture, ImageAdjustSettings());
        if (tile.isNull()) {
            painter.restore();
            return;
        }
        QBrush brush(tile);
        brush.setTransform(QTransform::fromTranslate(card.left(), card.top()));
        painter.fillPath(outline, brush);
    } else {
        const QRectF target = layoutRect(prop.Card_BG_Image_Layout, picture.size(), card);
        // made once at the size it covers, not scaled on every repaint
        const QImage shown = ProcessedImageCache::processed(picture, ImageAdjustSettings(),
                                                            PaintHelpers::pictureMadeSize(painter, target, picture.size()));
        if (!PaintHelpers::drawPicturePixels(painter, target, shown))
            PaintHelpers::drawImageInBands(painter, target, shown, QRectF(shown.rect()));
    }
    painter.restore();
}

} // namespace

QPainterPath cardOutline(int cardShape, const QRectF& cardRect)
{
    QPainterPath outline;
    const QRectF r = cardRect.normalized();
    if (cardShape == 1) {
        const qreal radius = std::min<qreal>(10.0, std::min(r.width(), r.height()) / 2);
        outline.addRoundedRect(r, radius, radius);
    } else if (cardShape == 2) {
        outline.addEllipse(r);
    } else {
        outline.addRect(r);
    }
    return outline;
}

void Card_Base_Drawing(QPainter& painter, const Card_Property& prop, int cardShape, const QRectF& cardRect,
                       const QRectF& passRect)
{
    painter.save();
    try {
        if (passRect.isValid())
            painter.setClipRect(passRect, Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF card = cardRect.normalized();
        const QPainterPath outline = cardOutline(cardShape, card);
        painter.fillPath(outline, Qt::white);
        if (prop.Card_fill_chk != 0) {
            const QString& style = prop.Card_fill_style;
            if (style == QLatin1String("G")) {
                painter.fillPath(outline, PaintHelpers::angledGradient(card, prop.Card_grad_Stepper,
                                                                       prop.Card_fill_Grd_1_clr,
                                                                       prop.Card_fill_Grd_2_clr));
            } else if (style == QLatin1String("H")) {
                painter.fillPath(outline, prop.Card_hatch_bk_clr);
                if (!PaintHelpers::fillWithHatch(painter, outline, prop.Card_hatch_style, card.topLeft()))
                    Show_NSLog_Message(QStringLiteral("Hatch picture \"%1\" could not be loaded.")
                                           .arg(prop.Card_hatch_style));
            } else if (style == QLatin1String("I")) {
                paintBackgroundPicture(painter, prop, outline, card);
            } else {
                painter.fillPath(outline, prop.Card_fill_clr);
            }
        }
    } catch (const std::exception& e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    painter.restore();
}

void Card_Border_Drawing(QPainter& painter, const Card_Property& prop, int cardShape, const QRectF& cardRect)
{
    const QRectF card = cardRect.normalized();
    const qreal width = std::min<qreal>(prop.Card_bor_Stepper, std::min(card.width(), card.height()) / 2);
    if (prop.Card_border_chk != 1 || !(width > 0) || !prop.Card_bordr_clr.isValid())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(PaintHelpers::strokePen(prop.Card_bordr_clr, width, prop.Card_border_style, 1.0f));
    const qreal half = width / 2;
    painter.drawPath(cardOutline(cardShape, card.adjusted(half, half, -half, -half)));
    painter.restore();
}
