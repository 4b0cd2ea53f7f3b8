#pragma once

#include <QString>

#include <cstdint>

// The three platform conversions that values, utilities and scripts share.
class CVexilNumText
{
public:
    // Reads a number from the start of the text and ignores the rest: blanks, tabs and line
    // feeds are skipped wherever they stand; sign, digits, "." (whatever the locale) and an
    // exponent are read, or a hexadecimal (&H) or octal (&O) integer. No number gives 0.
    // A magnitude beyond the range of a double raises run-time error 6.
    static double LeadingNumber(const QString& aText);
    // Whether LeadingNumber finds a number at all (a digit after the sign or the radix
    // prefix), rather than giving 0 for none. Never raises.
    static bool StartsWithNumber(const QString& aText);
    // The whole text as a number by the user's regional settings; false when it is none.
    static bool LocaleToReal(const QString& aText, double& aValue);
    // Rounds to the nearest integer, halves to even; false when the result does not fit.
    static bool RoundToInt32(double aValue, int32_t& aResult);
    // As RoundToInt32, raising run-time error 6 when the result does not fit.
    static int32_t RoundToInt32(double aValue);
};
