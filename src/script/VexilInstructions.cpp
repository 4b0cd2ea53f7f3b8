#include "foundation/VexilError.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "script/VexilInterpreter.h"
#include "script/VexilOperators.h"
#include "script/VexilStackViewLink.h"

#include <QDate>
#include <QRandomGenerator>

#include <array>
#include <iterator>

namespace
{
QString TypeName(const CVexilVar& aVar)
{
    return CVexilValue::TypeStr(aVar.ValType());
}

// The object of a Card, Control or ControlSet value; none when the value is of another type.
template <class T>
std::shared_ptr<T> ObjOf(const CVexilVar& aVar, int32_t aType)
{
    return aVar.ValType() == aType ? std::dynamic_pointer_cast<T>(aVar.Val().iObj) : std::shared_ptr<T>();
}

// The conversions of a value into a field's value type that exist: any value gives a text,
// texts and numbers give numbers, a text gives a Boolean; nothing gives a date or a time.
bool Convertible(int32_t aFrom, int32_t aTarget)
{
    switch (aTarget)
    {
    case EValStr: return true;
    case EValInt:
    case EValReal: return aFrom == EValStr || CVexilVar::IsNumType(aFrom);
    case EValBool: return aFrom == EValStr;
    default: return false;
    }
}
}  // namespace

inline bool CVexilInterpreter::LocalInt(int32_t aIndex, int32_t& aValue) const
{
    if (uint32_t(aIndex) >= uint32_t(iNumLocals))
        return false;
    const CVexilVar& var = iStack[size_t(iBp + aIndex)];
    aValue = var.IntVal();
    return var.ValType() == EValInt;
}

inline bool CVexilInterpreter::IntValue(const TInstr& aInstr, int32_t& aValue) const
{
    if (aInstr.Base == EOpcPushInt)
    {
        aValue = aInstr.Arg;
        return true;
    }
    return LocalInt(aInstr.Arg, aValue);
}

// PushLocal, Value, a comparison, JumpIfFalse at aIp; aIp becomes the next instruction.
inline bool CVexilInterpreter::RunIfInts(const TInstr* aCode, const TInstr*& aIp) const
{
    const TInstr* const group = aIp;
    int32_t l = 0;
    int32_t r = 0;
    // The values would take two slots.
    if (iSp > kStackSize - 2 || !LocalInt(group[0].Arg, l) || !IntValue(group[1], r))
        return false;
    aIp = CVexilOperators::CompareInts(EOpcCode(group[2].Base), l, r) ? group + 4 : aCode + group[3].Arg;
    return true;
}

// PushLocal, Value, Add or Sub, StoreLocal at aIp; aIp becomes the next instruction.
inline bool CVexilInterpreter::RunSetInt(const TInstr*& aIp)
{
    const TInstr* const group = aIp;
    int32_t l = 0;
    int32_t r = 0;
    int32_t result = 0;
    // The two values, and later the sum and the variable index, would take two slots.
    if (iSp > kStackSize - 2 || !LocalInt(group[0].Arg, l) || !IntValue(group[1], r) ||
        !CVexilOperators::AddInts(EOpcCode(group[2].Base), l, r, result) ||
        uint32_t(group[3].Arg) >= uint32_t(iNumLocals))
        return false;
    CVexilOperators::SetInt(iStack[size_t(iBp + group[3].Arg)], result);
    aIp = group + 4;
    return true;
}

void CVexilInterpreter::Run()
{
    const uint64_t run = iRunId;
    for (;;)
    {
        if (iAttention && !Attend(run))
            return;
        const TInstr* next = RunInline();
        if (next && !Step(*next))
            return;
    }
}

