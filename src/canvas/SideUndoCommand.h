#pragma once

#include <QUndoCommand>

// An undo step made on one card side: undo and redo show that side before they act.
class SideUndoCommand : public QUndoCommand {
public:
    using QUndoCommand::QUndoCommand;
    // 0 front, 1 back, 2 scratch side; -1 for none.
    int cardSide() const { return m_side; }
    void setCardSide(int side) { m_side = side; }

private:
    int m_side = -1;
};

// The side of a step; -1 when it belongs to none.
inline int undoCommandSide(const QUndoCommand* command) {
    const auto* s = dynamic_cast<const SideUndoCommand*>(command);
    return s ? s->cardSide() : -1;
}
