// The user's first click in the card window while a text field is being edited: as on a real
// display the mouse button's release already waits in the queue while its press is handled.
// The one click ends the edit (the text is stored) and acts on what it hits.

#include "CardWindowUser.h"
#include "ProgramFixture.h"
#include "UserClick.h"
#include "foundation/VexilArray.h"
#include "script/VexilCompiler.h"

#include <QAbstractItemView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyleOptionTitleBar>

namespace
{
using namespace CardWindowUser;

// The program (ProgramFixture) on a stack of two "Person" cards Anna and Bert: a Name (the card
// name), a Note, a Boolean Flag, a Colour combo box with its list, a "Go Next" button (Next
// Card) and a Photo. The card window is the active window, the Note focused.
class FirstClickProgramTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        Start({SaveStack()});
        ASSERT_NE(gStack, nullptr);
        Activate(Frame());
        QMdiArea* area = Frame()->DocumentArea();
        area->setActiveSubWindow(CardWindow()->SubWindow());
        ASSERT_TRUE(QTest::qWaitFor([&] { return area->activeSubWindow() == CardWindow()->SubWindow(); }));
        ClickInto(Field(QStringLiteral("Note")));
        ASSERT_TRUE(HasFocus(Field(QStringLiteral("Note"))));
        ASSERT_EQ(CurCardName(), QStringLiteral("Anna"));
    }

    QString SaveStack() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Club"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        const TControlRef name = ShownField(*stack, *person, QStringLiteral("Name"), EConTypeText, EConCardName);
        ShownField(*stack, *person, QStringLiteral("Note"), EConTypeText);
        ShownField(*stack, *person, QStringLiteral("Flag"), EConTypeBoolean);
        const TControlRef colour = ShownField(*stack, *person, QStringLiteral("Colour"), EConTypeText, EConComboText);
        const TControlRef colours = NewField(*stack, *person, QStringLiteral("Colours"), EConTypeList);
        colours->SetFlags(EConComboList);
        colours->SetDefaultVal(QStringLiteral("Red\r\nGreen\r\nBlue"));
        colour->SetPartnerId(colours->Id());
        colours->SetPartnerId(colour->Id());
        ShownField(*stack, *person, QStringLiteral("Go Next"), EConTypeCommand, EConAsButton | EConStdCmd)
            ->SetStdCmd(EStdCmdNextCard);
        ShownField(*stack, *person, QStringLiteral("Photo"), EConTypePicture);
        for (const char* card : {"Anna", "Bert"})
            NewCard(*stack, QLatin1String(card), person)->SetControlVal(name->Id(), Val::Str(QLatin1String(card)));
        return SaveInFolder(stack, QStringLiteral("Club.Quorvan"));
    }

    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }
    static QWidget* Widget(const QString& aName) { return qobject_cast<QWidget*>(Field(aName)->BaseControl()); }
    static QString CurCardName()
    {
        const TCardRef card = gStackView ? gStackView->CurCard() : nullptr;
        return card ? card->Name() : QString();
    }
    // A button of the card window's title bar, as the frame lays it out.
    static QPoint TitleButton(QStyle::SubControl aButton)
    {
        QMdiSubWindow* frame = CardWindow()->SubWindow();
        QStyleOptionTitleBar option;
        option.initFrom(frame);
        option.subControls = QStyle::SC_All;
        option.titleBarFlags = frame->windowFlags();
        option.titleBarState = int(frame->windowState());
        option.rect = QRect(0, 0, frame->width(), frame->contentsMargins().top());
        return frame->style()->subControlRect(QStyle::CC_TitleBar, &option, aButton, frame).center();
    }
    static void SetScript(const QString& aField, const QString& aSource)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        gCompiler->Compile(aSource, *script);
        Field(aField)->SetScriptSource(aSource);
        Field(aField)->SetScript(script);
    }
    // Types into the Note and clicks the Flag: the click does nothing, and aCard is shown. The
    // next click is the box's own.
    static void ExpectClickOnFlagStopped(const QString& aCard)
    {
        Type(Field(QStringLiteral("Note")), QStringLiteral("typed"));
        UserClick::Click(Widget(QStringLiteral("Flag")));
        EXPECT_EQ(CurCardName(), aCard);
        EXPECT_EQ(Shown(Field(QStringLiteral("Flag"))), QStringLiteral("0"));
        for (const char* card : {"Anna", "Bert"})
            EXPECT_FALSE(Stored(QLatin1String(card), QStringLiteral("Flag")).iBool) << card;
        UserClick::Click(Widget(QStringLiteral("Flag")));
        EXPECT_EQ(Shown(Field(QStringLiteral("Flag"))), QStringLiteral("1"));
        EXPECT_TRUE(Stored(aCard, QStringLiteral("Flag")).iBool);
    }
    static TValue Stored(const QString& aCard, const QString& aField)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aCard, card));
        TValue val;
        if (card)
            card->GetControlVal(Field(aField)->Id(), val, false);
        return val;
    }
};

