// The checks that run as the user leaves an input of an editor, with the editors opened
// through the main window's menus and shown in its document area: a refused input shows its
// message and keeps the focus, an accepted one lets the focus go on and has its effect.

#include "../presentation/CardWindowUser.h"
#include "EditorUser.h"
#include "ProgramFixture.h"
#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilSortKeyEdit1.h"

#include <QAbstractButton>
#include <QMdiArea>

namespace
{
using namespace EditorUser;

class LeaveChecksProgramTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        Start({MakeStack(QStringLiteral("People.Quorvan"))});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
    }

    // The editor as the user opens it through the menu, active in the document area.
    static CVexilForm* Open(const char* aMenu, const char* aItem, const QString& aClassName)
    {
        CVexilForm* editor = OpenBy(QLatin1String(aMenu), QLatin1String(aItem), aClassName);
        if (editor)
        {
            EXPECT_EQ(editor->SubWindow() ? editor->SubWindow()->mdiArea() : nullptr, Frame()->DocumentArea());
            EXPECT_TRUE(QTest::qWaitFor([editor] { return Frame()->DocumentArea()->activeSubWindow() == editor->SubWindow(); }));
        }
        return editor;
    }

    template <class T = QWidget>
    static T* Widget(const CVexilForm& aEditor, const QString& aName)
    {
        CVexilCtl* ctl = aEditor.Control(aName);
        EXPECT_NE(ctl, nullptr) << aName.toStdString();
        return ctl ? qobject_cast<T*>(ctl->Widget()) : nullptr;
    }

    static void Click(const CVexilForm& aEditor, const QString& aButton)
    {
        QTest::mouseClick(Widget<QAbstractButton>(aEditor, aButton), Qt::LeftButton);
    }

    static TControlRef Field(const QString& aName)
    {
        TControlSetRef person;
        TControlRef field;
        gStack->GetBackgroundByName(QStringLiteral("Person"), person);
        return person && person->GetControlByName(aName, field) ? field : nullptr;
    }
};

