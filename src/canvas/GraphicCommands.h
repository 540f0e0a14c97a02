#pragma once

// The canvas's undo commands: one class per kind of edit. Inserting and removing items are the document's
// own commands (SKTDocument::insertGraphics / removeGraphics).

#include "canvas/ArrangeGraphicsCommand.h"
#include "canvas/GraphicCommandIds.h"
#include "canvas/MoveGraphicsCommand.h"
#include "canvas/ReorderGraphicsCommand.h"
#include "canvas/ResizeGraphicCommand.h"
#include "canvas/SetGraphicFieldCommand.h"
