#include "canvas/ui/ReorderGraphicsCommand.h"

ReorderGraphicsCommand::ReorderGraphicsCommand(SKTDocument* document, CardSide side, GraphicList newOrder,
                                               const QString& text, QUndoCommand* parent)
    : SideUndoCommand(text, parent), _document(document), _side(side), _before(document->graphicsOf(side)),
      _after(std::move(newOrder)) {}

void ReorderGraphicsCommand::redo() {
    _document->graphicsOf(_side) = _after;
    _document->notifyGraphicsChanged(_side);
}

void ReorderGraphicsCommand::undo() {
    _document->graphicsOf(_side) = _before;
    _document->notifyGraphicsChanged(_side);
}
