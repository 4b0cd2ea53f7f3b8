#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

// A sequence stored in blocks of bounded size, with the element counts of the blocks kept in
// Fenwick trees. Access, insertion and removal at a position cost a logarithmic search plus
// the moves inside one block, so a sequence of millions of elements stays fast where one flat
// run would shift half of its elements on every insertion.
//
// The elements themselves stay in place in a pool of slots; a block holds only the slot
// numbers, so an insertion moves a few bytes per element behind it, not whole elements.
// A small list (most are: the values of one card) is just its run of elements, without blocks.
//
// Besides the plain count, each block counts its "marked" elements (TMark{}(element) true),
// so that the n-th marked element is found in logarithmic time as well.
//
// On request the list keeps a 64-bit hint beside each element (the owner's abbreviation of its
// key) and the hint of each block's last element in one compact run, so that a search touches
// the elements only where the hints cannot decide.
//
// Elements are changed only through Update, UpdateAll, Insert and Erase so that the counts
// stay right.
template <class T, class TMark, int32_t KMaxBlock = 512>
class TBlockList
{
    static_assert(KMaxBlock >= 4, "blocks must hold a few elements");

public:
    TBlockList() = default;
    TBlockList(const TBlockList& aOther) { *this = aOther; }
    TBlockList(TBlockList&&) noexcept = default;
    TBlockList& operator=(TBlockList&&) noexcept = default;

    TBlockList& operator=(const TBlockList& aOther)
    {
        if (this == &aOther)
            return *this;
        iPool = aOther.iPool;
        iIndex = aOther.iIndex ? std::make_unique<TIndex>(*aOther.iIndex) : nullptr;
        iSize = aOther.iSize;
        iMarkedSize = aOther.iMarkedSize;
        iHinted = aOther.iHinted;
        iInOrder = aOther.iInOrder;
        ForgetCache();
        // The copied blocks keep their hints elsewhere.
        for (size_t b = 0; iHinted && b < iIndex->iBlocks.size(); ++b)
            iIndex->iHintIndex.iData[b] = iIndex->iBlocks[b].iHints.data();
        return *this;
    }

    int32_t Size() const { return iSize; }
    int32_t MarkedCount() const { return iMarkedSize; }

    const T& At(int32_t aPos) const
    {
        if (iInOrder)
            return iPool.At(aPos);
        const auto [block, offset] = Locate(aPos);
        return iPool.At(iIndex->iBlocks[block].iSlots[offset]);
    }

    // Applies aChange to the element at aPos; its hint stays.
    template <class F>
    void Update(int32_t aPos, F&& aChange)
    {
        int32_t block = -1;
        T& elem = Find(aPos, block);
        const bool wasMarked = TMark{}(elem);
        aChange(elem);
        const int32_t delta = int32_t(TMark{}(elem)) - int32_t(wasMarked);
        if (delta != 0)
        {
            if (block >= 0)
            {
                iIndex->iBlocks[block].iMarked += delta;
                FenwickAdd(iIndex->iMarkedTree, block, delta);
            }
            iMarkedSize += delta;
        }
    }

    // Applies aChange to every element in order; the hints stay (the owner sets them again
    // when keys changed). The elements are laid out in their order on the way, so that walks
    // after it (renumbering follows key changes) go through memory in one direction.
    template <class F>
    void UpdateAll(F&& aChange)
    {
        if (Flat())
        {
            iMarkedSize = 0;
            for (T& elem : iPool.Run())
            {
                aChange(elem);
                iMarkedSize += TMark{}(elem) ? 1 : 0;
            }
            return;
        }
        Relayout();
        iMarkedSize = 0;
        for (auto& block : iIndex->iBlocks)
        {
            for (int32_t slot : block.iSlots)
                aChange(iPool.At(slot));
            Recount(block);
            iMarkedSize += block.iMarked;
        }
        Rebuild();
    }

    void Insert(int32_t aPos, const T& aElem, uint64_t aHint = 0) { Insert(aPos, T(aElem), aHint); }

