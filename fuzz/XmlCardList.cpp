// The reading step of the card-list XML import on arbitrary bytes, against the small stack:
// a file it refuses is error 1007 naming the file, or 1082 or 1083 naming a background or
// field; anything else that leaves it is a finding. The stack is never changed.

#include "FuzzEnv.h"
#include "FuzzModel.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "interchange/VexilXmlCardList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    static const TStackRef stack = SmallStack();
    const QString name = WriteFuzzFile(QStringLiteral("in.xml"), InputBytes(aData, aSize));
    try
    {
        const auto cards = CVexilXmlCardList::ReadCards(*stack, name);
        for (const CVexilXmlCardList::TCardEntry& card : cards)
            if (!card.Background || stack->Background(card.Background->Id()) != card.Background)
                Finding("a card of a background the stack lacks");
    }
    catch (const CVexilException& e)
    {
        const int32_t error = e.Number();
        const bool named = error != EErrWrongFormat || CVexilError::GetErrInfo().Param1 == name;
        if ((error != EErrWrongFormat && error != EMsgBackgroundNotFound && error != EMsgControlNotFound) || !named)
            Finding("unexpected error", ErrorText(e));
    }
    return 0;
}
