#pragma once

#include "model/VexilStack.h"

#include <QString>

#include <unordered_map>

// Merges another stack file into a stack: every picture, background, field, sort key, key
// index and card of the other stack is added as a new object with a new id, and every id
// they hold is translated. The other stack is loaded (and checked by its reader) and every
// copy made and mapped before the stack changes, so a file that cannot be loaded leaves it
// as it was. A reference to an object of the other stack names its copy; one that names
// nothing (a deleted destination card, an unused link) becomes none, never an id of the
// stack merged into. The card-order broadcast waits until all cards are in. Card lists (which
// hold card ids) are marked stale and computed anew where they are shown or saved.
class CVexilStackMerge
{
public:
    // Old id -> new id.
    using TIdMap = std::unordered_map<int32_t, int32_t>;

    static void AddIdMap(TIdMap& aMap, int32_t aOldId, int32_t aNewId);
    // The new id of an old one; UndefLong for UndefLong and for an id the map lacks.
    static int32_t MapId(const TIdMap& aMap, int32_t aOldId);

    // Errors go to the caller with the context "CVexilImports.ImportQuorvan" (those of the
    // stack file reader for a file that is no stack).
    static void ImportQuorvan(CVexilStack& aStack, const QString& aFileName);
};