namespace
{
// The instructions that RunInline carries out, each at a label of its own; Step does the others.
enum EInline : uint8_t
{
    EInlStep,
    EInlPushLocal,
    EInlStoreLocal,
    EInlPushInt,
    EInlLine,
    EInlJump,
    EInlJumpIfFalse,
    EInlIfInts,
    EInlSetInt,
    EInlLineIfInts,
    EInlLineSetInt,
    EInlLineJump,
    EInlEq,
    EInlNe,
    EInlGt,
    EInlGe,
    EInlLt,
    EInlLe,
    EInlAdd,
    EInlSub,
};

// The label of every instruction code, so that dispatch needs no range check.
constexpr std::array<uint8_t, 256> kInline = [] {
    std::array<uint8_t, 256> table{};
    table[EInsPushLocal] = EInlPushLocal;
    table[EInsStoreLocal] = EInlStoreLocal;
    table[EOpcPushInt] = EInlPushInt;
    table[EOpcLine] = EInlLine;
    table[EOpcJump] = EInlJump;
    table[EOpcJumpIfFalse] = EInlJumpIfFalse;
    table[EInsIfInts] = EInlIfInts;
    table[EInsSetInt] = EInlSetInt;
    table[EInsLineIfInts] = EInlLineIfInts;
    table[EInsLineSetInt] = EInlLineSetInt;
    table[EInsLineJump] = EInlLineJump;
    table[EOpcEq] = EInlEq;
    table[EOpcNe] = EInlNe;
    table[EOpcGt] = EInlGt;
    table[EOpcGe] = EInlGe;
    table[EOpcLt] = EInlLt;
    table[EOpcLe] = EInlLe;
    table[EOpcAdd] = EInlAdd;
    table[EOpcSub] = EInlSub;
    return table;
}();
}  // namespace

inline int32_t CVexilInterpreter::Counted(int32_t aCount, const TInstr& aInstr, int32_t aPc)
{
    if ((aCount += aInstr.Weight) < kProgressStep)
        return aCount;
    iPc = aPc;
    iInstrCount = aCount;
    ProgressStep();
    return iInstrCount;
}

inline bool CVexilInterpreter::GroupMayRun(int32_t& aCount, const TInstr& aHead, int32_t aPc)
{
    if (!iAttention && aCount + aHead.Weight + aHead.Rest < kProgressStep)
    {
        aCount += aHead.Weight;
        return true;
    }
    aCount = Counted(aCount, aHead, aPc);
    return !iAttention && aCount + aHead.Rest < kProgressStep;
}

