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

void ScriptedPrompts::ExpectColor(std::optional<int32_t> aAnswer)
{
    iColors.push_back(aAnswer);
}

bool ScriptedPrompts::ChooseColor(int32_t& aColor)
{
    iColorStarts.push_back(aColor);
    if (iColors.empty())
    {
        ADD_FAILURE() << "unexpected colour chooser";
        return false;
    }
    const std::optional<int32_t> answer = iColors.front();
    iColors.pop_front();
    if (answer)
        aColor = *answer;
    return answer.has_value();
}

void ScriptedPrompts::ExpectFont(std::optional<TFontPrompt> aAnswer)
{
    iFonts.push_back(std::move(aAnswer));
}

bool ScriptedPrompts::ChooseFont(TFontPrompt& aFont)
{
    iFontStarts.push_back(aFont);
    if (iFonts.empty())
    {
        ADD_FAILURE() << "unexpected font dialog";
        return false;
    }
    const std::optional<TFontPrompt> answer = iFonts.front();
    iFonts.pop_front();
    if (answer)
        aFont = *answer;
    return answer.has_value();
}

void ScriptedPrompts::ExpectSaveChanges(int16_t aAnswer)
{
    iSaveAnswers.push_back(aAnswer);
}

int16_t ScriptedPrompts::SaveChanges()
{
    ++iSavePrompts;
    if (iSaveAnswers.empty())
    {
        ADD_FAILURE() << "unexpected save prompt";
        return 2;
    }
    const int16_t answer = iSaveAnswers.front();
    iSaveAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::ExpectFile(std::optional<QString> aAnswer)
{
    iFiles.push_back(std::move(aAnswer));
}

bool ScriptedPrompts::FileDialog(const TFileDialogPrompt& aDialog, QString& aFileName)
{
    iFileDialogs.push_back(aDialog);
    if (iFiles.empty())
    {
        ADD_FAILURE() << "unexpected file dialog: " << aDialog.Title.toStdString();
        return false;
    }
    const std::optional<QString> answer = iFiles.front();
    iFiles.pop_front();
    if (!answer)
        return false;
    aFileName = aDialog.WithDefaultExt(*answer);
    return true;
}

void ScriptedPrompts::ExpectFolder(const QString& aAnswer)
{
    iFolders.push_back(aAnswer);
}

QString ScriptedPrompts::BrowseForFolder(const QString& aTitle)
{
    iFolderTitles.append(aTitle);
    if (iFolders.empty())
    {
        ADD_FAILURE() << "unexpected folder browser: " << aTitle.toStdString();
        return {};
    }
    const QString answer = iFolders.front();
    iFolders.pop_front();
    return answer;
}

void ScriptedPrompts::Reset()
{
    iAnswers.clear();
    iMessages.clear();
    iExpectedNotices = 0;
    iNotices.clear();
    iColors.clear();
    iColorStarts.clear();
    iFonts.clear();
    iFontStarts.clear();
    iSaveAnswers.clear();
    iSavePrompts = 0;
    iFiles.clear();
    iFileDialogs.clear();
    iFolders.clear();
    iFolderTitles.clear();
}
