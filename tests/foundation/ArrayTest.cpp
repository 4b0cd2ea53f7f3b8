#include "AssertAnswers.h"
#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace
{
CVexilArray MakeArray(int32_t aFlags, int32_t aElemType)
{
    CVexilArray array;
    array.Construct(aFlags, aElemType);
    return array;
}

TArrayElem StrKeyElem(const CVexilArray& aArray, const QString& aKey, int32_t aValue = 0)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.StrKey = aKey;
    elem.iVal.iInt = aValue;
    return elem;
}

TArrayElem IntKeyElem(const CVexilArray& aArray, int32_t aKey, int32_t aValue = 0)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.IntKey = aKey;
    elem.iVal.iInt = aValue;
    return elem;
}

TArrayElem StrElem(const CVexilArray& aArray, const QString& aStr)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.iVal.iStr = aStr;
    return elem;
}

// A string-keyed array of EValInt holding aKeys in the given order, stored as a reader
// stores them (unchecked), with the values 0, 1, 2 ...
CVexilArray StoredStrKeys(int32_t aFlags, const QStringList& aKeys)
{
    CVexilArray array = MakeArray(aFlags, EValInt);
    for (int32_t i = 0; i < aKeys.size(); ++i)
        array.AppendRead(StrKeyElem(array, aKeys[i], i));
    array.SetChanged(false);
    return array;
}

CVexilArray KeylessStrs(const QStringList& aStrs)
{
    CVexilArray array = MakeArray(0, EValStr);
    for (const QString& s : aStrs)
        array.CreateAtEnd(StrElem(array, s));
    return array;
}

QStringList Keys(const CVexilArray& aArray)
{
    QStringList keys;
    for (int32_t i = 0; i < aArray.Count(); ++i)
        keys << aArray.ElemAt(i).StrKey;
    return keys;
}

QStringList Strs(const CVexilArray& aArray)
{
    QStringList strs;
    for (int32_t i = 0; i < aArray.Count(); ++i)
        strs << aArray.ElemAt(i).iVal.iStr;
    return strs;
}

std::vector<int32_t> Values(const CVexilArray& aArray)
{
    std::vector<int32_t> values;
    for (int32_t i = 0; i < aArray.Count(); ++i)
        values.push_back(aArray.ElemAt(i).iVal.iInt);
    return values;
}

std::vector<int32_t> IntKeys(const CVexilArray& aArray)
{
    std::vector<int32_t> keys;
    for (int32_t i = 0; i < aArray.Count(); ++i)
        keys.push_back(aArray.ElemAt(i).IntKey);
    return keys;
}

class TObj : public CVexilObject
{
public:
    QString ObjDescr() const override { return QStringLiteral("TObj"); }
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }

private:
    bool iChanged = false;
};

// An object array (a stack's cards) with an object where aPresent is true.
CVexilArray Objects(const std::vector<bool>& aPresent)
{
    CVexilArray array = MakeArray(0, EValCard);
    TArrayElem elem;
    for (bool present : aPresent)
    {
        array.InitElem(elem);
        if (present)
            elem.iVal.iObj = std::make_shared<TObj>();
        array.CreateAtEnd(elem);
    }
    return array;
}

// Orders keys as numbers, descending: plainly not any text order, so that the tests see
// that the array asks it.
class TDescendingNumbers : public IVexilKeyCompare
{
public:
    explicit TDescendingNumbers(int32_t aId) : iId(aId) {}
    int32_t Id() const override { return iId; }
    int32_t compare(const QString& aKey1, const QString& aKey2) const override
    {
        ++iCalls;
        const int a = aKey1.toInt();
        const int b = aKey2.toInt();
        return a > b ? 0 : (a == b ? 1 : 2);
    }
    mutable int iCalls = 0;

private:
    int32_t iId;
};

// Installs a sort-key lookup for one test and removes it after.
class SortKeyLookupScope
{
public:
    explicit SortKeyLookupScope(CVexilArray::TSortKeyLookup aLookup)
    {
        CVexilArray::SetSortKeyLookup(std::move(aLookup));
    }
    ~SortKeyLookupScope() { CVexilArray::SetSortKeyLookup({}); }
};
}  // namespace

// ---- construction and growth ----

TEST(Array, NewArrayHoldsTenElementsAndTheEleventhGrowsAllocTo61)
{
    CVexilArray array = MakeArray(EArrIntKey, EValInt);
    EXPECT_TRUE(array.Changed());
    EXPECT_EQ(array.ObjDescr(), QStringLiteral("CVexilArray max=0, alloc=10"));
    EXPECT_EQ(array.AllocStep(), 50);
    EXPECT_EQ(array.Id(), UndefLong);
    EXPECT_EQ(array.SortKeyId(), UndefLong);
    for (int32_t i = 1; i <= 10; ++i)
        array.CreateIntKey(IntKeyElem(array, i));
    EXPECT_EQ(array.Alloc(), 10);
    array.CreateIntKey(IntKeyElem(array, 11));
    EXPECT_EQ(array.ObjDescr(), QStringLiteral("CVexilArray max=11, alloc=61"));

    // Alloc never shrinks through Clear; growth follows AllocStep as stored.
    array.Clear();
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Alloc(), 61);
    array.SetAllocStep(5);
    array.SetAlloc(2);
    for (int32_t i = 1; i <= 3; ++i)
        array.CreateIntKey(IntKeyElem(array, i));
    EXPECT_EQ(array.Alloc(), 8);  // the third element: 2 + 1 + 5
}

