#pragma once

// The canvas's undo commands: one class per kind of edit. Inserting and removing items are the document's
// own commands (SKTDocument::insertGraphics / removeGraphics).

#include "canvas/ui/ArrangeGraphicsCommand.h"
#include "canvas/ui/GraphicCommandIds.h"
#include "canvas/ui/MoveGraphicsCommand.h"
#include "canvas/ui/ReorderGraphicsCommand.h"
#include "canvas/ui/ResizeGraphicCommand.h"
#include "canvas/ui/SetGraphicFieldCommand.h"
