#pragma once

// Records every message and question a test's code shows, in order, and answers the questions as told.

#include "common/Prompt.h"

#include <QStringList>

class RecordingPrompt : public PromptHandler {
public:
    QStringList texts;
    bool answer = true;
    QStringList details; // of the messages that have some
    void message(const QString& t) override { texts << t; }
    void messageWithDetails(const QString& t, const QString& d) override {
        texts << t;
        details << d;
    }
    bool yesNo(const QString& q) override {
        texts << q;
        return answer;
    }
};
