// The draw() members of the item kinds. Drawing uses only the painter it is given (any device, any thread)
// and never asks for a repaint.

#include "canvas/ItemPainting.h"

#include "canvas/PaintHelpers.h"
#include "canvas/ResourceImages.h"
#include "canvas/SKTItems.h"
#include "imaging/ImageProcesser.h"
#include "imaging/ProcessedImageCache.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

using namespace PaintHelpers;

namespace {

bool hasArea(const QRectF& r) { return r.width() > 0 && r.height() > 0 && r.isValid(); }

// Fill of shapes and text boxes: solid, gradient or hatch, with alpha_val over the whole fill.
void fillItemPath(QPainter& painter, const QPainterPath& path, const SKTGraphic& g)
{
    const QRectF r = g._bounds.normalized();
    if (g._fill_type == QLatin1String("G")) {
        painter.fillPath(path, angledGradient(r, g._fill_grad_angle, withAlpha(g._fill_Grad_clr1, g.alpha_val),
                                              withAlpha(g._fill_Grad_clr2, g.alpha_val)));
    } else if (g._fill_type == QLatin1String("H")) {
        painter.fillPath(path, withAlpha(g._fill_htch_clr, g.alpha_val));
        painter.save();
        painter.setOpacity(painter.opacity() * std::clamp(double(g.alpha_val), 0.0, 1.0));
        fillWithHatch(painter, path, g._fill_hatch_type, r.topLeft()); // missing picture: background only
        painter.restore();
    } else {
        painter.fillPath(path, withAlpha(g._fillColor, g.alpha_val));
    }
}

void strokeItemPath(QPainter& painter, const QPainterPath& path, const SKTGraphic& g)
{
    if (!g._isDrawingStroke || !(g._strokeWidth > 0))
        return;
    painter.strokePath(path, strokePen(g._strokeColor, g._strokeWidth, g._stroke_border_type, g.alpha_val_stroke));
}

void strokeBounds(QPainter& painter, const SKTGraphic& g)
{
    QPainterPath path;
    path.addRect(g._bounds.normalized());
    strokeItemPath(painter, path, g);
}

// The size to make a picture drawn over rect at (see PaintHelpers::pictureMadeSize).
QSize madeSize(const QPainter& painter, const QRectF& rect, const ItemPicture& picture,
               const ImageAdjustSettings& settings)
{
    return pictureMadeSize(painter, rect, ImageProcesser::processedSize(picture.size(), settings));
}

// Draws picture stretched into rect, mirrored as asked, with the painter's current opacity.
void drawPictureInto(QPainter& painter, const QImage& picture, const QRectF& rect, bool flipH, bool flipV,
                     bool smooth)
{
    if (picture.isNull() || drawPicturePixels(painter, rect, picture, flipH, flipV))
        return;
    painter.save();
    if (flipH || flipV) {
        const QPointF c = rect.center();
        painter.translate(c);
        painter.scale(flipH ? -1 : 1, flipV ? -1 : 1);
        painter.translate(-c);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    QRectF target = rect;
    QRectF source = picture.rect();
    const QTransform& wt = painter.worldTransform();
    const QRectF onDevice = wt.mapRect(rect);
    if (painter.device() && (onDevice.width() > 16384 || onDevice.height() > 16384) && wt.isInvertible()) {
        // Enormous on the device: draw only the part that can be seen.
        const QRectF visible =
            wt.inverted().mapRect(QRectF(0, 0, painter.device()->width(), painter.device()->height()));
        target = rect & visible.adjusted(-1, -1, 1, 1);
        if (target.isEmpty()) {
            painter.restore();
            return;
        }
        const qreal sx = source.width() / rect.width(), sy = source.height() / rect.height();
        source = QRectF((target.left() - rect.left()) * sx, (target.top() - rect.top()) * sy, target.width() * sx,
                        target.height() * sy);
    }
    drawImageInBands(painter, target, picture, source);
    painter.restore();
}

ImageAdjustSettings adjustmentsOf(const SKTGraphic& g)
{
    ImageAdjustSettings s;
    s.grayscale = g.gray_Scale;
    s.sepia = g.Sepia;
    s.invert = g.invert_clr;
    s.hue = g.hue_val;
    s.saturation = g.sat_val;
    s.brightness = g.brt_val;
    s.contrast = g.con_val;
    s.rotation = std::isfinite(g.rotate_image) ? int(std::lround(std::fmod(g.rotate_image, 360.0f))) : 0;
    s.sharpness = g.srp_val;
    s.exposure = g.ev_val;
    s.blur = g.blr_val;
    return s;
}

double pictureOpacity(const SKTGraphic& g)
{
    if (!std::isfinite(g.img_trnsp_val))
        return 1.0;
    return std::clamp(double(g.img_trnsp_val) / 100.0, 0.0, 1.0);
}

// --- text ---

QString capitalizeWords(const QString& text)
{
    QString out = text.toLower();
    bool wordStart = true;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isLetterOrNumber()) {
            if (wordStart && !c.isSurrogate())
                out[i] = c.toUpper();
            wordStart = false;
        } else if (!c.isMark() && !c.isSurrogate()) {
            wordStart = c != QLatin1Char('\'') && c != QChar(0x2019);
        }
    }
    return out;
}