const TInstr* CVexilInterpreter::RunInline()
{
    // The next instruction and the instruction count live in registers here; iPc and
    // iInstrCount are stored whenever other code may read them, iPc also when an error leaves.
    const TInstr* const code = iCode.Instrs();
    const TInstr* ip = code + iPc;
    int32_t count = iInstrCount;
    try
    {
        // Threaded: every instruction ends by jumping to the code of the next one, which gives
        // each its own well predicted indirect jump. Labels in the order of EInline.
        static const void* const kLabels[] = {
            &&step, &&pushLocal, &&storeLocal, &&pushInt, &&line, &&jump, &&jumpIfFalse,
            &&ifInts, &&setInt, &&lineIfInts, &&lineSetInt, &&lineJump,
            &&eq, &&ne, &&gt, &&ge, &&lt, &&le, &&add, &&sub,
        };
        static_assert(std::size(kLabels) == EInlSub + 1);
        const TInstr* instr = nullptr;
        bool mayRun = false;

#define VEXIL_DISPATCH()                   \
    do                                     \
    {                                      \
        instr = ip++;                      \
        goto* kLabels[kInline[instr->Op]]; \
    } while (false)
// Before the next instruction, the checks that the progress step or a prompt may have asked for.
#define VEXIL_NEXT()      \
    do                    \
    {                     \
        if (iAttention)   \
            goto attend;  \
        VEXIL_DISPATCH(); \
    } while (false)
// Counts the instruction before it runs.
#define VEXIL_COUNT() count = Counted(count, *instr, int32_t(ip - code))
#define VEXIL_BINARY(aOp) \
    VEXIL_COUNT();        \
    ExecBinary(aOp);      \
    VEXIL_NEXT()

        VEXIL_DISPATCH();
    step:
        VEXIL_COUNT();
        iPc = int32_t(ip - code);
        iInstrCount = count;
        return instr;
    pushLocal:
        VEXIL_COUNT();
        ExecPushVar(instr->Arg);
        VEXIL_NEXT();
    storeLocal:
        VEXIL_COUNT();
        // The byte code pushes the variable index above the value.
        NeedSlot();
        ExecStoreVar(instr->Arg);
        VEXIL_NEXT();
    pushInt:
        VEXIL_COUNT();
        CVexilOperators::SetInt(PushSlot(), instr->Arg);
        VEXIL_NEXT();
    line:
        VEXIL_COUNT();
        iLineIndex = instr->Arg;
        VEXIL_NEXT();
    jump:
        VEXIL_COUNT();
        ip = code + instr->Arg;
        VEXIL_NEXT();
    jumpIfFalse:
        VEXIL_COUNT();
        if (!ExecJumpIfFalse())
            ip = code + instr->Arg;
        VEXIL_NEXT();
    // Groups: the first instruction alone when the group cannot run as one.
    ifInts:
        ip = instr;
        if (GroupMayRun(count, *instr, int32_t(ip - code)) && RunIfInts(code, ip))
            count += instr->Rest;
        else
        {
            ip = instr + 1;
            ExecPushVar(instr->Arg);
        }
        VEXIL_NEXT();
    setInt:
        ip = instr;
        if (GroupMayRun(count, *instr, int32_t(ip - code)) && RunSetInt(ip))
            count += instr->Rest;
        else
        {
            ip = instr + 1;
            ExecPushVar(instr->Arg);
        }
        VEXIL_NEXT();
    lineIfInts:
        mayRun = GroupMayRun(count, *instr, int32_t(ip - code));
        iLineIndex = instr->Arg;
        if (mayRun && RunIfInts(code, ip))
            count += instr->Rest;
        VEXIL_NEXT();
    lineSetInt:
        mayRun = GroupMayRun(count, *instr, int32_t(ip - code));
        iLineIndex = instr->Arg;
        if (mayRun && RunSetInt(ip))
            count += instr->Rest;
        VEXIL_NEXT();
    lineJump:
        mayRun = GroupMayRun(count, *instr, int32_t(ip - code));
        iLineIndex = instr->Arg;
        if (mayRun)
        {
            ip = code + ip->Arg;
            count += instr->Rest;
        }
        VEXIL_NEXT();
    // One label per operator: each gets the operator's own code.
    eq:
        VEXIL_BINARY(EOpcEq);
    ne:
        VEXIL_BINARY(EOpcNe);
    gt:
        VEXIL_BINARY(EOpcGt);
    ge:
        VEXIL_BINARY(EOpcGe);
    lt:
        VEXIL_BINARY(EOpcLt);
    le:
        VEXIL_BINARY(EOpcLe);
    add:
        VEXIL_BINARY(EOpcAdd);
    sub:
        VEXIL_BINARY(EOpcSub);
    attend:
        iPc = int32_t(ip - code);
        iInstrCount = count;
        return nullptr;

#undef VEXIL_BINARY
#undef VEXIL_COUNT
#undef VEXIL_NEXT
#undef VEXIL_DISPATCH
    }
    catch (...)
    {
        // The ip of the failing instruction is the one after it, as the run reads the code.
        iPc = int32_t(ip - code);
        throw;
    }
}

