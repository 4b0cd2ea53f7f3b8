#include "CodeBytes.h"
#include "QStringPrinter.h"
#include "RaisedError.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "script/VexilCompiler.h"

#include <gtest/gtest.h>

namespace
{
// EOpcPushConst with a Latin-1 text.
QByteArray Const(const char* aText)
{
    const QByteArray text(aText);
    return Bytes({1, 11, int(text.size())}) + text;
}

QString Hex(const QByteArray& aCode)
{
    return QString::fromLatin1(aCode.toHex().toUpper());
}

// A handler array as the script editor makes it.
std::unique_ptr<CVexilArray> NewScript()
{
    auto script = std::make_unique<CVexilArray>();
    script->Construct(EArrStrKey, EValStr);
    return script;
}

QString Handler(CVexilArray& aScript, const QString& aName)
{
    QString hex;
    int32_t cursor = 0;
    EXPECT_TRUE(aScript.ReadStr(aName, hex, cursor)) << aName.toStdString();
    return hex;
}

class CompilerTest : public ::testing::Test
{
protected:
    // Compiles the lines joined with CR LF into a new array.
    std::unique_ptr<CVexilArray> Compile(const QStringList& aLines)
    {
        auto script = NewScript();
        iCompiler.Compile(aLines.join(QStringLiteral("\r\n")), *script);
        return script;
    }

    // The code of the one handler "h" made of aBody between "On h" and "End".
    QString CompileBody(const QStringList& aBody)
    {
        auto script = Compile(QStringList{QStringLiteral("On h")} + aBody + QStringList{QStringLiteral("End")});
        EXPECT_EQ(script->Count(), 1);
        return Handler(*script, QStringLiteral("h"));
    }

    // The code that "On h", a body of aBodyLines lines with aBody as its code, and "End" give.
    static QByteArray Wrap(int aLocals, const QByteArray& aBody, int aBodyLines = 1)
    {
        return Bytes({0, 0, 14, 0, 0, 38, aLocals, 0, 14, 1, 0}) + aBody +
               Bytes({14, aBodyLines + 1, 0, 39, aLocals, 0});
    }

    // Compiles aLines and returns the error record; fails when no error 2000 arises.
    TCompErrInfo CompileError(const QStringList& aLines)
    {
        EXPECT_EQ(RaisedError([&] { Compile(aLines); }), EScrCompileError);
        return iCompiler.GetErrorInfo();
    }

    // The run-time error number raised while compiling aSource (0 for none).
    int32_t RunError(const QString& aSource, CVexilArray& aScript)
    {
        return RaisedError([&] { iCompiler.Compile(aSource, aScript); });
    }

    CVexilCompiler iCompiler;
};
}  // namespace

TEST_F(CompilerTest, GoldenHandlers)
{
    auto script = Compile({QStringLiteral("On openCard"), QStringLiteral("End")});
    EXPECT_EQ(Handler(*script, QStringLiteral("openCard")), QStringLiteral("00000E00002600000E0100270000"));
    // The message lookup ignores case.
    EXPECT_EQ(Handler(*script, QStringLiteral("OPENCARD")), QStringLiteral("00000E00002600000E0100270000"));

    // A parameter is variable 0, stored by the prologue.
    script = Compile({QStringLiteral("On select p"), QStringLiteral("End")});
    EXPECT_EQ(Handler(*script, QStringLiteral("select")),
              Hex(Bytes({0, 0, 14, 0, 0, 38, 1, 0, 44, 13, 0, 0, 12, 14, 1, 0, 39, 1, 0})));

    // The field designator follows the card part in the code.
    script = Compile({QStringLiteral("On select"), QStringLiteral("Put Field \"Price\" * 2 Into Field \"Total\""),
                      QStringLiteral("End")});
    EXPECT_EQ(Handler(*script, QStringLiteral("select")),
              Hex(Bytes({0, 0, 14, 0, 0, 38, 0, 0, 14, 1, 0, 29}) + Const("Price") + Bytes({3, 9, 13, 2, 0, 17, 29}) +
                  Const("Total") + Bytes({3, 4, 14, 2, 0, 39, 0, 0})));

    // The false jump goes to the first Else-part line, the Then part's jump behind End If.
    script = Compile({QStringLiteral("On x"), QStringLiteral("If a = 1 Then"), QStringLiteral("Answer \"y\""),
                      QStringLiteral("Else"), QStringLiteral("Answer \"n\""), QStringLiteral("End If"),
                      QStringLiteral("End")});
    EXPECT_EQ(Handler(*script, QStringLiteral("x")),
              Hex(Bytes({0,  0, 14, 0, 0, 38, 1, 0,  14, 1,  0,  13, 0, 0,  11, 13, 1, 0, 7,  8,  36, 0,  14, 2, 0, 1, 11,
                         1, 121, 10, 14, 3, 0, 30, 47, 0, 14, 4,  0, 1,  11, 1,  110, 10, 14, 5, 0, 14, 6, 0, 39, 1, 0})));
}

