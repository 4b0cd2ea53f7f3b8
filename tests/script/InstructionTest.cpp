#include "ScriptFixture.h"

#include "AssertAnswers.h"
#include "foundation/VexilMsg.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "script/VexilOperators.h"

#include <QDate>
#include <QLocale>

// Three cards "One", "Two", "Three" of the first background with a text, an integer, a real,
// a date, a Boolean, a picture and a command field; "Two" holds 2.6 in its real field.
class InstructionTest : public ScriptFixture
{
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        iText = AddField(QStringLiteral("Text"), EConTypeText);
        iNum = AddField(QStringLiteral("Num"), EConTypeInteger);
        iReal = AddField(QStringLiteral("Real"), EConTypeReal);
        iDate = AddField(QStringLiteral("Date"), EConTypeDate);
        iBool = AddField(QStringLiteral("Bool"), EConTypeBoolean);
        iPic = AddField(QStringLiteral("Pic"), EConTypePicture);
        iCmd = AddField(QStringLiteral("Cmd"), EConTypeCommand);
        iOne = AddCard(QStringLiteral("One"));
        iTwo = AddCard(QStringLiteral("Two"));
        iThree = AddCard(QStringLiteral("Three"));
        TValue real;
        real.iType = EValReal;
        real.iReal = 2.6;
        iTwo->SetControlVal(iReal->Id(), real);
    }

    // The text field of the current card after the handler "Put <expression> Into Field Text".
    QString TextOf(const QString& aExpression)
    {
        Run({QStringLiteral("Put %1 Into Field \"Text\"").arg(aExpression)});
        return ValueOf(iOne, iText);
    }

    TControlRef iText, iNum, iReal, iDate, iBool, iPic, iCmd;
    TCardRef iOne, iTwo, iThree;
};

// ---- Put, field values and the operators in scripts ----

TEST_F(InstructionTest, PutConvertsToTheFieldType)
{
    struct Case
    {
        const char* Expression;
        const char* Field;
        const char* Stored;  // neutral text
    } cases[] = {
        {"7 / 2", "Num", "4"},
        {"5 / 2", "Num", "2"},
        {"-2 * 3", "Num", "-6"},
        {"+3", "Num", "3"},
        {"\"2\" & 3", "Text", "23"},
        {"\"2\" + \"3\"", "Real", "5"},
        {"7 / 2", "Real", "4"},
        {"\"12abc\" + \"0\"", "Num", "12"},
        {"Not 5", "Bool", "-1"},
        {"Not (1 = 1)", "Bool", "0"},
        {"(1 < 2) And (2 >= 2)", "Bool", "-1"},
        {"(\"B\" < \"a\") Or (1 <> 1)", "Bool", "-1"},
        {"3 = 3 * 1", "Bool", "-1"},
        {"Random(1)", "Num", "1"},
        {"Number Of Cards", "Num", "3"},
        {"Number Of Cards Of Background \"First Background\"", "Num", "3"},
        {"Field \"Num\" + 1", "Num", "1"},          // an empty Integer field reads 0
        {"Field \"Text\" & \"x\"", "Text", "x"},    // an empty Text field reads ""
        {"Field \"Date\" + 1", "Date", "19800102"}, // an empty Date field reads 1980-01-01
        {"Field \"Pic\"", "Num", "1999999999"},     // a picture field without a picture: UndefLong
        {"Field \"Real\" Of Card 2", "Text", "2.6"},
        {"Field 3 Of Card \"Two\" * 10", "Num", "26"},
        {"Return & Tab", "Text", "\r\n\t"},
    };
    for (const Case& c : cases)
    {
        TControlRef target;
        ASSERT_TRUE(iBg->GetControlByName(QString::fromLatin1(c.Field), target));
        iOne->SetControlVal(target->Id(), TValue());
        const QString line =
            QStringLiteral("Put %1 Into Field \"%2\"").arg(QString::fromLatin1(c.Expression), QString::fromLatin1(c.Field));
        EXPECT_EQ(RaisedError([&] { Run({line}); }), 0)
            << c.Expression << ": message " << iInterp.GetErrorInfo().MsgId << " "
            << iInterp.GetErrorInfo().Param1.toStdString();
        iInterp.Reset();
        EXPECT_EQ(ValueOf(iOne, target), QString::fromLatin1(c.Stored)) << c.Expression;
    }
}

