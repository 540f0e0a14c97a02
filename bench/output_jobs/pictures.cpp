// Output jobs of designs with large or repeated pictures:
//  - a card of 40 picture items, each a 100-megapixel palette PNG of 120 KB as the program writes it, printed
//    at 300 dpi (a PDF at the printer's resolution): seconds for the first row, and for each row after it;
//    exported at 300 dpi: seconds per row, the rows on the export's threads together;
//  - 1,000 Avery 5160 labels into a PDF (the file dialog's writer), each showing the same photo named by a data
//    column, and the same labels with the photo fixed on the design: megabytes and seconds.

#include "PictureJobs.h"

#include "canvas/SKTItems.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "imaging/ProcessedImageCache.h"
#include "output/ImageExport.h"
#include "output/Printing_View.h"

#include "BenchSupport.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

BatchFillJob::Design designOf(const QSizeF& card, const GraphicList& front) {
    BatchFillJob::Design d;
    d.front = front;
    d.frontProp = Card_Property::defaults(QStringLiteral("F"));
    d.backProp = Card_Property::defaults(QStringLiteral("B"));
    d.frontProp.Card_Size = d.backProp.Card_Size = card;
    d.twoSided = false;
    return d;
}

PrintLayout averyLabels(const QSizeF& card) {
    PrintLayout layout;
    layout.paper = QSizeF(612, 792);
    layout.card = card;
    layout.rows = 10;
    layout.cols = 3;
    layout.hgap = 9;
    layout.autoCenter = false;
    return layout;
}

namespace {

GraphicPtr textItem(const QRectF& r, int column) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    g->setBounds(r);
    g->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 9);
    static_cast<SKTText*>(g.get())->setText(QStringLiteral("name"));
    g->data_source_type = 2;
    g->excel_col_indx = column;
    return g;
}

GraphicPtr pictureItem(const QRectF& r, const ItemPicture& picture) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
    g->setBounds(r);
    g->_image = picture;
    return g;
}

QByteArray encoded(const QImage& image, const char* format, int quality) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return buffer.data();
}

// A photo-like picture: smooth light with grain, which compresses as photos do.
QImage photo(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(noise.bounded(6));
            line[x] = qRgb(x * 240 / size.width() + grain, y * 240 / size.height() + grain, 120 + grain);
        }
    }
    return image;
}

void keepFile(const QString& folder, const QString& name, const QByteArray& data) {
    if (folder.isEmpty())
        return;
    QFile out(QDir(folder).filePath(name));
    if (out.open(QIODevice::WriteOnly))
        out.write(data);
}

} // namespace

