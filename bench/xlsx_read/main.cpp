// Reads a 100,000-row x 10-column workbook (made by our writer) into the data table and, in the same run,
// times the bare inflation of the parts the reader needs. Prints cells per second and the ratio.

#include "data/Data_From_Excel.h"
#include "data/XlsxReader.h"
#include "data/XlsxWriter.h"
#include "data/ZipArchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int kRows = 100000;
constexpr int kColumns = 10;
constexpr int kRuns = 5;

QList<QStringList> makeRows()
{
    QList<QStringList> rows;
    rows.reserve(kRows + 1);
    QStringList header;
    for (int c = 0; c < kColumns; ++c)
        header << QStringLiteral("Field %1").arg(c + 1);
    rows << header;
    for (int r = 0; r < kRows; ++r) {
        QStringList row;
        row.reserve(kColumns);
        row << QStringLiteral("Guest %1").arg(r) << QString::number(r) << QStringLiteral("%1").arg(r, 6, 10, QChar('0'))
            << QString::number(r * 0.25) << QStringLiteral("Street %1, Town").arg(r % 977)
            << QStringLiteral("guest%1@example.org").arg(r) << QString::number(1000000 + r * 7)
            << (r % 2 ? QStringLiteral("yes") : QStringLiteral("no")) << QStringLiteral("Zoë 日本 %1").arg(r % 13)
            << QString::number(r % 100);
        rows << row;
    }
    return rows;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    QString err;
    if (!XlsxWriter::WriteWorkbook(path, makeRows(), &err)) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(err));
        return 1;
    }
    if (qEnvironmentVariableIsSet("KEEP")) QFile::copy(path, "/tmp/bench.xlsx");
    const qint64 cells = qint64(kRows + 1) * kColumns;
    QList<int> columns;
    for (int c = 0; c < kColumns; ++c)
        columns << c;

    qint64 bestRead = std::numeric_limits<qint64>::max();
    qint64 bestInflate = std::numeric_limits<qint64>::max();
    qint64 inflated = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer t;
        t.start();
        XlsxReader reader;
        if (!reader.open(path, &err)) {
            std::fprintf(stderr, "open failed: %s\n", qPrintable(err));
            return 1;
        }
        auto sheet = reader.readSheet(0, &err);
        Data_From_Excel table;
        if (!sheet || !table.importSheet(std::move(*sheet), columns, &err) || table.rowCountOfTable() != kRows) {
            std::fprintf(stderr, "read failed: %s\n", qPrintable(err));
            return 1;
        }
        bestRead = qMin(bestRead, t.nsecsElapsed());

        t.restart();
        ZipReader zip;
        zip.openFile(path);
        for (const char* part : {"_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                 "xl/sharedStrings.xml", "xl/styles.xml", "xl/worksheets/sheet1.xml"})
            zip.read(QString::fromLatin1(part));
        bestInflate = qMin(bestInflate, t.nsecsElapsed());
        inflated = zip.inflatedTotal();
    }
    const double readS = bestRead / 1e9;
    const double inflateS = bestInflate / 1e9;
    std::printf("workbook: %d rows x %d columns (%lld cells), %.1f MB of XML\n", kRows + 1, kColumns,
                static_cast<long long>(cells), inflated / 1e6);
    std::printf("read into the data table: %.3f s  -> %.2f million cells/s\n", readS, cells / readS / 1e6);
    std::printf("bare inflation of the same parts: %.3f s\n", inflateS);
    std::printf("ratio read/inflate: %.2f\n", readS / inflateS);
    return 0;
}