// Lays text out in a box of the given width; returns the height of the laid-out lines.
qreal layoutText(QTextLayout& layout, qreal width)
{
    layout.beginLayout();
    qreal y = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max<qreal>(width, 1));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

struct TextLayoutSpec {
    QString text;
    QFont font;
    QTextOption option;
    int vertical = 0;
};

TextLayoutSpec textSpecOf(const SKTGraphic& g)
{
    TextLayoutSpec spec;
    spec.text = ItemPainting::displayText(g);
    spec.text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    spec.text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    spec.text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    spec.font = g.text_ctrl_font;
    if (std::isfinite(g.text_kerning) && g.text_kerning != 0.0f)
        spec.font.setLetterSpacing(QFont::AbsoluteSpacing, g.text_kerning);
    spec.font.setKerning(true);
    Qt::Alignment align = Qt::AlignLeft;
    switch (g.text_alignmnet) {
    case 1:
        align = Qt::AlignHCenter;
        break;
    case 2:
        align = Qt::AlignRight;
        break;
    case 3:
        align = Qt::AlignJustify;
        break;
    default:
        break;
    }
    spec.option.setAlignment(align);
    spec.option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    spec.vertical = g.text_alignmnet_Vert;
    return spec;
}

// Draws the laid-out text into rect on the painter, in the pen colour.
void drawTextIn(QPainter& painter, const TextLayoutSpec& spec, const QRectF& rect, const QColor& colour)
{
    if (spec.text.isEmpty())
        return;
    QTextLayout layout(spec.text, pointFont(spec.font));
    layout.setTextOption(spec.option);
    layout.setCacheEnabled(true);
    const qreal height = layoutText(layout, rect.width());
    qreal top = rect.top();
    if (spec.vertical == 1)
        top += (rect.height() - height) / 2;
    else if (spec.vertical == 2)
        top += rect.height() - height;
    painter.save();
    painter.setPen(colour);
    layout.draw(&painter, QPointF(rect.left(), top));
    painter.restore();
}

void rotateAboutCentre(QPainter& painter, const QRectF& r, int degrees)
{
    if (degrees % 360 == 0)
        return;
    const QPointF c = r.center();
    painter.translate(c);
    painter.rotate(degrees);
    painter.translate(-c);
}

