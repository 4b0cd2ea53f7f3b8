#pragma once

#include "foundation/VexilPrompts.h"

#include <deque>
#include <optional>
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
    // Queues the answer of the next colour chooser: the colour chosen, none for a cancel.
    // ColorStarts() records the colours the choosers started on.
    void ExpectColor(std::optional<int32_t> aAnswer);
    bool ChooseColor(int32_t& aColor) override;
    // Queues the answer of the next save prompt (0 Save, 1 Discard, 2 Back to Stack);
    // SavePrompts() counts the prompts shown.
    void ExpectSaveChanges(int16_t aAnswer);
    int16_t SaveChanges() override;

    const std::vector<TMsgPrompt>& Messages() const { return iMessages; }
    const QStringList& Notices() const { return iNotices; }
    const std::vector<int32_t>& ColorStarts() const { return iColorStarts; }
    int SavePrompts() const { return iSavePrompts; }
    int Pending() const
    {
        return static_cast<int>(iAnswers.size() + iColors.size() + iSaveAnswers.size()) + iExpectedNotices;
    }
    // Forgets answers and records; the test main calls it before each test.
    void Reset();

private:
    std::deque<bool> iAnswers;
    std::vector<TMsgPrompt> iMessages;
    int iExpectedNotices = 0;
    QStringList iNotices;
    std::deque<std::optional<int32_t>> iColors;
    std::vector<int32_t> iColorStarts;
    std::deque<int16_t> iSaveAnswers;
    int iSavePrompts = 0;
};
