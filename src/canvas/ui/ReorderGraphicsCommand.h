#pragma once

#include "canvas/SKTDocument.h"
#include "canvas/SKTGraphic.h"

#include "canvas/SideUndoCommand.h"

// Changes the stacking order of a side (bring to front, send to back).
class ReorderGraphicsCommand : public SideUndoCommand {
public:
    ReorderGraphicsCommand(SKTDocument* document, CardSide side, GraphicList newOrder, const QString& text,
                           QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    SKTDocument* _document;
    CardSide _side;
    GraphicList _before;
    GraphicList _after;
};
