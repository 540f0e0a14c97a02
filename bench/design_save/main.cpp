// Saves and reopens a design whose data table holds 100,000 and 1,000,000 rows of 10 columns, through the
// code the window's Save and Open use, step by step: Save takes a snapshot on the GUI thread and writes it on
// a worker; Open reads on a worker and hands the table over on the GUI thread. Each size runs in a child
// process of its own, so that its peak resident memory is its own. Prints each step's time and the peak
// resident memory while saving and while opening.
//
//   bench_design_save [folder]      the design files are written and kept there (default: written to the
//                                   temporary folder and removed)

#include "BenchSupport.h"
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

namespace {
constexpr int kColumns = 10;

const char* const kCities[] = {"Oslo", "Lima", "Nice", "Kyoto", "Zürich", "Québec", "Ōsaka", "Cork"};

// A sheet as the importer leaves it: a header row, then mixed values (numbers, repeated and unique texts,
// dates, blanks, booleans).
SheetData makeSheet(int rows)
{
    SheetData s;
    std::vector<quint32> refs(kColumns);
    for (int c = 0; c < kColumns; ++c)
        refs[size_t(c)] = s.strings.add(QStringLiteral("Field %1").arg(c + 1));
    s.appendRow(refs.data(), refs.size());
    for (int r = 0; r < rows; ++r) {
        const std::string v[kColumns] = {
            std::to_string(r + 1),
            kCities[r % 8],
            "Guest " + std::to_string(r) + " Müller",
            "Note " + std::to_string(r % 977),
            "20" + std::to_string(10 + r % 15) + "-0" + std::to_string(1 + r % 9) + "-1" + std::to_string(r % 10),
            "2019-05-1" + std::to_string(r % 10) + "T13:30:00",
            r % 3 ? std::to_string(r / 4) + "." + std::to_string(25 * (r % 4)) : std::string(),
            r % 2 ? "TRUE" : "FALSE",
            std::string(),
            std::to_string(100000 + r % 100000),
        };
        for (int c = 0; c < kColumns; ++c)
            refs[size_t(c)] = s.strings.add(v[c]);
        s.appendRow(refs.data(), refs.size());
    }
    s.columnCount = kColumns;
    return s;
}

double seconds(QElapsedTimer& t)
{
    const double s = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    return s;
}

int runOnce(int rows, const QString& path)
{
    QList<int> columns;
    for (int c = 0; c < kColumns; ++c)
        columns << c;
    Data_From_Excel table;
    QString err;
    if (!table.importSheet(makeSheet(rows), columns, &err)) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(err));
        return 1;
    }
    Excel_Binding_Use = true;
    const qint64 tableKb = bench::peakResidentKb();

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

    bench::resetPeak();
    t.restart();
    std::optional<DesignData> back = designfile::load(path, &err);
    const double read = seconds(t);
    if (!back) {
        std::printf("%d %.3f %.3f %lld %lld %lld -1\n", rows, capture, write, static_cast<long long>(tableKb),
                    static_cast<long long>(savePeakKb), static_cast<long long>(QFileInfo(path).size()));
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
    std::printf("%d %.3f %.3f %lld %lld %lld %.3f %.3f %lld\n", rows, capture, write, static_cast<long long>(tableKb),
                static_cast<long long>(savePeakKb), static_cast<long long>(QFileInfo(path).size()), read, restore,
                static_cast<long long>(openPeakKb));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--run"))
        return runOnce(args[2].toInt(), args[3]);

    const bool keep = args.size() > 1;
    const QString folder = keep ? args[1] : QDir::tempPath();
    for (const int rows : {100000, 1000000}) {
        const QString path = QDir(folder).filePath(QStringLiteral("navu_bench_design_%1.kvto").arg(rows));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(app.applicationFilePath(), {QStringLiteral("--run"), QString::number(rows), path});
        const bool finished = child.waitForFinished(1800000) && child.exitCode() == 0;
        if (!keep)
            QFile::remove(path);
        if (!finished) {
            std::fprintf(stderr, "run failed\n");
            return 1;
        }
        const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
        std::printf("%7d rows x %d columns, table %.0f MB resident\n", rows, kColumns, f.value(3).toDouble() / 1024);
        std::printf("  save: snapshot %.3f s (GUI thread), write %.3f s (worker); peak %.0f MB; file %.0f MB\n",
                    f.value(1).toDouble(), f.value(2).toDouble(), f.value(4).toDouble() / 1024,
                    f.value(5).toDouble() / 1e6);
        if (f.value(6) == "-1")
            std::printf("  open: refused\n");
        else
            std::printf("  open: read %.3f s (worker), restore %.3f s (GUI thread); peak %.0f MB\n",
                        f.value(6).toDouble(), f.value(7).toDouble(), f.value(8).toDouble() / 1024);
        std::fflush(stdout);
    }
    return 0;
}
