#include "wizards/InvitationLayout.h"

#include "canvas/Card_Property.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTGraphic.h"
#include "canvas/SKTRenderingView.h"
#include "wizards/InvitationState.h"

#include <algorithm>
#include <cmath>

InvitationAnswers InvitationAnswers::fromGlobals() {
    InvitationAnswers a;
    a.title = Invite_Title;
    a.to = Invite_To;
    a.message = Invite_Message;
    a.date = Invite_Date;
    a.time = Invite_Time;
    a.venue = Invite_Venue;
    a.from = Invite_From;
    a.photoPath = Invite_Frame_Pic_IMG;
    a.framePath = Invite_Frame_IMG;
    return a;
}

namespace {

// The layout for a card at least MinWidth x MinHeight (single precision, as the canvas stores it).
QList<InvitationItemSpec> baseLayout(const InvitationAnswers& a, float W, float H) {
    QList<InvitationItemSpec> out;
    const float w = W - 80.0f;
    const float m = (W - w) / 2.0f;
    const float p = (H - 250.0f) / 2.0f;
    float y = 40.0f;
    if (!a.photoPath.isEmpty())
        out.append({InvitationItemSpec::Picture, QStringLiteral("PARTY_IMAGE"), a.photoPath,
                    QRectF(m, p, w, 250), 8});
    auto text = [&out](const QString& id, const QString& value, float x, float top, float width,
                       float height) {
        out.append({InvitationItemSpec::Text, id, value, QRectF(x, top, width, height), 2});
    };

    if (!a.title.isEmpty()) {
        text(QStringLiteral("PARTY_TITLE"), a.title, m, y, w, 30);
        y += 50;
    }
    if (!a.to.isEmpty()) {
        text(QStringLiteral("PARTY_TO"), QStringLiteral("Dear ") + a.to + QStringLiteral(","), 30, y, w, 20);
        y += 30;
    }
    if (!a.message.isEmpty()) {
        text(QStringLiteral("PARTY_MSG"), a.message, 50, y, w, 80);
        y += 80;
    }
    const float d = y;
    if (!a.date.isEmpty()) {
        QString value = a.date;
        if (!a.time.isEmpty())
            value += QStringLiteral(" at ") + a.time;
        text(QStringLiteral("PARTY_DATE"), value, 30, d, w, 20);
        y = d + 30;
    } else if (!a.time.isEmpty()) {
        text(QStringLiteral("PARTY_TIME"), QStringLiteral("AT ") + a.time, 30, d, w, 20);
        y += 60;
    } else {
        y += 30;
    }
    if (!a.venue.isEmpty()) {
        text(QStringLiteral("PARTY_VENUE"), QStringLiteral("Venue:\n") + a.venue, 30, y, w, 60);
        y += 70;
    } else {
        y += 20;
    }
    if (!a.from.isEmpty())
        text(QStringLiteral("PARTY_FROM"), QStringLiteral("From:\n") + a.from, m, y, w, 40);
    return out;
}

// Shrinks a rectangle laid out on a reference card onto the real card and keeps it inside.
QRectF fitInto(const QRectF& r, double sx, double sy, QSizeF card) {
    // Sizes from the scaled edges, so that boxes touching on the reference card still only touch.
    const double w = std::min(r.right() * sx - r.x() * sx, card.width());
    const double h = std::min(r.bottom() * sy - r.y() * sy, card.height());
    const double x = std::clamp(r.x() * sx, 0.0, card.width() - w);
    const double y = std::clamp(r.y() * sy, 0.0, card.height() - h);
    return QRectF(x, y, w, h);
}

// Whether every text of a layout lies inside a W x H card.
bool textsInside(const QList<InvitationItemSpec>& items, double W, double H) {
    const QRectF card(0, 0, W, H);
    for (const InvitationItemSpec& s : items)
        if (s.kind == InvitationItemSpec::Text && !card.contains(s.rect))
            return false;
    return true;
}

} // namespace

QList<InvitationItemSpec> invitationLayout(const InvitationAnswers& answers, QPointF cardLocation,
                                           QSizeF cardSize) {
    const double W = std::max(0.0, cardSize.width());
    const double H = std::max(0.0, cardSize.height());
    QList<InvitationItemSpec> out;
    bool small = W < invitation::MinWidth || H < invitation::MinHeight;
    if (!small) {
        out = baseLayout(answers, static_cast<float>(W), static_cast<float>(H));
        small = !textsInside(out, W, H);
    }
    // A small card, or one too low for its texts, is laid out on a larger card and shrunk onto the real
    // one; the reference is twice the least width so that texts keep a width of their own.
    const float refW = static_cast<float>(small ? std::max(W, 2 * invitation::MinWidth) : W);
    float refH = static_cast<float>(small ? std::max(H, invitation::MinHeight) : H);
    if (small)
        out = baseLayout(answers, refW, refH);
    if (small) {
        // The reference card is tall enough for every text, so that none is pushed onto another.
        double textBottom = 0;
        for (const InvitationItemSpec& s : out)
            if (s.kind == InvitationItemSpec::Text)
                textBottom = std::max(textBottom, s.rect.bottom() + 20);
        if (textBottom > refH) {
            refH = static_cast<float>(textBottom);
            out = baseLayout(answers, refW, refH);
        }
    }
    if (small) {
        const double sx = W / refW;
        const double sy = H / refH;
        for (InvitationItemSpec& s : out) {
            s.rect = fitInto(s.rect, sx, sy, QSizeF(W, H));
            if (s.kind == InvitationItemSpec::Text)
                s.fontScale = std::min(sx, sy);
        }
    }
    for (InvitationItemSpec& s : out)
        if (s.controlId == QStringLiteral("PARTY_IMAGE"))
            s.rect = fitAspectInto(s.rect, answers.photoSize);
    if (!answers.framePath.isEmpty())
        out.append({InvitationItemSpec::Picture, QStringLiteral("PARTY_IMAGE_BG"), answers.framePath,
                    QRectF(cardLocation, cardSize), 8});
    return out;
}

