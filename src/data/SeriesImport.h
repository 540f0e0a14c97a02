#pragma once

// What the series import wizard, the sheet dialogs and the series manager decide, without windows:
// reading text, RTF and CSV sources into values, picture folders, sheet columns, and where the values go
// (a new series file or the manager's value list).

#include "data/PooledValues.h"
#include "data/XlsxReader.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace SeriesImport {

// Messages of the import dialogs.
inline QString corruptMessage() {
    return QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
}
inline QString unreadableMessage() {
    return QStringLiteral("Please select a valid file.");
}
inline QString accessErrorMessage() {
    return QStringLiteral("Error in file accessing.");
}
// accessErrorMessage() and, on a line of its own, why the file could not be read or written.
QString accessErrorMessage(const QString& reason);
// The reason alone of a text that may begin with accessErrorMessage().
QString accessErrorReason(const QString& error);
inline QString replaceQuestion() {
    return QStringLiteral("Batch Processing Series already exists. Do you want to replace it?");
}
inline QString emptyPasteMessage() {
    return QStringLiteral("Please enter some data.");
}
inline QString listEmptyMessage() {
    return QStringLiteral("List is empty.");
}
inline QString unclosedQuoteMessage(int line) {
    return QStringLiteral("The file has a quote that is never closed (line %1).").arg(line);
}
inline QString noValuesMessage() {
    return QStringLiteral("No values were found in the file.");
}
// A file whose values cannot be held; reason says why.
QString tooLargeMessage(const QString& reason);

// True when some value holds more than blanks: an import without one creates no series.
bool hasValues(const QStringList& values);
bool hasValues(const PooledValues& values);

// Largest text source that is read (the size of the largest series file).
constexpr qint64 MaxSourceBytes = 256LL * 1024 * 1024;

// Removes every backslash, "{" and "}", then trims with Trim_Str.
QString chk_and_insert_validation(const QString& text);

enum class TextKind { Plain, Rtf, Csv };
// The kind by the path's extension, case ignored: "csv", "rtf", anything else plain text.
TextKind textKindOfPath(const QString& path);

// The plain text of an RTF document: paragraphs become line feeds, tabs, escapes (\'hh, \uN) and
// groups are resolved, font and colour tables, pictures and other destinations are left out.
// Nothing when the bytes are not RTF.
std::optional<QString> rtfToText(const QByteArray& bytes);

// True when the user's locale writes decimal numbers with a comma.
bool localeUsesDecimalComma();

// The field separator of CSV text (UTF-8): comma, semicolon or tab, or 0 when the file is one column.
// Excel's first line "sep=X" names it (X may be any printable character), and *recordsStart is then where
// the records begin. Otherwise, counted outside quotes over the first records: a candidate must stand in
// the header and split at least half of the records. The header is the first record, or, when that holds
// no candidate at all (a title line), the first record that separates as a table does: a candidate outside
// quotes not followed by a blank (a comma neither between two digits nor in "5,-"). A comma between two
// digits is a decimal comma when its number holds no other ("1,5", not "1,2,3"), so is a comma after a
// digit before dashes that no digit follows ("5,-"), and decimal commas do not separate when the semicolon
// or tab explains the file, or when they are the only commas and decimalComma is set;
// of the candidates left, the one that splits the most records into the same number of fields wins, a tie
// going to the tab, then to the semicolon when decimalComma is set, else to the wider split.
char csvSeparator(QByteArrayView text, bool decimalComma, qsizetype* recordsStart = nullptr);

// Values of a text source given as UTF-8. CSV: records read by the standard rules with the separator that
// csvSeparator finds under the user's locale: fields separated by it, records by CR, LF or CR LF; a field
// in double quotes may hold separators and line breaks (kept as LF), and "" stands for one quote. Every
// field is cleaned and delivered unless empty; a field holding "NSFont = " ends its record; a quote that
// is never closed gives no values and unclosedQuoteMessage() in *error.
// Plain text and RTF text: lines at line feeds, each cleaned; a line holding "NSFont = " ends the import.
PooledValues textValues(QByteArrayView utf8, TextKind kind, QString* error = nullptr);
// The same for text, as a list.
QStringList valuesOfText(const QString& text, TextKind kind, QString* error = nullptr);

