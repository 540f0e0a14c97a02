#include "barcode/BarcodeRenderer.h"

#include "barcode/BarcodeText.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace BarcodeRenderer {

namespace {

Qt::Alignment alignmentFor(int index) {
    const QStringList& titles = alignmentTitles();
    const QString title = index >= 0 && index < titles.size() ? titles.at(index) : QString();
    if (title == QLatin1String("Center"))
        return Qt::AlignHCenter;
    if (title == QLatin1String("Right"))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

// Draws text whose line box has its lower-left corner at (x, yUp) in upward coordinates of a drawing
// `viewH` high, laid out within `boxWidth` with the alignment; `kern` points are added between
// characters. Spacing is applied here, character by character, because a font's own letter spacing is
// lost on devices whose resolution differs from the screen's (images at 72 dpi, PDF, printers). A text
// reaching past `clip` (points of the drawing; null: none) is cut at its edges.
template <typename Sink>
void drawTextBox(Sink& p, const QFont& font, const QColor& color, const QString& text, qreal kern,
                 qreal x, qreal yUp, qreal boxWidth, qreal viewH, Qt::Alignment align, const QRectF& clip) {
    if (text.isEmpty())
        return;
    const qreal th = BarcodeText::lineHeight(font);
    const qreal top = viewH - yUp - th;
    const bool placed = align & (Qt::AlignHCenter | Qt::AlignRight);
    const qreal total = placed || !clip.isNull() ? BarcodeText::spacedWidth(font, text, kern) : 0;
    qreal cx = x;
    if (placed)
        cx = (align & Qt::AlignHCenter) ? x + (boxWidth - total) / 2 : x + boxWidth - total;
    const bool cut = !clip.isNull() && (cx < clip.left() - 0.01 || cx + total > clip.right() + 0.01 ||
                                        top < clip.top() - 0.01 || top + th > clip.bottom() + 0.01);
    p.text(font, color, text, kern, cx, top + BarcodeText::ascent(font), cut ? clip : QRectF());
}

// A header or footer of the style's font set smaller where it is wider than `room` points, down to
// 5 points, as the value text is (NKDBarcode::fitCaption); the kern between its letters shrinks with it.
struct FittedLine {
    QFont font;
    qreal kern = BarcodeText::kLineKern;
};
FittedLine fitLine(const QFont& font, const QString& text, qreal room) {
    FittedLine line{font};
    const BarcodeText::FittedSize fitted = BarcodeText::fitToWidth(font, text, line.kern, room);
    if (fitted.points != font.pointSizeF()) {
        line.kern = line.kern * fitted.points / font.pointSizeF();
        line.font.setPointSizeF(fitted.points);
    }
    return line;
}

// Positions in points moved to the nearest whole pixel of a drawing `scale` pixels per point.
struct PixelSnap {
    qreal scale;
    qreal inverse = scale > 0 ? 1 / scale : 0;
    qreal operator()(qreal v) const {
        if (!(scale > 0))
            return v;
        const qreal px = v * scale;
        // std::round without the library call, for the sizes a drawing can have.
        const qreal whole = std::abs(px) < 1e15 ? qreal(qint64(px + (px < 0 ? -0.5 : 0.5))) : std::round(px);
        return whole * inverse;
    }
};

qreal snap(qreal v, qreal scale) {
    return PixelSnap{scale}(v);
}

// Drawing onto a painter whose user units are points.
struct PainterSink {
    QPainter& p;
    void background(const QRectF& r, const QColor& c) { p.fillRect(r, c); }
    void bar(const QRectF& r, const QColor& c) { p.fillRect(r, c); }
    void beginTexts() {
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setRenderHint(QPainter::Antialiasing, true);
    }
    void text(const QFont& font, const QColor& color, const QString& text, qreal kern, qreal x, qreal baseline,
              const QRectF& clip) {
        if (clip.isNull()) {
            BarcodeText::drawText(p, font, color, text, kern, x, baseline);
            return;
        }
        p.save();
        QRectF r = clip;
        const QTransform t = p.combinedTransform();
        if (p.device() && p.device()->devType() == QInternal::Image && t.type() <= QTransform::TxScale) {
            // Whole pixels, where the glyph bitmaps are placed.
            const QRectF d = t.mapRect(clip);
            r = t.inverted().mapRect(QRectF(QPointF(std::round(d.left()), std::round(d.top())),
                                            QPointF(std::round(d.right()), std::round(d.bottom()))));
        }
        p.setClipRect(r, Qt::IntersectClip);
        BarcodeText::drawText(p, font, color, text, kern, x, baseline);
        p.restore();
    }
    void picture(const QRectF& r, const QImage& picture) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(r, picture);
    }
};

// Drawing straight into the scanlines of an image, `scale` pixels per point, to the pixels PainterSink gives
// there when background and bars are opaque. Bars lie on whole pixels, so they are gathered first; then
// every row is written once: rows crossed by the same bars are the same, so each band of such rows is
// built once and copied. Pixels are premultiplied colours (uint) or, when bars and texts share one colour,
// 8-bit ink coverage (uchar) that the image's colour table turns into colours.
template <typename Pixel>
struct RasterSink {
    QImage& image; // uninitialised; every row is written by writeRows()
    qreal scale;
    Pixel backgroundPixel;
    Pixel barPixel = 0;
    std::vector<QRect> bars = {};
    std::vector<QRect> inked = {}; // where texts go: the bars' bounds and the texts drawn so far
    bool written = false;

