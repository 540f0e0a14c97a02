#pragma once

#include <QPointF>
#include <QString>

// What the canvas asks of the window that hosts it. A canvas without one (tests, benchmarks) uses its own
// tool and the cascade position last_ctrl_X / last_ctrl_Y.
class GraphicViewDelegate {
public:
    virtual ~GraphicViewDelegate() = default;
    // The current tool (0 arrow, 1 line, 2 text, ... 15 polygon).
    virtual int currentGraphicTool() const = 0;
    // Place of a new item that has none of its own, for the side "F" or "B".
    virtual QPointF Control_New_Point(const QString& cardSide) = 0;
};
