#pragma once

#include "foundation/VexilPrompts.h"
#include "shell/VexilDialogForm.h"

#include <QString>
#include <QStringList>

class CVexilCommandButton;
class CVexilRichTextBox;
class CVexilTextBox;

// The developer's tests that write files, without the window. Every file is written beside
// its target and renamed over it only when complete.
class CVexilScannerFiles
{
public:
    // The current stack and its view's record, the two binary records alone.
    static void SaveRecords(const QString& aFileName);
    // Reads such a file and checks it (1006 naming the file; values may name no picture, the
    // file has none), then leaves the current stack by the shell's sequence and makes the one
    // read current (EChgStackOpened). Nothing changes when the file is refused or the user
    // stays in the current stack.
    static void LoadRecords(const QString& aFileName);
    // A sort key "TestSortKey" of two parts written to aFolder's "Test.xml" and read back.
    static void SortKeyRoundTrip(const QString& aFolder);
    // aFolder's "Hanzi.dat" (tab-separated, UTF-8) as the card list "Hanzi.xml": a card per
    // line, named by its number from 1, of "First Background", with the fields "German",
    // "Story", "Hanzi" and "Element" taking the line's first four items (empty when missing).
    static void HanziToXml(const QString& aFolder);
    // The four items of one line, empty ones where the line has fewer.
    static QStringList HanziItems(const QString& aLine);
};

// The developer's test panel "Scanner": buttons that drive the stack view, the script editor,
// the stack records, the CSV import and a few file tests directly. A button that needs a
// stack does nothing without one. Its file dialog starts in the stack folder.
class MainForm final : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("MainForm");

    MainForm();
    static void Register();

    TFileDialogPrompt LoadSave;
    CVexilRichTextBox* fRich = nullptr;
    CVexilTextBox* fRtf = nullptr;

protected:
    void Load() override;

private:
    // A button of the panel at the next place of its grid.
    CVexilCommandButton* AddButton(const char* aName, const QString& aCaption, void (MainForm::*aAction)());

    void First();
    void Prev();
    void Next();
    void Last();
    void Back();
    void ShowCardView();
    void ShowCardList();
    void CloseViews();
    void StackScript();
    void Save();
    void LoadStack();
    void Import();
    void NotImplemented();
    void Test();
    void PdbTest();
    void HanziToXml();
    void NoAction() {}

    int iButtons = 0;
};
