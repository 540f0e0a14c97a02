#include "canvas/ui/SKTGraphicView.h"

#include "canvas/Card_Property.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTRenderingView.h"
#include "canvas/SideUndoCommand.h"
#include "canvas/ui/GraphicViewHelpers.h"
#include "canvas/SKTItems.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "imaging/ProcessedImageCache.h"

#include <QApplication>
#include <QHash>
#include <QMutex>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>
#include <QUndoStack>
#include <cmath>

using namespace graphicview;

namespace {

constexpr int HandlePixels = 7; // side of a selection handle on screen

// Pictures for a new zoom are made on workers; once some are in, every canvas repaints the items that show
// them (one posted call for any number of pictures).
void repaintCanvasesWhenPicturesAreReady() {
    static QMutex lock;
    static QSet<qint64> ready;
    ProcessedImageCache::setReadyNotifier([](qint64 key) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        {
            QMutexLocker locker(&lock);
            const bool posted = !ready.isEmpty();
            ready.insert(key);
            if (posted)
                return;
        }
        QMetaObject::invokeMethod(
            app,
            [] {
                QSet<qint64> keys;
                {
                    QMutexLocker locker(&lock);
                    keys.swap(ready);
                }
                for (QWidget* w : QApplication::allWidgets())
                    if (auto* view = qobject_cast<SKTGraphicView*>(w))
                        view->picturesReady(keys);
            },
            Qt::QueuedConnection);
    });
}

std::atomic<bool> undrawablePosted{false};

// Says the pictures that cannot be drawn on the canvases and have not been said, once the pictures the canvases
// asked for are in (so that one message names them all) and never over such a message still open.
void sayPicturesNotDrawn() {
    static bool saying = false;
    if (saying || ProcessedImageCache::hasPending()) {
        QTimer::singleShot(100, QCoreApplication::instance(), sayPicturesNotDrawn);
        return;
    }
    undrawablePosted = false;
    QStringList lines;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* view = qobject_cast<SKTGraphicView*>(w);
            view && view->document() && view->side() != CardSide::Temp) // previews show the sides' items
            lines << undrawablePictureLines(view->document()->graphicsOf(view->side()),
                                            view->side() == CardSide::Back ? QStringLiteral("back")
                                                                           : QStringLiteral("front"));
    if (lines.isEmpty())
        return;
    saying = true;
    Show_MessageBox(undrawablePictureNotice(lines));
    saying = false;
}

// A picture that cannot be drawn is said once, naming its item, when a canvas (or any drawing) first meets it.
void sayPicturesThatCannotBeDrawn() {
    ItemPicture::setFailureNotifier([] {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || undrawablePosted.exchange(true))
            return;
        QMetaObject::invokeMethod(app, sayPicturesNotDrawn, Qt::QueuedConnection);
    });
}

} // namespace

SKTGraphicView::SKTGraphicView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // cursor feedback over handles and items
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCanvasSize(_canvasSize);
    static const bool notifying = (repaintCanvasesWhenPicturesAreReady(), sayPicturesThatCannotBeDrawn(), true);
    (void)notifying;
}

SKTGraphicView::~SKTGraphicView() = default;

void SKTGraphicView::setDocument(SKTDocument* document, CardSide side) {
    if (_document)
        disconnect(_document, nullptr, this, nullptr);
    if (_document)
        disconnect(_document->undoManager(), nullptr, this, nullptr);
    _document = document;
    _side = side;
    if (_document) {
        connect(_document, &SKTDocument::graphicsChanged, this, [this](CardSide changed) {
            if (changed == _side)
                graphicsChanged();
        });
        // Undo and redo of moves and resizes change items without changing the array.
        connect(_document->undoManager(), &QUndoStack::indexChanged, this, [this] {
            // The canvas's own edits repaint just the areas they touch.
            if (_applying)
                pruneSelection();
            else
                graphicsChanged();
        });
    }
    resetState();
}

const GraphicList& SKTGraphicView::graphics() const {
    static const GraphicList none;
    return _document ? _document->graphicsOf(_side) : none;
}

void SKTGraphicView::resetState() {
    _selection.clear();
    _Selected_Graphic.reset();
    _dragItem.reset();
    _drag = Drag::None;
    _keyRun = false;
    emit selectionChanged();
    update();
}

void SKTGraphicView::setGrid(SKTGrid* grid) {
    if (_grid)
        disconnect(_grid, nullptr, this, nullptr);
    _grid = grid;
    if (_grid)
        connect(_grid, &SKTGrid::changed, this, qOverload<>(&QWidget::update));
    update();
}

void SKTGraphicView::setCanvasSize(const QSizeF& size) {
    _canvasSize = size;
    setFixedSize(QSize(qCeil(size.width() * _zoom), qCeil(size.height() * _zoom)));
    update();
}

