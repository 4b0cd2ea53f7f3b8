#pragma once

#include "foundation/VexilPrompts.h"

#include <deque>
#include <vector>

// Answers the program's prompts in order and records what was asked. A prompt that meets
// an empty script fails the running test. Installed for the whole test run by the test main;
// tests reach it through ScriptedPrompts::Instance().
class ScriptedPrompts : public IVexilPrompts
{
public:
    static ScriptedPrompts& Instance();

    // Queues the answer of the next message box (true = Yes).
    void ExpectMessage(bool aAnswer = false);
    bool MessageBox(const TMsgPrompt& aPrompt) override;
    // Expects the next plain text box; Notices() records the texts shown.
    void ExpectNotice();
    void Notice(const QString& aText) override;

    const std::vector<TMsgPrompt>& Messages() const { return iMessages; }
    const QStringList& Notices() const { return iNotices; }
    int Pending() const { return static_cast<int>(iAnswers.size()) + iExpectedNotices; }
    // Forgets answers and records; the test main calls it before each test.
    void Reset();

private:
    std::deque<bool> iAnswers;
    std::vector<TMsgPrompt> iMessages;
    int iExpectedNotices = 0;
    QStringList iNotices;
};
