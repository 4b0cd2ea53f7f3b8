#include "script/VexilCompiler.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"

#include <iterator>

std::unique_ptr<CVexilCompiler> gCompiler;

namespace
{
// In the order of their ids.
const char* const kKeywords[] = {
    "Put", "Into", "Field", "Of", "Card", "On", "End", "Go",
    "To", "Next", "If", "Then", "Is", "Answer", "Not", "And",
    "Or", "Repeat", "While", "For", "Each", "Random", "Exit", "Else",
    "Number", "Cards", "Background", "Return", "Tab", "The", "Date", "Send",
};
static_assert(std::size(kKeywords) == CVexilCompiler::EKwSend + 1);

// Only the blank is white space in a script line.
QString TrimBlanks(const QString& aLine)
{
    qsizetype first = 0;
    qsizetype last = aLine.size();
    while (first < last && aLine[first] == u' ')
        ++first;
    while (last > first && aLine[last - 1] == u' ')
        --last;
    return aLine.mid(first, last - first);
}

// A number token: digits only; a value above the largest word overflows.
int32_t NumberValue(const QString& aDigits)
{
    bool ok = false;
    const int32_t value = aDigits.toInt(&ok);
    if (!ok || value > kCodeMaxWord)
        CVexilError::RaiseRunError(ERunOverflow);
    return value;
}
}  // namespace

CVexilCompiler::CVexilCompiler()
{
    Construct();
}

CVexilCompiler::~CVexilCompiler() = default;

void CVexilCompiler::Construct()
{
    iScanner = std::make_unique<CVexilScanner>();
    iScanner->SetStripComments(true);
    int16_t id = 0;
    for (const char* name : kKeywords)
        iScanner->DefKeyword(QString::fromLatin1(name), id++);
    iVars = std::make_unique<CVexilArray>();
    iVars->Construct(EArrStrKey, EValInt);
}

// ---- Tokens and lines ----

void CVexilCompiler::NextSym()
{
    iScanner->GetSym(iSym, iSymText, iKwId);
}

void CVexilCompiler::CheckSymIsKw(EKeyword aKw)
{
    if (!IsKw(aKw))
        CompError(EMsgWrongKeyword, iScanner->KeywStr(aKw), iSymText, QStringLiteral("CheckSymIsKw"));
    NextSym();
}

void CVexilCompiler::CheckSymIsSym(ESymKind aKind)
{
    if (iSym != aKind)
        CompError(EMsgWrongSymbol, CVexilScanner::SymStr(aKind), iSymText, QStringLiteral("CheckSymIsSym"));
    NextSym();
}

QString CVexilCompiler::CheckIdent()
{
    const QString name = iSymText;
    CheckSymIsSym(ESymIdent);
    return name;
}

bool CVexilCompiler::GetLine()
{
    while (iNextLine < iLines.size())
    {
        iLineIndex = iNextLine++;
        iLineStart = iNextLineStart;
        iNextLineStart += int32_t(iLines[iLineIndex].size()) + 2;
        const QString line = TrimBlanks(iLines[iLineIndex]);
        if (line.isEmpty())
            continue;
        iCode.OpWord(EOpcLine, iLineIndex);
        iScanner->SetLine(line);
        NextSym();
        if (iSym != ESymEol)
            return true;
    }
    return false;
}

void CVexilCompiler::GetNextLine()
{
    if (!GetLine())
        CompError(EMsgSourceEnd, QString(), QString(), QStringLiteral("GetNextLine"));
}

void CVexilCompiler::CompError(int32_t aMsgId, const QString& aParam1, const QString& aParam2,
                               const QString& aStep)
{
    iErrInfo.MsgId = aMsgId;
    iErrInfo.Param1 = aParam1;
    iErrInfo.Param2 = aParam2;
    iErrInfo.LineText = iLines[iLineIndex];  // errors arise only after a line was read
    iErrInfo.LineIndex = iLineIndex;
    iErrInfo.LineStart = iLineStart;
    iErrInfo.LineEnd = iLineStart + int32_t(iErrInfo.LineText.size());
    iErrInfo.LinePos = iScanner->LinePos();
    CVexilError::Throw(EScrCompileError, QStringLiteral("CVexilCompiler.") + aStep);
}

// ---- Handlers and statements ----

