#include "canvas/ui/SKTGraphicView.h"

#include "canvas/Card_Property.h"
#include "canvas/GraphicClipboard.h"
#include "canvas/ItemPainting.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "canvas/SKTRenderingView.h"
#include "canvas/ui/GraphicCommands.h"
#include "common/Globals.h"
#include "common/Prompt.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSet>
#include <QUndoStack>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr int HandlePixels = 7;     // side of a selection handle on screen
constexpr int DragThreshold = 3;    // pixels before a press becomes a drag
constexpr qreal NewItemMinimum = 4; // points: a smaller drag counts as a click
int nextMergeKey = 1;

const QStringList& profileIds() {
    static const QStringList ids = {
        QStringLiteral("Fup_Name"),          QStringLiteral("Fup_Title"),   QStringLiteral("Fup_Company"),
        QStringLiteral("Fup_CompanySlogan"), QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
        QStringLiteral("Fup_FaxNo"),         QStringLiteral("Fup_EmailID"), QStringLiteral("Fup_Website"),
        QStringLiteral("Fup_UniqueNo"),      QStringLiteral("Fup_Photo")};
    return ids;
}

// Everything an item's drawing can touch: stroke, miters, rotated text and shadow included.
QRectF paintedArea(const SKTGraphic& g) {
    return ItemPainting::paintedBounds(g).united(g.drawingBounds()).united(g.bounds());
}

bool isTextOrPicture(const GraphicPtr& g) {
    return g->kind() == GraphicKind::Text || g->kind() == GraphicKind::Image;
}

} // namespace

SKTGraphicView::SKTGraphicView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // cursor feedback over handles and items
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCanvasSize(_canvasSize);
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

namespace {
bool isCardFrame(const GraphicPtr& g) {
    return g && g->control_ID == QLatin1String("PARTY_IMAGE_BG") && g->kind() == GraphicKind::Image;
}
} // namespace

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

