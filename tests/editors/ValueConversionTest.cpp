// Values carried over to a new field type without the window: the reading of filtered number
// texts, and the values the table has no conversion for.

#include "ValueBuild.h"
#include "editors/VexilValueConversion.h"
#include "model/VexilControl.h"

#include <QDate>

#include <gtest/gtest.h>

namespace
{
TEST(ValueConversion, AFilteredTextIsANumberWithOneSeparatorAndALeadingSign)
{
    struct TCase
    {
        const char* Text;
        char Separator;
        bool Number;
        double Value;
    } const cases[] = {
        {"12", '.', true, 12},     {"+7.5", '.', true, 7.5}, {"-7,5", ',', true, -7.5}, {",5", ',', true, 0.5},
        {"5.", '.', true, 5},      {"7.5", ',', false, 0},   {"1.2.3", '.', false, 0},  {"5-", '.', false, 0},
        {"--5", '.', false, 0},    {"-", '.', false, 0},     {"", '.', false, 0},       {".", '.', false, 0},
        {"1+1", '.', false, 0},    {"0007", ',', true, 7},
    };
    for (const TCase& c : cases)
    {
        double value = 0;
        EXPECT_EQ(CVexilValueConversion::ReadNumber(QLatin1String(c.Text), QLatin1Char(c.Separator), value), c.Number)
            << c.Text;
        if (c.Number)
        {
            EXPECT_EQ(value, c.Value) << c.Text;
        }
    }
    double value = 0;
    EXPECT_FALSE(CVexilValueConversion::ReadNumber(QStringLiteral("1") + QString(400, QLatin1Char('0')),
                                                   QLatin1Char('.'), value));
}

TEST(ValueConversion, ValuesTheTableDoesNotCoverAreRefused)
{
    CVexilControl field;
    field.Construct(1, QStringLiteral("Field"), EConTypeText);
    TValue blob;
    blob.iType = EValBlobId;
    blob.iInt = 7;
    struct TCase
    {
        const char* What;
        TValue From;
        int32_t To;
        bool Converted;
        const char* Text;  // the neutral text of the result
    } const cases[] = {
        {"undefined stays undefined", TValue(), EConTypeDate, true, ""},
        {"a picture shows its id", blob, EConTypeText, true, "(Blob 7)"},
        {"a date to Float", Val::Date(QDate(2024, 1, 5)), EConTypeReal, false, ""},
        {"a time to Integer", Val::Time(QTime(12, 0)), EConTypeInteger, false, ""},
        {"a Boolean to Integer", Val::Bool(true), EConTypeInteger, false, ""},
        {"a number to Boolean", Val::Int(1), EConTypeBoolean, false, ""},
        {"a text to Time", Val::Str(QStringLiteral("12:00")), EConTypeTime, false, ""},
        {"a text to Picture", Val::Str(QStringLiteral("7")), EConTypePicture, false, ""},
        {"a real beyond 32 bits to Integer", Val::Real(3e9), EConTypeInteger, false, ""},
        {"a half to Integer", Val::Real(-2.5), EConTypeInteger, true, "-2"},
        {"a text to List", Val::Str(QStringLiteral("x")), EConTypeList, true, "x"},
    };
    for (const TCase& c : cases)
    {
        CVexilValueConversion conversion(field, c.To, QLatin1Char('.'));
        TValue to = Val::Str(QStringLiteral("left over"));
        EXPECT_EQ(conversion.Convert(c.From, to), c.Converted) << c.What;
        EXPECT_EQ(CVexilValue::ValToIntText(to), QLatin1String(c.Text)) << c.What;
    }
}
}  // namespace
