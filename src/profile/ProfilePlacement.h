#pragma once

// Default places of new profile items. The current-side profile dialog carries a placeholder frame per
// field for landscape and for portrait cards, in the coordinates of its landscape template box (origin at
// the box's bottom left, y upward); a frame is turned into card coordinates by measuring y from the top
// of that box.

#include "canvas/SKTGraphic.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
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
    QSizeF cardSize() const { return QSizeF(_w, _h); }
    // Counts r as ink from now on.
    void cover(const QRectF& r);
    // Cells of r that carry ink; a rectangle off the card counts its part off the card as ink.
    qint64 inkIn(const QRectF& r) const;
    // Ink in r and within margin points around it (the card's edge counts as ink).
    qint64 inkNear(const QRectF& r, double margin) const;
    // preferred when it has no ink within margin; otherwise the rectangle of size nearest to preferred,
    // inside the card, with none within margin, or the one with least when every place has some.
    QRectF clearPlace(const QRectF& preferred, QSizeF size, double margin = 0) const;

private:
    void sum();
    QImage _ink;
    int _w = 0, _h = 0;
    std::vector<qint64> _sum; // summed-area table, (w + 1) x (h + 1)
};

// A new profile item of a fill: its default place, and for a text its value.
struct NewProfileItem {
    QString id;
    QRectF preferred;
    bool text = true;
    QString value;
};
// Where a new profile item goes; a text's point size when it is set smaller than the side's font (else 0).
struct ProfilePlace {
    QRectF rect;
    qreal pointSize = 0;
};
// Places a fill's new items on a side with the given ink. All at their default places when those are
// clear; otherwise the texts as one column, in record order, at the clear place nearest the first one's
// default place, kept a little apart from other texts, in the side's font or, when it finds no room, a
// smaller one; when no size finds room, each text at the clear place nearest its own. A photo goes last,
// off the texts.
QHash<QString, ProfilePlace> placeNewProfileItems(TextInkMap ink, const QList<NewProfileItem>& items,
                                                  const QFont& font);
