#pragma once

#include "canvas/SKTGraphic.h"

#include "canvas/SideUndoCommand.h"
#include <vector>

// Sets one field of several items to one value (a property edit); undo gives each item its own earlier value.
template <typename T> class SetGraphicFieldCommand : public SideUndoCommand {
public:
    SetGraphicFieldCommand(GraphicList items, T SKTGraphic::*field, T value, const QString& text,
                           QUndoCommand* parent = nullptr)
        : SideUndoCommand(text, parent), _items(std::move(items)), _field(field), _value(std::move(value)) {
        for (const GraphicPtr& item : std::as_const(_items))
            _before.push_back((*item).*_field);
    }
    void redo() override {
        for (const GraphicPtr& item : std::as_const(_items))
            (*item).*_field = _value;
    }
    void undo() override {
        for (qsizetype i = 0; i < _items.size(); ++i)
            (*_items[i]).*_field = _before[size_t(i)];
    }

private:
    GraphicList _items;
    T SKTGraphic::*_field;
    T _value;
    std::vector<T> _before;
};