bool CVexilInterpreter::Step(TInstr aInstr)
{
    switch (aInstr.Op)
    {
    case EOpcMul: ExecBinary(EOpcMul); break;
    case EOpcDiv: ExecBinary(EOpcDiv); break;
    case EOpcAnd: ExecBinary(EOpcAnd); break;
    case EOpcOr: ExecBinary(EOpcOr); break;
    case EOpcConcat: ExecBinary(EOpcConcat); break;
    case EOpcPushConst: CVexilOperators::SetStr(PushSlot(), iCode.StrConst(aInstr.Arg)); break;
    case EOpcValToCard: ExecValToCard(); break;
    case EOpcValToControl: ExecValToControl(); break;
    case EOpcPutIntoField: ExecPutIntoField(); break;
    case EOpcStop: Reset(); return false;
    case EOpcGoNextCard: ExecGoNextCard(); break;
    case EOpcPushFieldVal: ExecPushFieldVal(); break;
    case EOpcAnswer: ExecAnswer(); break;
    case EOpcPushVar: ExecPushVar(PopIndex()); break;
    case EOpcStoreVar: ExecStoreVar(PopIndex()); break;
    case EOpcGoToCard: ExecGoToCard(); break;
    case EOpcNot: CVexilOperators::Not(Operand(0)); break;
    case EOpcNeg: CVexilOperators::Neg(Operand(0)); break;
    case EOpcPushCurCard: ExecPushCurCard(); break;
    case EOpcForEachCardInit: ExecForEachInit(false, aInstr.Arg); break;
    case EOpcForEachCardNext: ExecForEachNext(false, aInstr.Arg); break;
    case EOpcRandom: ExecRandom(); break;
    case EOpcNumCards: CVexilOperators::SetInt(PushSlot(), RunStack()->NumCards()); break;
    case EOpcValToBackground: ExecValToBackground(); break;
    case EOpcForEachBgCardInit: ExecForEachInit(true, aInstr.Arg); break;
    case EOpcForEachBgCardNext: ExecForEachNext(true, aInstr.Arg); break;
    case EOpcEnter: ExecEnter(aInstr.Arg); break;
    case EOpcReturn: return ExecReturn(aInstr.Arg);
    case EOpcPushReturn: CVexilOperators::SetStr(PushSlot(), CVexilGenDef::EolStr()); break;
    case EOpcPushTab: CVexilOperators::SetStr(PushSlot(), CVexilGenDef::TabStr()); break;
    case EOpcPushDate:
        CVexilOperators::SetDate(PushSlot(), CVexilValue::FromQDate(QDate::currentDate()));
        break;
    case EOpcPushParam: CVexilOperators::SetStr(PushSlot(), iParamVal); break;
    case EOpcNumBgCards: ExecNumBgCards(); break;
    case EOpcPop: Drop(); break;
    case EOpcSend: ExecSend(); break;
    case EInsContinue: iPc = aInstr.Arg; break;
    default: ExecFault(aInstr); break;
    }
    return true;
}

void CVexilInterpreter::ExecFault(TInstr aInstr)
{
    // The ip stays at the fault, which may be the end of the code.
    --iPc;
    // The checks that come before the operand is read.
    if ((aInstr.Base == EOpcEnter && iBp != UndefInt) || (aInstr.Base == EOpcReturn && iBp == UndefInt))
        Violation();
    CVexilError::RaiseRunError(aInstr.Arg, QStringLiteral("CVexilCodeReader"));
}

// ---- Handler entry and exit ----

void CVexilInterpreter::ExecEnter(int32_t aCount)
{
    // A handler enters once, with no more locals than the stack holds.
    if (iBp != UndefInt || aCount > kStackSize - iSp)
        Violation();
    iBp = iSp;
    // The locals start without a value.
    for (int32_t i = 0; i < aCount; ++i)
        CVexilOperators::Clear(iStack[iSp++]);
    iNumLocals = aCount;
    iFloor = iSp;
}

bool CVexilInterpreter::ExecReturn(int32_t aCount)
{
    if (iBp == UndefInt || aCount != iNumLocals)
        Violation();
    while (iSp > iBase)
        CVexilOperators::Release(iStack[--iSp]);
    if (iDepth > 0)
    {
        PopFrame();
        return true;
    }
    Reset();
    ShowProgress(kProgressFull);
    return false;
}

// ---- Values and variables ----

inline void CVexilInterpreter::ExecBinary(EOpcCode aOp)
{
    NeedValues(2);
    CVexilVar& left = iStack[iSp - 2];
    const CVexilVar& right = iStack[iSp - 1];
    if (!CVexilOperators::Binary(aOp, left, right))
        OperandTypesError(left, right);
    Drop();
}

void CVexilInterpreter::OperandTypesError(const CVexilVar& aL, const CVexilVar& aR)
{
    NoBackground(aL);
    NoBackground(aR);
    RunError("CheckOpTypes", EMsgIncompatibleValTypes, TypeName(aL), TypeName(aR));
}

