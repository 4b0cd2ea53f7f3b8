#include "editors/VexilBackgroundWriter.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

namespace
{
const QString kBackground = QStringLiteral("background");
const QString kNameLabel = QStringLiteral("Name");
}  // namespace

CVexilBackgroundWriter::CVexilBackgroundWriter(CVexilStack& aStack) : iStack(aStack)
{
}

int32_t CVexilBackgroundWriter::NameFault(const QString& aName, const CVexilControlSet* aBackground) const
{
    if (aName.isEmpty())
        return EMsgEmptyName;
    if (aName.trimmed().isEmpty())
        return EMsgEmptyField;
    TControlSetRef other;
    if (iStack.GetBackgroundByName(aName, other) && other.get() != aBackground)
        return EMsgDuplicateName;
    return 0;
}

bool CVexilBackgroundWriter::CheckInput(const TBackgroundInput& aInput, const CVexilControlSet* aBackground,
                                        QString& aFocus) const
{
    aFocus = QStringLiteral("fName");
    switch (NameFault(aInput.Name, aBackground))
    {
    case EMsgEmptyName: CVexilMsg::Show(EMsgEmptyName, EMsgClsCritical, kBackground); return false;
    case EMsgDuplicateName: CVexilMsg::Show(EMsgDuplicateName, EMsgClsCritical, kBackground); return false;
    case EMsgEmptyField:
    {
        bool bad = false;
        CVexilDialogLib::CheckEmptyName(kNameLabel, aInput.Name, bad);
        return false;
    }
    default: break;
    }
    // A kept order needs a key of this very background: a new one has none yet.
    if ((aInput.Flags & ECseKeepCardsSorted) != 0 &&
        !(aBackground && aInput.SortKey && HoldsKey(*aInput.SortKey, *aBackground)))
    {
        aFocus = QStringLiteral("fSortKeyCombo");
        CVexilMsg::Show(EMsgNoSortKey, EMsgClsCritical);
        return false;
    }
    return true;
}

bool CVexilBackgroundWriter::Holds(const CVexilControlSet& aBackground) const
{
    return iStack.Background(aBackground.Id()).get() == &aBackground;
}

bool CVexilBackgroundWriter::HoldsKey(const CVexilSortKey& aKey, const CVexilControlSet& aBackground) const
{
    return iStack.SortKey(aKey.Id()).get() == &aKey && aKey.BackgroundId() == aBackground.Id();
}

TSortKeyRef CVexilBackgroundWriter::KeptKey(CVexilControlSet& aBackground) const
{
    if (!aBackground.Flag(ECseKeepCardsSorted))
        return nullptr;
    const std::shared_ptr<CVexilArray> keyIndex = aBackground.KeyIndex();
    return keyIndex ? iStack.SortKey(keyIndex->SortKeyId()) : nullptr;
}

TControlSetRef CVexilBackgroundWriter::Create(const TBackgroundInput& aInput)
{
    auto background = std::make_shared<CVexilControlSet>();
    background->Construct(aInput.Name, iStack.IdGen().NextId());
    iStack.AddBackground(background);
    Modify(*background, aInput);
    return background;
}

void CVexilBackgroundWriter::Modify(CVexilControlSet& aBackground, const TBackgroundInput& aInput)
{
    aBackground.SetName(aInput.Name);
    aBackground.SetDescr(aInput.Descr);
    const bool sortedBefore = aBackground.Flag(ECseKeepCardsSorted);
    const std::shared_ptr<CVexilArray> oldIndex = sortedBefore ? aBackground.KeyIndex() : nullptr;
    aBackground.SetFlags(aInput.Flags);
    const bool sortedNow = aBackground.Flag(ECseKeepCardsSorted);
    if (sortedBefore && !sortedNow)
    {
        if (oldIndex)
            iStack.DeleteKeyIndex(*oldIndex);
        aBackground.SetKeyIndexId(UndefLong);
    }
    else if (sortedNow && !(oldIndex && aInput.SortKey && oldIndex->SortKeyId() == aInput.SortKey->Id()))
    {
        // Another key (or none before): its index replaces the old one and sorts the cards.
        // CheckInput has made sure there is a key.
        CVexilError::Assert(aInput.SortKey != nullptr, QStringLiteral("ModifyBackground SortKey"));
        if (aInput.SortKey)
        {
            if (oldIndex)
                iStack.DeleteKeyIndex(*oldIndex);
            iStack.NewIndexForSortKey(aInput.SortKey);
        }
    }
    aBackground.SetFont(aInput.Font);
    aBackground.SetBackColor(aInput.BackColor);
}

int32_t CVexilBackgroundWriter::NumCards(const CVexilControlSet& aBackground) const
{
    int32_t count = 0;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = iStack.GetFirstCardInBackground(aBackground.Id(), card, cursor); more;
         more = iStack.GetNextCardInBackground(aBackground.Id(), card, cursor))
        ++count;
    return count;
}

bool CVexilBackgroundWriter::CheckNotUsed(const CVexilControlSet& aBackground) const
{
    TControlSetRef background;
    int32_t backgroundCursor = 0;
    for (bool more = iStack.GetFirstBackground(background, backgroundCursor); more;
         more = iStack.GetNextBackground(background, backgroundCursor))
    {
        TControlRef field;
        int32_t cursor = 0;
        for (bool moreFields = background->GetFirstControl(field, cursor); moreFields;
             moreFields = background->GetNextControl(field, cursor))
            if (field->SelBackgroundId() == aBackground.Id())
            {
                CVexilMsg::Show(EMsgBackgroundUsed, EMsgClsCritical, field->Name(), background->Name());
                return false;
            }
    }
    return true;
}

void CVexilBackgroundWriter::SetWallPaper(CVexilControlSet& aBackground, const TBlobRef& aBlob)
{
    ReleaseWallPaper(aBackground);
    aBackground.SetWallPaperId(aBlob->Id());
    aBlob->IncRefCount();
}

void CVexilBackgroundWriter::ClearWallPaper(CVexilControlSet& aBackground)
{
    ReleaseWallPaper(aBackground);
    aBackground.SetWallPaperId(UndefLong);
}

void CVexilBackgroundWriter::ReleaseWallPaper(CVexilControlSet& aBackground)
{
    CVexilBlobStore& store = *iStack.BlobStore();
    const int32_t id = aBackground.WallPaperId();
    // An id from a file that names no picture, or a picture that counts no holder, has
    // nothing to give back.
    if (id == UndefLong || !store.HasBlob(id))
        return;
    TBlobRef blob = store.ReadBlob(id);
    if (blob && blob->RefCount() > 0)
        store.DecRefCount(blob);
}