    void background(const QRectF&, const QColor&) {}
    void bar(const QRectF& r, const QColor& c) {
        if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || !std::isfinite(r.right()) ||
            !std::isfinite(r.bottom()))
            return;
        const int left = std::max(0, qRound(r.left() * scale));
        const int top = std::max(0, qRound(r.top() * scale));
        const int right = std::min(image.width(), qRound(r.right() * scale));
        const int bottom = std::min(image.height(), qRound(r.bottom() * scale));
        if (left >= right || top >= bottom)
            return;
        const QRect px(left, top, right - left, bottom - top);
        if (bars.empty())
            bars.reserve(64);
        if constexpr (sizeof(Pixel) == 1)
            barPixel = 255;
        else
            barPixel = c.rgba();
        bars.push_back(px);
    }
    void writeRows() {
        if (written)
            return;
        written = true;
        const qsizetype bpl = image.bytesPerLine();
        uchar* bits = image.bits();
        // Whole lines with their padding, so a band of equal rows is one block.
        std::vector<Pixel> plain(std::size_t(bpl) / sizeof(Pixel), backgroundPixel);
        std::vector<Pixel> band(plain.size());
        // The rows where a band starts or ends, marked in a bit set and read back in order.
        std::vector<quint64> marks(std::size_t(image.height()) / 64 + 1);
        const auto mark = [&marks](int y) { marks[std::size_t(y) >> 6] |= quint64(1) << (y & 63); };
        mark(0);
        mark(image.height());
        for (const QRect& r : bars) {
            mark(r.top());
            mark(r.bottom() + 1);
        }
        std::vector<int> edges;
        for (std::size_t i = 0; i < marks.size(); ++i)
            for (quint64 m = marks[i]; m; m &= m - 1)
                edges.push_back(int(i * 64) + std::countr_zero(m));
        for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
            const int y0 = edges[k];
            const int y1 = edges[k + 1];
            const Pixel* row = plain.data();
            bool crossed = false;
            for (const QRect& r : bars) {
                if (r.top() > y0 || r.bottom() < y1 - 1)
                    continue;
                if (!crossed) {
                    band = plain;
                    crossed = true;
                }
                Pixel* run = band.data() + r.left();
                for (int x = 0; x < r.width(); ++x) // bars are narrow: no library call
                    run[x] = barPixel;
            }
            uchar* first = bits + y0 * bpl;
            const qsizetype rows = y1 - y0;
            if (!crossed && backgroundPixel == 0) {
                std::memset(first, 0, std::size_t(rows * bpl));
                continue;
            }
            if (crossed)
                row = band.data();
            // The first row, then the rows written so far copied after them, doubling each time.
            std::memcpy(first, row, std::size_t(bpl));
            for (qsizetype done = 1; done < rows;) {
                const qsizetype n = std::min(done, rows - done);
                std::memcpy(first + done * bpl, first, std::size_t(n * bpl));
                done += n;
            }
        }
    }
    void beginTexts() { writeRows(); }
    // The image's edges are the drawing's: they cut what a clip would.
    void text(const QFont& font, const QColor& color, const QString& text, qreal kern, qreal x, qreal baseline,
              const QRectF&) {
        if constexpr (sizeof(Pixel) == 1) {
            if (inked.empty() && !bars.empty()) {
                QRect all;
                for (const QRect& r : bars)
                    all |= r;
                inked.push_back(all);
            }
            const QRect area = BarcodeText::drawCoverageOnImage(image, scale, font, text, kern, x, baseline, inked);
            if (!area.isEmpty())
                inked.push_back(area);
        } else
            BarcodeText::drawTextOnImage(image, scale, font, color, text, kern, x, baseline);
    }
};

} // namespace

QSizeF viewSize(const NKDBarcode& b) {
    qreal w = b.width();
    if (b.printsHeader())
        w = std::max<qreal>(w, b.headerWidth());
    if (b.printsFooter())
        w = std::max<qreal>(w, b.footerWidth());
    return QSizeF(w, b.height());
}