inline bool CVexilInterpreter::ExecJumpIfFalse()
{
    const CVexilVar& cond = Peek(0);
    if (cond.ValType() != EValBool)
        WrongType("ExecJumpIfFalse", cond);
    const bool value = cond.BooleanVal();
    Drop();
    return value;
}

inline void CVexilInterpreter::ExecPushVar(int32_t aIndex)
{
    CVexilVar& var = Local(aIndex);
    // A variable never assigned reads as the empty String.
    if (var.ValType() == EValUndef)
        CVexilOperators::SetStr(var, QString());
    CVexilOperators::Copy(PushSlot(), var);
}

inline void CVexilInterpreter::ExecStoreVar(int32_t aIndex)
{
    CVexilVar& var = Local(aIndex);
    NeedValues(1);
    CVexilVar& value = iStack[--iSp];
    // The variable takes the type of the value stored into it.
    CVexilOperators::Copy(var, value);
    CVexilOperators::Release(value);
}

void CVexilInterpreter::ExecRandom()
{
    // Only Random with one argument of at least 1 has a result.
    const CVexilVar count = Pop();
    if (count.ValType() != EValInt || count.IntVal() != 1)
        CVexilError::RaiseRunError(ERunInvalidCall, QStringLiteral("CVexilInterpreter.ExecRandom"));
    CVexilVar& arg = Operand(0);
    const int32_t n = arg.ToInt();
    if (n < 1)
        CVexilError::RaiseRunError(ERunInvalidCall, QStringLiteral("CVexilInterpreter.ExecRandom"));
    CVexilOperators::SetInt(arg, int32_t(QRandomGenerator::global()->generateDouble() * n) + 1);
}

void CVexilInterpreter::ExecAnswer()
{
    const QString text = Operand(0).ToStr();
    Drop();
    CallingOut();
    if (IVexilPrompts* prompts = CVexilPrompts::Current())
        prompts->Notice(text);
}

void CVexilInterpreter::WrongType(const char* aStep, const CVexilVar& aVal)
{
    NoBackground(aVal);
    RunError(aStep, EMsgWrongValType, TypeName(aVal));
}

// ---- Designators ----

TCardRef CVexilInterpreter::DesignatedCard(const CVexilVar& aVal, const char* aStep)
{
    TCardRef card;
    switch (aVal.ValType())
    {
    case EValCard:
        card = ObjOf<CVexilCard>(aVal, EValCard);
        if (!card)
            Violation();
        return card;
    case EValStr:
        if (!RunStack()->GetCard(aVal.StrVal(), card))
            RunError(aStep, EMsgCardNotFound, aVal.StrVal());
        return card;
    case EValInt:
    case EValReal:
    {
        // Card number n counts from 1 in stack order.
        const int32_t num = aVal.ToInt();
        if (num < 1 || !RunStack()->GetCardByNum(num - 1, card))
            RunError(aStep, EMsgCardNotFound, QString::number(num));
        return card;
    }
    default: WrongType(aStep, aVal);
    }
}

void CVexilInterpreter::ExecValToCard()
{
    CVexilVar& designator = Peek(0);
    CVexilOperators::SetObj(designator, EValCard, DesignatedCard(designator, "ExecValToCard"));
}

void CVexilInterpreter::ExecGoToCard()
{
    const TCardRef card = DesignatedCard(Pop(), "ExecGoToCard");
    CallingOut();
    IVexilStackViewLink& view = View();
    view.GoToCard(card);
    iCurCard = view.CurCard();
}

void CVexilInterpreter::ExecGoNextCard()
{
    CallingOut();
    IVexilStackViewLink& view = View();
    TCardRef next;
    view.OrderNext(next);
    iCurCard = view.CurCard();
}

void CVexilInterpreter::ExecPushCurCard()
{
    if (!iCurCard)
    {
        CVexilError::CheckFailed(false, this, QStringLiteral("ExecPushCurCard"), QStringLiteral("found"));
        RunError("ExecPushCurCard", EMsgCardNotFound, QString());
    }
    CVexilOperators::SetObj(PushSlot(), EValCard, iCurCard);
}

