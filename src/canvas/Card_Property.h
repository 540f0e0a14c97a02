#pragma once

#include "imaging/ItemPicture.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

// The settings of one card side. Field names are the stored names.
struct Card_Property {
    int Card_border_chk = 0;
    QColor Card_bordr_clr = Qt::black;
    int Card_bor_Stepper = 1;
    QString Card_border_style = QStringLiteral("S");
    int Card_fill_chk = 1;
    QColor Card_fill_clr = Qt::white;
    QString Card_fill_style = QStringLiteral("S"); // "S" solid, "G" gradient, "H" hatch, "I" image
    QColor Card_fill_Grd_1_clr = Qt::white;
    QColor Card_fill_Grd_2_clr = QColor(200, 200, 200);
    int Card_grad_Stepper = 0; // gradient angle, degrees
    QColor Card_hatch_bk_clr = Qt::white;
    QString Card_hatch_style;
    float Card_alpha_Stepper = 1.0f; // fraction 0..1 (already baked into the fill colours)
    QString Card_Side = QStringLiteral("2");
    QString Card_Side_Name = QStringLiteral("F");
    QString Card_Shape = QStringLiteral("R"); // "R", "RR", "E"
    QString Card_Name = QStringLiteral("Untitled");
    QPointF Card_Location;
    QSizeF Card_Size = QSizeF(504, 360); // points: 7 x 5 inch
    QString Card_Preset = QStringLiteral("Horizontal");
    QString Card_Category;
    QString Card_Sub_Category;
    int Card_Cat_index = -1;
    QString Card_Create_Mode = QStringLiteral("W");
    ItemPicture Card_BG_Image; // the background picture as its file came, decoded where drawn
    QString Card_BG_Image_Path;
    QString Card_BG_Image_Layout;
    QColor Card_Content_clr = Qt::black;
    QFont Card_Content_font = QFont(QStringLiteral("Times New Roman"), 18);

    // Defaults of a new design for the side "F" or "B".
    static Card_Property defaults(const QString& sideName)
    {
        Card_Property p;
        p.Card_Side_Name = sideName;
        return p;
    }

    // Back to the defaults of a new design, keeping the side this record belongs to. The alpha is the
    // fraction 1.0 (fully opaque), the unit every reader of the field uses.
    void reset()
    {
        *this = defaults(Card_Side_Name == QLatin1String("B") ? QStringLiteral("B") : QStringLiteral("F"));
        Card_alpha_Stepper = 1.0f;
    }

    bool operator==(const Card_Property&) const = default;
};