namespace {

// One piece of the human-readable digits of EAN-13, EAN-8, UPC-A and UPC-E, laid out as retail shoppers and
// scanners expect (GS1 human-readable interpretation): a group sits centred under the symbol characters
// [first, end) of its half between the guards; an outside digit stands beside the guards (side -1 left,
// +1 right), smaller for the UPC number-system and check digits.
struct RetailPiece {
    QString text;
    int first = 0, end = 0; // modules under a group
    int side = 0;
    bool small = false;
};

std::vector<RetailPiece> retailPieces(const NKDBarcode& b, qsizetype modules) {
    const QString name = b.className();
    const QString digits = b.content() + (b.checkDigit() >= 0 ? QString(QChar(b.checkDigit())) : QString());
    const auto group = [&](qsizetype from, qsizetype count, int first) {
        return RetailPiece{digits.mid(from, count), first, first + int(count) * 7, 0, false};
    };
    if (name == QLatin1String("NKDEAN13Barcode") && digits.size() == 13 && modules == 95)
        return {{digits.left(1), 0, 0, -1, false}, group(1, 6, 3), group(7, 6, 50)};
    if (name == QLatin1String("NKDEAN8Barcode") && digits.size() == 8 && modules == 67)
        return {group(0, 4, 3), group(4, 4, 36)};
    if (name == QLatin1String("NKDUPCABarcode") && digits.size() == 12 && modules == 95)
        return {{digits.left(1), 0, 0, -1, true}, group(1, 5, 10), group(6, 5, 50),
                {digits.right(1), 0, 0, 1, true}};
    if (name == QLatin1String("NKDUPCEBarcode") && digits.size() == 8 && modules == 51)
        return {{digits.left(1), 0, 0, -1, true}, group(1, 6, 3), {digits.right(1), 0, 0, 1, true}};
    return {};
}

template <typename Sink>
void drawRetailDigits(Sink& p, const std::vector<RetailPiece>& pieces, const QFont& font, const QColor& color,
                      qreal x0, qreal bw, qreal total, qreal textY, qreal W, qreal H, const QRectF& clip) {
    QFont smallFont = font;
    smallFont.setPointSizeF(font.pointSizeF() * 0.75);
    for (const RetailPiece& piece : pieces) {
        QFont f = piece.small ? smallFont : font;
        const qreal tw = BarcodeText::textWidth(f, piece.text);
        if (piece.side != 0) {
            const qreal x = piece.side < 0 ? std::max<qreal>(0, x0 - bw - tw) : std::min(x0 + total + bw, W - tw);
            drawTextBox(p, f, color, piece.text, 0, x, textY, tw, H, Qt::AlignLeft, clip);
            continue;
        }
        // One digit under each symbol character where the font allows; never wider than the half.
        const qsizetype n = piece.text.size();
        const qreal span = (piece.end - piece.first) * bw;
        qreal kern = n > 1 ? (span - tw) / n : 0;
        qreal drawn = tw + kern * (n - 1);
        if (drawn > span * 0.96 && tw > 0) {
            f.setPointSizeF(f.pointSizeF() * span * 0.9 / tw);
            const qreal fitted = BarcodeText::textWidth(f, piece.text);
            kern = n > 1 ? (span * 0.96 - fitted) / (n - 1) : 0;
            kern = std::min<qreal>(kern, (span - fitted) / n);
            drawn = fitted + kern * (n - 1);
        }
        const qreal x = x0 + piece.first * bw + (span - drawn) / 2;
        drawTextBox(p, f, color, piece.text, kern, x, textY, drawn, H, Qt::AlignLeft, clip);
    }
}

template <typename Sink>
void layOutLinear(Sink& p, const NKDBarcode& b, const BarcodeStyle& style, qreal scale, const QRectF& clip) {
    const QSizeF size = viewSize(b);
    const qreal W = size.width();
    const qreal H = size.height();
    const BarcodeMargins m = BarcodeUnits::marginsInPoints(style);

    const QString modules = b.completeBarcode();
    const qreal bw = b.barWidth();
    const qreal total = modules.size() * bw;
    const qreal x0 = snap((W - total) / 2, scale);

    // A drawing wider than the frame for its designed header or footer alone keeps its background in the frame;
    // one taller than a short frame, whose texts are cut there, too.
    QRectF back(0, 0, W, H);
    if (!clip.isNull()) {
        back &= QRectF(0, clip.top(), W, clip.height());
        if (x0 >= clip.left() - 0.01 && x0 + total <= clip.right() + 0.01)
            back &= QRectF(clip.left(), 0, clip.width(), H);
    }
    p.background(back, style.barcode_back_clr_val);
    const qreal capH = b.printsCaption() ? b.captionHeight() * 72.0 : 0;
    const qreal hdrH = b.printsHeader() ? b.headerHeight() * 72.0 : 0;
    const qreal ftrH = b.printsFooter() ? b.footerHeight() * 72.0 : 0;
    const bool onTop = style.show_val_on_top != 0;
    const qreal yb = onTop ? ftrH + m.footer_margin + m.TB_margin
                           : capH + ftrH + m.value_margin + m.footer_margin + m.TB_margin;

    // Bars: each run of "1" modules is one rectangle from its own bottom to its own top.
    const PixelSnap toPixel{scale};
    qreal lastH = 0;
    const qsizetype n = modules.size();
    for (qsizetype i = 0; i < n;) {
        if (modules.at(i) != QLatin1Char('1')) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end + 1 < n && modules.at(end + 1) == QLatin1Char('1'))
            ++end;
        const qreal top = b.barTop(int(end));
        const qreal bottom = b.barBottom(int(end));
        const qreal yTop = toPixel(H - (yb + top));
        const qreal yBottom = toPixel(H - (yb + bottom));
        const qreal left = toPixel(x0 + i * bw);
        const qreal right = toPixel(x0 + (end + 1) * bw);
        if (yBottom > yTop)
            p.bar(QRectF(left, yTop, right - left, yBottom - yTop), style.barcode_clr_val);
        lastH = top;
        i = end + 1;
    }