void CVexilInterpreter::ExecValToControl()
{
    CVexilVar& designator = Peek(0);
    const TCardRef card = ObjOf<CVexilCard>(Peek(1), EValCard);
    if (!card)
        Violation();
    const TControlSetRef background = card->Background();
    TControlRef control;
    switch (designator.ValType())
    {
    case EValStr:
        if (!background || !background->GetControlByName(designator.StrVal(), control))
            RunError("ExecValToControl", EMsgControlNotFound, designator.StrVal());
        break;
    case EValInt:
        // Field number n counts from 1 in the background's field order.
        if (!background || designator.IntVal() < 1 || !background->GetControlByNum(designator.IntVal() - 1, control))
            RunError("ExecValToControl", EMsgControlNotFound, QString::number(designator.IntVal()));
        break;
    default: WrongType("ExecStringToControl", designator);
    }
    CVexilOperators::SetObj(designator, EValControl, control);
}

void CVexilInterpreter::ExecValToBackground()
{
    CVexilVar& designator = Peek(0);
    TControlSetRef background;
    switch (designator.ValType())
    {
    case EValControlSet:
        background = ObjOf<CVexilControlSet>(designator, EValControlSet);
        if (!background)
            Violation();
        break;
    case EValStr:
        if (!RunStack()->GetBackgroundByName(designator.StrVal(), background))
            RunError("ExecValToBackground", EMsgBackgroundNotFound, designator.StrVal());
        break;
    default: WrongType("ExecValToBackground", designator);
    }
    CVexilOperators::SetObj(designator, EValControlSet, background);
}

// ---- Field values ----

void CVexilInterpreter::PopFieldRef(TControlRef& aControl, TCardRef& aCard)
{
    aControl = ObjOf<CVexilControl>(Pop(), EValControl);
    aCard = ObjOf<CVexilCard>(Pop(), EValCard);
    if (!aControl || !aCard)
        Violation();
}

void CVexilInterpreter::CheckValueField(const CVexilControl& aControl, const char* aStep)
{
    if (aControl.ConType() == EConTypeCommand)
        RunError(aStep, EMsgWrongValType, aControl.TypeStr());
}

void CVexilInterpreter::ExecPutIntoField()
{
    TControlRef control;
    TCardRef card;
    PopFieldRef(control, card);
    const CVexilVar value = Pop();
    NoBackground(value);
    CheckValueField(*control, "ExecPutIntoField");
    TValue val = value.Val();
    val.iType = value.ValType();
    const int32_t target = CVexilValue::ConToValType(control->ConType());
    if (target == EValBlobId)
    {
        // A picture field takes a picture id, as its value reads: UndefLong for none, otherwise
        // a picture of the stack.
        if (val.iType != EValInt)
            WrongType("ExecPutIntoField", value);
        const std::shared_ptr<CVexilBlobStore> store = RunStack()->BlobStore();
        if (val.iInt == UndefLong)
            val = TValue();
        else if (store && store->HasBlob(val.iInt))
            val.iType = EValBlobId;
        else
            CVexilError::RaiseRunError(ERunInvalidCall, QStringLiteral("CVexilInterpreter.ExecPutIntoField"));
    }
    else if (val.iType != target)
    {
        // A value the field cannot take is the script's fault, not a failed check of the program.
        if (!Convertible(val.iType, target))
            WrongType("ExecPutIntoField", value);
        TValue converted;
        converted.iType = target;
        CVexilValue::Convert(val, *control, converted);
        val = converted;
    }
    CallingOut();
    View().SetValue(card, control->Id(), val);
}

void CVexilInterpreter::ExecPushFieldVal()
{
    TControlRef control;
    TCardRef card;
    PopFieldRef(control, card);
    CheckValueField(*control, "ExecPushFieldVal");
    TakingLong();  // a card-list field may be brought up to date
    TValue val;
    card->GetControlVal(control->Id(), val, false);
    const int32_t type = CVexilValue::ConToValType(control->ConType());
    CVexilVar& slot = PushSlot();
    if (type == EValBlobId)
    {
        // The picture id as an Integer, UndefLong without a picture.
        CVexilOperators::SetInt(slot, val.iType == EValBlobId ? val.iInt : UndefLong);
        return;
    }
    if (val.iType == EValUndef)
        CVexilValue::SetZero(val, type, CVexilValue::IntToDate(UndefLong), 0);
    CVexilOperators::Clear(slot);
    slot.Construct(val.iType);
    slot.SetVal(val);
}

