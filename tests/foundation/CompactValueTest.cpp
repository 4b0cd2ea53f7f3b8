#include "foundation/VexilArray.h"
#include "foundation/VexilCompactValue.h"

#include "QStringPrinter.h"
#include "SameValue.h"

#include <gtest/gtest.h>

#include <bit>
#include <memory>

namespace
{
class TThing : public CVexilObject
{
public:
    QString ObjDescr() const override { return QStringLiteral("TThing"); }
};

constexpr auto ExpectSame = ExpectSameValue;
using TCase = TValueCase;
constexpr auto With = ValueWith;

// The values a card holds, fresh from an array's InitElem or a new TValue, and values whose
// other fields hold leftovers: a value that changed its type in place, a negative zero, an
// empty string that is not null, an undefined value with content.
std::vector<TCase> Cases()
{
    const auto thing = std::make_shared<TThing>();
    CVexilArray fresh;
    fresh.Construct(EArrIntKey + EArrAnyType, EValStr);
    TArrayElem elem;
    fresh.InitElem(elem);
    TValue freshStr = elem.iVal;
    freshStr.iType = EValStr;
    freshStr.iStr = QStringLiteral("text");
    TValue freshPair = elem.iVal;
    freshPair.iType = EValIntPair;
    freshPair.iInt0 = 3;
    TValue freshCard = elem.iVal;
    freshCard.iType = EValCard;
    freshCard.iObj = thing;
    return {
        {"undefined", TValue()},
        {"text", With(EValStr, [](TValue& v) { v.iStr = QStringLiteral("Stra\u00DFe"); })},
        {"empty text", With(EValStr, [](TValue& v) { v.iStr = QStringLiteral(""); })},
        {"text at the length limit", With(EValStr, [](TValue& v) { v.iStr = QString(15000, QChar(0x20AC)); })},
        {"integer", With(EValInt, [](TValue& v) { v.iInt = -7; })},
        {"blob id", With(EValBlobId, [](TValue& v) { v.iInt = 12; })},
        {"real", With(EValReal, [](TValue& v) { v.iReal = 2.5; })},
        {"negative zero", With(EValReal, [](TValue& v) { v.iReal = -0.0; })},
        {"date", With(EValDate, [](TValue& v) { v.iDate = 45000; })},
        {"time", With(EValTime, [](TValue& v) { v.iTime = 0.25; })},
        {"Boolean", With(EValBool, [](TValue& v) { v.iBool = true; })},
        {"pair", With(EValIntPair, [](TValue& v) { v.iInt0 = 1, v.iInt1 = -1; })},
        {"object", With(EValBlob, [](TValue& v) { v.iObj = std::make_shared<TThing>(); })},
        {"unknown type", With(77, [](TValue& v) { v.iInt = 5; })},
        {"fresh text", freshStr},
        {"fresh pair", freshPair},
        {"fresh card", freshCard},
        {"text turned integer", With(EValInt, [](TValue& v) { v.iStr = QStringLiteral("old"), v.iInt = 4; })},
        {"real turned Boolean", With(EValBool, [](TValue& v) { v.iReal = 1.5, v.iBool = true; })},
        {"integer turned date", With(EValDate, [](TValue& v) { v.iInt = 9, v.iDate = 3; })},
        {"negative zero left", With(EValInt, [](TValue& v) { v.iTime = -0.0; })},
        {"empty text left", With(EValTime, [](TValue& v) { v.iStr = QStringLiteral(""); })},
        {"object left", With(EValStr, [](TValue& v) { v.iObj = std::make_shared<TThing>(); })},
        {"half fresh", With(EValInt, [](TValue& v) { v.iInt0 = UndefLong; })},
        {"undefined with content", With(EValUndef, [](TValue& v) { v.iInt = 3, v.iStr = QStringLiteral("x"); })},
    };
}
}  // namespace

// An array keeps each value in the compact form of its type, yet hands every value back as it
// was stored, the fields that its type does not name included.
TEST(CompactValue, EveryValueReadsBackAsStored)
{
    for (const TCase& c : Cases())
    {
        SCOPED_TRACE(c.Name);
        ExpectSame(TCompactValue(c.Value).Get(), c.Value);

        CVexilArray values;
        values.Construct(EArrIntKey + EArrAnyType, EValStr);
        TArrayElem elem;
        values.InitElem(elem);
        elem.IntKey = 1;
        elem.iVal = c.Value;
        elem.iVal.iType = c.Value.iType == EValUndef ? EValInt : c.Value.iType;
        values.CreateIntKey(elem);
        int32_t cursor = 0;
        ASSERT_TRUE(values.ReadNext(elem, cursor));
        values.WriteLastVal(cursor, c.Value);  // in place, whatever type the element had
        ExpectSame(values.ElemAt(0).iVal, c.Value);
        const CVexilArray copy = values;
        cursor = 0;
        ASSERT_TRUE(copy.ReadNext(elem, cursor));
        ExpectSame(elem.iVal, c.Value);
    }
}

// Copies and moves leave the source as it was, or empty, and share objects as a TValue does.
TEST(CompactValue, CopiesAndMovesKeepTheValue)
{
    for (const TCase& c : Cases())
    {
        SCOPED_TRACE(c.Name);
        TCompactValue original(c.Value);
        TCompactValue copy(original);
        TCompactValue assigned;
        assigned = copy;
        TCompactValue moved(std::move(copy));
        ExpectSame(original.Get(), c.Value);
        ExpectSame(assigned.Get(), c.Value);
        ExpectSame(moved.Get(), c.Value);
        EXPECT_EQ(copy.Type(), EValUndef);
        assigned = std::move(moved);
        ExpectSame(assigned.Get(), c.Value);
        EXPECT_EQ(assigned.Str(), c.Value.iStr);
        EXPECT_EQ(assigned.Int(), c.Value.iInt);
        EXPECT_EQ(assigned.Obj(), c.Value.iObj);
    }
}
