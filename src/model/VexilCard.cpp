#include "model/VexilCard.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilObjHead.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilClock.h"
#include "model/VexilStack.h"

namespace
{
const QString kGetContext = QStringLiteral("GetControlVal");
const QString kSetContext = QStringLiteral("SetControlVal");
}  // namespace

CVexilCard::CVexilCard() = default;
CVexilCard::~CVexilCard() = default;

void CVexilCard::Construct(const QString& aName, const TControlSetRef& aBackground)
{
    iId = UndefLong;
    iOrderNum = UndefLong;
    iName = aName;
    iStack = nullptr;
    iDirty = false;
    if (iRare)
    {
        iRare->ScriptSource.clear();
        iRare->Script.reset();
    }
    CVexilError::Assert(aBackground != nullptr, QStringLiteral("Construct background set"));
    iBackgroundId = aBackground ? aBackground->Id() : UndefLong;
    iValues.Clear();
    iBackColor = UndefLong;
    CVexilClock::Stamp(iCreDate, iCreTime);
    iModDate = iCreDate;
    iModTime = iCreTime;
    iChanged = true;
}

QString CVexilCard::ObjDescr() const
{
    return QStringLiteral("CVexilCard name=") + iName;
}

void CVexilCard::SetId(int32_t aId)
{
    iId = aId;
    iChanged = true;
}

void CVexilCard::SetOrderNum(int32_t aNum)
{
    iOrderNum = aNum;
    iChanged = true;
}

void CVexilCard::SetName(const QString& aName)
{
    iName = aName;
    if (iStack)
        iStack->ChangeCard(*this);
    iChanged = true;
}

void CVexilCard::SetFlags(int32_t aFlags)
{
    iFlags = aFlags;
    iChanged = true;
}

void CVexilCard::SetFlag(int32_t aMask, bool aOn)
{
    iFlags = aOn ? (iFlags | aMask) : (iFlags & ~aMask);
    iChanged = true;
}

bool CVexilCard::Changed() const
{
    return iChanged || (iRare && (CVexilObjHead::IsChanged(iRare->Script.get()) ||
                                  CVexilObjHead::IsChanged(iRare->Font.get())));
}

void CVexilCard::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged || !iRare)
        return;
    for (CVexilObject* part : {static_cast<CVexilObject*>(iRare->Script.get()),
                               static_cast<CVexilObject*>(iRare->Font.get())})
        if (part)
            part->SetChanged(false);
}

CVexilCard::TRarePart& CVexilCard::Rare()
{
    if (!iRare)
        iRare = std::make_unique<TRarePart>();
    return *iRare;
}

bool CVexilCard::StoredVal(int32_t aControlId, TValue& aVal) const
{
    return iValues.Get(aControlId, aVal);
}

int32_t CVexilCard::ValueCount() const
{
    return iValues.Count();
}

void CVexilCard::AddStoredVal(int32_t aControlId, const TValue& aVal)
{
    CVexilError::CheckFailed(aVal.iType != EValUndef, this, QStringLiteral("Create"),
                             QStringLiteral("aElem.iVal.iType"));
    CVexilError::Assert(!iValues.Has(aControlId), QStringLiteral("Create duplicate"));
    iValues.Set(aControlId, aVal);
}

void CVexilCard::SetDirty(bool aDirty)
{
    iDirty = aDirty;
    iChanged = true;
}

void CVexilCard::SetBackColor(int32_t aColor)
{
    iBackColor = aColor;
    iChanged = true;
}

QString CVexilCard::ScriptSource() const
{
    return iRare ? iRare->ScriptSource : QString();
}

void CVexilCard::SetScriptSource(const QString& aSource)
{
    if (iRare || !aSource.isNull())
        Rare().ScriptSource = aSource;
    iChanged = true;
}

std::shared_ptr<CVexilArray> CVexilCard::Script() const
{
    return iRare ? iRare->Script : nullptr;
}

