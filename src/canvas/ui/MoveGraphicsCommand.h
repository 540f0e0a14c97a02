#pragma once

#include "canvas/ui/GraphicCommandIds.h"
#include "canvas/SKTGraphic.h"

#include "canvas/SideUndoCommand.h"

#include <vector>

// Moves items by a delta. It keeps each item's bounds before and after, so undo and redo put back exact
// positions however many steps merged. Steps of one drag (same non-zero merge key, same items) merge.
class MoveGraphicsCommand : public SideUndoCommand {
public:
    MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return MoveGraphicsCommandId; }
    bool mergeWith(const QUndoCommand* other) override;
    QPointF delta() const;

private:
    GraphicList _items;
    std::vector<QRectF> _from;
    std::vector<QRectF> _to;
    int _mergeKey;
};