TEST_F(CompilerTest, StatementShapes)
{
    struct TCase
    {
        QStringList Body;
        int Locals;
        QByteArray Code;
    };
    const TCase cases[] = {
        {{"x = 1"}, 1, Bytes({13, 1, 0, 13, 0, 0, 12})},
        {{"Put 5 Into Field 2"}, 0, Bytes({13, 5, 0, 29, 13, 2, 0, 3, 4})},
        {{"put x into field \"A\" of card 3"}, 1, Bytes({13, 0, 0, 11, 13, 3, 0, 2}) + Const("A") + Bytes({3, 4})},
        {{"Go To Next Card"}, 0, Bytes({6})},
        {{"Go Next Card"}, 0, Bytes({6})},
        {{"Go To Card 2"}, 0, Bytes({13, 2, 0, 15})},
        {{"Go Card 2"}, 0, Bytes({13, 2, 0, 15})},
        {{"Go \"Home\""}, 0, Const("Home") + Bytes({15})},
        {{"Answer \"hi\""}, 0, Const("hi") + Bytes({10})},
        {{"Send \"m\" To Field 1"}, 0, Const("m") + Bytes({29, 13, 1, 0, 3, 47})},
        {{"Send \"m\" To Field 1 Of Card \"c\""}, 0, Const("m") + Const("c") + Bytes({2, 13, 1, 0, 3, 47})},
        // Tokens behind a complete statement are ignored.
        {{"Answer 1 2 3"}, 0, Bytes({13, 1, 0, 10})},
        // A comment line gives only its line marker.
        {{"# note", "Answer 1"}, 0, Bytes({14, 2, 0, 13, 1, 0, 10})},
        // Blank lines give nothing but count.
        {{"Answer 1", "", "   ", "Answer 2"}, 0, Bytes({13, 1, 0, 10, 14, 4, 0, 13, 2, 0, 10})},
        {{"If x = 1 Then", "Answer 1", "End If"},
         1,
         Bytes({13, 0, 0, 11, 13, 1, 0, 7, 8, 32, 0, 14, 2, 0, 13, 1, 0, 10, 14, 3, 0})},
        {{"Repeat While x < 3", "x = x + 1", "End Repeat"},
         1,
         Bytes({13, 0, 0, 11, 13, 3, 0, 26, 8, 43, 0, 14, 2, 0, 13, 0, 0, 11, 13, 1, 0, 20, 13, 0, 0, 12, 14, 3, 0, 30,
                11, 0})},
        {{"Repeat For Each Card c", "Answer c", "End Repeat"},
         1,
         Bytes({13, 0, 0, 31, 34, 0, 14, 2, 0, 13, 0, 0, 11, 10, 14, 3, 0, 32, 34, 0, 30, 17, 0, 46, 46, 46})},
        {{"Repeat For Each Card c Of Background \"B\"", "Answer c", "End Repeat"},
         1,
         Bytes({13, 0, 0}) + Const("B") +
             Bytes({35, 36, 39, 0, 14, 2, 0, 13, 0, 0, 11, 10, 14, 3, 0, 37, 39, 0, 30, 22, 0, 46, 46, 46})},
        {{"Repeat While 1 = 1", "Exit Repeat", "End Repeat"},
         0,
         Bytes({13, 1, 0, 13, 1, 0, 7, 8, 33, 0, 14, 2, 0, 30, 33, 0, 14, 3, 0, 30, 11, 0})},
        // Each Exit Repeat leaves its innermost loop, in front of the For Each pops.
        {{"Repeat While 1 = 1", "Repeat For Each Card c", "Exit Repeat", "End Repeat", "Exit Repeat", "End Repeat"},
         1,
         Bytes({13, 1, 0, 13, 1, 0, 7, 8, 60, 0, 14, 2, 0, 13, 0, 0, 31, 45, 0, 14, 3, 0, 30, 45, 0, 14, 4, 0, 32, 45,
                0, 30, 30, 0, 46, 46, 46, 14, 5, 0, 30, 60, 0, 14, 6, 0, 30, 11, 0})},
    };
    for (const TCase& c : cases)
    {
        EXPECT_EQ(CompileBody(c.Body), Hex(Wrap(c.Locals, c.Code, int(c.Body.size())))) << c.Body.join(u'|').toStdString();
    }
}

