#pragma once

// The prompt handler of the running program: message boxes on the GUI thread, attached to the main window.
// A worker thread that asks waits (blocking queued call) until the box is dismissed.

#include "common/Prompt.h"

#include <QMessageBox>
#include <functional>

class GuiPromptHandler : public PromptHandler {
public:
    // Shows a prepared box and gives the button the user chose. The default runs exec(); tests install
    // one that answers by itself.
    using BoxRunner = std::function<QMessageBox::StandardButton(QMessageBox& box)>;

    GuiPromptHandler() = default;
    void setBoxRunner(BoxRunner runner) { boxRunner = std::move(runner); }

    // One "OK" button; the message is a line break followed by the text.
    void message(const QString& text) override;
    // The same with "Show Details...", which closes the box and shows the details (showMessageDetails).
    void messageWithDetails(const QString& text, const QString& details) override;
    // "Yes" (default) and "No"; true for "Yes".
    bool yesNo(const QString& question) override;
    // "Yes" (default), "No" and "Cancel"; Escape is Cancel.
    PromptAnswer yesNoCancel(const QString& question) override;

private:
    QMessageBox::StandardButton run(QMessageBox& box);
    BoxRunner boxRunner;
};

// Makes the GUI handler the program's prompt and window its main window (for the app's start-up).
void installGuiPrompt(QWidget* window);

// The details of a message (every line of a long list) in the long-message dialog, titled with the
// message's first line, where they can be selected and copied. GUI thread; a worker waits.
void showMessageDetails(const QString& text, const QString& details);
