// Label sheets into a PDF and a batch image export for a bound design: time per label and per card.

#include "canvas/SKTItems.h"
#include "data/BatchState.h"
#include "data/DataBinding.h"
#include "data/Data_From_Excel.h"
#include "output/ImageExport.h"
#include "output/Printing_View.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A 200 x 100 point card: a text bound to table column 1 and a filled box on the front, a text on the back.
BatchFillJob::Design boundDesign() {
    auto text = [](const QString& value, int column) {
        GraphicPtr g = makeGraphicOfClass(QStringLiteral("SKTText"), false);
        g->setBounds(QRectF(10, 10, 180, 30));
        g->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 16);
        static_cast<SKTText*>(g.get())->setText(value);
        g->data_source_type = column > 0 ? 2 : 0;
        g->excel_col_indx = column;
        return g;
    };
    GraphicPtr box = makeGraphicOfClass(QStringLiteral("Shape_Control"), false);
    box->_shape_type = QStringLiteral("R");
    box->setBounds(QRectF(10, 60, 40, 30));
    box->_isDrawingFill = true;
    box->_fillColor = Qt::red;
    BatchFillJob::Design d;
    d.front = {text(QStringLiteral("name"), 1), box};
    d.back = {text(QStringLiteral("Back Side"), 0)};
    d.frontProp = Card_Property::defaults(QStringLiteral("F"));
    d.backProp = Card_Property::defaults(QStringLiteral("B"));
    d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF(200, 100);
    return d;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 500;
    Data_From_Excel table;
    QList<QStringList> data;
    for (int i = 0; i < rows; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name %1").arg(i + 1)};
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name")}, data);
    const BatchFillJob::Design d = boundDesign();
    SeriesBindingTable series;
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, true, table, series);

    PrintLayout layout;
    layout.paper = QSizeF(595.28, 841.89);
    layout.card = QSizeF(200, 100);
    layout.rows = 7;
    layout.cols = 2;
    layout.side = QStringLiteral("F");
    {
        Printing_View view(layout, rows, BatchFillJob::create(d, series, table), d);
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QElapsedTimer t;
        t.start();
        view.print(writer);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf(
            "label sheets: %d labels on %d sheets into PDF: %.1f ms (%.3f ms per label, %lld bytes)\n", rows,
            view.numberOfPages(false), ms, ms / rows, static_cast<long long>(pdf.size()));
    }
    for (const char* side : {"F", "BOTH"}) {
        QTemporaryDir dir;
        ExportBatchJob job(BatchFillJob::create(d, series, table), dir.path(), QString::fromLatin1(side),
                           false, QStringLiteral("PNG"));
        std::atomic<bool> stop{false};
        QElapsedTimer t;
        t.start();
        const ExportResult r = job.run(stop);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("batch export side %s: %d cards, %lld files: %.1f ms (%.3f ms per card)\n", side, r.cards,
                    static_cast<long long>(r.written.size()), ms, ms / qMax(1, r.cards));
    }
    return 0;
}
