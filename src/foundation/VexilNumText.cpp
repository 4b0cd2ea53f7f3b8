#include "foundation/VexilNumText.h"

#include "foundation/VexilError.h"

#include <QLocale>

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace
{
bool IsSkipped(QChar aChar)
{
    return aChar == u' ' || aChar == u'\t' || aChar == u'\n';
}

bool IsDigit(char aChar)
{
    return aChar >= '0' && aChar <= '9';
}

// The text without skipped characters, up to the first character that is not ASCII.
std::string Condensed(const QString& aText)
{
    std::string text;
    for (QChar c : aText)
    {
        if (IsSkipped(c))
            continue;
        if (c.unicode() > 0x7F)
            break;
        text.push_back(char(c.unicode()));
    }
    return text;
}

// aFound tells whether a digit stood there; the value is 0 when none did.
double RadixInteger(const std::string& aText, size_t aPos, int aRadix, bool& aFound)
{
    uint64_t value = 0;
    aFound = false;
    for (; aPos < aText.size(); ++aPos)
    {
        const char c = char(std::toupper(static_cast<unsigned char>(aText[aPos])));
        int digit = IsDigit(c) ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : aRadix);
        if (digit >= aRadix)
            break;
        aFound = true;
        value = value * aRadix + digit;
        if (value > std::numeric_limits<uint32_t>::max())
            CVexilError::RaiseRunError(ERunOverflow);
    }
    return double(value);
}

size_t SkipDigits(const std::string& aText, size_t aPos)
{
    while (aPos < aText.size() && IsDigit(aText[aPos]))
        ++aPos;
    return aPos;
}

double DecimalNumber(const std::string& aText, bool& aFound)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < aText.size() && (aText[pos] == '+' || aText[pos] == '-'))
        negative = aText[pos++] == '-';
    const size_t start = pos;
    pos = SkipDigits(aText, pos);
    size_t digits = pos - start;
    if (pos < aText.size() && aText[pos] == '.')
    {
        const size_t fraction = pos + 1;
        pos = SkipDigits(aText, fraction);
        digits += pos - fraction;
    }
    aFound = digits > 0;
    if (!aFound)
        return 0;
    bool negativeExponent = false;
    if (pos < aText.size() && (aText[pos] == 'E' || aText[pos] == 'e'))
    {
        size_t exponent = pos + 1;
        if (exponent < aText.size() && (aText[exponent] == '+' || aText[exponent] == '-'))
            negativeExponent = aText[exponent++] == '-';
        const size_t end = SkipDigits(aText, exponent);
        if (end > exponent)
            pos = end;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(aText.data() + start, aText.data() + pos, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
    {
        if (!negativeExponent)
            CVexilError::RaiseRunError(ERunOverflow);
        value = 0;
    }
    return negative ? -value : value;
}

// The number at the start of the condensed text; aFound tells whether there was one.
double ScanNumber(const std::string& aText, bool& aFound)
{
    if (aText.size() >= 2 && aText[0] == '&')
    {
        const char radix = char(std::toupper(static_cast<unsigned char>(aText[1])));
        if (radix == 'H')
            return RadixInteger(aText, 2, 16, aFound);
        if (radix == 'O')
            return RadixInteger(aText, 2, 8, aFound);
    }
    return DecimalNumber(aText, aFound);
}
}  // namespace

double CVexilNumText::LeadingNumber(const QString& aText)
{
    bool found = false;
    return ScanNumber(Condensed(aText), found);
}

bool CVexilNumText::StartsWithNumber(const QString& aText)
{
    bool found = false;
    try
    {
        ScanNumber(Condensed(aText), found);
    }
    catch (const CVexilException&)
    {
        // Too large a magnitude: the digits were there.
        return true;
    }
    return found;
}

bool CVexilNumText::LocaleToReal(const QString& aText, double& aValue)
{
    bool ok = false;
    const double value = QLocale().toDouble(aText.trimmed(), &ok);
    if (ok && std::isfinite(value))
    {
        aValue = value;
        return true;
    }
    return false;
}

bool CVexilNumText::RoundToInt32(double aValue, int32_t& aResult)
{
    const double rounded = std::nearbyint(aValue);
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        return false;
    aResult = int32_t(rounded);
    return true;
}

int32_t CVexilNumText::RoundToInt32(double aValue)
{
    int32_t result = 0;
    if (!RoundToInt32(aValue, result))
        CVexilError::RaiseRunError(ERunOverflow);
    return result;
}
