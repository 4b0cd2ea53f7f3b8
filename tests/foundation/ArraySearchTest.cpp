#include "foundation/VexilArray.h"
#include "foundation/VexilKeyHint.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilTextCompare.h"

#include "KeySearchOracle.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace
{
int SignOf(int aValue)
{
    return aValue < 0 ? -1 : (aValue > 0 ? 1 : 0);
}

// -1, 0 or 1 for a hint order that decides; 2 when it does not.
int HintSign(uint64_t aA, uint64_t aB)
{
    switch (TKeyHint::Order(aA, aB))
    {
    case TKeyHint::EBefore: return -1;
    case TKeyHint::EEqual: return 0;
    case TKeyHint::EAfter: return 1;
    case TKeyHint::EUnknown: break;
    }
    return 2;
}

// Short texts from few characters, so that equal keys, common beginnings and every kind of
// character the hints stop at (accents, combining marks, ignorables, special characters) occur.
QString RandomText(std::mt19937& aRandom, const QString& aAlphabet, int aMaxLen)
{
    QString text;
    const int len = int(aRandom() % uint32_t(aMaxLen + 1));
    for (int i = 0; i < len; ++i)
        text += aAlphabet[qsizetype(aRandom() % uint32_t(aAlphabet.size()))];
    return text;
}

const QString kPlain = QStringLiteral("aAbBz09");
const QString kRich = QStringLiteral("aAbBzZ09 -.\u00E9\u00E4\u00DF\u0301\u00AD\u00E5\u00F1\u0131\u4E00\U0001F600");

QString Stripped(const QString& aText)
{
    return CVexilLib::StripSpecialChars(aText);
}

// A sort-key-like order: a text part of four characters, then the rest by code units.
class TTwoPartOrder : public IVexilKeyCompare
{
public:
    int32_t Id() const override { return 1; }
    int32_t compare(const QString& aKey1, const QString& aKey2) const override
    {
        int order = CVexilTextCompare::Compare(Stripped(aKey1.left(4)), Stripped(aKey2.left(4)));
        if (order == 0)
            order = CVexilLib::CompareStr(aKey1.mid(4), aKey2.mid(4));
        return order < 0 ? 0 : (order > 0 ? 2 : 1);
    }
    uint64_t Hint(const QString& aKey) const override
    {
        return CVexilTextCompare::Hint(Stripped(aKey.left(4)), false, false);
    }
    uint64_t HintLayout() const override { return 4; }
};

struct TSearchCase
{
    const char* Name;
    int32_t Flags;
    const QString* Alphabet;
};

void DriveStrKeys(const TSearchCase& aCase, uint32_t aSeed)
{
    SCOPED_TRACE(aCase.Name);
    CVexilArray array;
    array.Construct(EArrStrKey + EArrDupKeys + aCase.Flags, EValInt);
    TKeySearchOracle::TCompare compare;
    if (aCase.Flags & EArrSortKeyOrder)
    {
        auto order = std::make_shared<TTwoPartOrder>();
        array.SetSortKey(order);
        compare = [order](const TArrayElem& aKey, const TArrayElem& aElem) {
            return order->compare(aKey.StrKey, aElem.StrKey) - 1;
        };
    }
    else if (aCase.Flags & EArrBinaryCompare)
    {
        compare = [](const TArrayElem& aKey, const TArrayElem& aElem) {
            return int(CVexilLib::CompareStr(aKey.StrKey, aElem.StrKey));
        };
    }
    else
    {
        compare = [](const TArrayElem& aKey, const TArrayElem& aElem) {
            return CVexilTextCompare::Compare(Stripped(aKey.StrKey), Stripped(aElem.StrKey));
        };
    }
    TKeySearchOracle oracle(compare);
    oracle.Drive(
        array,
        [&](std::mt19937& aRandom, TArrayElem& aElem) { aElem.StrKey = RandomText(aRandom, *aCase.Alphabet, 9); },
        6000, aSeed);
}
}  // namespace

// Large arrays search with hints and blocks; what they find, where they insert equal keys and
// what they delete stays that of the plain binary search.
TEST(ArraySearch, LargeArraysAnswerAsThePlainBinarySearch)
{
    const TSearchCase cases[] = {
        {"code units, plain", EArrBinaryCompare, &kPlain},
        {"code units, rich", EArrBinaryCompare, &kRich},
        {"text, plain", 0, &kPlain},
        {"text, rich", 0, &kRich},
        {"sort key, plain", EArrSortKeyOrder, &kPlain},
        {"sort key, rich", EArrSortKeyOrder, &kRich},
    };
    for (const TSearchCase& searchCase : cases)
        DriveStrKeys(searchCase, 11);
}