    void Insert(int32_t aPos, T&& aElem, uint64_t aHint = 0)
    {
        const int32_t marked = TMark{}(aElem) ? 1 : 0;
        if (Flat() && iSize >= KFlatMax)
            MakeBlocks();
        if (Flat())
        {
            iPool.InsertInRun(aPos, std::move(aElem));
            ++iSize;
            iMarkedSize += marked;
            return;
        }
        int32_t block = 0;
        int32_t offset = 0;
        if (aPos == iSize)
        {
            block = int32_t(iIndex->iBlocks.size()) - 1;
            offset = int32_t(iIndex->iBlocks[block].iSlots.size());
        }
        else
        {
            std::tie(block, offset) = Locate(aPos);
        }
        Block& target = iIndex->iBlocks[block];
        Grow(target.iSlots);
        const int32_t slot = iPool.Add(std::move(aElem));
        iInOrder = iInOrder && aPos == iSize && slot == iSize;
        target.iSlots.insert(target.iSlots.begin() + offset, slot);
        if (iHinted)
        {
            Grow(target.iHints);
            target.iHints.insert(target.iHints.begin() + offset, aHint);
            HintsChanged(block, offset);
        }
        target.iMarked += marked;
        ++iSize;
        iMarkedSize += marked;
        if (int32_t(target.iSlots.size()) > KMaxBlock)
        {
            Split(block);
            Rebuild();
            return;
        }
        ForgetCache();
        FenwickAdd(iIndex->iTree, block, 1);
        if (marked != 0)
            FenwickAdd(iIndex->iMarkedTree, block, marked);
    }

    // Removes aNum elements from aPos on.
    void Erase(int32_t aPos, int32_t aNum)
    {
        if (aNum <= 0)
            return;
        if (Flat())
        {
            iMarkedSize -= iPool.EraseFromRun(aPos, aNum, TMark{});
            iSize -= aNum;
            return;
        }
        auto [block, offset] = Locate(aPos);
        const size_t blocksBefore = iIndex->iBlocks.size();
        const int32_t first = block;
        int32_t left = aNum;
        int32_t markedGone = 0;
        while (left > 0)
        {
            Block& b = iIndex->iBlocks[block];
            const int32_t take = std::min(left, int32_t(b.iSlots.size()) - offset);
            const auto from = b.iSlots.begin() + offset;
            int32_t marked = 0;
            for (auto it = from; it != from + take; ++it)
            {
                marked += TMark{}(iPool.At(*it)) ? 1 : 0;
                iPool.Remove(*it);
            }
            b.iSlots.erase(from, from + take);
            if (iHinted)
                b.iHints.erase(b.iHints.begin() + offset, b.iHints.begin() + offset + take);
            b.iMarked -= marked;
            markedGone += marked;
            left -= take;
            if (b.iSlots.empty())
            {
                EraseBlock(block);
            }
            else
            {
                HintsChanged(block, offset);
                ++block;
            }
            offset = 0;
        }
        iSize -= aNum;
        iMarkedSize -= markedGone;
        if (iSize == 0)
        {
            Clear();
            return;
        }
        // Only a run cut from the end leaves every other element in its slot.
        iInOrder = iInOrder && aPos == iSize;
        // The block that now holds aPos (and its left neighbour) may have become small.
        const bool merged = MergeSmall(block);
        if (MergeSmall(block - 1) || merged || iIndex->iBlocks.size() != blocksBefore || block != first + 1)
        {
            Rebuild();
            return;
        }
        ForgetCache();
        FenwickAdd(iIndex->iTree, first, -aNum);
        if (markedGone != 0)
            FenwickAdd(iIndex->iMarkedTree, first, -markedGone);
    }

    // Empties the list and stops keeping hints.
    void Clear()
    {
        iIndex.reset();
        iPool.Clear();
        iHinted = false;
        iInOrder = true;
        iSize = 0;
        iMarkedSize = 0;
        ForgetCache();
    }

    // Prepares for aNum elements in a list that is still small (the values of one record).
    void Reserve(int32_t aNum)
    {
        if (Flat() && aNum <= KFlatMax)
            iPool.Reserve(aNum);
    }