    p.beginTexts();

    const std::vector<RetailPiece> retail = b.printsCaption() ? retailPieces(b, n) : std::vector<RetailPiece>();
    if (!retail.empty()) {
        const qreal textY = onTop ? ftrH + m.footer_margin + lastH + m.value_margin + m.TB_margin
                                  : ftrH + m.footer_margin + m.TB_margin;
        drawRetailDigits(p, retail, style.value_font_val, style.barcode_val_clr_val, x0, bw, total, textY, W, H,
                         clip);
    } else if (b.printsCaption()) {
        const QFont& font = style.value_font_val;
        const QColor& color = style.barcode_val_clr_val;
        const qreal textY = onTop ? ftrH + m.footer_margin + lastH + m.value_margin + m.TB_margin
                                  : ftrH + m.footer_margin + m.TB_margin;
        const QString left = b.leftCaption();
        const QString right = b.rightCaption();
        const QStringList parts = b.caption().split(QLatin1Char('\t'));
        const qreal gap = std::max<qreal>(bw, 1.0);

        // The pieces stand where the caption formulas put them; a piece those would put on the bars or
        // outside the drawing stands where it is sound instead: the side digits just beside the bars, the
        // groups centred under the data modules between the guard patterns.
        const qreal barsLeft = x0;
        const qreal barsRight = x0 + total;
        const auto inside = [W](qreal x, qreal w) { return x >= -0.01 && x + w <= W + 0.01; };
        const auto besideBars = [&](qreal x, qreal w) {
            return x + w <= barsLeft + 0.01 || x >= barsRight - 0.01;
        };
        if (!left.isEmpty()) {
            const qreal tw = BarcodeText::textWidth(font, left);
            qreal x = b.firstBar() * 0.25 + m.LR_margin;
            if (!inside(x, tw) || !besideBars(x, tw))
                x = x0 - gap - tw;
            drawTextBox(p, font, color, left, 0, x, textY + 3.0, tw + 1, H, Qt::AlignLeft, clip);
        }
        if (left.isEmpty() && parts.size() <= 1) {
            // One piece: centred over the drawing, spread over the barcode width when asked.
            const QString text = parts.value(0);
            if (!text.isEmpty()) {
                // A text too wide for its room was made smaller (NKDBarcode::fitCaption).
                QFont fitted = font;
                if (b.captionKern() != 2.0f)
                    fitted.setPointSizeF(b.caption_fontSize());
                const qreal tw = BarcodeText::textWidth(fitted, text);
                const qreal k = (b.width() - tw) / (2.0 * text.size());
                // Spread over the barcode's width; a text wider than that closes up to touching letters,
                // never overlapping ones (its room is the frame's, fitCaption).
                const qreal kern = style.kerning_value == 1 ? std::max<qreal>(0, 2.0 * k) : b.captionKern();
                drawTextBox(p, fitted, color, text, kern, 0, textY, W, H, Qt::AlignHCenter, clip);
            }
        } else {
            // Groups: slots of the drawing's width less the start pattern and the first bar's offset.
            const qsizetype n = parts.size();
            const double lead = double(b.initiator().size()) * bw + b.firstBar();
            const qreal pw = float(double(float(b.width() / n)) - (n == 1 ? 2 : 1) * lead);
            const qreal dataLeft = x0 + b.initiator().size() * bw;
            const qreal dataWidth = (x0 + total - b.terminator().size() * bw - dataLeft) / n;
            for (qsizetype j = 0; j < n; ++j) {
                const QString& text = parts.at(j);
                if (text.trimmed().isEmpty())
                    continue;
                const qreal tw = BarcodeText::textWidth(font, text);
                const qreal k = (pw - tw) / (2.0 * text.size());
                const qreal kern = 1.3 * k;
                const qreal drawn = tw + kern * (text.size() - 1);
                qreal x = 3 * k + b.firstBar() + (j + 1) * b.initiator().size() * bw + j * pw + m.LR_margin;
                if (!inside(x, drawn))
                    x = dataLeft + j * dataWidth + (dataWidth - drawn) / 2;
                drawTextBox(p, font, color, text, kern, x, textY, drawn, H, Qt::AlignLeft, clip);
            }
        }
        if (!right.isEmpty()) {
            const qreal tw = BarcodeText::textWidth(font, right);
            qreal x = b.lastBar() + 0.07 * b.width() + m.LR_margin;
            if (!inside(x, tw) || !besideBars(x, tw))
                x = x0 + total + gap;
            drawTextBox(p, font, color, right, 0, x, textY + 3.0, tw + 1, H, Qt::AlignLeft, clip);
        }
    }
    // Header and footer are aligned in the drawing, or in the frame where the drawing is wider (its designed
    // header is), and set smaller where they are wider than that.
    const qreal boxLeft = clip.isNull() ? 0 : std::max<qreal>(0, clip.left());
    const qreal boxWidth = clip.isNull() ? W : std::min(W, clip.right()) - boxLeft;
    if (b.printsHeader()) {
        const FittedLine line = fitLine(style.header_font_val, b.header(), boxWidth);
        drawTextBox(p, line.font, style.barcode_hdr_clr_val, b.header(), line.kern, boxLeft, H - hdrH - m.TB_margin,
                    boxWidth, H, alignmentFor(style.align_hdr_index), clip);
    }
    if (b.printsFooter()) {
        const FittedLine line = fitLine(style.footer_font_val, b.footer(), boxWidth);
        drawTextBox(p, line.font, style.barcode_ftr_clr_val, b.footer(), line.kern, boxLeft, m.TB_margin, boxWidth,
                    H, alignmentFor(style.align_ftr_index), clip);
    }
}

} // namespace

