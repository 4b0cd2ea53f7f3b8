#include "DialogUser.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "platform/VexilCtls.h"
#include "platform/VexilReg.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilNewStackForm.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"

#include <gtest/gtest.h>

namespace
{
using namespace DialogUser;

// A managed window that records the change broadcasts it receives.
class Listener : public CVexilForm
{
public:
    static inline const QString KClassName = QStringLiteral("CVexilSearchForm");
    void ChangeNotify(int32_t aEvent, const TObjRef&, const TObjRef&) override { Events().append(aEvent); }
    static QList<int32_t>& Events()
    {
        static QList<int32_t> events;
        return events;
    }
};

// The card list window fails to open, as when it cannot be made.
class FailingCardList : public IVexilStackViewWindows
{
public:
    FailingCardList() { CVexilStackViewWindows::Install(this); }
    ~FailingCardList() override { CVexilStackViewWindows::Install(nullptr); }
    std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef&) override
    {
        CVexilError::RaiseRunError(ERunSubscript, QStringLiteral("CVexilCardListForm"));
    }
};

class NewStackTest : public DialogTest
{
protected:
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        CVexilCardWidgets::Start();
        CVexilStackCmds::Install();
        CVexilNewStackForm::Register();
        CVexilFormRegistry::Register(Listener::KClassName, [] { return new Listener; });
    }
    void SetUp() override
    {
        Listener::Events().clear();
        CVexilWinMan::NameToForm(Listener::KClassName);
    }
    void TearDown() override
    {
        CVexilNewStack::DropCurrent();
        DialogTest::TearDown();
    }

    static CVexilNewStackForm* Open() { return Show<CVexilNewStackForm>(CVexilNewStackForm::KClassName); }
    static bool IsOpen() { return Loaded(CVexilNewStackForm::KClassName); }

    // Creates a stack through the dialog with the given inputs.
    static void Create(const QString& aDescr, const QString& aBackground, const QString& aCard)
    {
        CVexilNewStackForm* dialog = Open();
        ASSERT_NE(dialog, nullptr);
        Type(dialog->fDescr, aDescr);
        Type(dialog->fBackgroundName, aBackground);
        Type(dialog->fCardName, aCard);
        Click(dialog->fCreateBut);
    }

    static QStringList Backgrounds(const CVexilStack& aStack)
    {
        QStringList names;
        TControlSetRef background;
        int32_t cursor = 0;
        for (bool more = aStack.GetFirstBackground(background, cursor); more;
             more = aStack.GetNextBackground(background, cursor))
            names << background->Name();
        return names;
    }

    static QStringList Inputs(const CVexilNewStackForm& aDialog)
    {
        return {aDialog.fDescr->text(), aDialog.fBackgroundName->text(), aDialog.fCardName->text()};
    }
};

TEST_F(NewStackTest, ShowsItsInputsWithTheirStartValues)
{
    CVexilNewStackForm* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Caption(), QStringLiteral("Create New Stack"));
    EXPECT_EQ(dialog->fDescrLabel->text(), QStringLiteral("Description of stack:"));
    EXPECT_EQ(dialog->fBackgroundLabel->text(), QStringLiteral("Name of first background:"));
    EXPECT_EQ(dialog->fCardLabel->text(), QStringLiteral("Name of first card:"));
    EXPECT_EQ(dialog->fCreateBut->text(), QStringLiteral("Create"));
    EXPECT_EQ(dialog->fCancelBut->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(Inputs(*dialog), QStringList({"", "Normal Card", "Start"}));

    Click(dialog->fCancelBut);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(gStack, nullptr);
    EXPECT_TRUE(Listener::Events().isEmpty());
}