void CVexilCompiler::Compile(const QString& aSource, CVexilArray& aScript)
{
    int count = 0;
    iLines = QStringList(kMaxLines);
    CVexilLib::SplitLines(aSource, iLines, count);
    iLines.resize(count);
    iNextLine = 0;
    iLineIndex = -1;
    iLineStart = 0;
    iNextLineStart = 0;
    iNumExits = 0;
    iLoopDepth = 0;
    for (;;)
    {
        iCode.Clear();
        iCode.Word(kCodeGeneration);
        if (!GetLine())
            return;
        CompHandler(aScript);
    }
}

void CVexilCompiler::CompHandler(CVexilArray& aScript)
{
    CheckSymIsKw(EKwOn);
    const QString name = iSymText;
    TArrayElem found;
    int32_t cursor = 0;
    if (iSym == ESymIdent && aScript.ReadByStrKey(name, found, cursor))
        CompError(EMsgBadExpression, name, QString(), QStringLiteral("Compile"));  // a second handler of that name
    CheckIdent();
    const bool hasParam = iSym == ESymIdent;
    const QString param = iSymText;

    const int32_t enterPos = iCode.OpPlaceholder(EOpcEnter);
    iVars->Clear();
    iNumVars = 0;
    if (hasParam)
    {
        iCode.Op(EOpcPushParam);
        iCode.OpWord(EOpcPushInt, VarIndex(param));
        iCode.Op(EOpcStoreVar);
    }
    for (;;)
    {
        GetNextLine();
        if (IsKw(EKwEnd))
            break;
        CompStatement();
    }
    iCode.OpWord(EOpcReturn, iNumVars);
    iCode.PatchWord(enterPos, iNumVars);
    TArrayElem elem;
    aScript.InitElem(elem);
    elem.StrKey = name;
    elem.iVal.iStr = CVexilLib::StrToHex(CVexilCodePage::ToStr(iCode.Bytes()));
    aScript.CreateStrKey(elem);
}

void CVexilCompiler::CompStatement()
{
    if (iSym == ESymIdent)
    {
        CompAssignment();
        return;
    }
    switch (iSym == ESymKeyword ? iKwId : -1)
    {
    case EKwPut: CompPut(); break;
    case EKwGo: CompGo(); break;
    case EKwIf: CompIf(); break;
    case EKwAnswer:
        NextSym();
        CompExpression();
        iCode.Op(EOpcAnswer);
        break;
    case EKwRepeat: CompRepeat(); break;
    case EKwExit: CompExit(); break;
    case EKwSend: CompSend(); break;
    default:
        // A line that starts no statement, such as one indented with a Tab or an Else in a Repeat.
        CompError(EMsgBadExpression, iSymText, QString(), QStringLiteral("CompStatement"));
    }
}

CVexilCompiler::EKeyword CVexilCompiler::CompBlock(EBlockEnd aEnds)
{
    for (;;)
    {
        GetNextLine();
        if (IsKw(EKwEnd))
            return EKwEnd;
        if (aEnds == EBlockEndsAtElse && IsKw(EKwElse))
            return EKwElse;
        CompStatement();
    }
}

void CVexilCompiler::CheckBlockEnd(EKeyword aKw)
{
    NextSym();  // past End
    CheckSymIsKw(aKw);
}

void CVexilCompiler::CompAssignment()
{
    const int32_t index = VarIndex(iSymText);
    NextSym();
    CheckSymIsSym(ESymEq);
    CompExpression();
    iCode.OpWord(EOpcPushInt, index);
    iCode.Op(EOpcStoreVar);
}

void CVexilCompiler::CompPut()
{
    NextSym();
    CompExpression();
    CheckSymIsKw(EKwInto);
    CheckSymIsKw(EKwField);
    CompFieldRef();
    iCode.Op(EOpcPutIntoField);
}

void CVexilCompiler::CompGo()
{
    NextSym();
    if (IsKw(EKwTo))
        NextSym();
    if (IsKw(EKwNext))
    {
        NextSym();
        CheckSymIsKw(EKwCard);
        iCode.Op(EOpcGoNextCard);
        return;
    }
    if (IsKw(EKwCard))
        NextSym();
    CompExpression();
    iCode.Op(EOpcGoToCard);
}

void CVexilCompiler::CompIf()
{
    NextSym();
    CompExpression();
    CheckSymIsKw(EKwThen);
    int32_t openJump = iCode.OpPlaceholder(EOpcJumpIfFalse);
    if (CompBlock(EBlockEndsAtElse) == EKwElse)
    {
        const int32_t elseJump = iCode.OpPlaceholder(EOpcJump);
        iCode.PatchWord(openJump, iCode.Pos());
        openJump = elseJump;
        CompBlock(EBlockEndsAtEnd);
    }
    CheckBlockEnd(EKwIf);
    iCode.PatchWord(openJump, iCode.Pos());
}