QRectF fitAspectInto(const QRectF& box, QSizeF proportions) {
    if (!(proportions.width() > 0) || !(proportions.height() > 0) || !std::isfinite(proportions.width()) ||
        !std::isfinite(proportions.height()) || box.isEmpty())
        return box;
    const QSizeF size = proportions.scaled(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2,
                  size.width(), size.height());
}

namespace {

constexpr double SmallestPoints = 4.0;

// Makes the text's font smaller from size until its lines are no higher than height (its box's when not
// given), or the smallest size is reached.
void shrinkTextToBox(SKTGraphic& text, double size, double height = -1) {
    QFont font = text.text_ctrl_font;
    const QRectF box = text._bounds.normalized();
    if (height < 0)
        height = box.height();
    for (;;) {
        font.setPointSizeF(size);
        text.text_ctrl_font = font;
        if (size <= SmallestPoints || ItemPainting::naturalTextSize(text, box.width()).height() <= height)
            break;
        size = std::max(SmallestPoints, size * 0.95);
    }
}

double pointSize(const SKTGraphic& text) {
    return text.text_ctrl_font.pointSizeF() > 0 ? text.text_ctrl_font.pointSizeF() : 18.0;
}

} // namespace

void fitInvitationText(SKTGraphic& text, const InvitationItemSpec& spec) {
    const bool scaled = spec.fontScale < 1.0 && spec.fontScale > 0.0;
    // A text higher than its box (a long date and time on a narrow card) would lose the lines below it.
    const QRectF box = text._bounds.normalized();
    if (!scaled && ItemPainting::naturalTextSize(text, box.width()).height() <= box.height())
        return;
    shrinkTextToBox(text, std::max(SmallestPoints, pointSize(text) * (scaled ? spec.fontScale : 1.0)));
}

void keepTextOverPhoto(SKTGraphic& text, const QRectF& photo) {
    const QRectF lines = drawnTextArea(text);
    if (!lines.intersects(photo) || (lines.left() >= photo.left() && lines.right() <= photo.right()))
        return;
    const QRectF box = text._bounds.normalized();
    const double left = std::max(box.left(), photo.left());
    const double right = std::min(box.right(), photo.right());
    if (right - left < 1.0)
        return;
    // No higher than before, nor than its box.
    const double height = std::max(box.height(), ItemPainting::naturalTextSize(text, box.width()).height());
    text._bounds = QRectF(left, box.top(), right - left, box.height());
    if (ItemPainting::naturalTextSize(text, right - left).height() > height)
        shrinkTextToBox(text, pointSize(text), height);
}

QRectF drawnTextArea(const SKTGraphic& text) {
    const QRectF box = text._bounds.normalized();
    const QSizeF lines = ItemPainting::naturalTextSize(text, box.width()).boundedTo(box.size());
    double x = box.left(), y = box.top();
    if (text.text_alignmnet == 1)
        x += (box.width() - lines.width()) / 2;
    else if (text.text_alignmnet == 2)
        x += box.width() - lines.width();
    if (text.text_alignmnet_Vert == 1)
        y += (box.height() - lines.height()) / 2;
    else if (text.text_alignmnet_Vert == 2)
        y += box.height() - lines.height();
    return QRectF(QPointF(x, y), lines);
}

QColor readableTextColour(const QImage& card, const QRectF& area) {
    const QRect cells = area.toAlignedRect().intersected(card.rect());
    if (cells.isEmpty())
        return Qt::black;
    const QImage pixels = card.copy(cells).convertToFormat(QImage::Format_ARGB32);
    auto linear = [](int c) {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    // Contrast ratios (L + 0.05) / 0.05 with black and 1.05 / (L + 0.05) with white are equal here.
    const double even = std::sqrt(1.05 * 0.05) - 0.05;
    qint64 black = 0, white = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QRectF inArea = area.intersected(QRectF(cells.left() + x, cells.top() + y, 1, 1));
            if (inArea.width() < 0.5 || inArea.height() < 0.5)
                continue; // mostly beside the lines
            const QRgb p = line[x];
            const double a = qAlpha(p) / 255.0;
            const double lum =
                0.2126 * linear(qRed(p)) + 0.7152 * linear(qGreen(p)) + 0.0722 * linear(qBlue(p));
            ++(a * lum + (1 - a) >= even ? black : white); // over white
        }
    }
    return white > black ? QColor(Qt::white) : QColor(Qt::black);
}

QImage cardUnderTexts(const GraphicList& items, const Card_Property& side, int cardShape) {
    GraphicList under;
    for (const GraphicPtr& g : items)
        if (g && g->kind() != GraphicKind::Text)
            under << g;
    return SKTRenderingView::image_From_Card_Graphics(under, false, side, cardShape, side.Card_Size);
}

GraphicList textsFollowingCard(const GraphicList& items, const QImage& card) {
    GraphicList out;
    for (const GraphicPtr& g : items)
        if (g && g->kind() == GraphicKind::Text && g->txt_clr == readableTextColour(card, drawnTextArea(*g)))
            out << g;
    return out;
}

void colourTextsForCard(const GraphicList& texts, const QImage& card) {
    for (const GraphicPtr& t : texts)
        t->txt_clr = readableTextColour(card, drawnTextArea(*t));
}
