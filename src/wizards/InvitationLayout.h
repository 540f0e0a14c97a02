#pragma once

// Where the start wizard's answers go on the front side of a new card.

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

struct InvitationAnswers {
    QString title, to, message, date, time, venue, from;
    QString photoPath; // main photo
    QString framePath; // frame picture over the whole card

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
};

// The items for a card of the given location and size. Cards narrower than MinWidth or lower than
// MinHeight get the same layout shrunk into the card, so that every item lies inside it.
QList<InvitationItemSpec> invitationLayout(const InvitationAnswers& answers, QPointF cardLocation,
                                           QSizeF cardSize);

namespace invitation {
inline constexpr double MinWidth = 80.0;
inline constexpr double MinHeight = 250.0;
} // namespace invitation
