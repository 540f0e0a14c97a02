#pragma once

#include "data/StringPool.h"
#include "data/ZipArchive.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One worksheet as read: rows keep their sheet positions from the first row that holds a value to the last
// one (rows in between that hold none are empty rows), and cells keep their columns (index 0 is column A).
// Rows and columns that hold no value at all (formatting only) are left out at the ends. Rows are not
// padded: a cell beyond a row's width is empty. Cells are kept compactly: one 32-bit reference per cell
// into the sheet's own strings or the workbook's shared strings.
struct SheetData {
    static constexpr quint32 kSharedBit = 0x80000000u; // the reference is a shared-string index

    int columnCount = 0;    // one past the last column that holds a value
    int firstRowNumber = 1; // sheet row number of row 0
    QStringList warnings;   // what the user should know about this read, each said once

    int rowCount() const { return int(rowEnds.size()); }
    QString cell(int row, int column) const;
    std::string_view cellView(int row, int column) const;
    int rowWidth(int row) const;

    // A sheet holding these rows (tests and small tables); the column count is the widest row's.
    static SheetData fromRows(const QList<QStringList>& rows);
    // Appends a row of references.
    void appendRow(const quint32* refs, size_t count);
    size_t memoryBytes() const;

    std::shared_ptr<const StringPool> sharedStrings; // the workbook's shared strings
    StringPool strings;                              // the sheet's own values
    PodBuffer<quint32> cells;                        // references, row after row
    PodBuffer<quint32> rowEnds;                      // rowEnds[r]: end of row r in cells
};

namespace xlsx {
class NumberFormat;
}

struct SheetInfo {
    QString name;     // the tab's name
    QString partName; // e.g. "xl/worksheets/sheet2.xml"
};

// Reads xlsx workbooks (Office Open XML spreadsheets) in memory: the workbook's sheet list in tab order and
// the cells of any worksheet as text. Numbers come as their cells show them (their number format, with the
// decimal and thousands separators of the user's locale); numbers in the General format with at most 15
// significant digits and no exponent; booleans as TRUE/FALSE, formula cells as their cached value.
class XlsxReader {
public:
    static QString notReadableMessage() { return QStringLiteral("The file is not a readable xlsx workbook."); }

    XlsxReader();
    explicit XlsxReader(const ZipReader::Limits& limits);
    ~XlsxReader();

    // Opens the package and reads the workbook, relationships, shared strings and styles. On failure
    // *error holds notReadableMessage() followed by the reason on a new line. stop, when set from another
    // thread, ends the reading early (false, with an empty *error).
    bool open(const QString& path, QString* error = nullptr, const std::atomic<bool>* stop = nullptr);
    bool openData(const QByteArray& bytes, QString* error = nullptr);

    const QList<SheetInfo>& sheets() const { return _sheets; }
    QStringList sheetNames() const;
    int sharedStringCount() const { return _shared ? int(_shared->count()) - 1 : 0; }

    // Limits that keep a small file from making the reader allocate without bound.
    static constexpr qint64 MaxSheetCells = 20000000;   // used range, rows x columns
    static constexpr qint64 MaxSharedStrings = 5000000;

    // All rows of sheet `index` (tab order, from 0). The part is read as it is inflated. stop, when set
    // from another thread, ends the read early (nothing, with an empty *error).
    std::optional<SheetData> readSheet(int index, QString* error = nullptr, const std::atomic<bool>* stop = nullptr);
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

private:
    bool load(QString* error);
    bool cancelled(QString* error);
    bool fail(QString* error, const QString& why);
    bool readSharedStrings(const QString& part, QString* why);
    bool readStyles(const QString& part, QString* why);

    ZipReader _zip;
    QList<SheetInfo> _sheets;
    std::shared_ptr<StringPool> _shared; // entry i + 1 is shared string i
    std::vector<xlsx::NumberFormat> _formats; // each number format the styles use, but General
    std::vector<qint32> _styleFormats;        // per cellXfs index: into _formats, -1 for General
    bool _date1904 = false;
    bool _textFormats = false;                // some format has a section for text cells
    std::string _decimal = ".";               // the user's decimal separator, for General numbers
    std::string _true = "TRUE", _false = "FALSE"; // boolean cells in the user's language
    QStringList _warnings;                    // about the workbook, said with every sheet read
    const std::atomic<bool>* _stop = nullptr; // of the open in progress
    bool _cancelled = false;
};
