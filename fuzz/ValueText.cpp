// Text to value for every field type whose values are typed from text, in both text forms,
// and back to text and to the other types. The text conversions never raise; the conversions
// to numbers raise only run-time errors 13 (no number) and 6 (out of range).

#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilValueField.h"

#include <QLocale>

namespace
{
class TextField : public IVexilValueField
{
public:
    TextField(int32_t aType, int16_t aDigits) : iType(aType), iDigits(aDigits) {}
    int32_t ConType() const override { return iType; }
    int16_t Digits() const override { return iDigits; }

private:
    int32_t iType;
    int16_t iDigits;
};

constexpr int32_t kTextTypes[] = {EConTypeText,  EConTypeInteger, EConTypeReal, EConTypeDate,
                                  EConTypeTime,  EConTypeBoolean, EConTypeList};
constexpr int32_t kTypeMismatch = 13;

template <class FDo>
void NeverRaises(const char* aWhat, FDo&& aDo)
{
    try
    {
        aDo();
    }
    catch (const std::exception& e)
    {
        Finding(aWhat, ErrorText(e));
    }
}

template <class FDo>
void NumberOrError(FDo&& aDo)
{
    try
    {
        aDo();
    }
    catch (const CVexilException& e)
    {
        if (e.Number() != kTypeMismatch && e.Number() != ERunOverflow)
            Finding("unexpected error", ErrorText(e));
    }
}

void FromValue(const TValue& aVal, const TextField& aField)
{
    NeverRaises("ValToExtText raised", [&] { CVexilValue::ValToExtText(aVal, aField); });
    NeverRaises("ValToIntText raised", [&] { CVexilValue::ValToIntText(aVal); });
    TValue text;
    text.iType = EValStr;
    NeverRaises("Convert to text raised", [&] { CVexilValue::Convert(aVal, aField, text); });
    // Numbers are made of texts and numbers; a Boolean only of text.
    if (aVal.iType != EValStr && aVal.iType != EValInt && aVal.iType != EValReal)
        return;
    NumberOrError([&] { CVexilValue::ToInt(aVal); });
    NumberOrError([&] { CVexilValue::ToReal(aVal); });
    for (const int32_t toType : {EValInt, EValReal, EValBool})
    {
        if (toType == EValBool && aVal.iType != EValStr)
            continue;
        TValue to;
        to.iType = toType;
        NumberOrError([&] { CVexilValue::Convert(aVal, aField, to); });
    }
}
}  // namespace

// The first byte chooses the locale (dot or comma decimal) and the decimals of a real field;
// the rest is the text (UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize == 0)
        return 0;
    static const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)};
    QLocale::setDefault(locales[aData[0] & 1]);
    const int16_t digits = (aData[0] >> 1) == 127 ? UndefInt : int16_t((aData[0] >> 1) % 12);
    const QString text = QString::fromUtf8(InputBytes(aData + 1, aSize - 1));
    CVexilValue::StrToVal(text);
    for (const int32_t type : kTextTypes)
    {
        const TextField field(type, digits);
        TValue ext;
        TValue neutral;
        NeverRaises("ExtTextToVal raised", [&] { ext = CVexilValue::ExtTextToVal(text, field); });
        NeverRaises("IntTextToVal raised", [&] { neutral = CVexilValue::IntTextToVal(text, field); });
        FromValue(ext, field);
        FromValue(neutral, field);
    }
    return 0;
}