void benchPictureJobs(int rows, const QString& keep) {
    SeriesBindingTable series;
    const int madeBefore = ProcessedImageCache::madeCount();
    {
        // A palette picture of one colour: 8 bits a pixel in its file, drawn as 32-bit pixels.
        QImage palette(10000, 10000, QImage::Format_Indexed8);
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours << qRgb(i, 255 - i, 128);
        palette.setColorTable(colours);
        palette.fill(190);
        const QByteArray png = encoded(palette, "png", 0);
        palette = QImage();
        // Each item holds its own copy of the bytes, as a design read from its file does.
        GraphicList front{textItem(QRectF(8, 260, 200, 20), 1)};
        for (int i = 0; i < 40; ++i)
            front.prepend(pictureItem(QRectF((i % 8) * 24, (i / 8) * 9, 240, 240),
                                      ItemPicture::fromBytes(QByteArray(png.constData(), png.size()))));
        const BatchFillJob::Design d = designOf(QSizeF(432, 288), front);
        Data_From_Excel table;
        QList<QStringList> data;
        for (int r = 0; r < rows; ++r)
            data << QStringList{QString::number(r + 1), QStringLiteral("Card %1").arg(r + 1)};
        table.setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, data);
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);

        PrintLayout layout;
        layout.paper = d.frontProp.Card_Size;
        layout.card = d.frontProp.Card_Size;
        layout.rows = layout.cols = 1;
        layout.autoCenter = false;
        // The job prints its first sheet, then all of them: the rows after the first are what each costs there.
        ProcessedImageCache::clear();
        Printing_View view(layout, rows, BatchFillJob::create(d, series, table), d);
        view.setPrinterDpi(300);
        QBuffer pdf;
        double firstSeconds = 0, allSeconds = 0;
        bench::resetPeak();
        const int printMade0 = ProcessedImageCache::madeCount();
        for (const int pages : {1, rows}) {
            pdf.close();
            pdf.setData(QByteArray());
            pdf.open(QIODevice::WriteOnly);
            QPdfWriter writer(&pdf);
            writer.setResolution(300);
            writer.setPageLayout(QPageLayout(QPageSize(layout.paper, QPageSize::Point), QPageLayout::Portrait,
                                             QMarginsF()));
            QElapsedTimer t;
            t.start();
            view.print(writer, pages);
            (pages == 1 ? firstSeconds : allSeconds) = t.nsecsElapsed() / 1e9;
        }
        const int printMade = ProcessedImageCache::madeCount() - printMade0;
        std::printf("print 300 dpi, 40 items of 100-MP PNG: %.2f s per row (the first row %.1f s; PNG of %lld "
                    "bytes; %d rows after it, %d pictures made, %lld MB PDF, peak %lld MB resident)\n",
                    allSeconds / rows, firstSeconds,
                    static_cast<long long>(png.size()), rows, printMade, static_cast<long long>(pdf.size() >> 20),
                    bench::peakResidentKb() / 1024);
        keepFile(keep, QStringLiteral("print300.pdf"), pdf.data());

        ProcessedImageCache::clear();
        QTemporaryDir dir;
        const QString folder = keep.isEmpty() ? dir.path() : QDir(keep).filePath(QStringLiteral("export300"));
        ExportBatchJob job(BatchFillJob::create(d, series, table), folder, QStringLiteral("F"), false,
                           QStringLiteral("PNG"), 300);
        std::atomic<bool> stop{false};
        bench::resetPeak();
        const int made = ProcessedImageCache::madeCount();
        QElapsedTimer t;
        t.start();
        const ExportResult r = job.run(stop);
        std::printf("export 300 dpi, 40 items of 100-MP PNG: %.1f s per row (%d cards on %d threads, %d pictures "
                    "made, peak %lld MB resident)\n",
                    t.nsecsElapsed() / 1e9 / std::max(1, r.cards), r.cards, ExportBatchJob::defaultThreads(),
                    ProcessedImageCache::madeCount() - made, bench::peakResidentKb() / 1024);
    }

    // Avery 5160 on US Letter, one photo on every label: named by a data column, or fixed on the design.
    QTemporaryDir dir;
    const QString photoPath = dir.filePath(QStringLiteral("photo.jpg"));
    {
        QFile f(photoPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(encoded(photo(QSize(1600, 1200)), "jpeg", 85)) <= 0)
            return;
    }
    const int labels = 1000;
    Data_From_Excel table;
    QList<QStringList> data;
    for (int i = 0; i < labels; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name %1").arg(i + 1), photoPath};
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Photo")}, data);
    for (const bool fromColumn : {true, false}) {
        GraphicPtr picture = pictureItem(QRectF(4, 4, 64, 64), fromColumn ? ItemPicture() : SKTImage::loadPicture(photoPath));
        if (fromColumn) {
            picture->data_source_type = 2;
            picture->excel_col_indx = 2;
        }
        const BatchFillJob::Design d = designOf(QSizeF(189, 72), {picture, textItem(QRectF(72, 8, 110, 16), 1)});
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);
        const PrintLayout layout = averyLabels(d.frontProp.Card_Size);
        ProcessedImageCache::clear();
        Printing_View view(layout, labels, BatchFillJob::create(d, series, table), d);
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QElapsedTimer t;
        {
            QPdfWriter writer(&pdf); // at its own resolution, as the print window's PDF file is written
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
            t.start();
            view.print(writer);
        }
        std::printf("PDF of %d labels with one photo %s: %.2f MB, %.1f s\n", labels,
                    fromColumn ? "from a data column" : "fixed on the design", pdf.size() / 1048576.0,
                    t.nsecsElapsed() / 1e9);
        keepFile(keep, fromColumn ? QStringLiteral("labels_column.pdf") : QStringLiteral("labels_fixed.pdf"),
                 pdf.data());
    }
    std::printf("pictures made in all: %d\n", ProcessedImageCache::madeCount() - madeBefore);
}
