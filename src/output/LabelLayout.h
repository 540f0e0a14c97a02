#pragma once

// Label-sheet layout: where each card of a sheet goes. Pure functions over one value type, so the print
// dialog, the sheet preview and the printed pages all place labels the same way.
//
// Coordinates are points (1/72 inch) with the origin at the paper's top-left corner, y downward.

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

float Points_to_MM_Convert(double points);
float MM_to_Points_Convert(double millimetres);

struct PrintLayout {
    QSizeF paper;      // W x H
    QMarginsF margins; // unprintable margins of the sheet (left, top, right, bottom)
    QSizeF card;       // one card side as drawn
    QSizeF label;      // label_width x label_hight for one card as set in the dialog; empty: the card
    int rows = 1;      // Print_Row
    int cols = 1;      // Print_Col
    qreal hgap = 0;    // horz_mar: gap between columns (auto-centre: the computed equal spacing)
    qreal vgap = 0;    // vert_mar: gap between rows
    int align = 1;     // label_align_val: 1 top-left ... 9 bottom-right, row by row
    bool autoCenter = false;
    QString side = QStringLiteral("F"); // Print_Card_Side: "F", "B" or "BOTH"
    QString arrangement =
        QStringLiteral("U"); // Print_Card_Algn with "BOTH": "U" front above back, "L" beside

    bool bothSides() const { return side == QLatin1String("BOTH"); }
    // One label cell: the label size, doubled in height ("U") or width ("L") when both sides are shown.
    QSizeF cell() const;
    QSizeF usable() const;
    int perSheet() const { return qMax(1, rows) * qMax(1, cols); }
    // The block of all cells of a sheet, gaps between them.
    QSizeF block() const;
};

// The layout rule: rows and columns cut to what fits the usable area (never below 1); with auto-centre the
// gaps become the equal spacing between the margins and the labels. Gaps typed by hand stay as typed.
PrintLayout Check_Max_Cell_Value(PrintLayout layout);

// Sheets for a number of labels: labels / (rows x columns), rounded up.
int labelPageCount(int labels, int rows, int cols);

// The cell of row r and column c (from 0) on a sheet.
QRectF labelCellRect(const PrintLayout& layout, int row, int col);

// Where the card sides are drawn in a cell. A card larger than its cell keeps the cell's left and bottom
// edges and reaches beyond it to the right and upward.
struct LabelCardRects {
    QRectF front; // null when only the back is shown
    QRectF back;  // null when only the front is shown
};
LabelCardRects labelCardRects(const PrintLayout& layout, const QRectF& cell);

// What one label covers: its cell and the card(s) drawn in it, with the cell's top-left at the origin.
QSizeF labelExtent(const PrintLayout& layout);
// What the labels of one sheet cover, cells and cards together.
QRectF sheetExtent(const PrintLayout& layout);

// Why labels laid out like this cannot be printed, empty when they can: a label larger than the paper, or
// centred labels reaching into the printer's unprintable margins.
QString labelSizeProblem(const PrintLayout& layout);

// The boxes the sheet preview shows: one per cell (the whole cell, or its upper or left half with both
// sides), plus a back box beside or below it with both sides. Captions "Frame n" / "Back n".
struct PreviewBox {
    QRectF rect;
    QString caption;
    bool back = false;
};
QList<PreviewBox> previewBoxes(const PrintLayout& layout);
