#pragma once

#include "canvas/SKTGraphic.h"
#include "canvas/ui/GraphicCommandIds.h"

#include "canvas/SideUndoCommand.h"

// Resizes one item. Steps of one handle drag merge.
class ResizeGraphicCommand : public SideUndoCommand {
public:
    ResizeGraphicCommand(GraphicPtr item, const QRectF& from, const QRectF& to, int mergeKey,
                         QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return ResizeGraphicCommandId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    GraphicPtr _item;
    QRectF _from;
    QRectF _to;
    int _mergeKey;
};
