#include "ScriptFixture.h"

#include "foundation/VexilMsg.h"
#include "script/VexilOperators.h"

#include <QTimer>

#include <new>

// Two cards "One" and "Two" of the first background with the text fields "Log" and "Btn".
class InterpreterTest : public ScriptFixture
{
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        iLog = AddField(QStringLiteral("Log"), EConTypeText);
        iBtn = AddField(QStringLiteral("Btn"), EConTypeText);
        iOne = AddCard(QStringLiteral("One"));
        iTwo = AddCard(QStringLiteral("Two"));
    }

    // A handler that appends aText to the Log field of the run's current card.
    static QStringList Appends(const QString& aMsg, const QString& aText)
    {
        return {QStringLiteral("On ") + aMsg, QStringLiteral("Put Field \"Log\" & \"%1\" Into Field \"Log\"").arg(aText),
                QStringLiteral("End")};
    }

    // Runs aHook once, at the next call-out of the run to the stack view.
    void AtNextCallOut(std::function<void()> aHook)
    {
        iView.iOnCallOut = [this, hook = std::move(aHook)] {
            iView.iOnCallOut = nullptr;
            hook();
        };
    }

    TControlRef iLog, iBtn;
    TCardRef iOne, iTwo;
};

// ---- The message path ----

TEST_F(InterpreterTest, MessageWithoutHandlerRunsNothing)
{
    EXPECT_EQ(Send(QStringLiteral("openCard"), iBtn), nullptr);
    EXPECT_FALSE(iInterp.Running());
    EXPECT_EQ(iView.iNumSetValues, 0);
}

TEST_F(InterpreterTest, FirstObjectOnThePathWins)
{
    SetScript(*iBtn, Appends(QStringLiteral("select"), QStringLiteral("field")));
    SetScript(*iOne, Appends(QStringLiteral("select"), QStringLiteral("card")) + Appends(QStringLiteral("up"), QStringLiteral("card")));
    SetScript(*iBg, Appends(QStringLiteral("up"), QStringLiteral("bg")) + Appends(QStringLiteral("bgonly"), QStringLiteral("bg")));
    SetScript(*iStack, Appends(QStringLiteral("bgonly"), QStringLiteral("stack")) + Appends(QStringLiteral("top"), QStringLiteral("stack")));

    EXPECT_EQ(Send(QStringLiteral("select"), iBtn), iBtn);
    EXPECT_EQ(Send(QStringLiteral("SELECT")), iOne);  // names are looked up without regard to case
    EXPECT_EQ(Send(QStringLiteral("up"), iBtn), iOne);
    EXPECT_EQ(Send(QStringLiteral("bg_only")), iBg);
    EXPECT_EQ(Send(QStringLiteral("top"), iBtn), iStack);
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("fieldcardcardbgstack"));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, NormalEndShowsFullProgressAndKeepsTheDescription)
{
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("End")});
    Send(QStringLiteral("t"));
    EXPECT_EQ(iView.iProgress, std::vector<int32_t>{100});
    // The two-line handler is 14 bytes long; its return leaves ip at the end.
    EXPECT_EQ(iInterp.ObjDescr(), QStringLiteral("CVexilInterpreter ip=14"));
}

TEST_F(InterpreterTest, ProgressGrowsEveryHundredInstructions)
{
    // Each turn of the loop runs 14 instructions; 800 turns run more than 10,100.
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("i = 0"), QStringLiteral("Repeat While i < 800"),
                      QStringLiteral("i = i + 1"), QStringLiteral("End Repeat"), QStringLiteral("End")});
    Send(QStringLiteral("t"));
    const std::vector<int32_t>& progress = iView.iProgress;
    ASSERT_GT(progress.size(), 102u);
    EXPECT_EQ(progress[0], 1);    // the 100th instruction
    EXPECT_EQ(progress[99], 100); // the 10,000th
    EXPECT_EQ(progress[100], 1);  // the 10,100th
    EXPECT_EQ(progress.back(), 100);
}

// ---- Nested calls ----

TEST_F(InterpreterTest, SenderGoesOnWithItsOwnCurrentCard)
{
    SetScript(*iBtn, {QStringLiteral("On jump"), QStringLiteral("Go To Next Card"), QStringLiteral("End")});
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Send \"jump\" To Field \"Btn\""),
                      QStringLiteral("Put \"sender\" Into Field \"Log\""), QStringLiteral("End")});
    Send(QStringLiteral("t"));
    EXPECT_EQ(iView.iCurCard, iTwo);
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("sender"));
    EXPECT_EQ(ValueOf(iTwo, iLog), QStringLiteral("<undef>"));
}