TEST_F(FirstClickProgramTest, OneClickEndsTheEditAndActsOnTheWidget)
{
    struct TCase
    {
        const char* Widget;
        std::function<bool()> Acted;
        bool OnArrow = false;  // a click on the drop-down arrow at the right end
    } const cases[] = {
        {"Flag", [] { return Stored(QStringLiteral("Anna"), QStringLiteral("Flag")).iBool; }},
        {"Colour",
         [] {
             auto* combo = qobject_cast<QComboBox*>(Widget(QStringLiteral("Colour")));
             const bool open = combo->view()->isVisible();
             combo->hidePopup();
             return open;
         },
         true},
        {"Photo", [] { return Widget(QStringLiteral("Photo"))->hasFocus(); }},
        // Last: it leaves the card.
        {"Go Next", [] { return CurCardName() == QStringLiteral("Bert"); }},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Widget);
        Type(Field(QStringLiteral("Note")), QLatin1String(c.Widget));
        QWidget* widget = Widget(QLatin1String(c.Widget));
        const QRect box = widget->rect();
        UserClick::Click(widget, c.OnArrow ? QPoint(box.right() - box.height() / 3, box.center().y()) : box.center());
        EXPECT_TRUE(c.Acted());
        EXPECT_EQ(Stored(QStringLiteral("Anna"), QStringLiteral("Note")).iStr, QLatin1String(c.Widget));
    }
}

// A read-only field refuses the edit: the click on the check box does not act.
TEST_F(FirstClickProgramTest, ARefusedEditKeepsTheCheckBox)
{
    Field(QStringLiteral("Note"))->SetFlag(EConReadOnly, true);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    prompts.ExpectNotice();
    ExpectClickOnFlagStopped(QStringLiteral("Anna"));
    EXPECT_EQ(prompts.Notices(), QStringList{QStringLiteral("Read-only!")});
    EXPECT_EQ(Shown(Field(QStringLiteral("Note"))), QString());
}

// The field's "closeField" handler went on to the next card: the click on the check box does
// not act on that card.
TEST_F(FirstClickProgramTest, AValidationThatLeftTheCardKeepsTheCheckBox)
{
    SetScript(QStringLiteral("Note"), QStringLiteral("On closeField\r\n  Go To Next Card\r\nEnd"));
    ExpectClickOnFlagStopped(QStringLiteral("Bert"));
    EXPECT_EQ(Stored(QStringLiteral("Anna"), QStringLiteral("Note")).iStr, QStringLiteral("typed"));
}

// The active card window's own title buttons, with a field focused: one click each.
TEST_F(FirstClickProgramTest, OneClickMaximisesAndRestoresTheActiveCardWindow)
{
    QMdiSubWindow* frame = CardWindow()->SubWindow();
    Type(Field(QStringLiteral("Note")), QStringLiteral("typed"));
    UserClick::Click(frame, TitleButton(QStyle::SC_TitleBarMaxButton));
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(Stored(QStringLiteral("Anna"), QStringLiteral("Note")).iStr, QStringLiteral("typed"));

    ClickInto(Field(QStringLiteral("Note")));
    ASSERT_TRUE(HasFocus(Field(QStringLiteral("Note"))));
    UserClick::Click(frame, TitleButton(QStyle::SC_TitleBarNormalButton));
    EXPECT_FALSE(frame->isMaximized());
}
}  // namespace
