#include "ScriptFixture.h"

#include "foundation/VexilMsg.h"

// Statements on variables and numbers, which the interpreter may carry out as one step: they
// give the results, errors, lines and progress of their single instructions.
// One card "One" with the text field "Log", and "Two" with 2.6 in its real field "Real".
class VariableStepTest : public ScriptFixture
{
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        iLog = AddField(QStringLiteral("Log"), EConTypeText);
        iReal = AddField(QStringLiteral("Real"), EConTypeReal);
        iOne = AddCard(QStringLiteral("One"));
        const TCardRef two = AddCard(QStringLiteral("Two"));
        TValue real;
        real.iType = EValReal;
        real.iReal = 2.6;
        two->SetControlVal(iReal->Id(), real);
    }

    TControlRef iLog, iReal;
    TCardRef iOne;
};

TEST_F(VariableStepTest, ResultsOfIntsAndOfOtherTypes)
{
    struct Case
    {
        QStringList Lines;
        const char* Log;
    } cases[] = {
        {{"a = 5", "b = a - 7", "Put b Into Field \"Log\""}, "-2"},
        {{"a = 5", "b = 9", "a = a + b", "Put a Into Field \"Log\""}, "14"},
        // Loops whose conditions compare a variable with a number or another variable.
        {{"i = 0", "Repeat While i < 10", "i = i + 3", "End Repeat", "Put i Into Field \"Log\""}, "12"},
        {{"i = 0", "Repeat While i <= 9", "i = i + 3", "End Repeat", "Put i Into Field \"Log\""}, "12"},
        {{"i = 0", "n = 9", "Repeat While i <> n", "i = i + 3", "End Repeat", "Put i Into Field \"Log\""}, "9"},
        {{"i = 20", "n = 5", "Repeat While i > n", "i = i - 4", "End Repeat", "Put i Into Field \"Log\""}, "4"},
        {{"i = 20", "Repeat While i >= 5", "i = i - 4", "End Repeat", "Put i Into Field \"Log\""}, "4"},
        {{"i = 3", "If i = 3 Then", "Put \"three\" Into Field \"Log\"", "End If"}, "three"},
        {{"i = 3", "If i = 4 Then", "Put \"four\" Into Field \"Log\"", "Else", "Put \"other\" Into Field \"Log\"",
          "End If"},
         "other"},
        // A Float variable takes the general way of the operators.
        {{"r = Field \"Real\" Of Card 2", "s = r + 1", "Put s Into Field \"Log\""}, "3.6"},
        {{"r = Field \"Real\" Of Card 2", "If r < 3 Then", "Put \"less\" Into Field \"Log\"", "End If"}, "less"},
        // A variable that held a text takes the Int.
        {{"a = \"text\"", "b = 1", "a = b + 1", "Put a Into Field \"Log\""}, "2"},
    };
    for (const Case& c : cases)
    {
        Run(c.Lines);
        EXPECT_EQ(ValueOf(iOne, iLog), QString::fromLatin1(c.Log)) << c.Lines.join(u'/').toStdString();
    }
}

TEST_F(VariableStepTest, ErrorsArriveAtTheirInstruction)
{
    struct Case
    {
        QStringList Lines;
        int32_t MsgId;
        int32_t RunNumber;
        int32_t LineIndex;
    } cases[] = {
        // A variable never assigned reads as the empty String.
        {{"x = 1", "If u < 1 Then", "End If"}, EMsgIncompatibleValTypes, 0, 2},
        {{"s = \"7\"", "t = s + 1"}, EMsgIncompatibleValTypes, 0, 2},
        {{"x = 32767 * 32767", "x = x + x", "Repeat While x > 0", "x = x + 32767", "End Repeat"},
         EMsgSystemError, ERunOverflow, 4},
        {{"x = 0 - 32767 * 32767", "x = x + x", "Repeat While x < 0", "x = x - 32767", "End Repeat"},
         EMsgSystemError, ERunOverflow, 4},
    };
    for (const Case& c : cases)
    {
        const TRunErrInfo info = RunFails(c.Lines);
        const std::string name = c.Lines.join(u'/').toStdString();
        EXPECT_EQ(info.MsgId, c.MsgId) << name;
        EXPECT_EQ(info.RunNumber, c.RunNumber) << name;
        EXPECT_EQ(info.LineIndex, c.LineIndex) << name;
    }
}

TEST_F(VariableStepTest, EveryValueAndVariableIndexTakesASlot)
{
    // Each statement needs two slots above the locals at its fullest: two values, or a value
    // and the index of the variable that it is stored into.
    const QStringList statements[] = {
        {QStringLiteral("v1 = 1")},
        {QStringLiteral("v1 = \"a\"")},
        {QStringLiteral("v1 = v2")},
        {QStringLiteral("v1 = v1 + 1")},
        {QStringLiteral("v1 = \"a\" & \"b\"")},
        {QStringLiteral("If v1 < v2 Then"), QStringLiteral("End If")},
    };
    const auto assignments = [](int aCount) {
        QStringList lines;
        for (int i = 1; i <= aCount; ++i)
            lines << QStringLiteral("v%1 = %1").arg(i);
        return lines;
    };
    for (const QStringList& statement : statements)
    {
        const std::string name = statement.join(u'/').toStdString();
        // 19 locals leave two slots.
        Run(assignments(19) + statement);
        EXPECT_FALSE(iInterp.Running()) << name;
        // 20 locals leave one: the statement fails (the assignments after it name the locals).
        const TRunErrInfo info = RunFails(statement + assignments(20));
        EXPECT_EQ(info.MsgId, EMsgSystemError) << name;
        EXPECT_EQ(info.RunNumber, ERunSubscript) << name;
        EXPECT_EQ(info.LineIndex, 1) << name;
    }
}

TEST_F(VariableStepTest, ProgressCountsEveryInstruction)
{
    // 7 instructions before the loop, 14 a turn (the jump back skips the line of the condition),
    // the last test of 5 and the end of 2: 3,514 for 250 turns, 35 steps of the progress and
    // the full box at the end.
    Run({QStringLiteral("i = 0"), QStringLiteral("Repeat While i < 250"), QStringLiteral("i = i + 1"),
         QStringLiteral("End Repeat")});
    std::vector<int32_t> expected;
    for (int32_t step = 1; step <= 35; ++step)
        expected.push_back(step);
    expected.push_back(CVexilInterpreter::kProgressFull);
    EXPECT_EQ(iView.iProgress, expected);
}
