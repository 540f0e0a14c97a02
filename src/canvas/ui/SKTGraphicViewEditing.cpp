// The canvas's edits of the selection: arranging, printing flags, clipboard and delete.

#include "canvas/ui/SKTGraphicView.h"

#include "canvas/CanvasHost.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTGrid.h"
#include "canvas/ui/GraphicCommands.h"
#include "canvas/ui/GraphicViewHelpers.h"
#include "common/Prompt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <functional>

using namespace graphicview;

namespace {

const QStringList& profileIds() {
    static const QStringList ids = {
        QStringLiteral("Fup_Name"),          QStringLiteral("Fup_Title"),   QStringLiteral("Fup_Company"),
        QStringLiteral("Fup_CompanySlogan"), QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
        QStringLiteral("Fup_FaxNo"),         QStringLiteral("Fup_EmailID"), QStringLiteral("Fup_Website"),
        QStringLiteral("Fup_UniqueNo"),      QStringLiteral("Fup_Photo")};
    return ids;
}

} // namespace

// ---------------------------------------------------------------- arrange

void SKTGraphicView::arrange(const std::function<QRectF(const GraphicPtr&, qsizetype)>& place, bool skipFirst,
                             const QString& text) {
    const GraphicList items = selectedGraphics();
    std::vector<ArrangeGraphicsCommand::Change> changes;
    for (qsizetype i = skipFirst ? 1 : 0; i < items.size(); ++i) {
        const GraphicPtr& g = items[i];
        if (g->ctrl_is_locked)
            continue;
        const QRectF to = place(g, i);
        if (to != g->bounds())
            changes.push_back({g, g->bounds(), to});
    }
    if (changes.empty())
        return;
    GraphicList touched;
    for (const auto& c : changes)
        touched.append(c.item);
    invalidateGraphics(touched);
    apply(new ArrangeGraphicsCommand(std::move(changes), text));
    invalidateGraphics(touched);
}

namespace {
// Places r against the reference: the card for a single item, the first selected item for several.
QRectF alignedTo(QRectF r, const QRectF& ref, SKTGraphicView::Alignment a) {
    switch (a) {
    case SKTGraphicView::Alignment::Left:
        r.moveLeft(ref.x());
        break;
    case SKTGraphicView::Alignment::Right:
        r.moveLeft(ref.x() + ref.width() - r.width());
        break;
    case SKTGraphicView::Alignment::Top:
        r.moveTop(ref.y());
        break;
    case SKTGraphicView::Alignment::Bottom:
        r.moveTop(ref.y() + ref.height() - r.height());
        break;
    case SKTGraphicView::Alignment::HorizontalCenter:
        r.moveLeft(ref.x() + 0.5 * ref.width() - r.width() / 2);
        break;
    case SKTGraphicView::Alignment::VerticalCenter:
        r.moveTop(ref.y() + 0.5 * ref.height() - r.height() / 2);
        break;
    }
    return r;
}
} // namespace

void SKTGraphicView::alignSelection(Alignment a, const QString& undoText) {
    const GraphicList items = selectedGraphics();
    if (items.isEmpty())
        return;
    const bool single = items.size() == 1;
    const QRectF ref = single ? QRectF(QPointF(0, 0), _canvasSize) : items.first()->bounds();
    arrange([ref, a](const GraphicPtr& g, qsizetype) { return alignedTo(g->bounds(), ref, a); }, !single,
            undoText);
}

void SKTGraphicView::alignLeftEdges() { alignSelection(Alignment::Left, QStringLiteral("Align Left")); }
void SKTGraphicView::alignRightEdges() { alignSelection(Alignment::Right, QStringLiteral("Align Right")); }
void SKTGraphicView::alignTopEdges() { alignSelection(Alignment::Top, QStringLiteral("Align Top")); }
void SKTGraphicView::alignBottomEdges() { alignSelection(Alignment::Bottom, QStringLiteral("Align Bottom")); }
void SKTGraphicView::alignHorizontalCenters() {
    alignSelection(Alignment::HorizontalCenter, QStringLiteral("Align Horizontal Centers"));
}
void SKTGraphicView::alignVerticalCenters() {
    alignSelection(Alignment::VerticalCenter, QStringLiteral("Align Vertical Centers"));
}

void SKTGraphicView::alignformCenter() {
    // Every unlocked selected item, the first included, is centred on the card.
    const QSizeF c = _canvasSize;
    arrange(
        [c](const GraphicPtr& g, qsizetype) {
            QRectF r = g->bounds();
            r.moveTopLeft(QPointF(c.width() / 2 - r.width() / 2, c.height() / 2 - r.height() / 2));
            return r;
        },
        false, QStringLiteral("Center"));
}

