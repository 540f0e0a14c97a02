#pragma once

// Default places of new profile items. The current-side profile dialog carries a placeholder frame per
// field for landscape and for portrait cards, in the coordinates of its landscape template box (origin at
// the box's bottom left, y upward); a frame is turned into card coordinates by measuring y from the top
// of that box.

#include "canvas/SKTGraphic.h"

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

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

// Where the texts of a card side draw, a cell per point, to place new items off them.
class TextInkMap {
public:
    // texts are drawn as the card shows them (hidden items too: the caller picks what counts); boxes count
    // as ink whole.
    TextInkMap(const QSizeF& cardSize, const GraphicList& texts, const QList<QRectF>& boxes = {});
    // Cells of r that carry ink; a rectangle off the card counts its part off the card as ink.
    qint64 inkIn(const QRectF& r) const;
    // preferred when it covers no ink; otherwise the rectangle of size nearest to preferred, inside the
    // card, that covers none, or the one that covers least when every place covers some.
    QRectF clearPlace(const QRectF& preferred, QSizeF size) const;

private:
    int _w = 0, _h = 0;
    std::vector<qint64> _sum; // summed-area table, (w + 1) x (h + 1)
};