void drawLinearBarcode(QPainter& p, const NKDBarcode& b, const BarcodeStyle& style, qreal scale,
                       const QRectF& textClip) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    PainterSink sink{p};
    layOutLinear(sink, b, style, scale, textClip);
    p.restore();
}

namespace {

// A 2-D picture in its frame: white background, header above, footer below, each set smaller where it is
// wider than the frame. `clipped`: texts reaching past the frame even so are cut at its edges.
template <typename Sink>
void layOutPicture(Sink& sink, const QImage& picture, const TwoDFrame& f, const BarcodeStyle& style,
                   qreal scale, bool clipped) {
    const qreal W = f.width;
    const qreal H = f.height;
    const BarcodeMargins m = BarcodeUnits::marginsInPoints(style);
    const QRectF clip = clipped ? QRectF(0, 0, W, H) : QRectF();
    sink.background(QRectF(0, 0, W, H), Qt::white);
    const qreal imgW = f.imageSize.width();
    const qreal imgH = f.imageSize.height();
    const qreal hdrH = f.printsHeader ? f.headerHeight * 72.0 : 0;
    qreal y = H - m.TB_margin;
    if (f.printsHeader) {
        y = H - hdrH - m.TB_margin;
        const FittedLine line = fitLine(style.header_font_val, f.header, W);
        drawTextBox(sink, line.font, style.barcode_hdr_clr_val, f.header, line.kern, 0, y, W, H,
                    alignmentFor(style.align_hdr_index), clip);
    }
    const qreal x = snap((W - imgW) / 2, scale);
    const qreal top = snap(H - (y - m.header_margin), scale);
    sink.picture(QRectF(x, top, imgW, imgH), picture);
    if (f.printsFooter) {
        const FittedLine line = fitLine(style.footer_font_val, f.footer, W);
        drawTextBox(sink, line.font, style.barcode_ftr_clr_val, f.footer, line.kern, 0, m.TB_margin, W, H,
                    alignmentFor(style.align_ftr_index), clip);
    }
}

} // namespace

void drawBarcodePicture(QPainter& p, const QImage& picture, const TwoDFrame& f, const BarcodeStyle& style,
                        qreal scale, bool clipTexts) {
    PainterSink sink{p};
    p.save();
    layOutPicture(sink, picture, f, style, scale, clipTexts);
    p.restore();
}