TEST_F(CompilerTest, ExpressionShapes)
{
    // Each expression is compiled as "x = <expression>", x being variable 0.
    struct TCase
    {
        const char* Expr;
        int Locals;
        QByteArray Code;
    };
    const TCase cases[] = {
        {"1 = 2", 1, Bytes({13, 1, 0, 13, 2, 0, 7})},
        {"1 is 2", 1, Bytes({13, 1, 0, 13, 2, 0, 7})},
        {"1 > 2", 1, Bytes({13, 1, 0, 13, 2, 0, 24})},
        {"1 >= 2", 1, Bytes({13, 1, 0, 13, 2, 0, 25})},
        {"1 < 2", 1, Bytes({13, 1, 0, 13, 2, 0, 26})},
        {"1 <= 2", 1, Bytes({13, 1, 0, 13, 2, 0, 27})},
        {"1 <> 2", 1, Bytes({13, 1, 0, 13, 2, 0, 28})},
        // One relation at most: the rest is ignored.
        {"1 = 2 = 3", 1, Bytes({13, 1, 0, 13, 2, 0, 7})},
        {"-3", 1, Bytes({13, 3, 0, 22})},
        {"+3", 1, Bytes({13, 3, 0})},
        // The sign applies to the first term.
        {"-2 * 3", 1, Bytes({13, 2, 0, 13, 3, 0, 17, 22})},
        {"1 + 2 - 3", 1, Bytes({13, 1, 0, 13, 2, 0, 20, 13, 3, 0, 21})},
        {"1 Or 2 & 3", 1, Bytes({13, 1, 0, 13, 2, 0, 23, 13, 3, 0, 40})},
        {"1 * 2 / 3 And 4", 1, Bytes({13, 1, 0, 13, 2, 0, 17, 13, 3, 0, 18, 13, 4, 0, 19})},
        {"1 + 2 * 3", 1, Bytes({13, 1, 0, 13, 2, 0, 13, 3, 0, 17, 20})},
        {"(1 + 2) * 3", 1, Bytes({13, 1, 0, 13, 2, 0, 20, 13, 3, 0, 17})},
        {"a", 2, Bytes({13, 1, 0, 11})},
        // Names that differ in case or low lines are one variable.
        {"X + my_total + MyTotal", 2, Bytes({13, 0, 0, 11, 13, 1, 0, 11, 20, 13, 1, 0, 11, 20})},
        {"Not 1", 1, Bytes({13, 1, 0, 16})},
        {"Field 1", 1, Bytes({29, 13, 1, 0, 3, 9})},
        {"Field \"F\" Of Card 2", 1, Bytes({13, 2, 0, 2}) + Const("F") + Bytes({3, 9})},
        {"Random(6, 2)", 1, Bytes({13, 6, 0, 13, 2, 0, 13, 2, 0, 33})},
        {"Random(6) + 1", 1, Bytes({13, 6, 0, 13, 1, 0, 33, 13, 1, 0, 20})},
        {"Random", 1, Bytes({13, 0, 0, 33})},
        {"Number Of Cards", 1, Bytes({34})},
        {"Number Of Cards Of Background \"B\"", 1, Const("B") + Bytes({35, 45})},
        {"Return & Tab", 1, Bytes({41, 42, 40})},
        {"The Date", 1, Bytes({43})},
        // A number has no decimal point: the expression ends there.
        {"3.5", 1, Bytes({13, 3, 0})},
        {"300", 1, Bytes({13, 44, 1})},
        {"32767", 1, Bytes({13, 255, 127})},
        {"\"\"", 1, Bytes({1, 11, 0})},
        // String constants are stored in Windows-1252; what it cannot hold becomes "?".
        {"\"\u20AC\u00E9\u0100\"", 1, Bytes({1, 11, 3, 0x80, 0xE9, '?'})},
        // A string without its closing quote runs to the end of the line.
        {"\"ab c", 1, Const("ab c")},
    };
    for (const TCase& c : cases)
    {
        const QString line = QStringLiteral("x = ") + QString::fromUtf8(c.Expr);
        EXPECT_EQ(CompileBody({line}), Hex(Wrap(c.Locals, c.Code + Bytes({13, 0, 0, 12})))) << c.Expr;
    }
}

