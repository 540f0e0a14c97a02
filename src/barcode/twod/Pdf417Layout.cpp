#include "barcode/twod/Pdf417Layout.h"

namespace {
constexpr int kMaxCodewords = 928;
}

QString pdf417LayoutChoiceProblem(int rows, int columns) {
    if (rows != 0 && (rows < 3 || rows > 90))
        return QStringLiteral("A PDF417 symbol has 3 to 90 rows, not %1.").arg(rows);
    if (columns < 0 || columns > 30)
        return QStringLiteral("A PDF417 symbol has 1 to 30 columns, not %1.").arg(columns);
    if (rows > 0 && columns > 0 && rows * columns > kMaxCodewords)
        return QStringLiteral(
                   "A PDF417 symbol holds at most %1 codewords; %2 rows by %3 columns would be %4.")
            .arg(kMaxCodewords)
            .arg(rows)
            .arg(columns)
            .arg(rows * columns);
    return QString();
}

void pdf417ChooseLayout(pdf417::pdf417param& p, int rows, int columns) {
    p.options &= ~(pdf417::PDF417_FIXED_RECTANGLE | pdf417::PDF417_FIXED_COLUMNS | pdf417::PDF417_FIXED_ROWS);
    if (rows > 0 && columns > 0)
        p.options |= pdf417::PDF417_FIXED_RECTANGLE;
    else if (columns > 0)
        p.options |= pdf417::PDF417_FIXED_COLUMNS;
    else if (rows > 0)
        p.options |= pdf417::PDF417_FIXED_ROWS;
    if (rows > 0)
        p.codeRows = rows;
    if (columns > 0)
        p.codeColumns = columns;
}

QString pdf417LayoutProblem(const pdf417::pdf417param& p, int rows, int columns) {
    const bool rowsOk = rows == 0 || p.codeRows == rows;
    const bool columnsOk = columns == 0 || p.codeColumns == columns;
    if (rowsOk && columnsOk)
        return QString();
    // The encoder grew the symbol to hold the value.
    if (columns > 0 && p.codeColumns == columns)
        return QStringLiteral(
                   "With %1 columns the value needs %2 rows. Choose at least %2 rows, more columns, "
                   "or 0 (automatic).")
            .arg(columns)
            .arg(p.codeRows);
    if (columns > 0)
        return QStringLiteral("With %1 columns the value needs more than 90 rows. Choose more columns, or 0 "
                              "(automatic).")
            .arg(columns);
    return QStringLiteral(
               "With %1 rows the value needs more than 30 columns. Choose more rows, or 0 (automatic).")
        .arg(rows);
}
