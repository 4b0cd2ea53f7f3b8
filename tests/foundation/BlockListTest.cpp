#include "foundation/VexilBlockList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace
{
struct TIsOdd
{
    bool operator()(int aValue) const { return aValue % 2 != 0; }
};

// Blocks of at most four elements, so that a few hundred elements make many blocks and every
// split, merge and tree update is exercised.
using TSmallBlocks = TBlockList<int, TIsOdd, 4>;

void ExpectSame(const TSmallBlocks& aList, const std::vector<int>& aModel)
{
    ASSERT_EQ(aList.Size(), int32_t(aModel.size()));
    std::vector<int> odd;
    for (int32_t i = 0; i < aList.Size(); ++i)
    {
        ASSERT_EQ(aList.At(i), aModel[i]) << "position " << i;
        if (TIsOdd{}(aModel[i]))
            odd.push_back(i);
    }
    ASSERT_EQ(aList.MarkedCount(), int32_t(odd.size()));
    for (size_t n = 0; n < odd.size(); ++n)
    {
        int32_t pos = -1;
        ASSERT_TRUE(aList.FindMarked(int32_t(n), pos));
        ASSERT_EQ(pos, odd[n]) << "marked number " << n;
    }
    int32_t pos = -1;
    EXPECT_FALSE(aList.FindMarked(int32_t(odd.size()), pos));
}
}  // namespace

TEST(BlockList, RandomChangesMatchAVector)
{
    std::mt19937 random(7);
    TSmallBlocks list;
    std::vector<int> model;
    for (int step = 0; step < 4000; ++step)
    {
        const int32_t size = int32_t(model.size());
        const uint32_t op = random() % 10;
        if (op < 5 || size == 0)
        {
            const int32_t at = int32_t(random() % (size + 1));
            const int value = int(random() % 1000);
            model.insert(model.begin() + at, value);
            list.Insert(at, value);
        }
        else if (op < 7)
        {
            const int32_t at = int32_t(random() % size);
            const int32_t num = std::min<int32_t>(int32_t(random() % 12) + 1, size - at);
            model.erase(model.begin() + at, model.begin() + at + num);
            list.Erase(at, num);
        }
        else if (op < 9)
        {
            const int32_t at = int32_t(random() % size);
            const int value = int(random() % 1000);
            model[at] = value;
            list.Update(at, [&](int& aElem) { aElem = value; });
        }
        else
        {
            // Reading right after a change must not use a stale position.
            const int32_t at = int32_t(random() % size);
            ASSERT_EQ(list.At(at), model[at]);
            const int32_t found = list.FindIf([](int aValue) { return aValue < 100; });
            const auto it = std::find_if(model.begin(), model.end(), [](int aValue) { return aValue < 100; });
            ASSERT_EQ(found, it == model.end() ? -1 : int32_t(it - model.begin()));
        }
        if (step % 50 == 0)
            ExpectSame(list, model);
    }
    ExpectSame(list, model);

    list.UpdateAll([](int& aElem) { aElem += 1; });
    for (int& value : model)
        value += 1;
    ExpectSame(list, model);

    list.Assign(list.TakeAll());
    ExpectSame(list, model);

    list.Erase(0, list.Size());
    model.clear();
    ExpectSame(list, model);
}

// A list small enough to be one run gets blocks as it grows and is one run again once emptied;
// every way through must keep the elements and the marks.
TEST(BlockList, GrowingAndEmptyingAgainMatchesAVector)
{
    std::mt19937 random(3);
    TSmallBlocks list;
    std::vector<int> model;
    for (int round = 0; round < 3; ++round)
    {
        for (int i = 0; i < 120; ++i)
        {
            const int32_t at = int32_t(random() % (model.size() + 1));
            model.insert(model.begin() + at, i);
            list.Insert(at, i);
        }
        ExpectSame(list, model);
        while (!model.empty())
        {
            const int32_t at = int32_t(random() % model.size());
            const int32_t num = std::min<int32_t>(int32_t(random() % 9) + 1, int32_t(model.size()) - at);
            model.erase(model.begin() + at, model.begin() + at + num);
            list.Erase(at, num);
            ExpectSame(list, model);
        }
    }
}

// With hints the search asks the elements only where a hint cannot tell, and finds the same.
TEST(BlockList, PartitionPointWithAndWithoutHints)
{
    using TList = TBlockList<int, TIsOdd, 16>;
    std::mt19937 random(9);
    std::vector<int> model;
    for (int i = 0; i < 700; ++i)
        model.push_back(int(random() % 300));
    std::sort(model.begin(), model.end());
    TList list;
    for (size_t i = 0; i < model.size(); ++i)
        list.Insert(int32_t(i), model[i]);
    for (const bool hinted : {false, true})
    {
        if (hinted)
            list.SetHints([](int aValue) { return uint64_t(aValue); });
        for (const int unknownEvery : {7, 1000})  // every so many values the hint tells nothing
        {
            for (int key = -1; key <= 301; ++key)
            {
                int asked = 0;
                const int32_t found = list.PartitionPoint(
                    [&](uint64_t aHint) { return (aHint + 1) % unknownEvery == 0 ? -1 : (int(aHint) < key ? 1 : 0); },
                    [&](int aValue) {
                        ++asked;
                        return aValue < key;
                    });
                const auto expected =
                    std::partition_point(model.begin(), model.end(), [&](int aValue) { return aValue < key; });
                ASSERT_EQ(found, int32_t(expected - model.begin())) << key << (hinted ? " hinted" : "");
                if (hinted && unknownEvery == 1000)
                {
                    EXPECT_EQ(asked, 0) << key;  // hints that always tell leave the elements alone
                }
                if (hinted && found < int32_t(model.size()))
                {
                    EXPECT_EQ(list.HintAt(found), uint64_t(model[size_t(found)]));
                }
            }
        }
    }
}

// A copy searches with hints of its own, whatever becomes of the original.
TEST(BlockList, ACopyKeepsItsOwnHints)
{
    using TList = TBlockList<int, TIsOdd, 16>;
    auto original = std::make_unique<TList>();
    for (int i = 0; i < 200; ++i)
        original->Insert(i, i * 2);
    original->SetHints([](int aValue) { return uint64_t(aValue); });
    const TList copy = *original;
    TList assigned;
    assigned = *original;
    for (int i = 0; i < 200; ++i)
        original->Insert(0, -1);  // moves the original's hints
    original.reset();
    std::vector<std::vector<uint64_t>> reuse(50, std::vector<uint64_t>(40, 7));  // takes the freed memory
    for (const TList* list : {&copy, static_cast<const TList*>(&assigned)})
    {
        for (int key = 0; key < 400; key += 3)
        {
            const int32_t found = list->PartitionPoint([&](uint64_t aHint) { return int(aHint) < key ? 1 : 0; },
                                                       [&](int aValue) { return aValue < key; });
            ASSERT_EQ(found, (key + 1) / 2) << key;
        }
        EXPECT_EQ(list->MarkedCount(), 0);
        EXPECT_EQ(list->At(199), 398);
    }
}
