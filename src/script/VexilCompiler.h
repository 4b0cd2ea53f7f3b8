#pragma once

#include "foundation/VexilObject.h"
#include "foundation/VexilScanner.h"
#include "script/VexilCodeWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class CVexilArray;

// The record of the last compile error (error 2000), read by the script editor.
struct TCompErrInfo
{
    int32_t MsgId = 0;     // 1050 to 1054
    QString Param1;        // fills %0 of the message
    QString Param2;        // fills %1 of the message
    QString LineText;      // the failing line as it stands in the source
    int32_t LineIndex = 0; // 0-based index of the failing line
    int32_t LineStart = 0; // offset of the line in the source, every earlier line counting its length + 2
    int32_t LineEnd = 0;   // LineStart + length of LineText
    int32_t LinePos = 0;   // 1-based position in the trimmed line where the error was found
};

// Turns the source text of a script into compiled handlers, one element per handler in the
// caller's array (key: handler name; value: the code as upper-case hexadecimal text).
// The source is split into lines at CR LF; callers holding LF-only text convert it first.
class CVexilCompiler : public CVexilObject
{
public:
    // The keyword ids of the script language.
    enum EKeyword : int16_t
    {
        EKwPut, EKwInto, EKwField, EKwOf, EKwCard, EKwOn, EKwEnd, EKwGo,
        EKwTo, EKwNext, EKwIf, EKwThen, EKwIs, EKwAnswer, EKwNot, EKwAnd,
        EKwOr, EKwRepeat, EKwWhile, EKwFor, EKwEach, EKwRandom, EKwExit, EKwElse,
        EKwNumber, EKwCards, EKwBackground, EKwReturn, EKwTab, EKwThe, EKwDate, EKwSend,
    };
    static constexpr int kMaxLines = 101;
    static constexpr int kMaxExits = 51;

    CVexilCompiler();
    ~CVexilCompiler() override;

    QString ObjDescr() const override { return QStringLiteral("CVexilCompiler"); }
    // Makes the scanner with its keywords and the variable table.
    void Construct();
    // Adds the handlers of aSource to aScript (an array with flags 1 and element type 11, not
    // cleared). A compile error raises error 2000 with TCompErrInfo; aScript then holds the
    // handlers finished before it. More than 101 lines (9), more than 51 open Exit Repeats (9),
    // a number above 32767 (6), a string above 255 characters (5) and a jump target above 32767
    // (6) are raised as run-time errors.
    void Compile(const QString& aSource, CVexilArray& aScript);
    // The code of the handler last built.
    const QByteArray& Code() const { return iCode.Bytes(); }
    TCompErrInfo GetErrorInfo() const { return iErrInfo; }

private:
    enum EBlockEnd
    {
        EBlockEndsAtEnd,
        EBlockEndsAtElse,
    };

    // Tokens and lines.
    void NextSym();
    bool IsKw(EKeyword aKw) const { return iSym == ESymKeyword && iKwId == aKw; }
    void CheckSymIsKw(EKeyword aKw);
    void CheckSymIsSym(ESymKind aKind);
    QString CheckIdent();
    bool GetLine();
    void GetNextLine();
    [[noreturn]] void CompError(int32_t aMsgId, const QString& aParam1, const QString& aParam2,
                                const QString& aStep);

    // Handlers and statements.
    void CompHandler(CVexilArray& aScript);
    void CompStatement();
    // Compiles statement lines up to a line that starts with End (or Else when allowed) and
    // returns which one ended the block; the current token is then that keyword.
    EKeyword CompBlock(EBlockEnd aEnds);
    void CheckBlockEnd(EKeyword aKw);
    void CompAssignment();
    void CompPut();
    void CompGo();
    void CompIf();
    void CompRepeat();
    void CompRepeatWhile();
    void CompForEach();
    void CompExit();
    void CompSend();
    void PatchExits(int aFirst, int32_t aTarget);

    // Expressions.
    void CompExpression();
    void CompSimple();
    void CompTerm();
    void CompFactor();
    void CompKeywordFactor();
    void CompFieldRef();
    void CompFunctionCall();
    void CompNumberOfCards();
    int32_t VarIndex(const QString& aName);

    std::unique_ptr<CVexilScanner> iScanner;
    ESymKind iSym = ESymEol;
    QString iSymText;
    int16_t iKwId = 0;

    CVexilCodeWriter iCode;

    QStringList iLines;
    int32_t iNextLine = 0;      // index of the next line to read
    int32_t iLineIndex = -1;    // index of the line last read
    int32_t iLineStart = 0;     // offset of the line last read
    int32_t iNextLineStart = 0; // offset of the next line

    std::unique_ptr<CVexilArray> iVars;
    int16_t iNumVars = 0;

    std::array<int32_t, kMaxExits> iExits{};
    int iNumExits = 0;
    int iLoopDepth = 0;

    TCompErrInfo iErrInfo;
};

// The one compiler of the program, made and constructed at start-up.
extern std::unique_ptr<CVexilCompiler> gCompiler;
