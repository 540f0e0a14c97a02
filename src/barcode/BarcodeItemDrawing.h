#pragma once

// Barcode items drawn for the device they land on: vector bars and modules on printers and PDF, whole-pixel
// modules generated at the image's own resolution on raster images. The item's frame decides the size;
// bars never get narrower than the chosen module width, 2-D modules stay square and the symbol is centred.
// Screens get whole-pixel drawings at the view's scale, cached for repaints. Any thread may draw.

#include "barcode/BarcodeStyle.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;
class SKTGraphic;

namespace BarcodeItemDrawing {

// The value an item's barcode shows: a data row's value filled in by a run, else the item's own content.
QString itemValue(const SKTGraphic& item);

// Why the item's style cannot show the value as a barcode; empty when it can. Builds the symbol but draws
// nothing, so a run can check each row's value cheaply.
QString valueProblem(const SKTGraphic& item, const QString& value);

// Natural size in points of the item's drawing (bars or symbol with texts and margins); empty when the
// item's value gives no barcode.
QSizeF naturalSize(const SKTGraphic& item);
// The same for a style and value (the style's own header and footer).
QSizeF naturalSize(const BarcodeStyle& style, const QString& value);

// Draws the item's barcode into its bounds. rasterScale > 0: device pixels per point, modules on whole
// pixels of an unrotated painter; 0: vectors. False when no barcode can be made of the value.
bool drawItemBarcode(QPainter& painter, const SKTGraphic& item, qreal rasterScale);

// The symbol painter SKTBarcode::draw calls: raster images, screens and vector devices.
bool drawForDevice(QPainter& painter, const SKTGraphic& item);

// Registers drawForDevice and naturalSize with the canvas's barcode items. Idempotent.
void install();

// Quiet zone of a symbology in modules (10 for Code 128, Code 39, ITF and Codabar; 4 QR, 2 PDF417,
// 1 Data Matrix); 0 where none applies (postal codes).
int quietZoneModules(const BarcodeStyle& style);
// The margins of a new barcode item: left/right (and for 2-D codes top/bottom, header and footer) set to
// the quiet zone of its symbology and value.
void applyQuietZoneMargins(SKTGraphic& item);
// After a change of symbology: when the style's margins are still those a new item of `previous`'s
// symbology and content gets, they become the new symbology's; margins set by hand stay. True when changed.
bool followQuietZoneMargins(BarcodeStyle& style, const BarcodeStyle& previous);
// Sets up a new barcode item: quiet-zone margins, its image, and its natural size at its place. False when
// its content gives no barcode (the item is left as it was).
bool setUpNewItem(SKTGraphic& item);
// A short warning for the designer, empty when none: a margin narrower than the quiet zone, or a QR Code or
// Data Matrix module smaller than 0.19 mm (7.5 mil) at the chosen size.
QString quietZoneWarning(const BarcodeStyle& style, const QString& value);

} // namespace BarcodeItemDrawing
