#pragma once

// Undo commands for the canvas's edits of items: one class per kind of edit. Inserting and removing items
// are the document's own commands (SKTDocument::insertGraphics / removeGraphics).

#include "canvas/SKTDocument.h"
#include "canvas/SKTGraphic.h"

#include <QUndoCommand>
#include <vector>

enum GraphicCommandId { MoveGraphicsCommandId = 1, ResizeGraphicCommandId = 2 };

// Moves items by a delta. Steps of one drag (same non-zero merge key, same items) merge into one command.
class MoveGraphicsCommand : public QUndoCommand {
public:
    MoveGraphicsCommand(GraphicList items, QPointF delta, int mergeKey, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return MoveGraphicsCommandId; }
    bool mergeWith(const QUndoCommand* other) override;
    QPointF delta() const { return _delta; }

private:
    GraphicList _items;
    QPointF _delta;
    int _mergeKey;
};

// Resizes one item. Steps of one handle drag merge.
class ResizeGraphicCommand : public QUndoCommand {
public:
    ResizeGraphicCommand(GraphicPtr item, const QRectF& from, const QRectF& to, int mergeKey,
                         QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return ResizeGraphicCommandId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    GraphicPtr _item;
    QRectF _from;
    QRectF _to;
    int _mergeKey;
};

// Gives several items new bounds at once (align, same size, natural size, align to grid).
class ArrangeGraphicsCommand : public QUndoCommand {
public:
    struct Change {
        GraphicPtr item;
        QRectF from;
        QRectF to;
    };
    ArrangeGraphicsCommand(std::vector<Change> changes, const QString& text, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    bool isEmpty() const { return _changes.empty(); }

private:
    std::vector<Change> _changes;
};

// Changes the stacking order of a side (bring to front, send to back).
class ReorderGraphicsCommand : public QUndoCommand {
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

// Sets one field of several items to one value (a property edit); undo gives each item its own earlier value.
template <typename T>
class SetGraphicFieldCommand : public QUndoCommand {
public:
    SetGraphicFieldCommand(GraphicList items, T SKTGraphic::*field, T value, const QString& text,
                           QUndoCommand* parent = nullptr)
        : QUndoCommand(text, parent), _items(std::move(items)), _field(field), _value(std::move(value))
    {
        for (const GraphicPtr& item : std::as_const(_items))
            _before.push_back((*item).*_field);
    }
    void redo() override
    {
        for (const GraphicPtr& item : std::as_const(_items))
            (*item).*_field = _value;
    }
    void undo() override
    {
        for (qsizetype i = 0; i < _items.size(); ++i)
            (*_items[i]).*_field = _before[size_t(i)];
    }

private:
    GraphicList _items;
    T SKTGraphic::*_field;
    T _value;
    std::vector<T> _before;
};
