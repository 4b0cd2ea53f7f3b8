#include "foundation/VexilArray.h"
#include "model/VexilCardValues.h"
#include "model/VexilRecordStore.h"

#include "SameValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{
using TCase = TValueCase;
constexpr auto With = ValueWith;

double QuietNanWithPayload()
{
    const uint64_t bits = 0x7ff8'0000'dead'beefULL;
    double num = 0;
    std::memcpy(&num, &bits, sizeof num);
    return num;
}

// The longest text a stack file holds.
constexpr int kMaxChars = 16383;

// Every type a card holds, its edge values, values fresh from an array's InitElem (the
// integers UndefLong) and values with leftovers in the fields their type does not name.
std::vector<TCase> Cases()
{
    CVexilArray fresh;
    fresh.Construct(EArrIntKey + EArrAnyType, EValStr);
    TArrayElem elem;
    fresh.InitElem(elem);
    const TValue freshUndef = elem.iVal;
    TValue freshStr = elem.iVal;
    freshStr.iType = EValStr;
    freshStr.iStr = QStringLiteral("read");
    TValue freshInt = elem.iVal;
    freshInt.iType = EValInt;
    freshInt.iInt = 8;
    return {
        {"undefined", TValue()},
        {"fresh undefined", freshUndef},
        {"null text", With(EValStr, [](TValue&) {})},
        {"empty text", With(EValStr, [](TValue& v) { v.iStr = QStringLiteral(""); })},
        {"Latin-1 text", With(EValStr, [](TValue& v) { v.iStr = QStringLiteral("Stra\u00DFe \u00FF"); })},
        {"Windows-1252 beyond Latin-1", With(EValStr, [](TValue& v) { v.iStr = QStringLiteral("5 \u20AC \u2019"); })},
        {"beyond the BMP", With(EValStr, [](TValue& v) { v.iStr = QString::fromUtf8("a\xF0\x9F\x90\xA8z"); })},
        {"narrow text at the limit", With(EValStr, [](TValue& v) { v.iStr = QString(kMaxChars, QChar(0xE9)); })},
        {"wide text at the limit", With(EValStr, [](TValue& v) { v.iStr = QString(kMaxChars, QChar(0x20AC)); })},
        {"text beyond the file limit", With(EValStr, [](TValue& v) { v.iStr = QString(70000, QChar('x')); })},
        {"zero integer", With(EValInt, [](TValue&) {})},
        {"lowest integer", With(EValInt, [](TValue& v) { v.iInt = std::numeric_limits<int32_t>::min(); })},
        {"highest integer", With(EValInt, [](TValue& v) { v.iInt = std::numeric_limits<int32_t>::max(); })},
        {"blob id", With(EValBlobId, [](TValue& v) { v.iInt = 12; })},
        {"undefined blob id", With(EValBlobId, [](TValue& v) { v.iInt = UndefLong; })},
        {"real", With(EValReal, [](TValue& v) { v.iReal = 2.5; })},
        {"negative zero", With(EValReal, [](TValue& v) { v.iReal = -0.0; })},
        {"NaN with payload", With(EValReal, [](TValue& v) { v.iReal = QuietNanWithPayload(); })},
        {"smallest subnormal", With(EValReal, [](TValue& v) { v.iReal = std::numeric_limits<double>::denorm_min(); })},
        {"date", With(EValDate, [](TValue& v) { v.iDate = 45000; })},
        {"time", With(EValTime, [](TValue& v) { v.iTime = 0.25; })},
        {"true", With(EValBool, [](TValue& v) { v.iBool = true; })},
        {"false", With(EValBool, [](TValue&) {})},
        {"fresh text", freshStr},
        {"fresh integer", freshInt},
        {"pair", With(EValIntPair, [](TValue& v) { v.iInt0 = 1, v.iInt1 = -1; })},
        {"unknown type", With(77, [](TValue& v) { v.iInt = 5; })},
        {"text turned integer", With(EValInt, [](TValue& v) { v.iStr = QString::fromUtf8("\xE2\x82\xAC"), v.iInt = 4; })},
        {"real turned Boolean", With(EValBool, [](TValue& v) { v.iReal = 1.5, v.iBool = true; })},
        {"integer turned date", With(EValDate, [](TValue& v) { v.iInt = 9, v.iDate = 3; })},
        {"negative zero left", With(EValInt, [](TValue& v) { v.iTime = -0.0; })},
        {"empty text left", With(EValTime, [](TValue& v) { v.iStr = QStringLiteral(""); })},
        {"half fresh", With(EValInt, [](TValue& v) { v.iInt0 = UndefLong; })},
        {"undefined with content", With(EValUndef, [](TValue& v) { v.iInt = 3, v.iStr = QStringLiteral("x"); })},
    };
}

