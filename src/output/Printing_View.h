#pragma once

// The pages of a label print job: each sheet holds rows x columns labels placed by the layout; label k of
// the job (from 0) shows data row k in a data job, the design as it stands otherwise. Cards are drawn with
// the shared renderer straight onto the page, so text and shapes stay vectors on a printer or in a PDF.
// Pages are drawn by number, so a print system may ask for them in any order or more than once.

#include "data/BatchFillJob.h"
#include "output/LabelLayout.h"

#include <atomic>
#include <memory>

class QPagedPaintDevice;
class QPainter;

class Printing_View {
public:
    // Sheets shown at most by a preview.
    static constexpr int MaxPreviewPages = 50;

    // fill holds the snapshot of the design (and the rows of a data job); design supplies the side settings.
    // A data job is one whose fill has rows; its labels beyond the last row stay white.
    Printing_View(const PrintLayout& layout, int totalLabels, std::unique_ptr<BatchFillJob> fill,
                  const BatchFillJob::Design& design);
    ~Printing_View();

    const PrintLayout& layout() const { return _layout; }
    // The resolution of the printer in dpi (0: unknown, taken as 300, as for PDF files). Barcode modules go
    // on whole dots of it, and a row whose symbol needs modules under one dot is a row problem.
    void setPrinterDpi(int dpi);
    int printerDpi() const { return _printerDpi; }
    int totalLabels() const { return _total; }
    bool isDataJob() const { return _dataRows > 0; }
    BatchFillJob* fill() const { return _fill.get(); }
    // What the job says about barcodes that do not fit their frames on the printer's dots, as exports do:
    // a data job the notes of its rows (its row problems name the rows), a job without data the set-up
    // values of the sides it prints (sideFitWarnings).
    QStringList fitWarnings() const;

    // labels / (rows x columns), rounded up. A preview stops at MaxPreviewPages and, when it had to,
    // shows "For Qualitative and Performance reason, previewer shows print previews of only first 50 sheets.
    // However, printing has no such restriction."
    int numberOfPages(bool preview) const;

    // Draws sheet `page` (from 0) in points, paper top-left at the painter's origin.
    void drawPage(QPainter& painter, int page);

    // Draws every sheet (at most `pages`, all when negative) onto a paged device whose page size the caller
    // has set and whose painter origin is the paper's corner (no margins, or a printer in full-page mode);
    // the painter is scaled from points to the device. Stops between sheets when stop is set; printed
    // counts the sheets drawn so far. False when the device could not be painted on.
    bool print(QPagedPaintDevice& device, int pages = -1, const std::atomic<bool>* stop = nullptr,
               std::atomic<int>* printed = nullptr);

    // Draws a text in red, bold, 11 points, centred on a rectangle (points).
    static void Draw_Label_String(QPainter& painter, const QString& text, const QRectF& rect);

    // Draws one side's items as a card filling `where` (points), clipped to it.
    void drawCard(QPainter& painter, const QRectF& where, const GraphicList& items, bool front) const;

private:
    PrintLayout _layout;
    int _total;
    int _dataRows;
    std::unique_ptr<BatchFillJob> _fill;
    Card_Property _frontProp;
    Card_Property _backProp;
    int _cardShape;
    int _printerDpi = 0;
};
