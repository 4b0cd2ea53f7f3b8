#include "TestEnv.h"
#include "ValueBuild.h"
#include "presentation/VexilCardSearch.h"
#include "presentation/VexilDisplayChars.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace
{
class RealField : public IVexilValueField
{
public:
    explicit RealField(int16_t aDigits) : iDigits(aDigits) {}
    int32_t ConType() const override { return 0; }
    int16_t Digits() const override { return iDigits; }

private:
    int16_t iDigits;
};

const std::vector<QLocale> kLocales = {kDotLocale,
                                       kCommaLocale,
                                       QLocale(QLocale::Turkish, QLocale::Turkey),
                                       QLocale(QLocale::French, QLocale::France),
                                       QLocale(QLocale::Arabic, QLocale::Egypt),
                                       QLocale(QLocale::Greek, QLocale::Greece),
                                       QLocale(QLocale::Korean, QLocale::SouthKorea)};

// Edge values of each type that the fast path passes over.
std::vector<TValue> EdgeValues()
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<TValue> values = {Val::Int(0), Val::Int(-1), Val::Int(std::numeric_limits<int32_t>::min()),
                                  Val::Int(std::numeric_limits<int32_t>::max()), Val::Bool(true), Val::Bool(false)};
    for (const double real : {0.0, -0.0, 0.005, -1234567.891, 99999999999999.0, -1e15, 1e300, 1e-300, inf, -inf,
                              std::numeric_limits<double>::quiet_NaN()})
        values.push_back(Val::Real(real));
    for (const QDate date : {QDate(100, 1, 1), QDate(1899, 12, 30), QDate(2024, 2, 29), QDate(2024, 12, 31),
                             QDate(9999, 12, 31)})
        values.push_back(Val::Date(date));
    for (const QTime time : {QTime(0, 0), QTime(11, 59, 59), QTime(12, 0), QTime(13, 5, 7), QTime(23, 59, 59)})
        values.push_back(Val::Time(time));
    return values;
}

// Every display text a test value gets, upper-cased, with its type.
template <class F>
void ForEachUpperText(F aText)
{
    for (const TValue& value : EdgeValues())
        for (const int16_t digits : {int16_t(UndefInt), int16_t(0), int16_t(2), int16_t(8)})
            aText(value.iType, CVexilValue::ValToExtText(value, RealField(digits)).toUpper());
}
}  // namespace

TEST(DisplayCharsTest, EveryDisplayTextOfATypeIsMadeOfItsCharacters)
{
    for (const QLocale& locale : kLocales)
    {
        LocaleScope scope(locale);
        ForEachUpperText([&](int32_t aType, const QString& aUpperText) {
            if (aUpperText.isEmpty())
                return;
            EXPECT_TRUE(CVexilDisplayChars(aType).MayHold(aUpperText))
                << locale.name().toStdString() << " type " << aType << ": " << aUpperText.toStdString();
        });
    }
}

TEST(DisplayCharsTest, ASearchPassedOverIsInNoDisplayTextOfTheType)
{
    const QStringList searches = {"quokka", "ß", "ı", "i", "İ", "1", "-", ",", ".", "am", "PM", "ös", "e", "inf",
                                  "nan", "T", "f", "Dez", "ocak", "ä", "12:00", "Σ", "오후", "٠", "\u202f"};
    int passedOver = 0;
    for (const QLocale& locale : kLocales)
    {
        LocaleScope scope(locale);
        for (const QString& search : searches)
        {
            const QString upperSearch = search.toUpper();
            ForEachUpperText([&](int32_t aType, const QString& aUpperText) {
                if (CVexilDisplayChars(aType).MayHold(upperSearch))
                    return;
                ++passedOver;
                EXPECT_FALSE(CVexilCardSearch::Holds(aUpperText, upperSearch))
                    << locale.name().toStdString() << " " << search.toStdString() << " in " << aUpperText.toStdString();
            });
        }
    }
    EXPECT_GT(passedOver, 0);
}

TEST(DisplayCharsTest, WordsPassOverNumbersDatesTimesAndBooleansButNotTexts)
{
    struct TCase
    {
        int32_t Type;
        QString UpperSearch;
        bool MayHold;
    };
    const TCase cases[] = {
        {EValInt, "QUOKKA", false}, {EValReal, "QUOKKA", false}, {EValDate, "QUOKKA", false},
        {EValTime, "QUOKKA", false}, {EValBool, "QUOKKA", false}, {EValStr, "QUOKKA", true},
        {EValInt, "-12", true},      {EValInt, "1.5", false},     {EValReal, "1,234.5", true},
        {EValReal, "INF", true},     {EValBool, "T", true},       {EValTime, "PM", true},
        {EValDate, "12/31", true},   {EValDate, "DEC", true},     {EValBlobId, "QUOKKA", true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CVexilDisplayChars(c.Type).MayHold(c.UpperSearch), c.MayHold)
            << c.Type << " " << c.UpperSearch.toStdString();
}
