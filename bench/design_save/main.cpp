// Saves and reopens a design whose data table holds 100,000 and 1,000,000 rows of 10 columns read from a
// workbook (numbers, shared and inline strings, dates, booleans, blanks), through the code the window's Save
// and Open use, step by step: Save takes a snapshot on the GUI thread and writes it on a worker; Open reads
// on a worker and hands the table over on the GUI thread. Each size runs in a child process of its own, so
// that its peak resident memory is its own. Prints each step's time, the peak resident memory while saving
// and while opening, and the save against its floor: writing and syncing the same number of bytes.
//
//   bench_design_save [folder]      the workbooks are made and the design files kept there (default: the
//                                   temporary folder, design files removed)

#include "BenchSupport.h"
#include "MixedWorkbook.h"
#include "app/designfile/DesignFile.h"
#include "app/designfile/DesignSheet.h"
#include "data/BatchState.h"
#include "data/Data_From_Excel.h"
#include "data/XlsxReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <unistd.h>

namespace {
constexpr int kColumns = bench::kWorkbookColumns;

// Writing and syncing `bytes` bytes to a new file beside path, a megabyte at a time.
double floorSeconds(const QString& path, qint64 bytes)
{
    QByteArray chunk(1 << 20, 'x');
    for (qsizetype i = 0; i < chunk.size(); ++i)
        chunk[i] = char(i * 131 + (i >> 9));
    QFile f(path + QStringLiteral(".floor"));
    QElapsedTimer t;
    t.start();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return -1;
    for (qint64 left = bytes; left > 0; left -= chunk.size())
        f.write(chunk.constData(), qMin<qint64>(left, chunk.size()));
    ::fsync(f.handle());
    f.close();
    const double s = double(t.nsecsElapsed()) / 1e9;
    f.remove();
    return s;
}

double seconds(QElapsedTimer& t)
{
    const double s = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    return s;
}

int runOnce(const QString& workbook, const QString& path)
{
    QList<int> columns;
    for (int c = 0; c < kColumns; ++c)
        columns << c;
    Data_From_Excel table;
    QString err;
    {
        XlsxReader reader;
        std::optional<SheetData> sheet;
        if (reader.open(workbook, &err))
            sheet = reader.readSheet(0, &err);
        if (!sheet || !table.importSheet(std::move(*sheet), columns, &err)) {
            std::fprintf(stderr, "import failed: %s\n", qPrintable(err));
            return 1;
        }
    }
    const int rows = table.rowCountOfTable();
    Excel_Binding_Use = true;
    const qint64 tableKb = bench::residentKb();

    bench::resetPeak();
    QElapsedTimer t;
    t.start();
    DesignData d;
    d.sheet = captureSheetBinding(table);
    const designfile::DesignSnapshot snapshot(d);
    const double capture = seconds(t);
    if (!designfile::save(path, snapshot, &err)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(err));
        return 1;
    }
    const double write = seconds(t);
    const qint64 savePeakKb = bench::peakResidentKb();
    const double floor = floorSeconds(path, QFileInfo(path).size());

    bench::resetPeak();
    t.restart();
    std::optional<DesignData> back = designfile::load(path, &err);
    const double read = seconds(t);
    if (!back) {
        std::printf("%d %.3f %.3f %lld %lld %lld -1 0 0 %.3f\n", rows, capture, write,
                    static_cast<long long>(tableKb), static_cast<long long>(savePeakKb),
                    static_cast<long long>(QFileInfo(path).size()), floor);
        std::fprintf(stderr, "open failed: %s\n", qPrintable(err));
        return 0;
    }
    Data_From_Excel again;
    restoreSheetBinding(back->sheet, again);
    const double restore = seconds(t);
    const qint64 openPeakKb = bench::peakResidentKb();
    if (again.rowCountOfTable() != rows || again.value(rows - 1, 3) != table.value(rows - 1, 3)) {
        std::fprintf(stderr, "the table did not come back whole\n");
        return 1;
    }
    std::printf("%d %.3f %.3f %lld %lld %lld %.3f %.3f %lld %.3f\n", rows, capture, write,
                static_cast<long long>(tableKb), static_cast<long long>(savePeakKb),
                static_cast<long long>(QFileInfo(path).size()), read, restore, static_cast<long long>(openPeakKb),
                floor);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::printWithPoint();
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--run"))
        return runOnce(args[2], args[3]);

    const bool keep = args.size() > 1;
    const QString folder = keep ? args[1] : QDir::tempPath();
    for (const int rows : {100000, 1000000}) {
        const QString workbook = QDir(folder).filePath(QStringLiteral("navu_bench_shown_%1.xlsx").arg(rows));
        if (!QFileInfo::exists(workbook) && !bench::makeWorkbook(workbook, rows)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(workbook));
            return 1;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("navu_bench_design_%1.kvto").arg(rows));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(app.applicationFilePath(), {QStringLiteral("--run"), workbook, path});
        const bool finished = child.waitForFinished(1800000) && child.exitCode() == 0;
        if (!keep)
            QFile::remove(path);
        if (!finished) {
            std::fprintf(stderr, "run failed\n");
            return 1;
        }
        const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
        const double tableMb = f.value(3).toDouble() / 1024;
        const double save = f.value(1).toDouble() + f.value(2).toDouble();
        const double floor = f.value(9).toDouble();
        std::printf("%7d rows x %d columns, table %.0f MB resident\n", f.value(0).toInt(), kColumns, tableMb);
        std::printf("  save: snapshot %.3f s (GUI thread), write %.3f s (worker); peak %.0f MB; file %.0f MB\n",
                    f.value(1).toDouble(), f.value(2).toDouble(), f.value(4).toDouble() / 1024,
                    f.value(5).toDouble() / 1e6);
        if (f.value(6) == "-1")
            std::printf("  open: refused\n");
        else
            std::printf("  open: read %.3f s (worker), restore %.3f s (GUI thread); peak %.0f MB\n",
                        f.value(6).toDouble(), f.value(7).toDouble(), f.value(8).toDouble() / 1024);
        std::printf("save %d rows: %.2f s, floor %.2f s, ratio %.2f, peak %.0f MB\n", f.value(0).toInt(), save,
                    floor, save / floor, f.value(4).toDouble() / 1024);
        std::printf("  (peak over the table: %.0f MB)\n", f.value(4).toDouble() / 1024 - tableMb);
        std::fflush(stdout);
    }
    return 0;
}
