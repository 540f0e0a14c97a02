#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Writes xlsx workbooks built in code as complete packages (content types, relationships, workbook,
// styles, one worksheet, shared strings). A text becomes a number only when it is a plain decimal that
// reads back unchanged (no leading zeros, at most 15 significant digits); everything else is a string.
class XlsxWriter {
public:
    static inline const QString SeriesHeader = QStringLiteral("Batch Value");
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxCellLength = 32767; // characters (UTF-16 units), as spreadsheet programs count

    // The package bytes of one worksheet holding the rows (row 0 is the sheet's first row).
    static QByteArray buildWorkbook(const QList<QStringList>& rows, const QString& sheetName = QStringLiteral("Sheet1"));
    // Writes the rows atomically to path; false and a reason when the file could not be written or a value
    // is longer than a cell holds, naming its row (an existing file is then left as it was).
    static bool WriteWorkbook(const QString& path, const QList<QStringList>& rows, QString* error = nullptr);
    // A series as a one-column workbook under the header "Batch Value"; a value longer than a cell holds is
    // refused with its number in the series.
    static bool writeSeriesWorkbook(const QString& path, const QStringList& values, QString* error = nullptr);
    // What keeps a series from being a workbook (a value longer than a cell holds, with its row); empty
    // when nothing does.
    static QString seriesValueProblem(const QStringList& values);

    static bool isPlainNumber(QStringView text);
    static QString ColumnIndexToName(int column); // 1 -> "A", 27 -> "AA"
};
