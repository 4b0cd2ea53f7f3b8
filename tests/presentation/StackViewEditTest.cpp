// Editing field values in the card window as a user does: keys typed into a field, Tab to
// leave it, and what is stored, shown and sent then.

#include "CardWindowUser.h"
#include "StackViewFixture.h"
#include "foundation/VexilMsg.h"

using namespace CardWindowUser;

namespace
{
TValue Val(int32_t aType, double aNumber)
{
    TValue val;
    val.iType = aType;
    switch (aType)
    {
    case EValInt: val.iInt = int32_t(aNumber); break;
    case EValReal: val.iReal = aNumber; break;
    case EValDate: val.iDate = aNumber; break;
    case EValTime: val.iTime = aNumber; break;
    case EValBool: val.iBool = aNumber != 0; break;
    default: break;
    }
    return val;
}

std::string Text(const TValue& aVal)
{
    return aVal.iType == EValUndef ? "<undef>" : CVexilValue::ValToIntText(aVal).toStdString();
}
}  // namespace

// The fixture's stack, with a read-only code, a combo box and a button whose script stores a
// value into the card shown. The window is active, as when the user works in it.
class StackViewEditTest : public StackViewFixture
{
protected:
    void SetUp() override
    {
        const TStackRef stack = BuildStack();
        const TControlSetRef person = stack->Background(0);
        AddField(*stack, *person, QStringLiteral("Code"), EConTypeText, EConReadOnly)
            ->SetDefaultVal(QStringLiteral("X1"));
        const TControlRef colour = AddField(*stack, *person, QStringLiteral("Colour"), EConTypeText, EConComboText);
        const TControlRef colours = NewField(*stack, *person, QStringLiteral("Colours"), EConTypeList);
        colours->SetFlags(EConComboList);
        colours->SetDefaultVal(QStringLiteral("Red\r\nGreen\r\nBlue"));
        colour->SetPartnerId(colours->Id());
        colours->SetPartnerId(colour->Id());
        const TControlRef fill = AddField(*stack, *person, QStringLiteral("Fill"), EConTypeCommand, EConAsButton);
        SetScript(*fill, {QStringLiteral("On select"), QStringLiteral("Put \"filled in\" Into Field \"Notes\""),
                          QStringLiteral("End")});
        Open(stack, QStringLiteral("Edit.xml"), 1);
        Activate(Window());
    }

    void TearDown() override
    {
        // Closing the stack leaves the field that still has the focus.
        if (gStackView && gStackView->CurObj())
            ScriptedPrompts::Instance().ExpectNotice();
        StackViewFixture::TearDown();
    }

    static TControlRef Person(const QString& aName) { return Field(QStringLiteral("Person"), aName); }

    static TValue Stored(const TControlRef& aField)
    {
        TValue val;
        Card(QStringLiteral("Adams"))->GetControlVal(aField->Id(), val, false);
        return val;
    }

    // A click into the field; the field followed before, if any, is left untouched.
    static void Enter(const TControlRef& aField)
    {
        const bool leaves = View().CurObj() && View().CurObj() != aField->BaseControl();
        const QStringList answers = Answers(leaves ? 1 : 0, [&] { ClickInto(aField); });
        EXPECT_EQ(answers, leaves ? QStringList{QStringLiteral("exitField")} : QStringList());
    }

    // Types the text into the field and leaves it with Tab; the answers of the messages sent.
    static QStringList TypeAndLeave(const TControlRef& aField, const QString& aText, int aAnswers = 1)
    {
        Enter(aField);
        Type(aField, aText);
        return Answers(aAnswers, [&] { Leave(aField); });
    }

    static QString Ext(const TValue& aVal, const QString& aField)
    {
        return CVexilValue::ValToExtText(aVal, *Person(aField));
    }
};

