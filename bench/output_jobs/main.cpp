// Output jobs of a bound design, in one run:
//  - label sheets into a PDF: 1,000 Avery 5160 labels (a text and a Code 128, both bound to data),
//    milliseconds and bytes per label;
//  - a batch image export at 300 dpi: milliseconds per card on the export's threads, the bare PNG encode
//    of the same pictures on as many threads and on one, and the export's ratio to each;
//  - jobs of large or repeated pictures (pictures.cpp).
// Arguments: [labels] [cards] [folder to keep the PDFs and the exported cards in, for a look at them]
//            [rows of the 40-picture card, 0 to leave the picture jobs out]
// A count of 0 leaves its job out.

#include "barcode/BarcodeItemDrawing.h"
#include "barcode/BarcodeSymbologies.h"
#include "canvas/SKTItems.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "output/ImageExport.h"
#include "output/Printing_View.h"

#include "BenchSupport.h"
#include "PictureJobs.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

GraphicPtr boundText(const QRectF& r, int column, qreal size) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    g->setBounds(r);
    g->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), size);
    static_cast<SKTText*>(g.get())->setText(QStringLiteral("name"));
    g->data_source_type = 2;
    g->excel_col_indx = column;
    return g;
}

GraphicPtr boundCode128(QPointF at, int column, float mils) {
    GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTBarcode"), false);
    g->barcode_font_index = BarcodeSymbologies::Code128;
    g->linear_font_val = QStringLiteral("A-000000");
    g->linear_width_val = mils;
    g->linear_height_val = 0.8f;
    g->show_hide_hdr = g->show_hide_ftr = 1;
    g->setBounds(QRectF(at, QSizeF(100, 40)));
    BarcodeItemDrawing::setUpNewItem(*g);
    g->data_source_type = 2;
    g->excel_col_indx = column;
    return g;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bench::printWithPoint();
    const int labels = argc > 1 ? atoi(argv[1]) : 1000;
    const int cards = argc > 2 ? atoi(argv[2]) : 1000;
    const QString keep = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const int pictureRows = argc > 4 ? atoi(argv[4]) : 3;
    const int rows = std::max(labels, cards);
    Data_From_Excel table;
    QList<QStringList> data;
    for (int i = 0; i < rows; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name %1 Surname").arg(i + 1),
                            QStringLiteral("A-%1").arg(100000 + i)};
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Code")}, data);
    SeriesBindingTable series;

    // Avery 5160 on US Letter: 3 x 10 labels of 2.625 x 1 inch.
    if (labels > 0) {
        const BatchFillJob::Design d = designOf(
            QSizeF(189, 72), {boundText(QRectF(8, 4, 173, 16), 1, 10), boundCode128(QPointF(8, 22), 2, 10)});
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);
        const PrintLayout layout = averyLabels(d.frontProp.Card_Size);
        Printing_View view(layout, labels, BatchFillJob::create(d, series, table), d);
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QElapsedTimer t;
        t.start();
        view.print(writer);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("label PDF: %d Avery 5160 labels on %d sheets: %.1f ms, %.3f ms per label, %lld bytes, "
                    "%.0f bytes per label\n",
                    labels, view.numberOfPages(false), ms, ms / labels, static_cast<long long>(pdf.size()),
                    double(pdf.size()) / labels);
        if (!keep.isEmpty()) {
            QFile out(QDir(keep).filePath(QStringLiteral("labels.pdf")));
            if (out.open(QIODevice::WriteOnly))
                out.write(pdf.data());
        }
    }

    // Batch export of one side at 300 dpi.
    if (cards > 0) {
        const BatchFillJob::Design d = designOf(QSizeF(200, 100), {boundText(QRectF(10, 8, 180, 24), 1, 16),
                                                                   boundCode128(QPointF(10, 38), 2, 15)});
        Data_From_Excel part;
        part.setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Code")},
                      data.mid(0, cards));
        Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, part, series);
        QTemporaryDir dir;
        ExportBatchJob job(BatchFillJob::create(d, series, part), keep.isEmpty() ? dir.path() : keep,
                           QStringLiteral("F"), false, QStringLiteral("PNG"), 300);
        std::atomic<bool> stop{false};
        QElapsedTimer t;
        t.start();
        const ExportResult r = job.run(stop);
        const double exportMs = t.nsecsElapsed() / 1e6 / std::max(1, r.cards);

        // The same pictures encoded as PNG, without rendering or writing.
        const int sample = std::min(cards, 100);
        auto fill = BatchFillJob::create(d, series, part);
        fill->setDrawBarcodesFromValues(true);
        QList<QImage> pictures;
        for (int i = 0; i < sample; ++i)
            pictures << fill->Set_data_table_value_to_card(i, QStringLiteral("F"), false, 300 / 72.0);
        // Encoded on as many threads as the export uses, then on one.
        const int threads = ExportBatchJob::defaultThreads();
        std::atomic<qint64> bytes{0};
        const auto encode = [&](int workers) {
            std::atomic<int> next{0};
            std::vector<std::thread> pool;
            QElapsedTimer clock;
            clock.start();
            for (int w = 0; w < workers; ++w)
                pool.emplace_back([&] {
                    for (int i = next++; i < pictures.size(); i = next++) {
                        QBuffer buffer;
                        buffer.open(QIODevice::WriteOnly);
                        QImageWriter writer(&buffer, "png");
                        writer.write(pictures[i]);
                        bytes += buffer.size();
                    }
                });
            for (std::thread& p : pool)
                p.join();
            return clock.nsecsElapsed() / 1e6 / std::max(1, sample);
        };
        const double encodeMs = encode(threads);
        bytes = 0;
        const double oneThreadMs = encode(1);
        std::printf(
            "export at 300 dpi: %d cards of %dx%d px on %d threads: %.2f ms per card; bare PNG encode "
            "%.2f ms per card on %d threads, %.2f ms on one (%lld bytes each); ratio %.2f (to one thread %.2f)\n",
            r.cards, pictures.value(0).width(), pictures.value(0).height(), threads, exportMs, encodeMs, threads,
            oneThreadMs, static_cast<long long>(bytes / std::max(1, sample)), exportMs / encodeMs,
            exportMs / oneThreadMs);
    }
    if (pictureRows > 0)
        benchPictureJobs(pictureRows, keep);
    return 0;
}
