// Column samples through the whole detection: the type a column gets, its decimal separator,
// and the values its cards receive (in the neutral text form), in a dot and a comma locale.

#include "CsvFixture.h"

#include "QStringPrinter.h"

#include "foundation/VexilValue.h"

struct TColumnCase
{
    const char* Name;
    QStringList Items;       // one line each, under the header "A", as written in the file
    int32_t Type;
    QStringList Values;      // neutral texts of the imported values
};

class CsvColumnTest : public CsvFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void Check(const TColumnCase& aCase)
    {
        SCOPED_TRACE(aCase.Name);
        const TStackRef stack = Import(("A\r\n" + aCase.Items.join(QStringLiteral("\r\n")) + "\r\n").toLatin1());
        ASSERT_TRUE(stack);
        const TControlRef field = Fields(*FirstBackground(*stack)).at(0);
        EXPECT_EQ(field->ConType(), aCase.Type);
        QStringList values;
        for (const TValue& val : Values(*stack, *field))
            values << CVexilValue::ValToIntText(val);
        EXPECT_EQ(values, aCase.Values);
    }
};

// The same in every locale: the separators are read from the column, not from the locale.
TEST_P(CsvColumnTest, TypesAndValuesOfColumnSamples)
{
    const LocaleScope locale(GetParam() ? kCommaLocale : kDotLocale);
    const TColumnCase cases[] = {
        {"dotted thousands", {"1.000", "25.300", "7.500"}, EConTypeInteger, {"1000", "25300", "7500"}},
        {"comma thousands", {"\"1,000\"", "\"25,300\""}, EConTypeInteger, {"1000", "25300"}},
        {"dot decimals", {"1.5", "2.25"}, EConTypeReal, {"1.5", "2.25"}},
        {"comma decimals", {"\"1,5\"", "\"2,25\""}, EConTypeReal, {"1.5", "2.25"}},
        {"dot 1 + 2 decimals", {"1.5", "2.50"}, EConTypeReal, {"1.5", "2.5"}},
        {"dot 2 + 4 decimals", {"1.50", "2.5000"}, EConTypeInteger, {"150", "25000"}},
        {"grouped real", {"\"1,234.5\"", "7.25"}, EConTypeReal, {"1234.5", "7.25"}},
        {"lower-case letters", {"abc1", "2"}, EConTypeText, {"abc1", "2"}},
        {"capital letters", {"ABC1", "2"}, EConTypeText, {"ABC1", "2"}},
        {"units", {"12 kg", "3 kg"}, EConTypeText, {"12 kg", "3 kg"}},
        {"accented letters", {QStringLiteral("é1"), "2"}, EConTypeText, {QStringLiteral("é1"), "2"}},
        {"Boolean words", {"Y", "n", "TRUE", ""}, EConTypeBoolean, {"-1", "0", "-1", "0"}},
        {"blank Boolean item", {"Y", "\"  \"", "n"}, EConTypeBoolean, {"-1", "", "0"}},
        {"Boolean and digit", {"Y", "1"}, EConTypeText, {"Y", "1"}},
        {"blanks", {"\"  \"", ""}, EConTypeText, {"", ""}},
        {"times", {"12:30", "08:15"}, EConTypeTime, {"123000", "81500"}},
        {"midnight", {"00:00", "12:30"}, EConTypeInteger, {"0", "1230"}},
        {"short time", {"12:30", "8:15"}, EConTypeInteger, {"1230", "815"}},
        {"digits", {"1234", "-5", "+7"}, EConTypeInteger, {"1234", "-5", "7"}},
        {"beyond 32 bits", {"1", "99999999999"}, EConTypeText, {"1", "99999999999"}},
    };
    for (const TColumnCase& c : cases)
        Check(c);
}

TEST_P(CsvColumnTest, DatesOfTheLocale)
{
    const bool comma = GetParam();
    const LocaleScope locale(comma ? kCommaLocale : kDotLocale);
    const QString may17 = comma ? QStringLiteral("17.05.2023") : QStringLiteral("5/17/2023");
    const QString june1 = comma ? QStringLiteral("01.06.2024") : QStringLiteral("6/1/2024");
    Check({"short dates", {may17, june1, "\"  \""}, EConTypeDate, {"20230517", "20240601", ""}});
    // A date before 1899-12-30 counts as no date, so the column is not Date.
    const QString old = comma ? QStringLiteral("17.05.1850") : QStringLiteral("5/17/1850");
    const TStackRef stack = Import(("A\r\n" + may17 + "\r\n" + old + "\r\n").toUtf8());
    EXPECT_NE(Fields(*FirstBackground(*stack)).at(0)->ConType(), EConTypeDate);
}

