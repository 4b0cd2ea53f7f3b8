#include "interchange/VexilStackMerge.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "interchange/VexilImportSupport.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilStackFile.h"

#include <vector>

namespace
{
const QString kContext = QStringLiteral("CVexilImports.ImportQuorvan");

// The copies of the other stack's objects, made and mapped in one pass (Plan) and put into
// the stack in another (Add), which meets nothing that can fail on the file's content.
class TMerge
{
public:
    TMerge(CVexilStack& aStack, CVexilStack& aOther) : iStack(aStack), iOther(aOther) {}

    void Plan()
    {
        iFirstId = iStack.IdGen().PeekId();
        iNextId = iFirstId;
        PlanBlobs();
        PlanBackgrounds();
        PlanSortKeys();
        PlanCards();
    }

    void Add()
    {
        // The ids planned are the generator's next ones.
        for (int32_t id = iFirstId; id != iNextId; ++id)
            iStack.IdGen().NextId();
        for (const TBlobRef& blob : iBlobs)
            iStack.BlobStore()->AddBlob(blob);
        for (const TControlSetRef& background : iBackgrounds)
            iStack.AddBackground(background);
        for (const TSortKeyRef& sortKey : iSortKeys)
            iStack.AddSortKey(sortKey);
        for (const auto& keyIndex : iKeyIndexes)
            iStack.AddKeyIndex(keyIndex);

        CVexilStack::TOrderBroadcastHold hold(iStack);
        for (const TPlannedCard& planned : iCards)
        {
            TCardRef before;
            iStack.AddCard(planned.Card, before, false);
            CVexilStackMerge::AddIdMap(iCardMap, planned.OldId, planned.Card->Id());
        }
        for (const auto& [control, oldDest] : iDestCards)
            control->SetDestCardId(CVexilStackMerge::MapId(iCardMap, oldDest));
        for (const TControlRef& control : iCardListFields)
            control->SetFlag(EConCardList, true);
        iStack.SetControlDynFlags();
        // The card lists hold card ids: they are computed anew where they are shown or saved.
        iStack.SetCardListsDirty(nullptr);
        hold.Release();
    }

private:
    struct TPlannedCard
    {
        TCardRef Card;
        int32_t OldId;
    };

    int32_t NewId()
    {
        // Ids never reach UndefLong, which means none.
        if (iNextId >= UndefLong - 1)
            CVexilError::RaiseRunError(ERunOverflow, kContext);
        return iNextId++;
    }

    int32_t Map(int32_t aOldId) const { return CVexilStackMerge::MapId(iObjMap, aOldId); }

    TControlSetRef CopyOf(int32_t aOldBackgroundId) const
    {
        const auto found = iBackgroundCopies.find(aOldBackgroundId);
        return found == iBackgroundCopies.end() ? nullptr : found->second;
    }

    void PlanBlobs()
    {
        CVexilBlobStore& store = *iOther.BlobStore();
        TBlobRef blob;
        int32_t cursor = 0;
        for (bool more = store.ReadFirstBlob(blob, cursor); more; more = store.ReadNextBlob(blob, cursor))
        {
            auto copy = std::make_shared<CVexilBlob>();
            copy->Construct(NewId());
            CVexilStackMerge::AddIdMap(iObjMap, blob->Id(), copy->Id());
            copy->SetBlobType(blob->BlobType());
            copy->SetName(blob->Name());
            copy->SetFilename(blob->Filename());
            copy->SetCreDate(blob->CreDate());
            copy->SetCreTime(blob->CreTime());
            copy->SetFileDate(blob->FileDate());
            copy->SetFileTime(blob->FileTime());
            copy->SetMimeType(blob->MimeType());
            copy->SetOriginalId(blob->OriginalId());
            copy->SetSampleId(blob->SampleId());
            copy->SetWidth(blob->Width());
            copy->SetHeight(blob->Height());
            copy->SetBytes(blob->Bytes());
            copy->SetRefCount(blob->RefCount());
            copy->SetChanged(true);
            iBlobs.push_back(copy);
        }
        // The links between a picture and its sample.
        for (const TBlobRef& copy : iBlobs)
        {
            copy->SetOriginalId(Map(copy->OriginalId()));
            copy->SetSampleId(Map(copy->SampleId()));
        }
    }

