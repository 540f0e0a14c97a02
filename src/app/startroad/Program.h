#pragma once

// The program's run after its QApplication exists: the application's names, the editor window, the
// per-user resources, the e-mail settings and the start road, then the event loop. Gives the exit code.

class QApplication;

int runProgram(QApplication& app);
