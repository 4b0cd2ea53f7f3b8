// The compiler on arbitrary source text (UTF-8). It answers source it cannot compile with
// error 2000 and its limits with run-time errors 9, 6 and 5. The record of a compile error
// points at the failing line as it stands in the source, and every handler it made decodes.

#include "FuzzEnv.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "script/VexilCompiler.h"
#include "script/VexilHandlerCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    static CVexilCompiler compiler;
    CVexilError::ResetErrInfo();
    const QString source = QString::fromUtf8(InputBytes(aData, aSize));
    CVexilArray script;
    script.Construct(EArrStrKey, EValStr);
    try
    {
        compiler.Compile(source, script);
    }
    catch (const CVexilException& e)
    {
        switch (e.Number())
        {
        case EScrCompileError:
        {
            const TCompErrInfo info = compiler.GetErrorInfo();
            if (source.mid(info.LineStart, info.LineText.size()) != info.LineText ||
                info.LineEnd != info.LineStart + info.LineText.size())
                Finding("the error record does not point at the failing line",
                        QStringLiteral("line %1 at %2 to %3: %4").arg(info.LineIndex).arg(info.LineStart).arg(info.LineEnd).arg(info.LineText));
            break;
        }
        case ERunSubscript:
        case ERunOverflow:
        case ERunInvalidCall: break;
        default: Finding("unexpected error", ErrorText(e));
        }
    }
    for (int32_t i = 0; i < script.Count(); ++i)
    {
        try
        {
            CVexilHandlerCode::FromHex(script.ElemAt(i).iVal.iStr);
        }
        catch (const CVexilException& e)
        {
            Finding("a compiled handler does not decode", script.ElemAt(i).StrKey + QStringLiteral(": ") + ErrorText(e));
        }
    }
    return 0;
}