void CVexilCompiler::CompRepeat()
{
    NextSym();
    ++iLoopDepth;
    if (IsKw(EKwFor))
        CompForEach();
    else
        CompRepeatWhile();
    --iLoopDepth;
}

void CVexilCompiler::CompRepeatWhile()
{
    CheckSymIsKw(EKwWhile);
    const int32_t loopStart = iCode.Pos();
    const int firstExit = iNumExits;
    CompExpression();
    const int32_t falseJump = iCode.OpPlaceholder(EOpcJumpIfFalse);
    CompBlock(EBlockEndsAtEnd);
    CheckBlockEnd(EKwRepeat);
    iCode.OpWord(EOpcJump, loopStart);
    iCode.PatchWord(falseJump, iCode.Pos());
    PatchExits(firstExit, iCode.Pos());
}

void CVexilCompiler::CompForEach()
{
    NextSym();  // past For
    CheckSymIsKw(EKwEach);
    CheckSymIsKw(EKwCard);
    iCode.OpWord(EOpcPushInt, VarIndex(CheckIdent()));
    const bool ofBackground = IsKw(EKwOf);
    if (ofBackground)
    {
        NextSym();
        CheckSymIsKw(EKwBackground);
        CompFactor();
        iCode.Op(EOpcValToBackground);
    }
    const int32_t initEnd = iCode.OpPlaceholder(ofBackground ? EOpcForEachBgCardInit : EOpcForEachCardInit);
    const int32_t loopStart = iCode.Pos();
    const int firstExit = iNumExits;
    CompBlock(EBlockEndsAtEnd);
    CheckBlockEnd(EKwRepeat);
    const int32_t nextEnd = iCode.OpPlaceholder(ofBackground ? EOpcForEachBgCardNext : EOpcForEachCardNext);
    iCode.OpWord(EOpcJump, loopStart);
    const int32_t loopEnd = iCode.Pos();
    iCode.PatchWord(initEnd, loopEnd);
    iCode.PatchWord(nextEnd, loopEnd);
    PatchExits(firstExit, loopEnd);
    // The loop variable index and the two state values.
    for (int i = 0; i < 3; ++i)
        iCode.Op(EOpcPop);
}

void CVexilCompiler::CompExit()
{
    if (iLoopDepth == 0)
        CompError(EMsgBadExpression, iSymText, QString(), QStringLiteral("CompExit"));  // no loop to leave
    NextSym();
    CheckSymIsKw(EKwRepeat);
    if (iNumExits >= kMaxExits)
        CVexilError::RaiseRunError(ERunSubscript);
    iExits[iNumExits++] = iCode.OpPlaceholder(EOpcJump);
}

void CVexilCompiler::PatchExits(int aFirst, int32_t aTarget)
{
    for (int i = aFirst; i < iNumExits; ++i)
        iCode.PatchWord(iExits[i], aTarget);
    iNumExits = aFirst;
}

void CVexilCompiler::CompSend()
{
    NextSym();
    CompExpression();
    CheckSymIsKw(EKwTo);
    NextSym();  // the word Field, not checked
    CompFieldRef();
    iCode.Op(EOpcSend);
}

// ---- Expressions ----

void CVexilCompiler::CompExpression()
{
    CompSimple();
    EOpcCode op;
    switch (iSym)
    {
    case ESymEq: op = EOpcEq; break;
    case ESymGt: op = EOpcGt; break;
    case ESymGe: op = EOpcGe; break;
    case ESymLt: op = EOpcLt; break;
    case ESymLe: op = EOpcLe; break;
    case ESymNe: op = EOpcNe; break;
    default:
        if (!IsKw(EKwIs))
            return;
        op = EOpcEq;
    }
    NextSym();
    CompSimple();
    iCode.Op(op);
}

void CVexilCompiler::CompSimple()
{
    const bool negate = iSym == ESymMinus;
    if (negate || iSym == ESymPlus)
        NextSym();
    CompTerm();
    if (negate)
        iCode.Op(EOpcNeg);
    for (;;)
    {
        EOpcCode op;
        if (iSym == ESymPlus)
            op = EOpcAdd;
        else if (iSym == ESymMinus)
            op = EOpcSub;
        else if (iSym == ESymAmp)
            op = EOpcConcat;
        else if (IsKw(EKwOr))
            op = EOpcOr;
        else
            return;
        NextSym();
        CompTerm();
        iCode.Op(op);
    }
}

