#include "data/XlsxWriter.h"

#include <QLocale>
#include "common/FileHelpers.h"

#include "data/ZipArchive.h"


namespace {
const char kMainNs[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

bool isXmlChar(char32_t u)
{
    return u == 0x9 || u == 0xA || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD) ||
           (u >= 0x10000 && u <= 0x10FFFF);
}

bool looksLikeEscape(QStringView s, qsizetype i)
{
    if (i + 6 >= s.size() || s[i] != u'_' || s[i + 1] != u'x' || s[i + 6] != u'_')
        return false;
    for (int k = 2; k < 6; ++k) {
        if (!isxdigit(s[i + k].unicode() < 128 ? int(s[i + k].unicode()) : 0))
            return false;
    }
    return true;
}

// Appends text as XML character data. Characters XML cannot carry (and CR, which parsers fold) are
// written as _xHHHH_; a literal _xHHHH_ is protected by escaping its underscore.
void appendText(QByteArray& out, QStringView s, bool attribute = false)
{
    QString buf;
    buf.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            buf.append(c);
            buf.append(s[++i]);
            continue;
        }
        if (c.isSurrogate() || !isXmlChar(u) || u == 0xD || (attribute && (u == 0x9 || u == 0xA))) {
            buf.append(QStringLiteral("_x%1_").arg(uint(u), 4, 16, QChar(u'0')).toUpper().replace(u'X', u'x'));
            continue;
        }
        if (looksLikeEscape(s, i)) {
            buf.append(QStringLiteral("_x005F_"));
            continue;
        }
        switch (u) {
        case u'&': buf.append(QStringLiteral("&amp;")); break;
        case u'<': buf.append(QStringLiteral("&lt;")); break;
        case u'>': buf.append(QStringLiteral("&gt;")); break;
        case u'"':
            if (attribute) {
                buf.append(QStringLiteral("&quot;"));
                break;
            }
            [[fallthrough]];
        default: buf.append(c);
        }
    }
    out.append(buf.toUtf8());
}

QByteArray contentTypes()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "<Override PartName=\"/docProps/app.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
        "</Types>");
}

QByteArray packageRels()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"xl/workbook.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" "
        "Target=\"docProps/app.xml\"/>"
        "</Relationships>");
}

QByteArray appProps()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
        "<Application>NAVU Photo Frame</Application></Properties>");
}

QByteArray workbookRels()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId3\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
        "Target=\"sharedStrings.xml\"/>"
        "</Relationships>");
}

QByteArray workbook(const QString& sheetName)
{
    QByteArray out = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                       "<workbook xmlns=\"");
    out += kMainNs;
    out += "\" xmlns:r=\"";
    out += kRelNs;
    out += "\"><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets><sheet name=\"";
    appendText(out, sheetName, true);
    out += "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    return out;
}

// Style 1 is the text format "@", so spreadsheet programs keep strings such as "00042" as typed.
QByteArray styles()
{
    QByteArray out = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                       "<styleSheet xmlns=\"");
    out += kMainNs;
    out += "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Liberation Sans\"/><family val=\"2\"/></font>"
           "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
           "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "</styleSheet>";
    return out;
}
} // namespace

QString XlsxWriter::ColumnIndexToName(int column)
{
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

bool XlsxWriter::isPlainNumber(QStringView s)
{
    qsizetype i = 0;
    if (i < s.size() && s[i] == u'-')
        ++i;
    const qsizetype intStart = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && s[intStart] == u'0'))
        return false;
    qsizetype fracDigits = 0;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        const qsizetype fracStart = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
            ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0 || s[i - 1] == u'0')
            return false; // "7." and "7.50" would not read back as typed
    }
    if (i != s.size())
        return false;
    qsizetype significant = intDigits + fracDigits;
    if (s[intStart] == u'0') {
        if (fracDigits == 0)
            return intStart == 0; // "0" yes, "-0" no
        significant = fracDigits;
        for (qsizetype k = intStart + 2; k < s.size() && s[k] == u'0'; ++k)
            --significant;
    }
    return significant <= 15;
}

