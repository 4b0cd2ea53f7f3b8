#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

ScriptedPrompts& ScriptedPrompts::Instance()
{
    static ScriptedPrompts instance;
    return instance;
}

void ScriptedPrompts::ExpectMessage(bool aAnswer)
{
    iAnswers.push_back(aAnswer);
}

bool ScriptedPrompts::MessageBox(const TMsgPrompt& aPrompt)
{
    iMessages.push_back(aPrompt);
    if (iAnswers.empty())
    {
        ADD_FAILURE() << "unexpected message " << aPrompt.Id << " (" << aPrompt.Name.toStdString()
                      << "): " << aPrompt.Text.toStdString();
        return false;
    }
    const bool answer = iAnswers.front();
    iAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::ExpectNotice()
{
    ++iExpectedNotices;
}

void ScriptedPrompts::Notice(const QString& aText)
{
    iNotices.append(aText);
    if (iExpectedNotices == 0)
    {
        ADD_FAILURE() << "unexpected notice: " << aText.toStdString();
        return;
    }
    --iExpectedNotices;
}

void ScriptedPrompts::Reset()
{
    iAnswers.clear();
    iMessages.clear();
    iExpectedNotices = 0;
    iNotices.clear();
}
