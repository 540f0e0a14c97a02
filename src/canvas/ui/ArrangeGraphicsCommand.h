#pragma once

#include "canvas/SKTGraphic.h"

#include "canvas/SideUndoCommand.h"
#include <vector>

// Gives several items new bounds at once (align, same size, natural size, align to grid).
class ArrangeGraphicsCommand : public SideUndoCommand {
public:
    struct Change {
        GraphicPtr item;
        QRectF from;
        QRectF to;
    };
    ArrangeGraphicsCommand(std::vector<Change> changes, const QString& text, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    bool isEmpty() const { return _changes.empty(); }

private:
    std::vector<Change> _changes;
};
