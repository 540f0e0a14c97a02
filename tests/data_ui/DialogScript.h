#pragma once

// Drives the series dialogs without windows: prompts are recorded and answered, and every modal run is
// handed to a script chosen by the dialog's object name.

#include "common/Globals.h"
#include "common/Prompt.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QDialog>
#include <QHash>
#include <QStringList>

#include <functional>
#include <optional>

class ScriptedPrompt : public PromptHandler {
public:
    QStringList messages;
    QStringList questions;
    bool answer = true;
    void message(const QString& text) override { messages << text; }
    bool yesNo(const QString& question) override {
        questions << question;
        return answer;
    }
    // Yes / No / Cancel questions; without it they are answered as yesNo.
    std::optional<PromptAnswer> threeWay;
    PromptAnswer yesNoCancel(const QString& question) override {
        if (!threeWay)
            return PromptHandler::yesNoCancel(question);
        questions << question;
        return *threeWay;
    }
};

class DialogScript {
public:
    using Step = std::function<int(QDialog*)>;
    QHash<QString, Step> steps;
    QStringList opened;

    void install() {
        SeriesDialogs::setDialogRunner([this](QDialog* d) {
            opened << d->objectName();
            d->setResult(-1);
            const Step step = steps.value(d->objectName());
            return step ? step(d) : 0;
        });
    }
    static void uninstall() { SeriesDialogs::setDialogRunner({}); }
};

// Checks inside scripted steps (which must return a result, so QVERIFY cannot be used there); the test's
// cleanup fails when any of them failed.
inline QStringList& scriptFailures() {
    static QStringList failures;
    return failures;
}
#define SCRIPT_CHECK(cond)                                                                                   \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            scriptFailures() << QStringLiteral("%1:%2: %3")                                                  \
                                    .arg(QLatin1String(__FILE__))                                            \
                                    .arg(__LINE__)                                                           \
                                    .arg(QLatin1String(#cond));                                              \
    } while (false)