void SKTGraphicView::setZoom(double zoom) {
    zoom = std::clamp(zoom, 0.1, 8.0);
    if (qFuzzyCompare(zoom, _zoom))
        return;
    _zoom = zoom;
    setCanvasSize(_canvasSize);
    emit zoomChanged(_zoom);
}

int SKTGraphicView::tool() const {
    return _delegate ? _delegate->currentGraphicTool() : _tool;
}

QRect SKTGraphicView::widgetRectFor(const QRectF& canvasRect) const {
    const QRectF r(canvasRect.topLeft() * _zoom, canvasRect.size() * _zoom);
    // Items from outside may carry absurd numbers; they must not overflow the conversion to pixels.
    constexpr qreal limit = 1e7;
    if (!std::isfinite(r.x()) || !std::isfinite(r.y()) || !std::isfinite(r.width()) ||
        !std::isfinite(r.height()) || std::abs(r.x()) > limit || std::abs(r.y()) > limit ||
        r.width() > limit || r.height() > limit)
        return rect();
    return r.toAlignedRect();
}

// ---------------------------------------------------------------- selection

GraphicList SKTGraphicView::selectedGraphics() const {
    GraphicList out;
    if (_selection.isEmpty())
        return out;
    QSet<const SKTGraphic*> chosen;
    for (const GraphicPtr& g : _selection)
        chosen.insert(g.get());
    for (const GraphicPtr& g : graphics())
        if (chosen.contains(g.get()))
            out.append(g);
    return out;
}

QList<qsizetype> SKTGraphicView::selectionIndexes() const {
    QList<qsizetype> out;
    for (const GraphicPtr& g : selectedGraphics())
        out.append(graphics().indexOf(g));
    return out;
}

void SKTGraphicView::setSelectionIndexes(const QList<qsizetype>& indexes) {
    GraphicList items;
    for (qsizetype i : indexes)
        if (i >= 0 && i < graphics().size())
            items.append(graphics().at(i));
    setSelection(items);
}

bool SKTGraphicView::isSelected(const GraphicPtr& item) const {
    return item && _selection.contains(item);
}

void SKTGraphicView::setSelection(const GraphicList& items) {
    if (items == _selection)
        return;
    // Only the items whose handles appear or go need repainting.
    QSet<const SKTGraphic*> before, after;
    for (const GraphicPtr& g : std::as_const(_selection))
        before.insert(g.get());
    for (const GraphicPtr& g : items)
        after.insert(g.get());
    for (const GraphicPtr& g : std::as_const(_selection))
        if (!after.contains(g.get()))
            invalidateGraphic(g);
    for (const GraphicPtr& g : items)
        if (!before.contains(g.get()))
            invalidateGraphic(g);
    _selection = items;
    _keyRun = false;
    emit selectionChanged();
}

void SKTGraphicView::selectGraphic(const GraphicPtr& item, bool extend) {
    if (!item || !graphics().contains(item))
        return;
    GraphicList items = extend ? _selection : GraphicList();
    if (!items.contains(item))
        items.append(item);
    setSelection(items);
}

void SKTGraphicView::selectAll() {
    setSelection(graphics());
}

void SKTGraphicView::Clear_Control_Selection() {
    setSelection({});
}

bool SKTGraphicView::There_Is_Frame_Pic_Or_Frame_Photo() const {
    for (const GraphicPtr& g : selectedGraphics())
        if (g->control_ID == QLatin1String("PARTY_IMAGE") || g->control_ID == QLatin1String("PARTY_IMAGE_BG"))
            return true;
    return false;
}

GraphicPtr SKTGraphicView::Selcect_Ctrl_With_ID(const QString& controlId) const {
    for (const GraphicPtr& g : graphics())
        if (isTextOrPicture(g) && g->control_ID == controlId)
            return g;
    return nullptr;
}

GraphicPtr SKTGraphicView::graphicUnderPoint(const QPointF& p) const {
    // A few pixels of slack so that lines and thin items can be grabbed.
    const qreal slack = 3.0 / _zoom;
    // The card's frame picture covers the whole card in front of everything; a click goes through it to
    // the items it frames, and takes the frame only where nothing else is.
    GraphicPtr frame;
    for (const GraphicPtr& g : graphics()) {
        if (!g->ctrl_is_visible)
            continue;
        if (isCardFrame(g)) {
            if (!frame && g->bounds().contains(p))
                frame = g;
            continue;
        }
        if (!g->bounds().adjusted(-slack, -slack, slack, slack).contains(p))
            continue;
        if (g->kind() == GraphicKind::Line) {
            // A diagonal line is hit near the line, not anywhere in its box.
            const QLineF line = ItemPainting::linePoints(*g);
            const QPointF d = line.p2() - line.p1();
            const qreal len2 = QPointF::dotProduct(d, d);
            const qreal t =
                len2 > 0 ? std::clamp(QPointF::dotProduct(p - line.p1(), d) / len2, 0.0, 1.0) : 0.0;
            if (QLineF(p, line.p1() + t * d).length() > slack + g->_strokeWidth / 2)
                continue;
        }
        return g;
    }
    return frame;
}

