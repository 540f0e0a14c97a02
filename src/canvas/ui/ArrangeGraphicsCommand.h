#pragma once

#include "canvas/SKTGraphic.h"

#include "canvas/SideUndoCommand.h"
#include <optional>
#include <vector>

// Gives several items new bounds at once (align, same size, natural size, align to grid). Natural size
// may also turn a picture's flips off; such a change carries the flips before and after.
class ArrangeGraphicsCommand : public SideUndoCommand {
public:
    struct Flips {
        bool horizontal = false;
        bool vertical = false;
        bool operator==(const Flips&) const = default;
        static Flips of(const SKTGraphic& g) { return {g._isFlippedHorizontally, g._isFlippedVertically}; }
        void putInto(SKTGraphic& g) const {
            g._isFlippedHorizontally = horizontal;
            g._isFlippedVertically = vertical;
        }
    };
    struct Change {
        GraphicPtr item;
        QRectF from;
        QRectF to;
        std::optional<Flips> flipsFrom = {};
        std::optional<Flips> flipsTo = {};
    };
    ArrangeGraphicsCommand(std::vector<Change> changes, const QString& text, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    bool isEmpty() const { return _changes.empty(); }

private:
    std::vector<Change> _changes;
};
