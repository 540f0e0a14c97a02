#pragma once

// Records every message and question of the main window's tests and gives one scripted answer.

#include "common/Prompt.h"

#include <QStringList>

class ScriptedPrompt : public PromptHandler {
public:
    QStringList texts;
    PromptAnswer answer = PromptAnswer::No;
    void message(const QString& t) override { texts << t; }
    bool yesNo(const QString& q) override {
        texts << q;
        return answer == PromptAnswer::Yes;
    }
    PromptAnswer yesNoCancel(const QString& q) override {
        texts << q;
        return answer;
    }
};