TEST(Array, MoveMakesRoomFirstSoItCanGrowAlloc)
{
    CVexilArray array = KeylessStrs({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    ASSERT_EQ(array.Alloc(), 10);
    array.Move(0, 2, 5, false, 0);
    EXPECT_EQ(array.Alloc(), 62);
    EXPECT_EQ(Strs(array), QStringList({"c", "d", "e", "a", "b", "f", "g", "h", "i", "j"}));
}

TEST(Array, InitElemGivesTheFreshValues)
{
    for (const auto& [flags, type, expectedType] : {std::tuple{0, int32_t(EValInt), int32_t(EValInt)},
                                                    std::tuple{18, int32_t(EValStr), int32_t(EValUndef)}})
    {
        CVexilArray array = MakeArray(flags, type);
        TArrayElem elem;
        elem.StrKey = QStringLiteral("x");
        elem.iVal.iStr = QStringLiteral("y");
        elem.iVal.iReal = 2;
        elem.iVal.iObj = std::make_shared<TObj>();
        array.InitElem(elem);
        EXPECT_TRUE(elem.StrKey.isEmpty());
        EXPECT_EQ(elem.IntKey, UndefLong);
        EXPECT_EQ(elem.iVal.iType, expectedType);
        EXPECT_TRUE(elem.iVal.iStr.isEmpty());
        EXPECT_EQ(elem.iVal.iInt, UndefLong);
        EXPECT_EQ(elem.iVal.iReal, 0);
        EXPECT_EQ(elem.iVal.iObj, nullptr);
        EXPECT_EQ(elem.iVal.iInt0, UndefLong);
        EXPECT_EQ(elem.iVal.iInt1, UndefLong);
    }
}

// ---- key comparison ----

TEST(Array, KeyComparisonByFlags)
{
    struct Case
    {
        int32_t flags;
        QString stored;
        QString probe;
        bool found;
    };
    const Case cases[] = {
        {EArrStrKey, "Smith, John ", "smithjohn", true},  // blanks, punctuation and case ignored
        {EArrStrKey, "A-1 (b)", "a1B", true},
        {EArrStrKey, "abc", "abd", false},
        {EArrStrKey, "Äpfel", "apfel", false},  // accents count, only case is ignored
        {EArrStrKey, "Äpfel", "äPFEL", true},
        {EArrStrKey + EArrBinaryCompare, "abc", "ABC", false},
        {EArrStrKey + EArrBinaryCompare, "abc", "abc ", false},
        {EArrStrKey + EArrBinaryCompare, "a-b", "a-b", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.stored.toStdString() + " / " + c.probe.toStdString());
        CVexilArray array = MakeArray(c.flags, EValInt);
        array.CreateStrKey(StrKeyElem(array, QStringLiteral("zzz"), 1));
        array.CreateStrKey(StrKeyElem(array, c.stored, 2));
        TArrayElem elem;
        int32_t cursor = 77;
        EXPECT_EQ(array.ReadByStrKey(c.probe, elem, cursor), c.found);
        EXPECT_EQ(elem.iVal.iInt, c.found ? 2 : UndefLong);
    }
}

TEST(Array, KeysAreKeptInTheOrderOfTheirComparison)
{
    const QStringList inserted = {"banana", "cherry", "Apple", "äpfel", "apple pie"};
    struct Case
    {
        int32_t flags;
        QStringList expected;
    };
    const Case cases[] = {
        {EArrStrKey, {"äpfel", "Apple", "apple pie", "banana", "cherry"}},  // "apfel" before "apple"
        {EArrStrKey + EArrBinaryCompare, {"Apple", "apple pie", "banana", "cherry", "äpfel"}},
    };
    for (const Case& c : cases)
    {
        CVexilArray array = MakeArray(c.flags, EValInt);
        for (const QString& key : inserted)
            array.CreateStrKey(StrKeyElem(array, key));
        EXPECT_EQ(Keys(array), c.expected);
    }
}

TEST(Array, IntegerKeysOrderNumerically)
{
    CVexilArray array = MakeArray(EArrIntKey, EValInt);
    for (int32_t key : {300, -5, 100000, 20, 0})
        array.CreateIntKey(IntKeyElem(array, key));
    EXPECT_EQ(IntKeys(array), (std::vector<int32_t>{-5, 0, 20, 300, 100000}));
}

// ---- duplicates ----

TEST(Array, NewDuplicateGoesBeforeTheEqualElementTheSearchMet)
{
    // A, B, B, B, C: the first probe meets the B at 2; the new B goes there.
    CVexilArray array = StoredStrKeys(EArrStrKey + EArrDupKeys + EArrBinaryCompare, {"A", "B", "B", "B", "C"});
    array.CreateStrKey(StrKeyElem(array, QStringLiteral("B"), 99));
    EXPECT_EQ(Values(array), (std::vector<int32_t>{0, 1, 99, 2, 3, 4}));

    // The keyed read meets that same element; the cursor goes on with the following ones.
    TArrayElem elem;
    int32_t cursor = 0;
    ASSERT_TRUE(array.ReadByStrKey(QStringLiteral("B"), elem, cursor));
    EXPECT_EQ(elem.iVal.iInt, 99);
    EXPECT_EQ(cursor, 3);
    ASSERT_TRUE(array.ReadNext(elem, cursor));
    EXPECT_EQ(elem.iVal.iInt, 2);
}

TEST(Array, InsertionIntoEmptyAndAfterAllKeys)
{
    CVexilArray array = MakeArray(EArrStrKey, EValInt);
    EXPECT_EQ(array.CreateAtEnd(StrKeyElem(array, QStringLiteral("m"))), 0);
    EXPECT_EQ(array.CreateAtEnd(StrKeyElem(array, QStringLiteral("z"))), 1);
    EXPECT_EQ(array.CreateAtEnd(StrKeyElem(array, QStringLiteral("a"))), 0);
    EXPECT_EQ(Keys(array), QStringList({"a", "m", "z"}));
}

TEST(Array, EqualKeyWithoutDuplicatesIsRefused)
{
    CVexilArray array = MakeArray(EArrStrKey, EValInt);
    array.CreateStrKey(StrKeyElem(array, QStringLiteral("Smith, John"), 1));
    const TErrInfo info = RefusedCheck([&] { array.CreateStrKey(StrKeyElem(array, QStringLiteral("SMITHJOHN"), 2)); });
    EXPECT_EQ(info.Param2, QStringLiteral("Create duplicate"));
    EXPECT_EQ(array.Count(), 1);
    EXPECT_EQ(array.Alloc(), 10);

    // Going on past the check stores the duplicate.
    ScriptedPrompts::Instance().ExpectMessage(true);
    array.CreateStrKey(StrKeyElem(array, QStringLiteral("SMITHJOHN"), 2));
    EXPECT_EQ(array.Count(), 2);
}

// ---- cursors ----

TEST(Array, CursorReadsAndTheirEnds)
{
    CVexilArray array = MakeArray(EArrIntKey, EValInt);
    for (int32_t key : {10, 20, 30})
        array.CreateIntKey(IntKeyElem(array, key, key * 2));
    TArrayElem elem;
    int32_t cursor = 0;

    // A missing key gives a fresh element and leaves the cursor alone.
    cursor = 2;
    EXPECT_FALSE(array.ReadByIntKey(25, elem, cursor));
    EXPECT_EQ(cursor, 2);
    EXPECT_EQ(elem.IntKey, UndefLong);

    ASSERT_TRUE(array.ReadByIntKey(10, elem, cursor));
    EXPECT_EQ(cursor, 1);
    ASSERT_TRUE(array.ReadNext(elem, cursor));
    EXPECT_EQ(elem.IntKey, 20);
    ASSERT_TRUE(array.ReadNext(elem, cursor));
    EXPECT_FALSE(array.ReadNext(elem, cursor));  // cursor = Count
    EXPECT_EQ(cursor, 3);
    EXPECT_EQ(elem.IntKey, UndefLong);

    array.SetLast(cursor);
    ASSERT_TRUE(array.ReadPrev(elem, cursor));
    EXPECT_EQ(elem.IntKey, 30);
    EXPECT_EQ(cursor, 2);
    array.SetFirst(cursor);
    EXPECT_FALSE(array.ReadPrev(elem, cursor));
    EXPECT_EQ(cursor, 0);
}

TEST(Array, ChangesUnderACursorKeepItsNumber)
{
    CVexilArray array = KeylessStrs({"a", "b", "c", "d"});
    TArrayElem elem;
    int32_t cursor = 0;
    array.ReadNext(elem, cursor);
    array.ReadNext(elem, cursor);  // read "b", cursor 2
    array.CreateAt(StrElem(array, QStringLiteral("new")), 0);
    ASSERT_TRUE(array.ReadNext(elem, cursor));
    EXPECT_EQ(elem.iVal.iStr, QStringLiteral("b"));  // the same number now holds "b" again
    EXPECT_EQ(cursor, 3);

    // WriteLastVal changes the element that ReadNext returned last.
    TValue val = elem.iVal;
    val.iStr = QStringLiteral("B");
    array.SetChanged(false);
    array.WriteLastVal(cursor, val);
    EXPECT_TRUE(array.Changed());
    EXPECT_EQ(Strs(array), QStringList({"new", "a", "B", "c", "d"}));

    // A cursor left behind the end by deletions steps back onto the last element.
    array.SetLast(cursor);
    array.DeleteAt(2, 3);
    ASSERT_TRUE(array.ReadPrev(elem, cursor));
    EXPECT_EQ(elem.iVal.iStr, QStringLiteral("a"));
    EXPECT_EQ(cursor, 1);
    EXPECT_FALSE(array.ReadNext(elem, cursor = 5));

    // A write that cannot land on an element is an error, not a silent loss.
    EXPECT_EQ(RaisedError([&] { array.WriteLastVal(0, val); }), ERunSubscript);
    EXPECT_EQ(RaisedError([&] { array.WriteLastVal(3, val); }), ERunSubscript);
}

TEST(Array, ReadStrHandsOutTheValueText)
{
    CVexilArray array = MakeArray(EArrStrKey, EValStr);
    TArrayElem elem;
    array.InitElem(elem);
    elem.StrKey = QStringLiteral("openCard");
    elem.iVal.iStr = QStringLiteral("0A0B");
    array.CreateStrKey(elem);
    QString text = QStringLiteral("old");
    int32_t cursor = 0;
    EXPECT_TRUE(array.ReadStr(QStringLiteral("OPENCARD"), text, cursor));
    EXPECT_EQ(text, QStringLiteral("0A0B"));
    EXPECT_FALSE(array.ReadStr(QStringLiteral("closeField"), text, cursor));
    EXPECT_TRUE(text.isEmpty());
}

// ---- position access ----

TEST(Array, ReadByObjNumCountsPresentObjectsOnly)
{
    CVexilArray array = Objects({false, true, false, false, true, true});
    TArrayElem elem;
    struct Case
    {
        int32_t num;
        bool found;
        int32_t index;
    };
    for (const Case& c : {Case{0, true, 1}, Case{1, true, 4}, Case{2, true, 5}, Case{3, false, -1}, Case{-1, false, -1}})
    {
        int32_t index = -1;
        EXPECT_EQ(array.ReadByObjNum(c.num, elem, index), c.found) << c.num;
        EXPECT_EQ(index, c.index) << c.num;
        EXPECT_EQ(elem.iVal.iObj != nullptr, c.found);
        if (c.found)
        {
            EXPECT_EQ(elem.iVal.iObj, array.Obj(c.index));
        }
    }

    // Without objects the number is the index.
    CVexilArray order = MakeArray(EArrIntKey, EValInt);
    for (int32_t key : {100, 200, 300})
        order.CreateIntKey(IntKeyElem(order, key));
    int32_t index = -1;
    ASSERT_TRUE(order.ReadByObjNum(2, elem, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(elem.IntKey, 300);
    EXPECT_FALSE(order.ReadByObjNum(3, elem, index));
}

TEST(Array, ReadByObjNumFollowsChanges)
{
    CVexilArray array = Objects(std::vector<bool>(2000, true));
    TArrayElem elem;
    int32_t index = 0;
    ASSERT_TRUE(array.ReadByObjNum(1500, elem, index));
    const TObjRef at1500 = elem.iVal.iObj;
    array.SetObj(3, nullptr);
    array.SetObj(700, nullptr);
    ASSERT_TRUE(array.ReadByObjNum(1498, elem, index));
    EXPECT_EQ(index, 1500);
    EXPECT_EQ(elem.iVal.iObj, at1500);
    EXPECT_FALSE(array.ReadByObjNum(1998, elem, index));
}

TEST(Array, SetToLastObjDropsTrailingEmptySlots)
{
    CVexilArray array = Objects({true, false, true, false, false});
    array.SetChanged(false);
    array.SetToLastObj();
    EXPECT_EQ(array.Count(), 3);
    EXPECT_FALSE(array.Changed());

    // Alloc comes down to Count + AllocStep when it was higher.
    std::vector<bool> present(100, false);
    present[0] = present[4] = true;
    CVexilArray large = Objects(present);
    ASSERT_EQ(large.Alloc(), 112);
    large.SetToLastObj();
    EXPECT_EQ(large.Count(), 5);
    EXPECT_EQ(large.Alloc(), 55);

    CVexilArray empty = Objects({false, false});
    empty.SetToLastObj();
    EXPECT_EQ(empty.Count(), 0);

    // An array without objects has no empty slots to drop.
    CVexilArray strs = KeylessStrs({"a", "b"});
    strs.SetToLastObj();
    EXPECT_EQ(strs.Count(), 2);
}

// ---- changes by position ----

TEST(Array, MoveCases)
{
    struct Case
    {
        int32_t from;
        int32_t num;
        int32_t to;
        QStringList expected;
    };
    const Case cases[] = {
        {0, 2, 5, {"c", "d", "e", "a", "b", "f"}},
        {3, 2, 0, {"d", "e", "a", "b", "c", "f"}},
        {5, 1, 0, {"f", "a", "b", "c", "d", "e"}},
        {0, 1, 6, {"b", "c", "d", "e", "f", "a"}},
        {2, 0, 4, {"a", "b", "c", "d", "e", "f"}},  // nothing to move
        {2, 2, 2, {"a", "b", "c", "d", "e", "f"}},  // to its own place
        {2, 2, 4, {"a", "b", "c", "d", "e", "f"}},
    };
    for (const Case& c : cases)
    {
        CVexilArray array = KeylessStrs({"a", "b", "c", "d", "e", "f"});
        array.SetChanged(false);
        array.Move(c.from, c.num, c.to, false, 0);
        EXPECT_EQ(Strs(array), c.expected) << c.from << " " << c.num << " " << c.to;
        EXPECT_EQ(array.Changed(), Strs(array) != QStringList({"a", "b", "c", "d", "e", "f"}));
    }
}

TEST(Array, MoveOfAKeyedArrayRenumbers)
{
    CVexilArray order = MakeArray(EArrIntKey, EValInt);
    for (int32_t i = 1; i <= 4; ++i)
        order.CreateIntKey(IntKeyElem(order, i * 10, i));
    order.Move(2, 2, 0, true, 100);
    EXPECT_EQ(Values(order), (std::vector<int32_t>{3, 4, 1, 2}));
    EXPECT_EQ(IntKeys(order), (std::vector<int32_t>{100, 200, 300, 400}));
}

TEST(Array, LargeMovesKeepEveryElement)
{
    CVexilArray array = MakeArray(EArrIntKey, EValInt);
    const int32_t count = 20000;
    for (int32_t i = 0; i < count; ++i)
        array.CreateIntKey(IntKeyElem(array, i, i));
    array.Move(100, 9000, 15000, true, 1);  // more than a bulk move's worth
    array.Move(19990, 5, 3, true, 1);
    std::vector<int32_t> expected(count);
    for (int32_t i = 0; i < count; ++i)
        expected[i] = i;
    std::rotate(expected.begin() + 100, expected.begin() + 9100, expected.begin() + 15000);
    std::rotate(expected.begin() + 3, expected.begin() + 19990, expected.begin() + 19995);
    EXPECT_EQ(Values(array), expected);
}

TEST(Array, DeleteByPositionAndByKey)
{
    CVexilArray array = KeylessStrs({"a", "b", "c", "d", "e"});
    array.DeleteAt(1, 3);
    EXPECT_EQ(Strs(array), QStringList({"a", "e"}));

    CVexilArray keyed = MakeArray(EArrStrKey, EValInt);
    for (const char* key : {"x", "y", "z"})
        keyed.CreateStrKey(StrKeyElem(keyed, QString::fromLatin1(key)));
    keyed.DeleteStrKey(QStringLiteral("Y"));
    EXPECT_EQ(Keys(keyed), QStringList({"x", "z"}));

    CVexilArray ints = MakeArray(EArrIntKey, EValInt);
    for (int32_t key : {5, 6, 7})
        ints.CreateIntKey(IntKeyElem(ints, key));
    ints.DeleteIntKey(7);
    EXPECT_EQ(IntKeys(ints), (std::vector<int32_t>{5, 6}));
}

TEST(Array, RenumberIntAndStrKeys)
{
    CVexilArray order = MakeArray(EArrIntKey, EValInt);
    for (int32_t key : {7, 9, 150, 151})
        order.CreateIntKey(IntKeyElem(order, key));
    order.RenumberIntKey(100);
    EXPECT_EQ(IntKeys(order), (std::vector<int32_t>{100, 200, 300, 400}));
    EXPECT_EQ(RaisedError([&] { order.RenumberIntKey(1000000000); }), ERunOverflow);
    EXPECT_EQ(IntKeys(order), (std::vector<int32_t>{100, 200, 300, 400}));

    // The width is the first key's length; longer numbers keep their rightmost digits.
    CVexilArray names = StoredStrKeys(EArrStrKey + EArrBinaryCompare, {" a", "b", "c"});
    names.RenumberStrKey(50);
    EXPECT_EQ(Keys(names), QStringList({"50", "00", "50"}));
    EXPECT_TRUE(names.Changed());
}

TEST(Array, AdjustIntShiftsValuesFromAThreshold)
{
    CVexilArray positions = MakeArray(0, EValInt);
    for (int32_t v : {10, 20, UndefLong, 30})
    {
        TArrayElem elem;
        positions.InitElem(elem);
        elem.iVal.iInt = v;
        positions.CreateAtEnd(elem);
    }
    positions.SetChanged(false);
    positions.AdjustInt(20, -5);
    EXPECT_EQ(Values(positions), (std::vector<int32_t>{10, 15, UndefLong, 25}));
    EXPECT_FALSE(positions.Changed());

    // An overflow changes nothing.
    EXPECT_EQ(RaisedError([&] { positions.AdjustInt(20, 2147483640); }), ERunOverflow);
    EXPECT_EQ(Values(positions), (std::vector<int32_t>{10, 15, UndefLong, 25}));
}

// ---- element access by index ----

TEST(Array, IndexedAccessors)
{
    CVexilArray strs = KeylessStrs({"a", "b"});
    strs.SetChanged(false);
    strs.SetStr(1, QStringLiteral("B"));
    EXPECT_TRUE(strs.Changed());
    EXPECT_EQ(strs.Str(1), QStringLiteral("B"));

    CVexilArray ints = MakeArray(0, EValInt);
    TArrayElem elem;
    ints.InitElem(elem);
    ints.CreateAtEnd(elem);
    ints.SetIntNum(0, 42);
    EXPECT_EQ(ints.IntNum(0), 42);
    ints.ReadByIndex(0, elem);
    EXPECT_EQ(elem.iVal.iInt, 42);

    CVexilArray objs = Objects({true, false});
    auto obj = std::make_shared<TObj>();
    objs.SetObj(1, obj);
    EXPECT_EQ(objs.Obj(1), obj);

    // Beyond the slots is the platform's subscript error (after the check, which goes on).
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_EQ(RaisedError([&] { strs.Str(11); }), ERunSubscript);
    EXPECT_EQ(RaisedError([&] { strs.Str(-1); }), ERunSubscript);
    // Slots at and above Count hold nothing.
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_TRUE(strs.Str(5).isEmpty());
}

TEST(Array, LinearSearches)
{
    CVexilArray strs = KeylessStrs({"Apple", "a-b", "apple"});
    int32_t index = -1;
    EXPECT_TRUE(strs.GetStrIndex(QStringLiteral("APPLE"), index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(strs.GetStrIndex(QStringLiteral("ab"), index));  // nothing removed here
    EXPECT_TRUE(strs.GetStrIndex(QStringLiteral("A-B"), index));
    EXPECT_EQ(index, 1);

    CVexilArray ints = MakeArray(0, EValInt);
    for (int32_t v : {3, 4, 4})
    {
        TArrayElem elem;
        ints.InitElem(elem);
        elem.iVal.iInt = v;
        ints.CreateAtEnd(elem);
    }
    EXPECT_TRUE(ints.GetIntIndex(4, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(ints.GetIntIndex(5, index));

    CVexilArray objs = Objects({true, true});
    const TObjRef second = objs.Obj(1);
    EXPECT_TRUE(objs.GetObjIndex(second.get(), index));
    EXPECT_EQ(index, 1);
    TObj other;
    EXPECT_FALSE(objs.GetObjIndex(&other, index));
}

// ---- sorting ----

TEST(Array, SortUsesTheShellSortsOrderOfEqualTexts)
{
    // Five elements: a pass with gap 4 moves "b" behind "-A" before the final pass, so the
    // texts equal to "a" come out in this order, unlike in a stable sort.
    CVexilArray array = KeylessStrs({"b", "a", "A", "a-", "-A"});
    array.SetChanged(false);
    array.Sort();
    EXPECT_EQ(Strs(array), QStringList({"-A", "a", "A", "a-", "b"}));
    EXPECT_TRUE(array.Changed());

    CVexilArray fruit = KeylessStrs({"pear", "apple pie", "Banana", "Apple"});
    fruit.Sort();
    EXPECT_EQ(Strs(fruit), QStringList({"Apple", "apple pie", "Banana", "pear"}));
}

TEST(Array, SortOfManyTextsOrdersThemAll)
{
    QStringList texts;
    std::mt19937 random(5);
    for (int i = 0; i < 3000; ++i)
        texts << QString::number(random() % 100000).rightJustified(6, QLatin1Char('0'));
    CVexilArray array = KeylessStrs(texts);
    array.Sort();
    texts.sort();
    EXPECT_EQ(Strs(array), texts);
}

TEST(Array, CheckOrderRepairsOnlyAnArrayOutOfOrder)
{
    CVexilArray ordered = StoredStrKeys(EArrStrKey, {"apple", "Banana", "cherry"});
    ordered.CheckOrder();
    EXPECT_FALSE(ordered.Changed());

    CVexilArray unordered = StoredStrKeys(EArrStrKey, {"apple", "cherry", "Banana"});
    unordered.CheckOrder();
    EXPECT_EQ(Keys(unordered), QStringList({"apple", "Banana", "cherry"}));
    EXPECT_TRUE(unordered.Changed());

    // Binary order puts capitals first.
    CVexilArray binary = StoredStrKeys(EArrStrKey + EArrBinaryCompare, {"apple", "Banana"});
    binary.CheckOrder();
    EXPECT_EQ(Keys(binary), QStringList({"Banana", "apple"}));

    // Keyless arrays are the owner's order.
    CVexilArray keyless = KeylessStrs({"b", "a"});
    keyless.SetChanged(false);
    keyless.CheckOrder();
    EXPECT_FALSE(keyless.Changed());
}

TEST(Array, ArrayOrderedInOneLocaleIsResortedInAnother)
{
    // In English "ä" sorts with "a"; in Swedish after "z".
    const QStringList english = {"äpple", "banan", "zebra"};
    CVexilArray array = StoredStrKeys(EArrStrKey, english);
    array.CheckOrder();
    EXPECT_FALSE(array.Changed());

    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    CVexilArray read = StoredStrKeys(EArrStrKey, english);
    read.CheckOrder();
    EXPECT_EQ(Keys(read), QStringList({"banan", "zebra", "äpple"}));
    EXPECT_TRUE(read.Changed());
    TArrayElem elem;
    int32_t cursor = 0;
    EXPECT_TRUE(read.ReadByStrKey(QStringLiteral("ÄPPLE"), elem, cursor));
}

// ---- sort-key order ----

TEST(Array, SortKeyDecidesTheOrderOverBinaryComparison)
{
    for (int32_t flags : {EArrStrKey + EArrSortKeyOrder, EArrStrKey + EArrSortKeyOrder + EArrBinaryCompare})
    {
        CVexilArray index = MakeArray(flags, EValInt);
        auto sortKey = std::make_shared<TDescendingNumbers>(17);
        index.SetSortKey(sortKey);
        EXPECT_EQ(index.SortKeyId(), 17);
        for (const char* key : {"5", "40", "300", "7"})
            index.CreateStrKey(StrKeyElem(index, QString::fromLatin1(key)));
        EXPECT_EQ(Keys(index), QStringList({"300", "40", "7", "5"}));
        EXPECT_GT(sortKey->iCalls, 0);

        TArrayElem elem;
        int32_t cursor = 0;
        EXPECT_TRUE(index.ReadByStrKey(QStringLiteral("040"), elem, cursor));  // equal as numbers
        EXPECT_EQ(cursor, 2);
    }
}

TEST(Array, SortKeyIsLookedUpByIdOnceAndKept)
{
    auto sortKey = std::make_shared<TDescendingNumbers>(9);
    int lookups = 0;
    SortKeyLookupScope scope([&](int32_t aId) -> TKeyCompareRef {
        ++lookups;
        return aId == 9 ? sortKey : nullptr;
    });
    CVexilArray index = StoredStrKeys(EArrStrKey + EArrSortKeyOrder, {"1", "3", "2"});
    index.SetSortKeyId(9);
    index.SetChanged(false);
    index.CheckOrder();
    EXPECT_EQ(Keys(index), QStringList({"3", "2", "1"}));
    EXPECT_TRUE(index.Changed());
    EXPECT_EQ(index.SortKey(), sortKey);
    EXPECT_EQ(lookups, 1);

    // A new id forgets the kept key.
    index.SetSortKeyId(10);
    EXPECT_EQ(index.SortKey(), nullptr);
    EXPECT_EQ(lookups, 2);

    // Without sort-key order there is no sort key.
    CVexilArray plain = MakeArray(EArrStrKey, EValInt);
    EXPECT_EQ(plain.SortKey(), nullptr);
    EXPECT_EQ(lookups, 2);
}

TEST(Array, IndexWithoutItsSortKeyFailsInsteadOfGuessingAnOrder)
{
    CVexilArray index = StoredStrKeys(EArrStrKey + EArrSortKeyOrder, {"1", "2"});
    index.SetSortKeyId(33);  // no lookup installed: the key cannot be found
    TArrayElem elem;
    int32_t cursor = 0;
    EXPECT_EQ(RaisedError([&] { index.ReadByStrKey(QStringLiteral("1"), elem, cursor); }), ERunInvalidCall);
    EXPECT_EQ(RaisedError([&] { index.CheckOrder(); }), ERunInvalidCall);
    EXPECT_EQ(Keys(index), QStringList({"1", "2"}));

    // An index that never had a sort key id asks first.
    CVexilArray fresh = MakeArray(EArrStrKey + EArrSortKeyOrder, EValInt);
    const TErrInfo info = RefusedCheck([&] { fresh.SortKey(); });
    EXPECT_EQ(info.Context, QStringLiteral("GetSortKey"));
    EXPECT_EQ(info.Param2, QStringLiteral("id set") + fresh.ObjDescr() + QStringLiteral("\r\n"));
}

// ---- Changed ----

TEST(Array, ChangedOfAnObjectArrayIncludesItsObjects)
{
    CVexilArray cards = Objects({true, false, true});
    cards.SetChanged(false);
    EXPECT_FALSE(cards.Changed());
    std::static_pointer_cast<TObj>(cards.Obj(2))->SetChanged(true);
    EXPECT_TRUE(cards.Changed());
    cards.SetChanged(false);
    EXPECT_FALSE(cards.Obj(2)->Changed());
    EXPECT_FALSE(cards.Changed());

    // Setting it true marks the array only.
    cards.SetChanged(true);
    EXPECT_FALSE(cards.Obj(0)->Changed());

    // Nested arrays report through their owner.
    CVexilArray indexes = MakeArray(EArrIntKey, EValArray);
    auto inner = std::make_shared<CVexilArray>();
    inner->Construct(EArrStrKey, EValInt);
    TArrayElem elem;
    indexes.InitElem(elem);
    elem.IntKey = 1;
    elem.iVal.iObj = inner;
    indexes.CreateIntKey(elem);
    indexes.SetChanged(false);
    EXPECT_FALSE(inner->Changed());
    inner->CreateStrKey(StrKeyElem(*inner, QStringLiteral("k")));
    EXPECT_TRUE(indexes.Changed());
}

TEST(Array, WhichSettersMarkChanged)
{
    CVexilArray array = MakeArray(EArrStrKey, EValInt);
    array.SetChanged(false);
    array.SetFlags(EArrStrKey + EArrDupKeys);
    EXPECT_FALSE(array.Changed());
    EXPECT_TRUE(array.WithStrKey());
    array.SetId(5);
    EXPECT_TRUE(array.Changed());
    array.SetChanged(false);
    array.SetSortKeyId(3);
    EXPECT_TRUE(array.Changed());
    array.SetChanged(false);
    array.Clear();
    EXPECT_TRUE(array.Changed());
}

TEST(Array, DerivedSwitches)
{
    struct Case
    {
        int32_t flags;
        int32_t type;
        bool withKey, strKey, intKey, sortKeyOrder, anyType, binary, objects;
    };
    const Case cases[] = {
        {0, EValCard, false, false, false, false, false, false, true},
        {41, EValInt, true, true, false, false, false, true, false},
        {5, EValInt, true, true, false, true, false, false, false},
        {18, EValStr, true, false, true, false, true, false, true},
        {2, EValBlob, true, false, true, false, false, false, true},
    };
    for (const Case& c : cases)
    {
        const CVexilArray a = MakeArray(c.flags, c.type);
        EXPECT_EQ((std::vector<bool>{a.WithKey(), a.WithStrKey(), a.WithIntKey(), a.SortKeyOrder(), a.AnyType(),
                                     a.BinaryCompare(), a.HasObjects()}),
                  (std::vector<bool>{c.withKey, c.strKey, c.intKey, c.sortKeyOrder, c.anyType, c.binary, c.objects}))
            << c.flags;
    }
}

// ---- checks ----

TEST(Array, FailedChecksAskAndNoRaises1000)
{
    struct Fixtures
    {
        CVexilArray keyed = StoredStrKeys(EArrStrKey, {"a", "b"});
        CVexilArray strs = KeylessStrs({"a", "b"});
        CVexilArray cards = Objects({false, false});
    };
    struct Case
    {
        const char* name;
        std::function<void(Fixtures&)> act;
        QString context;  // "Assert" for the plain assertions, which add no description
        QString detail;
    };
    const QString assertCtx = QStringLiteral("Assert");
    TArrayElem e;
    int32_t cursor = 0;
    const Case cases[] = {
        {"Str index", [](Fixtures& f) { f.strs.Str(5); }, assertCtx, "GetStr Index"},
        {"LetStr type", [](Fixtures& f) { f.cards.SetStr(0, "x"); }, assertCtx, "With Str"},
        {"IntNum keyed", [](Fixtures& f) { f.keyed.IntNum(0); }, assertCtx, "Without key"},
        {"LetIntNum index", [](Fixtures& f) { f.keyed.SetIntNum(5, 1); }, assertCtx, "LetIntNum Index"},
        {"Obj type", [](Fixtures& f) { f.strs.Obj(0); }, assertCtx, "With Obj"},
        {"LetObj index", [](Fixtures& f) { f.cards.SetObj(3, nullptr); }, assertCtx, "LetObj Index"},
        {"CreateStrKey", [](Fixtures& f) { f.strs.CreateStrKey(StrElem(f.strs, "x")); }, "CreateStrKey", "with StrKey"},
        {"CreateIntKey", [](Fixtures& f) { f.keyed.CreateIntKey(IntKeyElem(f.keyed, 1)); }, "CreateIntKey", "with IntKey"},
        {"Create undef",
         [](Fixtures& f) {
             TArrayElem elem = StrKeyElem(f.keyed, "n");
             elem.iVal.iType = EValUndef;
             f.keyed.CreateStrKey(elem);
         },
         "Create", "aElem.iVal.iType"},
        {"Create type",
         [](Fixtures& f) {
             TArrayElem elem = StrKeyElem(f.keyed, "n");
             elem.iVal.iType = EValStr;
             f.keyed.CreateStrKey(elem);
         },
         "Create", "iType"},
        {"Create key",
         [](Fixtures& f) {
             TArrayElem elem = StrElem(f.strs, "x");
             elem.StrKey = "k";
             f.strs.CreateAtEnd(elem);
         },
         assertCtx, "Create key"},
        {"Create str",
         [](Fixtures& f) {
             TArrayElem elem = StrKeyElem(f.keyed, "n");
             elem.iVal.iStr = "s";
             f.keyed.CreateStrKey(elem);
         },
         assertCtx, "Create str"},
        {"Create obj",
         [](Fixtures& f) {
             TArrayElem elem = StrKeyElem(f.keyed, "n");
             elem.iVal.iObj = std::make_shared<TObj>();
             f.keyed.CreateStrKey(elem);
         },
         assertCtx, "Create obj"},
        {"MakeRoomAt", [](Fixtures& f) { f.strs.CreateAt(StrElem(f.strs, "x"), 4); }, assertCtx, "MakeRoomAt index"},
        {"DeleteAt max", [](Fixtures& f) { f.strs.DeleteAt(2, 1); }, assertCtx, "DeleteAt max"},
        {"DeleteAt num", [](Fixtures& f) { f.strs.DeleteAt(1, 2); }, assertCtx, "DeleteAt aNum"},
        {"Move key", [](Fixtures& f) { f.keyed.Move(0, 1, 2, false, 0); }, "Move", "key"},
        {"Move max", [](Fixtures& f) { f.strs.Move(1, 2, 0, false, 0); }, "Move", "max"},
        {"Move into run", [](Fixtures& f) { f.strs.Move(0, 2, 1, false, 0); }, "Move", "aToIndex"},
        {"DeleteStrKey keyless", [](Fixtures& f) { f.strs.DeleteStrKey("a"); }, assertCtx, "DeleteStrKey withKey"},
        {"DeleteStrKey missing", [](Fixtures& f) { f.keyed.DeleteStrKey("zz"); }, assertCtx, "DeleteStrKey found"},
        {"DeleteIntKey", [](Fixtures& f) { f.keyed.DeleteIntKey(1); }, assertCtx, "DeleteIntKey withKey"},
        {"AdjustInt", [](Fixtures& f) { f.strs.AdjustInt(0, 1); }, "AdjustInt", "iType"},
        {"ReadByStrKey", [&](Fixtures& f) { f.strs.ReadByStrKey("a", e, cursor); }, assertCtx, "ReadByStrKey withKey"},
        {"ReadByIntKey", [&](Fixtures& f) { f.keyed.ReadByIntKey(1, e, cursor); }, assertCtx, "ReadByIntKey withKey"},
        {"ReadByIndex key", [&](Fixtures& f) { f.keyed.ReadByIndex(0, e); }, "ReadByIndex", "key"},
        {"ReadByIndex max", [&](Fixtures& f) { f.strs.ReadByIndex(2, e); }, "ReadByIndex", "iMax"},
        {"RenumberStrKey", [](Fixtures& f) { f.strs.RenumberStrKey(1); }, "RenumberStrKey", "with StrKey"},
        {"RenumberIntKey", [](Fixtures& f) { f.keyed.RenumberIntKey(1); }, "RenumberIntKey", "with IntKey"},
        {"Sort keyed", [](Fixtures& f) { f.keyed.Sort(); }, "Sort", "not withKey"},
        {"Sort type", [](Fixtures& f) { f.cards.Sort(); }, "Sort", "EValStr"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Fixtures f;
        const TErrInfo info = RefusedCheck([&] { c.act(f); });
        EXPECT_EQ(info.Context, c.context);
        // CheckFailed adds the array's description behind the detail.
        const QString text = c.context == assertCtx ? c.detail : c.detail + f.keyed.ObjDescr() + QStringLiteral("\r\n");
        EXPECT_EQ(info.Param2, text);
        EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, EMsgAssertFailedOk);
        // Refused, the operation leaves every array as it was.
        EXPECT_EQ(Keys(f.keyed), QStringList({"a", "b"}));
        EXPECT_EQ(Strs(f.strs), QStringList({"a", "b"}));
        EXPECT_EQ(f.cards.Count(), 2);
        EXPECT_EQ(f.strs.Alloc(), 10);
    }
}

TEST(Array, GoingOnPastAFailedCheckStaysSafe)
{
    auto& prompts = ScriptedPrompts::Instance();

    // A key that is not there: nothing is removed.
    CVexilArray keyed = StoredStrKeys(EArrStrKey, {"a", "b"});
    prompts.ExpectMessage(true);
    keyed.DeleteStrKey(QStringLiteral("c"));
    EXPECT_EQ(Keys(keyed), QStringList({"a", "b"}));

    // Deleting beyond the end removes only what exists.
    CVexilArray strs = KeylessStrs({"a", "b", "c"});
    prompts.ExpectMessage(true);
    strs.DeleteAt(1, 5);
    EXPECT_EQ(Strs(strs), QStringList({"a"}));
    prompts.ExpectMessage(true);  // "DeleteAt max"
    prompts.ExpectMessage(true);  // "DeleteAt aNum"
    strs.DeleteAt(3, 1);
    EXPECT_EQ(Strs(strs), QStringList({"a"}));

    // Inserting beyond the end appends, leaving no hole.
    prompts.ExpectMessage(true);
    strs.CreateAt(StrElem(strs, QStringLiteral("z")), 7);
    EXPECT_EQ(Strs(strs), QStringList({"a", "z"}));

    // A run cannot move into itself.
    CVexilArray run = KeylessStrs({"a", "b", "c", "d"});
    prompts.ExpectMessage(true);
    run.Move(0, 3, 1, false, 0);
    EXPECT_EQ(Strs(run), QStringList({"a", "b", "c", "d"}));
}

// ---- many elements ----

TEST(Array, ManyRandomKeysAreAllFoundInOrder)
{
    std::mt19937 random(3);
    QStringList keys;
    for (int i = 0; i < 5000; ++i)
        keys << QStringLiteral("Card %1 x%2").arg(i).arg(random() % 1000);
    std::shuffle(keys.begin(), keys.end(), random);
    CVexilArray array = MakeArray(EArrStrKey, EValInt);
    for (int i = 0; i < keys.size(); ++i)
        array.CreateStrKey(StrKeyElem(array, keys[i], i));
    ASSERT_EQ(array.Count(), 5000);
    array.SetChanged(false);
    array.CheckOrder();
    EXPECT_FALSE(array.Changed());
    for (int i = 0; i < keys.size(); i += 7)
        array.DeleteStrKey(keys[i]);
    TArrayElem elem;
    for (int i = 0; i < keys.size(); ++i)
    {
        int32_t cursor = 0;
        ASSERT_EQ(array.ReadByStrKey(keys[i], elem, cursor), i % 7 != 0) << i;
        if (i % 7 != 0)
        {
            EXPECT_EQ(elem.iVal.iInt, i);
        }
    }
}

// The array against a plain vector that follows the rules word for word: same elements in the
// same order after every step, duplicates included, across block splits and merges.
TEST(Array, RandomOperationsMatchAFlatModel)
{
    struct Model
    {
        std::vector<std::pair<int32_t, int32_t>> elems;  // key, value
        int32_t alloc = 10;

        void Room(int32_t aNum)
        {
            if (int32_t(elems.size()) + aNum > alloc)
                alloc = int32_t(elems.size()) + aNum + 50;
        }
        int32_t Search(int32_t aKey, bool& aFound) const
        {
            aFound = false;
            const int32_t count = int32_t(elems.size());
            if (count == 0)
                return 0;
            int32_t lo = 0, hi = count - 1, mid = 0;
            for (;;)
            {
                mid = (lo + hi) / 2;
                if (elems[mid].first == aKey)
                {
                    aFound = true;
                    return mid;
                }
                if (lo >= hi)
                    break;
                if (aKey > elems[mid].first)
                {
                    if (mid >= count - 1)
                        break;
                    lo = mid + 1;
                }
                else
                {
                    if (mid == 0)
                        break;
                    hi = mid - 1;
                }
            }
            return aKey > elems[mid].first ? mid + 1 : mid;
        }
    };
    std::mt19937 random(99);
    CVexilArray array = MakeArray(EArrIntKey + EArrDupKeys, EValInt);
    Model model;
    for (int step = 0; step < 6000; ++step)
    {
        const int32_t count = int32_t(model.elems.size());
        const uint32_t op = random() % 20;
        if (op < 16 || count < 2)
        {
            const int32_t key = int32_t(random() % 400);
            bool found = false;
            const int32_t at = model.Search(key, found);
            model.Room(1);
            model.elems.insert(model.elems.begin() + at, {key, step});
            array.CreateIntKey(IntKeyElem(array, key, step));
        }
        else if (op < 17)
        {
            // Mostly a few elements, now and then a run across several blocks.
            const int32_t at = int32_t(random() % count);
            const int32_t want = random() % 100 == 0 ? int32_t(random() % 600) + 1 : int32_t(random() % 5) + 1;
            const int32_t num = std::min(want, count - at);
            model.elems.erase(model.elems.begin() + at, model.elems.begin() + at + num);
            array.DeleteAt(at, num);
        }
        else if (op < 18)
        {
            const int32_t key = model.elems[random() % count].first;
            bool found = false;
            const int32_t at = model.Search(key, found);
            model.elems.erase(model.elems.begin() + at);
            array.DeleteIntKey(key);
        }
        else
        {
            // Move with renumbering keeps the array keyed: keys 1, 2, 3 ... in the new order.
            const int32_t from = int32_t(random() % count);
            const int32_t num = std::min<int32_t>(int32_t(random() % 30) + 1, count - from);
            int32_t to = int32_t(random() % (count + 1));
            if (to > from && to < from + num)
                to = from;
            if (num > 0 && to != from && to != from + num)
            {
                model.Room(num);
                std::vector<std::pair<int32_t, int32_t>> moved(model.elems.begin() + from,
                                                               model.elems.begin() + from + num);
                model.elems.erase(model.elems.begin() + from, model.elems.begin() + from + num);
                model.elems.insert(model.elems.begin() + (to < from ? to : to - num), moved.begin(), moved.end());
                for (size_t i = 0; i < model.elems.size(); ++i)
                    model.elems[i].first = int32_t(i + 1);
            }
            array.Move(from, num, to, true, 1);
        }
        if (step % 250 == 0 || step == 5999)
        {
            std::vector<int32_t> keys, values;
            for (const auto& [key, value] : model.elems)
            {
                keys.push_back(key);
                values.push_back(value);
            }
            ASSERT_EQ(IntKeys(array), keys) << "step " << step;
            ASSERT_EQ(Values(array), values) << "step " << step;
            ASSERT_EQ(array.Alloc(), model.alloc) << "step " << step;
        }
    }
}

// ---- the keys as the array keeps them ----

namespace
{
// Keys of every length and kind: null, empty, one unit, around and far beyond the room that
// small arrays start with, surrogate pairs, a zero unit inside.
struct TKeyCase
{
    const char* Name;
    QString Key;
};

std::vector<TKeyCase> KeyCases()
{
    return {
        {"null", QString()},
        {"empty", QStringLiteral("")},
        {"one unit", QStringLiteral("a")},
        {"zero unit inside", QString(QChar(u'x')) + QChar(u'\0') + QChar(u'y')},
        {"surrogate pair", QStringLiteral("a\U0001F600b")},
        {"63 units", QString(63, u'm')},
        {"64 units", QString(64, u'n')},
        {"a page", QString(32766, u'p')},
        {"beyond a page", QString(40000, u'q') + QStringLiteral("end")},
        {"very long", QString(300000, u'r')},
    };
}

const int32_t kKeyedFlags[] = {
    EArrStrKey + EArrDupKeys,
    EArrStrKey + EArrDupKeys + EArrBinaryCompare,
    EArrStrKey + EArrDupKeys + EArrSortKeyOrder,
};

// Orders keys by their code units, as a sort key would order them: the array lends it its
// keys for every comparison.
class TCodeUnitOrder : public IVexilKeyCompare
{
public:
    int32_t Id() const override { return 3; }
    int32_t compare(const QString& aKey1, const QString& aKey2) const override
    {
        return CVexilLib::CompareStr(aKey1, aKey2) + 1;
    }
};

CVexilArray KeyedArray(int32_t aFlags)
{
    CVexilArray array = MakeArray(aFlags, EValInt);
    if (aFlags & EArrSortKeyOrder)
        array.SetSortKey(std::make_shared<TCodeUnitOrder>());
    return array;
}

// Every element's key and value, read by position, as the caller sees them.
std::vector<std::pair<QString, int32_t>> KeysAndValues(const CVexilArray& aArray)
{
    std::vector<std::pair<QString, int32_t>> elems;
    for (int32_t i = 0; i < aArray.Count(); ++i)
    {
        const TArrayElem elem = aArray.ElemAt(i);
        elems.emplace_back(elem.StrKey, elem.iVal.iInt);
    }
    return elems;
}
}  // namespace

TEST(ArrayKeys, KeysOfEveryLengthReadBackExactly)
{
    const std::vector<TKeyCase> cases = KeyCases();
    for (const int32_t flags : kKeyedFlags)
    {
        CVexilArray array = KeyedArray(flags);
        for (size_t i = 0; i < cases.size(); ++i)
            array.CreateStrKey(StrKeyElem(array, cases[i].Key, int32_t(i)));
        for (size_t i = 0; i < cases.size(); ++i)
        {
            SCOPED_TRACE(testing::Message() << flags << " " << cases[i].Name);
            TArrayElem elem;
            int32_t cursor = 0;
            ASSERT_TRUE(array.ReadByStrKey(cases[i].Key, elem, cursor));
            // The null and the empty key are equal keys; each keeps its own form.
            const int32_t at = cursor - 1;
            const bool nullOrEmpty = cases[i].Key.isEmpty();
            const TArrayElem found = array.ElemAt(at);
            if (!nullOrEmpty)
            {
                EXPECT_EQ(found.iVal.iInt, int32_t(i));
                EXPECT_EQ(found.StrKey, cases[i].Key);
                EXPECT_EQ(array.StrKeyAt(at), cases[i].Key);
            }
        }
        int32_t nulls = 0;
        int32_t empties = 0;
        for (int32_t at = 0; at < array.Count(); ++at)
        {
            const TArrayElem elem = array.ElemAt(at);
            const QString& expected = cases[size_t(elem.iVal.iInt)].Key;
            EXPECT_EQ(elem.StrKey, expected);
            EXPECT_EQ(elem.StrKey.isNull(), expected.isNull()) << cases[size_t(elem.iVal.iInt)].Name;
            nulls += elem.StrKey.isNull() ? 1 : 0;
            empties += (elem.StrKey.isEmpty() && !elem.StrKey.isNull()) ? 1 : 0;
        }
        EXPECT_EQ(nulls, 1);
        EXPECT_EQ(empties, 1);
    }
}

// In the default text order "abc", "ABC" and " abc" (the blank stripped) are one key: each
// element keeps its own text, the search meets one of them, and deleting one leaves the
// others' texts as they were. Compared by code units they are three keys.
TEST(ArrayKeys, KeysEqualUnderCollationKeepTheirOwnText)
{
    const QStringList texts = {"abc", "ABC", " abc", "Abc "};
    for (const char* locale : {"en_US", "de_DE", "sv_SE", "da_DK", "tr_TR"})
    {
        SCOPED_TRACE(locale);
        const LocaleScope scope{QLocale(QString::fromLatin1(locale))};
        CVexilArray text = KeyedArray(EArrStrKey + EArrDupKeys);
        CVexilArray binary = KeyedArray(EArrStrKey + EArrDupKeys + EArrBinaryCompare);
        for (int32_t i = 0; i < texts.size(); ++i)
        {
            text.CreateStrKey(StrKeyElem(text, texts[i], i));
            binary.CreateStrKey(StrKeyElem(binary, texts[i], i));
        }
        for (const QString& key : texts)
        {
            TArrayElem elem;
            int32_t cursor = 0;
            EXPECT_TRUE(text.ReadByStrKey(key.toLower(), elem, cursor)) << qPrintable(key);
            cursor = 0;
            ASSERT_TRUE(binary.ReadByStrKey(key, elem, cursor));
            EXPECT_EQ(elem.StrKey, key);
            EXPECT_EQ(elem.iVal.iInt, int32_t(texts.indexOf(key)));
        }
        text.DeleteAt(1, 1);
        for (const auto& [key, value] : KeysAndValues(text))
            EXPECT_EQ(key, texts[value]);
        EXPECT_EQ(text.Count(), 3);
    }
}

// Keys made in one locale are made again in the next; their texts, null or empty, stay.
TEST(ArrayKeys, AChangeOfLocaleKeepsEveryKeyText)
{
    const std::vector<TKeyCase> cases = KeyCases();
    CVexilArray array = KeyedArray(EArrStrKey + EArrDupKeys);
    for (size_t i = 0; i < cases.size(); ++i)
        array.CreateStrKey(StrKeyElem(array, cases[i].Key, int32_t(i)));
    const auto before = KeysAndValues(array);
    const LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    TArrayElem elem;
    int32_t cursor = 0;
    EXPECT_TRUE(array.ReadByStrKey(QStringLiteral("A"), elem, cursor));
    EXPECT_EQ(KeysAndValues(array), before);
    for (int32_t at = 0; at < array.Count(); ++at)
        EXPECT_EQ(array.ElemAt(at).StrKey.isNull(), cases[size_t(array.ElemAt(at).iVal.iInt)].Key.isNull());
}

// Rounds of filling and emptying, with copies taken between them: after each deletion the
// elements left are exactly those the reference keeps, key for value, and a copy does not
// follow its original.
TEST(ArrayKeys, DeletedKeysMakeRoomForNewOnesWithoutTouchingTheRest)
{
    std::mt19937 random(17);
    for (const int32_t flags : kKeyedFlags)
    {
        SCOPED_TRACE(flags);
        CVexilArray array = KeyedArray(flags);
        std::map<int32_t, QString> reference;  // value -> key
        const auto forget = [&](int32_t aFrom, int32_t aNum) {
            for (int32_t at = aFrom; at < aFrom + aNum; ++at)
                reference.erase(array.ElemAt(at).iVal.iInt);
        };
        int32_t next = 0;
        for (int round = 0; round < 4; ++round)
        {
            for (int i = 0; i < 3000; ++i)
            {
                const QString key = QString(int(random() % 90), QChar(u'a' + char16_t(random() % 3))) +
                                    QString::number(random() % 50);
                array.CreateStrKey(StrKeyElem(array, key, next));
                reference[next++] = key;
            }
            const CVexilArray copy = array;
            const auto copied = KeysAndValues(copy);
            // Most go, from the front, the middle and one by one.
            forget(0, array.Count() / 3);
            array.DeleteAt(0, array.Count() / 3);
            const int32_t middle = array.Count() / 2;
            const int32_t num = array.Count() / 3;
            forget(middle, num);
            array.DeleteAt(middle, num);
            for (int i = 0; i < 200 && array.Count() > 0; ++i)
            {
                const int32_t at = int32_t(random() % uint32_t(array.Count()));
                forget(at, 1);
                array.DeleteAt(at, 1);
            }
            EXPECT_EQ(KeysAndValues(copy), copied);
            ASSERT_EQ(array.Count(), int32_t(reference.size()));
            for (const auto& [key, value] : KeysAndValues(array))
                ASSERT_EQ(key, reference.at(value));
            for (const auto& [value, key] : reference)
            {
                TArrayElem elem;
                int32_t cursor = 0;
                ASSERT_TRUE(array.ReadByStrKey(key, elem, cursor));
            }
        }
    }
}

// Many keys across many pages, renumbered in place and cleared: every step reads back whole.
TEST(ArrayKeys, ManyKeysStayInOrderThroughRenumberingAndClearing)
{
    for (const int32_t flags : kKeyedFlags)
    {
        SCOPED_TRACE(flags);
        CVexilArray array = KeyedArray(flags);
        QStringList keys;
        for (int i = 0; i < 60000; ++i)
            keys << CVexilLib::NumToPaddedStr((i * 7919) % 60000, 8) + QString(i % 40, u'x');
        for (int i = 0; i < keys.size(); ++i)
            array.CreateStrKey(StrKeyElem(array, keys[i], i));
        std::sort(keys.begin(), keys.end(), [](const QString& aA, const QString& aB) { return aA < aB; });
        if (flags & (EArrBinaryCompare | EArrSortKeyOrder))
        {
            EXPECT_EQ(Keys(array), keys);
        }
        array.RenumberStrKey(3);
        const QStringList renumbered = Keys(array);
        ASSERT_EQ(renumbered.size(), 60000);
        EXPECT_EQ(renumbered.first(), CVexilLib::NumToPaddedStr(3, 8));
        EXPECT_EQ(renumbered.last(), CVexilLib::NumToPaddedStr(180000, 8));
        array.Clear();
        array.CreateStrKey(StrKeyElem(array, QStringLiteral("again")));
        EXPECT_EQ(Keys(array), QStringList({"again"}));
    }
}
