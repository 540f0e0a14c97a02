#pragma once

// Ids of the canvas's undo commands that merge (QUndoCommand::id).
enum GraphicCommandId { MoveGraphicsCommandId = 1, ResizeGraphicCommandId = 2 };