TEST(ArraySearch, IntegerKeysAnswerAsThePlainBinarySearchAlsoAfterRenumbering)
{
    for (const int32_t range : {40, 100000})
    {
        SCOPED_TRACE(range);
        CVexilArray array;
        array.Construct(EArrIntKey + EArrDupKeys, EValInt);
        TKeySearchOracle oracle([](const TArrayElem& aKey, const TArrayElem& aElem) {
            return aKey.IntKey < aElem.IntKey ? -1 : (aKey.IntKey > aElem.IntKey ? 1 : 0);
        });
        oracle.Drive(
            array, [&](std::mt19937& aRandom, TArrayElem& aElem) { aElem.IntKey = int32_t(aRandom() % range) - 20; },
            6000, 5);
    }
}

// Where the collation has letters of its own ("aa" is a letter after "z" in Danish), text
// keys are searched by the collation alone.
TEST(ArraySearch, TextKeysInOtherLocales)
{
    const QString alphabet = QStringLiteral("aAbz");
    for (const char* locale : {"de_DE", "da_DK", "sv_SE", "tr_TR", "cs_CZ"})
    {
        const LocaleScope scope{QLocale(QString::fromLatin1(locale))};
        const TSearchCase textCase{locale, 0, &alphabet};
        DriveStrKeys(textCase, 3);
    }
}

// A decided hint order is the order of the collation, in every locale that takes hints.
TEST(KeyHint, TextHintsAgreeWithTheCollation)
{
    std::mt19937 random(17);
    for (const char* locale : {"en_US", "de_DE", "de_AT", "fr_FR", "fr_CA", "it_IT", "pt_BR", "es_ES", "nl_NL", "C"})
    {
        SCOPED_TRACE(locale);
        const LocaleScope scope{QLocale(QString::fromLatin1(locale))};
        ASSERT_TRUE(CVexilTextCompare::HintsApply());
        int decided = 0;
        for (int i = 0; i < 20000; ++i)
        {
            const QString a = Stripped(RandomText(random, i % 2 ? kRich : kPlain, 12));
            const QString b = Stripped(RandomText(random, i % 3 ? kRich : kPlain, 12));
            const int order = SignOf(CVexilTextCompare::Compare(a, b));
            for (const bool whole : {true, false})
            {
                const int up = HintSign(CVexilTextCompare::Hint(a, whole, false), CVexilTextCompare::Hint(b, whole, false));
                const int down = HintSign(CVexilTextCompare::Hint(a, whole, true), CVexilTextCompare::Hint(b, whole, true));
                if (up != 2)
                {
                    ASSERT_EQ(up, order) << a.toStdString() << " / " << b.toStdString();
                    ++decided;
                }
                if (down != 2)
                {
                    ASSERT_EQ(down, -order) << a.toStdString() << " / " << b.toStdString();
                }
            }
        }
        EXPECT_GT(decided, 10000);  // the hints must decide most
    }
    for (const char* locale : {"da_DK", "sv_SE", "cs_CZ", "tr_TR", "ja_JP"})
    {
        const LocaleScope scope{QLocale(QString::fromLatin1(locale))};
        EXPECT_FALSE(CVexilTextCompare::HintsApply()) << locale;
    }
}

// The collation keys that keyed arrays keep order texts exactly as the collation does, and
// their hints never contradict it: blanks, punctuation, case, accents, combining and ignorable
// characters, texts that reduce to nothing.
TEST(CollationKey, KeysOrderAsTheCollationInEveryLocale)
{
    std::mt19937 random(29);
    const QString alphabet = kRich + QStringLiteral("\u0001\t'&,;()\u00C4\u00D6\u00FC\u0130\u010D\u0308oOcChH");
    for (const char* locale : {"en_US", "de_DE", "sv_SE", "da_DK", "fr_FR", "tr_TR", "cs_CZ", "ja_JP", "C"})
    {
        SCOPED_TRACE(locale);
        const LocaleScope scope{QLocale(QString::fromLatin1(locale))};
        int decided = 0;
        for (int i = 0; i < 20000; ++i)
        {
            const QString a = RandomText(random, i % 4 ? alphabet : kPlain, 10);
            const QString b = i % 5 == 0 ? a.toUpper() : RandomText(random, i % 3 ? alphabet : kPlain, 10);
            for (const bool reduced : {false, true})
            {
                const QString x = reduced ? Stripped(a) : a;
                const QString y = reduced ? Stripped(b) : b;
                const TCollationKey keyX = CVexilTextCompare::Key(x);
                const TCollationKey keyY = CVexilTextCompare::Key(y);
                const int order = SignOf(CVexilTextCompare::Compare(x, y));
                ASSERT_EQ(SignOf(keyX.Compare(keyY)), order) << x.toStdString() << " / " << y.toStdString();
                const int hint = HintSign(keyX.Hint(), keyY.Hint());
                if (hint != 2)
                {
                    ASSERT_EQ(hint, order) << x.toStdString() << " / " << y.toStdString();
                    ++decided;
                }
            }
        }
        EXPECT_GT(decided, 20000);  // the hints must decide most
    }
}

