#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;
struct Card_Property;

// Layouts of a side's background picture (fill style "I"), the entries of the card panel's layout list.
// Any other text stretches the picture over the card.
namespace CardImageLayout {
inline const QString Stretch = QStringLiteral("Stretch");
inline const QString Fit = QStringLiteral("Fit");   // whole picture, aspect kept, centred
inline const QString Fill = QStringLiteral("Fill"); // covers the card, aspect kept, centred
inline const QString Center = QStringLiteral("Center");
inline const QString Tile = QStringLiteral("Tile");
} // namespace CardImageLayout

// Outline of a card of the given shape (0 rectangle, 1 rounded rectangle with radius 10, 2 ellipse).
QPainterPath cardOutline(int cardShape, const QRectF& cardRect);

// Paints the base of a card side: white in the card's outline, then the side's fill (solid, gradient at the
// integer angle, hatch over its background colour, or the background picture), nothing more when the fill is
// off. The outline comes from cardRect (the whole card); passRect only clips. The side's alpha is already in
// its colours. Failures are logged and end the painting where it was.
void Card_Base_Drawing(QPainter& painter, const Card_Property& prop, int cardShape, const QRectF& cardRect,
                       const QRectF& passRect);

// Paints the side's border when it is on: its colour, width (points) and dash code along the card's outline,
// inside the card so that every output shows all of it. Drawn over the items, so a frame picture that
// covers the card does not hide it.
void Card_Border_Drawing(QPainter& painter, const Card_Property& prop, int cardShape, const QRectF& cardRect);
