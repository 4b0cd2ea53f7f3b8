#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

// A sequence stored in blocks of bounded size, with the element counts of the blocks kept in
// Fenwick trees. Access, insertion and removal at a position cost a logarithmic search plus
// the moves inside one block, so a sequence of millions of elements stays fast where one flat
// run would shift half of its elements on every insertion.
//
// Besides the plain count, each block counts its "marked" elements (TMark{}(element) true),
// so that the n-th marked element is found in logarithmic time as well.
//
// Elements are changed only through Update, UpdateAll, Insert and Erase so that the counts
// stay right.
template <class T, class TMark, int32_t KMaxBlock = 512>
class TBlockList
{
    static_assert(KMaxBlock >= 4, "blocks must hold a few elements");

public:
    int32_t Size() const { return iSize; }
    int32_t MarkedCount() const { return iMarkedSize; }

    const T& At(int32_t aPos) const
    {
        const auto [block, offset] = Locate(aPos);
        return iBlocks[block].iElems[offset];
    }

    // Applies aChange to the element at aPos.
    template <class F>
    void Update(int32_t aPos, F&& aChange)
    {
        const auto [block, offset] = Locate(aPos);
        T& elem = iBlocks[block].iElems[offset];
        const bool wasMarked = TMark{}(elem);
        aChange(elem);
        const int32_t delta = int32_t(TMark{}(elem)) - int32_t(wasMarked);
        if (delta != 0)
        {
            iBlocks[block].iMarked += delta;
            iMarkedSize += delta;
            FenwickAdd(iMarkedTree, block, delta);
        }
    }

    // Applies aChange to every element in order.
    template <class F>
    void UpdateAll(F&& aChange)
    {
        for (auto& block : iBlocks)
        {
            for (T& elem : block.iElems)
                aChange(elem);
            Recount(block);
        }
        Rebuild();
    }

    void Insert(int32_t aPos, T aElem)
    {
        const int32_t marked = TMark{}(aElem) ? 1 : 0;
        if (iBlocks.empty())
        {
            iBlocks.emplace_back();
            Rebuild();
        }
        int32_t block = 0;
        int32_t offset = 0;
        if (aPos == iSize)
        {
            block = int32_t(iBlocks.size()) - 1;
            offset = int32_t(iBlocks[block].iElems.size());
        }
        else
        {
            std::tie(block, offset) = Locate(aPos);
        }
        Block& target = iBlocks[block];
        // Grow geometrically but never beyond one block, so that small lists stay small and
        // full blocks do not double their slack.
        if (target.iElems.size() == target.iElems.capacity())
            target.iElems.reserve(std::min<size_t>(std::max<size_t>(4, target.iElems.size() * 2), KMaxBlock + 1));
        target.iElems.insert(target.iElems.begin() + offset, std::move(aElem));
        target.iMarked += marked;
        ++iSize;
        iMarkedSize += marked;
        if (int32_t(target.iElems.size()) > KMaxBlock)
        {
            Split(block);
            Rebuild();
            return;
        }
        ForgetCache();
        FenwickAdd(iTree, block, 1);
        FenwickAdd(iMarkedTree, block, marked);
    }

    // Removes aNum elements from aPos on.
    void Erase(int32_t aPos, int32_t aNum)
    {
        if (aNum <= 0)
            return;
        auto [block, offset] = Locate(aPos);
        const size_t blocksBefore = iBlocks.size();
        const int32_t first = block;
        int32_t left = aNum;
        int32_t markedGone = 0;
        while (left > 0)
        {
            Block& b = iBlocks[block];
            const int32_t take = std::min(left, int32_t(b.iElems.size()) - offset);
            const auto from = b.iElems.begin() + offset;
            const int32_t marked = int32_t(std::count_if(from, from + take, TMark{}));
            b.iElems.erase(from, from + take);
            b.iMarked -= marked;
            markedGone += marked;
            left -= take;
            if (b.iElems.empty())
                iBlocks.erase(iBlocks.begin() + block);
            else
                ++block;
            offset = 0;
        }
        iSize -= aNum;
        iMarkedSize -= markedGone;
        // The block that now holds aPos (and its left neighbour) may have become small.
        const bool merged = MergeSmall(block);
        if (MergeSmall(block - 1) || merged || iBlocks.size() != blocksBefore || block != first + 1)
        {
            Rebuild();
            return;
        }
        ForgetCache();
        FenwickAdd(iTree, first, -aNum);
        FenwickAdd(iMarkedTree, first, -markedGone);
    }

    void Clear()
    {
        iBlocks.clear();
        Rebuild();
    }

    // Position of the marked element with number aNum (0-based); false when there is none.
    bool FindMarked(int32_t aNum, int32_t& aPos) const
    {
        if (aNum < 0 || aNum >= iMarkedSize)
            return false;
        int32_t before = 0;
        const int32_t block = FenwickFind(iMarkedTree, aNum, before);
        int32_t left = aNum - before;
        const auto& elems = iBlocks[block].iElems;
        for (int32_t i = 0; i < int32_t(elems.size()); ++i)
        {
            if (TMark{}(elems[i]) && left-- == 0)
            {
                aPos = BlockStart(block) + i;
                return true;
            }
        }
        return false;
    }

    template <class F>
    void ForEach(F&& aVisit) const
    {
        for (const auto& block : iBlocks)
            for (const T& elem : block.iElems)
                aVisit(elem);
    }

    // Position of the first element for which aPred holds; -1 when none.
    template <class F>
    int32_t FindIf(F&& aPred) const
    {
        int32_t pos = 0;
        for (const auto& block : iBlocks)
        {
            for (const T& elem : block.iElems)
            {
                if (aPred(elem))
                    return pos;
                ++pos;
            }
        }
        return -1;
    }

