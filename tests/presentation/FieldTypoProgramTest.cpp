// A number, date or time field of the card window left with a text that holds no number, date
// or time: the stored value stays, the message says why and the box shows the value again. A
// text that can be read, even in part, is stored as it always was.

#include "CardWindowUser.h"
#include "EditorUser.h"
#include "ProgramFixture.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "script/VexilCompiler.h"

#include <map>

namespace
{
using namespace CardWindowUser;

class FieldTypoProgramTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        Start({MakeMeasures()});
        ASSERT_NE(gStack, nullptr);
        Activate(Frame());
    }

    // One card "M1" of "Measure": Name (the card name), Count 7 (Integer), Price 2.5 (Real, two
    // decimals), Day 2024-01-05 (Date), At 14:30:00 (Time), and Log, a text not on the window,
    // into which the stack's script writes the last "closeField" or "exitField" it heard.
    QString MakeMeasures() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Measures"));
        const TControlSetRef measure = stack->Background(0);
        measure->SetName(QStringLiteral("Measure"));
        const TControlRef name = ShownField(*stack, *measure, QStringLiteral("Name"), EConTypeText, EConCardName);
        for (const auto& [field, type] :
             {std::pair{"Count", EConTypeInteger}, std::pair{"Price", EConTypeReal}, std::pair{"Day", EConTypeDate},
              std::pair{"At", EConTypeTime}})
            ShownField(*stack, *measure, QLatin1String(field), type);
        NewField(*stack, *measure, QStringLiteral("Log"), EConTypeText);
        TControlRef price;
        measure->GetControlByName(QStringLiteral("Price"), price);
        price->SetDigits(2);
        NewCard(*stack, QStringLiteral("M1"), measure)->SetControlVal(name->Id(), Val::Str(QStringLiteral("M1")));

        const QString source = QStringLiteral("On closeField\r\n  Put \"closeField\" Into Field \"Log\"\r\nEnd\r\n"
                                              "On exitField\r\n  Put \"exitField\" Into Field \"Log\"\r\nEnd");
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        // The program's compiler is made when it starts, after the stack file.
        CVexilCompiler compiler;
        compiler.Construct();
        compiler.Compile(source, *script);
        stack->SetScriptSource(source);
        stack->SetScript(script);
        return SaveInFolder(stack, QStringLiteral("Measures.Quorvan"));
    }

    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }
    // The stored value of the shown card as its neutral text, "-" for none.
    static QString Stored(const QString& aField)
    {
        TValue val;
        gStackView->CurCard()->GetControlVal(Field(aField)->Id(), val, false);
        return val.iType == EValUndef ? QStringLiteral("-") : CVexilValue::ValToIntText(val);
    }
    // The value of the field set as before each case, through the stack view as a script's Put.
    static void Restore(const QString& aField, const TValue& aValue)
    {
        gStackView->SetValue(gStackView->CurCard(), Field(aField)->Id(), aValue);
        gStackView->SetValue(gStackView->CurCard(), Field(QStringLiteral("Log"))->Id(), TValue());
    }
};

TEST_F(FieldTypoProgramTest, ATextWithoutANumberDateOrTimeKeepsTheStoredValueAndSaysSo)
{
    const std::map<QString, TValue> before = {{QStringLiteral("Count"), Val::Int(7)},
                                              {QStringLiteral("Price"), Val::Real(2.5)},
                                              {QStringLiteral("Day"), Val::Date(QDate(2024, 1, 5))},
                                              {QStringLiteral("At"), Val::Time(QTime(14, 30, 0))}};
    struct TCase
    {
        const char* Field;
        const char* Typed;
        const char* Stored;  // neutral text, "-" for none
        const char* Shown;
        const char* Message;  // "id p0 p1", "" for none
        const char* Sent;
    };
    const TCase cases[] = {
        {"Count", "abc", "7", "7", "11 abc Count", "exitField"},
        {"Count", "12abc", "12", "12", "", "closeField"},
        {"Count", "", "-", "", "", "closeField"},
        {"Count", "42", "42", "42", "", "closeField"},
        {"Count", "3000000000", "7", "7", "11 3000000000 Count", "exitField"},
        {"Price", "abc", "2.5", "2.50", "11 abc Price", "exitField"},
        {"Price", "1.5abc", "1.5", "1.50", "", "closeField"},
        {"Price", "", "-", "", "", "closeField"},
        {"Price", "3.25", "3.25", "3.25", "", "closeField"},
        {"Price", "1e400", "2.5", "2.50", "11 1e400 Price", "exitField"},
        {"Day", "abc", "20240105", "1/5/2024", "11 abc Day", "exitField"},
        {"Day", "12abc", "20240105", "1/5/2024", "11 12abc Day", "exitField"},
        {"Day", "", "-", "", "", "closeField"},
        {"Day", "2/29/2024", "20240229", "2/29/2024", "", "closeField"},
        {"At", "abc", "143000", "2:30:00 PM", "11 abc At", "exitField"},
        {"At", "25:00", "143000", "2:30:00 PM", "11 25:00 At", "exitField"},
        {"At", "", "-", "", "", "closeField"},
        {"At", "9:15", "91500", "9:15:00 AM", "", "closeField"},
    };
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    for (const TCase& c : cases)
    {
        const QString name = QLatin1String(c.Field);
        SCOPED_TRACE(std::string(c.Field) + " \"" + c.Typed + "\"");
        Restore(name, before.at(name));
        prompts.Reset();
        const bool refused = *c.Message != 0;
        if (refused)
            prompts.ExpectMessage();
        Type(Field(name), QLatin1String(c.Typed));
        Leave(Field(name));

        EXPECT_EQ(Stored(name), QLatin1String(c.Stored));
        EXPECT_EQ(Shown(Field(name)), QLatin1String(c.Shown));
        EXPECT_EQ(EditorUser::Shown(), refused ? QStringList{QLatin1String(c.Message)} : QStringList());
        if (refused && !prompts.Messages().empty())
        {
            const QString text = QStringLiteral("The given string '%1' on field '%2' is not a valid number.");
            EXPECT_EQ(prompts.Messages().front().Text, text.arg(QLatin1String(c.Typed), name));
        }
        EXPECT_EQ(prompts.Pending(), 0);
        EXPECT_EQ(Stored(QStringLiteral("Log")), QLatin1String(c.Sent));
        // Validation never keeps the focus.
        EXPECT_FALSE(HasFocus(Field(name)));
    }
}
}  // namespace
