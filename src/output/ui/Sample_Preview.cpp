#include "output/ui/Sample_Preview.h"

#include <QPainter>
#include <QPalette>

Sample_Preview::Sample_Preview(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Sample_Preview::setSheet(const PrintLayout& layout, bool showOutlines, bool hasCard) {
    _layout = layout;
    _outlines = showOutlines;
    _hasCard = hasCard;
    update();
}

QImage Sample_Preview::imageRepresentation() {
    return grab().toImage();
}

void Sample_Preview::paintSheet(QPainter& p, const QRectF& target, const PrintLayout& l, bool showOutlines,
                                bool hasCard) {
    if (l.paper.isEmpty() || target.isEmpty())
        return;
    const qreal scale = qMin(target.width() / l.paper.width(), target.height() / l.paper.height());
    const QSizeF shown = l.paper * scale;
    const QPointF origin(target.left() + (target.width() - shown.width()) / 2,
                         target.top() + (target.height() - shown.height()) / 2);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(origin + QPointF(3, 3), shown), QColor(0, 0, 0, 40)); // shadow under the paper
    p.fillRect(QRectF(origin, shown), Qt::white);
    p.translate(origin);
    p.scale(scale, scale);
    const qreal hair = 1.0 / scale;
    const QRectF printable(l.margins.left(), l.margins.top(), l.usable().width(), l.usable().height());
    p.setPen(QPen(QColor(170, 190, 220), hair, Qt::DashLine));
    p.drawRect(printable);

    // Captions keep a readable size on screen whatever the paper's scale.
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(qMax(1, int(11 / scale)));
    p.setFont(font);
    for (const PreviewBox& box : previewBoxes(l)) {
        p.fillRect(box.rect, box.back ? QColor(236, 240, 246) : QColor(246, 248, 252));
        const QString caption = hasCard ? box.caption : QStringLiteral("Invalid Data");
        p.setPen(hasCard ? QColor(Qt::gray) : QColor(Qt::red));
        p.drawText(box.rect, Qt::AlignCenter, caption);
        if (showOutlines) {
            p.setPen(QPen(Qt::darkGray, hair));
            p.drawRect(box.rect);
        }
    }
    p.restore();
}

void Sample_Preview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Mid).lighter(130));
    paintSheet(p, QRectF(rect()).adjusted(8, 8, -8, -8), _layout, _outlines, _hasCard);
}
