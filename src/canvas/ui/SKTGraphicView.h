#pragma once

// The canvas of one card side. Shows the side's items over the card base, creates items with the current
// tool, and offers selection, moving, resizing, arranging, clipboard and delete. Every change of the item
// array goes through the undo stack when one is set.

#include "canvas/SKTDocument.h"
#include "canvas/SKTGraphic.h"
#include "canvas/ui/GraphicViewDelegate.h"

#include <QPointer>
#include <QSet>
#include <QWidget>
#include <functional>

class QInputEvent;
class QMimeData;
class QUndoCommand;
class SKTGrid;
struct Card_Property;

class SKTGraphicView : public QWidget {
    Q_OBJECT
public:
    enum class Alignment { Left, Right, Top, Bottom, HorizontalCenter, VerticalCenter };
    // Handle positions of a selected item, clockwise from the top-left corner.
    enum Handle { NoHandle = -1, TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };

    explicit SKTGraphicView(QWidget* parent = nullptr);
    ~SKTGraphicView() override;

    // --- wiring ---
    // The document and the side whose items this canvas shows and edits.
    void setDocument(SKTDocument* document, CardSide side);
    SKTDocument* document() const { return _document; }
    CardSide side() const { return _side; }
    const GraphicList& graphics() const;
    void setGrid(SKTGrid* grid);
    SKTGrid* grid() const { return _grid; }
    void setDelegate(GraphicViewDelegate* delegate) { _delegate = delegate; }
    // The settings of the side shown, for the card base and the defaults of new text (not owned).
    void setCardProperty(const Card_Property* property);
    const Card_Property* cardProperty() const { return _cardProperty; }
    // "F" front, "B" back; the TEMP canvas shows the side it previews.
    void setCardSide(const QString& side) { _cardSide = side; }
    QString cardSide() const { return _cardSide; }
    // The card size in points (the canvas's own coordinate space).
    void setCanvasSize(const QSizeF& size);
    QSizeF canvasSize() const { return _canvasSize; }
    void setZoom(double zoom);
    double zoom() const { return _zoom; }
    // Tool used when there is no delegate.
    void setTool(int tool) { _tool = tool; }
    int tool() const;

    QPointF mapToCanvas(const QPointF& widgetPos) const { return widgetPos / _zoom; }
    QPointF mapFromCanvas(const QPointF& canvasPos) const { return canvasPos * _zoom; }
    QRect widgetRectFor(const QRectF& canvasRect) const;

    // --- selection ---
    GraphicList selectedGraphics() const;
    QList<qsizetype> selectionIndexes() const;
    void setSelectionIndexes(const QList<qsizetype>& indexes);
    bool isSelected(const GraphicPtr& item) const;
    void selectGraphic(const GraphicPtr& item, bool extend = false);
    void selectAll();
    void Clear_Control_Selection();
    bool There_Is_Frame_Pic_Or_Frame_Photo() const;
    // The canvas's current item: the one last created, replaced or clicked. Cleared whenever it leaves the
    // array, so it never refers to an item that is no longer on this side.
    GraphicPtr _Selected_Graphic;
    GraphicPtr Selcect_Ctrl_With_ID(const QString& controlId) const;
    // Front-most visible item under a canvas point, or nullptr.
    GraphicPtr graphicUnderPoint(const QPointF& canvasPoint) const;
    // Handle of a selected unlocked item under a canvas point.
    Handle handleUnderPoint(const QPointF& canvasPoint, GraphicPtr* item) const;

    // What the selection is and where, for the status line: "Rectangle  x 50  y 60  w 100  h 80",
    // "3 items selected", or empty.
    QString selectionSummary() const;
    static QString kindName(const SKTGraphic& item);

    // --- item creation ---
    // The item class for a tool ("SKTText", "Shape_Control", ...); empty for the arrow tool.
    static QString classForTool(int tool);
    static QString shapeCodeForTool(int tool);
    // Default size of an item made by a click without a drag.
    static QSizeF defaultSizeForTool(int tool);
    // Both give the item made or changed, or null when nothing was (Stop while its picture was read).
    GraphicPtr createGraphicOfClass(const QString& className, const QInputEvent* event, bool useRect,
                                    const QRectF& boundRect, const QString& cardSide,
                                    const QString& ctrlValue, const QString& ctrlId);
    GraphicPtr ReplaceGraphicText(const QString& className, const QInputEvent* event, bool useRect,
                                  const QRectF& boundRect, const QString& cardSide, const QString& ctrlValue,
                                  const QString& ctrlId);

    // --- arrange (on the selection; locked items stay) ---
    void alignLeftEdges();
    void alignRightEdges();
    void alignTopEdges();
    void alignBottomEdges();
    void alignHorizontalCenters();
    void alignVerticalCenters();
    void alignformCenter();
    void makeSameWidth();
    void makeSameHeight();
    void makeNaturalSize();
    void alignWithGrid();
    void bringToFront();
    void sendToBack();
    // Moves the unlocked selected items; with the grid constraining, by whole grid steps.
    void moveSelectionBy(const QPointF& delta);

