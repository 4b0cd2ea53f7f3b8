#include "AssertAnswers.h"
#include "RaisedError.h"
#include "TestEnv.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
class Field : public IVexilValueField
{
public:
    explicit Field(int32_t aConType, int16_t aDigits = UndefInt) : iConType(aConType), iDigits(aDigits) {}
    int32_t ConType() const override { return iConType; }
    int16_t Digits() const override { return iDigits; }

private:
    int32_t iConType;
    int16_t iDigits;
};

class Obj : public CVexilObject
{
public:
    QString ObjDescr() const override { return QStringLiteral("Obj"); }
};

double Date(int aYear, int aMonth, int aDay)
{
    return CVexilValue::FromQDate(QDate(aYear, aMonth, aDay));
}

double Time(int aHour, int aMinute, int aSecond)
{
    return CVexilValue::FromQTime(QTime(aHour, aMinute, aSecond));
}

TValue Make(int32_t aType)
{
    TValue val;
    val.iType = aType;
    return val;
}

TValue Str(const QString& aText)
{
    TValue val = Make(EValStr);
    val.iStr = aText;
    return val;
}

TValue Int(int32_t aInt, int32_t aType = EValInt)
{
    TValue val = Make(aType);
    val.iInt = aInt;
    return val;
}

TValue Real(double aReal)
{
    TValue val = Make(EValReal);
    val.iReal = aReal;
    return val;
}

const QLocale* const kDot = &kDotLocale;
const QLocale* const kComma = &kCommaLocale;
}  // namespace

TEST(NumText, LeadingNumber)
{
    const struct
    {
        const char* Text;
        double Value;
    } cases[] = {
        {"42", 42},          {"  12 34abc", 1234},  {"-1.5e2x", -150},   {"+.5", 0.5},   {"1.2.3", 1.2},
        {"1,5", 1},          {"1e", 1},             {"1e+", 1},          {"2E-3", 0.002}, {"\t\n7", 7},
        {"\r7", 0},          {"", 0},               {"abc", 0},          {"+-1", 0},      {"- 5", -5},
        {"&HFF", 255},       {"&hff", 255},         {"&O17", 15},        {"&o78", 7},     {"&Hzz", 0},
        {"&H", 0},           {"1e-400", 0},         {"0.000000001", 1e-9},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CVexilNumText::LeadingNumber(QString::fromLatin1(c.Text)), c.Value) << c.Text;
    EXPECT_EQ(RaisedError([] { CVexilNumText::LeadingNumber(QStringLiteral("1e400")); }), ERunOverflow);
    EXPECT_EQ(RaisedError([] { CVexilNumText::LeadingNumber(QStringLiteral("&H100000000")); }), ERunOverflow);
}

TEST(NumText, StartsWithNumberTellsAZeroReadFromNoNumber)
{
    const struct
    {
        const char* Text;
        bool Found;
    } cases[] = {
        {"0", true},      {"-0.0", true},  {" 0abc", true}, {"1e-400", true}, {"1e400", true},  {"&H100000000", true},
        {"&H0", true},    {"&o7", true},   {".5", true},    {"- 5", true},    {"", false},      {"abc", false},
        {"+-1", false},   {".", false},    {"-", false},    {"e5", false},    {"\r7", false},  {"&Hzz", false},
        {"&H", false},    {"&O8", false},  {"\u00bd", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilNumText::StartsWithNumber(QString::fromUtf8(c.Text)), c.Found) << c.Text;
}

TEST(NumText, RoundingGoesHalfToEvenWithinThirtyTwoBits)
{
    const struct
    {
        double Value;
        int32_t Result;
    } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {0.5, 0}, {1.5, 2},
        {2147483647.4, 2147483647}, {-2147483648.5, std::numeric_limits<int32_t>::min()},
    };
    for (const auto& c : cases)
    {
        int32_t result = 7;
        EXPECT_TRUE(CVexilNumText::RoundToInt32(c.Value, result)) << c.Value;
        EXPECT_EQ(result, c.Result) << c.Value;
    }
    for (double bad : {2147483647.5, -2147483649.0, 1e20, std::nan("")})
    {
        int32_t result = 7;
        EXPECT_FALSE(CVexilNumText::RoundToInt32(bad, result)) << bad;
        EXPECT_EQ(result, 7);
        EXPECT_EQ(RaisedError([bad] { CVexilNumText::RoundToInt32(bad); }), ERunOverflow) << bad;
    }
}

