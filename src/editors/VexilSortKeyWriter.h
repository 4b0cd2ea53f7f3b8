#pragma once

#include "editors/VexilSortKeyRows.h"
#include "model/VexilSortKey.h"

#include <QString>

#include <cstdint>

class CVexilControlSet;
class CVexilStack;

// Creates, rewrites and deletes the sort keys of one background of a stack, and sorts the
// background's cards once by a key.
//
// Guarantees: a name is refused (with its message, "sort key") when it is empty or when
// another key of the same background has it exactly; blank names are allowed. The key that
// keeps its background sorted cannot be deleted, and rewriting it rebuilds the background's
// key index, so the kept order always follows the key as stored. After every change of a key
// the fields' key-part marks are recomputed; the caller broadcasts the change.
class CVexilSortKeyWriter
{
public:
    CVexilSortKeyWriter(CVexilStack& aStack, CVexilControlSet& aBackground);

    // EMsgEmptyName, EMsgDuplicateName, or 0 when the name may be used. aKey is the key being
    // modified (its own name is allowed), none for a new key.
    int32_t NameFault(const QString& aName, const CVexilSortKey* aKey) const;
    // NameFault with its message shown; true when the name may be used.
    bool CheckName(const QString& aName, const CVexilSortKey* aKey) const;

    // The background is still one of the stack's, and the key (when given) one of its keys.
    bool Holds(const CVexilSortKey* aKey) const;
    // The key keeps its background sorted through the background's key index.
    bool KeepsSorted(const CVexilSortKey& aKey) const;

    TSortKeyRef Create(const QString& aName, const TKeyRows& aRows);
    // True when the background's cards were sorted again (the key keeps them sorted).
    bool Modify(const TSortKeyRef& aKey, const QString& aName, const TKeyRows& aRows);
    // False (EMsgSortKeyRef shown) for the key that keeps its background sorted.
    bool Delete(const CVexilSortKey& aKey);
    // The background's cards in the key's order, after the cards of the other backgrounds.
    void Sort(const TSortKeyRef& aKey);

private:
    CVexilStack& iStack;
    CVexilControlSet& iBackground;
};
