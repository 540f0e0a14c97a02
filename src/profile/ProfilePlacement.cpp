#include "profile/ProfilePlacement.h"

#include "common/Prompt.h"
#include "profile/ProfileFields.h"

#include <algorithm>

const ProfileTemplates& ProfileTemplates::defaults() {
    // The template box is a 504 x 360 point card (7 x 5 inch). Landscape: texts down the right, photo on the
    // left. Portrait (a 360 x 504 card): photo at the top, texts below; y still counts from the top of the
    // 360 high landscape box, so the lower frames have negative y.
    static const ProfileTemplates t = [] {
        ProfileTemplates out;
        out.horzTemplateHeight = 360;
        out.landscapeCard = QSizeF(504, 360);
        out.portraitCard = QSizeF(360, 504);
        const double textH = 24, step = 26;
        for (int i = 0; i < profile::PhotoField; ++i) {
            const QString id = profile::fieldInfo(i).controlId;
            // Landscape text i: top at 30 + i * step, x 190, 290 wide.
            out.landscape.insert(id, QRectF(190, 360 - (30 + i * step), 290, textH));
            // Portrait text i: top at 200 + i * step, x 30, 300 wide.
            out.portrait.insert(id, QRectF(30, 360 - (200 + i * step), 300, textH));
        }
        const QString photo = profile::fieldInfo(profile::PhotoField).controlId;
        out.landscape.insert(photo, QRectF(24, 360 - 40, 140, 160));
        out.portrait.insert(photo, QRectF(120, 360 - 30, 120, 150));
        return out;
    }();
    return t;
}

QRectF Get_Control_Rect_From_Template(const QString& controlId, const QSizeF& cardSize,
                                      const ProfileTemplates& templates) {
    Show_NSLog_Message(QStringLiteral("Card size {%1, %2}").arg(cardSize.width()).arg(cardSize.height()));
    const bool landscape = cardSize.width() >= cardSize.height();
    if (profile::fieldOfId(controlId) < 0)
        return {};
    const QRectF frame = (landscape ? templates.landscape : templates.portrait).value(controlId);
    const QRectF place(frame.x(), templates.horzTemplateHeight - frame.y(), frame.width(), frame.height());
    const QSizeF laidOutFor = landscape ? templates.landscapeCard : templates.portraitCard;
    if (laidOutFor.isEmpty() || cardSize.isEmpty())
        return place;
    const double factor =
        std::min({1.0, cardSize.width() / laidOutFor.width(), cardSize.height() / laidOutFor.height()});
    return QRectF(place.topLeft() * factor, place.size() * factor);
}
