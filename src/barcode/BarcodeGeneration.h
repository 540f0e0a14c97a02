#pragma once

// Barcode generation: one re-entrant function of (style, value, header, footer) that gives an image or
// the reason why there is none. It reads nothing but its arguments, so the designer's preview, the
// inspector and the per-row fill of print, export and mail jobs all call it, on any thread.

#include "barcode/BarcodeStyle.h"
#include "barcode/NKDBarcode.h"
#include "barcode/twod/TwoDImages.h"

#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>

class SKTGraphic;

// Longest linear value, header or footer text accepted.
constexpr int kMaxBarcodeTextLength = 500;
// Most characters a 2-D symbology can hold at all (digits in its largest symbol): QR Code 7,089, PDF417
// 2,710, Data Matrix 3,116; 0 for an index outside the 2-D list. Whether a value fits its chosen size and
// level is the encoder's answer.
int twoDCapacity(int index);

struct BarcodeResult {
    QImage image;   // null when no barcode could be made
    QString reason; // why not, for the user
    bool ok() const { return !image.isNull(); }
};

struct LinearBarcodeBuild {
    std::unique_ptr<NKDBarcode> barcode; // set up with texts, fonts, margins, height and width
    QString reason;                      // why there is no barcode
};

// The barcode image of the value with the style's symbology, texts, sizes, fonts and colours.
BarcodeResult generateBarcode(const BarcodeStyle& style, const QString& value, const QString& header,
                              const QString& footer);

// The linear barcode object for the value (linear styles only), ready to draw. A one-piece value text
// wider than `textRoom` points (0: the drawing's own width) is set smaller to fit (NKDBarcode::fitCaption).
LinearBarcodeBuild Generate_Barcode_Variable(const BarcodeStyle& style, const QString& value,
                                             const QString& header, const QString& footer, qreal textRoom = 0);

struct TwoDPicture {
    QImage image;      // the bare symbol at the style's resolution
    QSizeF sizePoints; // the size it stands for
    QString reason;    // why there is none
};

// The 2-D encoders' parameters as a style gives them (the style's dpi included).
QrParams qrParamsOf(const BarcodeStyle& s);
Pdf417Params pdf417ParamsOf(const BarcodeStyle& s);
DataMatrixParams dataMatrixParamsOf(const BarcodeStyle& s);

// The bare 2-D symbol for the value (2-D styles only), before header, footer and margins are added.
TwoDPicture Generate_2D_Picture(const BarcodeStyle& style, const QString& value);

// The image for one value; same as generateBarcode.
BarcodeResult Get_Image_From_Val(const BarcodeStyle& style, const QString& value, const QString& header,
                                 const QString& footer);

// The image of a bound barcode item for one data row: the item's own style, the row's value (trimmed)
// and the item's header and footer.
BarcodeResult Get_Item_Barcode_For_Value(const SKTGraphic& item, const QString& value);
// The image of a barcode item for its own content (linear or 2-D, as its mode says).
BarcodeResult Get_Item_Barcode(const SKTGraphic& item);
