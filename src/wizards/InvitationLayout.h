#pragma once

// Where the start wizard's answers go on the front side of a new card.

#include "canvas/SKTGraphic.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

struct InvitationAnswers {
    QString title, to, message, date, time, venue, from;
    QString photoPath; // main photo
    QString framePath; // frame picture over the whole card
    QSizeF photoSize;  // the main photo as shown (empty when unknown: its box is then the whole photo box)

    static InvitationAnswers fromGlobals(); // the Invite_* globals
};

// One item to create, in creation order (each new item goes to the front of the array).
struct InvitationItemSpec {
    enum Kind { Text, Picture };
    Kind kind = Text;
    QString controlId;
    QString value; // the text, or the picture path
    QRectF rect;   // canvas points, y downward
    int tool = 2;  // the tool the canvas creates it with: 2 text, 8 picture from a file
    double fontScale = 1.0; // texts on small cards: their font shrinks with their box
};

// The items for a card of the given location and size, in creation order: the main photo first, then the
// texts, then the frame, so that the frame lies on top and every text above the photo. The photo's box is
// the largest box of the photo's proportions inside its place, centred there. Cards narrower than
// MinWidth, lower than MinHeight or too low for their texts get the same layout shrunk into the card,
// texts with their font, so that every item lies inside it.
QList<InvitationItemSpec> invitationLayout(const InvitationAnswers& answers, QPointF cardLocation,
                                           QSizeF cardSize);

// The largest rectangle of the given proportions inside box, centred in it (box itself when the
// proportions are unknown).
QRectF fitAspectInto(const QRectF& box, QSizeF proportions);

// Gives a text item made from spec its font size: scaled by spec.fontScale and, when that is below 1 or the
// text is higher than its box, made smaller still until the text fits its box.
void fitInvitationText(SKTGraphic& text, const InvitationItemSpec& spec);

// Where a text item's lines lie in its box, as drawn (its alignment, its box's width).
QRectF drawnTextArea(const SKTGraphic& text);
// A text whose lines run onto the photo from beside it is narrowed to the photo's width (its font made
// smaller until it fits its box again), so that none of its letters lies half on the card, half on the photo.
void keepTextOverPhoto(SKTGraphic& text, const QRectF& photo);
// Black or white, whichever reads on more of the pixels under area on the card picture (one pixel per point):
// each pixel at least half under area, transparent ones counting as white, votes for the colour of the
// higher contrast on it. Black when nothing lies under area, and on a tie.
QColor readableTextColour(const QImage& card, const QRectF& area);

struct Card_Property;
// What lies under the texts of a side: the side's card base and its items but the texts, one pixel per point.
QImage cardUnderTexts(const GraphicList& items, const Card_Property& side, int cardShape);
// The texts among items whose colour is the one the card under their lines gives them.
GraphicList textsFollowingCard(const GraphicList& items, const QImage& card);
// Gives each text the colour that reads on the card under its lines.
void colourTextsForCard(const GraphicList& texts, const QImage& card);

namespace invitation {
inline constexpr double MinWidth = 80.0;
inline constexpr double MinHeight = 250.0;
} // namespace invitation
