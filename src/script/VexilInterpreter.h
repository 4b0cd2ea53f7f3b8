#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "script/VexilHandlerCode.h"
#include "script/VexilOperators.h"
#include "script/VexilVar.h"

#include <QElapsedTimer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilException;
class IVexilStackViewLink;

// The record of the last script run-time error (error 2001), read by the script editor.
struct TRunErrInfo
{
    int32_t MsgId = 0;             // 1080 to 1084, or EMsgSystemError for a platform error
    QString Param1;                // fills %0 (for a platform error: its description)
    QString Param2;                // fills %1
    TObjRef Obj;                   // the object whose handler failed
    int32_t LineIndex = UndefLong; // 0-based source line of the failing instruction
    int32_t RunNumber = 0;         // the platform error behind EMsgSystemError (5, 6, 9, 11, 13); else 0
};

// Runs compiled handlers: finds a message's handler along field, card, background and stack,
// and carries its instructions out on a value stack of 21 slots with at most 12 active
// handlers. A message sent while a script runs waits in the one pending slot and starts, as a
// nested call, before the next instruction. The run yields to the event loop at most every few
// milliseconds so that the user can break it; afterwards it checks that the stack, cards,
// fields and backgrounds it holds still exist.
//
// Every error of a run leaves it as error 2001 with TRunErrInfo: the script's own errors 1080
// to 1084, and run-time errors of the platform (faulty byte code 9 or 6, overflow 6, division
// by zero 11, conversions 5 or 13, out of memory 7, a failed allocation included) as
// EMsgSystemError with RunNumber. The interpreter stays
// Running until the caller's Reset. Failed assertions (error 1000) leave as they are.
//
// A ControlSet value serves NumBgCards and the loop over a background's cards only (the
// compiler makes one for nothing else): any other instruction that meets one as its value runs
// faulty byte code (9), so a damaged handler never reaches the value's own assertions.
class CVexilInterpreter : public CVexilObject
{
public:
    static constexpr int32_t kStackSize = 21;
    // Saved frames: the outermost handler and 11 nested ones.
    static constexpr int32_t kMaxFrames = 11;
    // The run yields to the event loop when this much time passed since the last yield.
    static constexpr int64_t kYieldMs = 10;
    // The progress label grows by one hundredth of its box every kProgressStep instructions.
    static constexpr int32_t kProgressStep = 100;
    static constexpr int32_t kProgressFull = 100;

    CVexilInterpreter();
    ~CVexilInterpreter() override;

    QString ObjDescr() const override;
    // Resets; installs the card and field names that script values show.
    void Construct();
    bool Running() const { return iRunning; }
    // Sends aMsg along the path aControl (when given), aCard, its background, its stack; the
    // first object with a handler of that name runs it and is returned in aObj (none when none).
    void LocateAndExecScript(const TCardRef& aCard, const TControlRef& aControl, const QString& aMsg,
                             TObjRef& aObj);
    // Runs the handler (hexadecimal code) of aObj, or makes it the pending call while a script runs.
    void Execute(const TObjRef& aObj, const QString& aHexCode);
    const QString& ParamVal() const { return iParamVal; }
    void SetParamVal(const QString& aParam) { iParamVal = aParam; }
    // Puts a value into local variable aIndex of the running handler.
    void SetVarVal(int16_t aIndex, const CVexilVar& aVar);
    // The run stops before its next instruction with "Script breaked".
    void Break() { iBreak = iAttention = true; }
    // Empties the value stack and the frames; clears the break, running and pending-call state.
    // Keeps the error record, ParamVal, ip and the current line.
    void Reset();
    TRunErrInfo GetErrorInfo() const { return iErrInfo; }

private:
    struct TCallFrame
    {
        TObjRef Obj;
        CVexilHandlerCode Code;
        int32_t Pc = 0;
        int32_t Base = 0;
        int32_t Bp = 0;
        int32_t NumLocals = 0;
        int32_t Floor = 0;
        int32_t LineIndex = 0;
        TCardRef Card;
    };
    struct TPendingCall
    {
        bool Set = false;
        QString HexCode;
        TObjRef Obj;
        TCardRef Card;
    };

    // The machine (VexilInterpreter.cpp).
    bool FindAndExecScript(const TObjRef& aObj, const std::shared_ptr<CVexilArray>& aScript, const QString& aMsg,
                           TObjRef& aFound);
    void LoadCode(const TObjRef& aObj, const QString& aHexCode, const TCardRef& aCard);
    void Run();
    // Shows the progress every kProgressStep instructions.
    void ProgressStep();
    // What must happen before the next instruction: the checks after a call-out, a yield, a
    // break, the start of the pending call. False when the run ended.
    bool Attend(uint64_t aRun);
    void StartPending();
    void PushFrame();
    void PopFrame();
    // The byte offset of the next instruction.
    int32_t Ip() const { return iCode.Empty() ? iStoppedIp : iCode.Offset(iPc); }
    void ShowProgress(int32_t aPercent) const;
    // Yields; false when the run was reset meanwhile. Otherwise checks what the run holds.
    bool Yield(uint64_t aRun);
    bool StillRunning(uint64_t aRun) const { return iRunning && iRunId == aRun; }
    void CheckHeld();
    void CheckPresent(const CVexilStack& aStack, const CVexilObject* aObj);
    [[noreturn]] void RunError(const char* aStep, int32_t aMsgId, const QString& aParam1,
                               const QString& aParam2 = {});
    [[noreturn]] void WrongType(const char* aStep, const CVexilVar& aVal);
    [[noreturn]] void OperandTypesError(const CVexilVar& aL, const CVexilVar& aR);
    [[noreturn]] void CausedRunError(const CVexilException& aCause);
    // Byte code that breaks the machine's rules.
    [[noreturn]] static void Violation();