// Soft shadow of the text: drawn into an offscreen picture at device resolution, blurred, then placed.
void drawTextShadow(QPainter& painter, const SKTGraphic& g, const TextLayoutSpec& spec, const QRectF& r)
{
    const float blur = std::isfinite(g.Shadow_blur) ? std::clamp(g.Shadow_blur, 0.0f, 100.0f) : 0.0f;
    const double opacity = std::isfinite(g.Shadow_transparency)
                               ? std::clamp(double(g.Shadow_transparency), 0.0, 1.0)
                               : 0.5;
    if (opacity <= 0)
        return;
    const QTransform& wt = painter.worldTransform();
    qreal scale = std::sqrt(std::abs(wt.determinant()));
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const qreal margin = std::ceil(blur * 2) + 2;
    const QRectF area = r.adjusted(-margin, -margin, margin, margin);
    // Keep the offscreen picture bounded.
    const qreal maxSide = std::max(area.width(), area.height()) * scale;
    if (maxSide > 4096)
        scale *= 4096 / maxSide;
    const QSize size(int(std::ceil(area.width() * scale)), int(std::ceil(area.height() * scale)));
    if (size.isEmpty())
        return;
    QImage shadow(size, QImage::Format_ARGB32_Premultiplied);
    if (shadow.isNull())
        return;
    shadow.fill(Qt::transparent);
    {
        QPainter sp(&shadow);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setRenderHint(QPainter::TextAntialiasing);
        sp.scale(scale, scale);
        sp.translate(-area.topLeft());
        QColor solid = g.Shadow_Color.isValid() ? g.Shadow_Color : QColor(Qt::black);
        solid.setAlpha(255);
        drawTextIn(sp, spec, r, solid);
    }
    const int radius = int(std::lround(blur * scale / 2));
    if (radius > 0) {
        // two box passes approximate a gaussian of the shadow's blur radius
        ImageProcesser::applyBoxBlur(shadow, radius);
        ImageProcesser::applyBoxBlur(shadow, radius);
    }
    painter.save();
    const float dx = std::isfinite(g.Shadow_offset_X) ? g.Shadow_offset_X : 0.0f;
    const float dy = std::isfinite(g.Shadow_offset_Y) ? g.Shadow_offset_Y : 0.0f;
    painter.translate(dx, dy); // page direction, not turned with the text
    rotateAboutCentre(painter, r, g.text_rotation);
    const double colourAlpha = g.Shadow_Color.isValid() ? g.Shadow_Color.alphaF() : 1.0;
    painter.setOpacity(painter.opacity() * opacity * colourAlpha);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, shadow);
    painter.restore();
}

} // namespace

// ---------------------------------------------------------------------------------------------------------

QString ItemPainting::displayText(const SKTGraphic& g)
{
    QString text = g._Text_contents;
    if (text.size() > SKTText::MaxTextLength) {
        qsizetype n = SKTText::MaxTextLength;
        if (text.at(n - 1).isHighSurrogate())
            --n;
        text.truncate(n);
    }
    switch (g.text_transfrom_case) {
    case 1:
        return text.toUpper();
    case 2:
        return text.toLower();
    case 3:
        return capitalizeWords(text);
    default:
        return text;
    }
}

QSizeF ItemPainting::naturalTextSize(const SKTGraphic& g, qreal maxWidth)
{
    TextLayoutSpec spec = textSpecOf(g);
    if (spec.text.isEmpty())
        return QSizeF();
    QTextLayout layout(spec.text, pointFont(spec.font));
    QTextOption option = spec.option;
    if (maxWidth <= 0)
        option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    const qreal height = layoutText(layout, maxWidth > 0 ? maxWidth : 1e6);
    qreal width = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        width = std::max(width, layout.lineAt(i).naturalTextWidth());
    return QSizeF(std::ceil(width) + 1, std::ceil(height));
}

QPainterPath ItemPainting::shapePath(const SKTGraphic& g)
{
    return shapeOutline(g._shape_type, g._bounds, g.cor_rad_val, g.double_star_type, g.polygon_type);
}

QLineF ItemPainting::linePoints(const SKTGraphic& g)
{
    const QRectF r = g._bounds.normalized();
    switch (g._line_ori) {
    case 1: // vertical through the middle
        return QLineF(r.center().x(), r.top(), r.center().x(), r.bottom());
    case 2: // diagonal down: top left to bottom right
        return QLineF(r.topLeft(), r.bottomRight());
    case 3: // diagonal up: bottom left to top right
        return QLineF(r.bottomLeft(), r.topRight());
    default: // horizontal through the middle
        return QLineF(r.left(), r.center().y(), r.right(), r.center().y());
    }
}

