#include "AssertAnswers.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilError.h"
#include "foundation/VexilValue.h"
#include "script/VexilCodeReader.h"
#include "script/VexilVar.h"

#include <QDate>
#include <QTime>

#include <gtest/gtest.h>

#include <functional>

namespace
{
class FakeCard : public CVexilObject
{
public:
    explicit FakeCard(QString aName) : iName(std::move(aName)) {}
    QString ObjDescr() const override { return QStringLiteral("FakeCard ") + iName; }
    QString iName;
};

using TVarRef = std::shared_ptr<CVexilVar>;

TVarRef Var(int32_t aType)
{
    auto var = std::make_shared<CVexilVar>();
    var->Construct(aType);
    return var;
}

TVarRef Str(const QString& aText)
{
    auto var = Var(EValStr);
    var->SetStrVal(aText);
    return var;
}

TVarRef Int(int32_t aInt)
{
    auto var = Var(EValInt);
    var->SetIntVal(aInt);
    return var;
}

TVarRef Real(double aReal)
{
    auto var = Var(EValReal);
    var->SetRealVal(aReal);
    return var;
}

TVarRef Date(int aYear, int aMonth, int aDay)
{
    auto var = Var(EValDate);
    var->SetDateVal(CVexilValue::FromQDate(QDate(aYear, aMonth, aDay)));
    return var;
}

TVarRef Time(int aHour, int aMinute)
{
    auto var = Var(EValTime);
    var->SetTimeVal(CVexilValue::FromQTime(QTime(aHour, aMinute)));
    return var;
}

TVarRef Bool(bool aBool)
{
    auto var = Var(EValBool);
    var->SetBooleanVal(aBool);
    return var;
}

TVarRef Card(TObjRef aCard)
{
    auto var = Var(EValCard);
    var->SetCardVal(std::move(aCard));
    return var;
}

// A failed check answered No: its context (error 1000) and the detail shown.
struct TFailedCheck
{
    QString Context;
    QString Detail;
};

TFailedCheck FailedCheck(const std::function<void()>& aDo)
{
    const TErrInfo err = RefusedCheck(aDo);
    const auto& messages = ScriptedPrompts::Instance().Messages();
    const QString text = messages.empty() ? QString() : messages.back().Params.value(0);
    return {err.Context, text.left(text.indexOf(QStringLiteral("CVexilVar type=")))};
}

class ScriptVarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CVexilVar::SetNameLookup([](const CVexilObject& aObj) {
            auto card = dynamic_cast<const FakeCard*>(&aObj);
            return card ? card->iName : QString();
        });
    }
    void TearDown() override { CVexilVar::SetNameLookup(nullptr); }

    TObjRef iHome = std::make_shared<FakeCard>(QStringLiteral("Home"));
    TObjRef iAway = std::make_shared<FakeCard>(QStringLiteral("Away"));
};
}  // namespace

TEST_F(ScriptVarTest, Comparisons)
{
    const struct
    {
        const char* Name;
        TVarRef A;
        TVarRef B;
        bool Equal;
        bool Lt;
        bool Gt;
    } cases[] = {
        // Strings compare by character codes.
        {"a A", Str("a"), Str("A"), false, false, true},
        {"B a", Str("B"), Str("a"), false, true, false},
        {"abc abc", Str("abc"), Str("abc"), true, false, false},
        {"ab abc", Str("ab"), Str("abc"), false, true, false},
        // Int with Float compares as floats on either side.
        {"3 3.0", Int(3), Real(3.0), true, false, false},
        {"3.0 3", Real(3.0), Int(3), true, false, false},
        {"2 2.5", Int(2), Real(2.5), false, true, false},
        {"2.5 2", Real(2.5), Int(2), false, false, true},
        {"2 10", Int(2), Int(10), false, true, false},
        {"-1 0", Int(-1), Int(0), false, true, false},
        // True is stored as -1 and so is less than False.
        {"True False", Bool(true), Bool(false), false, true, false},
        {"False True", Bool(false), Bool(true), false, false, true},
        {"True True", Bool(true), Bool(true), true, false, false},
        {"dates", Date(2024, 1, 1), Date(2024, 1, 2), false, true, false},
        {"times", Time(10, 0), Time(9, 0), false, false, true},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.A->Equal(*c.B), c.Equal) << c.Name;
        EXPECT_EQ(c.A->Lt(*c.B), c.Lt) << c.Name;
        EXPECT_EQ(c.A->Gt(*c.B), c.Gt) << c.Name;
    }

    // Cards are equal when they are the same object.
    EXPECT_TRUE(Card(iHome)->Equal(*Card(iHome)));
    EXPECT_FALSE(Card(iHome)->Equal(*Card(iAway)));
}