    // Moves every element out, in order; the list is empty after.
    std::vector<T> TakeAll()
    {
        std::vector<T> all;
        all.reserve(iSize);
        for (auto& block : iBlocks)
            std::move(block.iElems.begin(), block.iElems.end(), std::back_inserter(all));
        Clear();
        return all;
    }

    // Replaces the content by aElems, in order.
    void Assign(std::vector<T> aElems)
    {
        iBlocks.clear();
        const int32_t fill = KMaxBlock * 3 / 4;
        auto from = std::make_move_iterator(aElems.begin());
        const auto end = std::make_move_iterator(aElems.end());
        while (from != end)
        {
            const auto take = std::min<std::ptrdiff_t>(fill, end - from);
            iBlocks.emplace_back();
            iBlocks.back().iElems.assign(from, from + take);
            Recount(iBlocks.back());
            from += take;
        }
        Rebuild();
    }

private:
    struct Block
    {
        std::vector<T> iElems;
        int32_t iMarked = 0;
    };

    static constexpr int32_t KMinBlock = KMaxBlock / 4;

    static void Recount(Block& aBlock)
    {
        aBlock.iMarked = int32_t(std::count_if(aBlock.iElems.begin(), aBlock.iElems.end(), TMark{}));
    }

    void Split(int32_t aBlock)
    {
        Block tail;
        Block& head = iBlocks[aBlock];
        const auto middle = head.iElems.begin() + std::ptrdiff_t(head.iElems.size() / 2);
        tail.iElems.assign(std::make_move_iterator(middle), std::make_move_iterator(head.iElems.end()));
        head.iElems.erase(middle, head.iElems.end());
        Recount(tail);
        head.iMarked -= tail.iMarked;
        iBlocks.insert(iBlocks.begin() + aBlock + 1, std::move(tail));
    }

    // Joins a block that fell below the minimum with its right neighbour, splitting again
    // when the pair is too large for one block; true when it changed the blocks.
    bool MergeSmall(int32_t aBlock)
    {
        if (aBlock < 0 || aBlock + 1 >= int32_t(iBlocks.size()) ||
            int32_t(iBlocks[aBlock].iElems.size()) >= KMinBlock)
            return false;
        auto& into = iBlocks[aBlock].iElems;
        auto& from = iBlocks[aBlock + 1].iElems;
        into.insert(into.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
        iBlocks[aBlock].iMarked += iBlocks[aBlock + 1].iMarked;
        iBlocks.erase(iBlocks.begin() + aBlock + 1);
        if (int32_t(into.size()) > KMaxBlock)
            Split(aBlock);
        return true;
    }

    // Rebuilds both trees from the counts of the blocks, in time linear in their number.
    void Rebuild()
    {
        const size_t n = iBlocks.size();
        iTree.assign(n, 0);
        iMarkedTree.assign(n, 0);
        iSize = 0;
        iMarkedSize = 0;
        for (size_t i = 0; i < n; ++i)
        {
            const Block& b = iBlocks[i];
            iSize += int32_t(b.iElems.size());
            iMarkedSize += b.iMarked;
            iTree[i] += int32_t(b.iElems.size());
            iMarkedTree[i] += b.iMarked;
            const size_t parent = i | (i + 1);
            if (parent < n)
            {
                iTree[parent] += iTree[i];
                iMarkedTree[parent] += iMarkedTree[i];
            }
        }
        ForgetCache();
    }

    static void FenwickAdd(std::vector<int32_t>& aTree, int32_t aIndex, int32_t aDelta)
    {
        for (size_t i = size_t(aIndex); i < aTree.size(); i |= i + 1)
            aTree[i] += aDelta;
    }

    // The block holding the element with number aNum of the counted ones, and in aBefore the
    // count of all blocks before it.
    int32_t FenwickFind(const std::vector<int32_t>& aTree, int32_t aNum, int32_t& aBefore) const
    {
        size_t step = 1;
        while (step * 2 <= aTree.size())
            step *= 2;
        size_t pos = 0;  // number of whole blocks passed
        aBefore = 0;
        for (; step > 0; step /= 2)
        {
            const size_t next = pos + step;
            if (next <= aTree.size() && aBefore + aTree[next - 1] <= aNum)
            {
                pos = next;
                aBefore += aTree[next - 1];
            }
        }
        return int32_t(pos);
    }

    int32_t BlockStart(int32_t aBlock) const
    {
        int32_t sum = 0;
        for (int32_t i = aBlock - 1; i >= 0; i = (i & (i + 1)) - 1)
            sum += iTree[i];
        return sum;
    }

    // Block and offset of position aPos (0 <= aPos < Size). Walks in order (cursors, the
    // closing probes of a binary search) stay in one block and skip the tree.
    std::pair<int32_t, int32_t> Locate(int32_t aPos) const
    {
        if (iCacheBlock >= 0 && aPos >= iCacheStart &&
            aPos < iCacheStart + int32_t(iBlocks[iCacheBlock].iElems.size()))
            return {iCacheBlock, aPos - iCacheStart};
        int32_t before = 0;
        const int32_t block = FenwickFind(iTree, aPos, before);
        iCacheBlock = block;
        iCacheStart = before;
        return {block, aPos - before};
    }

    void ForgetCache() { iCacheBlock = -1; }

    std::vector<Block> iBlocks;
    std::vector<int32_t> iTree;        // Fenwick tree of the block sizes
    std::vector<int32_t> iMarkedTree;  // Fenwick tree of the marked counts
    int32_t iSize = 0;
    int32_t iMarkedSize = 0;
    mutable int32_t iCacheBlock = -1;  // the block of the last lookup and its first position
    mutable int32_t iCacheStart = 0;
};
