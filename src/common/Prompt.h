#pragma once

#include <QString>

// The one seam through which the program shows messages and asks yes/no questions.
// Engine code calls the free functions below from any thread; the window installs a handler that
// shows the box on the GUI thread while the caller waits, and tests install one that records and answers.
class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    virtual void message(const QString& text) = 0;
    virtual bool yesNo(const QString& question) = 0;
};

// Installs the handler (not owned); nullptr restores the default, which logs and answers "No".
void setPromptHandler(PromptHandler* handler);
PromptHandler* promptHandler();

void Show_MessageBox(const QString& text);
bool Show_YES_NO_MessageBox(const QString& question);
// Writes a non-empty text to the system log.
void Show_NSLog_Message(const QString& text);