struct TextImport {
    PooledValues values;
    QString error; // the message for the user when the source gave nothing
    QString note;  // how the text was read, when the user should know (textEncodingNote)
};
// Reads and parses a text, RTF or CSV file; text and CSV files are read by textFileToUtf8's rules. A file
// that cannot be read gives unreadableMessage(); one that gives no text gives corruptMessage(), one without
// values noValuesMessage(); one over MaxSourceBytes, or whose values do not fit in memory, tooLargeMessage().
TextImport importTextFile(const QString& path);

// Pasted text: trimmed as a whole, split at line feeds. In file mode blank lines are skipped and other
// lines kept as they stand; in list mode every line goes on (the value list drops empty ones).
// Nothing when the trimmed text is empty (emptyPasteMessage()).
std::optional<QStringList> valuesOfPastedText(const QString& text, bool fileMode);

// Accepted picture extensions (lower case).
const QStringList& pictureExtensions();
// Sorts file names as a file manager lists them: by the locale's collation, case ignored, digit runs
// compared as numbers ("2" before "10").
void sortNaturally(QStringList& names, const QLocale& locale = QLocale());

// Full paths of the pictures directly in folder (no sub-folders; entries that are folders are left out),
// in the order of sortNaturally. stop, when set, ends the listing early;
// progress is told the number of entries looked at so far.
QStringList pictureFolderValues(const QString& folder, const std::atomic<bool>* stop = nullptr,
                                const std::function<void(int)>& progress = {});

// --- new series files ---

// The checked name of a new series typed by the user: reserved characters removed, then the name must be
// a safe file name. Empty and *problem set when it is not.
QString seriesNameOfTyped(const QString& typed, QString* problem = nullptr);

// What the user is told when a typed or header name had to change to become a series name; empty when
// the name stands as typed (blanks around it aside).
QString seriesNameChangeNote(const QString& typed, const QString& name);
// A series name made from a sheet column's title: reserved characters and separators left out. Empty when
// nothing usable is left.
QString seriesNameOfHeader(const QString& header);

// Writes a new series file: the name is checked, an existing series is replaced only after the user said
// "Yes" to replaceQuestion(); the file itself is replaced atomically, so a failure leaves the old one.
enum class SaveResult { Saved, Declined, BadName, Failed };
SaveResult saveNewSeries(const QString& typedName, const QStringList& values, QString* message = nullptr);
// The first half of saveNewSeries: checks the name and asks before replacing. Saved means "go ahead and
// write *name"; nothing is written here.
SaveResult checkNewSeriesTarget(const QString& typedName, QString* name, QString* message = nullptr);

// --- sheets ---

// Column rows of a sheet: one per sheet column of the first row, in order, titled with
// XlsxReader::headerTitles (a blank title shows as "Untitled Column %d", so rows and columns stay aligned).
QStringList sheetColumnTitles(const SheetData& sheet);

// Cells of the ticked columns (sheet positions), row by row, from the second row when containsHeader,
// trimmed; empty cells are left out unless keepEmpty.
PooledValues sheetValuesRowByRow(const SheetData& sheet, const QList<int>& columns, bool containsHeader,
                                 bool keepEmpty = false);
// The cells of one column from the second row when containsHeader, trimmed; empty cells kept as empty.
PooledValues sheetColumnValues(const SheetData& sheet, int column, bool containsHeader);

// The data table made from a sheet: titles from the first row whatever containsHeader says (row-number
// title first), rows from the second row when containsHeader, numbered from 1. Nothing when no row
// would be made or no column is ticked; *error says why.
struct TableContent {
    QStringList titles;
    QList<QStringList> rows;
};
std::optional<TableContent> tableOfSheet(const SheetData& sheet, const QList<int>& columns,
                                         bool containsHeader, const QString& rowNumberTitle,
                                         QString* error = nullptr);

// Reads one sheet of a workbook (safe on any thread); stop, when set, ends the read early.
struct SheetRead {
    QStringList sheetNames;
    std::shared_ptr<const SheetData> sheet;
    QString error;
    bool stopped = false;
};
SheetRead readWorkbookSheet(const QString& path, int sheetIndex, const std::atomic<bool>* stop = nullptr);

} // namespace SeriesImport