void CVexilCompiler::CompTerm()
{
    CompFactor();
    for (;;)
    {
        EOpcCode op;
        if (iSym == ESymStar)
            op = EOpcMul;
        else if (iSym == ESymSlash)
            op = EOpcDiv;
        else if (IsKw(EKwAnd))
            op = EOpcAnd;
        else
            return;
        NextSym();
        CompFactor();
        iCode.Op(op);
    }
}

void CVexilCompiler::CompFactor()
{
    switch (iSym)
    {
    case ESymIdent:
        iCode.OpWord(EOpcPushInt, VarIndex(iSymText));
        iCode.Op(EOpcPushVar);
        NextSym();
        break;
    case ESymNumber:
        iCode.OpWord(EOpcPushInt, NumberValue(iSymText));
        NextSym();
        break;
    case ESymString:
        iCode.PushConst(iSymText);
        NextSym();
        break;
    case ESymLParen:
        NextSym();
        CompExpression();
        CheckSymIsSym(ESymRParen);
        break;
    case ESymKeyword:
        CompKeywordFactor();
        break;
    default:
        CompError(EMsgBadExpression, iSymText, QString(), QStringLiteral("CompFactor"));
    }
}

void CVexilCompiler::CompKeywordFactor()
{
    switch (iKwId)
    {
    case EKwNot:
        NextSym();
        CompFactor();
        iCode.Op(EOpcNot);
        break;
    case EKwField:
        NextSym();
        CompFieldRef();
        iCode.Op(EOpcPushFieldVal);
        break;
    case EKwRandom:
        NextSym();
        CompFunctionCall();
        break;
    case EKwNumber:
        NextSym();
        CompNumberOfCards();
        break;
    case EKwReturn:
        NextSym();
        iCode.Op(EOpcPushReturn);
        break;
    case EKwTab:
        NextSym();
        iCode.Op(EOpcPushTab);
        break;
    case EKwThe:
        NextSym();
        if (!IsKw(EKwDate))
            CompError(EMsgBadExpression, iSymText, QString(), QStringLiteral("CompFactor"));
        NextSym();
        iCode.Op(EOpcPushDate);
        break;
    default:
        CompError(EMsgBadExpression, iSymText, QString(), QStringLiteral("CompFactor"));
    }
}

void CVexilCompiler::CompFieldRef()
{
    // The field stands before the card in the source but after it in the code.
    const int32_t fieldStart = iCode.Pos();
    CompFactor();
    const QByteArray field = iCode.TakeFrom(fieldStart);
    if (IsKw(EKwOf))
    {
        NextSym();
        CheckSymIsKw(EKwCard);
        CompFactor();
        iCode.Op(EOpcValToCard);
    }
    else
    {
        iCode.Op(EOpcPushCurCard);
    }
    iCode.Append(field);
    iCode.Op(EOpcValToControl);
}

void CVexilCompiler::CompFunctionCall()
{
    int32_t count = 0;
    if (iSym == ESymLParen)
    {
        NextSym();
        for (;;)
        {
            CompExpression();
            ++count;
            if (iSym == ESymRParen)
                break;
            if (iSym != ESymComma)
                CompError(EMsgBadParamList, QString(), QString(), QStringLiteral("CompFunctionCall"));
            NextSym();
        }
        NextSym();
    }
    iCode.OpWord(EOpcPushInt, count);
    iCode.Op(EOpcRandom);
}

void CVexilCompiler::CompNumberOfCards()
{
    CheckSymIsKw(EKwOf);
    CheckSymIsKw(EKwCards);
    if (!IsKw(EKwOf))
    {
        iCode.Op(EOpcNumCards);
        return;
    }
    NextSym();
    CheckSymIsKw(EKwBackground);
    CompFactor();
    iCode.Op(EOpcValToBackground);
    iCode.Op(EOpcNumBgCards);
}

int32_t CVexilCompiler::VarIndex(const QString& aName)
{
    TArrayElem elem;
    int32_t cursor = 0;
    if (iVars->ReadByStrKey(aName, elem, cursor))
        return elem.iVal.iInt;
    iVars->InitElem(elem);
    elem.StrKey = aName;
    elem.iVal.iInt = iNumVars;
    iVars->CreateStrKey(elem);
    CVexilLib::IncInt(iNumVars);
    return elem.iVal.iInt;
}
