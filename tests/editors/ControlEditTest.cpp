// The field editor as the user works it: a new field of each type, the checks of the number
// boxes, and passing through the type of a field shown for changing.

#include "ControlEditFixture.h"

#include <QDate>

namespace
{
using ControlEdit = ControlEditFixture;

// Whether the user can change the input: a box that is not read-only, an enabled control.
bool Editable(const CVexilControlEdit& aEditor, const QString& aName)
{
    CVexilCtl* ctl = aEditor.Control(aName);
    if (!ctl)
        return false;
    if (auto* box = qobject_cast<QLineEdit*>(ctl->Widget()))
        return !box->isReadOnly();
    if (auto* combo = dynamic_cast<CVexilComboBox*>(ctl->Widget()))
        return !combo->Locked();
    return ctl->Enabled();
}

// The inputs a type opens, of those that tell the types apart.
QString EditableInputs(const CVexilControlEdit& aEditor)
{
    static const char* const kInputs[] = {"fVisLines",  "fVisChar",   "fDefaultVal", "fMaxChar",      "fDigits",
                                          "fListVisChar", "fListColTitle", "fWikiText", "fComboText", "fCardName",
                                          "fReadOnly",  "fComboList", "fCardList",   "fStdCmd",       "fInMenu",
                                          "fStdCmdCombo", "fSelectFontBut"};
    QStringList open;
    for (const char* input : kInputs)
        if (Editable(aEditor, QLatin1String(input)))
            open += QLatin1String(input).mid(1);
    return open.join(QLatin1Char(' '));
}

QString TickedBoxes(const CVexilControlEdit& aEditor)
{
    QStringList ticked;
    for (const TFlagCheck& check : CVexilControlTypeRules::FlagChecks())
        if (aEditor.FlagBox(check.Box)->isChecked())
            ticked += check.Box.mid(1);
    return ticked.join(QLatin1Char(' '));
}

TEST_F(ControlEdit, NewFieldOfEachType)
{
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    struct TCase
    {
        const char* Type;      // as the type list shows it
        const char* Button;    // the "New ..." button, or none for "New" and a pick
        int Page;
        const char* Ticked;
        const char* VisChar;
        const char* Open;
        const char* Digits;     // typed before Create, when not empty
        const char* Default;    // typed into the default value
        int32_t Flags;
        int16_t StoredVisChar;
        const char* StoredDefault;
        const char* CardValue;  // each of the five cards; "today" for today's date
    } const cases[] = {
        {"Text", nullptr, 0, "InCardView InCardList", "30",
         "VisLines VisChar DefaultVal MaxChar ListVisChar ListColTitle WikiText ComboText CardName ReadOnly SelectFontBut",
         "", "", 96, 30, "", "-"},
        {"Text", "fNewTextBut", 0, "InCardView InCardList", "30",
         "VisLines VisChar DefaultVal MaxChar ListVisChar ListColTitle WikiText ComboText CardName ReadOnly SelectFontBut",
         "", "hello", 96, 30, "hello", "hello"},
        {"Integer", nullptr, 0, "InCardView InCardList", "5",
         "VisLines VisChar DefaultVal MaxChar ListVisChar ListColTitle CardName ReadOnly SelectFontBut", "", "007", 96,
         5, "7", "7"},
        {"Integer", "fNewIntegerBut", 0, "InCardView InCardList", "5",
         "VisLines VisChar DefaultVal MaxChar ListVisChar ListColTitle CardName ReadOnly SelectFontBut", "", "", 96, 5,
         "", "0"},
        {"Float", nullptr, 0, "InCardView InCardList", "10",
         "VisLines VisChar DefaultVal MaxChar Digits ListVisChar ListColTitle CardName ReadOnly SelectFontBut", "2",
         "3.14159", 96, 10, "3.14", "3.14"},
        {"Date", nullptr, 0, "InCardView InCardList", "10",
         "VisLines VisChar DefaultVal ListVisChar ListColTitle CardName ReadOnly SelectFontBut", "", "", 96, 10, "",
         "today"},
        {"Time", nullptr, 0, "InCardView InCardList", "10",
         "VisLines VisChar DefaultVal ListVisChar ListColTitle CardName ReadOnly SelectFontBut", "", "", 96, 10, "",
         nullptr},
        {"Boolean", nullptr, 0, "InCardView", "", "VisLines VisChar DefaultVal CardName ReadOnly SelectFontBut", "", "",
         32, UndefInt, "", "0"},
        {"List", nullptr, 1, "InCardView", "40", "VisLines VisChar DefaultVal ComboList CardList SelectFontBut", "", "",
         32, 40, "", "-"},
        {"Command", nullptr, 2, "InMenu AsButton InCardView", "", "VisLines VisChar StdCmd InMenu", "", "", 56, UndefInt,
         "", "-"},
        {"Command", "fNewCommandBut", 2, "InMenu AsButton InCardView", "", "VisLines VisChar StdCmd InMenu", "", "", 56,
         UndefInt, "", "-"},
        {"Picture", nullptr, 0, "InCardView", "40", "VisLines VisChar ReadOnly SelectFontBut", "", "", 32, 40, "", "-"},
    };
    CVexilControlEdit* editor = Editor();
    int made = 0;
    for (const TCase& c : cases)
    {
        const QString type = QLatin1String(c.Type);
        SCOPED_TRACE((type + QLatin1Char(' ') + QLatin1String(c.Button ? c.Button : "fNewBut")).toStdString());
        if (c.Button)
        {
            Click(static_cast<QAbstractButton*>(editor->Control(QLatin1String(c.Button))->Widget()));
            EXPECT_TRUE(editor->fName->hasFocus());
        }
        else
        {
            Click(editor->fNewBut);
            EXPECT_FALSE(editor->fCreateBut->isEnabled());
            Pick(editor->fTypeCombo, type);
        }
        EXPECT_EQ(editor->fModeText->text(), QStringLiteral("<new>"));
        EXPECT_EQ(editor->fTypeCombo->currentText(), type);
        EXPECT_EQ(editor->fTypeDepTab->currentIndex(), c.Page);
        for (int page = 0; page < editor->fTypeDepTab->count(); ++page)
            EXPECT_EQ(editor->fTypeDepTab->isTabEnabled(page), page == c.Page) << page;
        EXPECT_EQ(TickedBoxes(*editor), QLatin1String(c.Ticked));
        EXPECT_EQ(editor->fVisLines->text(), QStringLiteral("1"));
        EXPECT_EQ(editor->fVisChar->text(), QLatin1String(c.VisChar));
        EXPECT_EQ(editor->fBeforeCombo->currentText(), QStringLiteral("(At the end)"));
        EXPECT_EQ(EditableInputs(*editor), QLatin1String(c.Open));
        EXPECT_TRUE(editor->fCreateBut->isEnabled());

        const QString name = QStringLiteral("F%1").arg(++made);
        Type(editor->fName, name);
        // Leaving the name gives an empty label the name.
        Tab();
        EXPECT_EQ(editor->fLabel->text(), name);
        if (*c.Digits)
            Type(editor->fDigits, QLatin1String(c.Digits));
        if (*c.Default)
            Type(editor->fDefaultVal, QLatin1String(c.Default));
        Click(editor->fCreateBut);

        EXPECT_EQ(editor->Mode(), EModeNone);
        const TControlRef field = Field(name);
        ASSERT_TRUE(field);
        EXPECT_EQ(FieldNames().last(), name);
        EXPECT_EQ(field->Label(), name);
        EXPECT_EQ(field->TypeStr(), type == QLatin1String("Float") ? QStringLiteral("Real") : type);
        EXPECT_EQ(field->Flags(), c.Flags);
        EXPECT_EQ(field->VisChar(), c.StoredVisChar);
        EXPECT_EQ(field->VisLines(), 1);
        EXPECT_EQ(field->DefaultVal(), QLatin1String(c.StoredDefault));
        const QStringList values = Values(field);
        if (!c.CardValue)
            EXPECT_FALSE(values.contains(QStringLiteral("-"))) << values.join(' ').toStdString();
        else
            EXPECT_EQ(values, QStringList(5, QLatin1String(c.CardValue) == QLatin1String("today")
                                                 ? today
                                                 : QLatin1String(c.CardValue)));
    }
    EXPECT_EQ(Shown(), QStringList());
}

// The number boxes refuse what they must when the user leaves them, keeping the focus, and
// when the user clicks Create or Modify at once, writing nothing.
TEST_F(ControlEdit, NumberChecks)
{
    struct TCase
    {
        const char* Box;
        const char* Type;   // a new field of that type, or an existing field ("=Name")
        const char* Text;
        const char* Refusal;  // "id params", none when accepted
    } const cases[] = {
        {"fVisChar", "Boolean", "", nullptr},
        {"fVisChar", "Command", "", nullptr},
        {"fVisChar", "Text", "", "8 Visible char"},
        {"fVisChar", "=Note", "", "8 Visible char"},
        {"fVisChar", "Text", "101", "9 101 Visible char 100"},
        {"fDigits", "Float", "8", "9 8 Decimal places 7"},
        {"fDigits", "=Cost", "8", "9 8 Decimal places 7"},
        {"fDigits", "Float", "-1", "10 -1 Decimal places 0"},
        {"fDigits", "Float", "7", nullptr},
        {"fMaxChar", "Text", "10001", "9 10001 Max char 10000"},
        {"fMaxChar", "=Note", "10001", "9 10001 Max char 10000"},
        {"fMaxChar", "Text", "10000", nullptr},
        {"fMaxChar", "Text", "", nullptr},
        {"fVisLines", "Text", "1.5", "11 1.5 Visible lines"},
        {"fVisLines", "=Count", "0", "10 0 Visible lines 1"},
        {"fVisLines", "Text", "", "8 Visible lines"},
        {"fListVisChar", "Text", "abc", "11 abc Vis char in list"},
    };
    CVexilControlEdit* editor = Editor();
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    int made = 0;
    for (const TCase& c : cases)
    {
        for (const bool leave : {true, false})
        {
            const QString type = QLatin1String(c.Type);
            SCOPED_TRACE(QStringLiteral("%1 %2 '%3' %4")
                             .arg(QLatin1String(c.Box), type, QLatin1String(c.Text),
                                  QLatin1String(leave ? "Tab" : "click"))
                             .toStdString());
            const bool existing = type.startsWith(QLatin1Char('='));
            // "New" drops what the case before left in the box.
            Click(editor->fNewBut);
            if (existing)
            {
                ShowField(type.mid(1));
            }
            else
            {
                Pick(editor->fTypeCombo, type);
                Type(editor->fName, QStringLiteral("N%1").arg(++made));
            }
            const QByteArray before = Saved();
            const QStringList fields = FieldNames();
            auto* box = static_cast<QLineEdit*>(editor->Control(QLatin1String(c.Box))->Widget());
            Type(box, QLatin1String(c.Text));
            const qsizetype shown = prompts.Messages().size();
            if (c.Refusal)
                prompts.ExpectMessage();
            if (leave)
                Tab();
            else
                Click(existing ? editor->fModifyBut : editor->fCreateBut);
            EXPECT_EQ(Shown().mid(shown), c.Refusal ? QStringList{QLatin1String(c.Refusal)} : QStringList());
            if (c.Refusal)
            {
                EXPECT_TRUE(box->hasFocus());
                EXPECT_EQ(editor->Mode(), existing ? EModeModify : EModeNew);
                EXPECT_EQ(FieldNames(), fields);
                EXPECT_EQ(Saved(), before);
            }
            else if (leave)
            {
                EXPECT_FALSE(box->hasFocus());
            }
            else
            {
                EXPECT_EQ(FieldNames().size(), fields.size() + 1);
            }
        }
    }
}

// The name is checked as the user leaves it: blank and another field's name are refused and
// the focus stays; the field's own name is accepted.
TEST_F(ControlEdit, NameChecksAsTheNameIsLeft)
{
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Note"));
    for (const char* name : {"  ", "Cost"})
    {
        Type(editor->fName, QLatin1String(name));
        ScriptedPrompts::Instance().ExpectMessage();
        Tab();
        EXPECT_TRUE(editor->fName->hasFocus()) << name;
    }
    EXPECT_EQ(Shown(), QStringList({"8 Name", "1 control"}));
    Type(editor->fName, QStringLiteral("Note"));
    Tab();
    EXPECT_FALSE(editor->fName->hasFocus());
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("Note"));
    EXPECT_EQ(Shown().size(), 2);
}

