#pragma once

#include "foundation/VexilValueDef.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

// A value of a type with the fields that aFill sets, and a named value for tables of cases.
inline TValue ValueWith(int32_t aType, void (*aFill)(TValue&))
{
    TValue value;
    value.iType = aType;
    aFill(value);
    return value;
}

struct TValueCase
{
    const char* Name;
    TValue Value;
};

// Every field alike, doubles bit for bit, a null string apart from an empty one.
inline void ExpectSameValue(const TValue& aGot, const TValue& aWanted)
{
    EXPECT_EQ(aGot.iType, aWanted.iType);
    EXPECT_EQ(aGot.iInt, aWanted.iInt);
    EXPECT_EQ(aGot.iStr, aWanted.iStr);
    EXPECT_EQ(aGot.iStr.isNull(), aWanted.iStr.isNull());
    EXPECT_EQ(std::bit_cast<uint64_t>(aGot.iReal), std::bit_cast<uint64_t>(aWanted.iReal));
    EXPECT_EQ(std::bit_cast<uint64_t>(aGot.iDate), std::bit_cast<uint64_t>(aWanted.iDate));
    EXPECT_EQ(std::bit_cast<uint64_t>(aGot.iTime), std::bit_cast<uint64_t>(aWanted.iTime));
    EXPECT_EQ(aGot.iBool, aWanted.iBool);
    EXPECT_EQ(aGot.iObj, aWanted.iObj);
    EXPECT_EQ(aGot.iInt0, aWanted.iInt0);
    EXPECT_EQ(aGot.iInt1, aWanted.iInt1);
}