TEST(Value, TypeStrAndConToValType)
{
    const struct
    {
        int32_t Type;
        const char* Name;
    } names[] = {
        {EValUndef, "Undefined"}, {EValStr, "String"},         {EValInt, "Integer"},   {EValReal, "Real"},
        {EValDate, "Date"},       {EValTime, "Time"},          {EValBool, "Boolean"},  {EValBlobId, "Blob id"},
        {EValIntPair, "Integer pair"}, {EValCard, "Card"},     {EValControl, "Control"},
        {EValControlSet, "Control set"}, {EValSortKey, "Sort key"}, {EValArray, "Array"}, {EValBlob, "Blob"},
        {1, ""},                  {106, ""},
    };
    for (const auto& c : names)
        EXPECT_EQ(CVexilValue::TypeStr(c.Type), QString::fromLatin1(c.Name)) << c.Type;

    const struct
    {
        int32_t ConType;
        int32_t ValType;
    } types[] = {
        {EConTypeText, EValStr}, {EConTypeInteger, EValInt}, {EConTypeReal, EValReal}, {EConTypeDate, EValDate},
        {EConTypeTime, EValTime}, {EConTypeBoolean, EValBool}, {EConTypeList, EValStr}, {EConTypePicture, EValBlobId},
    };
    for (const auto& c : types)
        EXPECT_EQ(CVexilValue::ConToValType(c.ConType), c.ValType) << c.ConType;

    IgnoredAssert check(QStringLiteral("ConToValType type"));
    EXPECT_EQ(CVexilValue::ConToValType(EConTypeCommand), EValUndef);
}

