#pragma once

#include "model/VexilControl.h"

#include <QString>

#include <array>
#include <cstdint>

class CVexilControlSet;
class CVexilSortKey;

// The ways of a part row, as the lines of its way box.
enum EKeyWay : int32_t
{
    EKeyWayNone = -1,  // no line chosen
    EKeyWayAscending = 0,
    EKeyWayDescending = 1,
};

// One part row of the sort key editor: the field chosen (none for "(None)" or no line) and
// the way line.
struct TKeyRow
{
    TControlRef Control;
    int32_t Way = EKeyWayNone;
};

inline constexpr int32_t KNumKeyRows = 5;
using TKeyRows = std::array<TKeyRow, KNumKeyRows>;

// Between a sort key and the five part rows of the sort key editor.
//
// Guarantees: any stored key can be shown: the rows show its first five parts, a part on a
// field the background does not have shows no field, and a way other than 1 shows
// Ascending, as the key sorts by it. Writing a key takes the rows with a field in row order,
// without gaps, each with its field's width (a row without way is written Ascending), and
// keeps the parts beyond the fifth after them.
class CVexilSortKeyRows
{
public:
    static TKeyRows RowsOf(const CVexilSortKey& aKey, const CVexilControlSet& aBackground);
    // Names the key and rewrites its parts from the rows; every field of a row must fit a key.
    static void WriteSortKey(CVexilSortKey& aKey, const QString& aName, const TKeyRows& aRows);
    // List, Command and Picture fields cannot be key parts.
    static bool FitsSortKey(const CVexilControl& aControl);
};
