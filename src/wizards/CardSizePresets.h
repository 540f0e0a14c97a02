#pragma once

// The card-size table of the card settings: categories with named sizes in inches, plus a custom size
// in millimetres. Sizes are listed landscape (width >= height); the orientation picks the final shape.

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

struct CardSizePreset {
    QString category;
    QString subCategory; // the size's title as listed, e.g. "5 x 7 in"
    double longInches;   // longer side
    double shortInches;  // shorter side
};

namespace cardsize {

inline constexpr double PointsPerInch = 72.0;
inline constexpr double PointsPerMillimetre = 2.834645669291;
inline constexpr double MillimetresPerPoint = 0.3527777777778;
// Bounds of a custom size (millimetres), so that a card always fits the canvas and the printer.
inline constexpr double MinCustomMillimetres = 10.0;
inline constexpr double MaxCustomMillimetres = 1000.0;

inline const QString Horizontal = QStringLiteral("Horizontal");
inline const QString Vertical = QStringLiteral("Vertical");
inline const QString CustomCategory = QStringLiteral("Custom");

const QList<CardSizePreset>& presets();
// Categories in table order, "Custom" last.
QStringList categories();
// The sizes of one category in table order (empty for "Custom" and unknown names).
QList<CardSizePreset> presetsOf(const QString& category);
// Size in points for the orientation (Vertical: portrait, anything else landscape).
QSizeF sizeInPoints(const CardSizePreset& preset, const QString& orientation);
// Custom size: millimetres to points; nothing when a side is out of bounds or not a number.
std::optional<QSizeF> customSizeInPoints(double widthMm, double heightMm);
// The index of a preset within its category, -1 when not found.
int indexOf(const QString& category, const QString& subCategory);

} // namespace cardsize

struct Card_Property;

// The card size and shape chosen in the start wizard.
struct CardChoice {
    QString category;
    QString subCategory;
    int catIndex = -1;
    QString orientation = cardsize::Horizontal;
    QSizeF size = QSizeF(504, 360);      // points
    QString shape = QStringLiteral("R"); // "R", "RR", "E"

    // Writes size, orientation, category, shape and creation mode "W" into a side's record.
    void applyTo(Card_Property& record) const;
    // The Card_Shape number of the shape code: 0 rectangle, 1 rounded rectangle, 2 ellipse.
    int shapeNumber() const;
};
