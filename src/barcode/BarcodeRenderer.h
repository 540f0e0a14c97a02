#pragma once

// Draws a barcode with its texts: a linear barcode (background, bars, value text, header, footer) or a
// ready 2-D picture framed with header and footer. Drawing goes onto any QPainter whose user units are
// points with the origin at the top-left corner of the drawing; the image and PDF functions set that up.
// Everything is read from the barcode object and the style passed in, so any thread may draw.

#include "barcode/BarcodeStyle.h"
#include "barcode/BarcodeUnits.h"
#include "barcode/NKDBarcode.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace BarcodeRenderer {

// Largest image side and pixel count an image function makes.
constexpr int kMaxImageSide = 16384;
constexpr qint64 kMaxImagePixels = 64LL * 1024 * 1024;

// Size of the drawing of a linear barcode, in points: the widest of bars, shown header and shown footer
// by the barcode's height.
QSizeF viewSize(const NKDBarcode& barcode);

// Draws a linear barcode. With `pixelsPerPoint` > 0 (a raster target at that scale) bar edges fall on
// whole device pixels. Texts reaching past `textClip` (points of the drawing; null: none) are cut
// at its edges; the bars never are.
void drawLinearBarcode(QPainter& painter, const NKDBarcode& barcode, const BarcodeStyle& style,
                       qreal pixelsPerPoint = 0, const QRectF& textClip = QRectF());
// Draws a 2-D picture in its frame (white background, header above, footer below); a header or footer wider
// than the frame is set smaller, down to 5 points, and with `clipTexts` cut at the frame's edges where even
// that is too wide (the picture never is).
void drawBarcodePicture(QPainter& painter, const QImage& picture, const TwoDFrame& frame,
                        const BarcodeStyle& style, qreal pixelsPerPoint = 0, bool clipTexts = false);

// Raster image of a linear barcode at about `dpi`: each module is a whole number of pixels (at least
// one) and bars are drawn without smoothing. A null image and a reason when it cannot be made.
QImage imageFromBarcode(const NKDBarcode& barcode, const BarcodeStyle& style, int dpi,
                        QString* reason = nullptr);
// The same image drawn through QPainter and drawLinearBarcode (imageFromBarcode writes the pixels directly
// when the background and bar colours are opaque, and must give these pixels).
QImage paintedImageFromBarcode(const NKDBarcode& barcode, const BarcodeStyle& style, int dpi,
                               QString* reason = nullptr);
// Raster image of a framed 2-D picture; each picture pixel becomes a whole number of image pixels.
QImage imageFromBarcodeImage(const QImage& picture, const TwoDFrame& frame, const BarcodeStyle& style,
                             int dpi, QString* reason = nullptr);

// Vector PDF of the whole drawing (one page of the drawing's size in points).
QByteArray pdfFromBarcode(const NKDBarcode& barcode, const BarcodeStyle& style);
QByteArray pdfFromBarcodeImage(const QImage& picture, const TwoDFrame& frame, const BarcodeStyle& style);

// Size of a picture in points from its resolution (72 dpi when it has none).
QSizeF pictureSizePoints(const QImage& picture);

} // namespace BarcodeRenderer