static QPointF handlePoint(const QRectF& r, int h) {
    switch (h) {
    case SKTGraphicView::TopLeft:
        return r.topLeft();
    case SKTGraphicView::Top:
        return QPointF(r.center().x(), r.top());
    case SKTGraphicView::TopRight:
        return r.topRight();
    case SKTGraphicView::Right:
        return QPointF(r.right(), r.center().y());
    case SKTGraphicView::BottomRight:
        return r.bottomRight();
    case SKTGraphicView::Bottom:
        return QPointF(r.center().x(), r.bottom());
    case SKTGraphicView::BottomLeft:
        return r.bottomLeft();
    default:
        return QPointF(r.left(), r.center().y());
    }
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

void SKTGraphicView::insertItems(const GraphicList& items) {
    if (_document)
        _document->insertGraphics(_side, items, 0);
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

// ---------------------------------------------------------------- creation

QString SKTGraphicView::classForTool(int tool) {
    switch (tool) {
    case 1:
        return QStringLiteral("SKTLine");
    case 2:
        return QStringLiteral("SKTText");
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 13:
    case 14:
    case 15:
        return QStringLiteral("Shape_Control");
    case 8:
    case 9:
        return QStringLiteral("SKTImage");
    case 10:
        return QStringLiteral("SKTBarcode");
    case 11:
    case 12:
        return QStringLiteral("SKTSignature");
    default:
        return {};
    }
}

QString SKTGraphicView::shapeCodeForTool(int tool) {
    switch (tool) {
    case 3:
        return QStringLiteral("R");
    case 4:
        return QStringLiteral("C");
    case 5:
        return QStringLiteral("RR");
    case 6:
        return QStringLiteral("T");
    case 7:
        return QStringLiteral("D");
    case 13:
        return QStringLiteral("S");
    case 14:
        return QStringLiteral("DS");
    case 15:
        return QStringLiteral("P");
    default:
        return {};
    }
}

QSizeF SKTGraphicView::defaultSizeForTool(int tool) {
    switch (tool) {
    case 1:
        return {120, 2};
    case 2:
        return {180, 40};
    case 8:
    case 9:
        return {120, 120};
    case 10:
        return {160, 80};
    case 11:
    case 12:
        return {120, 60};
    default:
        return {90, 90};
    }
}

GraphicPtr SKTGraphicView::createGraphicOfClass(const QString& className, const QInputEvent* event,
                                                bool useRect, const QRectF& boundRect,
                                                const QString& cardSide, const QString& ctrlValue,
                                                const QString& ctrlId) {
    Q_UNUSED(event);
    const int t = tool();
    QString cls = className.isEmpty() ? classForTool(t) : className;
    GraphicPtr g = makeGraphicOfClass(cls);
    if (!g)
        return nullptr;

    if (g->kind() == GraphicKind::Shape) {
        QString code = shapeCodeForTool(t);
        g->_shape_type = code.isEmpty() ? QStringLiteral("R") : code;
    }
    if (g->kind() == GraphicKind::Signature)
        g->sign_or_fingureprint = t == 12 ? QStringLiteral("F") : QStringLiteral("S");
    if (g->kind() == GraphicKind::Text) {
        if (_cardProperty) {
            g->text_ctrl_font = _cardProperty->Card_Content_font;
            g->txt_clr = _cardProperty->Card_Content_clr;
        }
        auto* text = static_cast<SKTText*>(g.get());
        if (!ctrlValue.isEmpty()) {
            text->setText(ctrlValue);
            g->Text_Value = g->_Text_contents;
            g->_isDrawingStroke = false;
            g->_isDrawingFill = false;
        } else {
            text->setText(QStringLiteral("Text"));
            g->Text_Value = g->_Text_contents;
            g->_isDrawingStroke = false;
        }
    }
    if (g->kind() == GraphicKind::Image) {
        QString path;
        if (!Library_Selected_Image.isEmpty() && QFileInfo(Library_Selected_Image).isFile())
            path = Library_Selected_Image;
        else if (!ctrlValue.isEmpty() && QFileInfo(ctrlValue).isFile())
            path = ctrlValue;
        g->control_ID = ctrlId; // the main photo takes the host's picture by its ID
        static_cast<SKTImage*>(g.get())->setFilePath(path);
        if (const QString& why = static_cast<SKTImage*>(g.get())->pictureError(); !why.isEmpty())
            Show_MessageBox(why);
        g->_isDrawingStroke = false;
    }
    if (g->kind() == GraphicKind::Signature || g->kind() == GraphicKind::Barcode)
        g->_isDrawingStroke = false;

    QRectF rect;
    if (useRect) {
        rect = boundRect.normalized();
        if (constraining())
            rect = QRectF(snapPoint(rect.topLeft()), snapPoint(rect.bottomRight()));
    } else {
        QPointF at = _delegate ? _delegate->Control_New_Point(cardSide) : QPointF(last_ctrl_X, last_ctrl_Y);
        QSizeF size = defaultSizeForTool(t);
        if (g->kind() == GraphicKind::Image && !g->_image.isNull())
            size = g->_image.size().scaled(size.toSize() * 2, Qt::KeepAspectRatio);
        rect = QRectF(at, size);
    }
    if (rect.width() < 1)
        rect.setWidth(1);
    if (rect.height() < 1)
        rect.setHeight(1);
    g->setBounds(rect);
    g->control_ID = ctrlId;

    insertItems({g});
    _Selected_Graphic = g;
    setSelection({g});
    invalidateGraphic(g);
    return g;
}

GraphicPtr SKTGraphicView::ReplaceGraphicText(const QString& className, const QInputEvent* event,
                                              bool useRect, const QRectF& boundRect, const QString& cardSide,
                                              const QString& ctrlValue, const QString& ctrlId) {
    GraphicPtr found = Selcect_Ctrl_With_ID(ctrlId);
    if (!found)
        return createGraphicOfClass(className, event, useRect, boundRect, cardSide, ctrlValue, ctrlId);
    if (found->kind() == GraphicKind::Image) {
        if (QFileInfo(ctrlValue).isFile()) {
            static_cast<SKTImage*>(found.get())->setFilePath(ctrlValue);
            found->ctrl_is_visible = true;
        } else {
            Show_NSLog_Message(ctrlValue);
        }
    } else if (!ctrlValue.isEmpty()) {
        auto* text = static_cast<SKTText*>(found.get());
        text->setText(ctrlValue);
        found->Text_Value = found->_Text_contents;
        found->_isDrawingStroke = false;
        found->_isDrawingFill = false;
        found->ctrl_is_visible = true;
    }
    _Selected_Graphic = found;
    invalidateGraphic(found);
    emit graphicsEdited();
    return found;
}

void SKTGraphicView::finishCreation(const QRectF& dragRect, const QInputEvent* event) {
    const int t = tool();
    QRectF rect = dragRect.normalized();
    bool isLine = t == 1;
    bool tooSmall = isLine ? QLineF(dragRect.topLeft(), dragRect.bottomRight()).length() < NewItemMinimum
                           : (rect.width() < NewItemMinimum || rect.height() < NewItemMinimum);
    if (tooSmall) {
        QSizeF size = defaultSizeForTool(t);
        if ((t == 8 || t == 9) && QFileInfo(Library_Selected_Image).isFile()) {
            // A clicked picture keeps its proportions.
            const QSize natural = QImageReader(Library_Selected_Image).size();
            if (natural.isValid())
                size = QSizeF(natural).scaled(QSizeF(160, 160), Qt::KeepAspectRatio);
        }
        rect = QRectF(dragRect.topLeft(), size);
    }
    GraphicPtr g = createGraphicOfClass(classForTool(t), event, true, rect, _cardSide, QString(), QString());
    if (!g)
        return;
    if (isLine && !tooSmall) {
        // Orientation from the drag: 0 horizontal, 1 vertical, 2 falling diagonal, 3 rising diagonal.
        const QPointF d = dragRect.bottomRight() - dragRect.topLeft();
        if (std::abs(d.y()) < NewItemMinimum)
            g->_line_ori = 0;
        else if (std::abs(d.x()) < NewItemMinimum)
            g->_line_ori = 1;
        else
            g->_line_ori = (d.x() > 0) == (d.y() > 0) ? 2 : 3;
    }
    emit graphicCreated(g);
    emitInspect(g);
}

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
    std::vector<ArrangeGraphicsCommand::Change> changes;
    for (const GraphicPtr& g : selectedGraphics()) {
        const QRectF from = g->bounds();
        g->makeNaturalSize();
        const QRectF to = g->bounds();
        g->setBounds(from);
        if (to != from)
            changes.push_back({g, from, to});
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

void SKTGraphicView::copyItems(const GraphicList& items) {
    if (items.isEmpty())
        return;
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
    QGuiApplication::clipboard()->setMimeData(makeGraphicsMimeData(items, picture));
    emit copiedToClipboard();
}

void SKTGraphicView::cut() {
    // Locked items stay, so they are not copied either.
    const GraphicList items = unlockedSelection();
    if (items.isEmpty())
        return;
    copyItems(items);
    deleteSelection();
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
    placeAside(items);
    insertItems(items);
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
    insertItems(copies);
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

void SKTGraphicView::deleteSelection() {
    const GraphicList items = unlockedSelection();
    if (items.isEmpty())
        return;
    invalidateGraphics(items);
    if (_document)
        _document->removeGraphics(_side, items);
    pruneSelection();
    emitInspect(nullptr);
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
    paintSide(p, dirty.adjusted(-1, -1, 1, 1));
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

// ---------------------------------------------------------------- mouse and keys

void SKTGraphicView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && tool() == 0 && _drag == Drag::None) {
        // The context menu acts on what was right-clicked.
        GraphicPtr item = graphicUnderPoint(mapToCanvas(event->position()));
        if (item && !isSelected(item)) {
            setSelection({item});
            _Selected_Graphic = item;
            emitInspect(item);
        }
        return QWidget::mousePressEvent(event);
    }
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPointF p = mapToCanvas(event->position());
    _pressPoint = p;
    _currentPoint = p;
    _keyRun = false;
    const bool extend = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);

    if (tool() != 0) {
        _drag = Drag::Create;
        _pressPoint = _currentPoint = snapPoint(p);
        return;
    }

    GraphicPtr item;
    // Handles win over shift: shift while resizing keeps the proportions.
    Handle h = handleUnderPoint(p, &item);
    if (h != NoHandle) {
        _drag = Drag::Resize;
        _dragItem = item;
        _dragHandle = h;
        _dragStartRect = item->bounds();
        _grabOffset = handlePoint(_dragStartRect, h) - p;
        _mergeKey = nextMergeKey++;
        _dragStartIndex = _document ? _document->undoManager()->index() : 0;
        _Selected_Graphic = item;
        return;
    }

    item = graphicUnderPoint(p);
    _pressedFrame.reset();
    if (isCardFrame(item) && !extend) {
        // The frame covers the whole card: a drag on bare card draws a band rather than shifting the frame.
        _pressedFrame = item;
        item.reset();
    }
    if (item) {
        if (extend) {
            GraphicList sel = _selection;
            if (sel.contains(item))
                sel.removeOne(item);
            else
                sel.append(item);
            setSelection(sel);
            _drag = Drag::None;
            if (isSelected(item)) {
                _Selected_Graphic = item;
                emitInspect(item);
            } else {
                // Taking one item out keeps the rest selected and inspected.
                const GraphicList rest = selectedGraphics();
                emitInspect(rest.isEmpty() ? GraphicPtr() : rest.first());
            }
            return;
        }
        if (!isSelected(item))
            setSelection({item});
        _Selected_Graphic = item;
        _drag = Drag::Move;
        _dragItem = item;
        _anchorOrigin = item->bounds().topLeft();
        _mergeKey = nextMergeKey++;
        _dragStartIndex = _document ? _document->undoManager()->index() : 0;
        emitInspect(item);
        return;
    }

    _drag = Drag::Rubber;
    _rubberBase = extend ? _selection : GraphicList();
    if (!extend)
        setSelection({});
}

QRectF SKTGraphicView::resizedRect(const QRectF& start, Handle h, const QPointF& to, bool keepAspect) const {
    QPointF q = snapPoint(to);
    const bool corner = h == TopLeft || h == TopRight || h == BottomRight || h == BottomLeft;
    if (keepAspect && corner && start.width() > 0 && start.height() > 0) {
        // Shift on a corner keeps the proportions: the larger stretch wins.
        const QPointF anchor = handlePoint(start, (h + 4) % 8);
        const qreal dx = q.x() - anchor.x(), dy = q.y() - anchor.y();
        const qreal scale = std::max(std::abs(dx) / start.width(), std::abs(dy) / start.height());
        q = anchor +
            QPointF(std::copysign(start.width() * scale, dx), std::copysign(start.height() * scale, dy));
    }
    qreal l = start.left(), t = start.top(), r = start.right(), b = start.bottom();
    switch (h) {
    case TopLeft:
        l = q.x();
        t = q.y();
        break;
    case Top:
        t = q.y();
        break;
    case TopRight:
        r = q.x();
        t = q.y();
        break;
    case Right:
        r = q.x();
        break;
    case BottomRight:
        r = q.x();
        b = q.y();
        break;
    case Bottom:
        b = q.y();
        break;
    case BottomLeft:
        l = q.x();
        b = q.y();
        break;
    case Left:
        l = q.x();
        break;
    default:
        break;
    }
    QRectF out = QRectF(QPointF(l, t), QPointF(r, b)).normalized();
    if (out.width() < 1)
        out.setWidth(1);
    if (out.height() < 1)
        out.setHeight(1);
    return out;
}

void SKTGraphicView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = mapToCanvas(event->position());
    switch (_drag) {
    case Drag::Move: {
        if ((p - _pressPoint).manhattanLength() * _zoom < DragThreshold && _currentPoint == _pressPoint)
            return;
        _currentPoint = p;
        const GraphicList items = unlockedSelection();
        if (items.isEmpty())
            return;
        // The grabbed item leads; if it is locked the first unlocked one does.
        GraphicPtr lead = items.contains(_dragItem) ? _dragItem : items.first();
        if (lead != _dragItem) {
            _dragItem = lead;
            _anchorOrigin = lead->bounds().topLeft();
        }
        const QPointF target = snapPoint(_anchorOrigin + (p - _pressPoint));
        const QPointF delta = target - lead->bounds().topLeft();
        if (delta.isNull())
            return;
        invalidateGraphics(items);
        apply(new MoveGraphicsCommand(items, delta, _mergeKey));
        invalidateGraphics(items);
        return;
    }
    case Drag::Resize:
        resizeDragTo(p, event->modifiers() & Qt::ShiftModifier);
        return;
    case Drag::Rubber: {
        const QRectF before = QRectF(_pressPoint, _currentPoint).normalized();
        _currentPoint = p;
        const QRectF band = QRectF(_pressPoint, _currentPoint).normalized();
        GraphicList sel = _rubberBase;
        QSet<const SKTGraphic*> base;
        for (const GraphicPtr& g : std::as_const(_rubberBase))
            base.insert(g.get());
        for (const GraphicPtr& g : graphics()) {
            if (!g->ctrl_is_visible || base.contains(g.get()))
                continue;
            // The frame joins only when the band takes it in whole, not with every item it surrounds.
            if (isCardFrame(g) ? band.contains(g->bounds()) : band.intersects(g->bounds()))
                sel.append(g);
        }
        setSelection(sel);
        invalidateCanvasRect(before.united(band));
        return;
    }
    case Drag::Create: {
        const QRectF before = QRectF(_pressPoint, _currentPoint).normalized();
        _currentPoint = snapPoint(p);
        if (event->modifiers() & Qt::ShiftModifier) {
            // Shift draws squares and circles, and lines at multiples of 45 degrees.
            const QPointF d = _currentPoint - _pressPoint;
            if (tool() == 1) {
                QLineF line(_pressPoint, _currentPoint);
                line.setAngle(std::round(line.angle() / 45.0) * 45.0);
                _currentPoint = line.p2();
            } else {
                const qreal side = std::max(std::abs(d.x()), std::abs(d.y()));
                _currentPoint = _pressPoint + QPointF(std::copysign(side, d.x()), std::copysign(side, d.y()));
            }
        }
        invalidateCanvasRect(before.united(QRectF(_pressPoint, _currentPoint).normalized()));
        return;
    }
    case Drag::None:
        updateHoverCursor(p);
        return;
    }
}

void SKTGraphicView::resizeDragTo(const QPointF& pointer, bool keepAspect) {
    _currentPoint = pointer;
    if (!_dragItem || _dragItem->ctrl_is_locked)
        return;
    const QRectF to = resizedRect(_dragStartRect, _dragHandle, pointer + _grabOffset, keepAspect);
    if (to == _dragItem->bounds())
        return;
    invalidateGraphic(_dragItem);
    apply(new ResizeGraphicCommand(_dragItem, _dragItem->bounds(), to, _mergeKey));
    invalidateGraphic(_dragItem);
}

void SKTGraphicView::updateHoverCursor(const QPointF& p) {
    if (tool() != 0) {
        setCursor(Qt::CrossCursor);
        return;
    }
    static const Qt::CursorShape shapes[] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor,
                                             Qt::SizeHorCursor,   Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                             Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    const Handle h = handleUnderPoint(p, nullptr);
    if (h != NoHandle)
        setCursor(shapes[h]);
    else if (GraphicPtr g = graphicUnderPoint(p); g && !g->ctrl_is_locked)
        setCursor(Qt::SizeAllCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void SKTGraphicView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const Drag drag = _drag;
    _drag = Drag::None;
    const QRectF band = QRectF(_pressPoint, _currentPoint).normalized();
    switch (drag) {
    case Drag::Create:
        invalidateCanvasRect(band);
        finishCreation(QRectF(_pressPoint, _currentPoint), event);
        break;
    case Drag::Rubber: {
        invalidateCanvasRect(band);
        const qreal slack = 3.0 / _zoom;
        if (_pressedFrame && band.width() < slack && band.height() < slack)
            setSelection({_pressedFrame}); // a click on bare card picks the frame
        _pressedFrame.reset();
        const GraphicList sel = selectedGraphics();
        if (!sel.isEmpty())
            _Selected_Graphic = sel.first();
        emitInspect(sel.isEmpty() ? GraphicPtr() : sel.first());
        break;
    }
    case Drag::Move:
    case Drag::Resize:
        if (_dragItem)
            emitInspect(_dragItem);
        break;
    case Drag::None:
        break;
    }
    _dragItem.reset();
    _dragHandle = NoHandle;
}

void SKTGraphicView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || tool() != 0)
        return QWidget::mouseDoubleClickEvent(event);
    GraphicPtr item = graphicUnderPoint(mapToCanvas(event->position()));
    if (item && item->kind() == GraphicKind::Barcode && item->ctrl_is_visible && !item->ctrl_is_locked) {
        _Selected_Graphic = item;
        setSelection({item});
        emit barcodeDoubleClicked(item);
    } else if (item && item->kind() == GraphicKind::Text && !item->ctrl_is_locked) {
        _Selected_Graphic = item;
        setSelection({item});
        emit textDoubleClicked(item);
    }
}

