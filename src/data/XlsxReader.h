#pragma once

#include "data/ZipArchive.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One worksheet as read: rows keep their sheet positions, counted from the first row the sheet holds
// (so an omitted row in between is an empty row), and cells keep their columns (index 0 is column A).
// Rows are not padded: a cell beyond a row's size is empty.
struct SheetData {
    QList<QStringList> rows;
    int columnCount = 0;   // one past the last column that holds a value
    int firstRowNumber = 1; // sheet row number of rows[0]

    QString cell(int row, int column) const;
    int rowCount() const { return int(rows.size()); }
};

struct SheetInfo {
    QString name;     // the tab's name
    QString partName; // e.g. "xl/worksheets/sheet2.xml"
};

// Reads xlsx workbooks (Office Open XML spreadsheets) in memory: the workbook's sheet list in tab order and
// the cells of any worksheet as text. Numbers come with at most 15 significant digits and no exponent,
// dates and times (recognised from the cell's number format) as ISO 8601, booleans as TRUE/FALSE, formula
// cells as their cached value.
class XlsxReader {
public:
    static QString notReadableMessage() { return QStringLiteral("The file is not a readable xlsx workbook."); }

    XlsxReader();
    explicit XlsxReader(const ZipReader::Limits& limits);

    // Opens the package and reads the workbook, relationships, shared strings and styles. On failure
    // *error holds notReadableMessage() followed by the reason on a new line.
    bool open(const QString& path, QString* error = nullptr);
    bool openData(const QByteArray& bytes, QString* error = nullptr);

    const QList<SheetInfo>& sheets() const { return _sheets; }
    QStringList sheetNames() const;
    const QStringList& sharedStrings() const { return _sharedStrings; }

    // All rows of sheet `index` (tab order, from 0).
    std::optional<SheetData> readSheet(int index, QString* error = nullptr);
    // The header titles of a sheet: the first row's texts trimmed, an empty one as "Untitled Column %d".
    static QStringList headerTitles(const SheetData& sheet);

    // Helpers with fixed rules, public for tests.
    static int columnIndex(QStringView letters);        // "A" -> 0, "AB" -> 27; -1 when not letters
    static QString columnName(int column);               // 0 -> "A", 27 -> "AB"
    static QString formatNumber(QByteArrayView text);    // plain decimal, <= 15 significant digits
    enum class DateKind : quint8 { None, Date, Time, DateTime };
    static DateKind dateKindOfFormat(int numFmtId, const QString& formatCode);
    static QString formatDate(double serial, DateKind kind, bool date1904);
    static QString decodeEscapes(const QString& text);   // _xHHHH_ escapes
    // Width of a zero-padding format ("00000" gives 5); 0 for any other format.
    static int zeroPadWidth(const QString& formatCode);

private:
    bool load(QString* error);
    bool fail(QString* error, const QString& why);
    bool readSharedStrings(QByteArray& bytes, QString* why);

    ZipReader _zip;
    QList<SheetInfo> _sheets;
    QStringList _sharedStrings;
    struct CellStyle {
        DateKind date = DateKind::None;
        quint8 zeroPad = 0; // "00000": integers shown with at least this many digits
    };
    std::vector<CellStyle> _styles; // per cellXfs index
    bool _date1904 = false;
};
