#pragma once

// Undo of card-side edits: the settings of both sides, the card's size, shape and number of sides, the frame
// picture, and the items those edits touch (the frame picture item, the texts that take the content font and
// colour).

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"
#include "canvas/SideUndoCommand.h"

#include <QSizeF>
#include <QString>
#include <functional>

struct CardEditState {
    Card_Property front;
    Card_Property back;
    QSizeF canvasSize;
    int cardShape = 0;
    QString cardSides;
    QString framePath;
    GraphicList frontItems;
    GraphicList backItems;
    GraphicList frontStates; // a copy of each item's fields, parallel to frontItems
    GraphicList backStates;

    bool sameAs(const CardEditState& other) const;
};

class CardEditCommand : public SideUndoCommand {
public:
    static constexpr int Id = 7302;
    using Apply = std::function<void(const CardEditState& state)>;
    // Pushed after the edit was made: its first redo does nothing. A non-empty merge key joins the
    // following step with the same key (the steps of one stepper).
    CardEditCommand(CardEditState before, CardEditState after, const QString& text, QString mergeKey,
                    int side, Apply apply);
    void undo() override;
    void redo() override;
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    CardEditState m_before;
    CardEditState m_after;
    QString m_key;
    Apply m_apply;
    bool m_done = true;
};