QByteArray XlsxWriter::buildWorkbook(const QList<QStringList>& rows, const QString& sheetName)
{
    int columns = 1;
    for (const QStringList& r : rows)
        columns = qMax(columns, int(r.size()));
    const int rowCount = qMax(1, int(rows.size()));
    QStringList colNames;
    for (int c = 1; c <= columns; ++c)
        colNames << ColumnIndexToName(c);
    const QByteArray lastCell = (colNames.last() + QString::number(rowCount)).toLatin1();

    QByteArray sheet;
    sheet.reserve(rows.size() * columns * 32 + 1024);
    sheet += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
    sheet += kMainNs;
    sheet += "\" xmlns:r=\"";
    sheet += kRelNs;
    sheet += "\"><dimension ref=\"A1:" + lastCell + "\"/>";
    sheet += "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
             "<sheetFormatPr defaultRowHeight=\"15\"/>";
    sheet += "<cols><col min=\"1\" max=\"" + QByteArray::number(columns) + "\" width=\"24\" customWidth=\"1\"/></cols>";
    sheet += "<sheetData>";

    QByteArray sst;
    qint64 stringCount = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QByteArray rowNo = QByteArray::number(r + 1);
        sheet += "<row r=\"" + rowNo + "\">";
        const QStringList& row = rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString& v = row[c];
            sheet += "<c r=\"";
            sheet += colNames[c].toLatin1();
            sheet += rowNo;
            if (isPlainNumber(v)) {
                sheet += "\"><v>";
                sheet += v.toLatin1();
                sheet += "</v></c>";
                continue;
            }
            sheet += "\" s=\"1\" t=\"s\"><v>";
            sheet += QByteArray::number(stringCount++);
            sheet += "</v></c>";
            const bool keepSpace = !v.isEmpty() && (v.front().isSpace() || v.back().isSpace());
            sst += keepSpace ? "<si><t xml:space=\"preserve\">" : "<si><t>";
            appendText(sst, v);
            sst += "</t></si>";
        }
        sheet += "</row>";
    }
    sheet += "</sheetData><pageMargins left=\"0.75\" right=\"0.75\" top=\"1\" bottom=\"1\" header=\"0.5\" "
             "footer=\"0.5\"/></worksheet>";

    QByteArray strings = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"");
    strings += kMainNs;
    strings += "\" count=\"" + QByteArray::number(stringCount) + "\" uniqueCount=\"" +
               QByteArray::number(stringCount) + "\">";
    strings += sst;
    strings += "</sst>";

    ZipWriter zip;
    zip.addFile(QStringLiteral("[Content_Types].xml"), contentTypes());
    zip.addFile(QStringLiteral("_rels/.rels"), packageRels());
    zip.addFile(QStringLiteral("docProps/app.xml"), appProps());
    zip.addFile(QStringLiteral("xl/workbook.xml"), workbook(sheetName));
    zip.addFile(QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels());
    zip.addFile(QStringLiteral("xl/styles.xml"), styles());
    zip.addFile(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    zip.addFile(QStringLiteral("xl/sharedStrings.xml"), strings);
    return zip.finish().value_or(QByteArray());
}

bool XlsxWriter::WriteWorkbook(const QString& path, const QList<QStringList>& rows, QString* error)
{
    // Beyond the sheet's grid spreadsheet programs would have to repair or cut the file.
    qsizetype columns = 0;
    for (const QStringList& r : rows)
        columns = qMax(columns, r.size());
    if (rows.size() > MaxRows || columns > MaxColumns) {
        if (error)
            *error = QStringLiteral("A workbook sheet holds at most %1 rows and %2 columns.").arg(MaxRows).arg(MaxColumns);
        return false;
    }
    // Spreadsheet programs cut or refuse a cell longer than this.
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (const QString& v : rows[r]) {
            if (v.size() > MaxCellLength) {
                if (error)
                    *error = QStringLiteral("The value in row %1 holds %2 characters; a spreadsheet cell holds at "
                                            "most 32,767.")
                                 .arg(r + 1)
                                 .arg(QLocale(QLocale::English).toString(v.size()));
                return false;
            }
        }
    }
    const QByteArray bytes = buildWorkbook(rows);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The workbook could not be built.");
        return false;
    }
    QString why;
    if (!writeFileAtomically(path, bytes, &why)) {
        if (error)
            *error = QStringLiteral("The workbook could not be written to %1: %2").arg(path, why);
        return false;
    }
    return true;
}

QString XlsxWriter::seriesValueProblem(const QStringList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i].size() > MaxCellLength)
            return QStringLiteral("The value in row %1 of the series holds %2 characters; a spreadsheet cell holds "
                                  "at most 32,767.")
                .arg(i + 1)
                .arg(QLocale(QLocale::English).toString(values[i].size()));
    }
    return {};
}

bool XlsxWriter::writeSeriesWorkbook(const QString& path, const QStringList& values, QString* error)
{
    const QString problem = seriesValueProblem(values);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    QList<QStringList> rows;
    rows.reserve(values.size() + 1);
    rows.append(QStringList{SeriesHeader});
    for (const QString& v : values)
        rows.append(QStringList{v});
    return WriteWorkbook(path, rows, error);
}
