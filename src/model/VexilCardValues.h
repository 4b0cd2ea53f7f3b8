#pragma once

#include "foundation/VexilValueDef.h"

#include <cstdint>

class CVexilArray;
class CVexilFile;

// The values of one card as one contiguous byte record in the record store, kept in ascending
// field id as the card's file record has them, each value with its exact type and every field
// that the value record carries (the leftovers of a value that is not the usual zero or
// "fresh" pattern included). The record also keeps the figures of the stored value array (its
// growth count and the rest of its head), so that a card is written back byte for byte. An
// empty card with the usual head has no record at all.
//
// Values are decoded when read; setting a value re-encodes its entry in place, moving the rest
// of the record when the length changes. Card values never hold objects: the card's readers
// refuse them, and an object in a value given here is not kept.
class TCardValues
{
public:
    TCardValues() = default;
    TCardValues(const TCardValues&) = delete;
    TCardValues& operator=(const TCardValues&) = delete;
    TCardValues(TCardValues&& aOther) noexcept;
    TCardValues& operator=(TCardValues&& aOther) noexcept;
    ~TCardValues() { Clear(); }

    // One stored value, as found by a walk; the value is decoded only when asked for.
    class TEntry
    {
    public:
        int32_t Key() const;
        int32_t Type() const;
        // The integer field (a picture id, for one); no text is decoded.
        int32_t Int() const;
        TValue Value() const;

    private:
        friend class TCardValues;
        explicit TEntry(const uint8_t* aAt) : iAt(aAt) {}
        const uint8_t* iAt;
    };

    int32_t Count() const;
    bool Has(int32_t aKey) const { return Find(aKey) != nullptr; }
    // The stored value of that key; false and aVal untouched when there is none.
    bool Get(int32_t aKey, TValue& aVal) const;
    // Replaces the value of the key, or inserts it at its place (growing the array figure as
    // an insert into the value array did).
    void Set(int32_t aKey, const TValue& aVal);
    // False when the key had no value.
    bool Remove(int32_t aKey);
    // Drops every value and the figures; the card is again as new.
    void Clear();

    // Calls aVisit(const TEntry&) for each value in key order.
    template <class F>
    void ForEach(F&& aVisit) const
    {
        for (const uint8_t* at = First(); at != End(); at = NextOf(at))
            aVisit(TEntry(at));
    }

    // The values and figures as a value array, and back; for the stored forms and the callers
    // that build a card's values as an array. FromArray takes the array's elements as stored
    // (its key order included).
    void ToArray(CVexilArray& aArray) const;
    void FromArray(const CVexilArray& aArray);

    // The values as the value array of the card's binary record, written from the record and
    // read into it with every check of the array reader (error 1006 on a fault); a value that
    // is not of a card's types is refused as the card's reader refuses it.
    int32_t ExtLen() const;
    void Externalize(CVexilFile& aFile) const;
    void Internalize(CVexilFile& aFile);

    // The record's size in bytes, for measurements; 0 without one.
    uint32_t RecordBytes() const;

private:
    // An entry of aKey, or none.
    const uint8_t* Find(int32_t aKey) const;
    const uint8_t* First() const;
    const uint8_t* End() const;
    static const uint8_t* NextOf(const uint8_t* aEntry);
    // Makes room for aNewLen bytes in place of the aOldLen bytes at aOffset, growing the record
    // when needed; returns the (possibly moved) record.
    uint8_t* Splice(uint32_t aOffset, uint32_t aOldLen, uint32_t aNewLen);
    // A record with the default figures and no values, with room for aSize bytes.
    void Create(uint32_t aSize);

    uint8_t* iRec = nullptr;
};