    void PlanBackgrounds()
    {
        TControlSetRef background;
        int32_t cursor = 0;
        std::vector<std::pair<TControlRef, TControlRef>> fields;  // original, copy
        for (bool more = iOther.GetFirstBackground(background, cursor); more;
             more = iOther.GetNextBackground(background, cursor))
        {
            auto copy = std::make_shared<CVexilControlSet>();
            copy->Construct(background->Name(), NewId());
            CVexilStackMerge::AddIdMap(iObjMap, background->Id(), copy->Id());
            copy->SetDescr(background->Descr());
            copy->SetFlags(background->Flags());
            copy->SetBackColor(background->BackColor());
            copy->SetScriptSource(background->ScriptSource());
            copy->SetScript(background->Script());
            copy->SetFont(background->Font());
            copy->SetWallPaperId(Map(background->WallPaperId()));
            iBackgrounds.push_back(copy);
            iBackgroundCopies.emplace(background->Id(), copy);
            PlanFields(*background, *copy, fields);
        }
        for (const auto& [field, copy] : fields)
            MapReferences(*field, copy);
    }

    void PlanFields(const CVexilControlSet& aBackground, CVexilControlSet& aCopy,
                    std::vector<std::pair<TControlRef, TControlRef>>& aFields)
    {
        TControlRef field;
        int32_t cursor = 0;
        for (bool more = aBackground.GetFirstControl(field, cursor); more;
             more = aBackground.GetNextControl(field, cursor))
        {
            auto copy = std::make_shared<CVexilControl>();
            copy->Construct(NewId(), field->Name(), field->ConType());
            CVexilStackMerge::AddIdMap(iObjMap, field->Id(), copy->Id());
            copy->SetDescr(field->Descr());
            copy->SetLabel(field->Label());
            copy->SetVisLines(field->VisLines());
            copy->SetVisChar(field->VisChar());
            copy->SetDefaultVal(field->DefaultVal());
            copy->SetFlags(field->Flags());
            copy->SetDynFlags(field->DynFlags());
            copy->SetMaxChar(field->MaxChar());
            copy->SetDigits(field->Digits());
            copy->SetListVisChar(field->TrueListVisChar());
            copy->SetListColTitle(field->TrueListColTitle());
            copy->SetStdCmd(field->StdCmd());
            copy->SetScriptSource(field->ScriptSource());
            copy->SetScript(field->Script());
            copy->SetFont(field->Font());
            copy->SetBackColor(field->BackColor());
            aCopy.AddControl(copy, UndefLong);
            aFields.emplace_back(field, copy);
            // Each card added to the stack marks the cards of every background with a card list
            // stale, one walk over the stack per card: the copies take their card-list role
            // once their cards are in.
            if (copy->Flag(EConCardList))
            {
                copy->SetFlag(EConCardList, false);
                iCardListFields.push_back(copy);
            }
        }
    }

    // Once every field has its copy: the links between fields and backgrounds.
    void MapReferences(const CVexilControl& aField, const TControlRef& aCopyRef)
    {
        CVexilControl& copy = *aCopyRef;
        copy.SetRefControlId(Map(aField.RefControlId()));
        copy.SetSelControlId(Map(aField.SelControlId()));
        copy.SetPartnerId(Map(aField.PartnerId()));
        copy.SetSelBackgroundId(Map(aField.SelBackgroundId()));
        copy.SetDestCardId(UndefLong);
        if (aField.DestCardId() != UndefLong)
            iDestCards.emplace_back(aCopyRef, aField.DestCardId());
        if (const std::shared_ptr<CVexilArray>& columns = aField.ListCol())
        {
            auto mapped = std::make_shared<CVexilArray>();
            mapped->Construct(0, EValInt);
            for (int32_t i = 0; i < columns->Count(); ++i)
            {
                TArrayElem elem;
                mapped->InitElem(elem);
                elem.iVal.iInt = Map(columns->ElemAt(i).iVal.iInt);
                mapped->CreateAtEnd(elem);
            }
            copy.SetListCol(mapped);
        }
    }

