// A click on a command button of the card window while a text field is being edited: the one
// click ends the edit, sends "select" and runs the button's command. The program runs in the
// ProgramFixture (CommandsProgram), on X11 as well.

#include "CommandsProgram.h"
#include "UserClick.h"
#include "foundation/VexilArray.h"
#include "script/VexilCompiler.h"

namespace
{
using namespace CardWindowUser;

class CommandClickProgramTest : public CommandsProgram
{
};

TEST_F(CommandClickProgramTest, OneClickEndsTheEditAndRunsTheCommand)
{
    struct TCase
    {
        const char* StartKey;  // the toolbar button that shows the card to start on, when set
        const char* Start;
        const char* Button;
        const char* Goal;
    } const cases[] = {
        {nullptr, "Anna", "Go Next", "Bert"},
        {"LastCard", "Cleo", "Go Home", "Anna"},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Button);
        if (c.StartKey)
            ClickButton(QLatin1String(c.StartKey));
        ASSERT_EQ(CurCardName(), QLatin1String(c.Start));
        const TCardRef start = gStackView->CurCard();
        Type(Field(QStringLiteral("Note")), QStringLiteral("typed"));
        UserClick::Click(Button(QLatin1String(c.Button)));
        EXPECT_EQ(CurCardName(), QLatin1String(c.Goal));
        TValue note;
        start->GetControlVal(Field(QStringLiteral("Note"))->Id(), note, false);
        EXPECT_EQ(note.iStr, QStringLiteral("typed"));
    }
}

// "select" is sent after the edit was stored: its handler sees the new value.
TEST_F(CommandClickProgramTest, SelectRunsAfterTheEditWasStored)
{
    const TControlRef next = Field(QStringLiteral("Go Next"));
    auto script = std::make_shared<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    const QString source = QStringLiteral("On select\r\n  Put Field \"Note\" Into Field \"Name\"\r\nEnd");
    gCompiler->Compile(source, *script);
    next->SetScriptSource(source);
    next->SetScript(script);

    Type(Field(QStringLiteral("Note")), QStringLiteral("Ann"));
    UserClick::Click(Button(QStringLiteral("Go Next")));
    // Renamed by the handler, the card moved on from "Ann" to the next card.
    TCardRef ann;
    EXPECT_TRUE(gStack->GetCard(QStringLiteral("Ann"), ann));
    EXPECT_EQ(CurCardName(), QStringLiteral("Bert"));
}

// A read-only field refuses the edit; the command waits for a click of its own.
TEST_F(CommandClickProgramTest, ARefusedEditKeepsTheCard)
{
    Field(QStringLiteral("Note"))->SetFlag(EConReadOnly, true);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    Type(Field(QStringLiteral("Note")), QStringLiteral("typed"));
    prompts.ExpectNotice();
    UserClick::Click(Button(QStringLiteral("Go Next")));
    EXPECT_EQ(prompts.Notices(), QStringList{QStringLiteral("Read-only!")});
    EXPECT_EQ(Shown(Field(QStringLiteral("Note"))), QString());
    EXPECT_EQ(CurCardName(), QStringLiteral("Anna"));
    UserClick::Click(Button(QStringLiteral("Go Next")));
    EXPECT_EQ(CurCardName(), QStringLiteral("Bert"));
}
}  // namespace
