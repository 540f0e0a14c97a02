#include "output/LabelLayout.h"

#include <cmath>

float Points_to_MM_Convert(double points) {
    return float(points * 0.3527777777778);
}
float MM_to_Points_Convert(double millimetres) {
    return float(millimetres * 2.834645669291);
}

QSizeF PrintLayout::cell() const {
    const QSizeF one = label.isEmpty() ? card : label;
    if (!bothSides())
        return one;
    return arrangement == QLatin1String("U") ? QSizeF(one.width(), 2 * one.height())
                                             : QSizeF(2 * one.width(), one.height());
}

QSizeF PrintLayout::usable() const {
    return QSizeF(paper.width() - margins.left() - margins.right(),
                  paper.height() - margins.top() - margins.bottom());
}

QSizeF PrintLayout::block() const {
    const QSizeF c = cell();
    const int r = qMax(1, rows), k = qMax(1, cols);
    return QSizeF(k * c.width() + (k - 1) * hgap, r * c.height() + (r - 1) * vgap);
}

namespace {

// Floors a ratio that should be whole, forgiving the rounding of values converted from millimetres.
int floorCount(double v) {
    if (!std::isfinite(v))
        return 1;
    return int(std::floor(v + 1e-6));
}

// One direction of the layout rule: count of labels and gap along an extent.
void fitCount(double usable, double label, int& count, qreal& gap, bool autoCenter) {
    count = qMax(1, count);
    if (!(label > 0)) // no card size: nothing to fit
        return;
    if (autoCenter) {
        double s = (usable - count * label) / (count + 1);
        if (s <= 0) {
            const int fit = floorCount(usable / label);
            count = fit < 1 ? 1 : qMin(count, fit);
            // Spacing for the count that fits, so the block stays centred.
            s = qMax(0.0, (usable - count * label) / (count + 1));
        }
        gap = s;
        return;
    }
    const double spare = (usable - count * label - (count - 1) * gap) / (count + 1);
    if (spare > 0)
        return;
    const int fit = floorCount((usable + gap) / (label + gap));
    count = fit < 1 ? 1 : qMin(count, fit);
}

} // namespace

PrintLayout Check_Max_Cell_Value(PrintLayout layout) {
    const QSizeF c = layout.cell();
    const QSizeF u = layout.usable();
    layout.hgap = qMax<qreal>(0, layout.hgap);
    layout.vgap = qMax<qreal>(0, layout.vgap);
    fitCount(u.width(), c.width(), layout.cols, layout.hgap, layout.autoCenter);
    fitCount(u.height(), c.height(), layout.rows, layout.vgap, layout.autoCenter);
    return layout;
}

int labelPageCount(int labels, int rows, int cols) {
    if (labels <= 0)
        return 0;
    const qint64 per = qint64(qMax(1, rows)) * qMax(1, cols);
    return int((labels + per - 1) / per);
}

QRectF labelCellRect(const PrintLayout& l, int row, int col) {
    const QSizeF c = l.cell();
    const QSizeF u = l.usable();
    const QSizeF b = l.block();
    qreal left, top;
    if (l.autoCenter) {
        // Equal spacing: the block is centred in the usable area.
        left = l.margins.left() + (u.width() - b.width()) / 2;
        top = l.margins.top() + (u.height() - b.height()) / 2;
    } else {
        switch (l.align) {
        case 2:
        case 5:
        case 8:
            left = l.margins.left() + (u.width() - b.width()) / 2;
            break;
        case 3:
        case 6:
        case 9:
            left = l.paper.width() - b.width() - l.margins.right();
            break;
        default:
            left = l.margins.left();
            break;
        }
        switch (l.align) {
        case 4:
        case 5:
        case 6:
            top = l.margins.top() + (u.height() - b.height()) / 2;
            break;
        case 7:
        case 8:
        case 9:
            top = l.paper.height() - b.height() - l.margins.bottom();
            break;
        default:
            top = l.margins.top();
            break;
        }
    }
    return QRectF(left + col * (c.width() + l.hgap), top + row * (c.height() + l.vgap), c.width(),
                  c.height());
}