void SKTGraphicView::makeSameWidth() {
    const GraphicList items = selectedGraphics();
    if (items.size() < 2)
        return;
    const qreal w = items.first()->bounds().width();
    arrange(
        [w](const GraphicPtr& g, qsizetype) {
            QRectF r = g->bounds();
            r.setWidth(w);
            return r;
        },
        true, QStringLiteral("Same Width"));
}

void SKTGraphicView::makeSameHeight() {
    const GraphicList items = selectedGraphics();
    if (items.size() < 2)
        return;
    const qreal h = items.first()->bounds().height();
    arrange(
        [h](const GraphicPtr& g, qsizetype) {
            QRectF r = g->bounds();
            r.setHeight(h);
            return r;
        },
        true, QStringLiteral("Same Height"));
}

void SKTGraphicView::makeNaturalSize() {
    // The items decide their natural size themselves (and whether a lock stops them).
    // A picture's natural size has no flips: the step records them with the bounds.
    using Flips = ArrangeGraphicsCommand::Flips;
    std::vector<ArrangeGraphicsCommand::Change> changes;
    for (const GraphicPtr& g : selectedGraphics()) {
        const QRectF from = g->bounds();
        const Flips flipsFrom = Flips::of(*g);
        g->makeNaturalSize();
        const QRectF to = g->bounds();
        const Flips flipsTo = Flips::of(*g);
        g->setBounds(from);
        flipsFrom.putInto(*g);
        if (to != from || flipsTo != flipsFrom)
            changes.push_back({g, from, to, flipsFrom, flipsTo});
    }
    if (changes.empty())
        return;
    invalidateGraphics(selectedGraphics());
    apply(new ArrangeGraphicsCommand(std::move(changes), QStringLiteral("Natural Size")));
    invalidateGraphics(selectedGraphics());
}

void SKTGraphicView::alignWithGrid() {
    if (!_grid)
        return;
    SKTGrid* grid = _grid;
    arrange([grid](const GraphicPtr& g, qsizetype) { return grid->alignedRect(g->bounds()); }, false,
            QStringLiteral("Align to Grid"));
}

void SKTGraphicView::bringToFront() {
    if (!_document)
        return;
    const GraphicList moving = unlockedSelection();
    if (moving.isEmpty())
        return;
    GraphicList order = moving;
    for (const GraphicPtr& g : graphics())
        if (!moving.contains(g))
            order.append(g);
    if (order != graphics())
        apply(new ReorderGraphicsCommand(_document, _side, order, QStringLiteral("Bring to Front")));
}

void SKTGraphicView::sendToBack() {
    if (!_document)
        return;
    const GraphicList moving = unlockedSelection();
    if (moving.isEmpty())
        return;
    GraphicList order;
    for (const GraphicPtr& g : graphics())
        if (!moving.contains(g))
            order.append(g);
    order.append(moving);
    if (order != graphics())
        apply(new ReorderGraphicsCommand(_document, _side, order, QStringLiteral("Send to Back")));
}

void SKTGraphicView::moveSelectionBy(const QPointF& delta) {
    const GraphicList items = unlockedSelection();
    if (items.isEmpty() || delta.isNull())
        return;
    if (!_keyRun) {
        _mergeKey = nextMergeKey++;
        _keyRun = true;
    }
    invalidateGraphics(items);
    apply(new MoveGraphicsCommand(items, delta, _mergeKey));
    invalidateGraphics(items);
}

void SKTGraphicView::print_contol_or_not(int value) {
    // One undo step for the selected unlocked items whose flag changes; none when nothing changes.
    GraphicList changed;
    for (const GraphicPtr& g : selectedGraphics())
        if (!g->ctrl_is_locked && g->print_object != value)
            changed.append(g);
    if (changed.isEmpty())
        return;
    apply(new SetGraphicFieldCommand<int>(changed, &SKTGraphic::print_object, value,
                                          value ? tr("Leave Out of Printing") : tr("Include in Printing")));
}

void SKTGraphicView::Hide_all_Text_control_FUP_Control() {
    for (const GraphicPtr& g : graphics())
        if (isTextOrPicture(g) && profileIds().contains(g->control_ID))
            g->ctrl_is_visible = false;
    update();
}

void SKTGraphicView::Refresh_ScrollView() {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            area->viewport()->update();
            break;
        }
    }
    update();
}