TEST_F(CompilerTest, LongestStringConstant)
{
    const QString text(255, u'z');
    EXPECT_EQ(CompileBody({QStringLiteral("Answer \"%1\"").arg(text)}),
              Hex(Wrap(0, Bytes({1, 11, 255}) + QByteArray(255, 'z') + Bytes({10}))));
}

TEST_F(CompilerTest, HandlersAndLines)
{
    // Empty sources and comments only give no handlers.
    for (const QString& source : {QString(), QStringLiteral("# just a note\r\n\r\n   \r\n")})
    {
        auto script = NewScript();
        iCompiler.Compile(source, *script);
        EXPECT_EQ(script->Count(), 0);
    }

    // Line indexes count every line of the source; a comment before a handler belongs to it.
    auto script = Compile({QStringLiteral("On a"), QStringLiteral("x = 1"), QStringLiteral("End"), QString(),
                           QStringLiteral("# b next"), QStringLiteral("On b"), QStringLiteral("y = 2"),
                           QStringLiteral("End")});
    ASSERT_EQ(script->Count(), 2);
    EXPECT_EQ(Handler(*script, QStringLiteral("a")),
              Hex(Bytes({0, 0, 14, 0, 0, 38, 1, 0, 14, 1, 0, 13, 1, 0, 13, 0, 0, 12, 14, 2, 0, 39, 1, 0})));
    // Variables belong to their handler: y is variable 0 again.
    EXPECT_EQ(Handler(*script, QStringLiteral("b")),
              Hex(Bytes({0, 0, 14, 4, 0, 14, 5, 0, 38, 1, 0, 14, 6, 0, 13, 2, 0, 13, 0, 0, 12, 14, 7, 0, 39, 1, 0})));

    // A final CR LF adds no line; tokens behind the header and the End lines are ignored.
    script = NewScript();
    iCompiler.Compile(QStringLiteral("  ON   greet p q\r\nIf 1 Then # c\r\nend if now\r\nEND it\r\n"), *script);
    EXPECT_EQ(Handler(*script, QStringLiteral("greet")),
              Hex(Bytes({0, 0, 14, 0, 0, 38, 1, 0, 44, 13, 0, 0, 12, 14, 1, 0, 13, 1, 0, 8, 25, 0, 14, 2, 0, 14, 3, 0,
                         39, 1, 0})));
}

