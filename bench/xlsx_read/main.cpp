// Reads a mixed workbook (numbers, most of them formatted, shared and inline strings, dates, booleans, blanks) of
// 10 columns at 100,000 and 1,000,000 rows into the data table. Each run is a child process of its own, so that its
// peak resident memory is its own; each run also times the bare inflation of the same parts. Prints the
// median of 3 runs: cells per second, peak resident memory, and the ratio of the read to bare inflation.
//
//   bench_xlsx_read [folder]      the workbooks are made there once (default: the temporary folder)

#include "BenchSupport.h"
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
constexpr int kColumns = 10;
constexpr int kRuns = 3;

const char* const kCities[] = {"Oslo", "Lima", "Nice", "Kyoto", "Zürich", "Québec", "Ōsaka", "Cork"};

QByteArray sharedStringsPart(int rows)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (int c = 0; c < kColumns; ++c)
        x += "<si><t>Field " + QByteArray::number(c + 1) + "</t></si>";
    for (const char* city : kCities)
        x += "<si><t>" + QByteArray(city) + "</t></si>";
    for (int r = 0; r < rows; ++r)
        x += "<si><t>Guest " + QByteArray::number(r) + " Müller</t></si>";
    x += "</sst>";
    return x;
}

// Columns: A number, B shared (8 cities), C shared (unique), D inline string, E date, F date and time,
// G decimal with thousands separators and two decimals (blank in every third row), H boolean, I blank,
// J number with a zero-padding format.
QByteArray sheetPart(int rows)
{
    const int cityBase = kColumns;
    const int guestBase = kColumns + int(std::size(kCities));
    QByteArray x;
    x.reserve(qsizetype(rows) * 330);
    x += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    x += "<row r=\"1\">";
    for (int c = 0; c < kColumns; ++c)
        x += "<c r=\"" + QByteArray(1, char('A' + c)) + "1\" t=\"s\"><v>" + QByteArray::number(c) + "</v></c>";
    x += "</row>";
    for (int r = 0; r < rows; ++r) {
        const QByteArray n = QByteArray::number(r + 2);
        x += "<row r=\"" + n + "\">";
        x += "<c r=\"A" + n + "\"><v>" + QByteArray::number(r + 1) + "</v></c>";
        x += "<c r=\"B" + n + "\" t=\"s\"><v>" + QByteArray::number(cityBase + r % int(std::size(kCities))) + "</v></c>";
        x += "<c r=\"C" + n + "\" t=\"s\"><v>" + QByteArray::number(guestBase + r) + "</v></c>";
        x += "<c r=\"D" + n + "\" t=\"inlineStr\"><is><t>Note " + QByteArray::number(r % 977) + "</t></is></c>";
        x += "<c r=\"E" + n + "\" s=\"1\"><v>" + QByteArray::number(40000 + r % 9000) + "</v></c>";
        x += "<c r=\"F" + n + "\" s=\"2\"><v>" + QByteArray::number(40000 + r % 9000) + ".5625</v></c>";
        if (r % 3)
            x += "<c r=\"G" + n + "\" s=\"4\"><v>" + QByteArray::number(r * 0.25, 'g', 12) + "</v></c>";
        x += "<c r=\"H" + n + "\" t=\"b\"><v>" + QByteArray(r % 2 ? "1" : "0") + "</v></c>";
        x += "<c r=\"J" + n + "\" s=\"3\"><v>" + QByteArray::number(r % 100000) + "</v></c>";
        x += "</row>";
    }
    x += "</sheetData></worksheet>";
    return x;
}

bool makeWorkbook(const QString& path, int rows)
{
    const QByteArray ns = "http://schemas.openxmlformats.org/";
    ZipWriter w;
    w.addFile("[Content_Types].xml", "<Types xmlns=\"" + ns + "package/2006/content-types\"/>");
    w.addFile("_rels/.rels", "<Relationships xmlns=\"" + ns + "package/2006/relationships\"><Relationship Id=\"rId1\" "
                             "Type=\"" + ns + "officeDocument/2006/relationships/officeDocument\" "
                             "Target=\"xl/workbook.xml\"/></Relationships>");
    w.addFile("xl/workbook.xml", "<workbook xmlns=\"" + ns + "spreadsheetml/2006/main\" xmlns:r=\"" + ns +
                                     "officeDocument/2006/relationships\"><sheets><sheet name=\"Guests\" "
                                     "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    const QByteArray rel = ns + "officeDocument/2006/relationships/";
    w.addFile("xl/_rels/workbook.xml.rels",
              "<Relationships xmlns=\"" + ns + "package/2006/relationships\">"
              "<Relationship Id=\"rId1\" Type=\"" + rel + "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
              "<Relationship Id=\"rId2\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/>"
              "<Relationship Id=\"rId3\" Type=\"" + rel + "styles\" Target=\"styles.xml\"/></Relationships>");
    w.addFile("xl/styles.xml", "<styleSheet xmlns=\"" + ns + "spreadsheetml/2006/main\"><numFmts count=\"1\">"
                               "<numFmt numFmtId=\"164\" formatCode=\"000000\"/></numFmts><cellXfs count=\"5\">"
                               "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
                               "<xf numFmtId=\"4\"/></cellXfs></styleSheet>");
    w.addFile("xl/sharedStrings.xml", sharedStringsPart(rows));
    w.addFile("xl/worksheets/sheet1.xml", sheetPart(rows));
    const auto bytes = w.finish();
    QFile f(path);
    return bytes && f.open(QIODevice::WriteOnly) && f.write(*bytes) == bytes->size();
}

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--run"))
        return runOnce(args[2]);

    const QString folder = args.size() > 1 ? args[1] : QDir::tempPath();
    for (const int rows : {100000, 1000000}) {
        const QString path = QDir(folder).filePath(QStringLiteral("navu_bench_shown_%1.xlsx").arg(rows));
        if (!QFileInfo::exists(path)) {
            std::printf("making %s ...\n", qPrintable(path));
            std::fflush(stdout);
            if (!makeWorkbook(path, rows)) {
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
    return 0;
}