INSTANTIATE_TEST_SUITE_P(Locales, CsvColumnTest, ::testing::Values(false, true),
                         [](const auto& aInfo) { return aInfo.param ? "Comma" : "Dot"; });

using CsvDetectionTest = CsvFixture;

// An item a line lacks reads as "": a short line or a blank last line breaks no rule.
TEST_F(CsvDetectionTest, ShortLinesCountTheirMissingItemsAsEmpty)
{
    const TStackRef stack = Import("A,B,C\r\nY,5/17/2023,12:30\r\nN\r\nT,6/1/2024,08:15\r\n\r\n");
    const auto fields = Fields(*FirstBackground(*stack));
    EXPECT_EQ(fields[0]->ConType(), EConTypeBoolean);
    EXPECT_EQ(fields[1]->ConType(), EConTypeDate);
    EXPECT_EQ(fields[2]->ConType(), EConTypeTime);
    QStringList dates;
    for (const TValue& val : Values(*stack, *fields[1]))
        dates << CVexilValue::ValToIntText(val);
    // The lines without the item keep the field's initial value (today, fixed by no clock here).
    EXPECT_EQ(dates.at(0), QStringLiteral("20230517"));
    EXPECT_EQ(dates.at(2), QStringLiteral("20240601"));
}

TEST_F(CsvDetectionTest, OnlyTheColumnsOfTheFirstLineAreTypedAndSurplusLinesAreCountedOnce)
{
    ScriptedPrompts::Instance().ExpectMessage();
    const TStackRef stack = Import("A,B,C\r\n1,x,2.5,7,8\r\n2,y,3.5,9,9\r\n3,z,1.5\r\n");
    const auto fields = Fields(*FirstBackground(*stack));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0]->ConType(), EConTypeInteger);
    EXPECT_EQ(fields[1]->ConType(), EConTypeText);
    EXPECT_EQ(fields[2]->ConType(), EConTypeReal);
    ASSERT_EQ(MessageIds(), std::vector<int32_t>{EMsgSurplusItems});
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().at(0).Params.at(0), QStringLiteral("2"));
}

TEST_F(CsvDetectionTest, ParsersReadWhatTheRulesLetThrough)
{
    int32_t number = 42;
    EXPECT_FALSE(CVexilImports::ParseInt(u"1-2", number));
    EXPECT_FALSE(CVexilImports::ParseInt(u"", number));
    EXPECT_FALSE(CVexilImports::ParseInt(u"2147483648", number));
    EXPECT_EQ(number, 42);
    EXPECT_TRUE(CVexilImports::ParseInt(u"-2147483648", number));
    EXPECT_EQ(number, INT32_MIN);
    bool flag = false;
    EXPECT_TRUE(CVexilImports::ParseBool(u"yes", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(CVexilImports::ParseBool(u" Y", flag));
    double real = 0;
    const LocaleScope locale(kCommaLocale);
    EXPECT_TRUE(CVexilImports::ParseReal(u"1.234,5", u',', real));
    EXPECT_DOUBLE_EQ(real, 1234.5);
    EXPECT_FALSE(CVexilImports::ParseReal(u"1,2,3", u',', real));
    EXPECT_EQ(CVexilImports::CountNonDigits(u"12:30"), 1);
}

struct TNameCase
{
    int Lines;
    int Duplicates;
    bool Empty;
    bool Ok;
};

// lines / 25 duplicates are allowed; the header line counts as a line.
TEST_F(CsvDetectionTest, CardNameColumnAllowsOneDuplicateIn25Lines)
{
    const TNameCase cases[] = {{24, 0, false, true},  {24, 1, false, false}, {25, 1, false, true},
                               {25, 2, false, false}, {49, 1, false, true},  {49, 2, false, false},
                               {50, 2, false, true},  {50, 3, false, false}, {30, 0, true, false}};
    for (const TNameCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.Lines << " lines, " << c.Duplicates << " duplicates");
        QByteArray bytes;
        for (int line = 0; line < c.Lines; ++line)
        {
            const int name = line <= c.Duplicates ? 0 : line;
            bytes += (c.Empty && line == 7 ? QByteArray() : "n" + QByteArray::number(name)) + ",x\r\n";
        }
        CVexilImports import;
        ASSERT_TRUE(import.ReadCsv(Options(CsvFile(bytes), false)));
        EXPECT_EQ(import.CheckCardNameColumn(0), c.Ok);
    }
}