TValue Text(const QString& aText)
{
    TValue value;
    value.iType = EValStr;
    value.iStr = aText;
    return value;
}

TValue Get(const TCardValues& aValues, int32_t aKey)
{
    TValue value;
    EXPECT_TRUE(aValues.Get(aKey, value)) << aKey;
    return value;
}
}  // namespace

// Each value reads back exactly, alone, between neighbours, replaced in place and through the
// array form that the stored forms use.
TEST(CardValues, EveryValueReadsBackAsStored)
{
    for (const TCase& c : Cases())
    {
        SCOPED_TRACE(c.Name);
        TCardValues alone;
        alone.Set(5, c.Value);
        ExpectSameValue(Get(alone, 5), c.Value);

        TCardValues among;
        among.Set(9, Text(QStringLiteral("after")));
        among.Set(1, Text(QStringLiteral("before")));
        among.Set(5, Text(QStringLiteral("was here")));
        among.Set(5, c.Value);
        ExpectSameValue(Get(among, 5), c.Value);
        ExpectSameValue(Get(among, 1), Text(QStringLiteral("before")));
        ExpectSameValue(Get(among, 9), Text(QStringLiteral("after")));
        EXPECT_EQ(among.Count(), 3);

        CVexilArray array;
        among.ToArray(array);
        TCardValues back;
        back.FromArray(array);
        ExpectSameValue(Get(back, 5), c.Value);
        int32_t seen = 0;
        back.ForEach([&](const TCardValues::TEntry& aEntry) {
            if (aEntry.Key() != 5)
                return;
            ++seen;
            EXPECT_EQ(aEntry.Type(), c.Value.iType);
            EXPECT_EQ(aEntry.Int(), c.Value.iInt);
            ExpectSameValue(aEntry.Value(), c.Value);
        });
        EXPECT_EQ(seen, 1);
    }
}

// A value that grows or shrinks moves the values after it and leaves the ones before it alone.
TEST(CardValues, LongerAndShorterValuesReplaceInPlace)
{
    TCardValues values;
    for (int32_t key = 1; key <= 5; ++key)
        values.Set(key * 10, Text(QString(key, QChar('a' + key))));
    const QString lengths[] = {QString(3000, QChar('L')), QStringLiteral("s"), QString(200, QChar(0x20AC)), QString()};
    for (const QString& text : lengths)
    {
        values.Set(30, Text(text));
        for (int32_t key = 1; key <= 5; ++key)
            ExpectSameValue(Get(values, key * 10), key == 3 ? Text(text) : Text(QString(key, QChar('a' + key))));
    }
    EXPECT_EQ(values.Count(), 5);
}

// Inserts, replacements and removals in any order give the elements and the growth figure that
// the value array of a card gives for the same calls, so that the stored forms stay the same.
TEST(CardValues, FollowTheValueArray)
{
    std::mt19937 random(26);
    TCardValues values;
    CVexilArray reference;
    reference.Construct(EArrIntKey + EArrAnyType, EValStr);
    for (int step = 0; step < 3000; ++step)
    {
        const int32_t key = int32_t(random() % 40) - 5;
        int32_t index = 0;
        const bool present = reference.FindIntKey(key, index);
        if (random() % 4 == 0)
        {
            EXPECT_EQ(values.Remove(key), present);
            if (present)
                reference.DeleteAt(index, 1);
            continue;
        }
        const TValue value = random() % 2 ? Text(QString(int(random() % 50), QChar('k'))) : Cases()[random() % 5].Value;
        if (!present && value.iType == EValUndef)
            continue;  // the array refuses to create an undefined element
        values.Set(key, value);
        if (present)
        {
            reference.WriteLastVal(index + 1, value);
        }
        else
        {
            TArrayElem elem;
            reference.InitElem(elem);
            elem.IntKey = key;
            elem.iVal = value;
            reference.CreateIntKey(elem);
        }
    }
    CVexilArray got;
    values.ToArray(got);
    ASSERT_EQ(got.Count(), reference.Count());
    EXPECT_EQ(got.Alloc(), reference.Alloc());
    EXPECT_EQ(got.AllocStep(), reference.AllocStep());
    for (int32_t i = 0; i < got.Count(); ++i)
    {
        EXPECT_EQ(got.IntKeyAt(i), reference.IntKeyAt(i));
        ExpectSameValue(got.ElemAt(i).iVal, reference.ElemAt(i).iVal);
    }
}

