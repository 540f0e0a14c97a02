#include "canvas/ui/MoveGraphicsCommand.h"

MoveGraphicsCommand::MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent)
    : SideUndoCommand(QStringLiteral("Move"), parent), _items(std::move(items)), _mergeKey(mergeKey) {
    for (const GraphicPtr& item : std::as_const(_items)) {
        _from.push_back(item->bounds());
        _to.push_back(item->bounds().translated(delta));
    }
}

void MoveGraphicsCommand::redo() {
    for (size_t i = 0; i < _to.size(); ++i)
        _items[qsizetype(i)]->setBounds(_to[i]);
}

void MoveGraphicsCommand::undo() {
    for (size_t i = 0; i < _from.size(); ++i)
        _items[qsizetype(i)]->setBounds(_from[i]);
}

bool MoveGraphicsCommand::mergeWith(const QUndoCommand* other) {
    const auto* move = static_cast<const MoveGraphicsCommand*>(other);
    if (_mergeKey == 0 || move->_mergeKey != _mergeKey || move->_items != _items)
        return false;
    _to = move->_to;
    return true;
}

QPointF MoveGraphicsCommand::delta() const {
    return _to.empty() ? QPointF() : _to.front().topLeft() - _from.front().topLeft();
}
