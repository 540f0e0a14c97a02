#pragma once

#include <QString>

// The one seam through which the program shows messages and asks yes/no questions.
// Engine code calls the free functions below from any thread; the window installs a handler that
// shows the box on the GUI thread while the caller waits, and tests install one that records and answers.
enum class PromptAnswer { Yes, No, Cancel };

class PromptHandler {
public:
    virtual ~PromptHandler() = default;
    virtual void message(const QString& text) = 0;
    virtual bool yesNo(const QString& question) = 0;
    // Yes, No or Cancel (the box closed without a choice); handlers without a way to cancel answer as yesNo.
    virtual PromptAnswer yesNoCancel(const QString& question) {
        return yesNo(question) ? PromptAnswer::Yes : PromptAnswer::No;
    }
    // A message whose details (every line of a long list) the user may open, select and copy; handlers
    // without a place for them show the message alone.
    virtual void messageWithDetails(const QString& text, const QString& details) { message(text); }
};

// Installs the handler (not owned); nullptr restores the default, which logs and answers "No".
void setPromptHandler(PromptHandler* handler);
PromptHandler* promptHandler();

void Show_MessageBox(const QString& text);
// The same with details the user may open (none when empty).
void Show_MessageBox(const QString& text, const QString& details);
bool Show_YES_NO_MessageBox(const QString& question);
// For questions where No throws work away: Escape or closing the box gives Cancel.
PromptAnswer Show_YES_NO_CANCEL_MessageBox(const QString& question);
// Writes a non-empty text to the system log.
void Show_NSLog_Message(const QString& text);
