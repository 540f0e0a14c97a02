// A batch image export of 100,000 rows on the export's threads, once with a problem on every row (a
// picture that cannot be read, each row its own path) and once without, and what the finish message then
// costs: its summary and the details that name every row, and the details shown in the long-message dialog.
// Arguments: [rows]

#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/ui/Long_SMS_Dlg.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "output/ImageExport.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cstdio>

namespace {

struct Run {
    double ms = 0;
    int cards = 0;
    ExportResult result;
};

// A small card with a text and a picture, both bound to the table.
Run exportRows(int rows, bool problems) {
    QList<QStringList> data;
    for (int i = 0; i < rows; ++i)
        data << QStringList{QString::number(i + 1), QStringLiteral("Name %1").arg(i + 1),
                            problems ? QStringLiteral("/nonexistent/photos/p%1.jpg").arg(i + 1) : QString()};
    Data_From_Excel table;
    table.setTable({QStringLiteral("Row No."), QStringLiteral("Name"), QStringLiteral("Photo")}, data);
    BatchFillJob::Design d;
    GraphicPtr text = makeGraphicOfClass(QStringLiteral("SKTText"), false);
    text->setBounds(QRectF(4, 4, 60, 14));
    text->data_source_type = 2;
    text->excel_col_indx = 1;
    GraphicPtr photo = makeGraphicOfClass(QStringLiteral("SKTImage"), false);
    photo->setBounds(QRectF(66, 4, 20, 20));
    photo->data_source_type = 2;
    photo->excel_col_indx = 2;
    d.front = {text, photo};
    d.frontProp = Card_Property::defaults(QStringLiteral("F"));
    d.backProp = Card_Property::defaults(QStringLiteral("B"));
    d.frontProp.Card_Size = d.backProp.Card_Size = QSizeF(90, 30);
    d.twoSided = false;
    SeriesBindingTable series;
    Check_Series_Or_Excel_Use_or_not(d.front, d.back, false, table, series);
    // Cards go to memory where it can be had: the disk's syncs would hide what is measured.
    const QString shm = QStringLiteral("/dev/shm");
    QTemporaryDir dir(QFileInfo(shm).isWritable() ? shm + QStringLiteral("/navu-bench-XXXXXX") : QString());
    ExportBatchJob job(BatchFillJob::create(d, series, table), dir.path(), QStringLiteral("F"), false,
                       QStringLiteral("PNG"), 36);
    const std::atomic<bool> stop = false;
    QElapsedTimer clock;
    clock.start();
    Run run;
    run.result = job.run(stop, {}, ExportBatchJob::defaultThreads());
    run.ms = double(clock.nsecsElapsed()) / 1e6;
    run.cards = run.result.cards;
    return run;
}

// Every row's line, where the problems can give them.
template <typename Problems> QString detailsOf(const Problems& p) {
    if constexpr (requires { p.details(); })
        return p.details();
    else
        return {};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "navu.info=false"); // each row's missing picture goes to the log
    QApplication app(argc, argv);
    bench::printWithPoint();
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;

    const Run clean = exportRows(rows, false);
    const Run failing = exportRows(rows, true);
    std::printf(
        "row problems: %d-row export, %d threads: without problems %.0f ms (%.1f us a card), a problem "
        "on every row %.0f ms (%.1f us a card), %+.1f%%\n",
        rows, ExportBatchJob::defaultThreads(), clean.ms, clean.ms * 1000 / std::max(1, clean.cards),
        failing.ms, failing.ms * 1000 / std::max(1, failing.cards), (failing.ms / clean.ms - 1) * 100);

    QElapsedTimer clock;
    clock.start();
    const QString message = failing.result.message();
    const double messageMs = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    const QString details = detailsOf(failing.result.problems);
    const double detailsMs = double(clock.nsecsElapsed()) / 1e6;
    // Lines that name a row: in the details when there are some, else in the message itself.
    const qsizetype named =
        details.isEmpty() ? message.count(QStringLiteral("\nRow ")) : details.count(QLatin1Char('\n')) + 1;
    std::printf("row problems: finish message %.1f ms, its details %.1f ms; rows named: %lld of %d\n",
                messageMs, detailsMs, static_cast<long long>(named), failing.result.problems.cardCount());

    std::printf("row problems: peak resident memory of the runs and the message %lld MB\n",
                static_cast<long long>(bench::peakResidentKb() / 1024));
    if (!details.isEmpty()) {
        clock.restart();
        Long_SMS_Dlg dlg;
        dlg.title_val = QStringLiteral("Details");
        dlg.msg_val_str = details;
        dlg.ok_only = true;
        dlg.loadTexts();
        dlg.show();
        app.processEvents();
        std::printf("row problems: every row shown in the long-message dialog: %.0f ms\n",
                    double(clock.nsecsElapsed()) / 1e6);
    }
    return 0;
}
