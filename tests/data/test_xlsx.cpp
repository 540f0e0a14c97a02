#include "XlsxTestPackage.h"
#include "data/XlsxReader.h"
#include "data/XlsxWriter.h"
#include "data/ZipArchive.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Rows padded to the column count, cells joined by "|".
QStringList dump(const SheetData& s)
{
    QStringList out;
    for (int r = 0; r < s.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < s.columnCount; ++c)
            cells << s.cell(r, c);
        out << cells.join(u'|');
    }
    return out;
}

QByteArray stylesWithFormats()
{
    return "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/>"
           "<numFmt numFmtId=\"165\" formatCode=\"&quot;dd&quot; 0.00\"/>"
           "<numFmt numFmtId=\"166\" formatCode=\"[Red]0.00\"/>"
           "<numFmt numFmtId=\"167\" formatCode=\"[h]:mm:ss\"/>"
           "<numFmt numFmtId=\"168\" formatCode=\"&quot;TRUE&quot;;&quot;TRUE&quot;;&quot;FALSE&quot;\"/>"
           "</numFmts>"
           "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
           "<xf numFmtId=\"165\"/><xf numFmtId=\"20\"/><xf numFmtId=\"166\"/><xf numFmtId=\"167\"/>"
           "<xf numFmtId=\"2\"/><xf numFmtId=\"168\"/></cellXfs>";
}

// Offset of the central-directory record of an entry.
qsizetype centralRecord(const QByteArray& zip, const QByteArray& name)
{
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
        const int nameLen = quint8(zip[at + 28]) | (quint8(zip[at + 29]) << 8);
        if (zip.mid(at + 46, nameLen) == name)
            return at;
    }
    return -1;
}

void patch32(QByteArray& zip, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        zip[at + i] = char((v >> (8 * i)) & 0xFF);
}

quint32 read32(const QByteArray& zip, qsizetype at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(zip[at + i]);
    return v;
}

// Changes a field of an entry in both its local header and its central-directory record, so that the
// two agree and only the data contradicts them. Offsets are those of the central record.
void patchEntry(QByteArray& zip, const QByteArray& name, int centralOffset, quint32 v)
{
    const qsizetype central = centralRecord(zip, name);
    const qsizetype local = read32(zip, central + 42);
    patch32(zip, central + centralOffset, v);
    patch32(zip, local + centralOffset - 2, v);
}
} // namespace