    // Position of the marked element with number aNum (0-based); false when there is none.
    bool FindMarked(int32_t aNum, int32_t& aPos) const
    {
        if (aNum < 0 || aNum >= iMarkedSize)
            return false;
        if (Flat())
        {
            int32_t left = aNum;
            aPos = FindIf([&](const T& aElem) { return TMark{}(aElem) && left-- == 0; });
            return aPos >= 0;
        }
        int32_t before = 0;
        const int32_t block = FenwickFind(iIndex->iMarkedTree, aNum, before);
        int32_t left = aNum - before;
        const auto& blockSlots = iIndex->iBlocks[block].iSlots;
        for (int32_t i = 0; i < int32_t(blockSlots.size()); ++i)
        {
            if (TMark{}(iPool.At(blockSlots[i])) && left-- == 0)
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
        FindIf([&](const T& aElem) {
            aVisit(aElem);
            return false;
        });
    }

    // Position of the first element for which aPred holds; -1 when none.
    template <class F>
    int32_t FindIf(F&& aPred) const
    {
        int32_t pos = 0;
        if (Flat())
        {
            for (const T& elem : iPool.Run())
            {
                if (aPred(elem))
                    return pos;
                ++pos;
            }
            return -1;
        }
        for (const auto& block : iIndex->iBlocks)
        {
            for (int32_t slot : block.iSlots)
            {
                if (aPred(iPool.At(slot)))
                    return pos;
                ++pos;
            }
        }
        return -1;
    }

    // Moves every element out, in order; the list is empty after and keeps no hints.
    std::vector<T> TakeAll()
    {
        std::vector<T> all;
        if (Flat())
        {
            all = iPool.TakeRun();
        }
        else
        {
            all.reserve(iSize);
            for (auto& block : iIndex->iBlocks)
                for (int32_t slot : block.iSlots)
                    all.push_back(std::move(iPool.At(slot)));
        }
        Clear();
        return all;
    }

    // Replaces the content by aElems, in order, without hints.
    void Assign(std::vector<T> aElems)
    {
        Clear();
        iSize = int32_t(aElems.size());
        iMarkedSize = int32_t(std::count_if(aElems.begin(), aElems.end(), TMark{}));
        iPool.Reserve(iSize);
        for (T& elem : aElems)
            iPool.Add(std::move(elem));
        if (iSize <= KFlatMax)
            return;
        const int32_t fill = KMaxBlock * 3 / 4;
        iIndex = std::make_unique<TIndex>();
        for (int32_t start = 0; start < iSize; start += fill)
        {
            Block& block = iIndex->iBlocks.emplace_back();
            const int32_t take = std::min(fill, iSize - start);
            block.iSlots.resize(size_t(take));
            for (int32_t i = 0; i < take; ++i)
                block.iSlots[size_t(i)] = start + i;
            Recount(block);
        }
        Rebuild();
    }

    // Hints

    bool Hinted() const { return iHinted; }

    // Keeps hints from now on and sets every element's hint to aHintOf(element).
    template <class F>
    void SetHints(F&& aHintOf)
    {
        if (Flat())
            MakeBlocks();
        iHinted = true;
        iIndex->iHintIndex.Resize(iIndex->iBlocks.size());
        for (size_t b = 0; b < iIndex->iBlocks.size(); ++b)
        {
            Block& block = iIndex->iBlocks[b];
            block.iHints.resize(block.iSlots.size());
            for (size_t i = 0; i < block.iSlots.size(); ++i)
                block.iHints[i] = aHintOf(iPool.At(block.iSlots[i]));
            HintsChanged(int32_t(b), 0);
        }
    }

    // The hint kept beside the element at aPos; 0 when the list keeps none.
    uint64_t HintAt(int32_t aPos) const
    {
        if (!iHinted)
            return 0;
        const auto [block, offset] = Locate(aPos);
        return iIndex->iBlocks[block].iHints[offset];
    }

    // The first position whose element does not fulfil aPred, for a predicate that holds for a
    // run of elements from the start and for none after it. aHintPred(hint) answers from an
    // element's hint: 1 it holds, 0 it does not, -1 the hint cannot tell, and then aPred(element)
    // decides. The last elements of the blocks narrow the search to one block first.
    template <class FHint, class FElem>
    int32_t PartitionPoint(FHint&& aHintPred, FElem&& aPred) const
    {
        if (Flat())
        {
            const std::vector<T>& run = iPool.Run();
            return int32_t(std::partition_point(run.begin(), run.end(), aPred) - run.begin());
        }
        const auto holds = [&](int32_t aBlock, int32_t aOffset, uint64_t aHint) {
            const int answer = aHintPred(aHint);
            return answer >= 0 ? answer == 1 : bool(aPred(iPool.At(iIndex->iBlocks[aBlock].iSlots[aOffset])));
        };
        if (iSize == 0)
            return 0;
        int32_t lo = 0;
        int32_t hi = int32_t(iIndex->iBlocks.size());
        while (lo < hi)
        {
            const int32_t mid = (lo + hi) / 2;
            const int answer = iHinted ? aHintPred(iIndex->iHintIndex.iLast[size_t(mid)]) : -1;
            const Block& block = iIndex->iBlocks[mid];
            if (answer >= 0 ? answer == 1 : bool(aPred(iPool.At(block.iSlots.back()))))
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == int32_t(iIndex->iBlocks.size()))
            return iSize;
        const int32_t blockIndex = lo;
        const int32_t start = BlockStart(blockIndex);
        lo = 0;
        if (iHinted)
        {
            // The run of KSkip elements first, from the hints of the runs' last elements (four
            // lines loaded at once), then the run itself: the block's own record is not needed.
            const int32_t size = (blockIndex + 1 < int32_t(iIndex->iBlocks.size()) ? BlockStart(blockIndex + 1) : iSize) - start;
            const uint64_t* runHints = iIndex->iHintIndex.Runs(blockIndex);
            const uint64_t* hints = iIndex->iHintIndex.iData[size_t(blockIndex)];
            for (int32_t i = 0; i < KRuns; i += 8)
                __builtin_prefetch(runHints + i);
            int32_t runLo = 0;
            int32_t runHi = size / KSkip;
            while (runLo < runHi)
            {
                const int32_t mid = (runLo + runHi) / 2;
                if (holds(blockIndex, mid * KSkip + KSkip - 1, runHints[mid]))
                    runLo = mid + 1;
                else
                    runHi = mid;
            }
            lo = runLo * KSkip;
            int32_t hi = std::min(size - 1, lo + KSkip - 1);  // known not to hold
            __builtin_prefetch(hints + lo);
            __builtin_prefetch(hints + hi);
            while (lo < hi)
            {
                const int32_t mid = (lo + hi) / 2;
                if (holds(blockIndex, mid, hints[mid]))
                    lo = mid + 1;
                else
                    hi = mid;
            }
        }
        else
        {
            int32_t hi = int32_t(iIndex->iBlocks[blockIndex].iSlots.size()) - 1;  // known not to hold
            while (lo < hi)
            {
                const int32_t mid = (lo + hi) / 2;
                if (aPred(iPool.At(iIndex->iBlocks[blockIndex].iSlots[mid])))
                    lo = mid + 1;
                else
                    hi = mid;
            }
        }
        iCacheBlock = blockIndex;
        iCacheStart = start;
        return start + lo;
    }

private:
    struct Block
    {
        std::vector<int32_t> iSlots;
        std::vector<uint64_t> iHints;  // beside the slots while the list keeps hints
        int32_t iMarked = 0;
    };

    // A list of at most this many elements without blocks is one run in the order of its
    // positions; it gets blocks when it grows beyond it and loses them when it is emptied.
    static constexpr int32_t KFlatMax = std::min<int32_t>(64, KMaxBlock);

    // What a search reads of the hints, block by block in compact runs, so that it touches
    // the blocks themselves only where a hint cannot decide: the last hint of each block, the
    // hints of the last elements of its runs of KSkip, and where its hints lie.
    static constexpr int32_t KSkip = 16;
    static constexpr int32_t KRuns = (KMaxBlock + 1) / KSkip;
    struct THintIndex
    {
        std::vector<uint64_t> iLast;
        std::vector<uint64_t> iRuns;  // KRuns per block
        std::vector<const uint64_t*> iData;

        const uint64_t* Runs(int32_t aBlock) const { return iRuns.data() + size_t(aBlock) * KRuns; }
        void Resize(size_t aBlocks)
        {
            iLast.resize(aBlocks);
            iRuns.resize(aBlocks * KRuns);
            iData.resize(aBlocks);
        }
        void InsertBlock(int32_t aBlock)
        {
            iLast.insert(iLast.begin() + aBlock, 0);
            iRuns.insert(iRuns.begin() + std::ptrdiff_t(aBlock) * KRuns, size_t(KRuns), 0);
            iData.insert(iData.begin() + aBlock, nullptr);
        }
        void EraseBlock(int32_t aBlock)
        {
            iLast.erase(iLast.begin() + aBlock);
            const auto runs = iRuns.begin() + std::ptrdiff_t(aBlock) * KRuns;
            iRuns.erase(runs, runs + KRuns);
            iData.erase(iData.begin() + aBlock);
        }
    };

    // The elements, each in a slot that it keeps until it is removed. The first slots lie in
    // one run that grows as a small list does; later ones in chunks of fixed size, so that a
    // large list never moves its elements. Freed slots are used again. Without blocks the
    // run is the list itself.
    class TPool
    {
    public:
        TPool() = default;
        TPool(const TPool& aOther)
            : iFirst(aOther.iFirst), iMore(aOther.iMore ? std::make_unique<TMore>(*aOther.iMore) : nullptr)
        {
        }
        TPool(TPool&&) noexcept = default;
        TPool& operator=(TPool&&) noexcept = default;
        TPool& operator=(const TPool& aOther)
        {
            if (this != &aOther)
                *this = TPool(aOther);
            return *this;
        }

        T& At(int32_t aSlot) { return aSlot < KChunk ? iFirst[aSlot] : iMore->iChunks[Chunk(aSlot)][aSlot & (KChunk - 1)]; }
        const T& At(int32_t aSlot) const
        {
            return aSlot < KChunk ? iFirst[aSlot] : iMore->iChunks[Chunk(aSlot)][aSlot & (KChunk - 1)];
        }

        int32_t Add(T&& aElem)
        {
            if (iMore && !iMore->iFree.empty())
            {
                const int32_t slot = iMore->iFree.back();
                iMore->iFree.pop_back();
                At(slot) = std::move(aElem);
                return slot;
            }
            if (iFirst.size() < size_t(KChunk))
            {
                Grow();
                iFirst.push_back(std::move(aElem));
                return int32_t(iFirst.size()) - 1;
            }
            if (!iMore)
                iMore = std::make_unique<TMore>();
            auto& chunks = iMore->iChunks;
            if (chunks.empty() || chunks.back().size() == size_t(KChunk))
                chunks.emplace_back().reserve(KChunk);
            chunks.back().push_back(std::move(aElem));
            return int32_t(chunks.size()) * KChunk + int32_t(chunks.back().size()) - 1;
        }

        // Frees the slot; what the element held is released at once.
        void Remove(int32_t aSlot)
        {
            At(aSlot) = T();
            if (!iMore)
                iMore = std::make_unique<TMore>();
            iMore->iFree.push_back(aSlot);
        }

        // The first run as a list of its own.
        std::vector<T>& Run() { return iFirst; }
        const std::vector<T>& Run() const { return iFirst; }
        void InsertInRun(int32_t aPos, T&& aElem)
        {
            Grow();
            if (aPos == int32_t(iFirst.size()))
                iFirst.push_back(std::move(aElem));
            else
                iFirst.insert(iFirst.begin() + aPos, std::move(aElem));
        }
        // Removes aNum elements of the run from aPos on; gives how many of them were marked.
        template <class FMark>
        int32_t EraseFromRun(int32_t aPos, int32_t aNum, FMark aMark)
        {
            const auto from = iFirst.begin() + aPos;
            const int32_t marked = int32_t(std::count_if(from, from + aNum, aMark));
            iFirst.erase(from, from + aNum);
            return marked;
        }
        std::vector<T> TakeRun() { return std::exchange(iFirst, {}); }

        void Reserve(int32_t aNum) { iFirst.reserve(size_t(std::min(aNum, KChunk))); }

        void Clear()
        {
            iFirst = {};
            iMore.reset();
        }

    private:
        static constexpr int32_t KChunk = 1024;
        static int32_t Chunk(int32_t aSlot) { return aSlot / KChunk - 1; }

        // Room for one more element in the first run: small runs grow by doubling from four.
        void Grow()
        {
            if (iFirst.size() == iFirst.capacity())
                iFirst.reserve(std::min<size_t>(std::max<size_t>(4, iFirst.size() * 2), KChunk));
        }

        // The chunks beyond the first run and the freed slots, which small lists never have.
        struct TMore
        {
            std::vector<std::vector<T>> iChunks;
            std::vector<int32_t> iFree;
        };

        std::vector<T> iFirst;
        std::unique_ptr<TMore> iMore;
    };

    static constexpr int32_t KMinBlock = KMaxBlock / 4;

    bool Flat() const { return !iIndex; }

    // Room for one more entry of a block: growing geometrically but never beyond one block, so
    // that full blocks do not double their slack.
    template <class U>
    static void Grow(std::vector<U>& aEntries)
    {
        if (aEntries.size() == aEntries.capacity())
            aEntries.reserve(std::min<size_t>(std::max<size_t>(4, aEntries.size() * 2), KMaxBlock + 1));
    }

    // The element at aPos, and in aBlock its block (-1 without blocks).
    T& Find(int32_t aPos, int32_t& aBlock)
    {
        if (Flat())
            return iPool.At(aPos);
        const auto [block, offset] = Locate(aPos);
        aBlock = block;
        return iPool.At(iIndex->iBlocks[block].iSlots[offset]);
    }

    // Gives a list without blocks its one block; the slots follow the positions.
    void MakeBlocks()
    {
        iIndex = std::make_unique<TIndex>();
        Block& block = iIndex->iBlocks.emplace_back();
        block.iSlots.resize(size_t(iSize));
        for (int32_t i = 0; i < iSize; ++i)
            block.iSlots[size_t(i)] = i;
        block.iMarked = iMarkedSize;
        iInOrder = true;
        Rebuild();
    }

    // Moves the elements into a new pool in the order of their positions.
    void Relayout()
    {
        TPool pool;
        pool.Reserve(iSize);
        for (auto& block : iIndex->iBlocks)
            for (int32_t& slot : block.iSlots)
                slot = pool.Add(std::move(iPool.At(slot)));
        iPool = std::move(pool);
        iInOrder = true;
    }

    void Recount(Block& aBlock) const
    {
        aBlock.iMarked = 0;
        for (int32_t slot : aBlock.iSlots)
            aBlock.iMarked += TMark{}(iPool.At(slot)) ? 1 : 0;
    }

    void Split(int32_t aBlock)
    {
        Block tail;
        Block& head = iIndex->iBlocks[aBlock];
        const size_t middle = head.iSlots.size() / 2;
        tail.iSlots.assign(head.iSlots.begin() + std::ptrdiff_t(middle), head.iSlots.end());
        head.iSlots.resize(middle);
        if (iHinted)
        {
            tail.iHints.assign(head.iHints.begin() + std::ptrdiff_t(middle), head.iHints.end());
            head.iHints.resize(middle);
        }
        Recount(tail);
        head.iMarked -= tail.iMarked;
        iIndex->iBlocks.insert(iIndex->iBlocks.begin() + aBlock + 1, std::move(tail));
        if (iHinted)
        {
            iIndex->iHintIndex.InsertBlock(aBlock + 1);
            HintsChanged(aBlock, middle);
            HintsChanged(aBlock + 1, 0);
        }
    }

    void EraseBlock(int32_t aBlock)
    {
        iIndex->iBlocks.erase(iIndex->iBlocks.begin() + aBlock);
        if (iHinted)
            iIndex->iHintIndex.EraseBlock(aBlock);
    }

    // Brings the last hint and the run hints of a block up to date after its hints changed from
    // aOffset on.
    void HintsChanged(int32_t aBlock, size_t aOffset)
    {
        if (!iHinted)
            return;
        const Block& block = iIndex->iBlocks[aBlock];
        iIndex->iHintIndex.iLast[size_t(aBlock)] = block.iHints.empty() ? 0 : block.iHints.back();
        iIndex->iHintIndex.iData[size_t(aBlock)] = block.iHints.data();
        uint64_t* runHints = iIndex->iHintIndex.iRuns.data() + size_t(aBlock) * KRuns;
        const size_t runs = std::min(block.iHints.size() / KSkip, size_t(KRuns));
        for (size_t run = aOffset / KSkip; run < runs; ++run)
            runHints[run] = block.iHints[run * KSkip + KSkip - 1];
    }

    // Joins a block that fell below the minimum with its right neighbour, splitting again
    // when the pair is too large for one block; true when it changed the blocks.
    bool MergeSmall(int32_t aBlock)
    {
        if (aBlock < 0 || aBlock + 1 >= int32_t(iIndex->iBlocks.size()) ||
            int32_t(iIndex->iBlocks[aBlock].iSlots.size()) >= KMinBlock)
            return false;
        Block& into = iIndex->iBlocks[aBlock];
        const Block& from = iIndex->iBlocks[aBlock + 1];
        const size_t joint = into.iSlots.size();
        into.iSlots.insert(into.iSlots.end(), from.iSlots.begin(), from.iSlots.end());
        into.iHints.insert(into.iHints.end(), from.iHints.begin(), from.iHints.end());
        into.iMarked += from.iMarked;
        EraseBlock(aBlock + 1);
        HintsChanged(aBlock, joint);
        if (int32_t(into.iSlots.size()) > KMaxBlock)
            Split(aBlock);
        return true;
    }

    // Rebuilds both trees from the blocks, in time linear in their number. A list of one block
    // needs no tree.
    void Rebuild()
    {
        const size_t n = iIndex->iBlocks.size();
        iIndex->iTree.clear();
        iIndex->iMarkedTree.clear();
        if (n > 1)
        {
            iIndex->iTree.assign(n, 0);
            iIndex->iMarkedTree.assign(n, 0);
            for (size_t i = 0; i < n; ++i)
            {
                iIndex->iTree[i] += int32_t(iIndex->iBlocks[i].iSlots.size());
                iIndex->iMarkedTree[i] += iIndex->iBlocks[i].iMarked;
                const size_t parent = i | (i + 1);
                if (parent < n)
                {
                    iIndex->iTree[parent] += iIndex->iTree[i];
                    iIndex->iMarkedTree[parent] += iIndex->iMarkedTree[i];
                }
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
    static int32_t FenwickFind(const std::vector<int32_t>& aTree, int32_t aNum, int32_t& aBefore)
    {
        size_t step = 1;
        while (step * 2 <= aTree.size())
            step *= 2;
        size_t pos = 0;  // number of whole blocks passed
        aBefore = 0;
        for (; step > 0 && !aTree.empty(); step /= 2)
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
            sum += iIndex->iTree[i];
        return sum;
    }

    // Block and offset of position aPos (0 <= aPos < Size) in a list with blocks. Walks in
    // order (cursors, the element met by a search) stay in one block and skip the tree.
    std::pair<int32_t, int32_t> Locate(int32_t aPos) const
    {
        if (iCacheBlock >= 0 && aPos >= iCacheStart &&
            aPos < iCacheStart + int32_t(iIndex->iBlocks[iCacheBlock].iSlots.size()))
            return {iCacheBlock, aPos - iCacheStart};
        int32_t before = 0;
        const int32_t block = FenwickFind(iIndex->iTree, aPos, before);
        iCacheBlock = block;
        iCacheStart = before;
        return {block, aPos - before};
    }

    void ForgetCache() { iCacheBlock = -1; }

    // What only a list with blocks needs, apart so that a small list stays small.
    struct TIndex
    {
        std::vector<Block> iBlocks;
        std::vector<int32_t> iTree;        // Fenwick tree of the block sizes
        std::vector<int32_t> iMarkedTree;  // Fenwick tree of the marked counts
        THintIndex iHintIndex;             // while the list keeps hints
    };

    TPool iPool;
    std::unique_ptr<TIndex> iIndex;  // none while the list is small
    int32_t iSize = 0;
    int32_t iMarkedSize = 0;
    bool iHinted = false;
    bool iInOrder = true;  // every element lies in the slot of its position
    mutable int32_t iCacheBlock = -1;  // the block of the last lookup and its first position
    mutable int32_t iCacheStart = 0;
};
