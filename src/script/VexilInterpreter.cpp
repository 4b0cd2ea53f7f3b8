#include "script/VexilInterpreter.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilObjHead.h"
#include "foundation/VexilPrompts.h"
#include "script/VexilOperators.h"
#include "script/VexilStackViewLink.h"

#include <new>

std::unique_ptr<CVexilInterpreter> gInterpreter;

namespace
{
QString NameOf(const CVexilObject& aObj)
{
    const auto* base = dynamic_cast<const IVexilBaseObj*>(&aObj);
    return base ? base->Name() : QString();
}

bool HoldsControl(const CVexilStack& aStack, const CVexilControl& aControl)
{
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool found = aStack.GetFirstBackground(background, cursor); found;
         found = aStack.GetNextBackground(background, cursor))
    {
        TControlRef control;
        if (background->GetControl(aControl.Id(), control) && control.get() == &aControl)
            return true;
    }
    return false;
}
}  // namespace

CVexilInterpreter::CVexilInterpreter()
{
    Construct();
}

CVexilInterpreter::~CVexilInterpreter() = default;

QString CVexilInterpreter::ObjDescr() const
{
    return QStringLiteral("CVexilInterpreter ip=") + QString::number(Ip());
}

void CVexilInterpreter::Construct()
{
    CVexilVar::SetNameLookup(NameOf);
    Reset();
}

// ---- Message path ----

void CVexilInterpreter::LocateAndExecScript(const TCardRef& aCard, const TControlRef& aControl, const QString& aMsg,
                                            TObjRef& aObj)
{
    aObj.reset();
    if (aControl && FindAndExecScript(aControl, aControl->Script(), aMsg, aObj))
        return;
    if (!aCard || FindAndExecScript(aCard, aCard->Script(), aMsg, aObj))
        return;
    const TControlSetRef background = aCard->Background();
    if (background && FindAndExecScript(background, background->Script(), aMsg, aObj))
        return;
    if (CVexilStack* stack = aCard->Stack())
        FindAndExecScript(stack->weak_from_this().lock(), stack->Script(), aMsg, aObj);
}

bool CVexilInterpreter::FindAndExecScript(const TObjRef& aObj, const std::shared_ptr<CVexilArray>& aScript,
                                          const QString& aMsg, TObjRef& aFound)
{
    if (!aScript)
        return false;
    QString hexCode;
    int32_t cursor = 0;
    if (!aScript->ReadStr(aMsg, hexCode, cursor))
        return false;
    aFound = aObj;
    Execute(aObj, hexCode);
    return true;
}

// ---- Runs ----

void CVexilInterpreter::Execute(const TObjRef& aObj, const QString& aHexCode)
{
    IVexilStackViewLink* view = CVexilStackViewLink::Current();
    const TCardRef card = view ? view->CurCard() : TCardRef();
    if (iRunning)
    {
        // One pending slot: a later message replaces one that has not started yet.
        iPending = TPendingCall{true, aHexCode, aObj, card};
        iAttention = true;
        return;
    }
    try
    {
        iRunStack = view ? view->Stack() : TStackRef();
        iCalledOut = false;
        iAttention = false;
        LoadCode(aObj, aHexCode, card);
        iInstrCount = 0;
        iHundreds = 0;
        iSinceYield.start();
        Run();
    }
    catch (const CVexilException& e)
    {
        if (e.Number() >= 1000)
            throw;
        CausedRunError(e);
    }
    catch (const std::bad_alloc&)
    {
        // What the failed step had built is gone with the unwinding; the caller's Reset
        // gives back what the run still holds.
        CausedRunError(CVexilException(ERunOutOfMemory, QStringLiteral("CVexilInterpreter"),
                                       CVexilError::RunErrorDescription(ERunOutOfMemory)));
    }
}

void CVexilInterpreter::LoadCode(const TObjRef& aObj, const QString& aHexCode, const TCardRef& aCard)
{
    iRunning = true;
    iObj = aObj;
    iLineIndex = UndefLong;
    iCurCard = aCard;
    iBreak = false;
    iBase = iSp;
    iFloor = iSp;
    iBp = UndefInt;
    iNumLocals = 0;
    iPc = 0;
    iCode = CVexilHandlerCode::FromHex(aHexCode);
}

bool CVexilInterpreter::Attend(uint64_t aRun)
{
    iAttention = false;
    // Reset while the run was away: the shell closed the stack, or another run ended.
    if (!StillRunning(aRun))
        return false;
    if (iCalledOut)
    {
        iCalledOut = false;
        CheckHeld();
        iCheckClock = true;
    }
    if (iCheckClock)
    {
        iCheckClock = false;
        if (iSinceYield.elapsed() >= kYieldMs && !Yield(aRun))
            return false;
    }
    if (iBreak)
    {
        if (IVexilPrompts* prompts = CVexilPrompts::Current())
            prompts->Notice(QStringLiteral("Script breaked"));
        Reset();
        return false;
    }
    if (iPending.Set)
        StartPending();
    return true;
}

void CVexilInterpreter::ProgressStep()
{
    iInstrCount -= kProgressStep;
    ShowProgress(++iHundreds);
    if (iHundreds == kProgressFull)
        iHundreds = 0;
    // The clock is read every tenth step, a few microseconds apart; instructions that call out
    // have it read after them anyway.
    if (iHundreds % 10 == 0)
        iCheckClock = iAttention = true;
}

void CVexilInterpreter::StartPending()
{
    PushFrame();
    const TPendingCall call = std::move(iPending);
    iPending = TPendingCall();
    LoadCode(call.Obj, call.HexCode, call.Card);
    CheckHeld();
}

