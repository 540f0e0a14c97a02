#include "common/Prompt.h"

#include <QLoggingCategory>
#include <atomic>

Q_LOGGING_CATEGORY(navuLog, "navu")

namespace {

class LoggingPrompt final : public PromptHandler {
public:
    void message(const QString& text) override { Show_NSLog_Message(text); }
    bool yesNo(const QString& question) override
    {
        Show_NSLog_Message(question);
        return false;
    }
    void messageWithDetails(const QString& text, const QString& details) override {
        Show_NSLog_Message(text);
        Show_NSLog_Message(details);
    }
};

LoggingPrompt defaultPrompt;
std::atomic<PromptHandler*> currentPrompt{nullptr};

} // namespace

void setPromptHandler(PromptHandler* handler) { currentPrompt.store(handler); }

PromptHandler* promptHandler()
{
    PromptHandler* h = currentPrompt.load();
    return h ? h : &defaultPrompt;
}

void Show_MessageBox(const QString& text) { promptHandler()->message(text); }

void Show_MessageBox(const QString& text, const QString& details) {
    if (details.isEmpty())
        promptHandler()->message(text);
    else
        promptHandler()->messageWithDetails(text, details);
}

bool Show_YES_NO_MessageBox(const QString& question) { return promptHandler()->yesNo(question); }

PromptAnswer Show_YES_NO_CANCEL_MessageBox(const QString& question) { return promptHandler()->yesNoCancel(question); }

void Show_NSLog_Message(const QString& text)
{
    if (!text.isEmpty())
        qCInfo(navuLog, "%s", qUtf8Printable(text));
}
