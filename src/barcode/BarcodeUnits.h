#pragma once

// Units and sizes of barcode drawings, as pure functions. Sizes and margins of a style are in the unit
// of `barcode_unit_val` (0 inch, 1 centimetre, 2 millimetre); bar widths in mils; results in points.

#include "barcode/BarcodeStyle.h"
#include "barcode/NKDBarcode.h"

#include <QSizeF>

namespace BarcodeUnits {

// A length in the unit to points (one centimetre is 0.393701 inch).
float unitToPoints(double value, int unit);
// Mils (thousandths of an inch) to points: 20 mils give 1.44 points.
float milsToPoints(float mils);
// The five margins in points; a hidden text's margin is 0.
BarcodeMargins marginsInPoints(const BarcodeStyle& style);
// The bar height in points.
float barHeightPoints(const BarcodeStyle& style);
// Text height (1.35 times the cap height) in inches.
float textHeightInches(const QFont& font);

} // namespace BarcodeUnits

// Sets the barcode's total height: the bar height (the symbology's own where its standard fixes it) plus
// the shown value text, header and footer with their margins, plus twice the top and bottom margin.
void Set_Barcode_Height(NKDBarcode& barcode, const BarcodeStyle& style);
// The total width of a linear barcode drawing: the widest of bars, shown header and shown footer, plus
// twice the left and right margin and 15 points more when that margin is positive.
float Set_Linear_Barcode_Width(const NKDBarcode& barcode, const BarcodeStyle& style);

// Layout of a framed 2-D code picture: the picture with the header above and the footer below.
struct TwoDFrame {
    QString header;
    QString footer;
    bool printsHeader = false;
    bool printsFooter = false;
    float headerHeight = 0; // inches
    float footerHeight = 0; // inches
    float headerWidth = 0;  // points
    float footerWidth = 0;
    QSizeF imageSize; // points
    float width = 0;  // whole drawing, points
    float height = 0;
};

// The frame of a 2-D picture of `imageSize` points with the style's texts, fonts and margins.
TwoDFrame twoDFrame(const BarcodeStyle& style, const QSizeF& imageSize, const QString& header,
                    const QString& footer);