void SKTGraphicView::keyPressEvent(QKeyEvent* event) {
    qreal step = (event->modifiers() & Qt::ShiftModifier) ? 10.0 : 1.0;
    if (constraining() && _grid->spacing() > 0)
        step = _grid->spacing();
    switch (event->key()) {
    case Qt::Key_Shift:
        // Pressing Shift in the middle of a resize keeps the proportions at once, without waiting for a move.
        if (_drag == Drag::Resize && !event->isAutoRepeat())
            resizeDragTo(_currentPoint, true);
        return QWidget::keyPressEvent(event);
    case Qt::Key_Left:
        moveSelectionBy({-step, 0});
        return;
    case Qt::Key_Right:
        moveSelectionBy({step, 0});
        return;
    case Qt::Key_Up:
        moveSelectionBy({0, -step});
        return;
    case Qt::Key_Down:
        moveSelectionBy({0, step});
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        deleteSelection();
        return;
    case Qt::Key_Escape:
        if (_drag != Drag::None) {
            // Escape during a move or resize puts the items back where the drag found them.
            if ((_drag == Drag::Move || _drag == Drag::Resize) && _document) {
                QUndoStack* stack = _document->undoManager();
                if (stack->index() > _dragStartIndex && stack->command(stack->index() - 1) &&
                    (stack->command(stack->index() - 1)->id() == MoveGraphicsCommandId ||
                     stack->command(stack->index() - 1)->id() == ResizeGraphicCommandId))
                    stack->undo();
            }
            _drag = Drag::None;
            _dragItem.reset();
            update();
        } else {
            Clear_Control_Selection();
            emitInspect(nullptr);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SKTGraphicView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift && _drag == Drag::Resize && !event->isAutoRepeat())
        resizeDragTo(_currentPoint, false);
    QWidget::keyReleaseEvent(event);
}

void SKTGraphicView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return QWidget::wheelEvent(event);
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        setZoom(_zoom * std::pow(1.25, steps));
    event->accept();
}

// ---------------------------------------------------------------- dropped picture files

QStringList SKTGraphicView::droppedPictures(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QFileInfo(path).isFile() && QImageReader(path).canRead())
            paths << path;
    }
    return paths;
}

void SKTGraphicView::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPictures(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void SKTGraphicView::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedPictures(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    dropPictureFiles(paths, mapToCanvas(event->position()));
}

GraphicList SKTGraphicView::dropPictureFiles(const QStringList& paths, const QPointF& canvasPoint) {
    GraphicList made;
    QPointF at = canvasPoint;
    for (const QString& path : paths) {
        const QSize natural = QImageReader(path).size();
        if (!natural.isValid())
            continue;
        // The new picture item takes its picture from Library_Selected_Image, as with the picture tool.
        Library_Selected_Image = path;
        const QSizeF size = QSizeF(natural).scaled(QSizeF(160, 160), Qt::KeepAspectRatio);
        if (GraphicPtr g = createGraphicOfClass(QStringLiteral("SKTImage"), nullptr, true, QRectF(at, size),
                                                _cardSide, path, QString()))
            made << g;
        at += QPointF(10, 10);
    }
    if (!made.isEmpty()) {
        setSelection(made);
        emitInspect(made.last());
    }
    return made;
}