namespace {

// A blank image of W x H points at `scale` pixels per point, filled with the background.
QImage blankImage(qreal W, qreal H, qreal scale, const QColor& background, QString* reason, bool fill = true,
                  QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    const double pw = std::ceil(W * scale);
    const double ph = std::ceil(H * scale);
    if (!(W > 0) || !(H > 0) || !std::isfinite(pw) || !std::isfinite(ph)) {
        if (reason)
            *reason = QStringLiteral("The barcode has no size.");
        return QImage();
    }
    if (pw > kMaxImageSide || ph > kMaxImageSide || pw * ph > double(kMaxImagePixels)) {
        if (reason)
            *reason = QStringLiteral("The barcode image would be too large (%1 x %2 pixels); lower the "
                                     "resolution or the sizes.")
                          .arg(qint64(pw))
                          .arg(qint64(ph));
        return QImage();
    }
    QImage image(int(pw), int(ph), format);
    if (image.isNull()) {
        if (reason)
            *reason = QStringLiteral("Not enough memory for the barcode image.");
        return QImage();
    }
    if (fill)
        image.fill(background);
    return image;
}

void setResolution(QImage& image, qreal scale) {
    const int dpm = int(std::lround(scale * 72.0 / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
}

QImage paintImage(qreal W, qreal H, qreal scale, const QColor& background, QString* reason,
                  const std::function<void(QPainter&)>& paint) {
    QImage image = blankImage(W, H, scale, background, reason);
    if (image.isNull())
        return image;
    // 72 dpi while painting, so font points and user units agree; the painter scales to pixels.
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    {
        QPainter p(&image);
        p.scale(scale, scale);
        paint(p);
    }
    setResolution(image, scale);
    return image;
}

// Pixels per point for a linear barcode's image at about `dpi` (0 when none can be made).
qreal linearScale(const NKDBarcode& b, int dpi, QString* reason) {
    const qreal bw = b.barWidth();
    if (!(bw > 0) || dpi <= 0) {
        if (reason)
            *reason = QStringLiteral("The bar width and the resolution must be greater than 0.");
        return 0;
    }
    const double modulePixels = std::max(1.0, std::round(bw * dpi / 72.0));
    return modulePixels / bw;
}

QByteArray paintPdf(qreal W, qreal H, const std::function<void(QPainter&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(W, H), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("NAVU Photo Frame"));
        QPainter p(&writer);
        if (!p.isActive())
            return QByteArray();
        paint(p);
    }
    return buffer.data();
}

} // namespace

// Where QPainter's raster engine puts the pixels of a `width` x `height` picture drawn without smoothing into
// `target` (points) on an image `scale` pixels per point: from the first pixel (x1, y1) it covers inside the
// image, the picture column and row each pixel shows (-1 none). The engine rounds the
// target to whole pixels and takes the picture pixel under each pixel's centre in 16.16 fixed point,
// afresh every 2048 pixels of a row; the same sums are done here. False where the engine takes another road.
struct PictureSampling {
    int x1 = 0, y1 = 0;
    std::vector<int> columns; // per image column from x1
    std::vector<int> rows;    // per image row from y1
};

bool samplePicture(int width, int height, const QRectF& target, qreal scale, const QSize& device,
                   PictureSampling& out) {
    QTransform m;
    m.scale(scale, scale);
    const bool stretched = target.width() != qreal(width) || target.height() != qreal(height);
    if (width < 1 || height < 1 || (width == 1 && height == 1))
        return false;
    const auto clip = [&](int from, int to, int size) {
        return std::pair{std::max(from, 0), std::min(to, size)};
    };
    if (m.type() == QTransform::TxNone) {
        if (stretched)
            return false;
        // Drawn unscaled: pixel x shows picture column x - round(left), inside the picture only.
        const auto [cx1, cx2] = clip(qRound(target.x()), qRound(target.right()), device.width());
        const auto [cy1, cy2] = clip(qRound(target.y()), qRound(target.bottom()), device.height());
        out.x1 = cx1;
        out.y1 = cy1;
        const int xoff = -qRound(target.x()), yoff = -qRound(target.y());
        for (int x = cx1; x < cx2; ++x)
            out.columns.push_back(x + xoff >= 0 && x + xoff < width ? x + xoff : -1);
        for (int y = cy1; y < cy2; ++y)
            out.rows.push_back(y + yoff >= 0 && y + yoff < height ? y + yoff : -1);
        return true;
    }
    if (m.type() != QTransform::TxScale)
        return false;
    QTransform copy = m;
    copy.translate(target.x(), target.y());
    if (stretched)
        copy.scale(target.width() / width, target.height() / height);
    QTransform delta;
    delta.translate(1.0 / 65536, 1.0 / 65536);
    bool invertible = false;
    const QTransform inv = (delta * copy).inverted(&invertible);
    if (!invertible || !inv.isAffine() || !(inv.m11() * inv.m11() + inv.m21() * inv.m21() < 1e4) ||
        !(inv.m12() * inv.m12() + inv.m22() * inv.m22() < 1e4) || !(qAbs(inv.dx()) < 1e4) ||
        !(qAbs(inv.dy()) < 1e4))
        return false;
    const QRectF rr = m.mapRect(target);
    const auto [cx1, cx2] = clip(qRound(rr.x()), qRound(rr.right()), device.width());
    const auto [cy1, cy2] = clip(qRound(rr.y()), qRound(rr.bottom()), device.height());
    out.x1 = cx1;
    out.y1 = cy1;
    if (cx1 >= cx2 || cy1 >= cy2)
        return true;
    out.columns.reserve(std::size_t(cx2 - cx1));
    out.rows.reserve(std::size_t(cy2 - cy1));
    constexpr qreal fixedScale = 65536;
    const auto inInt = [](qreal v) { return v >= -2147483648.0 && v <= 2147483647.0; };
    const qreal cy0 = cy1 + qreal(0.5);
    for (int x = cx1; x < cx2;) {
        const int length = std::min(2048, cx2 - x);
        const qreal cx = x + qreal(0.5);
        // The engine's own fixed-point range check, for the whole run and every row.
        const qreal fx0 = (inv.m21() * cy0 + inv.m11() * cx + inv.dx()) * fixedScale;
        const qreal fxEnd = fx0 + std::trunc(inv.m11() * fixedScale) * length;
        const qreal fyLow = (inv.m22() * cy0 + inv.m12() * cx + inv.dy()) * fixedScale;
        const qreal fyHigh = (inv.m22() * (cy2 - 1 + qreal(0.5)) + inv.m12() * cx + inv.dy()) * fixedScale;
        if (!inInt(fx0) || !inInt(fxEnd) || !inInt(fyLow) || !inInt(fyHigh))
            return false;
        const int fdx = int(inv.m11() * fixedScale);
        int fx = int((inv.m21() * cy0 + inv.m11() * cx + inv.dx()) * fixedScale);
        for (int i = 0; i < length; ++i, fx += fdx)
            out.columns.push_back(std::clamp(fx >> 16, 0, width - 1));
        x += length;
    }
    // Rows: the row depends on the run's start only through m12, which a scale leaves 0.
    const qreal cx = cx1 + qreal(0.5);
    for (int y = cy1; y < cy2; ++y) {
        const qreal cy = y + qreal(0.5);
        const int fy = int((inv.m22() * cy + inv.m12() * cx + inv.dy()) * fixedScale);
        out.rows.push_back(std::clamp(fy >> 16, 0, height - 1));
    }
    return true;
}

// Writing a framed two-colour picture straight into the pixels of an image already filled with white, to
// the pixels layOutPicture gives through a painter: premultiplied colours (uint) or, when the texts share the
// picture's dark colour, 8-bit ink coverage (uchar) turned into colours by the image's colour table.
template <typename Pixel> struct PictureSink {
    QImage& image;
    qreal scale;
    std::array<Pixel, 2> pixelOf; // per picture bit
    std::vector<QRect> inked = {};
    PictureSampling sampling = {};

    void background(const QRectF&, const QColor&) {}
    // The image's edges are the frame's: they cut what a clip would.
    void text(const QFont& font, const QColor& color, const QString& text, qreal kern, qreal x, qreal baseline,
              const QRectF&) {
        if constexpr (sizeof(Pixel) == 1) {
            const QRect area =
                BarcodeText::drawCoverageOnImage(image, scale, font, text, kern, x, baseline, inked);
            if (!area.isEmpty())
                inked.push_back(area);
        } else
            BarcodeText::drawTextOnImage(image, scale, font, color, text, kern, x, baseline);
    }
    void picture(const QRectF&, const QImage& picture) {
        const PictureSampling& s = sampling;
        const int cx1 = s.x1, cy1 = s.y1;
        if (s.columns.empty() || s.rows.empty())
            return;
        uchar* bits = image.bits();
        const qsizetype bpl = image.bytesPerLine();
        int lastRow = -2;
        uchar* lastLine = nullptr;
        const bool wholeRows = std::find(s.columns.begin(), s.columns.end(), -1) == s.columns.end();
        for (std::size_t k = 0; k < s.rows.size(); ++k) {
            const int row = s.rows[k];
            if (row < 0)
                continue;
            auto* line = reinterpret_cast<Pixel*>(bits + (cy1 + qsizetype(k)) * bpl) + cx1;
            // Equal picture rows give equal image rows.
            if (lastLine && wholeRows &&
                (row == lastRow || std::memcmp(picture.constScanLine(row), picture.constScanLine(lastRow),
                                               std::size_t(picture.bytesPerLine())) == 0)) {
                std::memcpy(line, lastLine, s.columns.size() * sizeof(Pixel));
                continue;
            }
            const uchar* from = picture.constScanLine(row);
            for (std::size_t i = 0; i < s.columns.size(); ++i) {
                const int c = s.columns[i];
                if (c >= 0)
                    line[i] = pixelOf[(from[c >> 3] >> (7 - (c & 7))) & 1];
            }
            lastRow = row;
            lastLine = reinterpret_cast<uchar*>(line);
        }
        inked.push_back(QRect(cx1, cy1, int(s.columns.size()), int(s.rows.size())));
    }
};

// The framed picture written without a painter where that gives the painter's pixels: a two-colour picture of
// opaque colours drawn at a plain scale. `written` false where the painter has to draw it.
QImage writtenPictureImage(const QImage& picture, const TwoDFrame& f, const BarcodeStyle& style, qreal scale,
                           QString* reason, bool* written) {
    *written = false;
    if (picture.format() != QImage::Format_Mono || picture.colorCount() != 2)
        return QImage();
    const QRgb light = picture.color(0), dark = picture.color(1);
    if (qAlpha(light) != 255 || qAlpha(dark) != 255)
        return QImage();
    // Where the picture goes: the layout run without drawing.
    struct Where {
        QRectF target;
        void background(const QRectF&, const QColor&) {}
        void text(const QFont&, const QColor&, const QString&, qreal, qreal, qreal, const QRectF&) {}
        void picture(const QRectF& r, const QImage&) { target = r; }
    } where;
    layOutPicture(where, picture, f, style, scale, false);
    const QRgb white = qRgb(255, 255, 255);
    const auto inkColoured = [&](bool shown, const QString& text, const QColor& c) {
        return !shown || text.isEmpty() || c.rgba() == dark;
    };
    const bool oneInk = light == white && dark != white &&
                        inkColoured(f.printsHeader, f.header, style.barcode_hdr_clr_val) &&
                        inkColoured(f.printsFooter, f.footer, style.barcode_ftr_clr_val);
    QImage image = blankImage(f.width, f.height, scale, Qt::white, reason, false,
                              oneInk ? QImage::Format_Indexed8 : QImage::Format_ARGB32_Premultiplied);
    *written = true; // a size the painter would refuse as well
    if (image.isNull())
        return image;
    PictureSampling sampling;
    if (!samplePicture(picture.width(), picture.height(), where.target, scale, image.size(), sampling)) {
        *written = false;
        return QImage();
    }
    if (oneInk) {
        image.setColorTable(BarcodeText::coverageColours(dark, white));
        image.fill(0);
        PictureSink<uchar> sink{image, scale, {0, 255}, {}, std::move(sampling)};
        layOutPicture(sink, picture, f, style, scale, false);
    } else {
        image.fill(Qt::white);
        PictureSink<uint> sink{image, scale, {light, dark}, {}, std::move(sampling)};
        layOutPicture(sink, picture, f, style, scale, false);
    }
    setResolution(image, scale);
    return image;
}

QImage imageFromBarcode(const NKDBarcode& b, const BarcodeStyle& style, int dpi, QString* reason) {
    // Opaque colours on whole pixels need no painter: bars and texts go straight into the scanlines.
    const QColor& ink = style.barcode_clr_val;
    const QColor& background = style.barcode_back_clr_val;
    if (background.alpha() != 255 || ink.alpha() != 255)
        return paintedImageFromBarcode(b, style, dpi, reason);
    const qreal scale = linearScale(b, dpi, reason);
    if (!(scale > 0))
        return QImage();
    // Texts in the bars' colour make a two-colour image with shades between: a byte of coverage a pixel.
    const auto inkColoured = [&](bool shown, const QColor& c) { return !shown || c.rgba() == ink.rgba(); };
    const bool oneInk = inkColoured(b.printsCaption(), style.barcode_val_clr_val) &&
                        inkColoured(b.printsHeader(), style.barcode_hdr_clr_val) &&
                        inkColoured(b.printsFooter(), style.barcode_ftr_clr_val);
    const QSizeF size = viewSize(b);
    QImage image = blankImage(size.width(), size.height(), scale, background, reason, false,
                              oneInk ? QImage::Format_Indexed8 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    if (oneInk) {
        image.setColorTable(BarcodeText::coverageColours(ink.rgba(), background.rgba()));
        RasterSink<uchar> sink{image, scale, 0};
        layOutLinear(sink, b, style, scale, QRectF());
        sink.writeRows();
    } else {
        RasterSink<uint> sink{image, scale, background.rgba()};
        layOutLinear(sink, b, style, scale, QRectF());
        sink.writeRows();
    }
    setResolution(image, scale);
    return image;
}

QImage paintedImageFromBarcode(const NKDBarcode& b, const BarcodeStyle& style, int dpi, QString* reason) {
    const qreal scale = linearScale(b, dpi, reason);
    if (!(scale > 0))
        return QImage();
    const QSizeF size = viewSize(b);
    return paintImage(size.width(), size.height(), scale, style.barcode_back_clr_val, reason,
                      [&](QPainter& p) { drawLinearBarcode(p, b, style, scale); });
}

QImage imageFromBarcodeImage(const QImage& picture, const TwoDFrame& f, const BarcodeStyle& style, int dpi,
                             QString* reason) {
    if (picture.isNull() || dpi <= 0 || f.imageSize.width() <= 0) {
        if (reason)
            *reason = QStringLiteral("There is no barcode picture to frame.");
        return QImage();
    }
    // Whole output pixels per picture pixel.
    const qreal pictureDpi = picture.width() / f.imageSize.width() * 72.0;
    const double perPixel = std::max(1.0, std::round(dpi / pictureDpi));
    const qreal scale = perPixel * picture.width() / f.imageSize.width();
    bool written = false;
    QImage image = writtenPictureImage(picture, f, style, scale, reason, &written);
    if (written)
        return image;
    return paintImage(f.width, f.height, scale, Qt::white, reason,
                      [&](QPainter& p) { drawBarcodePicture(p, picture, f, style, scale); });
}

QByteArray pdfFromBarcode(const NKDBarcode& b, const BarcodeStyle& style) {
    const QSizeF size = viewSize(b);
    return paintPdf(size.width(), size.height(), [&](QPainter& p) { drawLinearBarcode(p, b, style); });
}

QByteArray pdfFromBarcodeImage(const QImage& picture, const TwoDFrame& f, const BarcodeStyle& style) {
    return paintPdf(f.width, f.height, [&](QPainter& p) { drawBarcodePicture(p, picture, f, style); });
}

QSizeF pictureSizePoints(const QImage& picture) {
    const qreal dpmX = picture.dotsPerMeterX() > 0 ? picture.dotsPerMeterX() : 2834.6;
    const qreal dpmY = picture.dotsPerMeterY() > 0 ? picture.dotsPerMeterY() : 2834.6;
    return QSizeF(picture.width() / dpmX / 0.0254 * 72.0, picture.height() / dpmY / 0.0254 * 72.0);
}

} // namespace BarcodeRenderer