// An array keeps the collation keys of the locale it was filled in; once the locale changed,
// its keys are made again before its order is checked or searched.
TEST(CollationKey, KeptKeysFollowTheLocale)
{
    CVexilArray array;
    array.Construct(EArrStrKey, EValInt);
    {
        const LocaleScope swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
        for (const char* key : {"zebra", "\u00e4pple", "banan", "Zoo"})
        {
            TArrayElem elem;
            array.InitElem(elem);
            elem.StrKey = QString::fromUtf8(key);
            elem.iVal.iInt = 1;
            array.CreateStrKey(elem);
        }
        ASSERT_EQ(array.ElemAt(3).StrKey, QString::fromUtf8("\u00e4pple"));
    }
    array.SetChanged(false);
    array.CheckOrder();  // in English "ä" sorts with "a"
    EXPECT_TRUE(array.Changed());
    EXPECT_EQ(array.ElemAt(0).StrKey, QString::fromUtf8("\u00e4pple"));
    int32_t index = 0;
    EXPECT_TRUE(array.FindStrKey(QStringLiteral("ZEBRA"), index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(array.FindStrKey(QStringLiteral("b"), index));
    EXPECT_EQ(index, 1);
}

TEST(KeyHint, CodeUnitHintsAgreeWithTheBinaryComparison)
{
    std::mt19937 random(23);
    const QString alphabet = kRich + QChar(u'\0') + QChar(0x7F) + QChar(0x80) + QChar(0xFFFF);
    for (int i = 0; i < 50000; ++i)
    {
        const QString a = RandomText(random, alphabet, 11);
        const QString b = RandomText(random, i % 2 ? alphabet : kPlain, 11);
        const int hint = HintSign(TKeyHint::OfCodeUnits(a), TKeyHint::OfCodeUnits(b));
        if (hint != 2)
        {
            ASSERT_EQ(hint, SignOf(CVexilLib::CompareStr(a, b))) << i;
        }
    }
}

TEST(KeyHint, Orders)
{
    const auto text = [](const char* aText, bool aWhole) {
        return CVexilTextCompare::Hint(QString::fromUtf8(aText), aWhole, false);
    };
    struct TCase
    {
        uint64_t A;
        uint64_t B;
        int Expected;  // 2: undecided
    } cases[] = {
        {TKeyHint::OfInt(-5), TKeyHint::OfInt(3), -1},
        {TKeyHint::OfInt(7), TKeyHint::OfInt(7), 0},
        {TKeyHint::OfInt(INT32_MAX), TKeyHint::OfInt(INT32_MIN), 1},
        {text("ab", true), text("abc", true), -1},
        {text("AB", true), text("ab", true), 0},
        {text("9", true), text("a", true), -1},
        {text("ab", false), text("ab", false), 2},             // more may follow either
        {text("ab\u00E9", true), text("abc", true), 2},         // an accent: the collation decides
        {text("ab\u00E9", true), text("abd", true), 2},
        {text("ab\u00E9", true), text("ac", true), -1},         // decided before the accent
        {text("abcdefghij", true), text("abcdefghik", true), 2},  // beyond the hint
        {text("abcdefghi", true), text("abcdefghij", true), 2},
        {0, text("a", true), 2},
        {TKeyHint::OfCodeUnits(u"ab"), TKeyHint::OfCodeUnits(u"aB"), 1},
        {TKeyHint::OfCodeUnits(u"ab"), TKeyHint::OfCodeUnits(u"ab\u0001"), -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(HintSign(c.A, c.B), c.Expected) << &c - cases;
}

// A large array keeps its hints when emptied; what comes in next must get them as well.
TEST(ArraySearch, AnEmptiedLargeArrayKeepsItsKeysRight)
{
    CVexilArray array;
    array.Construct(EArrIntKey, EValInt);
    TArrayElem elem;
    const auto add = [&](int32_t aKey) {
        array.InitElem(elem);
        elem.IntKey = aKey;
        elem.iVal.iInt = aKey;
        array.CreateIntKey(elem);
    };
    for (int32_t key = 0; key < 300; ++key)
        add(key * 3);
    int32_t cursor = 0;
    ASSERT_TRUE(array.ReadByIntKey(297, elem, cursor));
    array.DeleteAt(0, array.Count());
    for (const int32_t key : {50, -7, 20})
        add(key);
    for (int32_t i = 0; i < array.Count(); ++i)
        EXPECT_EQ(array.IntKeyAt(i), array.ElemAt(i).IntKey) << i;
    EXPECT_EQ(array.IntKeyAt(0), -7);
    ASSERT_TRUE(array.ReadByIntKey(20, elem, cursor));
    EXPECT_EQ(cursor, 2);
}
