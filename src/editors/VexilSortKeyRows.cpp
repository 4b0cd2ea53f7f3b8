#include "editors/VexilSortKeyRows.h"

#include "foundation/VexilLib.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"

#include <vector>

TKeyRows CVexilSortKeyRows::RowsOf(const CVexilSortKey& aKey, const CVexilControlSet& aBackground)
{
    TKeyRows rows;
    TKeyPart part;
    int32_t cursor = 0;
    for (bool more = aKey.GetFirstKeyPart(part, cursor); more && cursor <= KNumKeyRows;
         more = aKey.GetNextKeyPart(part, cursor))
    {
        TKeyRow& row = rows[size_t(cursor - 1)];
        if (aBackground.GetControl(part.ControlId, row.Control))
            row.Way = part.Way == EKeyWayDescending ? EKeyWayDescending : EKeyWayAscending;
        else
            row.Control = nullptr;
    }
    return rows;
}

void CVexilSortKeyRows::WriteSortKey(CVexilSortKey& aKey, const QString& aName, const TKeyRows& aRows)
{
    // The parts no row shows stay after the rows.
    std::vector<TKeyPart> kept;
    TKeyPart part;
    int32_t cursor = 0;
    for (bool more = aKey.GetFirstKeyPart(part, cursor); more; more = aKey.GetNextKeyPart(part, cursor))
        if (cursor > KNumKeyRows)
            kept.push_back(part);

    aKey.SetName(aName);
    aKey.Clear();
    for (const TKeyRow& row : aRows)
    {
        if (!row.Control)
            continue;
        const int32_t way = row.Way == EKeyWayDescending ? EKeyWayDescending : EKeyWayAscending;
        aKey.AddKeyPart(row.Control->ConType(), row.Control->Id(), way, CVexilLib::SortKeyLen(*row.Control));
    }
    for (const TKeyPart& keptPart : kept)
        aKey.AddKeyPart(keptPart.Type, keptPart.ControlId, keptPart.Way, keptPart.Len);
}

bool CVexilSortKeyRows::FitsSortKey(const CVexilControl& aControl)
{
    const int32_t type = aControl.ConType();
    return type != EConTypeList && type != EConTypeCommand && type != EConTypePicture;
}