QRectF SKTGraphicView::handleRect(const QPointF& c) const {
    const qreal half = (HandlePixels / 2.0 + 1) / _zoom;
    return QRectF(c.x() - half, c.y() - half, 2 * half, 2 * half);
}

SKTGraphicView::Handle SKTGraphicView::handleUnderPoint(const QPointF& p, GraphicPtr* item) const {
    for (const GraphicPtr& g : selectedGraphics()) {
        if (g->ctrl_is_locked || !g->ctrl_is_visible)
            continue;
        for (int h = TopLeft; h <= Left; ++h) {
            if (handleRect(handlePoint(g->bounds(), h)).contains(p)) {
                if (item)
                    *item = g;
                return Handle(h);
            }
        }
    }
    return NoHandle;
}

GraphicList SKTGraphicView::unlockedSelection() const {
    GraphicList out;
    for (const GraphicPtr& g : selectedGraphics())
        if (!g->ctrl_is_locked)
            out.append(g);
    return out;
}

void SKTGraphicView::pruneSelection() {
    GraphicList kept = selectedGraphics();
    if (kept.size() != _selection.size()) {
        _selection = kept;
        emit selectionChanged();
    }
    if (_Selected_Graphic && !graphics().contains(_Selected_Graphic))
        _Selected_Graphic.reset();
    if (_dragItem && !graphics().contains(_dragItem)) {
        _dragItem.reset();
        _drag = Drag::None;
    }
}

void SKTGraphicView::graphicsChanged() {
    pruneSelection();
    update();
}

void SKTGraphicView::emitInspect(const GraphicPtr& item) {
    emit inspectGraphic(item);
}

// ---------------------------------------------------------------- editing helpers

void SKTGraphicView::apply(QUndoCommand* command) {
    // Callers invalidate the areas the command changes.
    if (auto* sided = dynamic_cast<SideUndoCommand*>(command); sided && sided->cardSide() < 0)
        sided->setCardSide(int(_side));
    if (_document && _document->isUndoRegistrationEnabled()) {
        _applying = true;
        _document->undoManager()->push(command); // runs redo()
        _applying = false;
    } else {
        command->redo();
        delete command;
        pruneSelection();
        emit graphicsEdited();
    }
}

void SKTGraphicView::insertItems(const GraphicList& items, const QString& text) {
    if (_document)
        _document->insertGraphics(_side, items, 0, text);
}

bool SKTGraphicView::constraining() const {
    return _grid && _grid->isConstraining();
}

QPointF SKTGraphicView::snapPoint(const QPointF& p) const {
    if (!constraining())
        return p;
    const qreal s = _grid->spacing();
    if (s <= 0)
        return p;
    return QPointF(std::floor(p.x() / s + 0.5) * s, std::floor(p.y() / s + 0.5) * s);
}

void SKTGraphicView::invalidateCanvasRect(const QRectF& canvasRect) {
    const int pad = HandlePixels + 2;
    update(widgetRectFor(canvasRect).adjusted(-pad, -pad, pad, pad));
}

void SKTGraphicView::invalidateGraphic(const GraphicPtr& item) {
    if (item)
        invalidateCanvasRect(paintedArea(*item));
}

void SKTGraphicView::picturesReady(const QSet<qint64>& pictureKeys) {
    QRectF area;
    QSet<qint64> shown;
    for (const GraphicPtr& g : graphics()) {
        const qint64 key = g->_image.cacheKey();
        if (key != 0 && pictureKeys.contains(key)) {
            area = area.united(paintedArea(*g));
            shown.insert(key);
        }
    }
    // A picture no item shows (the card's background) is over the whole card.
    if (shown.size() < pictureKeys.size())
        update();
    else if (!area.isNull())
        invalidateCanvasRect(area);
}

void SKTGraphicView::invalidateGraphics(const GraphicList& items) {
    QRectF all;
    for (const GraphicPtr& g : items)
        all = all.united(paintedArea(*g));
    if (!all.isNull())
        invalidateCanvasRect(all);
}

