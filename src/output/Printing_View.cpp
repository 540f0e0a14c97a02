#include "output/Printing_View.h"

#include "barcode/BarcodeItemDrawing.h"
#include "canvas/SKTRenderingView.h"
#include "common/Prompt.h"
#include "output/ImageExport.h"

#include <QPagedPaintDevice>
#include <QPainter>

Printing_View::Printing_View(const PrintLayout& layout, int totalLabels, std::unique_ptr<BatchFillJob> fill,
                             const BatchFillJob::Design& design)
    : _layout(layout), _total(qMax(0, totalLabels)), _dataRows(fill ? fill->Total_Batch_Excel_Card() : 0),
      _fill(std::move(fill)), _frontProp(design.frontProp), _backProp(design.backProp),
      _cardShape(design.cardShape) {
    // Barcodes go onto the page as vectors, drawn from each label's value.
    BarcodeItemDrawing::install();
    if (_fill)
        _fill->setDrawBarcodesFromValues(true);
    setPrinterDpi(0);
}

void Printing_View::setPrinterDpi(int dpi) {
    _printerDpi = dpi > 0 ? dpi : BarcodeItemDrawing::kDefaultPaperDpi;
    if (_fill)
        _fill->setOutputScale(_printerDpi / 72.0);
}

Printing_View::~Printing_View() = default;

int Printing_View::numberOfPages(bool preview) const {
    int pages = labelPageCount(_total, _layout.rows, _layout.cols);
    if (preview && pages > MaxPreviewPages) {
        Show_MessageBox(
            QStringLiteral("For Qualitative and Performance reason, previewer shows print previews of "
                           "only first 50 sheets. However, printing has no such restriction."));
        pages = MaxPreviewPages;
    }
    return pages;
}

void Printing_View::drawCard(QPainter& painter, const QRectF& where, const GraphicList& items,
                             bool front) const {
    painter.save();
    painter.translate(where.topLeft());
    const QRectF card(QPointF(0, 0), where.size());
    painter.setClipRect(card, Qt::IntersectClip);
    SKTRenderingView::paintCardSide(painter, items, front ? _frontProp : _backProp, _cardShape, card, card,
                                    true);
    painter.restore();
}

void Printing_View::Draw_Label_String(QPainter& painter, const QString& text, const QRectF& rect) {
    painter.save();
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(11); // the painter counts in points
    painter.setFont(font);
    painter.setPen(Qt::red);
    // Centred on the rectangle's middle even when the rectangle is too small to hold the text.
    const QRectF around(rect.center() - QPointF(500, 50), QSizeF(1000, 100));
    painter.drawText(around, Qt::AlignCenter, text);
    painter.restore();
}

QStringList Printing_View::fitWarnings() const {
    if (!_fill || _layout.card.isEmpty())
        return {};
    if (isDataJob())
        return _fill->fitNotes();
    const LabelCardRects rects = labelCardRects(_layout, labelCellRect(_layout, 0, 0));
    QStringList warnings;
    if (!rects.back.isNull())
        warnings << sideFitWarnings(_fill->itemsForRow(0, QStringLiteral("B")), false, _printerDpi / 72.0);
    if (!rects.front.isNull())
        for (const QString& w : sideFitWarnings(_fill->itemsForRow(0, QStringLiteral("F")), true, _printerDpi / 72.0))
            if (!warnings.contains(w))
                warnings << w;
    return warnings;
}

void Printing_View::drawPage(QPainter& painter, int page) {
    const BarcodeItemDrawing::PaperResolution dots(_printerDpi);
    painter.fillRect(QRectF(QPointF(0, 0), _layout.paper), Qt::white);
    if (page < 0)
        return;
    // Without a card (no size) each label position says so instead of staying blank.
    const bool noCard = !_fill || _layout.card.isEmpty();
    const int per = _layout.perSheet();
    const int cols = qMax(1, _layout.cols);
    // Labels draw the pictures they share once for the whole job (and a PDF holds each once).
    const JobPictures::Scope kept(_fill ? _fill->pictures() : nullptr);
    for (int i = 0; i < per; ++i) {
        const qint64 label = qint64(page) * per + i;
        if (label >= _total)
            break;
        // A data job has one label per row; labels after the last row stay white.
        if (isDataJob() && label >= _dataRows)
            break;
        const int row = isDataJob() ? int(label) : 0;
        const QRectF cell = labelCellRect(_layout, i / cols, i % cols);
        if (noCard) {
            Draw_Label_String(painter, QStringLiteral("Invalid Data"), cell);
            continue;
        }
        const LabelCardRects rects = labelCardRects(_layout, cell);
        if (!rects.back.isNull())
            drawCard(painter, rects.back, _fill->itemsForRow(row, QStringLiteral("B")), false);
        if (!rects.front.isNull())
            drawCard(painter, rects.front, _fill->itemsForRow(row, QStringLiteral("F")), true);
    }
}

bool Printing_View::print(QPagedPaintDevice& device, int pages, const std::atomic<bool>* stop,
                          std::atomic<int>* printed) {
    const int count = pages < 0 ? numberOfPages(false) : qMin(pages, numberOfPages(false));
    QPainter painter;
    if (!painter.begin(&device)) {
        Show_NSLog_Message(QStringLiteral("The printer could not be opened."));
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Pages are laid out in points; the device counts in its own dots.
    const qreal sx = device.logicalDpiX() / 72.0, sy = device.logicalDpiY() / 72.0;
    for (int p = 0; p < count; ++p) {
        if (stop && stop->load())
            break;
        if (p > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(sx, sy);
        drawPage(painter, p);
        painter.restore();
        if (printed)
            printed->store(p + 1);
    }
    return painter.end();
}
