#pragma once

// The program's run after its QApplication exists: the application's names, the editor window, the
// per-user resources, the e-mail settings and the start road, then the event loop. Gives the exit code.

class QApplication;

// Begins reading the font configuration on a thread of its own while the QApplication is made: the first
// text of the window would otherwise wait for it. Call first thing in main; the window waits for it where
// its first text needs it.
void startProgramEarly();

int runProgram(QApplication& app);