    void print_contol_or_not(int value);
    void Hide_all_Text_control_FUP_Control();
    void startEditingGraphic(const GraphicPtr& item) { Q_UNUSED(item); }
    void Refresh_ScrollView();
    // Repaints the area an item covers now (call after changing it directly).
    void invalidateGraphic(const GraphicPtr& item);
    // Repaints what shows the pictures (by ItemPicture::cacheKey()) made on a worker since the last call.
    void picturesReady(const QSet<qint64>& pictureKeys);

    // --- clipboard and delete ---
    void copy();
    void cut();
    void paste();
    // Copies of the selected items beside them, selected.
    void duplicate();
    // text: the undo step's name (default "Delete").
    void deleteSelection(const QString& text = {});
    static bool clipboardHasGraphics();
    // Picture items for picture files dropped at a canvas point (files that are not pictures are passed
    // over).
    GraphicList dropPictureFiles(const QStringList& paths, const QPointF& canvasPoint);

    // --- the array was replaced or changed (new design, load, undo): drops what left it and repaints ---
    void graphicsChanged();
    // Forgets the selection and the current item (new design, loaded design).
    void resetState();

    // Paints the side (card base, items, grid) into a painter in canvas coordinates; the view's paint path.
    void paintSide(QPainter& painter, const QRectF& dirty) const;

signals:
    // After a click, a drag or a creation: the item to inspect (nullptr after a delete or an empty click).
    void inspectGraphic(const GraphicPtr& item);
    void selectionChanged();
    // A new item was made with a tool: the window goes back to the arrow tool.
    void graphicCreated(const GraphicPtr& item);
    void barcodeDoubleClicked(const GraphicPtr& item);
    // A double click on a text item: the window lets the user type its text.
    void textDoubleClicked(const GraphicPtr& item);
    void copiedToClipboard();
    // The canvas changed items directly (without the undo stack).
    void graphicsEdited();
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Drag { None, Move, Resize, Rubber, Create };

    void apply(QUndoCommand* command);
    void insertItems(const GraphicList& items, const QString& text = {});
    void pruneSelection();
    void setSelection(const GraphicList& items);
    void emitInspect(const GraphicPtr& item);
    GraphicList unlockedSelection() const;
    QPointF snapPoint(const QPointF& p) const;
    bool constraining() const;
    QRectF resizedRect(const QRectF& start, Handle handle, const QPointF& to, bool keepAspect) const;
    void resizeDragTo(const QPointF& pointer, bool keepAspect);
    QRectF handleRect(const QPointF& canvasPoint) const;
    void arrange(const std::function<QRectF(const GraphicPtr&, qsizetype)>& place, bool skipFirst,
                 const QString& text);
    void alignSelection(Alignment a, const QString& undoText);
    void invalidateCanvasRect(const QRectF& canvasRect);
    void invalidateGraphics(const GraphicList& items);
    void finishCreation(const QRectF& rect, const QInputEvent* event);
    void updateHoverCursor(const QPointF& canvasPoint);
    bool copyItems(const GraphicList& items); // false, said to the user, when they cannot be pasted
    void placeAside(const GraphicList& items) const;
    static QStringList droppedFiles(const QMimeData* data); // the local files of a drop

    QPointer<SKTDocument> _document;
    CardSide _side = CardSide::Front;
    SKTGrid* _grid = nullptr;
    GraphicViewDelegate* _delegate = nullptr;
    const Card_Property* _cardProperty = nullptr;
    QString _cardSide = QStringLiteral("F");
    QSizeF _canvasSize = QSizeF(504, 360);
    double _zoom = 1.0;
    int _tool = 0;

    GraphicList _selection;

    Drag _drag = Drag::None;
    QPointF _pressPoint;   // canvas points
    QPointF _currentPoint; // canvas points
    QPointF _anchorOrigin; // origin of the grabbed item at the press
    GraphicPtr _dragItem;  // grabbed or resized item
    Handle _dragHandle = NoHandle;
    QRectF _dragStartRect;
    QPointF _grabOffset; // from the pointer to the grabbed handle's centre, so the handle does not jump
    GraphicList _rubberBase; // selection before a shift rubber band
    GraphicPtr _pressedFrame; // the card's frame picture when a band began on it: a click selects it
    int _mergeKey = 0;       // same key for the steps of one drag or one run of arrow keys
    bool _keyRun = false;
    int _dragStartIndex = 0; // undo stack index when the current move or resize began
    bool _applying = false;  // inside apply(): the command's areas are invalidated by the caller
    QStringList* _pictureRefusals = nullptr; // while a drop is placed: pictures that did not load, unsaid
};