// The figures of a value array read from a file come back as they were read, whatever they are.
TEST(CardValues, KeepTheArrayFigures)
{
    CVexilArray read;
    read.Construct(EArrIntKey + EArrAnyType, EValInt);
    read.SetId(44);
    read.SetAllocStep(7);
    read.SetAlloc(3);
    read.SetSortKeyId(-2);
    TCardValues values;
    values.FromArray(read);
    values.Set(1, Text(QStringLiteral("one")));
    values.Set(2, Text(QStringLiteral("two")));
    values.Set(3, Text(QStringLiteral("three")));
    values.Set(4, Text(QStringLiteral("four")));
    CVexilArray back;
    values.ToArray(back);
    EXPECT_EQ(back.Id(), 44);
    EXPECT_EQ(back.ElemType(), EValInt);
    EXPECT_EQ(back.AllocStep(), 7);
    EXPECT_EQ(back.Alloc(), 3 + 1 + 7);  // grown once, at the fourth value
    EXPECT_EQ(back.SortKeyId(), -2);
    EXPECT_EQ(back.Flags(), EArrIntKey + EArrAnyType);
    EXPECT_EQ(back.Count(), 4);

    TCardValues empty;
    EXPECT_EQ(empty.RecordBytes(), 0u);
    CVexilArray none;
    empty.ToArray(none);
    EXPECT_EQ(none.Alloc(), CVexilArray::KInitialAlloc);
    EXPECT_EQ(none.Id(), UndefLong);
    EXPECT_EQ(none.ElemType(), EValStr);
}

// The records of cards that are gone are used again by new cards of the same size: a stack
// that deletes and adds as many cards takes no more pages.
TEST(CardValues, SpaceOfDeletedCardsIsReused)
{
    const auto fill = [](TCardValues& aValues, int aSeed) {
        for (int32_t key = 0; key < 8; ++key)
            aValues.Set(key, Text(QStringLiteral("card %1 field %2").arg(aSeed).arg(key)));
    };
    std::vector<TCardValues> cards(20000);
    for (size_t i = 0; i < cards.size(); ++i)
        fill(cards[i], int(i));
    const size_t pages = CVexilRecordStore::Shared().PageBytes();
    for (int round = 0; round < 3; ++round)
    {
        for (size_t i = 0; i < cards.size(); i += 2)
            cards[i].Clear();
        for (size_t i = 0; i < cards.size(); i += 2)
            fill(cards[i], int(i) + round);
    }
    EXPECT_EQ(CVexilRecordStore::Shared().PageBytes(), pages);
    ExpectSameValue(Get(cards[2], 7), Text(QStringLiteral("card 4 field 7")));
    ExpectSameValue(Get(cards[3], 7), Text(QStringLiteral("card 3 field 7")));

    uint32_t capacity = 0;
    uint8_t* block = CVexilRecordStore::Shared().Allocate(100, capacity);
    EXPECT_GE(capacity, 100u);
    CVexilRecordStore::Shared().Release(block, capacity);
    uint32_t again = 0;
    EXPECT_EQ(CVexilRecordStore::Shared().Allocate(capacity, again), block);
    EXPECT_EQ(again, capacity);
    CVexilRecordStore::Shared().Release(block, again);
}

// Removing values leaves the others; a removed key is gone and can come back.
TEST(CardValues, RemovedValuesAreGone)
{
    TCardValues values;
    for (int32_t key : {7, 3, 5})
        values.Set(key, Text(QString::number(key)));
    EXPECT_TRUE(values.Remove(5));
    EXPECT_FALSE(values.Remove(5));
    EXPECT_FALSE(values.Has(5));
    EXPECT_EQ(values.Count(), 2);
    ExpectSameValue(Get(values, 3), Text(QStringLiteral("3")));
    ExpectSameValue(Get(values, 7), Text(QStringLiteral("7")));
    values.Set(5, Text(QStringLiteral("back")));
    std::vector<int32_t> keys;
    values.ForEach([&](const TCardValues::TEntry& aEntry) { keys.push_back(aEntry.Key()); });
    EXPECT_EQ(keys, (std::vector<int32_t>{3, 5, 7}));
    TCardValues moved(std::move(values));
    EXPECT_EQ(values.Count(), 0);
    EXPECT_EQ(moved.Count(), 3);
}