TEST_F(InterpreterTest, OpenCardOfAGoRunsNestedBeforeTheNextInstruction)
{
    SetScript(*iTwo, Appends(QStringLiteral("openCard"), QStringLiteral("open")));
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Go To Card 2"), QStringLiteral("Put Field \"Log\" & \"after\" Into Field \"Log\""),
                      QStringLiteral("End")});
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iTwo, iLog), QStringLiteral("openafter"));
}

TEST_F(InterpreterTest, TwelveHandlersMayBeActiveButNotThirteen)
{
    // Fields F1 ... F13, each sending "m" to the next; the card starts the chain at F1.
    std::vector<TControlRef> fields;
    for (int i = 1; i <= 13; ++i)
        fields.push_back(AddField(QStringLiteral("F%1").arg(i), EConTypeText));
    const auto chain = [&](int aLength) {
        for (int i = 0; i < 13; ++i)
        {
            QStringList lines{QStringLiteral("On m")};
            if (i + 1 < aLength)
                lines << QStringLiteral("Send \"m\" To Field \"F%1\"").arg(i + 2);
            else
                lines << QStringLiteral("Put \"deepest %1\" Into Field \"Log\"").arg(i + 1);
            lines << QStringLiteral("End");
            SetScript(*fields[i], lines);
        }
    };
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Send \"m\" To Field \"F1\""), QStringLiteral("End")});

    chain(11);  // the card's handler and 11 fields: 12 active
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("deepest 11"));
    EXPECT_FALSE(iInterp.Running());

    chain(12);  // a thirteenth would start
    const TRunErrInfo info = SendFails(QStringLiteral("t"));
    EXPECT_EQ(info.MsgId, EMsgSystemError);
    EXPECT_EQ(info.RunNumber, ERunSubscript);
    EXPECT_EQ(info.Obj, fields[10]);  // the twelfth handler was sending
    EXPECT_EQ(info.LineIndex, 1);
}

TEST_F(InterpreterTest, ErrorRecordNamesTheNestedHandler)
{
    SetScript(*iBtn, {QStringLiteral("On fail"), QStringLiteral("x = 1"), QStringLiteral("Go To Card \"Nowhere\""),
                      QStringLiteral("End")});
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Send \"fail\" To Field \"Btn\""), QStringLiteral("End")});
    const TRunErrInfo info = SendFails(QStringLiteral("t"));
    EXPECT_EQ(info.MsgId, EMsgCardNotFound);
    EXPECT_EQ(info.Param1, QStringLiteral("Nowhere"));
    EXPECT_EQ(info.Obj, iBtn);
    EXPECT_EQ(info.LineIndex, 2);
    EXPECT_EQ(CVexilError::GetErrInfo().Context, QStringLiteral("CVexilInterpreter.ExecGoToCard"));
}

// ---- The pending call ----

TEST_F(InterpreterTest, MessageDuringARunWaitsForTheNextInstruction)
{
    SetScript(*iBtn, Appends(QStringLiteral("click"), QStringLiteral("x")) + Appends(QStringLiteral("other"), QStringLiteral("y")));
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Put \"1\" Into Field \"Log\""),
                      QStringLiteral("Put Field \"Log\" & \"s\" Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] { Send(QStringLiteral("click"), iBtn); });
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("1xs"));

    // One slot: the later message replaces the one that has not started.
    AtNextCallOut([&] {
        Send(QStringLiteral("click"), iBtn);
        Send(QStringLiteral("other"), iBtn);
    });
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("1ys"));
}

TEST_F(InterpreterTest, SetVarValReachesTheRunningHandler)
{
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("x = \"before\""), QStringLiteral("Put x Into Field \"Btn\""),
                      QStringLiteral("Put x Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] {
        CVexilVar var;
        CVexilOperators::SetStr(var, QStringLiteral("set"));
        iInterp.SetVarVal(0, var);
    });
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("set"));
    EXPECT_EQ(RaisedError([&] { iInterp.SetVarVal(0, CVexilVar()); }), ERunSubscript);  // no handler runs
}

// ---- Break, reset and what a run holds ----