TEST(Value, IntToDateCarriesOutOfRangeParts)
{
    const struct
    {
        int32_t IntDate;
        QDate Date;
    } cases[] = {
        {UndefLong, {1980, 1, 1}},      {20240105, {2024, 1, 5}},   {20241301, {2025, 1, 1}},
        {20240300, {2024, 2, 29}},     {20230229, {2023, 3, 1}},   {20240132, {2024, 2, 1}},
        {18991230, {1899, 12, 30}},    {99991231, {9999, 12, 31}}, {1000101, {100, 1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilValue::ToQDate(CVexilValue::IntToDate(c.IntDate)), c.Date) << c.IntDate;
    EXPECT_DOUBLE_EQ(CVexilValue::IntToDate(18991230), 0);
    EXPECT_DOUBLE_EQ(CVexilValue::IntToDate(18991229), -1);
    EXPECT_EQ(RaisedError([] { CVexilValue::IntToDate(100000101); }), ERunInvalidCall);
    EXPECT_EQ(RaisedError([] { CVexilValue::IntToDate(99991232); }), ERunInvalidCall);
    EXPECT_EQ(RaisedError([] { CVexilValue::IntToDate(-20240101); }), ERunInvalidCall);
}

TEST(Value, IntToTimeAndBack)
{
    EXPECT_DOUBLE_EQ(CVexilValue::IntToTime(UndefLong), 0);
    EXPECT_DOUBLE_EQ(CVexilValue::IntToTime(5), 5.0 / 86400);
    EXPECT_DOUBLE_EQ(CVexilValue::IntToTime(143005), Time(14, 30, 5));
    EXPECT_DOUBLE_EQ(CVexilValue::IntToTime(6000), Time(1, 0, 0));       // 60 minutes carry
    EXPECT_DOUBLE_EQ(CVexilValue::IntToTime(250000), 1 + 1.0 / 24);      // into the next day
    EXPECT_EQ(CVexilValue::TimeToInt(CVexilValue::IntToTime(250000)), 10000);

    EXPECT_EQ(CVexilValue::TimeToInt(Time(0, 0, 5)), 5);
    EXPECT_EQ(CVexilValue::TimeToInt(Time(23, 59, 59)), 235959);
    // A date part does not count, and the nearest second does.
    EXPECT_EQ(CVexilValue::TimeToInt(Date(2024, 1, 5) + Time(8, 1, 2) + 0.4 / 86400), 80102);
    EXPECT_EQ(CVexilValue::DateToInt(Date(2024, 1, 5) + Time(23, 0, 0)), 20240105);
    EXPECT_EQ(CVexilValue::DateToInt(Date(1899, 12, 29) - Time(6, 0, 0)), 18991229);
    EXPECT_EQ(CVexilValue::TimeToInt(Date(1899, 12, 29) - Time(6, 0, 0)), 60000);
    EXPECT_EQ(RaisedError([] { CVexilValue::DateToInt(1e12); }), ERunOverflow);
    EXPECT_EQ(RaisedError([] { CVexilValue::DateToInt(std::nan("")); }), ERunOverflow);
    EXPECT_EQ(RaisedError([] { CVexilValue::TimeToInt(-1e12); }), ERunOverflow);
}

TEST(Value, Equal)
{
    auto card = std::make_shared<Obj>();
    TValue cardA = Make(EValCard);
    cardA.iObj = card;
    TValue cardB = Make(EValCard);
    cardB.iObj = std::make_shared<Obj>();
    TValue leftover = Str(QStringLiteral("x"));
    leftover.iType = EValInt;  // only the field of the type counts
    TValue pairA = Make(EValIntPair);
    TValue pairB = Make(EValIntPair);
    const struct
    {
        TValue A;
        TValue B;
        bool Equal;
    } cases[] = {
        {TValue(), TValue(), true},
        {TValue(), Str(QString()), false},
        {Str(QString()), TValue(), false},
        {Str(QStringLiteral("abc")), Str(QStringLiteral("abc")), true},
        {Str(QStringLiteral("abc")), Str(QStringLiteral("ABC")), false},
        {Int(3), Int(3), true},
        {Int(3), leftover, false},
        {Int(0), leftover, true},
        {Int(7, EValBlobId), Int(7, EValBlobId), true},
        {Real(0.5), Real(0.5), true},
        {cardA, cardA, true},
        {cardA, cardB, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilValue::Equal(c.A, c.B), c.Equal) << c.A.iType << " " << c.B.iType;

    {
        IgnoredAssert check(QStringLiteral("Equal type"));
        EXPECT_FALSE(CVexilValue::Equal(pairA, pairB));
    }
    IgnoredAssert check(QStringLiteral("Equal type"));
    EXPECT_TRUE(CVexilValue::Equal(Int(0), Real(0)));  // compared by the first one's type when allowed to go on
}

TEST(Value, DisplayTextOfReals)
{
    const struct
    {
        const QLocale* Locale;
        double Value;
        int16_t Digits;
        const char* Text;
    } cases[] = {
        {kDot, 1234.5, 2, "1,234.50"},
        {kDot, 1234.5, 0, "1,235."},
        {kDot, 0.125, UndefInt, "0.125"},
        {kDot, 3, UndefInt, "3."},
        {kDot, -1234567.24, 1, "-1,234,567.2"},
        {kDot, 0.123456789, UndefInt, "0.12345679"},
        {kDot, 1e14, 0, "100,000,000,000,000."},           // exactly 1e14 takes the pattern
        {kDot, 100000000000001.0, 2, "100000000000001"},  // above it the general text
        {kDot, 1.5e15, 2, "1.5E+15"},
        {kDot, -2e20, UndefInt, "-2E+20"},
        {kComma, 1234.5, 2, "1.234,50"},
        {kComma, 1234.5, 0, "1.235,"},
        {kComma, 0.125, UndefInt, "0,125"},
        {kComma, 3, UndefInt, "3,"},
        {kComma, 1.5e15, 2, "1,5E+15"},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        EXPECT_EQ(CVexilValue::ValToExtText(Real(c.Value), Field(EConTypeReal, c.Digits)), QString::fromLatin1(c.Text))
            << c.Locale->name().toStdString() << " " << c.Value;
    }
}

TEST(Value, DisplayTextOfOtherTypes)
{
    TValue date = Make(EValDate);
    date.iDate = Date(2024, 1, 5) + Time(13, 0, 0);
    TValue time = Make(EValTime);
    time.iTime = Date(2024, 1, 5) + Time(14, 30, 5);
    TValue yes = Make(EValBool);
    yes.iBool = true;
    TValue card = Make(EValCard);
    card.iObj = std::make_shared<Obj>();
    const Field text(EConTypeText);
    const struct
    {
        const QLocale* Locale;
        TValue Val;
        const char* Text;
    } cases[] = {
        {kDot, TValue(), ""},
        {kDot, Str(QStringLiteral(" a ")), " a "},
        {kDot, Int(-40000), "-40000"},
        {kDot, date, "1/5/2024"},
        {kDot, time, "2:30:05 PM"},
        {kDot, yes, "T"},
        {kDot, Make(EValBool), "F"},
        {kDot, Int(7, EValBlobId), "(Blob 7)"},
        {kDot, card, "(Object)"},
        {kComma, Int(40000), "40000"},
        {kComma, date, "05.01.2024"},
        {kComma, time, "14:30:05"},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        EXPECT_EQ(CVexilValue::ValToExtText(c.Val, text), QString::fromLatin1(c.Text)) << c.Text;
    }
    IgnoredAssert check(QStringLiteral("ValToExtText type"));
    EXPECT_EQ(CVexilValue::ValToExtText(Make(EValIntPair), text), QString());
}

TEST(Value, NeutralText)
{
    TValue date = Make(EValDate);
    date.iDate = Date(2024, 1, 5) + Time(13, 0, 0);
    TValue time = Make(EValTime);
    time.iTime = Time(0, 0, 5);
    TValue yes = Make(EValBool);
    yes.iBool = true;
    TValue card = Make(EValCard);
    card.iObj = std::make_shared<Obj>();
    const struct
    {
        TValue Val;
        const char* Text;
    } cases[] = {
        {TValue(), ""},         {Str(QStringLiteral("a b")), "a b"}, {Int(-12), "-12"},
        {Real(1234.5), "1234.5"}, {Real(0.5), "0.5"},                 {Real(-3), "-3"},
        {Real(1e15), "1E+15"},  {Real(1e-5), "1E-05"},               {Real(0.1 + 0.2), "0.3"},
        {date, "20240105"},     {time, "5"},                         {yes, "-1"},
        {Make(EValBool), "0"},  {Int(7, EValBlobId), "(Blob 7)"},    {card, "(Object)"},
    };
    for (const QLocale* locale : {kDot, kComma})
    {
        LocaleScope scope(*locale);
        for (const auto& c : cases)
            EXPECT_EQ(CVexilValue::ValToIntText(c.Val), QString::fromLatin1(c.Text)) << c.Text;
    }
    IgnoredAssert check(QStringLiteral("ValToIntText type"));
    EXPECT_EQ(CVexilValue::ValToIntText(Make(EValIntPair)), QString());
}

TEST(Value, DisplayTextToIntegers)
{
    const struct
    {
        const QLocale* Locale;
        const char* Text;
        int32_t Int;
    } cases[] = {
        {kDot, "40000", 40000},
        {kDot, "40,000", 40000},  // group separators are read whatever the value
        {kDot, "4,000", 4000},
        {kDot, "-1,234,567", -1234567},
        {kDot, " 12 ", 12},
        {kDot, "12abc", 12},      // no number as a whole: the leading number stands
        {kDot, "abc", 0},
        {kDot, "2.5", 2},
        {kDot, "3.5", 4},
        {kDot, "1e3", 1000},
        {kDot, "2147483647", 2147483647},
        {kDot, "3000000000", 0},  // beyond 32 bits: as unreadable as no number
        {kDot, "3,000,000,000", 0},
        {kDot, "-2147483649", 0},
        {kDot, "\t", 0},
        {kComma, "40.000", 40000},
        {kComma, "40,000", 40},
        {kComma, "2,5", 2},
    };
    const Field field(EConTypeInteger);
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        const TValue val = CVexilValue::ExtTextToVal(QString::fromLatin1(c.Text), field);
        EXPECT_EQ(val.iType, EValInt) << c.Text;
        EXPECT_EQ(val.iInt, c.Int) << c.Locale->name().toStdString() << " " << c.Text;
    }
}

TEST(Value, DisplayTextToReals)
{
    const struct
    {
        const QLocale* Locale;
        const char* Text;
        int16_t Digits;
        double Real;
    } cases[] = {
        {kDot, "1,234.567", 2, 1234.57},
        {kDot, "1234.567", UndefInt, 1234.567},
        {kDot, "2.5", 0, 2},
        {kDot, "3.5", 0, 4},
        {kDot, "0.125", 2, 0.12},
        {kDot, "-0.375", 2, -0.38},
        {kDot, "12abc", 0, 12},
        {kDot, "1.5abc", 0, 1.5},      // the leading number is not rounded
        {kDot, "1e400", 2, 0},         // an overflow leaves the value 0
        {kComma, "2.5", 0, 2.5},       // the locale cannot read it: the leading number stands
        {kComma, "2,5", 0, 2},
        {kComma, "1.234,5", UndefInt, 1234.5},
        {kComma, "1,005", 1, 1.0},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        const TValue val = CVexilValue::ExtTextToVal(QString::fromLatin1(c.Text), Field(EConTypeReal, c.Digits));
        EXPECT_EQ(val.iType, EValReal) << c.Text;
        EXPECT_DOUBLE_EQ(val.iReal, c.Real) << c.Locale->name().toStdString() << " " << c.Text;
    }
}

TEST(Value, DisplayTextToDatesAndTimes)
{
    const double fallBackDate = Date(1980, 1, 1);
    const struct
    {
        const QLocale* Locale;
        int32_t ConType;
        const char* Text;
        double Value;
    } cases[] = {
        {kDot, EConTypeDate, "1/5/2024", Date(2024, 1, 5)},
        {kDot, EConTypeDate, "01/05/2024", Date(2024, 1, 5)},
        {kDot, EConTypeDate, "1/5/24", Date(2024, 1, 5)},
        {kDot, EConTypeDate, "12/31/99", Date(1999, 12, 31)},
        {kDot, EConTypeDate, "1/5/2024 2:30 PM", Date(2024, 1, 5) + Time(14, 30, 0)},  // the time is kept
        {kDot, EConTypeDate, "2024-01-05", Date(2024, 1, 5)},
        {kDot, EConTypeDate, "no date", fallBackDate},
        {kDot, EConTypeDate, "2/30/2024", fallBackDate},
        {kDot, EConTypeTime, "2:30:05 PM", Time(14, 30, 5)},
        {kDot, EConTypeTime, "14:30", Time(14, 30, 0)},
        {kDot, EConTypeTime, "2:30 am", Time(2, 30, 0)},
        {kDot, EConTypeTime, "25:00", 0},
        {kDot, EConTypeTime, "later", 0},
        {kComma, EConTypeDate, "05.01.2024", Date(2024, 1, 5)},
        {kComma, EConTypeDate, "5.1.24", Date(2024, 1, 5)},
        {kComma, EConTypeDate, "1/5/2024", fallBackDate},
        {kComma, EConTypeTime, "14:30:05", Time(14, 30, 5)},
        {kComma, EConTypeTime, "9:05", Time(9, 5, 0)},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        const TValue val = CVexilValue::ExtTextToVal(QString::fromLatin1(c.Text), Field(c.ConType));
        const bool isDate = c.ConType == EConTypeDate;
        EXPECT_EQ(val.iType, isDate ? EValDate : EValTime) << c.Text;
        EXPECT_NEAR(isDate ? val.iDate : val.iTime, c.Value, 1e-9) << c.Locale->name().toStdString() << " " << c.Text;
    }
}

// Only a text that is not blank and yields nothing of the field's type is unreadable; a
// readable start, a number out of range and a date with a time are read as before.
TEST(Value, ReadableDisplayTextsHoldANumberDateOrTimeOfTheFieldsType)
{
    const struct
    {
        const QLocale* Locale;
        int32_t ConType;
        const char* Text;
        bool Readable;
    } cases[] = {
        {kDot, EConTypeInteger, "abc", false},
        {kDot, EConTypeInteger, "12abc", true},
        {kDot, EConTypeInteger, "", true},
        {kDot, EConTypeInteger, "   ", true},
        {kDot, EConTypeInteger, "\t", false},
        {kDot, EConTypeInteger, "-", false},
        {kDot, EConTypeInteger, "&Hzz", false},
        {kDot, EConTypeInteger, "&HFF", true},
        {kDot, EConTypeInteger, "0", true},
        {kDot, EConTypeInteger, "3,000,000,000", false},
        {kDot, EConTypeInteger, "2,147,483,647", true},
        {kDot, EConTypeInteger, "99999999999abc", false},
        {kComma, EConTypeInteger, "40.000", true},
        {kDot, EConTypeReal, "x1.5", false},
        {kDot, EConTypeReal, ".5", true},
        {kDot, EConTypeReal, "1e400", false},
        {kDot, EConTypeReal, "1e300", true},
        {kComma, EConTypeReal, "1.234,5", true},
        {kDot, EConTypeDate, "1/5/2024", true},
        {kDot, EConTypeDate, "1/5/2024 2:30 PM", true},
        {kDot, EConTypeDate, "12abc", false},
        {kDot, EConTypeDate, "2/30/2024", false},
        {kComma, EConTypeDate, "1/5/2024", false},
        {kComma, EConTypeDate, "05.01.2024", true},
        {kDot, EConTypeTime, "14:30", true},
        {kDot, EConTypeTime, "later", false},
        {kDot, EConTypeTime, "25:00", false},
        {kDot, EConTypeTime, " ", true},
        {kDot, EConTypeText, "abc", true},
        {kDot, EConTypeBoolean, "abc", true},
        {kDot, EConTypeList, "abc", true},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        EXPECT_EQ(CVexilValue::ExtTextReadable(QString::fromLatin1(c.Text), Field(c.ConType)), c.Readable)
            << c.Locale->name().toStdString() << " " << c.ConType << " " << c.Text;
    }
}

TEST(Value, DisplayTextOfOtherFields)
{
    const struct
    {
        int32_t ConType;
        const char* Text;
        int32_t Type;
        bool Bool;
    } cases[] = {
        {EConTypeBoolean, "T", EValBool, true},   {EConTypeBoolean, "t", EValBool, false},
        {EConTypeBoolean, "True", EValBool, false}, {EConTypeBoolean, "   ", EValUndef, false},
        {EConTypeText, "   ", EValUndef, false},  {EConTypeInteger, "", EValUndef, false},
        {EConTypeText, " x\t", EValStr, false},   {EConTypeList, "a\r\nb", EValStr, false},
    };
    for (const auto& c : cases)
    {
        const TValue val = CVexilValue::ExtTextToVal(QString::fromLatin1(c.Text), Field(c.ConType));
        EXPECT_EQ(val.iType, c.Type) << c.Text;
        EXPECT_EQ(val.iBool, c.Bool) << c.Text;
        if (c.Type == EValStr)
        {
            EXPECT_EQ(val.iStr, QString::fromLatin1(c.Text));
        }
    }
    IgnoredAssert check(QStringLiteral("ExtTextToVal type"));
    EXPECT_EQ(CVexilValue::ExtTextToVal(QStringLiteral("7"), Field(EConTypePicture)).iType, EValBlobId);
}

TEST(Value, DisplayTextReadsBack)
{
    TValue date = Make(EValDate);
    date.iDate = Date(2031, 12, 24);
    TValue time = Make(EValTime);
    time.iTime = Time(23, 59, 58);
    const struct
    {
        TValue Val;
        int32_t ConType;
        int16_t Digits;
    } cases[] = {
        {Real(-1234567.5), EConTypeReal, 1}, {Real(0.00012345), EConTypeReal, UndefInt}, {Real(42), EConTypeReal, 0},
        {Int(-2000000000), EConTypeInteger, UndefInt}, {date, EConTypeDate, UndefInt}, {time, EConTypeTime, UndefInt},
    };
    for (const QLocale* locale : {kDot, kComma})
    {
        LocaleScope scope(*locale);
        for (const auto& c : cases)
        {
            const Field field(c.ConType, c.Digits);
            const QString text = CVexilValue::ValToExtText(c.Val, field);
            EXPECT_TRUE(CVexilValue::Equal(CVexilValue::ExtTextToVal(text, field), c.Val))
                << locale->name().toStdString() << " " << text.toStdString();
        }
    }
}

TEST(Value, NeutralTextToValues)
{
    const struct
    {
        int32_t ConType;
        const char* Text;
        int32_t Type;
        double Number;  // iInt, iReal, iDate or iTime by type
        bool Bool;
    } cases[] = {
        {EConTypeInteger, "42", EValInt, 42, false},
        {EConTypeInteger, "-7.5", EValInt, -8, false},
        {EConTypeInteger, "3000000000", EValInt, 0, false},
        {EConTypeInteger, "1,234", EValInt, 1, false},
        {EConTypeReal, "1234.5", EValReal, 1234.5, false},
        {EConTypeReal, "1E+15", EValReal, 1e15, false},
        {EConTypeReal, "1e999", EValReal, 0, false},
        {EConTypeDate, "20240105", EValDate, Date(2024, 1, 5), false},
        {EConTypeDate, "99999999", EValDate, 0, false},  // beyond the date range: left at 0
        {EConTypeTime, "5", EValTime, Time(0, 0, 5), false},
        {EConTypeTime, "143005", EValTime, Time(14, 30, 5), false},
        {EConTypeBoolean, "-1", EValBool, 0, true},
        {EConTypeBoolean, "1", EValBool, 0, false},
        {EConTypeBoolean, "T", EValBool, 0, false},
        {EConTypeInteger, "  ", EValUndef, 0, false},
    };
    for (const QLocale* locale : {kDot, kComma})
    {
        LocaleScope scope(*locale);
        for (const auto& c : cases)
        {
            const TValue val = CVexilValue::IntTextToVal(QString::fromLatin1(c.Text), Field(c.ConType));
            EXPECT_EQ(val.iType, c.Type) << c.Text;
            EXPECT_EQ(val.iBool, c.Bool) << c.Text;
            const double number = c.Type == EValInt    ? val.iInt
                                  : c.Type == EValReal ? val.iReal
                                  : c.Type == EValDate ? val.iDate
                                                       : val.iTime;
            EXPECT_NEAR(number, c.Number, 1e-9) << c.Text;
        }
    }
    const TValue text = CVexilValue::IntTextToVal(QStringLiteral(" a "), Field(EConTypeText));
    EXPECT_EQ(text.iStr, QStringLiteral(" a "));
    IgnoredAssert check(QStringLiteral("IntTextToVal type"));
    CVexilValue::IntTextToVal(QStringLiteral("3"), Field(EConTypePicture));
}

TEST(Value, NeutralTextReadsBack)
{
    TValue date = Make(EValDate);
    date.iDate = Date(1900, 2, 28);
    TValue time = Make(EValTime);
    time.iTime = Time(0, 0, 5);
    const struct
    {
        TValue Val;
        int32_t ConType;
    } cases[] = {
        {Real(0.1 + 0.2), EConTypeReal},   {Real(-1.25e-7), EConTypeReal}, {Real(123456789012345.0), EConTypeReal},
        {Int(-2147483647 - 1), EConTypeInteger}, {date, EConTypeDate}, {time, EConTypeTime},
    };
    for (const QLocale* locale : {kDot, kComma})
    {
        LocaleScope scope(*locale);
        for (const auto& c : cases)
        {
            const Field field(c.ConType);
            const TValue back = CVexilValue::IntTextToVal(CVexilValue::ValToIntText(c.Val), field);
            EXPECT_EQ(back.iType, c.Val.iType);
            if (c.ConType == EConTypeReal)
            {
                EXPECT_NEAR(back.iReal, c.Val.iReal, std::fabs(c.Val.iReal) * 1e-14);
            }
            else
            {
                EXPECT_TRUE(CVexilValue::Equal(back, c.Val)) << CVexilValue::ValToIntText(c.Val).toStdString();
            }
        }
    }
}

TEST(Value, StrToValAndEnsureStr)
{
    EXPECT_EQ(CVexilValue::StrToVal(QString()).iType, EValUndef);
    const TValue blanks = CVexilValue::StrToVal(QStringLiteral("   "));
    EXPECT_EQ(blanks.iType, EValStr);
    EXPECT_EQ(blanks.iStr, QStringLiteral("   "));

    TValue undef;
    undef.iStr = QStringLiteral("leftover");
    CVexilValue::EnsureStr(undef);
    EXPECT_EQ(undef.iType, EValStr);
    EXPECT_EQ(undef.iStr, QString());
    TValue number = Int(3);
    CVexilValue::EnsureStr(number);
    EXPECT_EQ(number.iType, EValInt);
}

TEST(Value, ToIntAndToReal)
{
    const struct
    {
        const QLocale* Locale;
        TValue Val;
        int32_t Int;
        double Real;
    } cases[] = {
        {kDot, Str(QStringLiteral("1,234")), 1234, 1234},
        {kDot, Str(QStringLiteral(" 2.5 ")), 2, 2.5},
        {kDot, Str(QStringLiteral("3.5")), 4, 3.5},
        {kComma, Str(QStringLiteral("3,5")), 4, 3.5},
        {kDot, Int(-9), -9, -9},
        {kDot, Real(-2.5), -2, -2.5},
    };
    for (const auto& c : cases)
    {
        LocaleScope locale(*c.Locale);
        EXPECT_EQ(CVexilValue::ToInt(c.Val), c.Int) << c.Val.iStr.toStdString();
        EXPECT_DOUBLE_EQ(CVexilValue::ToReal(c.Val), c.Real) << c.Val.iStr.toStdString();
    }

    const int32_t typeMismatch = 13;
    EXPECT_EQ(RaisedError([] { CVexilValue::ToInt(Str(QStringLiteral("12abc"))); }), typeMismatch);
    EXPECT_EQ(RaisedError([] { CVexilValue::ToReal(Str(QString())); }), typeMismatch);
    EXPECT_EQ(RaisedError([] { CVexilValue::ToInt(Str(QStringLiteral("3000000000"))); }), ERunOverflow);
    EXPECT_EQ(RaisedError([] { CVexilValue::ToInt(Real(1e10)); }), ERunOverflow);
    {
        IgnoredAssert check(QStringLiteral("ToInt aVal.iType"));
        EXPECT_EQ(CVexilValue::ToInt(Make(EValBool)), 0);
    }
    IgnoredAssert check(QStringLiteral("ToReal aVal.iType"));
    EXPECT_EQ(CVexilValue::ToReal(Make(EValDate)), 0);
}

TEST(Value, ConvertFillsTheTargetsType)
{
    TValue to = Make(EValStr);
    to.iInt = 99;
    CVexilValue::Convert(Real(1234.5), Field(EConTypeReal, 2), to);
    EXPECT_EQ(to.iStr, QStringLiteral("1,234.50"));
    EXPECT_EQ(to.iInt, 99);  // other fields stay

    to.iType = EValInt;
    CVexilValue::Convert(Str(QStringLiteral("1,500")), Field(EConTypeText), to);
    EXPECT_EQ(to.iInt, 1500);
    EXPECT_EQ(to.iStr, QStringLiteral("1,234.50"));

    to.iType = EValReal;
    CVexilValue::Convert(Int(7), Field(EConTypeInteger), to);
    EXPECT_DOUBLE_EQ(to.iReal, 7);

    to.iType = EValBool;
    CVexilValue::Convert(Str(QStringLiteral("T")), Field(EConTypeText), to);
    EXPECT_TRUE(to.iBool);
    CVexilValue::Convert(Str(QStringLiteral("true")), Field(EConTypeText), to);
    EXPECT_FALSE(to.iBool);

    EXPECT_EQ(RaisedError([&] {
                  to.iType = EValInt;
                  CVexilValue::Convert(Str(QStringLiteral("x")), Field(EConTypeText), to);
              }),
              13);
    {
        IgnoredAssert check(QStringLiteral("Convert FromType Str"));
        to.iType = EValBool;
        CVexilValue::Convert(Int(1), Field(EConTypeInteger), to);
    }
    IgnoredAssert check(QStringLiteral("Convert aTo.iType"));
    TValue date = Make(EValDate);
    date.iDate = 5;
    CVexilValue::Convert(Str(QStringLiteral("1/1/2020")), Field(EConTypeText), date);
    EXPECT_EQ(date.iDate, 5);
}

TEST(Value, SetZeroAndCopy)
{
    TValue val = Str(QStringLiteral("x"));
    CVexilValue::SetZero(val, EValStr, 0, 0);
    EXPECT_EQ(val.iStr, QString());
    CVexilValue::SetZero(val, EValDate, 123, 0.5);
    EXPECT_EQ(val.iType, EValDate);
    EXPECT_EQ(val.iDate, 123);
    CVexilValue::SetZero(val, EValTime, 123, 0.5);
    EXPECT_EQ(val.iTime, 0.5);
    val.iBool = true;
    CVexilValue::SetZero(val, EValBool, 0, 0);
    EXPECT_FALSE(val.iBool);
    {
        IgnoredAssert check(QStringLiteral("SetZero type"));
        CVexilValue::SetZero(val, EValUndef, 0, 0);
        EXPECT_EQ(val.iType, EValUndef);
    }

    TValue pair = Make(EValIntPair);
    pair.iInt0 = 3;
    pair.iInt1 = 4;
    pair.iStr = QStringLiteral("not copied");
    TValue to = Str(QStringLiteral("kept"));
    CVexilValue::Copy(pair, to);
    EXPECT_EQ(to.iType, EValIntPair);
    EXPECT_EQ(to.iInt0, 3);
    EXPECT_EQ(to.iInt1, 4);
    EXPECT_EQ(to.iStr, QStringLiteral("kept"));

    TValue card = Make(EValCard);
    card.iObj = std::make_shared<Obj>();
    CVexilValue::Copy(card, to);
    EXPECT_EQ(to.iObj, card.iObj);  // shared, not duplicated

    CVexilValue::Copy(TValue(), to);
    EXPECT_EQ(to.iType, EValUndef);
    EXPECT_EQ(to.iObj, card.iObj);

    IgnoredAssert check(QStringLiteral("Copy type"));
    CVexilValue::Copy(Make(3), to);
    EXPECT_EQ(to.iType, 3);
}