class TestXlsx : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void cells_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QByteArray>("shared");
        QTest::addColumn<QByteArray>("styles");
        QTest::addColumn<QStringList>("expected");
        const QByteArray noShared;
        const QByteArray noStyles;

        QTest::newRow("rich text: one entry per item, phonetic runs skipped")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>")
            << QByteArray("<si><r><t>Hel</t></r><r><rPr><b/></rPr><t>lo</t></r><rPh sb=\"0\" eb=\"1\"><t>ハ</t>"
                          "</rPh></si><si><t>next</t></si>")
            << noStyles << QStringList{"Hello|next"};
        QTest::newRow("shared index out of range or missing table")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c><c r=\"B1\" t=\"s\"><v>-1</v></c>"
                          "<c r=\"C1\"><v>1</v></c></row>")
            << QByteArray("<si><t>only</t></si>") << noStyles << QStringList{"||1"};
        QTest::newRow("no shared strings part")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>3</v></c></row>")
            << noShared << noStyles << QStringList{"|3"};
        QTest::newRow("inline strings")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>inline</t></is></c>"
                          "<c r=\"B1\" t=\"inlineStr\"><is><r><t>ri</t></r><r><t>ch</t></r></is></c></row>")
            << noShared << noStyles << QStringList{"inline|rich"};
        QTest::newRow("formulas give their cached value")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><f>1+1</f><v>2</v></c><c r=\"B1\" t=\"str\"><f>A1&amp;\"x\"</f>"
                          "<v>2x</v></c><c r=\"C1\"><f>NOW()</f></c></row>")
            << noShared << noStyles << QStringList{"2|2x"};
        QTest::newRow("booleans and errors")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"b\"><v>1</v></c><c r=\"B1\" t=\"b\"><v>0</v></c>"
                          "<c r=\"C1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c></row>")
            << noShared << noStyles << QStringList{"TRUE|FALSE|#DIV/0!"};
        QTest::newRow("numbers: 15 digits, an exponent from 10^15")
            << QByteArray("<row><c><v>0.30000000000000004</v></c><c><v>1E+20</v></c><c><v>1.5E-7</v></c>"
                          "<c><v>12345678901234567890</v></c><c><v>-0</v></c><c><v>7.5</v></c>"
                          "<c><v>123456789012345</v></c><c><v>-2.50</v></c></row>")
            << noShared << noStyles
            << QStringList{"0.3|1E+020|0.00000015|1.23456789012346E+019|0|7.5|123456789012345|-2.5"};
        QTest::newRow("escapes decoded")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is>"
                          "<t>x_x0041_</t></is></c></row>")
            << QByteArray("<si><t>a_x0009_b_x005F_x0041_</t></si>") << noStyles << QStringList{"a\tb_x0041_|xA"};
        QTest::newRow("no r attributes")
            << QByteArray("<row><c t=\"inlineStr\"><is><t>a</t></is></c><c><v>2</v></c></row>"
                          "<row><c><v>3</v></c></row>")
            << noShared << noStyles << QStringList{"a|2", "3|"};
        QTest::newRow("sparse rows keep their places")
            << QByteArray("<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"C2\"><v>3</v></c></row>"
                          "<row r=\"5\"><c r=\"B5\"><v>5</v></c></row>")
            << noShared << noStyles << QStringList{"1||3", "||", "||", "|5|"};
        QTest::newRow("empty styled cells do not widen the sheet")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"F1\" s=\"0\"/></row>")
            << noShared << noStyles << QStringList{"1"};
        QTest::newRow("references, CDATA, comments and empty elements")
            << QByteArray("<row r=\"1\"><!-- note --><c r=\"A1\" t=\"str\"><v>a &amp; b&#10;c&#x263A;</v></c>"
                          "<c r=\"B1\" t=\"str\"><v><![CDATA[<x>]]><!-- - -->&lt;</v></c><c r=\"C1\" t=\"s\">"
                          "<v> 0 </v></c><c r=\"D1\"/><c r=\"E1\" t=\"inlineStr\"><is><t>x &lt; y</t></is></c>"
                          "</row><row r='2'/><?pi?><row r=\"3\"><c r=\"A3\"><f>1+1</f><v>2</v></c><c t=\"b\">"
                          "<v/></c></row>")
            << QByteArray("<si><t>&quot;q&quot;</t><rPh><t>x</t></rPh></si>") << noStyles
            << QStringList{"a & b\nc\u263A|<x><|\"q\"||x < y", "||||", "2|FALSE|||"};
        QTest::newRow("dates and times from number formats")
            << QByteArray("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>46363</v></c><c r=\"B1\" s=\"2\"><v>46363.5625</v></c>"
                          "<c r=\"C1\" s=\"3\"><v>46363</v></c><c r=\"D1\" s=\"4\"><v>46363</v></c>"
                          "<c r=\"E1\" s=\"5\"><v>0.75</v></c><c r=\"F1\" s=\"6\"><v>46363</v></c>"
                          "<c r=\"G1\" s=\"7\"><v>1.5</v></c><c r=\"H1\" s=\"8\"><v>46363</v></c>"
                          "<c r=\"I1\" s=\"1\"><v>61</v></c><c r=\"J1\" s=\"1\"><v>46363.25</v></c></row>")
            << noShared << stylesWithFormats()
            << QStringList{"2026-12-07|2026-12-07 13:30|2026-12-07|dd 46363.00|18:00|46363.00|36:00:00|46363.00|"
                           "1900-03-01|2026-12-07"};
        QTest::newRow("rows and columns without values are no data")
            << QByteArray("<row r=\"1\" s=\"1\"><c r=\"A1\" s=\"1\"/></row>"
                          "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\" s=\"1\"/></row><row r=\"3\"/>"
                          "<row r=\"4\"><c r=\"B4\"><v>4</v></c></row><row r=\"5\"><c r=\"C5\" s=\"1\"/></row>"
                          "<row r=\"900000\" s=\"1\"><c r=\"XFD900000\" s=\"1\"/></row>")
            << noShared << stylesWithFormats() << QStringList{"1|", "|", "|4"};
        QTest::newRow("shared-string indexes are digits only")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1e0</v></c><c r=\"B1\" t=\"s\"><v>0x1</v></c>"
                          "<c r=\"C1\" t=\"s\"><v>1.0</v></c><c r=\"D1\" t=\"s\"><v>+1</v></c>"
                          "<c r=\"E1\" t=\"s\"><v>1</v></c><c r=\"F1\" t=\"s\"><v>99999999999</v></c></row>")
            << QByteArray("<si><t>zero</t></si><si><t>one</t></si>") << noStyles << QStringList{"||||one"};
        QTest::newRow("booleans as the spreadsheet shows them")
            << QByteArray("<row r=\"1\"><c r=\"A1\" s=\"9\"><v>1</v></c><c r=\"B1\" s=\"9\"><v>0</v></c>"
                          "<c r=\"C1\" t=\"b\"><v>true</v></c><c r=\"D1\" t=\"b\"><v>FALSE</v></c></row>")
            << noShared << stylesWithFormats() << QStringList{"TRUE|FALSE|TRUE|FALSE"};
        QTest::newRow("dates before 1900")
            << QByteArray("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>-31185</v></c><c r=\"B1\" s=\"2\"><v>-0.75</v></c></row>")
            << noShared << stylesWithFormats() << QStringList{"1814-08-13|1899-12-29 06:00"};
        QTest::newRow("control characters removed")
            << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a_x0000_b_x0007_\tc</t></is></c>"
                          "<c r=\"B1\" t=\"s\"><v>0</v></c></row>")
            << QByteArray("<si><t>x&#x1B;y</t></si>") << noStyles << QStringList{"ab\tc|xy"};
    }
    void cells()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QByteArray, shared);
        QFETCH(QByteArray, styles);
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(XlsxTestPackage::simple(rows, shared, styles).bytes(), &err), qPrintable(err));
        QCOMPARE(reader.sheetNames(), QStringList{"Data"});
        const auto sheet = reader.readSheet(0, &err);
        QVERIFY2(sheet, qPrintable(err));
        QTEST(dump(*sheet), "expected");
    }

    // A workbook naming thousands of formats is read without compiling more than a real one needs: the
    // styles beyond them show General.
    void manyFormats()
    {
        QByteArray formats, xfs = "<xf numFmtId=\"0\"/>", rows;
        for (int i = 0; i < 5000; ++i) {
            formats += "<numFmt numFmtId=\"" + QByteArray::number(164 + i) + "\" formatCode=\"0.00&quot;" +
                       QByteArray::number(i) + "&quot;\"/>";
            xfs += "<xf numFmtId=\"" + QByteArray::number(164 + i) + "\"/>";
        }
        rows = "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1.5</v></c><c r=\"B1\" s=\"5000\"><v>1.5</v></c></row>";
        XlsxReader reader;
        QVERIFY(reader.openData(
            XlsxTestPackage::simple(rows, {}, "<numFmts>" + formats + "</numFmts><cellXfs>" + xfs + "</cellXfs>").bytes()));
        const auto sheet = reader.readSheet(0);
        QVERIFY(sheet);
        QCOMPARE(dump(*sheet), QStringList{"1.500|1.5"});
    }

    // Styles, workbook and relationship parts are read as streams and bounded by what spreadsheet programs
    // allow: a format code past 255 characters reads as General, cell formats past 65,536 show General with a
    // warning, more than 10,000 sheets are refused.
    void boundedWorkbookParts_data()
    {
        QTest::addColumn<QByteArray>("styles");
        QTest::addColumn<int>("sheets");
        QTest::addColumn<QString>("shown"); // the first row, or the error
        QTest::addColumn<int>("warnings");
        const QByteArray longCode = "0." + QByteArray(100000, '#');
        QTest::newRow("code past 255 characters")
            << "<numFmts><numFmt numFmtId=\"164\" formatCode=\"" + longCode + "\"/></numFmts><cellXfs><xf/>"
                   "<xf numFmtId=\"164\"/><xf numFmtId=\"164\"/></cellXfs>"
            << 1 << "1.5|1.5" << 0;
        QByteArray xfs;
        for (int i = 0; i < 70000; ++i)
            xfs += "<xf numFmtId=\"2\"/>";
        QTest::newRow("cell formats past the limit")
            << "<cellStyleXfs><xf/></cellStyleXfs><cellXfs>" + xfs + "</cellXfs>" << 1 << "1.50|1.5" << 1;
        QTest::newRow("sheets past the limit") << QByteArray() << 10001 << "more than 10,000 sheets" << 0;
        // One element (here a comment) longer than any spreadsheet program writes is not held whole.
        QTest::newRow("element past 64 MB") << "<!--" + QByteArray(64 << 20, 'a') + "--><cellXfs><xf/></cellXfs>" << 1
                                            << "an element longer than 64 MB" << 0;
    }
    void boundedWorkbookParts()
    {
        QFETCH(QByteArray, styles);
        QFETCH(int, sheets);
        QFETCH(QString, shown);
        QFETCH(int, warnings);
        auto pkg = XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1.5</v></c><c r=\"B1\" s=\"69999\">"
                                           "<v>1.5</v></c></row>", {}, styles);
        if (sheets > 1) {
            QByteArray wb = "<workbook xmlns:r=\"r\"><sheets>", rels = "<Relationships>";
            for (int i = 1; i <= sheets; ++i) {
                const QByteArray n = QByteArray::number(i);
                wb += "<sheet name=\"S" + n + "\" r:id=\"rId" + n + "\"/>";
                rels += "<Relationship Id=\"rId" + n + "\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
            }
            pkg.replace("xl/workbook.xml", wb + "</sheets></workbook>");
            pkg.replace("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
        }
        XlsxReader reader;
        QString err;
        if (!reader.openData(pkg.bytes(), &err)) {
            QVERIFY2(err.contains(shown), qPrintable(err));
            return;
        }
        const auto sheet = reader.readSheet(0, &err);
        QVERIFY2(sheet, qPrintable(err));
        QCOMPARE(dump(*sheet), QStringList{shown});
        QCOMPARE(sheet->warnings.size(), warnings);
    }

    // Rows past the sheet's last row and values past its last column are said once.
    void overflowReported()
    {
        XlsxReader reader;
        QVERIFY(reader.openData(XlsxTestPackage::simple(
                                    "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFE1\"><v>2</v></c>"
                                    "<c r=\"XFF1\"><v>3</v></c></row><row r=\"1048576\"><c r=\"A1048576\"><v>4</v>"
                                    "</c></row><row r=\"1048577\"><c r=\"A1048577\"><v>5</v></c></row>"
                                    "<row r=\"1048578\"><c r=\"A1048578\"><v>6</v></c></row>")
                                    .bytes()));
        QString err;
        const auto sheet = reader.readSheet(0, &err);
        QVERIFY2(sheet, qPrintable(err));
        QCOMPARE(sheet->rowCount(), 1048576);
        QCOMPARE(sheet->cell(1048575, 0), QStringLiteral("4"));
        QCOMPARE(sheet->warnings, (QStringList{"Rows after row 1,048,576 were left out.",
                                               "Columns after column XFD were left out."}));
    }

    void headerTitles()
    {
        XlsxReader reader;
        QVERIFY(reader.openData(XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t> Name "
                                                        "</t></is></c><c r=\"C1\" t=\"inlineStr\"><is><t>City</t>"
                                                        "</is></c></row><row r=\"2\"><c r=\"D2\"><v>1</v></c></row>")
                                    .bytes()));
        const auto sheet = reader.readSheet(0);
        QVERIFY(sheet);
        QCOMPARE(XlsxReader::headerTitles(*sheet),
                 QStringList({"Name", "Untitled Column 2", "City", "Untitled Column 4"}));
    }

    void columnLetters_data()
    {
        QTest::addColumn<QString>("letters");
        QTest::addColumn<int>("index");
        QTest::newRow("A") << "A" << 0;
        QTest::newRow("Z") << "Z" << 25;
        QTest::newRow("AA") << "AA" << 26;
        QTest::newRow("AB") << "AB" << 27;
        QTest::newRow("AZ") << "AZ" << 51;
        QTest::newRow("ZZ") << "ZZ" << 701;
        QTest::newRow("AAA") << "AAA" << 702;
        QTest::newRow("XFD") << "XFD" << 16383;
    }
    void columnLetters()
    {
        QFETCH(QString, letters);
        QFETCH(int, index);
        QCOMPARE(XlsxReader::columnIndex(letters), index);
        QCOMPARE(XlsxReader::columnName(index), letters);
        QCOMPARE(XlsxWriter::ColumnIndexToName(index + 1), letters);
    }

    void cellLandsAtItsColumn()
    {
        XlsxReader reader;
        QVERIFY(reader.openData(
            XlsxTestPackage::simple("<row r=\"7\"><c r=\"AB7\"><v>1</v></c><c r=\"AAA7\"><v>2</v></c></row>").bytes()));
        const auto sheet = reader.readSheet(0);
        QCOMPARE(sheet->cell(0, 27), QStringLiteral("1"));
        QCOMPARE(sheet->cell(0, 702), QStringLiteral("2"));
        QCOMPARE(sheet->columnCount, 703);
        QCOMPARE(sheet->firstRowNumber, 7);
    }

    void dimensionIgnored()
    {
        auto pkg = XlsxTestPackage::simple({});
        pkg.replace("xl/worksheets/sheet1.xml",
                    "<worksheet xmlns=\"" + XlsxTestPackage::ns() + "\"><dimension ref=\"A1\"/><sheetData>"
                    "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"C1\"><v>3</v></c></row></sheetData></worksheet>");
        XlsxReader reader;
        QVERIFY(reader.openData(pkg.bytes()));
        QCOMPARE(dump(*reader.readSheet(0)), QStringList{"1||3"});
    }

    void prefixedNamespacesAndPartCase()
    {
        const QByteArray main = XlsxTestPackage::ns();
        const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
        XlsxTestPackage p;
        p.add("_rels/.rels", "<p:Relationships xmlns:p=\"http://schemas.openxmlformats.org/package/2006/"
                             "relationships\"><p:Relationship Id=\"rId1\" Type=\"" + rel +
                                 "/officeDocument\" Target=\"/XL/Book.xml\"/></p:Relationships>");
        p.add("xl/book.xml", "<x:workbook xmlns:x=\"" + main + "\" xmlns:rel=\"" + rel +
                                 "\"><x:sheets><x:sheet name=\"Second\" sheetId=\"2\" rel:id=\"r2\"/>"
                                 "<x:sheet name=\"First\" sheetId=\"1\" rel:id=\"r1\"/></x:sheets></x:workbook>");
        p.add("XL/_RELS/BOOK.XML.RELS",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"r1\" Type=\"" + rel + "/worksheet\" Target=\"Sheets/One.xml\"/>"
              "<Relationship Id=\"r2\" Type=\"" + rel + "/worksheet\" Target=\"./sheets/../sheets/two.xml\"/>"
              "<Relationship Id=\"r3\" Type=\"" + rel + "/sharedStrings\" Target=\"strings.xml\"/>"
              "</Relationships>");
        p.add("xl/Strings.XML", "<x:sst xmlns:x=\"" + main + "\"><x:si><x:t>shared</x:t></x:si></x:sst>");
        p.add("xl/sheets/one.xml", "<x:worksheet xmlns:x=\"" + main + "\"><x:sheetData><x:row x:r=\"1\">"
                                   "<x:c r=\"B1\" t=\"s\"><x:v>0</x:v></x:c></x:row></x:sheetData></x:worksheet>");
        p.add("xl/sheets/two.xml", "<worksheet xmlns=\"" + main + "\"><sheetData><row><c><v>2</v></c></row>"
                                   "</sheetData></worksheet>");
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(p.bytes(), &err), qPrintable(err));
        QCOMPARE(reader.sheetNames(), QStringList({"Second", "First"}));
        QCOMPARE(dump(*reader.readSheet(0)), QStringList{"2"});
        QCOMPARE(dump(*reader.readSheet(1)), QStringList{"|shared"});
    }

    // A worksheet or shared strings part that is not well formed is reported, not read in part.
    void malformedParts_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QByteArray>("shared");
        const QByteArray shared = "<sst><si><t>a</t></si></sst>";
        const QByteArray start = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c>";
        QTest::newRow("cut off after a tag") << start << shared;
        QTest::newRow("cut off in a tag") << start + "<c r=\"B1" << shared;
        QTest::newRow("unclosed comment") << start + "<!-- note</row></sheetData></worksheet>" << shared;
        QTest::newRow("unclosed CDATA") << start + "<c><v><![CDATA[1</v></c></row></sheetData></worksheet>" << shared;
        QTest::newRow("unquoted attribute") << QByteArray("<worksheet><sheetData><row r=1/></sheetData></worksheet>")
                                            << shared;
        QTest::newRow("shared strings cut off") << start + "</row></sheetData></worksheet>"
                                                << QByteArray("<sst><si><t>a</t></si><si><t>b");
    }
    void malformedParts()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(QByteArray, shared);
        auto pkg = XlsxTestPackage::simple({}, "<si/>");
        pkg.replace("xl/worksheets/sheet1.xml", sheet);
        pkg.replace("xl/sharedStrings.xml", shared);
        XlsxReader reader;
        QString err;
        if (reader.openData(pkg.bytes(), &err)) {
            QVERIFY(!reader.readSheet(0, &err));
            QVERIFY2(err.contains("xl/worksheets/sheet1.xml: malformed XML"), qPrintable(err));
        } else {
            QVERIFY2(err.contains("xl/sharedStrings.xml: malformed XML"), qPrintable(err));
            QVERIFY(QTest::currentDataTag() == QByteArray("shared strings cut off"));
        }
    }

    void utf16Parts()
    {
        const auto utf16 = [](const QString& xml) {
            return QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
        };
        auto pkg = XlsxTestPackage::simple({}, "<si/>");
        pkg.replace("xl/worksheets/sheet1.xml",
                    utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet><sheetData><row><c t=\"s\"><v>0</v>"
                          "</c><c><v>2.5</v></c></row></sheetData></worksheet>"));
        pkg.replace("xl/sharedStrings.xml", utf16(u"<sst><si><t>Zoë 日本</t></si></sst>"_qs));
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(pkg.bytes(), &err), qPrintable(err));
        const auto sheet = reader.readSheet(0, &err);
        QVERIFY2(sheet, qPrintable(err));
        QCOMPARE(dump(*sheet), QStringList{u"Zoë 日本|2.5"_qs});
    }

    void hostilePackages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good =
            XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<si><t>x</t></si>").bytes();
        QTest::newRow("not a zip") << QByteArray("This is plain text, not a workbook.\n") << "not a zip";
        QTest::newRow("empty file") << QByteArray() << "not a zip";
        QTest::newRow("archive without entries") << ZipWriter().finish().value_or(QByteArray()) << "zip";
        QTest::newRow("truncated") << good.left(good.size() / 2) << "not a zip";
        QTest::newRow("tail cut off") << good.left(good.size() - 10) << "no entries";
        QByteArray crc = good;
        patchEntry(crc, "xl/workbook.xml", 16, 0x12345678);
        QTest::newRow("checksum damaged") << crc << "checksum";
        // Data that ends before the size its headers give is checked all the same.
        QByteArray shortData = crc;
        const qsizetype wb = centralRecord(shortData, "xl/workbook.xml");
        patchEntry(shortData, "xl/workbook.xml", 24, read32(shortData, wb + 24) + 10);
        QTest::newRow("checksum damaged, data shorter than said") << shortData << "checksum";
        QByteArray enc = good;
        const qsizetype e = centralRecord(enc, "xl/workbook.xml");
        enc[e + 8] = char(enc[e + 8] | 1);
        QTest::newRow("encrypted part") << enc << "encrypted";
        QByteArray data = good;
        const qsizetype d = data.indexOf("PK\x03\x04", data.indexOf("xl/workbook.xml") - 40);
        for (qsizetype i = d + 60; i < d + 90 && i < data.size(); ++i)
            data[i] = char(data[i] ^ 0x5A);
        QTest::newRow("deflate data damaged") << data << "xl/workbook.xml";
        QByteArray cut = good;
        const qsizetype w = centralRecord(cut, "xl/workbook.xml");
        patchEntry(cut, "xl/workbook.xml", 20, read32(cut, w + 20) / 2);
        QTest::newRow("deflate data cut short") << cut << "xl/workbook.xml: damaged part";
        auto noWb = XlsxTestPackage::simple("");
        noWb.parts.removeIf([](const auto& p) { return p.first == "xl/workbook.xml"; });
        QTest::newRow("no workbook part") << noWb.bytes() << "missing part";
        auto badXml = XlsxTestPackage::simple("");
        badXml.replace("xl/workbook.xml", "<workbook><sheets>");
        QTest::newRow("malformed workbook") << badXml.bytes() << "malformed XML";
        auto escape = XlsxTestPackage::simple("");
        escape.replace("xl/_rels/workbook.xml.rels",
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                       "relationships/worksheet\" Target=\"../../../../etc/passwd\"/></Relationships>");
        QTest::newRow("target climbing out of the package") << escape.bytes() << "no worksheets";
    }
    void hostilePackages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        XlsxReader reader;
        QString err;
        QVERIFY(!reader.openData(bytes, &err));
        QVERIFY2(err.startsWith(XlsxReader::notReadableMessage()), qPrintable(err));
        QVERIFY2(err.contains(reason), qPrintable(err));
        QVERIFY(reader.sheets().isEmpty());
    }

    void zipSlipNamesAreOnlyNames()
    {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path() + "/");
        QDir(dir.path()).mkpath("a/b");
        QDir::setCurrent(dir.filePath("a/b"));
        auto pkg = XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
        pkg.add("../../evil.txt", "owned");
        pkg.add("/tmp/evil-absolute.txt", "owned");
        pkg.add("..\\..\\evil2.txt", "owned");
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(pkg.bytes(), &err), qPrintable(err));
        QCOMPARE(dump(*reader.readSheet(0)), QStringList{"1"});
        QDir::setCurrent(old);
        QVERIFY(!QFile::exists(dir.filePath("evil.txt")));
        QVERIFY(!QFile::exists(dir.filePath("evil2.txt")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void inflationLimits()
    {
        QByteArray big;
        for (int i = 0; i < 4000; ++i)
            big += "<row><c><v>1</v></c></row>";
        const QByteArray pkg = XlsxTestPackage::simple(big).bytes();
        ZipReader::Limits limits;
        limits.maxEntryBytes = 50000;
        {
            XlsxReader reader(limits);
            QString err;
            QVERIFY(reader.openData(pkg, &err));
            QVERIFY(!reader.readSheet(0, &err));
            QVERIFY2(err.contains("too large"), qPrintable(err));
        }
        // A header that understates the size must not get past the limit either.
        QByteArray lying = pkg;
        patchEntry(lying, "xl/worksheets/sheet1.xml", 24, 100);
        {
            XlsxReader reader(limits);
            QString err;
            QVERIFY(reader.openData(lying, &err));
            QVERIFY(!reader.readSheet(0, &err));
            QVERIFY2(err.contains("too large") || err.contains("checksum"), qPrintable(err));
        }
        limits.maxEntryBytes = 1 << 20;
        limits.maxTotalBytes = 50000;
        XlsxReader reader(limits);
        QString err;
        QVERIFY(reader.openData(pkg, &err));
        QVERIFY(!reader.readSheet(0, &err));
        QVERIFY2(err.contains("too large"), qPrintable(err));
    }

    // What the user is told about a read: formulas saved without their result, damaged shared-string
    // indexes; each once, however many cells.
    void warnings_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QByteArray("<row r=\"1\"><c r=\"A1\"><f>1+1</f><v>2</v></c>"
                                            "<c r=\"B1\" t=\"str\"><f>\"\"</f><v></v></c><c r=\"C1\" "
                                            "t=\"inlineStr\"><f>\"x\"</f><is><t>x</t></is></c></row>")
                              << QStringList();
        QTest::newRow("formulas without result")
            << QByteArray("<row r=\"1\"><c r=\"A1\"><f>SUM(B1:B2)</f><v></v></c><c r=\"B1\"><f>NOW()</f></c>"
                          "<c r=\"C1\"><v>3</v></c></row><row r=\"2\"><c r=\"A2\"><f>A1*2</f></c></row>")
            << QStringList{"3 cells hold formulas without a saved result; open and save the workbook in a "
                           "spreadsheet program first."};
        QTest::newRow("damaged shared-string index")
            << QByteArray("<row r=\"7\"><c r=\"A7\"><v>1</v></c><c r=\"B7\" t=\"s\"><v>1e3</v></c></row>")
            << QStringList{"Cell B7 refers to a shared string the workbook does not have; it was read as empty."};
        QTest::newRow("several damaged indexes")
            << QByteArray("<row r=\"1\"><c r=\"C1\" t=\"s\"><v>-1</v></c><c r=\"D1\" t=\"s\"><v>7</v></c></row>")
            << QStringList{"Cell C1 and 1 more cells refer to shared strings the workbook does not have; they were "
                           "read as empty."};
    }
    void warnings()
    {
        QFETCH(QByteArray, rows);
        XlsxReader reader;
        QVERIFY(reader.openData(XlsxTestPackage::simple(rows, "<si><t>a</t></si>").bytes()));
        const auto sheet = reader.readSheet(0);
        QVERIFY(sheet);
        QTEST(sheet->warnings, "expected");
    }

    // Limits are checked before anything large is kept, and the message names them.
    void sizeLimits()
    {
        XlsxReader far;
        QVERIFY(far.openData(XlsxTestPackage::simple("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                                     "<row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c></row>")
                                 .bytes()));
        QString err;
        QVERIFY(!far.readSheet(0, &err));
        QCOMPARE(err, QStringLiteral("The sheet \"Data\" is too large to read: its values reach row 1,048,576 and "
                                     "column XFD, more than 20,000,000 cells."));

        QByteArray bomb;
        bomb.reserve(5000001 * 5);
        for (int i = 0; i <= 5000000; ++i)
            bomb += "<si/>";
        XlsxReader strings;
        QVERIFY(!strings.openData(XlsxTestPackage::simple("<row/>", bomb).bytes(), &err));
        QCOMPARE(err, QStringLiteral("The workbook holds more than 5,000,000 shared strings, more than can be read."));

        // Stop ends the reading of a large part early, with nothing to say.
        QTemporaryDir dir;
        QFile f(dir.filePath("bomb.xlsx"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(XlsxTestPackage::simple("<row/>", bomb).bytes());
        f.close();
        const std::atomic<bool> stop{true};
        QVERIFY(!strings.open(f.fileName(), &err, &stop));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    }

    // Blank runs longer than the reading window (a unit of XML may be at most 64 MB): white space, comments,
    // processing instructions and empty elements between rows and between shared strings, and a row of
    // empty cells, are read past to the values after them; Stop ends such a read at the next window.
    void blankRunsAreRead_data()
    {
        QTest::addColumn<QByteArray>("blank");
        QTest::addColumn<int>("megabytes");
        QTest::addColumn<bool>("inRow");
        QTest::addColumn<bool>("inSharedStrings");
        QTest::newRow("white space") << QByteArray(" \n\t ") << 3 << false << true;
        QTest::newRow("comments") << QByteArray("<!---->") << 65 << false << false;
        QTest::newRow("processing instructions") << QByteArray("<?a?>") << 65 << false << true;
        QTest::newRow("empty elements") << QByteArray("<x/>") << 3 << false << true;
        QTest::newRow("empty cells") << QByteArray("<c/>") << 3 << true << false;
    }
    void blankRunsAreRead()
    {
        QFETCH(QByteArray, blank);
        QFETCH(int, megabytes);
        QFETCH(bool, inRow);
        QFETCH(bool, inSharedStrings);
        const QByteArray run = blank.repeated((qsizetype(megabytes) << 20) / blank.size());
        const QByteArray rows = inRow ? "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>" + run +
                                            "<c r=\"B1\"><v>5</v></c></row>"
                                      : "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>" + run +
                                            "<row r=\"2\"><c r=\"B2\"><v>5</v></c></row>";
        const QByteArray shared =
            "<si><t>Guest</t></si>" + (inSharedStrings ? run : QByteArray()) + "<si><t>Host</t></si>";
        const QByteArray pkg = XlsxTestPackage::simple(rows, shared).bytes();
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(pkg, &err), qPrintable(err));
        const auto sheet = reader.readSheet(0, &err);
        QVERIFY2(sheet, qPrintable(err));
        QCOMPARE(dump(*sheet), inRow ? QStringList{"Guest|5"} : (QStringList{"Guest|", "|5"}));
        QVERIFY(sheet->warnings.isEmpty());

        const std::atomic<bool> stop{true};
        QVERIFY(!reader.readSheet(0, &err, &stop));
        QVERIFY2(err.isEmpty(), qPrintable(err));
    }

    void farAwayCellsAreBounded()
    {
        QByteArray rows;
        for (int r = 1; r <= 2000; ++r)
            rows += "<row><c r=\"XFD" + QByteArray::number(r) + "\"><v>1</v></c></row>";
        XlsxReader reader;
        QVERIFY(reader.openData(XlsxTestPackage::simple(rows).bytes()));
        QString err;
        QVERIFY(!reader.readSheet(0, &err));
        QVERIFY2(err.contains("too large"), qPrintable(err));
    }

    void missingFile()
    {
        XlsxReader reader;
        QString err;
        QVERIFY(!reader.open("/nonexistent/book.xlsx", &err));
        QVERIFY(err.startsWith(XlsxReader::notReadableMessage()));
    }

    void plainNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("12") << "12" << true;
        QTest::newRow("7.5") << "7.5" << true;
        QTest::newRow("-3") << "-3" << true;
        QTest::newRow("0") << "0" << true;
        QTest::newRow("0.05") << "0.05" << true;
        QTest::newRow("15 digits") << "123456789012345" << true;
        QTest::newRow("16 digits") << "1234567890123456" << false;
        QTest::newRow("20 digits") << "12345678901234567890" << false;
        QTest::newRow("leading zeros") << "00042" << false;
        QTest::newRow("trailing zero") << "7.50" << false;
        QTest::newRow("comma") << "7,5" << false;
        QTest::newRow("exponent") << "1e5" << false;
        QTest::newRow("plus") << "+5" << false;
        QTest::newRow("minus zero") << "-0" << false;
        QTest::newRow("blank") << " 5" << false;
        QTest::newRow("dot") << "5." << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("arabic digits") << "١٢" << false;
    }
    void plainNumbers()
    {
        QFETCH(QString, text);
        QTEST(XlsxWriter::isPlainNumber(text), "number");
    }

    void seriesWorkbookParts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.xlsx");
        QVERIFY(XlsxWriter::writeSeriesWorkbook(path, {"12", "apple", "7.5"}));
        ZipReader zip;
        QVERIFY(zip.openFile(path));
        for (const char* part : {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                 "xl/styles.xml", "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
            QVERIFY2(zip.contains(part), part);
        const QByteArray sheet = *zip.read("xl/worksheets/sheet1.xml");
        QVERIFY(sheet.contains("<dimension ref=\"A1:A4\"/>"));
        QVERIFY(sheet.contains("<c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c>"));
        QVERIFY(sheet.contains("<c r=\"A2\"><v>12</v></c>"));
        QVERIFY(sheet.contains("<c r=\"A3\" s=\"1\" t=\"s\"><v>1</v></c>"));
        QVERIFY(sheet.contains("<c r=\"A4\"><v>7.5</v></c>"));
        const QByteArray sst = *zip.read("xl/sharedStrings.xml");
        QVERIFY(sst.contains("count=\"2\" uniqueCount=\"2\""));
        QVERIFY(sst.contains("<si><t>Batch Value</t></si><si><t>apple</t></si>"));

        QVERIFY(XlsxWriter::writeSeriesWorkbook(path, {}));
        ZipReader empty;
        QVERIFY(empty.openFile(path));
        QVERIFY(empty.read("xl/worksheets/sheet1.xml")->contains("<dimension ref=\"A1:A1\"/>"));
    }

    void writerReaderRoundTrip()
    {
        const QList<QStringList> rows = {
            {"Batch Value", "Other"},
            {"12", "00042"},
            {"apple", "12345678901234567890"},
            {"7.5", "  spaced  "},
            {"", "a & b < c > \"d\""},
            {"x_x0041_y", QString("tab\there\x01" "ctl")},
            {"Zoë 日本 😀", "-0"},
        };
        XlsxReader reader;
        QString err;
        QVERIFY2(reader.openData(XlsxWriter::buildWorkbook(rows), &err), qPrintable(err));
        const auto sheet = reader.readSheet(0);
        QVERIFY(sheet);
        QCOMPARE(sheet->rowCount(), rows.size());
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < 2; ++c) {
                // Control characters other than tab do not come back.
                QString expected = rows[r][c];
                QCOMPARE(sheet->cell(r, c), expected.remove(QChar(1)));
            }
        }
    }

    void failedWriteIsReported()
    {
        QTemporaryDir dir;
        QString err;
        QVERIFY(!XlsxWriter::writeSeriesWorkbook(dir.filePath("missing/folder/out.xlsx"), {"1"}, &err));
        QVERIFY(!err.isEmpty());
        QVERIFY(QDir().mkdir(dir.filePath("taken.xlsx")));
        QVERIFY(!XlsxWriter::writeSeriesWorkbook(dir.filePath("taken.xlsx"), {"1"}, &err));
        QVERIFY(!XlsxWriter::writeSeriesWorkbook(dir.filePath("big.xlsx"), QStringList(XlsxWriter::MaxRows), &err));
        QVERIFY(err.contains("at most"));
        QVERIFY(!QFile::exists(dir.filePath("big.xlsx")));
    }

    // A value longer than a cell holds is refused with its row; nothing is written.
    void overlongValueRefused()
    {
        QTemporaryDir dir;
        QString err;
        const QString path = dir.filePath("long.xlsx");
        QVERIFY(XlsxWriter::writeSeriesWorkbook(path, {"a", QString(32767, u'x')}, &err));
        QVERIFY(QFile::remove(path));
        QVERIFY(!XlsxWriter::writeSeriesWorkbook(path, {"a", "b", QString(32768, u'x')}, &err));
        QCOMPARE(err, QStringLiteral("The value in row 3 of the series holds 32,768 characters; a spreadsheet cell "
                                     "holds at most 32,767."));
        QVERIFY(!XlsxWriter::WriteWorkbook(path, {{"h"}, {"a", QString(40000, u'y')}}, &err));
        QCOMPARE(err, QStringLiteral("The value in row 2 holds 40,000 characters; a spreadsheet cell holds at most "
                                     "32,767."));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestXlsx)
#include "test_xlsx.moc"
