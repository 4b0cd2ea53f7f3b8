#include "script/VexilCodeWriter.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilValueDef.h"

void CVexilCodeWriter::CheckWord(int32_t aWord)
{
    if (aWord < 0 || aWord > kCodeMaxWord)
        CVexilError::RaiseRunError(ERunOverflow);
}

void CVexilCodeWriter::Word(int32_t aWord)
{
    CheckWord(aWord);
    iCode.append(char(aWord & 0xFF));
    iCode.append(char(aWord >> 8));
}

void CVexilCodeWriter::OpWord(EOpcCode aOp, int32_t aWord)
{
    CheckWord(aWord);
    Op(aOp);
    Word(aWord);
}

int32_t CVexilCodeWriter::OpPlaceholder(EOpcCode aOp)
{
    Op(aOp);
    const int32_t pos = Pos();
    Word(0);
    return pos;
}

void CVexilCodeWriter::PatchWord(int32_t aPos, int32_t aWord)
{
    CheckWord(aWord);
    iCode[aPos] = char(aWord & 0xFF);
    iCode[aPos + 1] = char(aWord >> 8);
}

void CVexilCodeWriter::PushConst(const QString& aText)
{
    const QByteArray bytes = CVexilCodePage::FromStr(aText);
    if (bytes.size() > kCodeMaxStrLen)
        CVexilError::RaiseRunError(ERunInvalidCall);
    Op(EOpcPushConst);
    iCode.append(char(EValStr));
    iCode.append(char(bytes.size()));
    iCode.append(bytes);
}
