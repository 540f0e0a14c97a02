// The canvas's tools: making items with the creation tools, the mouse (select, move, resize, bands),
// the keys, the wheel and dropped picture files.

#include "canvas/ui/SKTGraphicView.h"

#include "canvas/Card_Property.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTItems.h"
#include "canvas/ui/GraphicCommands.h"
#include "canvas/ui/GraphicViewHelpers.h"
#include "common/Globals.h"
#include "common/PictureReader.h"
#include "common/Prompt.h"
#include "common/ui/LongJobGuard.h"
#include "common/ui/PictureWait.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineF>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

using namespace graphicview;

namespace {

constexpr int DragThreshold = 3;    // pixels before a press becomes a drag
constexpr qreal NewItemMinimum = 4; // points: a smaller drag counts as a click

} // namespace

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
        // A large picture is read on a worker under the window's wait sheet; Stop places nothing.
        const PictureWait wait(window());
        static_cast<SKTImage*>(g.get())->setFilePath(path);
        if (wait.stopped())
            return nullptr;
        if (const QString& why = static_cast<SKTImage*>(g.get())->pictureError(); !why.isEmpty()) {
            if (_pictureRefusals) {
                *_pictureRefusals << why; // a dropped picture: named with the others, and not placed
                return nullptr;
            }
            Show_MessageBox(why);
        }
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
            auto* picture = static_cast<SKTImage*>(found.get());
            const QString oldPath = picture->_file_path;
            const ItemPicture oldImage = picture->_image;
            const PictureWait wait(window());
            picture->setFilePath(ctrlValue);
            // Stop, or a picture that cannot be read (said), leaves the item as it was, and places nothing.
            if (wait.stopped() || (picture->_image.isNull() && !picture->pictureError().isEmpty())) {
                const QString why = wait.stopped() ? QString() : picture->pictureError();
                picture->_file_path = oldPath;
                picture->_image = oldImage;
                if (!why.isEmpty())
                    Show_MessageBox(why);
                return nullptr;
            }
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
        bool picture = false;
        if ((t == 8 || t == 9) && QFileInfo(Library_Selected_Image).isFile()) {
            // A clicked picture keeps its proportions.
            const pictures::PictureInfo info = pictures::inspectFile(Library_Selected_Image);
            const QSize natural = info.readable() ? info.size : QSize();
            picture = natural.isValid();
            if (picture)
                size = QSizeF(natural).scaled(QSizeF(160, 160), Qt::KeepAspectRatio);
        }
        // Clicked near an edge, the item lies inside the card all the same.
        rect = placedInsideCard(dragRect.topLeft(), size, _canvasSize, picture);
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

QStringList SKTGraphicView::droppedFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (const QString path = url.toLocalFile(); !path.isEmpty() && QFileInfo(path).isFile())
            paths << path;
    return paths;
}

// A drop is taken when it holds at least one picture.
static bool holdsPicture(const QStringList& files) {
    return std::any_of(files.cbegin(), files.cend(),
                       [](const QString& path) { return QImageReader(path).canRead(); });
}

void SKTGraphicView::dragEnterEvent(QDragEnterEvent* event) {
    if (holdsPicture(droppedFiles(event->mimeData())))
        event->acceptProposedAction();
}

void SKTGraphicView::dropEvent(QDropEvent* event) {
    // The other files dropped with the pictures are named with those that cannot be placed.
    const QStringList files = droppedFiles(event->mimeData());
    if (!holdsPicture(files))
        return;
    event->acceptProposedAction();
    // Placed once the drop has ended, so that the source is not kept waiting while large pictures are read.
    const QPointF at = mapToCanvas(event->position());
    // A job begun meanwhile (a save the user started at once) ends first: nothing changes the design then.
    QTimer::singleShot(0, this, [this, files, at] {
        LongJobGuard::whenIdle(this, [this, files, at] { dropPictureFiles(files, at); });
    });
}

GraphicList SKTGraphicView::dropPictureFiles(const QStringList& paths, const QPointF& canvasPoint) {
    GraphicList made;
    QPointF at = canvasPoint;
    // The pictures of one drop are one undo step: made directly, then taken out and inserted together.
    const bool record = _document && _document->isUndoRegistrationEnabled();
    if (record)
        _document->setUndoRegistrationEnabled(false);
    QStringList refused; // each with its reason, said once the others are placed
    _pictureRefusals = &refused;
    const auto unsaid = qScopeGuard([this] { _pictureRefusals = nullptr; });
    for (const QString& path : paths) {
        const pictures::PictureInfo info = pictures::inspectFile(path);
        const QSize natural = info.readable() ? info.size : QSize();
        if (!natural.isValid()) {
            refused << QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(),
                                                    info.refusal.isEmpty() ? QStringLiteral("It is no picture.")
                                                                           : info.refusal);
            continue;
        }
        // The new picture item takes its picture from Library_Selected_Image, as with the picture tool.
        Library_Selected_Image = path;
        const QSizeF size = QSizeF(natural).scaled(QSizeF(160, 160), Qt::KeepAspectRatio);
        const qsizetype refusals = refused.size();
        GraphicPtr g = createGraphicOfClass(QStringLiteral("SKTImage"), nullptr, true,
                                            placedInsideCard(at, size, _canvasSize, true), _cardSide, path,
                                            QString());
        if (!g && refused.size() > refusals)
            continue;
        if (!g)
            break; // Stop while a picture was read ends the drop; the pictures placed before it stay
        made << g;
        // The next a little lower and to the right of this one, or back where the card's edge leaves no room,
        // so that none lies hidden under another.
        const QRectF placed = g->bounds();
        const auto step = [](double end, double edge) { return edge <= 0 || end + 10 <= edge ? 10.0 : -10.0; };
        at = placed.topLeft() +
             QPointF(step(placed.right(), _canvasSize.width()), step(placed.bottom(), _canvasSize.height()));
    }
    _pictureRefusals = nullptr; // before the message, whose loop may run another drop
    if (record) {
        _document->removeGraphics(_side, made);
        _document->setUndoRegistrationEnabled(true);
        insertItems(GraphicList(made.crbegin(), made.crend())); // the last made lies front-most
    }
    if (!made.isEmpty()) {
        setSelection(made);
        emitInspect(made.last());
    }
    if (!refused.isEmpty())
        Show_MessageBox(QStringLiteral("These files could not be placed:\n") + refused.join(QLatin1Char('\n')));
    return made;
}