LabelCardRects labelCardRects(const PrintLayout& l, const QRectF& cell) {
    const qreal iw = l.card.width(), ih = l.card.height();
    const qreal lw = cell.width(), lh = cell.height();
    // Centred along an axis when the cell is larger, else against the cell's left or bottom edge.
    const qreal oneLeft = lw > iw ? cell.left() + (lw - iw) / 2 : cell.left();
    const qreal oneTop = lh > ih ? cell.top() + (lh - ih) / 2 : cell.bottom() - ih;
    LabelCardRects r;
    if (!l.bothSides()) {
        const QRectF rect(oneLeft, oneTop, iw, ih);
        (l.side == QLatin1String("B") ? r.back : r.front) = rect;
        return r;
    }
    if (l.arrangement == QLatin1String("U")) {
        // The pair sits at the top of a taller cell; the front's bottom edge is at the middle otherwise.
        const qreal top = lh > 2 * ih ? cell.top() : cell.top() + lh / 2 - ih;
        r.front = QRectF(oneLeft, top, iw, ih);
        r.back = QRectF(oneLeft, top + ih, iw, ih);
    } else {
        const qreal left = lw > 2 * iw ? cell.left() + (lw - 2 * iw) / 2 : cell.left();
        r.front = QRectF(left, oneTop, iw, ih);
        r.back = QRectF(left + iw, oneTop, iw, ih);
    }
    return r;
}

namespace {

QRectF coveredBy(const PrintLayout& l, const QRectF& cell) {
    const LabelCardRects cards = labelCardRects(l, cell);
    return cell.united(cards.front).united(cards.back);
}

} // namespace

QSizeF labelExtent(const PrintLayout& l) {
    return coveredBy(l, QRectF(QPointF(0, 0), l.cell())).size();
}

QRectF sheetExtent(const PrintLayout& l) {
    QRectF all;
    for (int r = 0; r < qMax(1, l.rows); ++r)
        for (int c = 0; c < qMax(1, l.cols); ++c)
            all = all.united(coveredBy(l, labelCellRect(l, r, c)));
    return all;
}

QString labelSizeProblem(const PrintLayout& l) {
    // Compared in hundredths of a millimetre, as the dialog shows sizes.
    auto mm = [](qreal points) { return QString::asprintf("%0.2f", double(Points_to_MM_Convert(points))); };
    auto beyond = [&mm](qreal a, qreal b) { return mm(a).toDouble() > mm(b).toDouble(); };
    auto mmSize = [&mm](const QSizeF& points) {
        return QStringLiteral("%1 x %2 mm").arg(mm(points.width()), mm(points.height()));
    };
    const QSizeF label = labelExtent(l);
    if (beyond(label.width(), l.paper.width()) || beyond(label.height(), l.paper.height()))
        return QStringLiteral("The label (%1) is larger than the paper (%2).")
            .arg(mmSize(label), mmSize(l.paper));
    if (l.autoCenter) {
        const QRectF ink = sheetExtent(l);
        const QMarginsF& m = l.margins;
        if (beyond(m.left(), ink.left()) || beyond(m.top(), ink.top()) ||
            beyond(ink.right(), l.paper.width() - m.right()) ||
            beyond(ink.bottom(), l.paper.height() - m.bottom()))
            return QStringLiteral("Centred, the labels (%1) would reach into the margins the printer cannot "
                                  "print; the printable area is %2.")
                .arg(mmSize(ink.size()), mmSize(l.usable()));
    }
    return QString();
}

QList<PreviewBox> previewBoxes(const PrintLayout& l) {
    QList<PreviewBox> boxes;
    const bool backOnly = l.side == QLatin1String("B");
    for (int r = 0; r < qMax(1, l.rows); ++r) {
        for (int c = 0; c < qMax(1, l.cols); ++c) {
            const int n = r * qMax(1, l.cols) + c + 1;
            const QRectF cell = labelCellRect(l, r, c);
            QRectF first = cell;
            if (l.bothSides()) {
                first = l.arrangement == QLatin1String("U")
                            ? QRectF(cell.left(), cell.top(), cell.width(), cell.height() / 2)
                            : QRectF(cell.left(), cell.top(), cell.width() / 2, cell.height());
            }
            boxes.append({first, QStringLiteral("%1 %2").arg(backOnly ? "Back" : "Frame").arg(n), backOnly});
            if (l.bothSides())
                boxes.append({labelCardRects(l, cell).back, QStringLiteral("Back %1").arg(n), true});
        }
    }
    return boxes;
}
