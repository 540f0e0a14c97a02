#pragma once

// Decisions of the barcode designer that need no window: texts of labels, the content check, size floors
// of the 2-D settings, the pop-up positions of the symbologies and the check made before OK.

#include "barcode/BarcodeStyle.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace BarcodeDesigner {

// "%@ ( %0.2f )": the font's family and its point size with two decimals.
QString fontLabelText(const QFont& font);

// A number as the designer's text fields show it: whole for whole-number settings, else six digits at most.
QString formatNumber(double v, bool integer);

// Unit labels: the bar-height label and the margin box title for a unit (0 inch, 1 cm, 2 mm); the 2-D
// kinds have no unit on the bar labels.
QString barHeightLabelText(bool twoD, int unit);
QString barWidthLabelText(bool twoD);
QString marginBoxTitle(int unit);
QString unitName(int unit); // "in", "cm", "mm"

// A length in points shown in the unit: "5.76 cm".
double pointsToUnit(double points, int unit);
// "163.35 × 60.00 pt (5.76 × 2.12 cm)"
QString drawingSizeText(const QSizeF& points, int unit);

// Content check of the preview and OK: not empty; a linear value also 7-bit ASCII only (each symbology
// then checks its own character set), while QR Code, PDF417 and Data Matrix take any text. The reason when
// refused.
bool contentAcceptable(const QString& content, bool twoD, QString* reason = nullptr);

// Smallest QR image side for a version-list index (0 "Auto" gives 21, "V40" 177).
int qrSizeFloor(int versionIndex);
// Smallest Data Matrix width and height for a format title ("C8X18" rows 8, columns 18) and module size;
// an empty size for "Auto" or a title that does not parse.
QSize dataMatrixSizeFloor(const QString& formatTitle, int moduleSize);

// Position of a symbology in the one pop-up: linear entries first, a separator, then the 2-D entries.
int popupPosition(int linearOr2d, int index);
// The (mode, index) of a pop-up position; false for the separator or a position outside the pop-up (such
// as the entry that stands for a stored symbology outside the lists).
bool popupEntry(int position, int* linearOr2d, int* index);
int popupCount();
// Position of the separator between the linear and the 2-D entries.
int popupSeparatorPosition();

// Whether the style's mode and index name an entry of the pop-up.
bool symbologyInPopup(int linearOr2d, int index);
// The entry shown for a stored symbology outside the lists.
QString unknownSymbologyTitle(int linearOr2d, int index);

// Whether the kerning (value spacing) option applies to the style's symbology.
bool kerningApplies(const BarcodeStyle& style);

// What OK does with the style the controls hold: accept it (it makes a barcode), or refuse with the
// message to show, leaving the item as it was.
struct OkDecision {
    bool accept = false;
    QString message;
    QImage image; // the barcode of the accepted style
};
OkDecision decideOk(const BarcodeStyle& style);

// Preview alignment list entries and their Qt alignment; centre for an unknown text.
const QStringList& previewAlignmentTitles();
Qt::Alignment previewAlignment(const QString& title);

// Entries of the QR error-correction list (stored index order: L, M, Q, H).
const QStringList& qrErrorCorrectionTitles();
// Entries of the QR version list: "Auto", "V1" .. "V40".
const QStringList& qrVersionTitles();
// Entries of the data-source list; the index is the item's data_source_type.
const QStringList& dataSourceTitles();

// Help texts of the 2-D settings and of the resolution: title and text for a help key ("qr_version",
// "qr_ec", "pdf_row", "pdf_col", "pdf_ec", "dm_format", "dm_encoding", "dpi").
QString helpTitle(const QString& key);
QString helpText(const QString& key);

} // namespace BarcodeDesigner
