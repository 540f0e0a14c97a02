#pragma once

// Records every message and question a test's code shows, in order, and answers the questions as told.

#include "common/Prompt.h"

#include <QStringList>

class RecordingPrompt : public PromptHandler {
public:
    QStringList texts;
    bool answer = true;
    void message(const QString& t) override { texts << t; }
    bool yesNo(const QString& q) override {
        texts << q;
        return answer;
    }
};