TEST_F(StackViewEditTest, EachFieldTypeStoresWhatIsTypedAndShowsItInDisplayForm)
{
    const TValue date = Val(EValDate, CVexilValue::FromQDate(QDate(2001, 2, 3)));
    const TValue time = Val(EValTime, CVexilValue::FromQTime(QTime(6, 30, 5)));
    struct TCase
    {
        QString Field;
        QString Keys;
        TValue Stored;
        QString Shown;
    };
    const std::vector<TCase> cases = {
        {"Notes", "first line\nsecond", Str("first line\r\nsecond"), "first line\nsecond"},
        {"Age", "+42", Val(EValInt, 42), "42"},
        // Rounded to the field's one digit.
        {"Weight", "72.46", Val(EValReal, 72.5), "72.5"},
        {"Born", Ext(date, "Born"), date, Ext(date, "Born")},
        {"Wakes", Ext(time, "Wakes"), time, Ext(time, "Wakes")},
        // A number followed by other text: the number is read.
        {"Age", "4 many", Val(EValInt, 4), "4"},
        // An emptied field stores no value.
        {"Notes", "", TValue(), ""},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE((c.Field + QStringLiteral(" ") + c.Keys).toStdString());
        const TControlRef field = Person(c.Field);
        EXPECT_EQ(TypeAndLeave(field, c.Keys), QStringList{QStringLiteral("closeField")});
        EXPECT_TRUE(CVexilValue::Equal(Stored(field), c.Stored)) << Text(Stored(field));
        EXPECT_EQ(Shown(field), c.Shown);
        // The next field has the focus and is followed, unedited.
        EXPECT_FALSE(HasFocus(field));
        EXPECT_NE(View().CurObj(), field->BaseControl());
        EXPECT_FALSE(View().CurObjChanged());
    }
    EXPECT_TRUE(gStack->Changed());
}

// A text that holds no number or date would store the type's fall-back value over the value:
// it is refused with a message, the stored value comes back into the field, and the focus goes on.
TEST_F(StackViewEditTest, ATextWithoutANumberOrDateIsRefusedAndTheStoredValueShownAgain)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    for (const QString& name : {QStringLiteral("Age"), QStringLiteral("Born")})
    {
        SCOPED_TRACE(name.toStdString());
        const TControlRef field = Person(name);
        const TValue before = Stored(field);
        Enter(field);
        Type(field, QStringLiteral("some"));
        prompts.ExpectMessage();
        EXPECT_EQ(Answers(1, [&] { Leave(field); }), QStringList{QStringLiteral("exitField")});
        ASSERT_FALSE(prompts.Messages().empty());
        EXPECT_EQ(prompts.Messages().back().Id, EMsgNotNum);
        EXPECT_EQ(prompts.Messages().back().Params.mid(0, 2), (QStringList{QStringLiteral("some"), name}));
        EXPECT_TRUE(CVexilValue::Equal(Stored(field), before)) << Text(Stored(field));
        EXPECT_EQ(Shown(field), Ext(before, name));
        EXPECT_FALSE(HasFocus(field));
    }
}

TEST_F(StackViewEditTest, AnEqualValueIsNotStoredButShownInDisplayForm)
{
    const TControlRef age = Person(QStringLiteral("Age"));
    const double modified = Card(QStringLiteral("Adams"))->ModTime();
    // 20 is stored: "020" is the same number.
    EXPECT_EQ(TypeAndLeave(age, QStringLiteral("020")), QStringList{QStringLiteral("exitField")});
    EXPECT_EQ(Shown(age), QStringLiteral("20"));
    EXPECT_EQ(Card(QStringLiteral("Adams"))->ModTime(), modified);

    // A field left untouched is shown again and sends "exitField".
    Enter(age);
    EXPECT_EQ(Answers(1, [&] { Leave(age); }), QStringList{QStringLiteral("exitField")});
    EXPECT_TRUE(CVexilValue::Equal(Stored(age), Val(EValInt, 20)));
}

TEST_F(StackViewEditTest, AReadOnlyFieldRefusesTheEditAndShowsItsValueAgain)
{
    const TControlRef code = Person(QStringLiteral("Code"));
    EXPECT_EQ(Shown(code), QStringLiteral("X1"));
    EXPECT_EQ(TypeAndLeave(code, QStringLiteral("typed"), 2),
              (QStringList{QStringLiteral("Read-only!"), QStringLiteral("exitField")}));
    EXPECT_EQ(Shown(code), QStringLiteral("X1"));
    EXPECT_FALSE(Card(QStringLiteral("Adams"))->ControlValDef(code->Id()));
}

