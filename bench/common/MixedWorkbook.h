#pragma once

// A mixed workbook of 10 columns for the benchmarks that read or keep a large sheet: numbers, most of them
// formatted, shared and inline strings, dates, booleans, blanks.

#include "data/ZipArchive.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <iterator>

namespace bench {

inline constexpr int kWorkbookColumns = 10;
inline const char* const kCities[] = {"Oslo", "Lima", "Nice", "Kyoto", "Zürich", "Québec", "Ōsaka", "Cork"};

inline QByteArray sharedStringsPart(int rows)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (int c = 0; c < kWorkbookColumns; ++c)
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
inline QByteArray sheetPart(int rows)
{
    const int cityBase = kWorkbookColumns;
    const int guestBase = kWorkbookColumns + int(std::size(kCities));
    QByteArray x;
    x.reserve(qsizetype(rows) * 330);
    x += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    x += "<row r=\"1\">";
    for (int c = 0; c < kWorkbookColumns; ++c)
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

// The package of one sheet "Guests" with shared strings, styles (those of sheetPart when empty) and the sheet.
inline bool writeWorkbook(const QString& path, const QByteArray& sharedStrings, const QByteArray& sheet,
                          QByteArray styles = {})
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
    if (styles.isEmpty())
        styles = "<styleSheet xmlns=\"" + ns + "spreadsheetml/2006/main\"><numFmts count=\"1\">"
                 "<numFmt numFmtId=\"164\" formatCode=\"000000\"/></numFmts><cellXfs count=\"5\">"
                 "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
                 "<xf numFmtId=\"4\"/></cellXfs></styleSheet>";
    w.addFile("xl/styles.xml", styles);
    w.addFile("xl/sharedStrings.xml", sharedStrings);
    w.addFile("xl/worksheets/sheet1.xml", sheet);
    const auto bytes = w.finish();
    QFile f(path);
    return bytes && f.open(QIODevice::WriteOnly) && f.write(*bytes) == bytes->size();
}

inline bool makeWorkbook(const QString& path, int rows)
{
    return writeWorkbook(path, sharedStringsPart(rows), sheetPart(rows));
}

// Blank workbooks: two values, and shared strings and a sheet that each unpack to `partBytes` honestly
// declared, nearly all of it blank: white space, empty cells (rows of 60 MB) or empty elements.
enum class Blanks { WhiteSpace, EmptyCells, EmptyElements };

inline bool makeBlankWorkbook(const QString& path, Blanks kind, qint64 partBytes = 500LL << 20)
{
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray sstHead = "<sst xmlns=\"" + main + "\"><si><t>Guest</t></si>", sstTail = "</sst>";
    const QByteArray sheetHead = "<worksheet xmlns=\"" + main + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\">"
                                 "<v>0</v></c></row>";
    const QByteArray sheetTail = "<row r=\"900000\"><c r=\"A900000\"><v>5</v></c></row></sheetData></worksheet>";
    const QByteArray unit = kind == Blanks::WhiteSpace ? " " : kind == Blanks::EmptyCells ? "<c/>" : "<x/>";
    const auto filled = [&](const QByteArray& head, const QByteArray& tail, bool inRows) {
        QByteArray x;
        x.reserve(partBytes);
        x += head;
        int row = 2;
        while (x.size() + tail.size() + 64 < partBytes) {
            const qint64 room = partBytes - x.size() - tail.size() - 64;
            if (!inRows) {
                x += unit.repeated(room / unit.size());
                break;
            }
            const QByteArray start = "<row r=\"" + QByteArray::number(row++) + "\">", end = "</row>";
            x += start + unit.repeated(qMin<qint64>(room, 60LL << 20) / unit.size()) + end;
        }
        return x + tail;
    };
    const bool cells = kind == Blanks::EmptyCells;
    return writeWorkbook(path, filled(sstHead, sstTail, false), filled(sheetHead, sheetTail, cells));
}

} // namespace bench
