// Reads a mixed workbook (numbers, most of them formatted, shared and inline strings, dates, booleans, blanks) of
// 10 columns at 100,000 and 1,000,000 rows into the data table. Each run is a child process of its own, so that its
// peak resident memory is its own; each run also times the bare inflation of the same parts. Prints the
// median of 3 runs: cells per second, peak resident memory, and the ratio of the read to bare inflation. Then reads
// three blank workbooks (two parts of 500 MB each of white space, empty cells or empty elements) and prints the
// median time of each against what it is allowed: 2 s per started 20 MB of its file.
//
//   bench_xlsx_read [folder]      the workbooks are made there once (default: the temporary folder)

#include "BenchSupport.h"
#include "MixedWorkbook.h"
#include "data/Data_From_Excel.h"
#include "data/XlsxReader.h"
#include "data/ZipArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kColumns = bench::kWorkbookColumns;
constexpr int kRuns = 3;

// One run in this process: read into the data table, then inflate the same parts bare.
int runOnce(const QString& path)
{
    QElapsedTimer t;
    t.start();
    XlsxReader reader;
    QString err;
    if (!reader.open(path, &err)) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(err));
        return 1;
    }
    auto sheet = reader.readSheet(0, &err);
    if (!sheet) {
        std::fprintf(stderr, "read failed: %s\n", qPrintable(err));
        return 1;
    }
    const qint64 cells = qint64(sheet->rowCount()) * kColumns;
    QList<int> columns;
    for (int c = 0; c < kColumns; ++c)
        columns << c;
    Data_From_Excel table;
    if (!table.importSheet(std::move(*sheet), columns, &err)) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(err));
        return 1;
    }
    const qint64 readNs = t.nsecsElapsed();
    // A value from the far end, so nothing is left unread.
    if (table.value(table.rowCountOfTable() - 1, 1).isEmpty())
        return 1;

    t.restart();
    ZipReader zip;
    zip.openFile(path);
    std::vector<char> buf(1 << 20);
    for (const char* part : {"_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml",
                             "xl/styles.xml", "xl/worksheets/sheet1.xml"}) {
        auto s = zip.openStream(QString::fromLatin1(part));
        while (s && s->read(buf.data(), qint64(buf.size())) > 0) {
        }
    }
    const qint64 inflateNs = t.nsecsElapsed();
    std::printf("%lld %lld %lld %lld %lld\n", static_cast<long long>(cells), static_cast<long long>(readNs),
                static_cast<long long>(inflateNs), static_cast<long long>(bench::peakResidentKb()),
                static_cast<long long>(zip.inflatedTotal()));
    return 0;
}

// A blank workbook read in this process: the time of opening it and reading its sheet, and what it unpacked.
int runBlank(const QString& path)
{
    QElapsedTimer t;
    t.start();
    XlsxReader reader;
    QString err;
    if (!reader.open(path, &err) || !reader.readSheet(0, &err)) {
        std::fprintf(stderr, "read failed: %s\n", qPrintable(err));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(t.nsecsElapsed()));
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::printWithPoint();
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--run"))
        return runOnce(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--blank"))
        return runBlank(args[2]);

    const QString folder = args.size() > 1 ? args[1] : QDir::tempPath();
    for (const int rows : {100000, 1000000}) {
        const QString path = QDir(folder).filePath(QStringLiteral("navu_bench_shown_%1.xlsx").arg(rows));
        if (!QFileInfo::exists(path)) {
            std::printf("making %s ...\n", qPrintable(path));
            std::fflush(stdout);
            if (!bench::makeWorkbook(path, rows)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
        std::vector<double> rates, peaks, ratios;
        double xmlMb = 0;
        for (int run = 0; run < kRuns; ++run) {
            QProcess child;
            child.start(app.applicationFilePath(), {QStringLiteral("--run"), path});
            if (!child.waitForFinished(600000) || child.exitCode() != 0) {
                std::fprintf(stderr, "run failed: %s\n", child.readAllStandardError().constData());
                return 1;
            }
            const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
            const double cells = f.value(0).toDouble();
            const double readS = f.value(1).toDouble() / 1e9;
            const double inflateS = f.value(2).toDouble() / 1e9;
            rates.push_back(cells / readS / 1e6);
            peaks.push_back(f.value(3).toDouble() / 1024.0);
            ratios.push_back(readS / inflateS);
            xmlMb = f.value(4).toDouble() / 1e6;
        }
        std::printf("%7d rows x %d columns (%.0f MB of XML): %.2f million cells/s, peak %.0f MB resident, "
                    "read/inflate %.2f  (median of %d runs)\n",
                    rows, kColumns, xmlMb, median(rates), median(peaks), median(ratios), kRuns);
        std::fflush(stdout);
    }

    // Workbooks whose two large parts honestly unpack to 500 MB each, nearly all blank: each is to be read
    // within 2 s per started 20 MB of its file.
    const std::pair<bench::Blanks, const char*> blanks[] = {{bench::Blanks::WhiteSpace, "white space"},
                                                            {bench::Blanks::EmptyCells, "empty cells"},
                                                            {bench::Blanks::EmptyElements, "empty elements"}};
    for (const auto& [kind, name] : blanks) {
        const QString path = QDir(folder).filePath(
            QStringLiteral("navu_bench_blank_%1.xlsx").arg(QString::fromLatin1(name).replace(' ', '_')));
        if (!QFileInfo::exists(path)) {
            std::printf("making %s ...\n", qPrintable(path));
            std::fflush(stdout);
            if (!bench::makeBlankWorkbook(path, kind)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
        std::vector<double> times;
        for (int run = 0; run < kRuns; ++run) {
            QProcess child;
            child.start(app.applicationFilePath(), {QStringLiteral("--blank"), path});
            if (!child.waitForFinished(600000) || child.exitCode() != 0) {
                std::fprintf(stderr, "run failed: %s\n", child.readAllStandardError().constData());
                return 1;
            }
            times.push_back(child.readAllStandardOutput().trimmed().toDouble() / 1e9);
        }
        const qint64 fileBytes = QFileInfo(path).size();
        const qint64 allowed = 2 * ((fileBytes + (20LL << 20) - 1) / (20LL << 20));
        std::printf("blank workbook, %s: %lld KB file, 1000 MB of XML: read in %.2f s, %lld s allowed  (median of %d "
                    "runs)\n",
                    name, static_cast<long long>(fileBytes / 1024), median(times), static_cast<long long>(allowed),
                    kRuns);
        std::fflush(stdout);
    }
    return 0;
}
