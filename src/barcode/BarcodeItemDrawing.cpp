#include "barcode/BarcodeItemDrawing.h"

#include "barcode/BarcodeGeneration.h"
#include "barcode/BarcodeRenderer.h"
#include "barcode/BarcodeSymbologies.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/twod/TwoDImages.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTItems.h"

#include <QHash>
#include <QMutex>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

namespace BarcodeItemDrawing {

namespace {

// The points the drawing adds beside a positive left/right margin (see Set_Linear_Barcode_Width).
constexpr qreal kMarginExtra = 7.5;

TwoDSymbol symbolFor(const BarcodeStyle& s, const QString& value) {
    TwoDSymbol none;
    if (value.isEmpty()) {
        none.reason = QStringLiteral("Please enter barcode value");
        return none;
    }
    const int capacity = twoDCapacity(s.barcode_font_index);
    if (capacity > 0 && value.size() > capacity) {
        none.reason = QStringLiteral("%1 holds at most %L2 characters (digits; fewer letters or other characters), "
                                     "and this value has %L3.")
                          .arg(BarcodeSymbologies::twoDTitles().at(s.barcode_font_index))
                          .arg(capacity)
                          .arg(value.size());
        return none;
    }
    switch (s.barcode_font_index) {
    case BarcodeSymbologies::QRCode:
        return makeQrSymbol(qrParamsOf(s), value);
    case BarcodeSymbologies::PDF417:
        return makePdf417Symbol(pdf417ParamsOf(s), value);
    case BarcodeSymbologies::DataMatrix:
        return makeDataMatrixSymbol(dataMatrixParamsOf(s), value);
    default:
        none.reason = QStringLiteral("Unknown barcode type.");
        return none;
    }
}

// Size of one module of a 2-D symbol drawn at its natural size.
qreal naturalModule(const TwoDSymbol& sym) {
    return std::min(sym.sizePoints.width() / sym.columns,
                    sym.sizePoints.height() / (sym.rows * sym.rowHeight));
}

qreal pointsToUnit(qreal points, int unit) {
    return points / BarcodeUnits::unitToPoints(1.0, unit);
}

// Device coordinates of a point, rounded to whole pixels (or dots), mapped back.
QPointF snapToPixel(const QTransform& t, const QPointF& p) {
    const QPointF d = t.map(p);
    return t.inverted().map(QPointF(std::round(d.x()), std::round(d.y())));
}

// The dots a drawing's modules snap to: `scale` dots per point (0: none, exact vectors), on a raster
// image's pixels or, on paper (printers and PDF), on the printer's dots.
struct DotGrid {
    qreal scale = 0;
    bool paper = false;
};

thread_local int t_paperDpi = 0;

// User units to the grid's dots: the device's pixels on rasters; on paper the device's units (whose
// origin is the paper's corner) scaled to the printer's dots.
QTransform dotTransform(const QPainter& painter, const DotGrid& grid) {
    const QTransform device = painter.deviceTransform();
    const QPaintDevice* d = painter.device();
    if (!grid.paper || !d)
        return device;
    // A picture records in the painter's units, points here.
    const bool picture = d->devType() == QInternal::Picture;
    const qreal dpiX = picture ? 72.0 : d->logicalDpiX();
    const qreal dpiY = picture ? 72.0 : d->logicalDpiY();
    if (!(dpiX > 0) || !(dpiY > 0))
        return device;
    return device * QTransform::fromScale(grid.scale * 72.0 / dpiX, grid.scale * 72.0 / dpiY);
}

// How a linear symbol goes into a frame: the module in points, the dots per point its bars snap to (0:
// drawn as exact vectors), whether it fits the frame, and whether it fits only without the item's own
// margins (bars and the symbology's quiet zone, the frame's background around them).
struct LinearFit {
    qreal module = 0;
    qreal scale = 0;
    bool fits = true;
    bool withoutMargins = false;
};

// The chosen module where it fits (wider frames widen it); else the widest that fits, in whole dots. Where
// the item's margins leave less than one dot, the bars with their standard quiet zone may still fit in the
// whole frame. Where even that fails, `mayResample` (screens zoomed out) draws the symbol to the frame;
// outputs keep one-dot modules and report the misfit.
LinearFit fitLinear(NKDBarcode& natural, const BarcodeStyle& s, qreal frameWidth, qreal scale, bool mayResample) {
    const qreal bw = natural.barWidth();
    const qreal drawingWidth = natural.width();
    natural.calculateWidth();
    const qreal bars = natural.width();
    natural.setWidth(float(drawingWidth));
    const qreal lr = BarcodeUnits::unitToPoints(s.LR_margin_val, s.barcode_unit_val);
    const qreal extra = lr > 0 ? 2 * kMarginExtra : 0;
    const qreal perModule = (bars + 2 * lr) / bw; // the margins are kept in modules
    const qreal widest = (frameWidth - extra) / perModule;
    const qreal wanted = bw * std::max<qreal>(1.0, frameWidth / drawingWidth);
    // The narrowest a scanner needs: the bars and the quiet zone of the symbology.
    const qreal barsAndZone = frameWidth / (bars / bw + 2 * quietZoneModules(s));
    LinearFit fit;
    fit.scale = scale;
    if (scale > 0) {
        qreal px = std::max<qreal>(1.0, std::round(wanted * scale));
        if (px / scale > widest + 1e-9)
            px = std::floor(widest * scale + 1e-9);
        if (px < 1) {
            px = std::floor(barsAndZone * scale + 1e-9);
            fit.withoutMargins = px >= 1;
        }
        if (px < 1) {
            if (mayResample && widest > 0) {
                fit.scale = 0;
                fit.module = widest;
                return fit;
            }
            px = 1;
            fit.fits = false;
        }
        fit.module = px / scale;
        return fit;
    }
    fit.module = std::min(wanted, widest);
    if (!(fit.module > 0)) {
        fit.module = barsAndZone > 0 ? barsAndZone : bw;
        fit.withoutMargins = barsAndZone > 0;
        fit.fits = barsAndZone > 0;
    }
    return fit;
}

// Makes user units the device's own pixels, whatever the world, window, redirection (a widget painted
// inside its window) and device-pixel-ratio transforms are.
void useDevicePixels(QPainter& painter) {
    const QTransform device = painter.deviceTransform();
    painter.setWorldTransform(device.inverted() * painter.worldTransform());
}

bool drawLinear(QPainter& painter, const SKTGraphic& item, const BarcodeStyle& s, const QString& value,
                DotGrid grid, bool mayResample) {
    const QRectF frame = item.bounds().normalized();
    // The value text may take the frame's width.
    const LinearBarcodeBuild natural =
        Generate_Barcode_Variable(s, value, item.header_val, item.footer_val, frame.width());
    if (!natural.barcode)
        return false;
    const QSizeF natSize = BarcodeRenderer::viewSize(*natural.barcode);
    const qreal bw = natural.barcode->barWidth();
    if (!(bw > 0) || !(natSize.width() > 0))
        return false;
    const LinearFit fit = fitLinear(*natural.barcode, s, frame.width(), grid.scale, mayResample);
    grid.scale = fit.scale;
    const qreal k = fit.module / bw;
    BarcodeStyle s2 = s;
    s2.linear_width_val = float(fit.module * 1000.0 / 72.0);
    // Without its margins the symbol stands in the frame's background, which holds its quiet zone.
    s2.LR_margin_val = fit.withoutMargins ? 0.0f : float(s.LR_margin_val * k);
    // The bars take the frame's height; the texts keep their sizes.
    const qreal barH = BarcodeUnits::barHeightPoints(s);
    const qreal fixedH = natSize.height() - barH;
    const qreal barH2 = std::max(frame.height() - fixedH, barH * 0.25);
    s2.linear_height_val = float(pointsToUnit(barH2, s.barcode_unit_val));
    const LinearBarcodeBuild fitted =
        Generate_Barcode_Variable(s2, value, item.header_val, item.footer_val, frame.width());
    if (!fitted.barcode)
        return false;
    const QSizeF size = BarcodeRenderer::viewSize(*fitted.barcode);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(frame, s.barcode_back_clr_val);
    QPointF origin(frame.center().x() - size.width() / 2, frame.center().y() - size.height() / 2);
    if (grid.scale > 0)
        origin = snapToPixel(dotTransform(painter, grid), origin);
    painter.translate(origin);
    // Texts stay in the frame; bars that cannot are drawn past it and named (fitProblem).
    BarcodeRenderer::drawLinearBarcode(painter, *fitted.barcode, s2, grid.scale, frame.translated(-origin));
    return true;
}

// The largest square module that fits the area, in points.
qreal twoDModule(const TwoDSymbol& sym, const QRectF& area) {
    return std::min(area.width() / sym.columns, area.height() / (sym.rows * sym.rowHeight));
}

// Where a symbol may go in its frame, in points from the frame's top left: between the item's margins and
// its texts, or with the symbology's own quiet zone in the frame's whole width and the height between its
// texts. Empty rectangles where there is no room.
struct TwoDAreas {
    QRectF margins;
    QRectF zone;
    bool room = false; // the texts leave some height
};

TwoDAreas twoDAreas(const SKTGraphic& item, const BarcodeStyle& s, const TwoDSymbol& sym) {
    const QRectF frame = item.bounds().normalized();
    const BarcodeMargins m = BarcodeUnits::marginsInPoints(s);
    const TwoDFrame f = twoDFrame(s, sym.sizePoints, item.header_val, item.footer_val);
    const qreal lr = m.LR_margin + (m.LR_margin > 0 ? kMarginExtra : 0);
    const qreal headerH = f.printsHeader ? m.TB_margin + f.headerHeight * 72.0 : 0;
    const qreal footerH = f.printsFooter ? m.TB_margin + f.footerHeight * 72.0 : 0;
    const qreal top = m.TB_margin + (f.printsHeader ? f.headerHeight * 72.0 : 0) + m.header_margin;
    const qreal bottom =
        frame.height() - m.TB_margin - (f.printsFooter ? f.footerHeight * 72.0 : 0) - m.footer_margin;
    TwoDAreas a;
    const QRectF margins(lr, top, frame.width() - 2 * lr, bottom - top);
    if (margins.width() > 0 && margins.height() > 0)
        a.margins = margins;
    const QRectF between(0, headerH, frame.width(), frame.height() - headerH - footerH);
    a.room = between.width() > 0 && between.height() > 0;
    if (a.room) {
        const int zone = quietZoneModules(s);
        const qreal u = std::min(between.width() / (sym.columns + 2 * zone),
                                 between.height() / (sym.rows * sym.rowHeight + 2 * zone));
        a.zone = between.adjusted(zone * u, zone * u, -zone * u, -zone * u);
    }
    return a;
}

// The area a symbol is drawn in on a device of `scale` dots per point (0: exact vectors): between margins
// and texts; where that leaves modules under one dot, with the quiet zone alone where that gives one dot
// (as linear symbols, so a zoomed-out screen resamples what outputs show); where the margins leave no room,
// with the quiet zone alone; where the texts leave no room at all, the whole frame, over them.
QRectF twoDArea(const SKTGraphic& item, const BarcodeStyle& s, const TwoDSymbol& sym, qreal scale) {
    const TwoDAreas a = twoDAreas(item, s, sym);
    const qreal u = a.margins.isEmpty() ? 0 : twoDModule(sym, a.margins);
    if (u > 0 && (scale <= 0 || u * scale >= 1 - 1e-6))
        return a.margins;
    const qreal zone = a.zone.isEmpty() ? 0 : twoDModule(sym, a.zone);
    if (zone > u && (u <= 0 || zone * scale >= 1 - 1e-6))
        return a.zone;
    return u > 0 ? a.margins : QRectF(QPointF(0, 0), item.bounds().normalized().size());
}

bool drawTwoD(QPainter& painter, const SKTGraphic& item, const BarcodeStyle& s, const QString& value,
              DotGrid grid, bool mayResample) {
    const TwoDSymbol sym = symbolFor(s, value);
    if (!sym.ok())
        return false;
    const QRectF frame = item.bounds().normalized();
    TwoDFrame f = twoDFrame(s, sym.sizePoints, item.header_val, item.footer_val);
    f.width = float(frame.width());
    f.height = float(frame.height());
    const QRectF area = twoDArea(item, s, sym, grid.scale);
    const int rowsH = sym.rows * sym.rowHeight;
    // Square modules, as large as the area allows; on rasters and paper whole dots, never resampled: where
    // one dot is too large the symbol is larger than its area (outputs say so), except on a zoomed-out screen.
    qreal u = twoDModule(sym, area);
    int unitPx = 0;
    if (grid.scale > 0) {
        unitPx = int(std::floor(u * grid.scale + 1e-6));
        if (unitPx < 1 && mayResample)
            grid.scale = 0; // thumbnails: drawn to the frame
        else
            u = std::max(unitPx, 1) / grid.scale;
    }
    const QSizeF symSize(sym.columns * u, rowsH * u);

    painter.translate(frame.topLeft());
    BarcodeRenderer::drawBarcodePicture(painter, QImage(), f, s, 0, true); // background, header and footer
    QPointF at(area.center().x() - symSize.width() / 2, area.center().y() - symSize.height() / 2);
    if (grid.scale > 0 && !grid.paper) {
        const QPoint d = painter.deviceTransform().map(at).toPoint();
        const int px = std::max(unitPx, 1);
        QImage modules(sym.columns, sym.rows, QImage::Format_Mono);
        modules.setColor(0, qRgb(255, 255, 255));
        modules.setColor(1, qRgb(0, 0, 0));
        for (int y = 0; y < sym.rows; ++y) {
            uchar* line = modules.scanLine(y);
            std::fill_n(line, modules.bytesPerLine(), uchar(0));
            for (int x = 0; x < sym.columns; ++x)
                if (sym.at(x, y))
                    line[x >> 3] |= uchar(0x80 >> (x & 7));
        }
        useDevicePixels(painter);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(d.x(), d.y(), sym.columns * px, rowsH * px), modules);
        return true;
    }
    if (grid.scale > 0)
        at = snapToPixel(dotTransform(painter, grid), at);
    // One path of horizontal runs: few operators in a PDF.
    QPainterPath path;
    for (int y = 0; y < sym.rows; ++y) {
        for (int x = 0; x < sym.columns;) {
            if (!sym.at(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end + 1 < sym.columns && sym.at(end + 1, y))
                ++end;
            path.addRect(
                QRectF(at.x() + x * u, at.y() + y * sym.rowHeight * u, (end + 1 - x) * u, sym.rowHeight * u));
            x = end + 1;
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(path, Qt::black);
    return true;
}

bool drawBarcode(QPainter& painter, const SKTGraphic& item, DotGrid grid, bool mayResample) {
    const QRectF frame = item.bounds().normalized();
    if (!(frame.width() > 0) || !(frame.height() > 0))
        return false;
    const BarcodeStyle s = BarcodeStyle::fromItem(item);
    const QString value = itemValue(item);
    return s.linear_or_2d == 0 ? drawLinear(painter, item, s, value, grid, mayResample)
                               : drawTwoD(painter, item, s, value, grid, mayResample);
}

} // namespace

QString itemValue(const SKTGraphic& item) {
    if (item._barcode_shows_value)
        return item._barcode_value.trimmed();
    return item.linear_or_2d == 0 ? item.linear_font_val : item.two_d_font_val;
}

QString valueProblem(const SKTGraphic& item, const QString& value) {
    const BarcodeStyle s = BarcodeStyle::fromItem(item);
    const QString v = value.trimmed();
    if (s.linear_or_2d == 0)
        return Generate_Barcode_Variable(s, v, item.header_val, item.footer_val).reason;
    return symbolFor(s, v).reason;
}

QSizeF naturalSize(const BarcodeStyle& s, const QString& value) {
    if (s.linear_or_2d == 0) {
        const LinearBarcodeBuild b = Generate_Barcode_Variable(s, value, s.header_val, s.footer_val);
        return b.barcode ? BarcodeRenderer::viewSize(*b.barcode) : QSizeF();
    }
    const TwoDSymbol sym = symbolFor(s, value);
    if (!sym.ok())
        return QSizeF();
    const TwoDFrame f = twoDFrame(s, sym.sizePoints, s.header_val, s.footer_val);
    return QSizeF(f.width, f.height);
}

QSizeF naturalSize(const SKTGraphic& item) {
    return naturalSize(BarcodeStyle::fromItem(item), itemValue(item));
}

bool drawItemBarcode(QPainter& painter, const SKTGraphic& item, qreal rasterScale, bool mayResample) {
    return drawBarcode(painter, item, DotGrid{rasterScale, false}, mayResample);
}

bool drawItemBarcodeOnPaper(QPainter& painter, const SKTGraphic& item, int dpi) {
    return drawBarcode(painter, item, DotGrid{std::max(dpi, 1) / 72.0, true}, false);
}

PaperResolution::PaperResolution(int dpi) : _previous(t_paperDpi) {
    t_paperDpi = dpi > 0 ? dpi : 0;
}

PaperResolution::~PaperResolution() {
    t_paperDpi = _previous;
}

int paperDpi() {
    return t_paperDpi > 0 ? t_paperDpi : kDefaultPaperDpi;
}

QString fitProblem(const SKTGraphic& item, const QString& value, qreal dotsPerPoint) {
    const QRectF frame = item.bounds().normalized();
    const BarcodeStyle s = BarcodeStyle::fromItem(item);
    const QString v = value.trimmed();
    if (!(frame.width() > 0) || !(frame.height() > 0))
        return QString();
    if (s.linear_or_2d != 0) {
        const int dpi = lowestFittingDpi(item, v);
        if (dpi < 0) // drawn over its texts at any resolution
            return QStringLiteral("the %1 has no room in its frame between its header and footer.")
                .arg(BarcodeSymbologies::twoDTitles().value(s.barcode_font_index));
        if (dpi <= 0 || !(dotsPerPoint > 0) || dotsPerPoint * 72.0 >= dpi - 1e-6)
            return QString();
        return QStringLiteral("the %1 does not fit its frame at %2 dpi.")
            .arg(BarcodeSymbologies::twoDTitles().value(s.barcode_font_index))
            .arg(qRound(dotsPerPoint * 72.0));
    }
    const LinearBarcodeBuild natural = Generate_Barcode_Variable(s, v, item.header_val, item.footer_val, frame.width());
    if (!natural.barcode || !(natural.barcode->barWidth() > 0))
        return QString();
    const QString title = BarcodeSymbologies::linearTitles().value(s.barcode_font_index);
    if (!fitLinear(*natural.barcode, s, frame.width(), dotsPerPoint, false).fits)
        return QStringLiteral("the %1 value is too long for its frame.").arg(title);
    if (!natural.barcode->captionFits())
        return QStringLiteral("the %1 value text is too long for its frame, even in 5-point letters.").arg(title);
    return QString();
}

QString twoDNeed(const QString& title, int dpi) {
    return QStringLiteral("the %1 needs at least %2 dpi to keep whole-pixel modules inside its frame")
        .arg(title)
        .arg(dpi);
}

QString symbologyTitle(const SKTGraphic& item) {
    return (item.linear_or_2d == 0 ? BarcodeSymbologies::linearTitles() : BarcodeSymbologies::twoDTitles())
        .value(item.barcode_font_index);
}

int lowestFittingDpi(const SKTGraphic& item, const QString& value) {
    const BarcodeStyle s = BarcodeStyle::fromItem(item);
    if (s.linear_or_2d == 0)
        return 0;
    const TwoDSymbol sym = symbolFor(s, value.trimmed());
    if (!sym.ok())
        return 0;
    const TwoDAreas a = twoDAreas(item, s, sym);
    if (!a.room)
        return -1;
    // The area that gives the larger module is the one drawn at the lowest resolution that fits.
    const qreal u = std::max(a.margins.isEmpty() ? 0 : twoDModule(sym, a.margins),
                             a.zone.isEmpty() ? 0 : twoDModule(sym, a.zone));
    return u > 0 ? int(std::ceil(72.0 / u - 1e-6)) : 0;
}

namespace {

// A screen drawing of one item at one device scale; a null image when the value gives no barcode.
struct ScreenDrawing {
    BarcodeStyle style;
    QString value, header, footer;
    QSizeF frameSize;
    qreal scale = 0;
    QImage image;
    QRectF area; // what the image covers, relative to the frame's top left

    bool matches(const ScreenDrawing& o) const {
        return scale == o.scale && frameSize == o.frameSize && value == o.value && header == o.header &&
               footer == o.footer && style == o.style;
    }
};

// Where a drawing's key is looked up (its style is compared in full).
size_t keyHash(const ScreenDrawing& d) {
    return qHashMulti(0, d.value, d.header, d.footer, d.scale, d.frameSize.width(), d.frameSize.height(),
                      d.style.linear_or_2d, d.style.barcode_font_index);
}

// What an entry holds besides its image's pixels.
constexpr qsizetype kEntryBytes = 256;

// Recent screen drawings, most recent first: repaints and scrolling reuse them. Only their memory bounds
// them, never their number: a repaint of more barcodes than a count allows would push out each drawing
// just before it is wanted again and draw every one anew on every repaint.
class ScreenCache {
public:
    bool find(ScreenDrawing& key) {
        const size_t hash = keyHash(key);
        QMutexLocker lock(&m_mutex);
        for (auto [it, end] = m_index.equal_range(hash); it != end; ++it) {
            if (it->second->matches(key)) {
                m_entries.splice(m_entries.begin(), m_entries, it->second);
                key.image = it->second->image;
                key.area = it->second->area;
                return true;
            }
        }
        return false;
    }
    void add(ScreenDrawing entry) {
        const size_t hash = keyHash(entry);
        QMutexLocker lock(&m_mutex);
        ++m_made;
        m_bytes += bytesOf(entry);
        m_entries.push_front(std::move(entry));
        m_index.emplace(hash, m_entries.begin());
        while (m_entries.size() > 1 && m_bytes > kMaxBytes) {
            const auto last = std::prev(m_entries.end());
            for (auto [it, end] = m_index.equal_range(keyHash(*last)); it != end; ++it) {
                if (it->second == last) {
                    m_index.erase(it);
                    break;
                }
            }
            m_bytes -= bytesOf(*last);
            m_entries.erase(last);
        }
    }
    qint64 made() {
        QMutexLocker lock(&m_mutex);
        return m_made;
    }

private:
    static qsizetype bytesOf(const ScreenDrawing& d) {
        return d.image.sizeInBytes() + kEntryBytes + 2 * (d.value.size() + d.header.size() + d.footer.size());
    }
    static constexpr qsizetype kMaxBytes = 96 * 1024 * 1024;
    QMutex m_mutex;
    std::list<ScreenDrawing> m_entries;
    std::unordered_multimap<size_t, std::list<ScreenDrawing>::iterator> m_index;
    qsizetype m_bytes = 0;
    qint64 m_made = 0;
};

ScreenCache& screenCache() {
    static ScreenCache cache;
    return cache;
}

// Screens: the symbol drawn on whole device pixels at the view's scale, kept for the next repaint.
bool drawForScreen(QPainter& painter, const SKTGraphic& item) {
    const QRectF bounds = item.bounds().normalized();
    const QTransform t = painter.deviceTransform();
    const bool axisAligned = t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0 &&
                             qFuzzyCompare(t.m11(), t.m22());
    // The device transform holds the device pixel ratio already: device pixels per point.
    const qreal scale = axisAligned ? t.m11() : std::sqrt(std::abs(t.determinant()));
    if (!std::isfinite(scale) || !(scale > 0) || !(bounds.width() > 0) || !(bounds.height() > 0))
        return false;

    ScreenDrawing key;
    key.style = BarcodeStyle::fromItem(item);
    key.value = itemValue(item);
    key.header = item.header_val;
    key.footer = item.footer_val;
    key.frameSize = bounds.size();
    key.scale = scale;
    if (!screenCache().find(key)) {
        // Bars wider than a narrow frame reach beyond it, as on the other devices.
        const QRectF frame = bounds.united(ItemPainting::barcodeRect(item));
        const QSize pixels(int(std::ceil(frame.width() * scale)), int(std::ceil(frame.height() * scale)));
        if (pixels.width() > 8000 || pixels.height() > 8000 ||
            qint64(pixels.width()) * pixels.height() > 16'000'000)
            return false; // extreme zoom: the stored image stands in
        QImage drawing(pixels, QImage::Format_ARGB32_Premultiplied);
        drawing.fill(Qt::transparent);
        QPainter p(&drawing);
        p.scale(scale, scale);
        p.translate(-frame.topLeft());
        const bool ok = drawItemBarcode(p, item, scale, true);
        p.end();
        key.image = ok ? drawing : QImage();
        key.area = frame.translated(-bounds.topLeft());
        screenCache().add(key);
    }
    if (key.image.isNull())
        return false;
    const QImage& image = key.image;
    const QRectF frame = key.area.translated(bounds.topLeft());
    if (axisAligned) {
        // One image pixel on one device pixel.
        const QPointF at = t.map(frame.topLeft());
        useDevicePixels(painter);
        painter.drawImage(QRectF(std::round(at.x()), std::round(at.y()), image.width(), image.height()), image,
                          QRectF(image.rect()));
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(frame, image);
    }
    return true;
}

} // namespace

bool drawForDevice(QPainter& painter, const SKTGraphic& item) {
    const QPaintDevice* device = painter.device();
    if (!device)
        return false;
    if (device->devType() == QInternal::Widget || device->devType() == QInternal::Pixmap)
        return drawForScreen(painter, item);
    if (device->devType() == QInternal::Image) {
        const QTransform t = painter.deviceTransform();
        const bool axisAligned = t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
        return drawItemBarcode(painter, item, axisAligned ? t.m11() : 0);
    }
    const QPaintEngine* engine = painter.paintEngine();
    const bool vector =
        device->devType() == QInternal::Printer || device->devType() == QInternal::Picture ||
        (engine && (engine->type() == QPaintEngine::Pdf || engine->type() == QPaintEngine::Picture));
    return vector && drawItemBarcodeOnPaper(painter, item, paperDpi());
}

qint64 screenDrawingsMade() { return screenCache().made(); }

void install() {
    if (SKTBarcode::symbolServices().draw == &drawForDevice)
        return; // already in place; never rewritten while workers draw
    SKTBarcode::SymbolServices services;
    services.draw = &drawForDevice;
    services.naturalSize = &naturalSize;
    SKTBarcode::setSymbolServices(services);
}

int quietZoneModules(const BarcodeStyle& s) {
    if (s.linear_or_2d != 0) {
        switch (s.barcode_font_index) {
        case BarcodeSymbologies::QRCode:
            return 4;
        case BarcodeSymbologies::PDF417:
            return 2;
        case BarcodeSymbologies::DataMatrix:
            return 1;
        default:
            return 0;
        }
    }
    switch (s.barcode_font_index) {
    case BarcodeSymbologies::EAN13:
        return 11;
    case BarcodeSymbologies::UPCA:
    case BarcodeSymbologies::UPCE:
        return 9;
    case BarcodeSymbologies::EAN8:
        return 7;
    case BarcodeSymbologies::PostNet:
    case BarcodeSymbologies::RoyalMail:
    case BarcodeSymbologies::Planet:
    case BarcodeSymbologies::JapanPost:
        return 0;
    default:
        return 10;
    }
}

namespace {

// Module size in points of the style's symbol for the value; 0 when there is none.
qreal modulePoints(const BarcodeStyle& s, const QString& value) {
    if (s.linear_or_2d == 0)
        return BarcodeUnits::milsToPoints(s.linear_width_val);
    const TwoDSymbol sym = symbolFor(s, value);
    return sym.ok() ? naturalModule(sym) : 0;
}

} // namespace

namespace {

void widenToQuietZone(BarcodeStyle& s) {
    const int zone = quietZoneModules(s);
    const qreal module = modulePoints(s, s.content());
    if (zone <= 0 || !(module > 0))
        return;
    const float margin = float(pointsToUnit(zone * module, s.barcode_unit_val));
    s.LR_margin_val = std::max(s.LR_margin_val, margin);
    if (s.linear_or_2d != 0) {
        // Nothing may be printed within the zone: not the header or footer either.
        s.TB_marging_val = std::max(s.TB_marging_val, margin);
        s.hdr_margin_val = std::max(s.hdr_margin_val, margin);
        s.ftr_margin_val = std::max(s.ftr_margin_val, margin);
    }
}

// The style with the margins a new item of its symbology and content gets.
BarcodeStyle newItemMargins(BarcodeStyle s) {
    const BarcodeStyle defaults;
    s.LR_margin_val = defaults.LR_margin_val;
    s.TB_marging_val = defaults.TB_marging_val;
    s.hdr_margin_val = defaults.hdr_margin_val;
    s.ftr_margin_val = defaults.ftr_margin_val;
    widenToQuietZone(s);
    return s;
}

bool sameMargins(const BarcodeStyle& a, const BarcodeStyle& b) {
    const auto near = [](float x, float y) { return std::abs(x - y) < 1e-4f; };
    return near(a.LR_margin_val, b.LR_margin_val) && near(a.TB_marging_val, b.TB_marging_val) &&
           near(a.hdr_margin_val, b.hdr_margin_val) && near(a.ftr_margin_val, b.ftr_margin_val);
}

} // namespace

void applyQuietZoneMargins(SKTGraphic& item) {
    BarcodeStyle s = BarcodeStyle::fromItem(item);
    widenToQuietZone(s);
    item.LR_margin_val = s.LR_margin_val;
    item.TB_marging_val = s.TB_marging_val;
    item.hdr_margin_val = s.hdr_margin_val;
    item.ftr_margin_val = s.ftr_margin_val;
}

bool followQuietZoneMargins(BarcodeStyle& style, const BarcodeStyle& previous) {
    if (!sameMargins(style, newItemMargins(previous)))
        return false;
    const BarcodeStyle fresh = newItemMargins(style);
    if (sameMargins(style, fresh))
        return false;
    style.LR_margin_val = fresh.LR_margin_val;
    style.TB_marging_val = fresh.TB_marging_val;
    style.hdr_margin_val = fresh.hdr_margin_val;
    style.ftr_margin_val = fresh.ftr_margin_val;
    return true;
}

bool setUpNewItem(SKTGraphic& item) {
    applyQuietZoneMargins(item);
    const BarcodeResult barcode = Get_Item_Barcode(item);
    if (!barcode.ok())
        return false;
    item.Set_Barcode_image(barcode.image);
    const QSizeF size = naturalSize(item);
    if (size.width() > 0 && size.height() > 0)
        item.setBounds(QRectF(item.bounds().normalized().topLeft(), size));
    return true;
}

QString quietZoneWarning(const BarcodeStyle& s, const QString& value) {
    QStringList problems;
    const qreal module = modulePoints(s, value);
    const int zone = quietZoneModules(s);
    if (zone > 0 && module > 0) {
        const BarcodeMargins m = BarcodeUnits::marginsInPoints(s);
        const qreal need = zone * module - 0.01;
        qreal side = m.LR_margin + (m.LR_margin > 0 ? kMarginExtra : 0);
        bool low = side < need;
        if (s.linear_or_2d != 0) {
            // Above and below: the outer margin, or the gap to a shown header or footer.
            const qreal above = s.printsHeader() ? m.header_margin : m.TB_margin;
            const qreal below = s.printsFooter() ? m.footer_margin : m.TB_margin;
            low = low || above < need || below < need;
        }
        if (low)
            problems << QStringLiteral("a margin is below the quiet zone of %1 modules").arg(zone);
    }
    const bool smallModules = s.linear_or_2d != 0 && (s.barcode_font_index == BarcodeSymbologies::QRCode ||
                                                      s.barcode_font_index == BarcodeSymbologies::DataMatrix);
    constexpr qreal kMinModule = 7.5 * 72.0 / 1000.0; // 7.5 mil = 0.19 mm
    if (smallModules && module > 0 && module < kMinModule - 1e-6)
        problems << QStringLiteral("modules of %1 mm are below 0.19 mm").arg(module * 25.4 / 72.0, 0, 'f', 2);
    if (problems.isEmpty())
        return QString();
    QString text = problems.join(QStringLiteral("; "));
    text[0] = text[0].toUpper();
    return QStringLiteral("Warning: %1; scanners may not read it.").arg(text);
}

QString cardWidthWarning(qreal drawingWidth, qreal cardWidth) {
    if (!(cardWidth > 0) || !(drawingWidth > cardWidth + 0.01))
        return QString();
    const auto cm = [](qreal points) { return QString::number(points * 2.54 / 72.0, 'f', 1); };
    return QStringLiteral("Warning: the barcode is %1 cm wide, wider than the card (%2 cm); it would be cut at "
                          "the card's edge.")
        .arg(cm(drawingWidth), cm(cardWidth));
}

} // namespace BarcodeItemDrawing
