#include "editors/VexilValueConversion.h"

#include "foundation/VexilError.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

CVexilValueConversion::CVexilValueConversion(const IVexilValueField& aOldField, int32_t aNewType, QChar aDecSep)
    : iOldField(aOldField), iNewType(aNewType), iDecSep(aDecSep), iDecSepText(aDecSep)
{
}

bool CVexilValueConversion::ReadNumber(const QString& aFiltered, QChar aDecSep, double& aValue)
{
    // Rewritten with "." for from_chars, which reads the same whatever the locale.
    std::string text;
    text.reserve(size_t(aFiltered.size()));
    bool digits = false;
    bool separator = false;
    for (qsizetype i = 0; i < aFiltered.size(); ++i)
    {
        const QChar ch = aFiltered.at(i);
        if (ch >= u'0' && ch <= u'9')
        {
            digits = true;
            text += char(ch.unicode());
        }
        else if (ch == u'-' && i == 0)
        {
            text += '-';
        }
        else if (ch == aDecSep && !separator)
        {
            separator = true;
            text += '.';
        }
        else if (ch != u'+' || i != 0)
        {
            return false;
        }
    }
    if (!digits)
        return false;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, aValue);
    return error == std::errc() && last == end && std::isfinite(aValue);
}

bool CVexilValueConversion::TextToNumber(const QString& aText, double& aValue)
{
    iScanner.FilterNumberStr(aText, iDecSepText, iFiltered);
    return ReadNumber(iFiltered, iDecSep, aValue);
}

bool CVexilValueConversion::Convert(const TValue& aFrom, TValue& aTo)
{
    aTo = TValue();
    if (aFrom.iType == EValUndef)
        return true;
    try
    {
        switch (iNewType)
        {
        case EConTypeText:
        case EConTypeList:
        {
            const bool shown = aFrom.iType == EValStr || aFrom.iType == EValInt || aFrom.iType == EValReal ||
                               aFrom.iType == EValDate || aFrom.iType == EValTime || aFrom.iType == EValBool ||
                               aFrom.iType == EValBlobId;
            if (!shown)
                return false;
            aTo.iType = EValStr;
            CVexilValue::Convert(aFrom, iOldField, aTo);
            return true;
        }
        case EConTypeInteger:
        {
            double number = 0;
            if (aFrom.iType == EValInt)
                number = aFrom.iInt;
            else if (aFrom.iType == EValReal)
                number = aFrom.iReal;
            else if (aFrom.iType != EValStr || !TextToNumber(aFrom.iStr, number))
                return false;
            aTo.iType = EValInt;
            if (CVexilNumText::RoundToInt32(number, aTo.iInt))
                return true;
            break;
        }
        case EConTypeReal:
        {
            aTo.iType = EValReal;
            if (aFrom.iType == EValInt)
                aTo.iReal = aFrom.iInt;
            else if (aFrom.iType == EValReal)
                aTo.iReal = aFrom.iReal;
            else if (aFrom.iType != EValStr || !TextToNumber(aFrom.iStr, aTo.iReal))
                break;
            return true;
        }
        case EConTypeBoolean:
            if (aFrom.iType != EValStr)
                return false;
            aTo.iType = EValBool;
            CVexilValue::Convert(aFrom, iOldField, aTo);
            return true;
        default:
            // Date, Time and Picture take no value of another type; Command holds none.
            break;
        }
    }
    catch (const CVexilException&)
    {
        // A stored date or time the calendar cannot show.
    }
    aTo = TValue();
    return false;
}