TEST_F(InterpreterTest, BreakEndsTheRunWithNestedHandlers)
{
    SetScript(*iBtn, {QStringLiteral("On inner"), QStringLiteral("Put \"inner\" Into Field \"Log\""),
                      QStringLiteral("Put \"never\" Into Field \"Log\""), QStringLiteral("End")});
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Send \"inner\" To Field \"Btn\""),
                      QStringLiteral("Put \"never\" Into Field \"Btn\""), QStringLiteral("End")});
    AtNextCallOut([&] { iInterp.Break(); });
    ScriptedPrompts::Instance().ExpectNotice();
    Send(QStringLiteral("t"));
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(), QStringList{QStringLiteral("Script breaked")});
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("inner"));
    EXPECT_EQ(ValueOf(iOne, iBtn), QStringLiteral("<undef>"));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, BreakFromTheEventLoopStopsAnEndlessLoop)
{
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Repeat While 1 = 1"), QStringLiteral("End Repeat"),
                      QStringLiteral("End")});
    QTimer::singleShot(0, [&] { iInterp.Break(); });
    ScriptedPrompts::Instance().ExpectNotice();
    Send(QStringLiteral("t"));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, ResetDuringAYieldEndsTheRunQuietly)
{
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Put \"1\" Into Field \"Log\""),
                      QStringLiteral("Put \"2\" Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] { iInterp.Reset(); });
    Send(QStringLiteral("t"));
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("1"));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, RunStopsWhenWhatItHoldsWasDeleted)
{
    // The running card deleted while the run yields.
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("Put \"1\" Into Field \"Log\""),
                      QStringLiteral("Put \"2\" Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] {
        TCardRef card = iOne;
        iView.iCurCard = iTwo;
        iStack->DeleteCard(card);
    });
    TRunErrInfo info = SendFails(QStringLiteral("t"));
    EXPECT_EQ(info.MsgId, EMsgCardNotFound);
    EXPECT_EQ(info.Param1, QStringLiteral("One"));

    // The field whose handler runs deleted.
    SetScript(*iBtn, {QStringLiteral("On select"), QStringLiteral("Put \"1\" Into Field \"Log\""),
                      QStringLiteral("Put \"2\" Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] { iStack->DeleteControl(iBtn->Id(), *iBg); });
    info = SendFails(QStringLiteral("select"), iBtn);
    EXPECT_EQ(info.MsgId, EMsgControlNotFound);
    EXPECT_EQ(info.Param1, QStringLiteral("Btn"));

    // The stack closed.
    SetScript(*iTwo, {QStringLiteral("On t"), QStringLiteral("Put \"1\" Into Field \"Log\""),
                      QStringLiteral("Put \"2\" Into Field \"Log\""), QStringLiteral("End")});
    AtNextCallOut([&] { CVexilStackViewLink::Install(nullptr); });
    info = SendFails(QStringLiteral("t"));
    EXPECT_EQ(info.MsgId, EMsgCardNotFound);
    EXPECT_EQ(info.Param1, QStringLiteral("Two"));
}

// ---- Running out of memory ----

// A step that runs out of memory ends the run like any run-time error of the platform, at its
// line; the interpreter takes the next run. The doubling text stops at the length bound before
// it takes much memory; a failed allocation anywhere in a step is shown by the stack view.
TEST_F(InterpreterTest, RunningOutOfMemoryIsARunTimeError)
{
    struct Case
    {
        const char* Name;
        QStringList Lines;
        std::function<void()> OnCallOut;
        int32_t LineIndex;
    } cases[] = {
        {"a text doubled in a loop",
         {QStringLiteral("s = \"x\""), QStringLiteral("Repeat While 1 = 1"), QStringLiteral("s = s & s"),
          QStringLiteral("End Repeat")},
         nullptr, 3},
        {"an allocation failing in the stack view",
         {QStringLiteral("x = 1"), QStringLiteral("Put \"a\" Into Field \"Log\""), QStringLiteral("x = 2")},
         [] { throw std::bad_alloc(); }, 2},
    };
    for (const Case& c : cases)
    {
        iView.iOnCallOut = c.OnCallOut;
        const TRunErrInfo info = RunFails(c.Lines);
        EXPECT_EQ(info.MsgId, EMsgSystemError) << c.Name;
        EXPECT_EQ(info.RunNumber, ERunOutOfMemory) << c.Name;
        EXPECT_EQ(info.Param1, QStringLiteral("Out of memory")) << c.Name;
        EXPECT_EQ(info.Obj, iOne) << c.Name;
        EXPECT_EQ(info.LineIndex, c.LineIndex) << c.Name;
        EXPECT_EQ(CVexilError::GetErrInfo().Code, EScrRunError) << c.Name;

        iView.iOnCallOut = nullptr;
        Run({QStringLiteral("Put \"again\" Into Field \"Log\"")});
        EXPECT_FALSE(iInterp.Running()) << c.Name;
        EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("again")) << c.Name;
    }
}

// ---- Byte code from files is checked ----

TEST_F(InterpreterTest, HostileByteCodeEndsInARunTimeError)
{
    struct Case
    {
        const char* Name;
        const char* Hex;
        int32_t RunNumber;
    } cases[] = {
        {"empty", "", ERunSubscript},
        {"odd length", "000", ERunSubscript},
        {"not hexadecimal", "00G0", ERunSubscript},
        {"generation 1", "0100260000270000", ERunSubscript},
        {"truncated after enter", "0000260000", ERunSubscript},
        {"truncated word", "0000260000" "0D01", ERunSubscript},
        {"byte 0", "0000260000" "00", ERunSubscript},
        {"byte 48", "0000260000" "30", ERunSubscript},
        {"jump outside", "0000260000" "1EFF00", ERunSubscript},
        {"jump with a high byte of 128", "0000260000" "1E0080", ERunOverflow},
        {"false jump outside", "0000260000" "0D0000" "0D0000" "07" "08FF7F", ERunSubscript},
        {"22 locals", "0000261600270000", ERunSubscript},
        {"32767 locals", "000026FF7F", ERunSubscript},
        {"enter twice", "0000260000260000", ERunSubscript},
        {"return without enter", "0000270000", ERunSubscript},
        {"return of other count", "0000260100270000", ERunSubscript},
        {"pop of empty stack", "0000260000" "2E", ERunSubscript},
        {"22 values", "0000260000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000"
                      "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000" "0D0000"
                      "0D0000" "0D0000" "0D0000" "0D0000", ERunSubscript},
        {"variable beyond the locals", "0000260100" "0D0100" "0B", ERunSubscript},
        {"variable below the locals", "0000260100" "0D0000" "0D0100" "15" "0B", ERunSubscript},
        {"variable index not an Int", "0000260100" "01" "0B0161" "0B", ERunSubscript},
        {"constant truncated", "0000260000" "010B0541", ERunSubscript},
        {"constant not a string", "0000260000" "010C0141", ERunSubscript},
        {"field reference without card", "0000260000" "0D0100" "03", ERunSubscript},
        {"loop without index", "0000260000" "1F0000", ERunSubscript},
    };
    for (const Case& c : cases)
    {
        iInterp.Reset();
        const int32_t error = RaisedError([&] { iInterp.Execute(iOne, QString::fromLatin1(c.Hex)); });
        EXPECT_EQ(error, EScrRunError) << c.Name;
        const TRunErrInfo info = iInterp.GetErrorInfo();
        EXPECT_EQ(info.MsgId, EMsgSystemError) << c.Name;
        EXPECT_EQ(info.RunNumber, c.RunNumber) << c.Name;
        EXPECT_EQ(info.Obj, iOne) << c.Name;
    }
    // The description shows the ip at the fault: here the end of the code.
    iInterp.Reset();
    RaisedError([&] { iInterp.Execute(iOne, QStringLiteral("0000260000")); });
    EXPECT_EQ(iInterp.ObjDescr(), QStringLiteral("CVexilInterpreter ip=5"));
    iInterp.Reset();
    // Well-formed code at the limits runs: 21 locals, and Stop.
    iInterp.Execute(iOne, QStringLiteral("0000261500271500"));
    EXPECT_FALSE(iInterp.Running());
    iInterp.Execute(iOne, QStringLiteral("000026000005"));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, AnErrorLeavesTheIpBehindTheFailingInstruction)
{
    struct Case
    {
        const char* Name;
        QString Hex;
        const char* Ip;
    } cases[] = {
        // JumpIfFalse on an Int: the script's error.
        {"condition of another type", QStringLiteral("0000260000" "0D0100" "080B00" "270000"), "11"},
        // The 22nd push finds no slot: run-time error 9.
        {"push beyond the stack", QStringLiteral("0000260000") + QStringLiteral("0D0100").repeated(22) + QStringLiteral("270000"),
         "71"},
    };
    for (const Case& c : cases)
    {
        iInterp.Reset();
        EXPECT_EQ(RaisedError([&] { iInterp.Execute(iOne, c.Hex); }), EScrRunError) << c.Name;
        iInterp.Reset();
        EXPECT_EQ(iInterp.ObjDescr(), QStringLiteral("CVexilInterpreter ip=") + QLatin1String(c.Ip)) << c.Name;
    }
}

TEST_F(InterpreterTest, ByteCodeRunsAsReadWhereverJumpsLead)
{
    // Faults count only when reached; a jump may land inside an instruction's operand.
    struct Case
    {
        const char* Name;
        const char* Hex;
        const char* Ip;
    } cases[] = {
        {"no opcode behind a jump", "0000260000" "1E0900" "30" "270000", "12"},
        {"stop in an operand", "0000260000" "1E0900" "0D0500" "270000", "10"},
        // The operand pushes a value that the Pop of the code decoded before takes.
        {"operand leading into code", "0000260000" "1E0A00" "0D002A" "0E0700" "2E" "270000", "18"},
    };
    for (const Case& c : cases)
    {
        iInterp.Reset();
        iInterp.Execute(iOne, QString::fromLatin1(c.Hex));
        EXPECT_FALSE(iInterp.Running()) << c.Name;
        EXPECT_EQ(iInterp.ObjDescr(), QStringLiteral("CVexilInterpreter ip=") + QLatin1String(c.Ip)) << c.Name;
    }
}

TEST_F(InterpreterTest, ABackgroundValueServesOnlyItsCountAndItsLoop)
{
    // The background of the cards One and Two: its loop starts at the first card, with the
    // cursor 1 that Random takes for its count.
    iBg->SetName(QStringLiteral("Items"));
    // Each case makes a background value with PushConst "Items" (010B05...) and ValToBackground
    // (23), and hands it to another instruction.
    struct Case
    {
        const char* Name;
        const char* Hex;
    } cases[] = {
        {"concatenated", "0000" "0D0000" "010B054974656D7323" "28"},
        {"left by the loop for Random", "0000" "260200" "0D0100" "010B054974656D7323" "240300" "21"},
        {"answered", "0000260000" "010B054974656D7323" "0A"},
        {"compared", "0000260000" "010B054974656D7323" "010B054974656D7323" "07"},
        {"added to an Int", "0000260000" "010B054974656D7323" "0D0100" "14"},
        {"negated", "0000260000" "010B054974656D7323" "16"},
        {"negated logically", "0000260000" "010B054974656D7323" "10"},
        {"a condition", "0000260000" "010B054974656D7323" "081000" "270000"},
        {"a card designator", "0000260000" "010B054974656D7323" "02"},
        {"put into a text field", "0000260000" "010B054974656D7323" "1D" "010B034C6F67" "03" "04"},
    };
    for (const Case& c : cases)
    {
        iInterp.Reset();
        const int32_t error = RaisedError([&] { iInterp.Execute(iOne, QString::fromLatin1(c.Hex)); });
        EXPECT_EQ(error, EScrRunError) << c.Name;
        const TRunErrInfo info = iInterp.GetErrorInfo();
        EXPECT_EQ(info.MsgId, EMsgSystemError) << c.Name;
        EXPECT_EQ(info.RunNumber, ERunSubscript) << c.Name;
        EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty()) << c.Name;
    }
    EXPECT_EQ(ValueOf(iOne, iLog), QStringLiteral("<undef>"));

    iInterp.Reset();
    ScriptedPrompts::Instance().ExpectNotice();
    iInterp.Execute(iOne, QStringLiteral("0000260000" "010B054974656D7323" "2D" "0A" "270000"));
    for (int i = 0; i < 3; ++i)
        ScriptedPrompts::Instance().ExpectNotice();
    Run({QStringLiteral("Repeat For Each Card c Of Background \"Items\""), QStringLiteral("Answer c"),
         QStringLiteral("End Repeat"), QStringLiteral("Answer Number Of Cards Of Background \"Items\" + 1")});
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(),
              (QStringList{QStringLiteral("2"), QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("3")}));
    EXPECT_FALSE(iInterp.Running());
}

TEST_F(InterpreterTest, NestedHandlerCannotTakeTheCallersValues)
{
    // The field's handler pops a value it did not push.
    SetScript(*iOne, {QStringLiteral("On t"), QStringLiteral("x = 1"), QStringLiteral("Send \"m\" To Field \"Btn\""),
                      QStringLiteral("End")});
    auto fieldScript = std::make_shared<CVexilArray>();
    fieldScript->Construct(EArrStrKey, EValStr);
    TArrayElem elem;
    fieldScript->InitElem(elem);
    elem.StrKey = QStringLiteral("m");
    elem.iVal.iType = EValStr;
    elem.iVal.iStr = QStringLiteral("0000260000" "2E" "270000");
    fieldScript->CreateStrKey(elem);
    iBtn->SetScript(fieldScript);
    const TRunErrInfo info = SendFails(QStringLiteral("t"));
    EXPECT_EQ(info.RunNumber, ERunSubscript);
    EXPECT_EQ(info.Obj, iBtn);
}
