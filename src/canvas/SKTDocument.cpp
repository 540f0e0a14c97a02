#include "canvas/SKTDocument.h"

#include "canvas/SideUndoCommand.h"

#include <algorithm>

// One command for inserting and for removing items: removal is insertion undone.
class GraphicsInsertionCommand : public SideUndoCommand {
public:
    GraphicsInsertionCommand(SKTDocument* doc, CardSide side, const GraphicList& items, const QList<int>& indexes,
                             bool insertion, const QString& text)
        : m_doc(doc), m_side(side), m_items(items), m_indexes(indexes), m_insertion(insertion)
    {
        setText(!text.isEmpty() ? text : insertion ? QObject::tr("Insert") : QObject::tr("Delete"));
        setCardSide(int(side));
    }
    void redo() override { m_insertion ? insert() : remove(); }
    void undo() override { m_insertion ? remove() : insert(); }

private:
    void insert() { m_doc->insertNow(m_side, m_items, m_indexes); }
    void remove() { m_doc->removeNow(m_side, m_items); }

    SKTDocument* m_doc;
    CardSide m_side;
    GraphicList m_items;  // in ascending index order
    QList<int> m_indexes; // where each item stands once inserted
    bool m_insertion;
};

SKTDocument::SKTDocument(QObject* parent) : QObject(parent)
{
    connect(&m_undo, &QUndoStack::indexChanged, this, &SKTDocument::followStack);
    connect(&m_undo, &QUndoStack::cleanChanged, this, &SKTDocument::updateModified);
}

void SKTDocument::followStack(int index)
{
    const int count = m_undo.count();
    if (count == 0 && !m_steps.isEmpty()) {
        // Cleared: the design as it stands is the new start, which the stack (as Qt's does) counts as saved.
        m_baseStamp = m_nextStamp++;
        m_saved = {0, m_baseStamp};
        m_savedValid = true;
    }
    bool replaced = false;
    m_steps.resize(count);
    m_stamps.resize(count);
    for (int i = 0; i < count; ++i) {
        const QUndoCommand* step = m_undo.command(i);
        if (step != m_steps[i]) {
            m_steps[i] = step;
            m_stamps[i] = m_nextStamp++;
            replaced = true;
        }
    }
    // A push merged into the step below the index changes that step and leaves the index.
    if (!replaced && index == m_lastIndex && index > 0)
        m_stamps[index - 1] = m_nextStamp++;
    m_lastIndex = index;
    updateModified();
}

SKTDocument::SavePoint SKTDocument::savePoint() const
{
    const int index = m_undo.index();
    return {index, index > 0 && index <= m_stamps.size() ? m_stamps[index - 1] : m_baseStamp};
}

bool SKTDocument::savedStateStands() const
{
    if (!m_savedValid || m_saved.index > m_stamps.size())
        return false;
    return m_saved.stamp == (m_saved.index > 0 ? m_stamps[m_saved.index - 1] : m_baseStamp);
}

bool SKTDocument::isModified() const
{
    // Every step changes the design (view settings such as the grid are no steps).
    return !savedStateStands() || m_undo.index() != m_saved.index;
}

void SKTDocument::setSaved(const SavePoint& point)
{
    m_saved = point;
    m_savedValid = true;
    // The stack's own clean point keeps a later step from merging into the saved one.
    const SavePoint now = savePoint();
    if (now.index == point.index && now.stamp == point.stamp)
        m_undo.setClean();
    else
        m_undo.resetClean();
    updateModified();
}

void SKTDocument::markChangedOutsideUndo()
{
    m_savedValid = false;
    m_undo.resetClean();
    updateModified();
}

void SKTDocument::updateModified()
{
    const bool modified = isModified();
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

SKTDocument::~SKTDocument() { m_undo.clear(); }

GraphicList& SKTDocument::graphicsOf(CardSide side)
{
    return m_graphics[std::clamp(int(side), 0, 2)];
}

const GraphicList& SKTDocument::graphicsOf(CardSide side) const
{
    return m_graphics[std::clamp(int(side), 0, 2)];
}

void SKTDocument::setGraphics(CardSide side, const GraphicList& items)
{
    graphicsOf(side) = items;
    emit graphicsChanged(side);
}

void SKTDocument::clearSide(CardSide side)
{
    graphicsOf(side).clear();
    emit graphicsChanged(side);
}

void SKTDocument::insertNow(CardSide side, const GraphicList& items, const QList<int>& indexes)
{
    GraphicList& list = graphicsOf(side);
    for (qsizetype i = 0; i < items.size(); ++i)
        list.insert(std::clamp<qsizetype>(indexes.value(i), 0, list.size()), items[i]);
    emit graphicsChanged(side);
}

QList<int> SKTDocument::removeNow(CardSide side, const GraphicList& items)
{
    GraphicList& list = graphicsOf(side);
    QList<int> indexes;
    for (const GraphicPtr& item : items) {
        const qsizetype at = list.indexOf(item);
        if (at >= 0)
            indexes << int(at);
    }
    std::sort(indexes.begin(), indexes.end());
    for (auto it = indexes.crbegin(); it != indexes.crend(); ++it)
        list.removeAt(*it);
    emit graphicsChanged(side);
    return indexes;
}

void SKTDocument::insertGraphics(CardSide side, const GraphicList& items, int index, const QString& text)
{
    if (items.isEmpty())
        return;
    const int start = std::clamp(index, 0, int(graphicsOf(side).size()));
    QList<int> indexes;
    for (int i = 0; i < items.size(); ++i)
        indexes << start + i;
    if (m_undoRegistration)
        m_undo.push(new GraphicsInsertionCommand(this, side, items, indexes, true, text));
    else
        insertNow(side, items, indexes);
}

void SKTDocument::removeGraphics(CardSide side, const GraphicList& items, const QString& text)
{
    const GraphicList& list = graphicsOf(side);
    QList<int> indexes;
    for (const GraphicPtr& item : items) {
        const qsizetype at = list.indexOf(item);
        if (at >= 0 && !indexes.contains(int(at)))
            indexes << int(at);
    }
    if (indexes.isEmpty())
        return;
    std::sort(indexes.begin(), indexes.end());
    GraphicList ordered;
    for (int i : indexes)
        ordered << list[i];
    if (m_undoRegistration)
        m_undo.push(new GraphicsInsertionCommand(this, side, ordered, indexes, false, text));
    else
        removeNow(side, ordered);
}

GraphicList SKTDocument::deepCopies(const GraphicList& items)
{
    GraphicList copies;
    copies.reserve(items.size());
    for (const GraphicPtr& item : items) {
        if (!item)
            continue;
        if (GraphicPtr copy = item->clone())
            copies << copy;
    }
    return copies;
}

void SKTDocument::Temp_Design_Control_Assign(CardSide source)
{
    if (source == CardSide::Temp)
        return;
    graphicsOf(CardSide::Temp) = deepCopies(graphicsOf(source));
    emit graphicsChanged(CardSide::Temp);
}

int SKTDocument::itemsBeyondCard() const
{
    const QRectF card(QPointF(0, 0), m_canvasSize);
    int n = 0;
    for (CardSide side : {CardSide::Front, CardSide::Back})
        for (const GraphicPtr& g : graphicsOf(side))
            n += g && !card.contains(g->bounds().normalized());
    return n;
}

void SKTDocument::setCanvasSize(const QSizeF& size)
{
    if (size == m_canvasSize)
        return;
    m_canvasSize = size;
    emit canvasSizeChanged(size);
}