// Every editor refuses what its checks refuse as the box is left with Tab: the message shows
// and the focus stays in the box.
TEST_F(LeaveChecksProgramTest, ARefusedInputKeepsTheFocusInEveryEditor)
{
    struct TCase
    {
        const char* Menu;
        const char* Item;
        QString ClassName;
        const char* Button;  // clicked before typing, when set
        const char* Name;    // typed into the name before, when set
        const char* Box;
        const char* Text;
        const char* Refusal;
    } const cases[] = {
        {"fBackground", "fEditBackgroundControls", CVexilControlEdit::KClassName, "fNewTextBut", nullptr, "fName", "  ",
         "8 Name"},
        {"fBackground", "fEditBackgroundControls", CVexilControlEdit::KClassName, "fNewTextBut", nullptr, "fName", "Age",
         "1 control"},
        {"fStack", "fEditControls", CVexilControlEdit::KClassName, "fNewTextBut", "Note", "fVisChar", "abc",
         "11 abc Visible char"},
        {"fStack", "fEditControls", CVexilControlEdit::KClassName, "fNewIntegerBut", "Score", "fVisLines", "0",
         "10 0 Visible lines 1"},
        {"fStack", "fEditControls", CVexilControlEdit::KClassName, "fNewTextBut", "Note", "fMaxChar", "10001",
         "9 10001 Max char 10000"},
        {"fCard", "fEditCard", CVexilCardEdit::KClassName, nullptr, nullptr, "fName", "  ", "8 Name"},
        {"fStack", "fEditCards", CVexilCardEdit::KClassName, "fNewBut", nullptr, "fName", " ", "8 Name"},
        {"fBackground", "fEditBackground", CVexilBackgroundEdit::KClassName, nullptr, nullptr, "fName", "   ",
         "8 Name"},
        {"fStack", "fEditBackgrounds", CVexilBackgroundEdit::KClassName, "fNewBut", nullptr, "fName", " ", "8 Name"},
        {"fStack", "fEditSortKeys", CVexilSortKeyEdit1::KClassName, "fNewBut", nullptr, "fName", "", "2 sort key"},
    };
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(QStringLiteral("%1 %2 '%3'").arg(QLatin1String(c.Item), QLatin1String(c.Box), QLatin1String(c.Text))
                         .toStdString());
        prompts.Reset();
        CVexilForm* editor = Open(c.Menu, c.Item, c.ClassName);
        ASSERT_NE(editor, nullptr);
        if (c.Button)
            Click(*editor, QLatin1String(c.Button));
        if (c.Name)
            Type(Widget<QLineEdit>(*editor, QStringLiteral("fName")), QLatin1String(c.Name));
        auto* box = Widget<QLineEdit>(*editor, QLatin1String(c.Box));
        ASSERT_NE(box, nullptr);
        Type(box, QLatin1String(c.Text));
        prompts.ExpectMessage();
        Tab();
        EXPECT_EQ(Shown(), QStringList{QLatin1String(c.Refusal)});
        EXPECT_TRUE(box->hasFocus());
        EXPECT_EQ(prompts.Pending(), 0);
        // The next case starts on a fresh window: the user closes this one with its close box.
        editor->SubWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The new field's name becomes its label as the name is left, and the field is shown on the
// card with that caption and saved with it.
TEST_F(LeaveChecksProgramTest, TheNameOfANewFieldBecomesItsLabel)
{
    CVexilForm* editor = Open("fBackground", "fEditBackgroundControls", CVexilControlEdit::KClassName);
    ASSERT_NE(editor, nullptr);
    auto* fields = static_cast<CVexilControlEdit*>(editor);
    Click(*editor, QStringLiteral("fNewTextBut"));
    EXPECT_TRUE(fields->fName->hasFocus());
    Type(fields->fName, QStringLiteral("Note"));
    Tab();
    EXPECT_FALSE(fields->fName->hasFocus());
    EXPECT_EQ(fields->fLabel->text(), QStringLiteral("Note"));
    Click(*editor, QStringLiteral("fCreateBut"));
    EXPECT_EQ(Shown(), QStringList());

    const TControlRef note = Field(QStringLiteral("Note"));
    ASSERT_NE(note, nullptr);
    ASSERT_NE(note->BaseLabel(), nullptr);
    EXPECT_EQ(qobject_cast<QLabel*>(note->BaseLabel())->text(), QStringLiteral("Note"));
    Choose(QStringLiteral("fStack"), QStringLiteral("fSaveStack"));
    CVexilStackFile file;
    file.Construct(gStack->Filename());
    TStackRef saved;
    TStackViewRecRef view;
    file.LoadStack(saved, view);
    TControlSetRef person;
    TControlRef savedNote;
    ASSERT_TRUE(saved->GetBackgroundByName(QStringLiteral("Person"), person));
    ASSERT_TRUE(person->GetControlByName(QStringLiteral("Note"), savedNote));
    EXPECT_EQ(savedNote->Label(), QStringLiteral("Note"));
}

// The background editor shows a new name as its caption once the name is left; the card
// editor lets a name go on that is not blank.
TEST_F(LeaveChecksProgramTest, AnAcceptedNameLetsTheFocusGoOn)
{
    CVexilForm* backgrounds = Open("fBackground", "fEditBackground", CVexilBackgroundEdit::KClassName);
    ASSERT_NE(backgrounds, nullptr);
    auto* name = Widget<QLineEdit>(*backgrounds, QStringLiteral("fName"));
    Type(name, QStringLiteral("Renamed"));
    Tab();
    EXPECT_FALSE(name->hasFocus());
    EXPECT_EQ(Widget<QLabel>(*backgrounds, QStringLiteral("fModeText"))->text(), QStringLiteral("Renamed"));

    CVexilForm* cards = Open("fCard", "fEditCard", CVexilCardEdit::KClassName);
    ASSERT_NE(cards, nullptr);
    name = Widget<QLineEdit>(*cards, QStringLiteral("fName"));
    Type(name, QStringLiteral("Anne"));
    Tab();
    EXPECT_FALSE(name->hasFocus());
    EXPECT_EQ(Shown(), QStringList());
}

// The sort key editor refuses the name of another key of the background and a field of a list
// type as their boxes are left.
TEST_F(LeaveChecksProgramTest, TheSortKeyEditorRefusesADuplicateNameAndAListField)
{
    // A list field, made as the user makes it.
    CVexilForm* fields = Open("fStack", "fEditControls", CVexilControlEdit::KClassName);
    ASSERT_NE(fields, nullptr);
    Click(*fields, QStringLiteral("fNewBut"));
    Pick(Widget<QComboBox>(*fields, QStringLiteral("fTypeCombo")), QStringLiteral("List"));
    Type(Widget<QLineEdit>(*fields, QStringLiteral("fName")), QStringLiteral("Tags"));
    Click(*fields, QStringLiteral("fCreateBut"));
    ASSERT_NE(Field(QStringLiteral("Tags")), nullptr);

    auto* keys = static_cast<CVexilSortKeyEdit1*>(Open("fStack", "fEditSortKeys", CVexilSortKeyEdit1::KClassName));
    ASSERT_NE(keys, nullptr);
    Click(*keys, QStringLiteral("fNewBut"));
    Type(keys->fName, QStringLiteral("ByName"));
    Pick(keys->fControlCombo[0], QStringLiteral("Name  ("));
    Click(*keys, QStringLiteral("fCreateBut"));
    ASSERT_EQ(keys->fSortKeyBox->topLevelItemCount(), 1);

    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    Click(*keys, QStringLiteral("fNewBut"));
    Type(keys->fName, QStringLiteral("ByName"));
    prompts.ExpectMessage();
    Tab();
    EXPECT_TRUE(keys->fName->hasFocus());

    Type(keys->fName, QStringLiteral("ByTags"));
    Tab();
    EXPECT_TRUE(keys->fControlCombo[0]->hasFocus());
    prompts.ExpectMessage();
    Pick(keys->fControlCombo[0], QStringLiteral("Tags  ("));
    prompts.ExpectMessage();
    Tab();
    EXPECT_TRUE(keys->fControlCombo[0]->hasFocus());
    EXPECT_EQ(Shown(), (QStringList{"1 sort key", "14", "14"}));
    EXPECT_EQ(prompts.Pending(), 0);
}
}  // namespace