// ---- Counting, loops over cards and messages ----

void CVexilInterpreter::ExecNumBgCards()
{
    CVexilVar& top = Peek(0);
    const TControlSetRef background = ObjOf<CVexilControlSet>(top, EValControlSet);
    if (!background)
        Violation();
    TakingLong();
    CVexilOperators::SetInt(top, RunStack()->NumBackgroundCards(background->Id()));
}

bool CVexilInterpreter::NextCard(bool aFirst, int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor)
{
    TakingLong();
    const TStackRef stack = RunStack();
    if (aBackgroundId == UndefLong)
        return aFirst ? stack->GetFirstCard(aCard, aCursor) : stack->GetNextCard(aCard, aCursor);
    return aFirst ? stack->GetFirstCardInBackground(aBackgroundId, aCard, aCursor)
                  : stack->GetNextCardInBackground(aBackgroundId, aCard, aCursor);
}

// The loop keeps three values: the variable index, a spare Int or the background, the cursor.
void CVexilInterpreter::ExecForEachInit(bool aInBackground, int32_t aEnd)
{
    int32_t backgroundId = UndefLong;
    if (aInBackground)
    {
        const TControlSetRef background = ObjOf<CVexilControlSet>(Peek(0), EValControlSet);
        if (!background)
            Violation();
        backgroundId = background->Id();
    }
    const CVexilVar& index = Peek(aInBackground ? 1 : 0);
    if (index.ValType() != EValInt)
        Violation();
    CVexilVar& var = Local(index.IntVal());
    CVexilOperators::SetObj(var, EValCard, TObjRef());
    if (!aInBackground)
        CVexilOperators::SetInt(PushSlot(), 0);
    CVexilVar& cursorVar = PushSlot();
    TCardRef card;
    int32_t cursor = 0;
    const bool found = NextCard(true, backgroundId, card, cursor);
    CVexilOperators::SetInt(cursorVar, cursor);
    if (found)
        var.SetCardVal(card);
    else
        iPc = aEnd;
}

void CVexilInterpreter::ExecForEachNext(bool aInBackground, int32_t aEnd)
{
    CVexilVar& cursorVar = Peek(0);
    const CVexilVar& index = Peek(2);
    if (cursorVar.ValType() != EValInt || index.ValType() != EValInt)
        Violation();
    int32_t backgroundId = UndefLong;
    if (aInBackground)
    {
        const TControlSetRef background = ObjOf<CVexilControlSet>(Peek(1), EValControlSet);
        if (!background)
            Violation();
        backgroundId = background->Id();
    }
    CVexilVar& var = Local(index.IntVal());
    TCardRef card;
    int32_t cursor = cursorVar.IntVal();
    if (!NextCard(false, backgroundId, card, cursor))
    {
        iPc = aEnd;
        return;
    }
    // The body may have stored another type into the loop variable: the setter's check.
    var.SetCardVal(card);
    cursorVar.SetIntVal(cursor);
}

void CVexilInterpreter::ExecSend()
{
    TControlRef control;
    TCardRef card;
    PopFieldRef(control, card);
    const CVexilVar msg = Pop();
    if (msg.ValType() != EValStr)
        WrongType("ExecSend", msg);
    // The handler found becomes the pending call and starts before the next instruction.
    TObjRef found;
    LocateAndExecScript(card, control, msg.StrVal(), found);
}

// ---- The stack view and the stack ----

TStackRef CVexilInterpreter::RunStack()
{
    TStackRef stack = iRunStack.lock();
    if (!stack)
        RunError("RunStack", EMsgCardNotFound, QString());
    return stack;
}

IVexilStackViewLink& CVexilInterpreter::View()
{
    IVexilStackViewLink* view = CVexilStackViewLink::Current();
    if (!view)
        RunError("View", EMsgCardNotFound, QString());
    return *view;
}
