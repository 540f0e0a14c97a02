#pragma once

#include "canvas/SKTGraphic.h"
#include "canvas/ui/GraphicCommandIds.h"

#include "canvas/SideUndoCommand.h"

// Moves items by a delta. Steps of one drag (same non-zero merge key, same items) merge into one command.
class MoveGraphicsCommand : public SideUndoCommand {
public:
    MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return MoveGraphicsCommandId; }
    bool mergeWith(const QUndoCommand* other) override;
    QPointF delta() const { return _delta; }

private:
    GraphicList _items;
    QPointF _delta;
    int _mergeKey;
};
