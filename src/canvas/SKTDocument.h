#pragma once

#include "canvas/SKTGraphic.h"

#include <QObject>
#include <QSizeF>
#include <QUndoStack>

// The sides whose items the document holds. Front and Back are the card; Temp is the scratch side used
// for previews.
enum class CardSide { Front = 0, Back = 1, Temp = 2 };

// Holds the three item arrays (each ordered front-most first) and the undo stack of a design. It never
// reads or writes a file: the window loads and saves designs and fills the arrays.
class SKTDocument : public QObject {
    Q_OBJECT
public:
    explicit SKTDocument(QObject* parent = nullptr);
    ~SKTDocument() override;

    // The live arrays. Code that changes one directly calls notifyGraphicsChanged afterwards.
    GraphicList& graphicsOf(CardSide side);
    const GraphicList& graphicsOf(CardSide side) const;
    GraphicList& graphics() { return graphicsOf(CardSide::Front); }
    GraphicList& graphics_back() { return graphicsOf(CardSide::Back); }
    GraphicList& graphics_temp() { return graphicsOf(CardSide::Temp); }

    void setGraphics(CardSide side, const GraphicList& items);
    // Inserts at index (clamped; 0 is front-most). Undoable when undo registration is on, as a step named
    // text (default "Insert").
    void insertGraphics(CardSide side, const GraphicList& items, int index = 0, const QString& text = {});
    // Removes the items that are in the side's array. Undoable when undo registration is on, as a step named
    // text (default "Delete").
    void removeGraphics(CardSide side, const GraphicList& items, const QString& text = {});
    void clearSide(CardSide side);
    void notifyGraphicsChanged(CardSide side) { emit graphicsChanged(side); }

    // Fills the scratch side with deep copies (through the item archive) of the source side's items, in
    // their order, so that a preview can change them without touching the design.
    void Temp_Design_Control_Assign(CardSide source);
    // Deep copies of the items, in order; an item that cannot be copied is left out.
    static GraphicList deepCopies(const GraphicList& items);

    QSizeF canvasSize() const { return m_canvasSize; }
    void setCanvasSize(const QSizeF& size);
    // Items of the front and back that lie wholly or partly outside the card (outputs cut them at its edge).
    int itemsBeyondCard() const;

    QUndoStack* undoManager() { return &m_undo; }
    // The design differs from the one last saved or opened: the undo stack stands elsewhere than at the
    // state saved, that state is gone (its steps were replaced or merged into), or something changed outside
    // the undo stack.
    bool isModified() const;
    // A state of the undo stack, as a save takes it with its snapshot.
    struct SavePoint {
        int index = 0;
        quint64 stamp = 0; // of the step below index (or of the empty stack): changes when it does
    };
    SavePoint savePoint() const;
    // After a save or an open: the design as it stood at point (by default as it stands) is the stored one.
    // A change made since stays modified.
    void setSaved(const SavePoint& point);
    void setSaved() { setSaved(savePoint()); }
    // For changes of stored content that are not undo steps (an imported data table, a new card built by
    // the start wizard): modified until the next save.
    void markChangedOutsideUndo();
    // Off while code builds a design (start wizard, loading); edits then are not undoable.
    void setUndoRegistrationEnabled(bool enabled) { m_undoRegistration = enabled; }
    bool isUndoRegistrationEnabled() const { return m_undoRegistration; }

signals:
    void graphicsChanged(CardSide side);
    void canvasSizeChanged(const QSizeF& size);
    void modifiedChanged(bool modified);

private:
    friend class GraphicsInsertionCommand;
    void insertNow(CardSide side, const GraphicList& items, const QList<int>& indexes);
    QList<int> removeNow(CardSide side, const GraphicList& items);

    GraphicList m_graphics[3];
    QSizeF m_canvasSize{504, 360};
    QUndoStack m_undo;
    bool m_undoRegistration = true;
    bool m_modified = false;
    // Each step of the stack as last seen and its stamp, new whenever the step at that place is replaced
    // or merged into; the empty stack's stamp is new after each clear.
    QList<const QUndoCommand*> m_steps;
    QList<quint64> m_stamps;
    quint64 m_baseStamp = 1;
    quint64 m_nextStamp = 2;
    int m_lastIndex = 0;
    SavePoint m_saved{0, 1};
    bool m_savedValid = true;
    void followStack(int index);
    bool savedStateStands() const;
    void updateModified();
};