TEST_F(CompilerTest, CompileErrors)
{
    struct TCase
    {
        QStringList Lines;
        int32_t MsgId;
        QString Param1;
        QString Param2;
        int32_t LineIndex;
        int32_t LinePos;
    };
    const TCase cases[] = {
        // And and Or bind like * and +, so the second = ends the expression.
        {{"On h", "If a = 1 Or b = 2 Then", "End If", "End"}, EMsgWrongKeyword, "THEN", "=", 1, 16},
        {{"On h", "Put 1 Into \"Total\"", "End"}, EMsgWrongKeyword, "FIELD", "Total", 1, 19},
        {{"On h", "Repeat While 1", "If 1 Then", "End Repeat", "End Repeat", "End"}, EMsgWrongKeyword, "IF", "Repeat",
         3, 11},
        {{"On h", "Repeat Until 1", "End Repeat", "End"}, EMsgWrongKeyword, "WHILE", "Until", 1, 13},
        {{"On h", "Go To Next 5", "End"}, EMsgWrongKeyword, "CARD", "5", 1, 13},
        {{"On h", "x = Number Cards", "End"}, EMsgWrongKeyword, "OF", "Cards", 1, 17},
        // A line outside a handler must start with On.
        {{"x = 1"}, EMsgWrongKeyword, "ON", "x", 0, 2},
        {{"On End"}, EMsgWrongSymbol, "<ident>", "End", 0, 7},
        {{"On h", "x 1", "End"}, EMsgWrongSymbol, "=", "1", 1, 4},
        {{"On h", "x = (1 + 2", "End"}, EMsgWrongSymbol, ")", "", 1, 11},
        {{"On h", "Repeat For Each Card 5", "End Repeat", "End"}, EMsgWrongSymbol, "<ident>", "5", 1, 23},
        {{"On h", "x = Random(1 2)", "End"}, EMsgBadParamList, "", "", 1, 15},
        {{"On h", "Answer", "End"}, EMsgBadExpression, "", "", 1, 7},
        {{"On h", "x = The 5", "End"}, EMsgBadExpression, "5", "", 1, 10},
        {{"On h", "x = 1 + Then", "End"}, EMsgBadExpression, "Then", "", 1, 13},
        // Lines that start no statement.
        {{"On h", "\tx = 1", "End"}, EMsgBadExpression, "\t", "", 1, 2},
        {{"On h", "Repeat While 1", "Else", "End Repeat", "End"}, EMsgBadExpression, "Else", "", 2, 5},
        {{"On h", "5 = x", "End"}, EMsgBadExpression, "5", "", 1, 2},
        // Exit Repeat outside a loop has nothing to leave.
        {{"On h", "If 1 Then", "Exit Repeat", "End If", "End"}, EMsgBadExpression, "Exit", "", 2, 5},
        // Two handlers of one name.
        {{"On a", "End", "On A", "End"}, EMsgBadExpression, "A", "", 2, 5},
        // A missing End line.
        {{"On h", "x = 1"}, EMsgSourceEnd, "", "", 1, 6},
        {{"On h", "If 1 Then", "x = 1"}, EMsgSourceEnd, "", "", 2, 6},
        // The End of the handler cannot close an If block.
        {{"On h", "If 1 Then", "End"}, EMsgWrongKeyword, "IF", "", 2, 4},
    };
    for (const TCase& c : cases)
    {
        const QString name = c.Lines.join(u'|');
        const TCompErrInfo info = CompileError(c.Lines);
        EXPECT_EQ(info.MsgId, c.MsgId) << name.toStdString();
        EXPECT_EQ(info.Param1, c.Param1) << name.toStdString();
        EXPECT_EQ(info.Param2, c.Param2) << name.toStdString();
        EXPECT_EQ(info.LineIndex, c.LineIndex) << name.toStdString();
        EXPECT_EQ(info.LineText, c.Lines[c.LineIndex]) << name.toStdString();
        EXPECT_EQ(info.LinePos, c.LinePos) << name.toStdString();
    }
}

