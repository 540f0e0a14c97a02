#include "canvas/ui/ResizeGraphicCommand.h"

ResizeGraphicCommand::ResizeGraphicCommand(GraphicPtr item, const QRectF& from, const QRectF& to,
                                           int mergeKey, QUndoCommand* parent)
    : SideUndoCommand(QStringLiteral("Resize"), parent), _item(std::move(item)), _from(from), _to(to),
      _mergeKey(mergeKey) {}

void ResizeGraphicCommand::redo() {
    _item->setBounds(_to);
}

void ResizeGraphicCommand::undo() {
    _item->setBounds(_from);
}

bool ResizeGraphicCommand::mergeWith(const QUndoCommand* other) {
    const auto* resize = static_cast<const ResizeGraphicCommand*>(other);
    if (_mergeKey == 0 || resize->_mergeKey != _mergeKey || resize->_item != _item)
        return false;
    _to = resize->_to;
    return true;
}