TEST_F(StackViewEditTest, ACardNameTypedChangesTheTitleAtOnce)
{
    EXPECT_EQ(TypeAndLeave(Person(QStringLiteral("Name")), QStringLiteral("Abbot")),
              QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(Title(), QStringLiteral("Abbot - 1 of 12"));
    EXPECT_EQ(View().CurCard()->Name(), QStringLiteral("Abbot"));
}

TEST_F(StackViewEditTest, ABooleanIsStoredByClickAndBySpaceAndAgainWhenLeft)
{
    const TControlRef member = Person(QStringLiteral("Member"));
    auto* box = qobject_cast<QWidget*>(member->BaseControl());
    // The click stores at once; leaving stores again, although the value is equal.
    Answers(0, [&] { QTest::mouseClick(box, Qt::LeftButton); });
    EXPECT_TRUE(CVexilValue::Equal(Stored(member), Val(EValBool, 1)));
    EXPECT_EQ(Answers(1, [&] { Leave(member); }), QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(Shown(member), QStringLiteral("1"));

    // Space on the focused box.
    box->setFocus(Qt::TabFocusReason);
    Answers(0, [&] { QTest::keyClick(box, Qt::Key_Space); });
    EXPECT_TRUE(CVexilValue::Equal(Stored(member), Val(EValBool, 0)));
    EXPECT_EQ(Answers(1, [&] { Leave(member); }), QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(Shown(member), QStringLiteral("0"));

    // An untouched box is not stored.
    gStack->ResetChangeInfo();
    box->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Answers(1, [&] { Leave(member); }), QStringList{QStringLiteral("exitField")});
    EXPECT_FALSE(gStack->GetChangeInfo().CardsChanged);
}

TEST_F(StackViewEditTest, ALinePickedInAComboBoxIsStored)
{
    const TControlRef colour = Person(QStringLiteral("Colour"));
    Enter(colour);
    // The list pops up and takes the focus for a moment: the field is not left.
    Answers(0, [&] { Pick(colour, 1); });
    EXPECT_TRUE(HasFocus(colour));
    EXPECT_EQ(Shown(colour), QStringLiteral("Green"));
    EXPECT_EQ(Answers(1, [&] { Leave(colour); }), QStringList{QStringLiteral("closeField")});
    EXPECT_TRUE(CVexilValue::Equal(Stored(colour), Str(QStringLiteral("Green"))));
}

TEST_F(StackViewEditTest, AValueAScriptPutsIntoTheCardShownAppearsInItsField)
{
    const TControlRef notes = Person(QStringLiteral("Notes"));
    QTest::mouseClick(qobject_cast<QWidget*>(Person(QStringLiteral("Fill"))->BaseControl()), Qt::LeftButton);
    EXPECT_EQ(Shown(notes), QStringLiteral("filled in"));
    EXPECT_TRUE(CVexilValue::Equal(Stored(notes), Str(QStringLiteral("filled in"))));
    // Shown by the program, the text is no edit of the user's.
    Enter(notes);
    EXPECT_EQ(Answers(1, [&] { Leave(notes); }), QStringList{QStringLiteral("exitField")});
}

TEST_F(StackViewEditTest, AFieldValidatedBeforeASaveIsFollowedOnAndStoredAgainWhenLeft)
{
    const TControlRef age = Person(QStringLiteral("Age"));
    Enter(age);
    Type(age, QStringLiteral("50"));
    EXPECT_EQ(Answers(1, [] { View().ValidateCurControl(); }), QStringList{QStringLiteral("closeField")});
    EXPECT_TRUE(HasFocus(age));
    EXPECT_EQ(View().CurObj(), age->BaseControl());

    QTest::keyClick(qobject_cast<QWidget*>(age->BaseControl()), Qt::Key_1);
    EXPECT_EQ(Answers(1, [&] { Leave(age); }), QStringList{QStringLiteral("closeField")});
    EXPECT_TRUE(CVexilValue::Equal(Stored(age), Val(EValInt, 501)));
}

TEST_F(StackViewEditTest, ValuesShownByTheProgramAreNoEdits)
{
    const TControlRef age = Person(QStringLiteral("Age"));
    Enter(age);
    // Another card is shown while the field has the focus; its values are written into it.
    EXPECT_EQ(Answers(2, [] { TCardRef card; View().OrderNext(card); }),
              (QStringList{QStringLiteral("exitField"), QStringLiteral("openCard Baker")}));
    EXPECT_EQ(Shown(age), QStringLiteral("21"));
    EXPECT_FALSE(View().CurObjChanged());
    EXPECT_EQ(Answers(1, [&] { Leave(age); }), QStringList{QStringLiteral("exitField")});
}