TEST_F(CompilerTest, ErrorRecordOfTheSecondHandler)
{
    // LineStart counts every earlier line with its length and CR LF; LineText is untrimmed.
    auto script = NewScript();
    ASSERT_EQ(RunError(QStringLiteral("On a\r\nEnd  \r\n\r\nOn b\r\n  Answer\r\nEnd"), *script), EScrCompileError);
    const TCompErrInfo info = iCompiler.GetErrorInfo();
    EXPECT_EQ(info.MsgId, EMsgBadExpression);
    EXPECT_EQ(info.LineIndex, 4);
    EXPECT_EQ(info.LineText, QStringLiteral("  Answer"));
    EXPECT_EQ(info.LineStart, 21);
    EXPECT_EQ(info.LineEnd, 29);
    EXPECT_EQ(info.LinePos, 7);
    const TErrInfo err = CVexilError::GetErrInfo();
    EXPECT_EQ(err.Code, EScrCompileError);
    EXPECT_EQ(err.Context, QStringLiteral("CVexilCompiler.CompFactor"));
    // The handler finished before the error stays in the array.
    EXPECT_EQ(script->Count(), 1);
    EXPECT_FALSE(Handler(*script, QStringLiteral("a")).isEmpty());
}

TEST_F(CompilerTest, LimitsRaiseRunTimeErrors)
{
    QStringList lines{QStringLiteral("On h"), QStringLiteral("End")};
    while (lines.size() < CVexilCompiler::kMaxLines)
        lines << QStringLiteral("#");
    auto script = NewScript();
    EXPECT_EQ(RunError(lines.join(QStringLiteral("\r\n")), *script), 0);
    EXPECT_EQ(script->Count(), 1);

    // One line more fails before anything is compiled.
    lines << QStringLiteral("#");
    script = NewScript();
    EXPECT_EQ(RunError(lines.join(QStringLiteral("\r\n")), *script), ERunSubscript);
    EXPECT_EQ(script->Count(), 0);

    QStringList exits{QStringLiteral("On h"), QStringLiteral("Repeat While 1")};
    for (int i = 0; i < CVexilCompiler::kMaxExits; ++i)
        exits << QStringLiteral("Exit Repeat");
    const QStringList tail{QStringLiteral("End Repeat"), QStringLiteral("End")};
    script = NewScript();
    EXPECT_EQ(RunError((exits + tail).join(QStringLiteral("\r\n")), *script), 0);
    script = NewScript();
    EXPECT_EQ(RunError((exits + QStringList{QStringLiteral("Exit Repeat")} + tail).join(QStringLiteral("\r\n")), *script),
              ERunSubscript);

    const struct
    {
        QString Line;
        int32_t Error;
    } cases[] = {
        {QStringLiteral("x = 32768"), ERunOverflow},
        {QStringLiteral("x = 99999999999999999999"), ERunOverflow},
        {QStringLiteral("x = \"%1\"").arg(QString(256, u'z')), ERunInvalidCall},
    };
    for (const auto& c : cases)
    {
        script = NewScript();
        EXPECT_EQ(RunError(QStringLiteral("On h\r\n%1\r\nEnd").arg(c.Line), *script), c.Error) << c.Line.toStdString();
    }
}

TEST_F(CompilerTest, JumpTargetsBeyondAWordOverflow)
{
    // 90 lines of 150 additions each give a Then part of about 55,000 bytes.
    QStringList lines{QStringLiteral("On h"), QStringLiteral("If 1 Then")};
    const QString chain = QStringLiteral("x = 1") + QStringLiteral(" + 1").repeated(150);
    for (int i = 0; i < 90; ++i)
        lines << chain;
    lines << QStringLiteral("End If") << QStringLiteral("End");
    auto script = NewScript();
    EXPECT_EQ(RunError(lines.join(QStringLiteral("\r\n")), *script), ERunOverflow);
}

TEST_F(CompilerTest, CompilerIsReusedAfterAnError)
{
    CompileError({QStringLiteral("On h"), QStringLiteral("Repeat While 1"), QStringLiteral("Exit Repeat"),
                  QStringLiteral("Answer")});
    EXPECT_EQ(CompileBody({QStringLiteral("x = 1")}), Hex(Wrap(1, Bytes({13, 1, 0, 13, 0, 0, 12}))));
}