void CVexilInterpreter::PushFrame()
{
    if (iDepth >= kMaxFrames)
        CVexilError::RaiseRunError(ERunSubscript, QStringLiteral("CVexilInterpreter.PushFrame"));
    iFrames[iDepth++] = TCallFrame{iObj, std::move(iCode), iPc, iBase, iBp, iNumLocals, iFloor, iLineIndex, iCurCard};
}

void CVexilInterpreter::PopFrame()
{
    TCallFrame& frame = iFrames[--iDepth];
    iObj = std::move(frame.Obj);
    iCode = std::move(frame.Code);
    iPc = frame.Pc;
    iBase = frame.Base;
    iBp = frame.Bp;
    iNumLocals = frame.NumLocals;
    iFloor = frame.Floor;
    iLineIndex = frame.LineIndex;
    iCurCard = std::move(frame.Card);
    frame = TCallFrame();
}

void CVexilInterpreter::ShowProgress(int32_t aPercent) const
{
    if (IVexilStackViewLink* view = CVexilStackViewLink::Current())
        view->ShowProgress(aPercent);
}

void CVexilInterpreter::Reset()
{
    ++iRunId;
    iRunning = false;
    iBreak = false;
    for (int32_t i = 0; i < iSp; ++i)
        CVexilOperators::Clear(iStack[i]);
    iSp = 0;
    iBase = 0;
    iBp = 0;
    iNumLocals = 0;
    iFloor = 0;
    for (int32_t i = 0; i < iDepth; ++i)
        iFrames[i] = TCallFrame();
    iDepth = 0;
    // No code, but ip as it was for the description.
    iStoppedIp = Ip();
    iCode = CVexilHandlerCode();
    iPc = 0;
    iPending = TPendingCall();
    iObj.reset();
    iCurCard.reset();
    iRunStack.reset();
    iCheckClock = false;
    // A run in progress meets its end at its next instruction.
    iAttention = true;
}

// ---- Yields and what the run holds ----

bool CVexilInterpreter::Yield(uint64_t aRun)
{
    DoEvents();
    iSinceYield.start();
    if (!StillRunning(aRun))
        return false;
    CheckHeld();
    return true;
}

void CVexilInterpreter::CheckHeld()
{
    // The stack may have been closed, and cards, fields or backgrounds deleted, while the run
    // yielded: it goes on only with what is still there.
    const TStackRef stack = iRunStack.lock();
    IVexilStackViewLink* view = CVexilStackViewLink::Current();
    if (!stack || !view || view->Stack() != stack)
        RunError("CheckHeld", EMsgCardNotFound, iCurCard ? iCurCard->Name() : QString());
    CheckPresent(*stack, iObj.get());
    CheckPresent(*stack, iCurCard.get());
    for (int32_t i = 0; i < iDepth; ++i)
    {
        CheckPresent(*stack, iFrames[i].Obj.get());
        CheckPresent(*stack, iFrames[i].Card.get());
    }
    for (int32_t i = 0; i < iSp; ++i)
    {
        const CVexilVar& var = iStack[i];
        if (var.ValType() == EValCard || var.ValType() == EValControl || var.ValType() == EValControlSet)
            CheckPresent(*stack, var.Val().iObj.get());
    }
}

void CVexilInterpreter::CheckPresent(const CVexilStack& aStack, const CVexilObject* aObj)
{
    if (const auto* card = dynamic_cast<const CVexilCard*>(aObj))
    {
        if (aStack.GetCardById(card->Id()).get() != card)
            RunError("CheckHeld", EMsgCardNotFound, card->Name());
    }
    else if (const auto* control = dynamic_cast<const CVexilControl*>(aObj))
    {
        if (!HoldsControl(aStack, *control))
            RunError("CheckHeld", EMsgControlNotFound, control->Name());
    }
    else if (const auto* background = dynamic_cast<const CVexilControlSet*>(aObj))
    {
        if (aStack.Background(background->Id()).get() != background)
            RunError("CheckHeld", EMsgBackgroundNotFound, background->Name());
    }
    else if (const auto* stack = dynamic_cast<const CVexilStack*>(aObj))
    {
        if (stack != &aStack)
            RunError("CheckHeld", EMsgCardNotFound, QString());
    }
}

// ---- Errors ----

void CVexilInterpreter::RunError(const char* aStep, int32_t aMsgId, const QString& aParam1, const QString& aParam2)
{
    iErrInfo = TRunErrInfo{aMsgId, aParam1, aParam2, iObj, iLineIndex, 0};
    CVexilError::Throw(EScrRunError, QStringLiteral("CVexilInterpreter.") + QLatin1String(aStep));
}

void CVexilInterpreter::CausedRunError(const CVexilException& aCause)
{
    iErrInfo = TRunErrInfo{EMsgSystemError, aCause.Description(), QString(), iObj, iLineIndex, aCause.Number()};
    CVexilError::Throw(EScrRunError, QStringLiteral("CVexilInterpreter.Execute"));
}

void CVexilInterpreter::Violation()
{
    CVexilError::RaiseRunError(ERunSubscript, QStringLiteral("CVexilInterpreter"));
}

// ---- Value stack ----

CVexilVar CVexilInterpreter::Pop()
{
    NeedValues(1);
    CVexilVar& slot = iStack[--iSp];
    CVexilVar var = std::move(slot);
    CVexilOperators::Release(slot);
    return var;
}

int32_t CVexilInterpreter::PopIndex()
{
    NeedValues(1);
    CVexilVar& slot = iStack[--iSp];
    const bool isInt = slot.ValType() == EValInt;
    const int32_t index = slot.IntVal();
    CVexilOperators::Release(slot);
    if (!isInt)
        Violation();
    return index;
}

void CVexilInterpreter::SetVarVal(int16_t aIndex, const CVexilVar& aVar)
{
    Local(aIndex) = aVar;
}
