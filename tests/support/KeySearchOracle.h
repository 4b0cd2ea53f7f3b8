#pragma once

// The keyed array's searches as plain binary searches over a vector: the oracle that the
// array's faster searches are held against, with a driver of random insertions, look-ups,
// deletions and renumberings that compares both after every step.

#include "foundation/VexilArray.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

class TKeySearchOracle
{
public:
    // How a key compares with an element's key (<0, 0, >0).
    using TCompare = std::function<int(const TArrayElem& aKey, const TArrayElem& aElem)>;
    // A random key into the element.
    using TMakeKey = std::function<void(std::mt19937& aRandom, TArrayElem& aElem)>;

    explicit TKeySearchOracle(TCompare aCompare) : iCompare(std::move(aCompare)) {}

    // The binary search whose probes decide which of several equal keys is met and where a
    // duplicate goes. Found: the equal element met; not found: the place of the key.
    bool Search(const TArrayElem& aKey, int32_t& aIndex) const
    {
        const int32_t count = int32_t(iElems.size());
        aIndex = 0;
        if (count == 0)
            return false;
        int32_t lo = 0;
        int32_t hi = count - 1;
        int32_t mid = 0;
        int cmp = 0;
        for (;;)
        {
            mid = (lo + hi) / 2;
            aIndex = mid;
            cmp = iCompare(aKey, iElems[size_t(mid)]);
            if (cmp == 0)
                return true;
            if (lo >= hi)
                break;
            if (cmp > 0)
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
        if (cmp > 0)
            aIndex = mid + 1;
        return false;
    }

    // aSteps random operations on aArray (empty, keyed, with duplicate keys allowed, values
    // of type integer) and on the oracle; every answer and finally every element must agree.
    void Drive(CVexilArray& aArray, const TMakeKey& aMakeKey, int aSteps, uint32_t aSeed)
    {
        std::mt19937 random(aSeed);
        const bool strKey = aArray.WithStrKey();
        for (int step = 0; step < aSteps; ++step)
        {
            TArrayElem key;
            aArray.InitElem(key);
            aMakeKey(random, key);
            const uint32_t op = random() % 20;
            if (op < 10 || iElems.empty())
            {
                key.iVal.iInt = iSerial++;
                int32_t expected = 0;
                Search(key, expected);
                const int32_t index = strKey ? aArray.CreateStrKey(key) : aArray.CreateIntKey(key);
                ASSERT_EQ(index, expected) << "insertion, step " << step;
                iElems.insert(iElems.begin() + expected, key);
            }
            else if (op < 16)
            {
                // Half of the look-ups take a key that is there.
                if (op % 2 == 0)
                    key = iElems[random() % iElems.size()];
                int32_t expected = 0;
                const bool found = Search(key, expected);
                TArrayElem read;
                int32_t cursor = -1;
                const bool readFound = strKey ? aArray.ReadByStrKey(key.StrKey, read, cursor)
                                              : aArray.ReadByIntKey(key.IntKey, read, cursor);
                ASSERT_EQ(readFound, found) << "look-up, step " << step;
                if (found)
                {
                    ASSERT_EQ(cursor, expected + 1) << "look-up, step " << step;
                    ASSERT_EQ(read.iVal.iInt, iElems[size_t(expected)].iVal.iInt) << "look-up, step " << step;
                }
            }
            else if (op < 19)
            {
                key = iElems[random() % iElems.size()];
                int32_t expected = 0;
                Search(key, expected);
                if (strKey)
                    aArray.DeleteStrKey(key.StrKey);
                else
                    aArray.DeleteIntKey(key.IntKey);
                iElems.erase(iElems.begin() + expected);
            }
            else if (!strKey)
            {
                // Keys changed in place: later searches must not trust what was derived from the old ones.
                const int32_t step10 = 10 + int32_t(random() % 3) * 7;
                aArray.RenumberIntKey(step10);
                for (size_t i = 0; i < iElems.size(); ++i)
                    iElems[i].IntKey = int32_t(i + 1) * step10;
                const int32_t at = int32_t(random() % iElems.size());
                ASSERT_EQ(aArray.IntKeyAt(at), iElems[size_t(at)].IntKey) << "renumbered, step " << step;
            }
        }
        ASSERT_EQ(aArray.Count(), int32_t(iElems.size()));
        for (int32_t i = 0; i < aArray.Count(); ++i)
        {
            ASSERT_EQ(aArray.ElemAt(i).iVal.iInt, iElems[size_t(i)].iVal.iInt) << "element " << i;
            ASSERT_EQ(aArray.ElemAt(i).StrKey, iElems[size_t(i)].StrKey) << "element " << i;
            ASSERT_EQ(aArray.ElemAt(i).IntKey, iElems[size_t(i)].IntKey) << "element " << i;
            if (!strKey)
            {
                ASSERT_EQ(aArray.IntKeyAt(i), iElems[size_t(i)].IntKey) << "element " << i;
            }
        }
    }

private:
    TCompare iCompare;
    std::vector<TArrayElem> iElems;
    int32_t iSerial = 0;
};