    // The value stack. Slots at and above sp hold no text and no object; a number may stay
    // behind in them.
    CVexilVar& PushSlot()
    {
        NeedSlot();
        return iStack[iSp++];
    }
    // A push must find a free slot, also a push that a fused instruction leaves out.
    void NeedSlot() const
    {
        if (iSp >= kStackSize)
            Violation();
    }
    // A handler takes only the values it pushed itself.
    void NeedValues(int32_t aCount) const
    {
        if (iSp - aCount < iFloor)
            Violation();
    }
    // A background is no value for the instruction at hand: see the class comment.
    static void NoBackground(const CVexilVar& aVal)
    {
        if (aVal.ValType() == EValControlSet)
            Violation();
    }
    // The value aDepth slots below the top, taken as an operand.
    CVexilVar& Operand(int32_t aDepth)
    {
        CVexilVar& val = Peek(aDepth);
        NoBackground(val);
        return val;
    }
    CVexilVar Pop();
    void Drop()
    {
        NeedValues(1);
        CVexilOperators::Release(iStack[--iSp]);
    }
    CVexilVar& Peek(int32_t aDepth)
    {
        NeedValues(aDepth + 1);
        return iStack[iSp - 1 - aDepth];
    }
    CVexilVar& Local(int32_t aIndex)
    {
        if (aIndex < 0 || aIndex >= iNumLocals)
            Violation();
        return iStack[iBp + aIndex];
    }
    int32_t PopIndex();

    // The instructions (VexilInstructions.cpp); false when the run ended.
    bool Step(TInstr aInstr);
    // Runs the instructions done in line from iPc on until one that Step carries out (returned,
    // counted, iPc past it) or until a check is due before the next one (none returned).
    const TInstr* RunInline();
    // aCount with aInstr counted; every kProgressStep instructions the progress shows (with
    // the ip at aPc).
    int32_t Counted(int32_t aCount, const TInstr& aInstr, int32_t aPc);
    // Counts the first instruction of a group; true when the group may run as one step: no
    // check and no progress step is due inside it.
    bool GroupMayRun(int32_t& aCount, const TInstr& aHead, int32_t aPc);
    // A group starts with a PushLocal; its second value is a PushLocal or a PushInt.
    bool LocalInt(int32_t aIndex, int32_t& aValue) const;
    bool IntValue(const TInstr& aInstr, int32_t& aValue) const;
    // A group runs as one step when its values are Ints that need no other checks. Returns false
    // otherwise, having done nothing.
    bool RunIfInts(const TInstr* aCode, const TInstr*& aIp) const;
    bool RunSetInt(const TInstr*& aIp);
    void ExecFault(TInstr aInstr);
    void ExecEnter(int32_t aCount);
    bool ExecReturn(int32_t aCount);
    void ExecBinary(EOpcCode aOp);
    // Pops the Boolean condition and returns it.
    bool ExecJumpIfFalse();
    void ExecPushVar(int32_t aIndex);
    // Pops the value into the variable.
    void ExecStoreVar(int32_t aIndex);
    TCardRef DesignatedCard(const CVexilVar& aVal, const char* aStep);
    void ExecValToCard();
    void ExecGoToCard();
    void ExecGoNextCard();
    void ExecPushCurCard();
    void ExecValToControl();
    void ExecValToBackground();
    // Pops the Control and the Card of a field reference; a command field holds no value.
    void PopFieldRef(TControlRef& aControl, TCardRef& aCard);
    void CheckValueField(const CVexilControl& aControl, const char* aStep);
    void ExecPutIntoField();
    void ExecPushFieldVal();
    void ExecAnswer();
    void ExecRandom();
    void ExecNumBgCards();
    void ExecSend();
    void ExecForEachInit(bool aInBackground, int32_t aEnd);
    void ExecForEachNext(bool aInBackground, int32_t aEnd);
    bool NextCard(bool aFirst, int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor);
    // The instruction calls code that may yield or reset the run.
    void CallingOut() { iCalledOut = iAttention = true; }
    // The instruction may take long (it walks the cards): the clock is read after it.
    void TakingLong() { iCheckClock = iAttention = true; }
    TStackRef RunStack();
    IVexilStackViewLink& View();

    std::array<CVexilVar, kStackSize> iStack;
    int32_t iSp = 0;
    CVexilHandlerCode iCode;
    int32_t iPc = 0;         // the index of the next instruction
    int32_t iStoppedIp = 0;  // the ip when the run ended, for the description
    int32_t iBase = 0;       // sp when the handler started; its return drops the stack to it
    int32_t iBp = 0;         // slot of local variable 0; UndefInt until Enter
    int32_t iNumLocals = 0;
    int32_t iFloor = 0;      // the handler pops no slot below this one
    int32_t iLineIndex = UndefLong;
    QString iParamVal;
    TCardRef iCurCard;
    std::array<TCallFrame, kMaxFrames> iFrames;
    int32_t iDepth = 0;
    bool iRunning = false;
    TPendingCall iPending;
    bool iBreak = false;
    TRunErrInfo iErrInfo;
    TObjRef iObj;

    std::weak_ptr<CVexilStack> iRunStack;
    uint64_t iRunId = 0;         // every Reset starts a new one
    int32_t iInstrCount = 0;     // since the last progress step
    int32_t iHundreds = 0;
    QElapsedTimer iSinceYield;
    bool iCheckClock = false;
    bool iCalledOut = false;     // the instruction called code that may yield (or reset the run)
    bool iAttention = false;     // one of the above, the break or the pending call is set
};

// The one interpreter of the program, made and constructed at start-up.
extern std::unique_ptr<CVexilInterpreter> gInterpreter;
