#include "script/VexilCodeReader.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilValueDef.h"

namespace
{
bool IsHexDigit(QChar aCh)
{
    return (aCh >= u'0' && aCh <= u'9') || (aCh >= u'A' && aCh <= u'F') || (aCh >= u'a' && aCh <= u'f');
}
}  // namespace

CVexilCodeReader CVexilCodeReader::FromHex(const QString& aHex)
{
    if (aHex.size() % 2 != 0)
        Violation(ERunSubscript);
    for (QChar ch : aHex)
    {
        if (!IsHexDigit(ch))
            Violation(ERunSubscript);
    }
    return CVexilCodeReader(QByteArray::fromHex(aHex.toLatin1()));
}

void CVexilCodeReader::Violation(int32_t aRunError)
{
    CVexilError::RaiseRunError(aRunError, QStringLiteral("CVexilCodeReader"));
}

void CVexilCodeReader::Start()
{
    iPos = 0;
    if (Word() != kCodeGeneration)
        Violation(ERunSubscript);
}

int32_t CVexilCodeReader::Target()
{
    const int32_t target = Word();
    if (target >= Len())
        Violation(ERunSubscript);
    return target;
}

int32_t CVexilCodeReader::Count(int32_t aMax)
{
    const int32_t count = Word();
    if (count > aMax)
        Violation(ERunSubscript);
    return count;
}

QString CVexilCodeReader::StrConst()
{
    if (Byte() != EValStr)
        Violation(ERunSubscript);
    return Chars(Byte());
}

QString CVexilCodeReader::Chars(int32_t aCount)
{
    if (aCount > Len() - iPos)
        Violation(ERunSubscript);
    const QString text = CVexilCodePage::ToStr(iCode.mid(iPos, aCount));
    iPos += aCount;
    return text;
}