TEST_F(ScriptVarTest, ComparisonsOfWrongTypesFailTheirCheck)
{
    const struct
    {
        std::function<void()> Do;
        const char* Context;
        const char* Detail;
    } cases[] = {
        {[] { Str("5")->Equal(*Int(5)); }, "Equal", "type Int"},
        {[] { Int(5)->Lt(*Str("5")); }, "Lt", "type String"},
        {[] { Date(2024, 1, 1)->Gt(*Int(1)); }, "Gt", "type Int"},
        {[this] { Card(iHome)->Lt(*Card(iAway)); }, "Lt", "Type"},
    };
    for (const auto& c : cases)
    {
        const TFailedCheck failed = FailedCheck(c.Do);
        EXPECT_EQ(failed.Context, QString::fromLatin1(c.Context));
        EXPECT_EQ(failed.Detail, QString::fromLatin1(c.Detail));
    }

    // Answered Yes, the comparison goes on and gives an answer.
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_FALSE(Card(iHome)->Gt(*Card(iHome)));
}

TEST_F(ScriptVarTest, Conversions)
{
    const struct
    {
        const char* Name;
        TVarRef Var;
        QString Text;
        int32_t IntVal;
        double RealVal;
    } cases[] = {
        // A String converts by its leading number, halves rounded to even.
        {"12abc", Str("12abc"), "12abc", 12, 12.0},
        {"2.5", Str("2.5"), "2.5", 2, 2.5},
        {"3.5", Str("3.5"), "3.5", 4, 3.5},
        {"abc", Str("abc"), "abc", 0, 0.0},
        {" -1.5e1x", Str(" -1.5e1x"), " -1.5e1x", -15, -15.0},
        {"Int", Int(-5), "-5", -5, -5.0},
        {"Float 2.5", Real(2.5), "2.5", 2, 2.5},
        {"Float -3.5", Real(-3.5), "-3.5", -4, -3.5},
        {"Float 0.1 + 0.2", Real(0.1 + 0.2), "0.3", 0, 0.1 + 0.2},
        {"Float 1234567.25", Real(1234567.25), "1234567.25", 1234567, 1234567.25},
        {"Float 1e15", Real(1e15), "1E+15", 0, 1e15},
        {"True", Bool(true), "True", -1, 1.0},
        {"False", Bool(false), "False", 0, 0.0},
        {"Date", Date(2024, 1, 31), "1/31/2024", 45322, 45322.0},
        {"Time noon", Time(12, 0), "12:00:00 PM", 0, 0.5},
        {"Time 18:00", Time(18, 0), "6:00:00 PM", 1, 0.75},
        {"Card", Card(iHome), "Home", 0, 0.0},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.Var->ToStr(), c.Text) << c.Name;
        EXPECT_DOUBLE_EQ(c.Var->ToReal(), c.RealVal) << c.Name;
        if (std::abs(c.RealVal) < 1e9)
        {
            EXPECT_EQ(c.Var->ToInt(), c.IntVal) << c.Name;
        }
    }
}

TEST_F(ScriptVarTest, ConversionsFollowTheLocaleForTextOnly)
{
    LocaleScope comma(kCommaLocale);
    EXPECT_EQ(Real(2.5)->ToStr(), QStringLiteral("2,5"));
    EXPECT_EQ(Real(1234567.25)->ToStr(), QStringLiteral("1234567,25"));
    // The leading number always reads "." as the decimal point.
    EXPECT_DOUBLE_EQ(Str(QStringLiteral("2,5"))->ToReal(), 2.0);
    EXPECT_DOUBLE_EQ(Str(QStringLiteral("2.5"))->ToReal(), 2.5);
}

TEST_F(ScriptVarTest, IntegerOverflowIsRunTimeError6)
{
    for (const TVarRef& var : {Real(3e9), Real(-2147483648.6), Str(QStringLiteral("1e10"))})
    {
        try
        {
            var->ToInt();
            ADD_FAILURE() << var->ToStr().toStdString();
        }
        catch (const CVexilException& e)
        {
            EXPECT_EQ(e.Number(), ERunOverflow);
        }
    }
    EXPECT_EQ(Real(-2147483648.4)->ToInt(), INT32_MIN);
}

