#include "model/VexilRecordStore.h"

#include <bit>
#include <cstring>

CVexilRecordStore& CVexilRecordStore::Shared()
{
    // Never destroyed: cards held by objects that are destroyed at exit give their records back
    // after every function's statics are gone.
    static auto* store = new CVexilRecordStore;
    return *store;
}

uint32_t CVexilRecordStore::ClassOf(uint32_t aSize)
{
    if (aSize <= 256)
        return aSize <= kGrain ? 0 : (aSize + kGrain - 1) / kGrain - 1;
    // 2^p < aSize <= 2^(p+1), in quarters of 2^p.
    const uint32_t p = uint32_t(std::bit_width(aSize - 1)) - 1;
    const uint32_t quarter = 1u << (p - 2);
    const uint32_t steps = (aSize - (1u << p) + quarter - 1) / quarter;
    return 16 + (p - 8) * 4 + steps - 1;
}

uint32_t CVexilRecordStore::SizeOf(uint32_t aClass)
{
    if (aClass < 16)
        return (aClass + 1) * kGrain;
    const uint32_t k = aClass - 16;
    const uint32_t p = 8 + k / 4;
    return (1u << p) + (k % 4 + 1) * (1u << (p - 2));
}

uint8_t* CVexilRecordStore::Allocate(uint32_t aSize, uint32_t& aCapacity)
{
    if (aSize > kLargestBlock)
    {
        aCapacity = (aSize + kGrain - 1) / kGrain * kGrain;
        return new uint8_t[aCapacity];
    }
    const uint32_t cls = ClassOf(aSize);
    aCapacity = SizeOf(cls);
    if (cls < iFree.size() && iFree[cls])
    {
        uint8_t* block = iFree[cls];
        std::memcpy(&iFree[cls], block, sizeof(uint8_t*));
        return block;
    }
    if (iLeft < aCapacity)
    {
        iPages.push_back(new uint8_t[kPageSize]);
        iNext = iPages.back();
        iLeft = kPageSize;
    }
    uint8_t* block = iNext;
    iNext += aCapacity;
    iLeft -= aCapacity;
    return block;
}

void CVexilRecordStore::Release(uint8_t* aBlock, uint32_t aCapacity)
{
    if (aCapacity > kLargestBlock)
    {
        delete[] aBlock;
        return;
    }
    const uint32_t cls = ClassOf(aCapacity);
    if (cls >= iFree.size())
        iFree.resize(cls + 1, nullptr);
    std::memcpy(aBlock, &iFree[cls], sizeof(uint8_t*));
    iFree[cls] = aBlock;
}
