#include "app/CardEditCommand.h"

#include "app/inspector/InspectorLogic.h"

namespace {

bool sameItems(const GraphicList& items, const GraphicList& states, const GraphicList& otherItems,
               const GraphicList& otherStates) {
    if (items != otherItems || states.size() != otherStates.size())
        return false;
    for (qsizetype i = 0; i < states.size(); ++i)
        if (!states[i] || !otherStates[i] || !inspector::sameItemState(*states[i], *otherStates[i]))
            return false;
    return true;
}

} // namespace

bool CardEditState::sameAs(const CardEditState& o) const {
    return front == o.front && back == o.back && canvasSize == o.canvasSize && cardShape == o.cardShape &&
           cardSides == o.cardSides && framePath == o.framePath && photo == o.photo &&
           sheetInUse == o.sheetInUse && sheetPath == o.sheetPath && sheetRevision == o.sheetRevision &&
           sameItems(frontItems, frontStates, o.frontItems, o.frontStates) &&
           sameItems(backItems, backStates, o.backItems, o.backStates);
}

CardEditCommand::CardEditCommand(CardEditState before, CardEditState after, const QString& text,
                                 QString mergeKey, int side, Apply apply)
    : SideUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)),
      m_key(std::move(mergeKey)), m_apply(std::move(apply)) {
    setCardSide(side);
}

void CardEditCommand::undo() {
    m_apply(m_before);
    m_done = false;
}

void CardEditCommand::redo() {
    if (m_done)
        return;
    m_apply(m_after);
    m_done = true;
}

bool CardEditCommand::mergeWith(const QUndoCommand* other) {
    if (other->id() != id())
        return false;
    const auto* o = static_cast<const CardEditCommand*>(other);
    if (m_key.isEmpty() || o->m_key != m_key || o->cardSide() != cardSide())
        return false;
    m_after = o->m_after;
    return true;
}