// After a change of the structure the window lists the stack anew with the background chosen
// before, found by its name, and nothing edited.
TEST_F(ControlEdit, BroadcastKeepsTheBackground)
{
    const TControlSetRef order = NewBackground(*gStack, QStringLiteral("Order"));
    AddField(*gStack, *order, QStringLiteral("Ref"), EConTypeText);
    CVexilControlEdit* editor = Editor();
    ClickLine(editor->fBackgroundBox, QStringLiteral("Order"));
    EXPECT_EQ(editor->Background(), order);
    ClickLine(editor->fControlBox, QStringLiteral("Ref"));
    EXPECT_EQ(editor->Mode(), EModeModify);

    AddField(*gStack, *order, QStringLiteral("Total"), EConTypeReal);
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_EQ(editor->Background(), order);
    EXPECT_EQ(editor->fControlBox->topLevelItemCount(), 2);

    order->SetName(QStringLiteral("Orders"));
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->Background(), Item());
}

// Passing through the type of a field shown for changing keeps its inputs: Modify writes the
// field as it was.
TEST_F(ControlEdit, TabbingThroughTheTypeOfAFieldKeepsIt)
{
    const TControlRef name = Field(QStringLiteral("Name"));
    name->SetMaxChar(50);
    name->SetListColTitle(QStringLiteral("Title"));
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Name"));
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("Name"));
    EXPECT_TRUE(editor->FlagBox(QStringLiteral("fCardName"))->isChecked());

    QTest::mouseClick(editor->fDescr, Qt::LeftButton);
    for (QWidget* expected : {static_cast<QWidget*>(editor->fTypeCombo), static_cast<QWidget*>(editor->fVisLines)})
    {
        Tab();
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    EXPECT_TRUE(editor->FlagBox(QStringLiteral("fCardName"))->isChecked());
    EXPECT_EQ(editor->fMaxChar->text(), QStringLiteral("50"));
    Click(editor->fModifyBut);

    EXPECT_EQ(Shown(), QStringList());
    EXPECT_EQ(name->Flags(), EConInCardView | EConCardName);
    EXPECT_EQ(name->MaxChar(), 50);
    EXPECT_EQ(name->ListColTitle(), QStringLiteral("Title"));
    EXPECT_EQ(CardNames(), kCards);
}
}  // namespace