void CVexilCard::SetScript(std::shared_ptr<CVexilArray> aScript)
{
    if (iRare || aScript)
        Rare().Script = std::move(aScript);
    iChanged = true;
}

std::shared_ptr<CVexilFont> CVexilCard::Font() const
{
    return iRare ? iRare->Font : nullptr;
}

void CVexilCard::SetFont(std::shared_ptr<CVexilFont> aFont)
{
    if (iRare || aFont)
        Rare().Font = std::move(aFont);
    iChanged = true;
}

TControlSetRef CVexilCard::Background() const
{
    return iStack ? iStack->Background(iBackgroundId) : nullptr;
}

void CVexilCard::SetBackground(const CVexilControlSet& aBackground)
{
    iBackgroundId = aBackground.Id();
    iChanged = true;
}

TControlRef CVexilCard::ControlById(int32_t aControlId) const
{
    const TControlSetRef background = Background();
    TControlRef control;
    if (background)
        background->GetControl(aControlId, control);
    return control;
}

bool CVexilCard::ControlValDef(int32_t aControlId) const
{
    return iValues.Has(aControlId);
}

void CVexilCard::GetControlVal(int32_t aControlId, TValue& aVal, bool aTyped)
{
    if (iDirty)
    {
        const TControlRef control = ControlById(aControlId);
        if (control && control->Flag(EConCardList))
            UpdateCardLists();
    }
    if (StoredVal(aControlId, aVal))
        return;
    aVal = TValue();
    const TControlSetRef background = Background();
    CVexilError::CheckFailed(background != nullptr, this, kGetContext, QStringLiteral("background"));
    TControlRef control;
    const bool found = background && background->GetControl(aControlId, control);
    CVexilError::CheckFailed(found, this, QStringLiteral("GetControlValue"), QStringLiteral("background control"));
    if (!found || control->ConType() == EConTypeCommand || control->ConType() == EConTypePicture)
        return;
    if (!control->DefaultVal().isEmpty())
        aVal = CVexilValue::IntTextToVal(control->DefaultVal(), *control);
    if (aTyped && aVal.iType == EValUndef)
        CVexilValue::SetZero(aVal, CVexilValue::ConToValType(control->ConType()), iCreDate, iCreTime);
}

void CVexilCard::ReleaseBlob(int32_t aBlobId) const
{
    CVexilBlobStore* store = iStack ? iStack->BlobStore().get() : nullptr;
    if (!store)
        return;
    TBlobRef blob = store->ReadBlob(aBlobId);
    if (blob)
        store->DecRefCount(blob);
}

void CVexilCard::AddBlobRef(int32_t aBlobId) const
{
    CVexilBlobStore* store = iStack ? iStack->BlobStore().get() : nullptr;
    if (!store)
        return;
    if (const TBlobRef blob = store->ReadBlob(aBlobId))
        blob->IncRefCount();
}

bool CVexilCard::StoreValue(int32_t aControlId, const TValue& aVal)
{
    TValue old;
    if (StoredVal(aControlId, old))
    {
        const bool sameBlob = old.iType == EValBlobId && aVal.iType == EValBlobId && old.iInt == aVal.iInt;
        if (!sameBlob)
        {
            // The new reference first: releasing a sample releases its picture, which may be
            // the new value and must not be deleted on the way.
            if (aVal.iType == EValBlobId)
                AddBlobRef(aVal.iInt);
            if (old.iType == EValBlobId)
                ReleaseBlob(old.iInt);
        }
        iValues.Set(aControlId, aVal);
        return true;
    }
    if (aVal.iType == EValUndef)
        return false;
    iValues.Set(aControlId, aVal);
    if (aVal.iType == EValBlobId)
        AddBlobRef(aVal.iInt);
    return true;
}

void CVexilCard::Touch()
{
    iChanged = true;
    CVexilClock::Stamp(iModDate, iModTime);
    if (iStack)
        iStack->ChangeCard(*this);
}

