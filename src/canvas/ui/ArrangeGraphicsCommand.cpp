#include "canvas/ui/ArrangeGraphicsCommand.h"

ArrangeGraphicsCommand::ArrangeGraphicsCommand(std::vector<Change> changes, const QString& text,
                                               QUndoCommand* parent)
    : SideUndoCommand(text, parent), _changes(std::move(changes)) {}

void ArrangeGraphicsCommand::redo() {
    for (const Change& c : _changes) {
        c.item->setBounds(c.to);
        if (c.flipsTo)
            c.flipsTo->putInto(*c.item);
    }
}

void ArrangeGraphicsCommand::undo() {
    for (auto it = _changes.rbegin(); it != _changes.rend(); ++it) {
        it->item->setBounds(it->from);
        if (it->flipsFrom)
            it->flipsFrom->putInto(*it->item);
    }
}