TEST_F(InstructionTest, PutStoresIntoAnyCardThroughTheStackView)
{
    Run({QStringLiteral("Put \"x\" Into Field \"Text\" Of Card 3"),
         QStringLiteral("Put \"y\" Into Field 1 Of Card \"Two\"")});
    EXPECT_EQ(ValueOf(iThree, iText), QStringLiteral("x"));
    EXPECT_EQ(ValueOf(iTwo, iText), QStringLiteral("y"));
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("<undef>"));
    EXPECT_EQ(iView.iNumSetValues, 2);
    EXPECT_EQ(iView.iCurCard, iOne);
}

TEST_F(InstructionTest, VariablesTakeTheTypeOfTheLastValueStored)
{
    EXPECT_EQ(TextOf(QStringLiteral("x & \"|\"")), QStringLiteral("|"));  // never assigned: ""
    Run({QStringLiteral("x = 1"), QStringLiteral("x = \"a\""), QStringLiteral("Put x & 1 Into Field \"Text\"")});
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("a1"));
    // An assignment copies: y keeps 7 when x changes.
    Run({QStringLiteral("x = 7"), QStringLiteral("y = x"), QStringLiteral("x = 1"),
         QStringLiteral("Put y * 10 + x Into Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iNum), QStringLiteral("71"));
    // my_total and MyTotal are one variable.
    Run({QStringLiteral("my_total = 5"), QStringLiteral("MyTotal = MYTOTAL + 1"),
         QStringLiteral("Put my_total Into Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iNum), QStringLiteral("6"));
}

TEST_F(InstructionTest, DateArithmetic)
{
    const QDate today = QDate::currentDate();
    const auto intDate = [](const QDate& aDate) { return aDate.toString(QStringLiteral("yyyyMMdd")); };
    Run({QStringLiteral("Put The Date + 1 Into Field \"Date\"")});
    EXPECT_EQ(ValueOf(iOne, iDate), intDate(today.addDays(1)));
    Run({QStringLiteral("Put The Date - 31 Into Field \"Date\"")});
    EXPECT_EQ(ValueOf(iOne, iDate), intDate(today.addDays(-31)));
    Run({QStringLiteral("d = The Date + 10"), QStringLiteral("Put d - The Date Into Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iNum), QStringLiteral("10"));
    Run({QStringLiteral("Put The Date - (The Date + 300) Into Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iNum), QStringLiteral("-300"));
}

TEST_F(InstructionTest, GoToCardByNameNumberAndRealNumber)
{
    // 2.6, the value of a Real field, is card 3.
    Run({QStringLiteral("Go To Card Field \"Real\" Of Card \"Two\""), QStringLiteral("Put \"here\" Into Field \"Text\"")});
    EXPECT_EQ(iView.iShown, std::vector<QString>{QStringLiteral("Three")});
    EXPECT_EQ(ValueOf(iThree, iText), QStringLiteral("here"));  // the run's current card moved along
    iView.iShown.clear();
    SetScript(*iThree, {QStringLiteral("On t"), QStringLiteral("Go Next Card"), QStringLiteral("Go Card \"One\""),
                        QStringLiteral("Go To Next Card"), QStringLiteral("End")});
    Send(QStringLiteral("t"));
    EXPECT_EQ(iView.iShown, (std::vector<QString>{QStringLiteral("One"), QStringLiteral("Two")}));
    EXPECT_EQ(iView.iCurCard, iTwo);
}

TEST_F(InstructionTest, ForEachCardWalksTheStackOrder)
{
    for (const auto& [card, num] : {std::pair{iOne, 1}, {iTwo, 20}, {iThree, 300}})
    {
        TValue val;
        val.iType = EValInt;
        val.iInt = num;
        card->SetControlVal(iNum->Id(), val);
    }
    Run({QStringLiteral("s = 0"), QStringLiteral("n = \"\""), QStringLiteral("Repeat For Each Card c"),
         QStringLiteral("s = s + Field \"Num\" Of Card c"), QStringLiteral("n = n & c & \",\""), QStringLiteral("End Repeat"),
         QStringLiteral("Put n & s Into Field \"Text\"")});
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("One,Two,Three,321"));
}

TEST_F(ScriptFixture, ForEachCardOfAStackWithoutCardsRunsTheBodyNever)
{
    SetScript(*iStack, {QStringLiteral("On t"), QStringLiteral("n = 0"), QStringLiteral("Repeat For Each Card c"),
                        QStringLiteral("n = n + 1"), QStringLiteral("End Repeat"), QStringLiteral("Answer n"),
                        QStringLiteral("End")});
    QString hex;
    int32_t cursor = 0;
    ASSERT_TRUE(iStack->Script()->ReadStr(QStringLiteral("t"), hex, cursor));
    ScriptedPrompts::Instance().ExpectNotice();
    iInterp.Execute(iStack, hex);
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(), QStringList{QStringLiteral("0")});
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InstructionTest, ForEachCardOfABackgroundSkipsOtherCards)
{
    const TControlSetRef other = AddBackground(QStringLiteral("Other"));
    AddBackground(QStringLiteral("Empty"));
    AddCard(QStringLiteral("A"), other);
    AddCard(QStringLiteral("B"), other);
    Run({QStringLiteral("n = \"\""), QStringLiteral("Repeat For Each Card c Of Background \"First Background\""),
         QStringLiteral("n = n & c"), QStringLiteral("End Repeat"),
         QStringLiteral("Repeat For Each Card c Of Background \"Other\""), QStringLiteral("n = n & \"/\" & c"),
         QStringLiteral("End Repeat"), QStringLiteral("Repeat For Each Card c Of Background \"Empty\""),
         QStringLiteral("n = n & \"never\""), QStringLiteral("End Repeat"),
         QStringLiteral("Put n & Number Of Cards Of Background \"Other\" Into Field \"Text\"")});
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("OneTwoThree/A/B2"));
}

TEST_F(InstructionTest, ExitRepeatLeavesNestedLoopsBalanced)
{
    Run({QStringLiteral("n = \"\""), QStringLiteral("Repeat For Each Card c"), QStringLiteral("Repeat For Each Card d"),
         QStringLiteral("If d = c Then"), QStringLiteral("Exit Repeat"), QStringLiteral("End If"),
         QStringLiteral("n = n & Field 3 Of Card d"), QStringLiteral("End Repeat"), QStringLiteral("n = n & c"),
         QStringLiteral("If c & \"\" = \"Two\" Then"), QStringLiteral("Exit Repeat"), QStringLiteral("End If"),
         QStringLiteral("End Repeat"), QStringLiteral("i = 0"), QStringLiteral("Repeat While 1 = 1"),
         QStringLiteral("i = i + 1"), QStringLiteral("If i = 5 Then"), QStringLiteral("Exit Repeat"),
         QStringLiteral("End If"), QStringLiteral("End Repeat"), QStringLiteral("Put n & i Into Field \"Text\"")});
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("One0Two5"));
}

TEST_F(InstructionTest, LoopVariableGivenAnotherTypeFailsItsCheck)
{
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Repeat For Each Card c"), QStringLiteral("c = 1"),
                      QStringLiteral("End Repeat"), QStringLiteral("End")});
    EXPECT_EQ(RefusedCheck([&] { Send(QStringLiteral("t")); }).Context, QStringLiteral("LetCardVal"));
}

TEST_F(InstructionTest, AnswerShowsTheTextOfTheValue)
{
    ScriptedPrompts::Instance().ExpectNotice();
    ScriptedPrompts::Instance().ExpectNotice();
    ScriptedPrompts::Instance().ExpectNotice();
    Run({QStringLiteral("Answer \"hi\" & 1"), QStringLiteral("Answer Field \"Real\" Of Card 2"),
         QStringLiteral("Answer The Date")});
    CVexilVar today;
    CVexilOperators::SetDate(today, CVexilValue::FromQDate(QDate::currentDate()));
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(), (QStringList{QStringLiteral("hi1"), QStringLiteral("2.6"), today.ToStr()}));
    EXPECT_FALSE(today.ToStr().isEmpty());
}

TEST_F(InstructionTest, RandomStaysWithinItsRange)
{
    for (int i = 0; i < 30; ++i)
    {
        Run({QStringLiteral("Put Random(6) + 1 Into Field \"Num\"")});
        const int value = ValueOf(iOne, iNum).toInt();
        EXPECT_GE(value, 2);
        EXPECT_LE(value, 7);
    }
}

TEST_F(InstructionTest, SendRunsTheFieldHandlerWithItsParameter)
{
    SetScript(*iText, {QStringLiteral("On select p"), QStringLiteral("Put p & \"!\" Into Field \"Text\""), QStringLiteral("End"),
                       QStringLiteral("On other"), QStringLiteral("Put \"other\" Into Field \"Text\" Of Card 3"),
                       QStringLiteral("End")});
    iInterp.SetParamVal(QStringLiteral("42"));
    Run({QStringLiteral("Send \"select\" To Field \"Text\""), QStringLiteral("Send \"OTHER\" To Field 1 Of Card 2"),
         QStringLiteral("Send \"nothing\" To Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iText), QStringLiteral("42!"));
    EXPECT_EQ(ValueOf(iThree, iText), QStringLiteral("other"));
    EXPECT_EQ(iInterp.ParamVal(), QStringLiteral("42"));  // never cleared
}

TEST_F(InstructionTest, PictureFieldReadsAndTakesPictureIds)
{
    // No picture reads as UndefLong and stores as no picture.
    Run({QStringLiteral("Put Field \"Pic\" Into Field \"Pic\""), QStringLiteral("Put Field \"Pic\" Into Field \"Num\"")});
    EXPECT_EQ(ValueOf(iOne, iPic), QStringLiteral("<undef>"));
    EXPECT_EQ(ValueOf(iOne, iNum), QStringLiteral("1999999999"));

    // A picture of the stack: its id is read, compared and stored, and the store counts the use.
    auto blob = std::make_shared<CVexilBlob>();
    blob->Construct(iStack->IdGen().NextId());
    iStack->BlobStore()->AddBlob(blob);
    TValue picture;
    picture.iType = EValBlobId;
    picture.iInt = blob->Id();
    iTwo->SetControlVal(iPic->Id(), picture);
    Run({QStringLiteral("Put Field \"Pic\" Of Card 2 Into Field \"Pic\""),
         QStringLiteral("If Field \"Pic\" = Field \"Pic\" Of Card 2 Then"),
         QStringLiteral("Put Field \"Pic\" + 0 Into Field \"Num\""), QStringLiteral("End If")});
    EXPECT_EQ(ValueOf(iOne, iPic), QStringLiteral("(Blob %1)").arg(blob->Id()));
    EXPECT_EQ(ValueOf(iOne, iNum), QString::number(blob->Id()));
    EXPECT_EQ(blob->RefCount(), 2);
}

// ---- Run-time errors of the instructions ----

TEST_F(InstructionTest, ScriptErrorsNameTheirCauseAndLine)
{
    struct Case
    {
        const char* Line;
        int32_t MsgId;
        const char* Param1;
        const char* Param2;
    } cases[] = {
        {"Go To Card 0", EMsgCardNotFound, "0", ""},
        {"Go To Card 4", EMsgCardNotFound, "4", ""},
        {"Go To Card \"Nope\"", EMsgCardNotFound, "Nope", ""},
        {"Put 1 Into Field \"Text\" Of Card (1 - 2)", EMsgCardNotFound, "-1", ""},
        {"Put 1 Into Field \"Text\" Of Card The Date", EMsgWrongValType, "Date", ""},
        {"Put 1 Into Field \"Nope\"", EMsgControlNotFound, "Nope", ""},
        {"Put 1 Into Field 8", EMsgControlNotFound, "8", ""},
        {"Put 1 Into Field 0", EMsgControlNotFound, "0", ""},
        {"Put 1 Into Field Field \"Real\" Of Card 2", EMsgWrongValType, "Real", ""},
        {"x = Number Of Cards Of Background \"Nope\"", EMsgBackgroundNotFound, "Nope", ""},
        {"x = Number Of Cards Of Background 1", EMsgWrongValType, "Integer", ""},
        {"x = 1 + The Date", EMsgIncompatibleValTypes, "Integer", "Date"},
        {"x = \"2\" * 3", EMsgIncompatibleValTypes, "String", "Integer"},
        {"x = (1 = 1) And 1", EMsgIncompatibleValTypes, "Boolean", "Integer"},
        {"x = (1 = 1) Or \"a\"", EMsgIncompatibleValTypes, "Boolean", "String"},
        {"x = \"a\" < 1", EMsgIncompatibleValTypes, "String", "Integer"},
        {"x = The Date + Field \"Real\"", EMsgIncompatibleValTypes, "Date", "Real"},
        {"If 5 Then", EMsgWrongValType, "Integer", ""},
        {"Repeat While \"a\"", EMsgWrongValType, "String", ""},
        {"Send 5 To Field \"Text\"", EMsgWrongValType, "Integer", ""},
        {"x = Field \"Cmd\"", EMsgWrongValType, "Command", ""},
        {"Put 1 Into Field \"Cmd\"", EMsgWrongValType, "Command", ""},
        {"Put \"x\" Into Field \"Pic\"", EMsgWrongValType, "String", ""},
        // Values that the field's type cannot take.
        {"Put The Date Into Field \"Num\"", EMsgWrongValType, "Date", ""},
        {"Put (1 = 1) Into Field \"Real\"", EMsgWrongValType, "Boolean", ""},
        {"Put 1 Into Field \"Bool\"", EMsgWrongValType, "Integer", ""},
        {"Put \"1/2/2024\" Into Field \"Date\"", EMsgWrongValType, "String", ""},
        {"Put 5 Into Field \"Date\"", EMsgWrongValType, "Integer", ""},
    };
    for (const Case& c : cases)
    {
        QStringList lines{QStringLiteral("x = 0"), QString::fromLatin1(c.Line)};
        if (lines[1].startsWith(u"If"))
            lines << QStringLiteral("End If");
        if (lines[1].startsWith(u"Repeat"))
            lines << QStringLiteral("End Repeat");
        const TRunErrInfo info = RunFails(lines);
        EXPECT_EQ(info.MsgId, c.MsgId) << c.Line;
        EXPECT_EQ(info.Param1, QString::fromLatin1(c.Param1)) << c.Line;
        EXPECT_EQ(info.Param2, QString::fromLatin1(c.Param2)) << c.Line;
        EXPECT_EQ(info.LineIndex, 2) << c.Line;
        EXPECT_EQ(info.Obj, iOne) << c.Line;
        EXPECT_EQ(info.RunNumber, 0) << c.Line;
    }
}

TEST_F(InstructionTest, PlatformErrorsEndTheRunWithTheirNumber)
{
    struct Case
    {
        const char* Line;
        int32_t RunNumber;
    } cases[] = {
        {"x = 7 / 0", ERunDivByZero},
        {"x = 7 / (Field \"Real\" * 1)", ERunDivByZero},  // an empty Real field is 0
        {"x = 32767 * 32767 * 3", ERunOverflow},
        {"x = -32767 * 32767 * 3", ERunOverflow},
        {"x = The Date - (The Date - 32767 - 1)", ERunOverflow},
        {"x = The Date + 32767 * 100", ERunOverflow},
        {"x = Random(0)", ERunInvalidCall},
        {"x = Random", ERunInvalidCall},
        {"x = Random(2, 3)", ERunInvalidCall},
        {"Put \"abc\" Into Field \"Num\"", 13},
        {"Put 5 Into Field \"Pic\"", ERunInvalidCall},  // no such picture
    };
    for (const Case& c : cases)
    {
        const TRunErrInfo info = RunFails({QStringLiteral("x = 0"), QString::fromLatin1(c.Line)});
        EXPECT_EQ(info.MsgId, EMsgSystemError) << c.Line;
        EXPECT_EQ(info.RunNumber, c.RunNumber) << c.Line;
        EXPECT_EQ(info.Param1, CVexilError::RunErrorDescription(c.RunNumber)) << c.Line;
        EXPECT_EQ(info.LineIndex, 2) << c.Line;
        EXPECT_EQ(info.Obj, iOne) << c.Line;
    }
}

// ---- The operators on script values ----

namespace
{
CVexilVar Int(int32_t aInt)
{
    CVexilVar var;
    CVexilOperators::SetInt(var, aInt);
    return var;
}

CVexilVar Real(double aReal)
{
    CVexilVar var;
    CVexilOperators::SetReal(var, aReal);
    return var;
}

CVexilVar Str(const char* aText)
{
    CVexilVar var;
    CVexilOperators::SetStr(var, QString::fromLatin1(aText));
    return var;
}

CVexilVar Bool(bool aBool)
{
    CVexilVar var;
    CVexilOperators::SetBool(var, aBool);
    return var;
}

CVexilVar Date(int32_t aDay)
{
    CVexilVar var;
    CVexilOperators::SetDate(var, aDay);
    return var;
}
}  // namespace

TEST(OperatorTest, ResultTypesAndValues)
{
    struct Case
    {
        CVexilVar L;
        EOpcCode Op;
        CVexilVar R;
        int32_t Type;
        double Value;
    } cases[] = {
        {Int(7), EOpcDiv, Int(2), EValInt, 4},
        {Int(5), EOpcDiv, Int(2), EValInt, 2},
        {Int(-7), EOpcDiv, Int(2), EValInt, -4},
        {Real(7), EOpcDiv, Int(2), EValReal, 3.5},
        {Int(6), EOpcMul, Int(7), EValInt, 42},
        {Int(6), EOpcMul, Real(0.5), EValReal, 3},
        {Int(2), EOpcAdd, Int(3), EValInt, 5},
        {Int(2), EOpcSub, Real(0.5), EValReal, 1.5},
        {Str("2"), EOpcAdd, Str("3"), EValReal, 5},
        {Str("6"), EOpcMul, Str("7x"), EValReal, 42},
        {Bool(true), EOpcAdd, Bool(true), EValReal, 2},
        {Date(100), EOpcAdd, Int(1), EValDate, 101},
        {Date(100), EOpcSub, Int(1), EValDate, 99},
        {Date(100), EOpcSub, Date(40), EValInt, 60},
        {Date(100), EOpcAdd, Date(40), EValReal, 140},
        {Int(3), EOpcEq, Real(3.0), EValBool, 1},
        {Real(3.0), EOpcEq, Int(3), EValBool, 1},
        {Int(2), EOpcLt, Real(2.5), EValBool, 1},
        {Real(2.5), EOpcGt, Int(2), EValBool, 1},
        {Int(2), EOpcGe, Int(2), EValBool, 1},
        {Int(2), EOpcLe, Int(1), EValBool, 0},
        {Str("a"), EOpcEq, Str("A"), EValBool, 0},
        {Str("B"), EOpcLt, Str("a"), EValBool, 1},
        {Bool(true), EOpcLt, Bool(false), EValBool, 1},
        {Date(5), EOpcNe, Date(6), EValBool, 1},
        {Bool(true), EOpcAnd, Bool(false), EValBool, 0},
        {Bool(true), EOpcOr, Bool(false), EValBool, 1},
    };
    for (Case& c : cases)
    {
        const QString what = c.L.ToStr() + QStringLiteral(" op %1 ").arg(c.Op) + c.R.ToStr();
        ASSERT_TRUE(CVexilOperators::Binary(c.Op, c.L, c.R)) << what.toStdString();
        EXPECT_EQ(c.L.ValType(), c.Type) << what.toStdString();
        EXPECT_DOUBLE_EQ(c.Type == EValBool ? (c.L.BooleanVal() ? 1 : 0) : c.L.ToReal(), c.Value) << what.toStdString();
    }
}

TEST(OperatorTest, IncompatibleOperandsAreRefused)
{
    struct Case
    {
        CVexilVar L;
        EOpcCode Op;
        CVexilVar R;
    } cases[] = {
        {Int(1), EOpcAdd, Date(5)},   // Int + Date
        {Date(5), EOpcAdd, Real(1)},  // only an Int counts days
        {Str("2"), EOpcMul, Int(3)},
        {Int(1), EOpcAnd, Int(1)},
        {Bool(true), EOpcOr, Int(0)},
        {Str("a"), EOpcEq, Int(1)},
        {Date(1), EOpcLt, Real(1)},
    };
    for (Case& c : cases)
    {
        const int32_t type = c.L.ValType();
        EXPECT_FALSE(CVexilOperators::Binary(c.Op, c.L, c.R)) << c.Op;
        EXPECT_EQ(c.L.ValType(), type);  // left as it was
    }
}

TEST(OperatorTest, OverflowAndDivisionByZero)
{
    struct Case
    {
        CVexilVar L;
        EOpcCode Op;
        CVexilVar R;
        int32_t Error;
    } cases[] = {
        {Int(7), EOpcDiv, Int(0), ERunDivByZero},
        {Int(0), EOpcDiv, Int(0), ERunDivByZero},
        {Real(1), EOpcDiv, Real(0), ERunDivByZero},
        {Str("1"), EOpcDiv, Str("x"), ERunDivByZero},
        {Int(INT32_MAX), EOpcAdd, Int(1), ERunOverflow},
        {Int(INT32_MIN), EOpcSub, Int(1), ERunOverflow},
        {Int(65536), EOpcMul, Int(32768), ERunOverflow},
        {Int(INT32_MIN), EOpcDiv, Int(-1), ERunOverflow},
        {Real(1e308), EOpcMul, Real(10), ERunOverflow},
        {Date(0), EOpcAdd, Int(3000000), ERunOverflow},
        {Date(40000), EOpcSub, Date(0), ERunOverflow},
    };
    for (Case& c : cases)
        EXPECT_EQ(RaisedError([&] { CVexilOperators::Binary(c.Op, c.L, c.R); }), c.Error) << c.Op;
}

TEST(OperatorTest, NotAndNeg)
{
    CVexilVar five = Int(5);
    CVexilOperators::Not(five);  // not a Boolean: counts as False
    EXPECT_EQ(five.ValType(), EValBool);
    EXPECT_TRUE(five.BooleanVal());
    CVexilVar yes = Bool(true);
    CVexilOperators::Not(yes);
    EXPECT_FALSE(yes.BooleanVal());

    CVexilVar num = Int(3);
    CVexilOperators::Neg(num);
    EXPECT_EQ(num.ValType(), EValInt);
    EXPECT_EQ(num.IntVal(), -3);
    CVexilVar text = Str("2.5");
    CVexilOperators::Neg(text);
    EXPECT_EQ(text.ValType(), EValReal);
    EXPECT_DOUBLE_EQ(text.RealVal(), -2.5);
    CVexilVar lowest = Int(INT32_MIN);
    EXPECT_EQ(RaisedError([&] { CVexilOperators::Neg(lowest); }), ERunOverflow);
}

TEST(OperatorTest, ConcatJoinsTheTexts)
{
    CVexilVar two = Str("2");
    ASSERT_TRUE(CVexilOperators::Binary(EOpcConcat, two, Int(3)));
    EXPECT_EQ(two.ValType(), EValStr);
    EXPECT_EQ(two.StrVal(), QStringLiteral("23"));
    CVexilVar yes = Bool(true);
    ASSERT_TRUE(CVexilOperators::Binary(EOpcConcat, yes, Real(0.5)));
    EXPECT_EQ(yes.StrVal(), QStringLiteral("True0.5"));
}