void CVexilCard::SetControlVal(int32_t aControlId, const TValue& aVal)
{
    const TControlSetRef background = Background();
    CVexilError::CheckFailed(background != nullptr, this, kSetContext, QStringLiteral("Background def"));
    TControlRef control;
    const bool found = background && background->GetControl(aControlId, control);
    CVexilError::CheckFailed(found, this, kSetContext, QStringLiteral("Control found"));
    if (!found)
        return;  // nothing to store into
    if (aVal.iType != EValUndef)
        CVexilError::CheckFailed(aVal.iType == CVexilValue::ConToValType(control->ConType()), this, kSetContext,
                                 QStringLiteral("type"));
    // The order broadcast waits until every index holds the new value.
    CVexilStack::TOrderBroadcastHold hold(*iStack);
    const bool keyPart = control->DynFlag(EDynKeyPart);
    std::vector<CVexilStack::TCardKey> oldKeys;
    if (keyPart)
        oldKeys = iStack->KeysUsingControl(*this, aControlId);
    if (!StoreValue(aControlId, aVal))
        return;
    if (control->DynFlag(EDynRefControl))
        SetDirty(true);
    if (control->DynFlag(EDynSelControl) || control->DynFlag(EDynListCol))
        iStack->SetCardListsDirty(nullptr);
    if (keyPart)
        iStack->ReKey(*this, oldKeys);
    if (control->Flag(EConCardName))
    {
        const QString text = CVexilValue::ValToExtText(aVal, *control);
        if (text != iName)
            iStack->RenameCard(*this, text);
    }
    Touch();
    hold.Release();
}

void CVexilCard::DeleteControlVal(int32_t aControlId)
{
    TValue old;
    if (StoredVal(aControlId, old))
    {
        if (old.iType == EValBlobId)
            ReleaseBlob(old.iInt);
        iValues.Remove(aControlId);
    }
    Touch();
}

void CVexilCard::InitVal(const CVexilControl& aControl)
{
    const int32_t type = aControl.ConType();
    if (type == EConTypeList || type == EConTypeCommand || type == EConTypePicture)
        return;
    TValue value;
    if (!aControl.DefaultVal().isEmpty())
    {
        value = CVexilValue::IntTextToVal(aControl.DefaultVal(), aControl);
    }
    else
    {
        switch (type)
        {
        case EConTypeText:
        {
            TControlRef partner;
            const TControlSetRef background = Background();
            if (aControl.Flag(EConComboText) && background && background->GetControl(aControl.PartnerId(), partner))
            {
                TValue list;
                GetControlVal(partner->Id(), list, true);
                value = CVexilValue::StrToVal(list.iStr.section(CVexilGenDef::EolStr(), 0, 0));
            }
            break;
        }
        case EConTypeInteger: CVexilValue::SetZero(value, EValInt, 0, 0); break;
        case EConTypeReal: CVexilValue::SetZero(value, EValReal, 0, 0); break;
        case EConTypeDate:
        case EConTypeTime:
        {
            double date = 0;
            double time = 0;
            CVexilClock::Stamp(date, time);
            CVexilValue::SetZero(value, CVexilValue::ConToValType(type), date, time);
            break;
        }
        case EConTypeBoolean: CVexilValue::SetZero(value, EValBool, 0, 0); break;
        default: CVexilError::CheckFailed(false, this, QStringLiteral("InitVal"), QStringLiteral("conType"));
        }
    }
    if (value.iType != EValUndef)
        SetControlVal(aControl.Id(), value);
}

void CVexilCard::InitAllVal()
{
    const TControlSetRef background = Background();
    if (!background)
        return;
    TControlRef control;
    int32_t cursor = 0;
    for (bool more = background->GetFirstControl(control, cursor); more;
         more = background->GetNextControl(control, cursor))
        InitVal(*control);
}