TEST_F(NewStackTest, WithNoStackOpenCreateMakesTheStackAtOnce)
{
    struct TCase
    {
        const char* What;
        const char* Descr;
        const char* Background;
        const char* Card;
    } const cases[] = {
        {"as typed", "My addresses", "Person", "Adams"},
        {"empty names", "", "", ""},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.What);
        SetUp();
        Create(QString::fromUtf8(c.Descr), QString::fromUtf8(c.Background), QString::fromUtf8(c.Card));

        EXPECT_EQ(ScriptedPrompts::Instance().SavePrompts(), 0);
        EXPECT_FALSE(IsOpen());
        EXPECT_FALSE(CVexilStackCmds::Busy());
        ASSERT_NE(gStack, nullptr);
        ASSERT_NE(gStackView, nullptr);
        EXPECT_EQ(gStack->Name(), QStringLiteral("Quorvan"));
        EXPECT_EQ(gStack->Flags(), EStkBinary);
        EXPECT_EQ(gStack->Descr(), QString::fromUtf8(c.Descr));
        EXPECT_TRUE(gStack->Filename().isEmpty());
        EXPECT_EQ(Backgrounds(*gStack), QStringList({QString::fromUtf8(c.Background)}));
        ASSERT_EQ(gStack->NumCards(), 1);

        // The card window shows the one card.
        EXPECT_EQ(gStackView->Stack(), gStack);
        ASSERT_NE(gStackView->CurCard(), nullptr);
        EXPECT_EQ(gStackView->CurCard()->Name(), QString::fromUtf8(c.Card));
        EXPECT_EQ(gStackView->CurCard()->Background()->Name(), QString::fromUtf8(c.Background));
        EXPECT_EQ(CVexilStackViewLink::Current(), gStackView.get());
        const CVexilForm* cardWindow = CVexilFormRegistry::Loaded(CVexilGenForm::KClassName);
        ASSERT_NE(cardWindow, nullptr);
        EXPECT_TRUE(cardWindow->isVisible());
        EXPECT_EQ(Listener::Events(), QList<int32_t>({EChgStackOpened}));

        CVexilNewStack::DropCurrent();
        DeleteUnloaded();
    }
}

TEST_F(NewStackTest, CreateLeavesAnUnchangedStackFirstAndStaysOpenMeanwhile)
{
    CVexilNewStack::MakeCurrent({QStringLiteral("old"), QStringLiteral("Old"), QStringLiteral("First")});
    gStack->SetChanged(false);
    const TStackRef old = gStack;

    // The dialog's own closing broadcast does not close it before the new stack is made.
    Create(QStringLiteral("new"), QStringLiteral("Person"), QStringLiteral("Adams"));
    EXPECT_EQ(ScriptedPrompts::Instance().SavePrompts(), 0);
    EXPECT_EQ(Listener::Events(), QList<int32_t>({EChgClosingStack, EChgStackClosed, EChgStackOpened}));
    ASSERT_NE(gStack, nullptr);
    EXPECT_NE(gStack, old);
    EXPECT_EQ(gStack->Descr(), QStringLiteral("new"));
    EXPECT_FALSE(IsOpen());
}

TEST_F(NewStackTest, BackToStackKeepsTheStackAndTheDialogWithItsInputs)
{
    CVexilNewStack::MakeCurrent({QStringLiteral("old"), QStringLiteral("Old"), QStringLiteral("First")});
    gStack->SetChanged(true);
    const TStackRef old = gStack;

    ScriptedPrompts::Instance().ExpectSaveChanges(2);
    Create(QStringLiteral("new"), QStringLiteral("Person"), QStringLiteral("Adams"));

    EXPECT_EQ(ScriptedPrompts::Instance().SavePrompts(), 1);
    EXPECT_EQ(gStack, old);
    EXPECT_TRUE(gStack->Changed());
    EXPECT_TRUE(Listener::Events().isEmpty());
    ASSERT_TRUE(IsOpen());
    auto* dialog = static_cast<CVexilNewStackForm*>(CVexilFormRegistry::Loaded(CVexilNewStackForm::KClassName));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->Busy());
    EXPECT_FALSE(CVexilStackCmds::Busy());
    EXPECT_EQ(Inputs(*dialog), QStringList({"new", "Person", "Adams"}));

    // Now the stack is left without saving and the same inputs make the new one.
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    Click(dialog->fCreateBut);
    EXPECT_FALSE(IsOpen());
    ASSERT_NE(gStack, nullptr);
    EXPECT_EQ(gStackView->CurCard()->Name(), QStringLiteral("Adams"));
}

TEST_F(NewStackTest, ClosingTheStackByOtherMeansClosesTheDialog)
{
    CVexilNewStack::MakeCurrent({QString(), QStringLiteral("Old"), QStringLiteral("First")});
    gStack->SetChanged(false);
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(CVexilDialogLib::CloseCurrentStack());
    EXPECT_EQ(gStack, nullptr);
    EXPECT_FALSE(IsOpen());
}

