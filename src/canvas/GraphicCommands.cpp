#include "canvas/GraphicCommands.h"


MoveGraphicsCommand::MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("Move"), parent), _items(std::move(items)), _delta(delta), _mergeKey(mergeKey)
{
}

void MoveGraphicsCommand::redo()
{
    for (const GraphicPtr& item : std::as_const(_items))
        item->setBounds(item->bounds().translated(_delta));
}

void MoveGraphicsCommand::undo()
{
    for (const GraphicPtr& item : std::as_const(_items))
        item->setBounds(item->bounds().translated(-_delta));
}

bool MoveGraphicsCommand::mergeWith(const QUndoCommand* other)
{
    const auto* move = static_cast<const MoveGraphicsCommand*>(other);
    if (_mergeKey == 0 || move->_mergeKey != _mergeKey || move->_items != _items)
        return false;
    _delta += move->_delta;
    return true;
}

ResizeGraphicCommand::ResizeGraphicCommand(GraphicPtr item, const QRectF& from, const QRectF& to, int mergeKey,
                                           QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("Resize"), parent), _item(std::move(item)), _from(from), _to(to),
      _mergeKey(mergeKey)
{
}

void ResizeGraphicCommand::redo() { _item->setBounds(_to); }

void ResizeGraphicCommand::undo() { _item->setBounds(_from); }

bool ResizeGraphicCommand::mergeWith(const QUndoCommand* other)
{
    const auto* resize = static_cast<const ResizeGraphicCommand*>(other);
    if (_mergeKey == 0 || resize->_mergeKey != _mergeKey || resize->_item != _item)
        return false;
    _to = resize->_to;
    return true;
}

ArrangeGraphicsCommand::ArrangeGraphicsCommand(std::vector<Change> changes, const QString& text,
                                               QUndoCommand* parent)
    : QUndoCommand(text, parent), _changes(std::move(changes))
{
}

void ArrangeGraphicsCommand::redo()
{
    for (const Change& c : _changes)
        c.item->setBounds(c.to);
}

void ArrangeGraphicsCommand::undo()
{
    for (auto it = _changes.rbegin(); it != _changes.rend(); ++it)
        it->item->setBounds(it->from);
}

ReorderGraphicsCommand::ReorderGraphicsCommand(SKTDocument* document, CardSide side, GraphicList newOrder,
                                               const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent), _document(document), _side(side), _before(document->graphicsOf(side)),
      _after(std::move(newOrder))
{
}

void ReorderGraphicsCommand::redo()
{
    _document->graphicsOf(_side) = _after;
    _document->notifyGraphicsChanged(_side);
}

void ReorderGraphicsCommand::undo()
{
    _document->graphicsOf(_side) = _before;
    _document->notifyGraphicsChanged(_side);
}
