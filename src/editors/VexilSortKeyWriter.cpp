#include "editors/VexilSortKeyWriter.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilMsg.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

#include <memory>

namespace
{
const QString kSortKey = QStringLiteral("sort key");

// The stack's key index of that id, or none (no assertion for a background that names none).
std::shared_ptr<CVexilArray> KeyIndexOf(const CVexilStack& aStack, int32_t aId)
{
    std::shared_ptr<CVexilArray> keyIndex;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstKeyIndex(keyIndex, cursor); more; more = aStack.GetNextKeyIndex(keyIndex, cursor))
        if (keyIndex->Id() == aId)
            return keyIndex;
    return nullptr;
}
}  // namespace

CVexilSortKeyWriter::CVexilSortKeyWriter(CVexilStack& aStack, CVexilControlSet& aBackground)
    : iStack(aStack), iBackground(aBackground)
{
}

int32_t CVexilSortKeyWriter::NameFault(const QString& aName, const CVexilSortKey* aKey) const
{
    if (aName.isEmpty())
        return EMsgEmptyName;
    TSortKeyRef other;
    if (iStack.GetSortKeyByName(iBackground.Id(), aName, other) && other.get() != aKey)
        return EMsgDuplicateName;
    return 0;
}

bool CVexilSortKeyWriter::CheckName(const QString& aName, const CVexilSortKey* aKey) const
{
    const int32_t fault = NameFault(aName, aKey);
    if (fault != 0)
        CVexilMsg::Show(fault, EMsgClsCritical, kSortKey);
    return fault == 0;
}

bool CVexilSortKeyWriter::Holds(const CVexilSortKey* aKey) const
{
    if (iStack.Background(iBackground.Id()).get() != &iBackground)
        return false;
    if (!aKey)
        return true;
    TSortKeyRef key;
    int32_t cursor = 0;
    for (bool more = iStack.GetFirstSortKey(key, cursor); more; more = iStack.GetNextSortKey(key, cursor))
        if (key.get() == aKey)
            return key->BackgroundId() == iBackground.Id();
    return false;
}

bool CVexilSortKeyWriter::KeepsSorted(const CVexilSortKey& aKey) const
{
    if (!iBackground.Flag(ECseKeepCardsSorted))
        return false;
    const std::shared_ptr<CVexilArray> keyIndex = KeyIndexOf(iStack, iBackground.KeyIndexId());
    return keyIndex && keyIndex->SortKeyId() == aKey.Id();
}

TSortKeyRef CVexilSortKeyWriter::Create(const QString& aName, const TKeyRows& aRows)
{
    auto key = std::make_shared<CVexilSortKey>();
    key->Contruct(iStack.IdGen().NextId(), aName, iBackground.Id());
    CVexilSortKeyRows::WriteSortKey(*key, aName, aRows);
    iStack.AddSortKey(key);
    iStack.SetControlDynFlags();
    return key;
}

bool CVexilSortKeyWriter::Modify(const TSortKeyRef& aKey, const QString& aName, const TKeyRows& aRows)
{
    const bool keepsSorted = KeepsSorted(*aKey);
    CVexilSortKeyRows::WriteSortKey(*aKey, aName, aRows);
    if (keepsSorted)
    {
        // The index holds keys built by the old parts: a new one is built by the new parts.
        iStack.DeleteKeyIndex(*KeyIndexOf(iStack, iBackground.KeyIndexId()));
        iStack.NewIndexForSortKey(aKey);
    }
    iStack.SetControlDynFlags();
    return keepsSorted;
}

bool CVexilSortKeyWriter::Delete(const CVexilSortKey& aKey)
{
    if (KeepsSorted(aKey))
    {
        CVexilMsg::Show(EMsgSortKeyRef, EMsgClsCritical);
        return false;
    }
    iStack.DeleteSortKey(aKey);
    iStack.SetControlDynFlags();
    return true;
}

void CVexilSortKeyWriter::Sort(const TSortKeyRef& aKey)
{
    iStack.Sort(iBackground, aKey, nullptr, false);
}