QString SKTGraphicView::kindName(const SKTGraphic& g) {
    switch (g.kind()) {
    case GraphicKind::Text:
        return tr("Text");
    case GraphicKind::Image:
        return tr("Picture");
    case GraphicKind::Signature:
        return g.sign_or_fingureprint == QLatin1String("F") ? tr("Fingerprint") : tr("Signature");
    case GraphicKind::Line:
        return tr("Line");
    case GraphicKind::Barcode:
        return tr("Barcode");
    case GraphicKind::Shape:
        break;
    }
    static const QHash<QString, const char*> shapes = {{QStringLiteral("R"), "Rectangle"},
                                                       {QStringLiteral("C"), "Ellipse"},
                                                       {QStringLiteral("RR"), "Rounded Rectangle"},
                                                       {QStringLiteral("T"), "Triangle"},
                                                       {QStringLiteral("D"), "Diamond"},
                                                       {QStringLiteral("S"), "Star"},
                                                       {QStringLiteral("DS"), "Double Star"},
                                                       {QStringLiteral("P"), "Polygon"}};
    return tr(shapes.value(g._shape_type, "Shape"));
}

QString SKTGraphicView::selectionSummary() const {
    const GraphicList items = selectedGraphics();
    if (items.isEmpty())
        return {};
    if (items.size() > 1)
        return tr("%1 items selected").arg(items.size());
    const QRectF r = items.first()->bounds();
    auto n = [](qreal v) {
        return QString::number(v, 'f', 1).remove(QRegularExpression(QStringLiteral("\\.0$")));
    };
    QString text = tr("%1   x %2   y %3   w %4   h %5")
                       .arg(kindName(*items.first()), n(r.x()), n(r.y()), n(r.width()), n(r.height()));
    if (items.first()->ctrl_is_locked)
        text += tr("   (locked)");
    return text;
}

// ---------------------------------------------------------------- painting

void SKTGraphicView::setCardProperty(const Card_Property* property) {
    _cardProperty = property;
    update();
}

void SKTGraphicView::paintSide(QPainter& p, const QRectF& dirty) const {
    // Only the items that reach into the repainted area go to the renderer.
    GraphicList visible;
    for (const GraphicPtr& g : graphics())
        if (g->ctrl_is_visible && paintedArea(*g).intersects(dirty))
            visible.append(g);
    static const Card_Property plainCard;
    const QRectF card(QPointF(0, 0), _canvasSize);
    SKTRenderingView::paintCardSide(p, visible, _cardProperty ? *_cardProperty : plainCard, Card_Shape, card,
                                    dirty, false);
    if (_grid && _grid->isVisible() && _grid->spacing() * _zoom >= 3) {
        const qreal s = _grid->spacing();
        // Over the items, faint enough not to hide them.
        QColor line = _grid->color();
        line.setAlpha(110);
        QPen pen(line, 0);
        p.setPen(pen);
        const QRectF area = dirty.intersected(QRectF(QPointF(0, 0), _canvasSize));
        for (qreal x = std::ceil(area.left() / s) * s; x <= area.right(); x += s)
            p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        for (qreal y = std::ceil(area.top() / s) * s; y <= area.bottom(); y += s)
            p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
}

void SKTGraphicView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect dirtyPx = event->rect();
    p.setClipRect(dirtyPx);
    p.save();
    p.scale(_zoom, _zoom);
    const QRectF dirty(QPointF(dirtyPx.topLeft()) / _zoom, QSizeF(dirtyPx.size()) / _zoom);
    {
        // No picture is decoded or scaled here at length: until it is made, the one made before is drawn.
        const ProcessedImageCache::AsyncScope async;
        paintSide(p, dirty.adjusted(-1, -1, 1, 1));
    }
    p.restore();

    // Selection handles, in screen pixels so they keep their size at every zoom.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const GraphicPtr& g : selectedGraphics()) {
        const QRectF r(g->bounds().topLeft() * _zoom, g->bounds().size() * _zoom);
        if (!r.adjusted(-HandlePixels, -HandlePixels, HandlePixels, HandlePixels).intersects(dirtyPx))
            continue;
        p.setPen(QPen(QColor(40, 110, 220), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        const bool locked = g->ctrl_is_locked;
        p.setPen(QPen(locked ? QColor(120, 120, 120) : QColor(20, 80, 200), 1));
        p.setBrush(locked ? QColor(200, 200, 200) : QColor(255, 255, 255));
        for (int h = TopLeft; h <= Left; ++h) {
            const QPointF c = handlePoint(r, h);
            p.drawRect(
                QRectF(c.x() - HandlePixels / 2.0, c.y() - HandlePixels / 2.0, HandlePixels, HandlePixels));
        }
    }
    if (_drag == Drag::Rubber || _drag == Drag::Create) {
        const QRectF r = QRectF(_pressPoint * _zoom, _currentPoint * _zoom).normalized();
        p.setPen(QPen(QColor(40, 110, 220), 1, Qt::DashLine));
        p.setBrush(_drag == Drag::Rubber ? QColor(40, 110, 220, 30) : QColor(0, 0, 0, 0));
        if (_drag == Drag::Create && tool() == 1)
            p.drawLine(_pressPoint * _zoom, _currentPoint * _zoom);
        else
            p.drawRect(r);
    }
}
