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
    // Queues the answer of the next font dialog: the font chosen, none for a cancel.
    // FontStarts() records the fonts the dialogs started on.
    void ExpectFont(std::optional<TFontPrompt> aAnswer);
    bool ChooseFont(TFontPrompt& aFont) override;
    // Queues the answer of the next save prompt (0 Save, 1 Discard, 2 Back to Stack);
    // SavePrompts() counts the prompts shown.
    void ExpectSaveChanges(int16_t aAnswer);
    int16_t SaveChanges() override;

    // Queues the answer of the next file dialog: the name typed (the dialog adds its default
    // extension), none for a cancel. FileDialogs() records the dialogs shown.
    void ExpectFile(std::optional<QString> aAnswer);
    bool FileDialog(const TFileDialogPrompt& aDialog, QString& aFileName) override;
    // Queues the answer of the next folder browser (empty = cancelled); Folders() records the titles.
    void ExpectFolder(const QString& aAnswer);
    QString BrowseForFolder(const QString& aTitle) override;

    const std::vector<TMsgPrompt>& Messages() const { return iMessages; }
    const QStringList& Notices() const { return iNotices; }
    const std::vector<int32_t>& ColorStarts() const { return iColorStarts; }
    const std::vector<TFontPrompt>& FontStarts() const { return iFontStarts; }
    int SavePrompts() const { return iSavePrompts; }
    const std::vector<TFileDialogPrompt>& FileDialogs() const { return iFileDialogs; }
    const QStringList& Folders() const { return iFolderTitles; }
    int Pending() const
    {
        return static_cast<int>(iAnswers.size() + iColors.size() + iFonts.size() + iSaveAnswers.size() + iFiles.size() +
                                iFolders.size()) +
               iExpectedNotices;
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
    std::deque<std::optional<TFontPrompt>> iFonts;
    std::vector<TFontPrompt> iFontStarts;
    std::deque<int16_t> iSaveAnswers;
    int iSavePrompts = 0;
    std::deque<std::optional<QString>> iFiles;
    std::vector<TFileDialogPrompt> iFileDialogs;
    std::deque<QString> iFolders;
    QStringList iFolderTitles;
};