QRectF ItemPainting::paintedBounds(const SKTGraphic& g)
{
    const QRectF r = g._bounds.normalized();
    const bool line = g.kind() == GraphicKind::Line;
    const bool stroked = (line || (g._isDrawingStroke && g.kind() != GraphicKind::Barcode)) && g._strokeWidth > 0;
    const qreal w = stroked ? g._strokeWidth : 0;
    if (line) {
        const QLineF l = linePoints(g);
        const qreal pad = w / 2 * M_SQRT2 + 1; // square caps on a diagonal
        return QRectF(l.p1(), l.p2()).normalized().adjusted(-pad, -pad, pad, pad);
    }
    if (g.kind() == GraphicKind::Shape) {
        const qreal pad = 2 * w + 1; // miters reach up to twice the pen width (miter limit 2)
        return r.adjusted(-pad, -pad, pad, pad);
    }
    const qreal pad = w / 2 + 1;
    QRectF area = r.adjusted(-pad, -pad, pad, pad);
    if (g.kind() == GraphicKind::Barcode)
        return area | barcodeRect(g).adjusted(-1, -1, 1, 1);
    if (g.kind() != GraphicKind::Text)
        return area;
    QTransform turn;
    if (g.text_rotation % 360 != 0)
        turn.translate(r.center().x(), r.center().y()).rotate(g.text_rotation).translate(-r.center().x(), -r.center().y());
    area = turn.mapRect(area);
    if (g.Drawing_Shadow) {
        const qreal blur = std::isfinite(g.Shadow_blur) ? std::clamp(g.Shadow_blur, 0.0f, 100.0f) : 0.0f;
        const qreal m = std::ceil(blur * 2) + 2;
        const qreal dx = std::isfinite(g.Shadow_offset_X) ? g.Shadow_offset_X : 0.0;
        const qreal dy = std::isfinite(g.Shadow_offset_Y) ? g.Shadow_offset_Y : 0.0;
        area |= turn.mapRect(r.adjusted(-m, -m, m, m)).translated(dx, dy);
    }
    return area;
}

// ---------------------------------------------------------------------------------------------------------

void Shape_Control::draw(QPainter& painter) const
{
    if (!ctrl_is_visible || !hasArea(_bounds.normalized()))
        return;
    const QPainterPath path = ItemPainting::shapePath(*this);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (_isDrawingFill)
        fillItemPath(painter, path, *this);
    strokeItemPath(painter, path, *this);
    painter.restore();
}

void SKTLine::draw(QPainter& painter) const
{
    if (!ctrl_is_visible || !(_strokeWidth > 0))
        return;
    const QLineF line = ItemPainting::linePoints(*this);
    if (line.isNull())
        return;
    Qt::PenCapStyle cap = Qt::FlatCap;
    if (_line_cap_style == 1)
        cap = Qt::RoundCap;
    else if (_line_cap_style == 2)
        cap = Qt::SquareCap;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(strokePen(_strokeColor, _strokeWidth, _stroke_border_type, alpha_val_stroke, cap));
    painter.drawLine(line);
    painter.restore();
}

void SKTText::draw(QPainter& painter) const
{
    const QRectF r = _bounds.normalized();
    if (!ctrl_is_visible || !hasArea(r))
        return;
    const TextLayoutSpec spec = textSpecOf(*this);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    painter.save();
    rotateAboutCentre(painter, r, text_rotation);
    QPainterPath box;
    box.addRect(r);
    if (_isDrawingFill)
        fillItemPath(painter, box, *this);
    strokeItemPath(painter, box, *this);
    painter.restore();

    if (Drawing_Shadow && !spec.text.isEmpty())
        drawTextShadow(painter, *this, spec, r);

    rotateAboutCentre(painter, r, text_rotation);
    painter.setClipRect(r, Qt::IntersectClip);
    drawTextIn(painter, spec, r, txt_clr.isValid() ? txt_clr : QColor(Qt::black));
    painter.restore();
}