    void PlanSortKeys()
    {
        TSortKeyRef sortKey;
        int32_t cursor = 0;
        for (bool more = iOther.GetFirstSortKey(sortKey, cursor); more; more = iOther.GetNextSortKey(sortKey, cursor))
        {
            auto copy = std::make_shared<CVexilSortKey>();
            copy->Contruct(NewId(), sortKey->Name(), Map(sortKey->BackgroundId()));
            CVexilStackMerge::AddIdMap(iObjMap, sortKey->Id(), copy->Id());
            TKeyPart part;
            int32_t partCursor = 0;
            for (bool morePart = sortKey->GetFirstKeyPart(part, partCursor); morePart;
                 morePart = sortKey->GetNextKeyPart(part, partCursor))
                copy->AddKeyPart(part.Type, Map(part.ControlId), part.Way, part.Len);
            iSortKeys.push_back(copy);
        }
        for (const auto& [oldId, copy] : iBackgroundCopies)
        {
            if (!copy->Flag(ECseKeepCardsSorted))
                continue;
            const TControlSetRef background = iOther.Background(oldId);
            const std::shared_ptr<CVexilArray> oldIndex = iOther.KeyIndex(background->KeyIndexId());
            auto keyIndex = std::make_shared<CVexilArray>();
            keyIndex->Construct(EArrStrKey + EArrSortKeyOrder, EValInt);
            keyIndex->SetSortKeyId(Map(oldIndex->SortKeyId()));
            keyIndex->SetId(NewId());
            CVexilStackMerge::AddIdMap(iObjMap, oldIndex->Id(), keyIndex->Id());
            copy->SetKeyIndexId(keyIndex->Id());
            iKeyIndexes.push_back(keyIndex);
        }
    }

    void PlanCards()
    {
        iCards.reserve(size_t(iOther.NumCards()));
        iCardMap.reserve(size_t(iOther.NumCards()));
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iOther.GetFirstCard(card, cursor); more; more = iOther.GetNextCard(card, cursor))
        {
            const TControlSetRef background = CopyOf(card->BackgroundId());
            auto copy = std::make_shared<CVexilCard>();
            copy->Construct(card->Name(), background);
            copy->SetFlags(card->Flags());
            copy->SetScriptSource(card->ScriptSource());
            copy->SetScript(card->Script());
            copy->SetFont(card->Font());
            copy->SetBackColor(card->BackColor());
            copy->SetCreDate(card->CreDate());
            copy->SetCreTime(card->CreTime());
            copy->SetModDate(card->ModDate());
            copy->SetModTime(card->ModTime());
            card->ForEachValue([&](const TCardValues::TEntry& aEntry) {
                const int32_t fieldId = Map(aEntry.Key());
                TValue value = aEntry.Value();
                if (value.iType == EValBlobId)
                    value.iInt = Map(value.iInt);
                if (fieldId == UndefLong || (value.iType == EValBlobId && value.iInt == UndefLong))
                    return;
                copy->AddStoredVal(fieldId, value);
            });
            iCards.push_back({copy, card->Id()});
        }
    }

    CVexilStack& iStack;
    CVexilStack& iOther;
    int32_t iFirstId = 0;
    int32_t iNextId = 0;
    CVexilStackMerge::TIdMap iObjMap;
    CVexilStackMerge::TIdMap iCardMap;
    std::unordered_map<int32_t, TControlSetRef> iBackgroundCopies;
    std::vector<TBlobRef> iBlobs;
    std::vector<TControlSetRef> iBackgrounds;
    std::vector<TSortKeyRef> iSortKeys;
    std::vector<std::shared_ptr<CVexilArray>> iKeyIndexes;
    std::vector<std::pair<TControlRef, int32_t>> iDestCards;  // copy, old destination card
    std::vector<TPlannedCard> iCards;
    std::vector<TControlRef> iCardListFields;
};
}  // namespace

void CVexilStackMerge::AddIdMap(TIdMap& aMap, int32_t aOldId, int32_t aNewId)
{
    aMap[aOldId] = aNewId;
}

int32_t CVexilStackMerge::MapId(const TIdMap& aMap, int32_t aOldId)
{
    const auto found = aMap.find(aOldId);
    return found == aMap.end() ? UndefLong : found->second;
}

void CVexilStackMerge::ImportQuorvan(CVexilStack& aStack, const QString& aFileName)
{
    TStackRef other;
    VexilImportSupport::PassOnErrors(
        kContext,
        [&] {
            TStackViewRecRef view;
            CVexilStackFile file;
            file.Construct(aFileName);
            file.LoadStack(other, view);
            TMerge merge(aStack, *other);
            merge.Plan();
            other->BlobStore()->CloseFile();
            merge.Add();
        },
        [&] {
            if (other)
                other->BlobStore()->CloseFile();
        });
}
