#pragma once

// Default places of new profile items. The current-side profile dialog carries a placeholder frame per
// field for landscape and for portrait cards, in the coordinates of its landscape template box (origin at
// the box's bottom left, y upward); a frame is turned into card coordinates by measuring y from the top
// of that box.

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QString>

struct ProfileTemplates {
    QHash<QString, QRectF> landscape; // by reserved control ID
    QHash<QString, QRectF> portrait;
    double horzTemplateHeight = 0; // height of the landscape template box
    // The card sizes the frames are laid out for; an empty size turns the fitting off.
    QSizeF landscapeCard;
    QSizeF portraitCard;

    // The frames the program ships with.
    static const ProfileTemplates& defaults();
};

// Place of a new item for the reserved ID on a card of cardSize (points; width >= height is landscape):
// the field's placeholder frame with y := horzTemplateHeight - y. An unknown ID gives the zero rectangle;
// a missing frame counts as zero. On a card smaller than the one the frames are laid out for, the place is
// scaled down by the same factor in both directions so that the item stays on the card.
QRectF Get_Control_Rect_From_Template(const QString& controlId, const QSizeF& cardSize,
                                      const ProfileTemplates& templates);
