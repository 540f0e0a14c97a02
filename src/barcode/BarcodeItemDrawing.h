#pragma once

// Barcode items drawn for the device they land on: vector bars and modules on whole printer dots on
// printers and PDF, whole-pixel modules generated at the image's own resolution on raster images. The
// item's frame decides the size: the symbol is drawn inside it, bars narrower than the chosen module width
// only where that does not fit, 2-D modules square, the symbol centred.
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

// Draws the item's barcode inside its bounds. rasterScale > 0: device pixels per point, modules on whole
// pixels of an unrotated painter (the chosen module where it fits, else the widest that fits; at least one
// pixel, so a symbol whose one-pixel modules do not fit is larger than its frame: see fitProblem); 0:
// vectors, fitted exactly. mayResample (zoomed-out screens): modules under a pixel are drawn to the frame.
// False when no barcode can be made of the value.
bool drawItemBarcode(QPainter& painter, const SKTGraphic& item, qreal rasterScale, bool mayResample = false);
// The same on paper (a printer or PDF whose device origin is the paper's corner): vectors whose modules
// are whole dots of a `dpi` printer, on its dot grid, fitted as on a raster image of that resolution.
bool drawItemBarcodeOnPaper(QPainter& painter, const SKTGraphic& item, int dpi);

// The resolution of the printer a thread draws on, for the paper devices it paints (printers, PDF files):
// kDefaultPaperDpi unless a PaperResolution is alive on the thread.
constexpr int kDefaultPaperDpi = 300;
int paperDpi();
class PaperResolution {
public:
    explicit PaperResolution(int dpi); // 0: the default
    ~PaperResolution();
    PaperResolution(const PaperResolution&) = delete;
    PaperResolution& operator=(const PaperResolution&) = delete;

private:
    int _previous;
};

// Why the item's symbol for the value cannot be drawn readably inside its frame on a device of
// `dotsPerPoint` pixels (or printer dots) per point (0: exact vectors); empty when it can. Linear: "the Code
// 39 value is too long for its frame." when the bars with the symbology's quiet zone need modules under
// one dot, or its value text does not fit even in 5-point letters; 2-D: "the QR Code does not fit its
// frame at 72 dpi." when whole-dot modules do not fit, "the QR Code has no room in its frame between its
// header and footer." when it is drawn over them at any resolution.
QString fitProblem(const SKTGraphic& item, const QString& value, qreal dotsPerPoint);
// "the QR Code needs at least 150 dpi to keep whole-pixel modules inside its frame".
QString twoDNeed(const QString& title, int dpi);
// The title of the item's symbology ("Code 39", "QR Code").
QString symbologyTitle(const SKTGraphic& item);
// The lowest resolution in dpi at which the item's 2-D symbol for the value fits its frame with modules of
// one pixel or more; 0 for linear items and values without a symbol; -1 when its header and footer leave
// the symbol no room at all.
int lowestFittingDpi(const SKTGraphic& item, const QString& value);
// The symbol painter SKTBarcode::draw calls: raster images, screens and vector devices.
bool drawForDevice(QPainter& painter, const SKTGraphic& item);
// How many screen drawings were made since the program started (a repaint of what was drawn before makes
// none while they fit the cache's memory).
qint64 screenDrawingsMade();

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

// The designer's one-line warning when the drawing (`drawingWidth` points) is wider than the card
// (`cardWidth` points; 0 when unknown); empty otherwise.
QString cardWidthWarning(qreal drawingWidth, qreal cardWidth);

} // namespace BarcodeItemDrawing