void SKTImage::draw(QPainter& painter) const
{
    const QRectF r = _bounds.normalized();
    if (!ctrl_is_visible || !hasArea(r))
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * pictureOpacity(*this));
    // Null while the canvas has the picture made on a worker and none made before (then it repaints).
    const ImageAdjustSettings settings = adjustmentsOf(*this);
    const QImage picture = _image.isNull() ? QImage()
                                           : ProcessedImageCache::processed(_image, settings,
                                                                            madeSize(painter, r, _image, settings));
    if (!picture.isNull() || (!_image.isNull() && _image.drawError().isEmpty())) {
        drawPictureInto(painter, picture, r, _isFlippedHorizontally, _isFlippedVertically, true);
    } else {
        _image.requestReport();
        drawPictureInto(painter, ResourceImages::placeholder(QStringLiteral("no.png")), r, false, false, true);
    }
    painter.restore();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    strokeBounds(painter, *this);
    painter.restore();
}

void SKTSignature::draw(QPainter& painter) const
{
    const QRectF r = _bounds.normalized();
    if (!ctrl_is_visible || !hasArea(r))
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * pictureOpacity(*this));
    const QImage picture =
        _image.isNull() ? QImage() : ProcessedImageCache::processed(_image, ImageAdjustSettings(),
                                                        madeSize(painter, r, _image, ImageAdjustSettings()));
    if (!picture.isNull() || (!_image.isNull() && _image.drawError().isEmpty())) {
        drawPictureInto(painter, picture, r, _isFlippedHorizontally, _isFlippedVertically, true);
    } else if (!_image.isNull()) {
        _image.requestReport();
        drawPictureInto(painter, ResourceImages::placeholder(QStringLiteral("no.png")), r, false, false, true);
    } else {
        const QString name = sign_or_fingureprint == QLatin1String("F") ? QStringLiteral("fingerprints.png")
                                                                         : QStringLiteral("sign_sample.png");
        drawPictureInto(painter, ResourceImages::placeholder(name), r, false, false, true);
    }
    painter.restore();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    strokeBounds(painter, *this);
    painter.restore();
}

namespace {
SKTBarcode::SymbolServices g_symbolServices;
} // namespace

void SKTBarcode::setSymbolServices(const SymbolServices& services)
{
    g_symbolServices = services;
}

SKTBarcode::SymbolServices SKTBarcode::symbolServices()
{
    return g_symbolServices;
}

QRectF ItemPainting::barcodeRect(const SKTGraphic& g)
{
    const QRectF r = g._bounds.normalized();
    if (!hasArea(r))
        return r;
    if (g.linear_or_2d != 0) {
        const QImage& picture = g._barcode_image;
        if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
            return r;
        const QSizeF fitted = QSizeF(picture.size()).scaled(r.size(), Qt::KeepAspectRatio);
        return QRectF(r.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
    }
    const auto naturalSize = SKTBarcode::symbolServices().naturalSize;
    const QSizeF natural = naturalSize ? naturalSize(g) : QSizeF();
    if (!(natural.width() > r.width()))
        return r;
    return QRectF(r.center().x() - natural.width() / 2, r.top(), natural.width(), r.height());
}

void SKTBarcode::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    const QSizeF size = g_symbolServices.naturalSize ? g_symbolServices.naturalSize(*this) : QSizeF();
    if (size.width() > 0 && size.height() > 0)
        _bounds = QRectF(_bounds.normalized().topLeft(), size);
    else
        SKTGraphic::makeNaturalSize();
}

void SKTBarcode::draw(QPainter& painter) const
{
    const QRectF r = _bounds.normalized();
    if (!ctrl_is_visible || !hasArea(r))
        return;
    if (g_symbolServices.draw) {
        painter.save();
        const bool drawn = g_symbolServices.draw(painter, *this);
        painter.restore();
        if (drawn)
            return;
    }
    // Bars stay crisp: no smoothing when the barcode is scaled.
    if (!_barcode_image.isNull())
        drawPictureInto(painter, _barcode_image, ItemPainting::barcodeRect(*this), false, false, false);
    else if (!_barcode_shows_value) // a data value without a barcode leaves the place empty, never a sample
        drawPictureInto(painter, ResourceImages::placeholder(QStringLiteral("barcode_sample.png")), r, false, false,
                        false);
}
