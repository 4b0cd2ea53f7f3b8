#include "DialogUser.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "platform/VexilCtls.h"
#include "platform/VexilReg.h"
#include "shell/VexilOptionEdit.h"
#include "shell/VexilOptions.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace
{
using namespace DialogUser;

class OptionEditTest : public DialogTest
{
protected:
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        CVexilOptionEdit::Register();
    }

    // Options held in memory and stored in the registry before the dialog opens.
    void SetUp() override
    {
        gAutoLoadName = QStringLiteral("/stacks/Old.Quorvan");
        gStackFolder = QStringLiteral("/stacks");
        gShowWelcome = true;
        CVexilOptions::SaveOptions();
    }

    static CVexilOptionEdit* Open() { return Show<CVexilOptionEdit>(CVexilOptionEdit::KClassName); }

    static TOptionEditValues InMemory() { return TOptionEditValues::FromOptions(); }

    // The options as the next start reads them.
    static TOptionEditValues Stored()
    {
        gAutoLoadName = gStackFolder = QStringLiteral("<not loaded>");
        gShowWelcome = !gShowWelcome;
        CVexilOptions::LoadOptions();
        return TOptionEditValues::FromOptions();
    }

    // Every value of the registry file but the window positions.
    QMap<QString, QString> OptionsInFile() const
    {
        QSettings settings(iRegistry.FileName(), QSettings::IniFormat);
        QMap<QString, QString> values;
        for (const QString& key : settings.allKeys())
            if (!key.contains(CVexilReg::KWindows))
                values.insert(key, settings.value(key).toString());
        return values;
    }

    static void ExpectValues(const TOptionEditValues& aValues, const char* aAutoLoad, const char* aFolder,
                             bool aWelcome)
    {
        EXPECT_EQ(aValues.AutoLoadName, QString::fromUtf8(aAutoLoad));
        EXPECT_EQ(aValues.StackFolder, QString::fromUtf8(aFolder));
        EXPECT_EQ(aValues.ShowWelcome, aWelcome);
    }
};

TEST_F(OptionEditTest, ShowsTheOptions)
{
    CVexilOptionEdit* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Caption(), QStringLiteral("Options"));
    EXPECT_EQ(dialog->fAutoLoadLabel->text(), QStringLiteral("Auto-load stack:"));
    EXPECT_EQ(dialog->fStackFolderLabel->text(), QStringLiteral("Stack folder:"));
    EXPECT_EQ(dialog->fShowWelcome->text(), QStringLiteral("Show 'About' box at program startup?"));
    EXPECT_EQ(dialog->fSelectAutoBut->text(), QStringLiteral("Select..."));
    EXPECT_EQ(dialog->fSelectFolderBut->text(), QStringLiteral("Select..."));
    EXPECT_EQ(dialog->fOkBut->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog->fCancelBut->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog->fAutoLoadName->text(), QStringLiteral("/stacks/Old.Quorvan"));
    EXPECT_EQ(dialog->fStackFolder->text(), QStringLiteral("/stacks"));
    EXPECT_TRUE(dialog->fShowWelcome->isChecked());

    // Closing the stack does not close the dialog.
    CVexilWinMan::NotifyAll(EChgClosingStack);
    CVexilWinMan::NotifyAll(EChgStackClosed);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(OptionEditTest, OkStoresTheInputsAsTypedAndWritesThem)
{
    struct TCase
    {
        const char* What;
        const char* AutoLoad;
        const char* Folder;
        bool ClickWelcome;
        bool Welcome;
    } const cases[] = {
        {"no auto-load stack, a folder that does not exist, no welcome", "", "/no/such/folder", true, false},
        {"texts with blanks and commas kept as typed", " /a b/My, Stack.Quorvan ", "/a b/", false, true},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.What);
        SetUp();
        CVexilOptionEdit* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        Type(dialog->fAutoLoadName, QString::fromUtf8(c.AutoLoad));
        Type(dialog->fStackFolder, QString::fromUtf8(c.Folder));
        if (c.ClickWelcome)
            Click(dialog->fShowWelcome);
        Click(dialog->fOkBut);

        EXPECT_FALSE(Loaded(CVexilOptionEdit::KClassName));
        ExpectValues(InMemory(), c.AutoLoad, c.Folder, c.Welcome);
        ExpectValues(Stored(), c.AutoLoad, c.Folder, c.Welcome);
        DeleteUnloaded();
    }
}

