#include "canvas/ui/MoveGraphicsCommand.h"

MoveGraphicsCommand::MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent)
    : SideUndoCommand(QStringLiteral("Move"), parent), _items(std::move(items)), _delta(delta),
      _mergeKey(mergeKey) {}

void MoveGraphicsCommand::redo() {
    for (const GraphicPtr& item : std::as_const(_items))
        item->setBounds(item->bounds().translated(_delta));
}

void MoveGraphicsCommand::undo() {
    for (const GraphicPtr& item : std::as_const(_items))
        item->setBounds(item->bounds().translated(-_delta));
}

bool MoveGraphicsCommand::mergeWith(const QUndoCommand* other) {
    const auto* move = static_cast<const MoveGraphicsCommand*>(other);
    if (_mergeKey == 0 || move->_mergeKey != _mergeKey || move->_items != _items)
        return false;
    _delta += move->_delta;
    return true;
}