// ---------------------------------------------------------------- clipboard and delete

bool SKTGraphicView::clipboardHasGraphics() {
    return hasGraphics(QGuiApplication::clipboard()->mimeData());
}

void SKTGraphicView::copy() {
    copyItems(selectedGraphics());
}

bool SKTGraphicView::copyItems(const GraphicList& items) {
    if (items.isEmpty())
        return false;
    // A picture of the copied items goes along for other programs.
    QRectF area;
    for (const GraphicPtr& g : items)
        area = area.united(paintedArea(*g));
    QImage picture;
    const QSize size = area.size().toSize();
    if (size.width() > 0 && size.height() > 0 && qint64(size.width()) * size.height() <= 16'000'000) {
        picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.topLeft());
        for (qsizetype i = items.size() - 1; i >= 0; --i) {
            if (!items[i]->ctrl_is_visible)
                continue;
            p.save();
            items[i]->draw(p);
            p.restore();
        }
    }
    QMimeData* data = makeGraphicsMimeData(items, picture);
    // What a paste could not take is refused here, with the reason: a list larger than it reads (barcode
    // images past the pictures' budget are left out and drawn again from their values).
    if (const qint64 bytes = data->data(SKTGraphicViewPasteboardType).size(); bytes > MaxClipboardBytes) {
        delete data;
        Show_MessageBox(QStringLiteral("The items are too large to be copied together (%1 MB; up to %2 MB can be "
                                       "pasted). Copy fewer items at a time.")
                            .arg(bytes / (1024 * 1024))
                            .arg(MaxClipboardBytes / (1024 * 1024)));
        return false;
    }
    QGuiApplication::clipboard()->setMimeData(data);
    emit copiedToClipboard();
    return true;
}

void SKTGraphicView::cut() {
    // Locked items stay, so they are not copied either.
    const GraphicList items = unlockedSelection();
    if (items.isEmpty())
        return;
    if (copyItems(items))
        deleteSelection(QObject::tr("Cut"));
}

void SKTGraphicView::paste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!hasGraphics(data) || !_document)
        return;
    QString error;
    int skipped = 0;
    GraphicList items = graphicsFromMimeData(data, &error, &skipped);
    if (items.isEmpty()) {
        if (!error.isEmpty())
            Show_MessageBox(error);
        return;
    }
    // A copy of the main photo's item stays one where it names this design's main photo, and shows it;
    // another (copied from another design) keeps the picture it came with, as a picture of its own.
    const CanvasHost* host = canvasHost();
    for (const GraphicPtr& g : items) {
        if (g->kind() != GraphicKind::Image || g->control_ID != QLatin1String("PARTY_IMAGE"))
            continue;
        if (host && !g->_file_path.isEmpty() && g->_file_path == host->mainPhotoPath())
            static_cast<SKTImage&>(*g).setFilePath(g->_file_path);
        else
            g->control_ID.clear();
    }
    placeAside(items);
    insertItems(items, QObject::tr("Paste"));
    _Selected_Graphic = items.first();
    setSelection(items);
    emitInspect(items.first());
}

void SKTGraphicView::duplicate() {
    GraphicList copies = SKTDocument::deepCopies(selectedGraphics());
    if (copies.isEmpty())
        return;
    for (const GraphicPtr& g : copies)
        g->ctrl_is_locked = false;
    placeAside(copies);
    insertItems(copies, QObject::tr("Duplicate"));
    _Selected_Graphic = copies.first();
    setSelection(copies);
    emitInspect(copies.first());
}

void SKTGraphicView::placeAside(const GraphicList& items) const {
    // Copies that would lie exactly on items of this side go a little aside, so they can be seen.
    auto collides = [this](const QRectF& r) {
        for (const GraphicPtr& g : graphics())
            if (g->bounds() == r)
                return true;
        return false;
    };
    QPointF offset;
    for (int guard = 0; guard < 50; ++guard) {
        bool any = false;
        for (const GraphicPtr& g : items)
            any = any || collides(g->bounds().translated(offset));
        if (!any)
            break;
        offset += QPointF(10, 10);
    }
    for (const GraphicPtr& g : items)
        g->setBounds(g->bounds().translated(offset));
}

void SKTGraphicView::deleteSelection(const QString& text) {
    const GraphicList items = unlockedSelection();
    if (items.isEmpty())
        return;
    invalidateGraphics(items);
    if (_document)
        _document->removeGraphics(_side, items, text);
    pruneSelection();
    emitInspect(nullptr);
}