TEST_F(ScriptVarTest, AssignCopiesValuesOfTheSameType)
{
    const TVarRef pairs[][2] = {
        {Str("x"), Str("abc")},        {Int(1), Int(42)},           {Real(1), Real(2.5)},
        {Date(2000, 1, 1), Date(2024, 5, 6)}, {Time(1, 0), Time(13, 30)}, {Bool(false), Bool(true)},
        {Card(iAway), Card(iHome)},
    };
    for (const auto& pair : pairs)
    {
        pair[0]->Assign(*pair[1]);
        EXPECT_TRUE(pair[0]->Equal(*pair[1])) << pair[1]->TypeStr().toStdString();
    }
    // The copy is a value: changing the source later leaves the target.
    const TVarRef target = Str("a");
    const TVarRef source = Str("b");
    target->Assign(*source);
    source->SetStrVal(QStringLiteral("c"));
    EXPECT_EQ(target->StrVal(), QStringLiteral("b"));
}

TEST_F(ScriptVarTest, MisuseFailsItsCheck)
{
    const struct
    {
        std::function<void()> Do;
        const char* Context;
        const char* Detail;
    } cases[] = {
        {[] { Int(1)->Assign(*Real(2.5)); }, "Assign", "type Float"},
        {[] { Var(EValControlSet)->Assign(*Var(EValControlSet)); }, "Assign", "Type"},
        {[] { Int(1)->SetStrVal(QStringLiteral("a")); }, "LetStrVal", "type"},
        {[] { Str("a")->SetIntVal(1); }, "LetIntVal", "type"},
        {[] { Str("a")->SetRealVal(1); }, "LetRealVal", "type"},
        {[] { Str("a")->SetDateVal(1); }, "LetDateVal", "type"},
        {[] { Str("a")->SetTimeVal(1); }, "LetTimeVal", "type"},
        {[] { Str("a")->SetBooleanVal(true); }, "LetBooleanVal", "type"},
        {[] { Str("a")->SetCardVal(nullptr); }, "LetCardVal", "type"},
        {[] { Str("a")->SetControlVal(nullptr); }, "LetControlVal", "type"},
        {[] { Str("a")->SetControlSetVal(nullptr); }, "LetControlSetVal", "type"},
        {[] { CVexilVar().Construct(EValUndef); }, "Construct", "undef"},
        {[] { Var(EValArray)->ToStr(); }, "ToStr", "Type"},
        {[] { Var(EValArray)->ToInt(); }, "ToInt", "Type"},
        {[] { Var(EValArray)->ToReal(); }, "ToReal", "Type"},
        {[] {
             CVexilCodeReader code(QByteArray("\x0B\x01z", 3));
             Int(1)->GetFromCode(code);
         },
         "GetFromCode", "type Int"},
    };
    for (const auto& c : cases)
    {
        const TFailedCheck failed = FailedCheck(c.Do);
        EXPECT_EQ(failed.Context, QString::fromLatin1(c.Context));
        EXPECT_EQ(failed.Detail, QString::fromLatin1(c.Detail));
    }
}

TEST_F(ScriptVarTest, NamesAndRecord)
{
    EXPECT_EQ(Real(1)->ObjDescr(), QStringLiteral("CVexilVar type=Float"));
    EXPECT_EQ(Var(EValControlSet)->TypeStr(), QStringLiteral("ControlSet"));
    EXPECT_EQ(CVexilVar().TypeStr(), QStringLiteral("(Undef)"));

    // A new variable holds zeros; the record setter keeps the declared type.
    const TVarRef var = Var(EValInt);
    EXPECT_EQ(var->IntVal(), 0);
    TValue val;
    val.iType = EValInt;
    val.iInt = 7;
    var->SetVal(val);
    EXPECT_EQ(var->ValType(), EValInt);
    EXPECT_EQ(var->Val().iInt, 7);
    EXPECT_TRUE(CVexilVar::IsNumType(EValReal));
    EXPECT_FALSE(CVexilVar::IsNumType(EValDate));
}

TEST_F(ScriptVarTest, GetFromCodeReadsAStringConstant)
{
    CVexilCodeReader code(QByteArray("\x0B\x03" "abc\x0B\x01\x80", 8));
    const TVarRef var = Var(EValStr);
    var->GetFromCode(code);
    EXPECT_EQ(var->StrVal(), QStringLiteral("abc"));
    EXPECT_EQ(code.Pos(), 5);
    // Constants are in Windows-1252.
    var->GetFromCode(code);
    EXPECT_EQ(var->StrVal(), QStringLiteral("\u20AC"));
}