TEST_F(OptionEditTest, CancelAndTheCloseBoxChangeNothing)
{
    const QMap<QString, QString> before = OptionsInFile();
    for (const bool closeBox : {false, true})
    {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        CVexilOptionEdit* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        Type(dialog->fAutoLoadName, QStringLiteral("/other/New.Quorvan"));
        Type(dialog->fStackFolder, QStringLiteral("/other"));
        Click(dialog->fShowWelcome);
        if (closeBox)
            dialog->close();
        else
            Click(dialog->fCancelBut);

        EXPECT_FALSE(Loaded(CVexilOptionEdit::KClassName));
        ExpectValues(InMemory(), "/stacks/Old.Quorvan", "/stacks", true);
        DeleteUnloaded();
    }
    // Nothing but the dialog's position was written.
    EXPECT_EQ(OptionsInFile(), before);
    ExpectValues(Stored(), "/stacks/Old.Quorvan", "/stacks", true);
}

TEST_F(OptionEditTest, TheStackChooserListsStackFilesThatExist)
{
    CVexilOptionEdit* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    // A bare name gets the stack files' extension.
    prompts.ExpectFile(QStringLiteral("/stacks/Address"));
    Click(dialog->fSelectAutoBut);
    ASSERT_EQ(prompts.FileDialogs().size(), 1U);
    const TFileDialogPrompt& chooser = prompts.FileDialogs().back();
    EXPECT_EQ(chooser.Title, QStringLiteral("Select Stack"));
    EXPECT_EQ(chooser.Filter, QStringLiteral("Quorvan (*.Quorvan)|*.Quorvan|All Files (*.*)|*"));
    EXPECT_EQ(chooser.DefaultExt, QStringLiteral("Quorvan"));
    EXPECT_EQ(chooser.Flags, TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist);
    EXPECT_FALSE(chooser.Save);
    EXPECT_EQ(dialog->fAutoLoadName->text(), QStringLiteral("/stacks/Address.Quorvan"));

    // A cancelled chooser changes nothing; the flags are not added twice.
    prompts.ExpectFile(std::nullopt);
    Click(dialog->fSelectAutoBut);
    ASSERT_EQ(prompts.FileDialogs().size(), 2U);
    EXPECT_EQ(prompts.FileDialogs().back().Flags, TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist);
    EXPECT_EQ(dialog->fAutoLoadName->text(), QStringLiteral("/stacks/Address.Quorvan"));

    // Choosing only fills the box.
    EXPECT_EQ(gAutoLoadName, QStringLiteral("/stacks/Old.Quorvan"));
    Click(dialog->fOkBut);
    EXPECT_EQ(gAutoLoadName, QStringLiteral("/stacks/Address.Quorvan"));
}

TEST_F(OptionEditTest, TheFolderBrowserFillsTheStackFolder)
{
    CVexilOptionEdit* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    prompts.ExpectFolder(QStringLiteral("/home/user/Phone stacks"));
    Click(dialog->fSelectFolderBut);
    EXPECT_EQ(prompts.Folders(), QStringList({"Select Stack Folder"}));
    EXPECT_EQ(dialog->fStackFolder->text(), QStringLiteral("/home/user/Phone stacks"));

    prompts.ExpectFolder(QString());
    Click(dialog->fSelectFolderBut);
    EXPECT_EQ(prompts.Folders().size(), 2);
    EXPECT_EQ(dialog->fStackFolder->text(), QStringLiteral("/home/user/Phone stacks"));
    EXPECT_EQ(gStackFolder, QStringLiteral("/stacks"));

    Click(dialog->fOkBut);
    EXPECT_EQ(gStackFolder, QStringLiteral("/home/user/Phone stacks"));
    EXPECT_EQ(Stored().StackFolder, QStringLiteral("/home/user/Phone stacks"));
}

TEST_F(OptionEditTest, ThePositionIsRestoredOnLoadAndStoredOnUnload)
{
    CVexilReg::PutVal(CVexilReg::KWindows, CVexilOptionEdit::KClassName, QStringLiteral("1500,1200,99999,99999"));
    CVexilOptionEdit* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    // A fixed-size window: the position only.
    EXPECT_EQ(dialog->Left(), 1500);
    EXPECT_EQ(dialog->Top(), 1200);
    EXPECT_LT(dialog->Width(), 99999);
    dialog->SetLeft(1800);
    dialog->SetTop(900);
    Click(dialog->fCancelBut);

    QString text;
    bool found = false;
    CVexilReg::GetVal(CVexilReg::KWindows, CVexilOptionEdit::KClassName, text, found);
    EXPECT_TRUE(text.startsWith(QStringLiteral("1800,900,"))) << text.toStdString();
}
}  // namespace
