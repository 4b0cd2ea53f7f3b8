#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the value records of all cards live: large pages cut into blocks of a few sizes, a
// freed block going back to the list of its size for the next record of that size. A record
// thus costs no heap allocation of its own; only a record beyond the largest block size gets
// one. Single-threaded, as the model is; the pages live as long as the program.
class CVexilRecordStore
{
public:
    static CVexilRecordStore& Shared();

    // A block of at least aSize bytes; aCapacity gets its real size.
    uint8_t* Allocate(uint32_t aSize, uint32_t& aCapacity);
    void Release(uint8_t* aBlock, uint32_t aCapacity);

    // Bytes taken from the system for pages, for measurements.
    size_t PageBytes() const { return iPages.size() * kPageSize; }

private:
    static constexpr uint32_t kPageSize = 1u << 20;
    static constexpr uint32_t kGrain = 16;
    // Blocks up to this size come from the pages; the sizes step by a quarter of a power of two.
    static constexpr uint32_t kLargestBlock = 64u << 10;

    // The size class of a request, and the block size of a class.
    static uint32_t ClassOf(uint32_t aSize);
    static uint32_t SizeOf(uint32_t aClass);

    std::vector<uint8_t*> iPages;
    std::vector<uint8_t*> iFree;  // per class: the first free block; each links to the next
    uint8_t* iNext = nullptr;      // the unused rest of the last page
    uint32_t iLeft = 0;
};
