#pragma once

// The tool palette's pictures, drawn here so the palette needs no picture files.

class QIcon;

inline constexpr int ToolIconCount = 16;

// Starts drawing every tool's picture on a thread of its own, once the application exists (a painter
// takes its font): the program's window then finds them drawn.
void drawToolIconsAhead();

// A tool's picture: the one drawn ahead, or drawn now when that is not done yet.
QIcon toolIcon(int tool);
