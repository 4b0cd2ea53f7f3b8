#pragma once

#include "foundation/VexilPrompts.h"
#include "platform/VexilMsgForm.h"

#include <QPointer>
#include <QWidget>

#include <functional>

// The prompts the program installs: real modal windows owned by the main window.
class CVexilWidgetPrompts : public IVexilPrompts
{
public:
    CVexilWidgetPrompts();
    ~CVexilWidgetPrompts() override;
    CVexilWidgetPrompts(const CVexilWidgetPrompts&) = delete;
    CVexilWidgetPrompts& operator=(const CVexilWidgetPrompts&) = delete;

    // The owner of the boxes; the message box centres on it when it is loaded.
    void SetMainWindow(QWidget* aMainWindow);
    bool MessageBox(const TMsgPrompt& aPrompt) override;
    void Notice(const QString& aText) override;
    bool ChooseColor(int32_t& aColor) override;
    // Qt's font dialog offers no colour: the colour comes back as it went in.
    bool ChooseFont(TFontPrompt& aFont) override;
    // The save prompt is a window of the application shell, which hands it in here; it is
    // given the main window as owner. Without one the answer is 2, back to the stack.
    using TSavePrompt = std::function<int16_t(QWidget* aOwner)>;
    void SetSavePrompt(TSavePrompt aPrompt);
    int16_t SaveChanges() override;
    bool FileDialog(const TFileDialogPrompt& aDialog, QString& aFileName) override;
    QString BrowseForFolder(const QString& aTitle) override;

private:
    QPointer<QWidget> iMainWindow;
    QPointer<CVexilMsgForm> iMsgForm;  // loaded on first use; the main window may delete it with itself
    bool iMsgFormBusy = false;
    TSavePrompt iSavePrompt;
};