TEST_F(NewStackTest, AFailureWhileOpeningReportsAndLeavesNoStack)
{
    {
        const FailingCardList failing;
        ScriptedPrompts::Instance().ExpectMessage();
        Create(QStringLiteral("broken"), QStringLiteral("Person"), QStringLiteral("Adams"));

        ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
        const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages().back();
        EXPECT_EQ(shown.Class, EMsgClsCritical);
        EXPECT_TRUE(shown.Text.contains(CVexilError::RunErrorDescription(ERunSubscript))) << shown.Text.toStdString();
        // What opened is released, both globals are none and nothing was announced.
        EXPECT_EQ(gStack, nullptr);
        EXPECT_EQ(gStackView, nullptr);
        EXPECT_EQ(CVexilStackViewLink::Current(), nullptr);
        EXPECT_FALSE(Loaded(CVexilGenForm::KClassName));
        EXPECT_TRUE(Listener::Events().isEmpty());
        EXPECT_FALSE(CVexilStackCmds::Busy());
        // The dialog stays with its inputs, ready for another try.
        ASSERT_TRUE(IsOpen());
        auto* dialog = static_cast<CVexilNewStackForm*>(CVexilFormRegistry::Loaded(CVexilNewStackForm::KClassName));
        EXPECT_FALSE(dialog->Busy());
        EXPECT_EQ(Inputs(*dialog), QStringList({"broken", "Person", "Adams"}));
    }
    DeleteUnloaded();
    auto* dialog = static_cast<CVexilNewStackForm*>(CVexilFormRegistry::Loaded(CVexilNewStackForm::KClassName));
    ASSERT_NE(dialog, nullptr);
    Click(dialog->fCreateBut);
    ASSERT_NE(gStack, nullptr);
    EXPECT_EQ(gStack->Descr(), QStringLiteral("broken"));
    EXPECT_EQ(Listener::Events(), QList<int32_t>({EChgStackOpened}));
}

TEST_F(NewStackTest, TheFirstSaveAsksForANameAndWritesTheBinaryForm)
{
    gFileHistory = {};
    Create(QStringLiteral("phone list"), QStringLiteral("Person"), QStringLiteral("Adams"));
    ASSERT_NE(gStack, nullptr);

    // A bare name gets the extension that Open and the transfer server list.
    const TempDir folder;
    const QString fileName = folder.File(QStringLiteral("Phone.Quorvan"));
    ScriptedPrompts::Instance().ExpectFile(folder.File(QStringLiteral("Phone")));
    CVexilStackCmds::Save();
    ASSERT_EQ(ScriptedPrompts::Instance().FileDialogs().size(), 1U);
    EXPECT_TRUE(ScriptedPrompts::Instance().FileDialogs().back().Save);
    EXPECT_EQ(gStack->Filename(), fileName);
    EXPECT_FALSE(gStack->Changed());
    EXPECT_EQ(gFileHistory[0], fileName);

    CVexilStackFile file;
    file.Construct(fileName);
    EXPECT_TRUE(file.IsBinStack());
    TStackRef read;
    TStackViewRecRef view;
    file.LoadStack(read, view);
    EXPECT_EQ(read->Descr(), QStringLiteral("phone list"));
    EXPECT_EQ(Backgrounds(*read), QStringList({"Person"}));
    ASSERT_EQ(read->NumCards(), 1);
}

TEST_F(NewStackTest, ThePositionIsRestoredOnLoadAndStoredOnUnload)
{
    CVexilReg::PutVal(CVexilReg::KWindows, CVexilNewStackForm::KClassName, QStringLiteral("1200,1500,99999,99999"));
    CVexilNewStackForm* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Left(), 1200);
    EXPECT_EQ(dialog->Top(), 1500);
    EXPECT_LT(dialog->Width(), 99999);
    dialog->SetLeft(600);
    dialog->SetTop(300);
    dialog->close();

    QString text;
    bool found = false;
    CVexilReg::GetVal(CVexilReg::KWindows, CVexilNewStackForm::KClassName, text, found);
    EXPECT_TRUE(text.startsWith(QStringLiteral("600,300,"))) << text.toStdString();
}
}  // namespace
