#include "model/VexilControlSet.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilStack.h"

#include <limits>

namespace
{
const QString kXmlName = QStringLiteral("ControlSet");
const QString kXmlContext = QStringLiteral("CVexilControlSet.InternalizeXml");
const QString kReadContext = QStringLiteral("CVexilControlSet.Internalize");

const struct TRegisterControlSet
{
    TRegisterControlSet()
    {
        CVexilObjFactory::Register(EValControlSet, [] { return std::make_shared<CVexilControlSet>(); });
    }
} kRegisterControlSet;
}  // namespace

CVexilControlSet::CVexilControlSet()
{
    NewArrays();
}

CVexilControlSet::~CVexilControlSet() = default;

void CVexilControlSet::NewArrays()
{
    iControls = std::make_shared<CVexilArray>();
    iControls->Construct(0, EValControl);
    iIdIndex = std::make_shared<CVexilArray>();
    iIdIndex->Construct(EArrIntKey, EValInt);
}

void CVexilControlSet::Construct(const QString& aName, int32_t aId)
{
    iName = aName;
    iDescr.clear();
    iId = aId;
    NewArrays();
    iFlags = KDefaultFlags;
    iKeyIndexId = UndefLong;
    iKeyIndex.reset();
    iWallPaperId = UndefLong;
    iBackColor = UndefLong;
    iScriptSource.clear();
    iScript.reset();
    iFont.reset();
    iChanged = true;
}

QString CVexilControlSet::ObjDescr() const
{
    return QStringLiteral("CVexilControlSet name=") + iName;
}

void CVexilControlSet::SetName(const QString& aName)
{
    iName = aName;
    iChanged = true;
}

void CVexilControlSet::SetDescr(const QString& aDescr)
{
    iDescr = aDescr;
    iChanged = true;
}

int16_t CVexilControlSet::NumControls() const
{
    if (iControls->Count() > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilControlSet.NumControls"));
    return int16_t(iControls->Count());
}

int32_t CVexilControlSet::ControlCount() const
{
    return iControls->Count();
}

void CVexilControlSet::SetFlag(int32_t aMask, bool aOn)
{
    if (aOn)
        iFlags |= aMask;
    else if (Flag(aMask))
        iFlags &= ~aMask;
    iChanged = true;
}

void CVexilControlSet::SetKeyIndexId(int32_t aId)
{
    iKeyIndexId = aId;
    iKeyIndex.reset();
}

std::shared_ptr<CVexilArray> CVexilControlSet::KeyIndex()
{
    CVexilError::CheckFailed(Flag(ECseKeepCardsSorted), this, QStringLiteral("GetKeyIndex"),
                             QStringLiteral("ECseKeepCardsSorted"));
    if (!iKeyIndex)
    {
        CVexilError::CheckFailed(iKeyIndexId != UndefLong, this, QStringLiteral("GetKeyIndex"),
                                 QStringLiteral("id set"));
        CVexilError::CheckFailed(iStack != nullptr, this, QStringLiteral("GetKeyIndex"), QStringLiteral("stack set"));
        if (iStack != nullptr)
            iKeyIndex = iStack->KeyIndex(iKeyIndexId);
    }
    return iKeyIndex;
}

void CVexilControlSet::SetWallPaperId(int32_t aId)
{
    iWallPaperId = aId;
    iChanged = true;
}

void CVexilControlSet::SetBackColor(int32_t aColor)
{
    iBackColor = aColor;
    iChanged = true;
}

void CVexilControlSet::SetScriptSource(const QString& aSource)
{
    iScriptSource = aSource;
    iChanged = true;
}

void CVexilControlSet::SetScript(std::shared_ptr<CVexilArray> aScript)
{
    iScript = std::move(aScript);
    iChanged = true;
}

void CVexilControlSet::SetFont(std::shared_ptr<CVexilFont> aFont)
{
    iFont = std::move(aFont);
    iChanged = true;
}

bool CVexilControlSet::Changed() const
{
    return iChanged || iControls->Changed() || CVexilObjHead::IsChanged(iScript.get()) ||
           CVexilObjHead::IsChanged(iFont.get());
}

void CVexilControlSet::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged)
        return;
    iControls->SetChanged(false);
    if (iScript)
        iScript->SetChanged(false);
    if (iFont)
        iFont->SetChanged(false);
}

TControlRef CVexilControlSet::ControlAt(int32_t aPos) const
{
    return std::static_pointer_cast<CVexilControl>(iControls->ObjAt(aPos));
}

bool CVexilControlSet::GetFirstControl(TControlRef& aControl, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextControl(aControl, aCursor);
}

bool CVexilControlSet::GetNextControl(TControlRef& aControl, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= iControls->Count())
        return false;
    aControl = ControlAt(aCursor);
    ++aCursor;
    return true;
}

bool CVexilControlSet::GetControl(int32_t aId, TControlRef& aControl) const
{
    TArrayElem elem;
    int32_t cursor = 0;
    if (!iIdIndex->ReadByIntKey(aId, elem, cursor))
        return false;
    aControl = ControlAt(elem.iVal.iInt);
    CVexilError::CheckFailed(aControl->Id() == aId, this, QStringLiteral("GetControl"),
                             QStringLiteral("GetControl GetId"));
    return true;
}

bool CVexilControlSet::GetControlByName(const QString& aName, TControlRef& aControl) const
{
    int32_t cursor = 0;
    for (bool found = GetFirstControl(aControl, cursor); found; found = GetNextControl(aControl, cursor))
        if (aControl->Name() == aName)
            return true;
    return false;
}

bool CVexilControlSet::GetControlByFlag(int32_t aMask, TControlRef& aControl) const
{
    int32_t cursor = 0;
    for (bool found = GetFirstControl(aControl, cursor); found; found = GetNextControl(aControl, cursor))
        if (aControl->Flag(aMask))
            return true;
    return false;
}

bool CVexilControlSet::GetControlByNum(int32_t aNum, TControlRef& aControl) const
{
    if (aNum < 0 || aNum >= iControls->Count())
        return false;
    aControl = ControlAt(aNum);
    return true;
}

bool CVexilControlSet::WithCardList() const
{
    // Asked on every card added, renamed or deleted: looked at in place, without taking a reference.
    for (int32_t pos = 0; pos < iControls->Count(); ++pos)
        if (static_cast<const CVexilControl*>(iControls->ObjAt(pos).get())->Flag(EConCardList))
            return true;
    return false;
}

void CVexilControlSet::AddControl(const TControlRef& aControl, int32_t aBeforeId)
{
    TControlRef existing;
    if (GetControl(aControl->Id(), existing))
    {
        CVexilError::CheckFailed(false, this, QStringLiteral("AddControl"), QStringLiteral("AddControl unique id"));
        return;  // a second field of the same id would break the index
    }
    TArrayElem control;
    iControls->InitElem(control);
    control.iVal.iObj = aControl;
    int32_t pos = iControls->Count();
    if (aBeforeId != UndefLong)
    {
        TArrayElem before;
        int32_t cursor = 0;
        const bool found = iIdIndex->ReadByIntKey(aBeforeId, before, cursor);
        CVexilError::CheckFailed(found, this, QStringLiteral("AddControl"),
                                 QStringLiteral("AddControl beforeId found, ") + QString::number(aBeforeId));
        if (found)
            pos = before.iVal.iInt;
    }
    iControls->CreateAt(control, pos);
    iIdIndex->AdjustInt(pos, 1);
    TArrayElem entry;
    iIdIndex->InitElem(entry);
    entry.IntKey = aControl->Id();
    entry.iVal.iInt = pos;
    iIdIndex->CreateIntKey(entry);
    iChanged = true;
}

void CVexilControlSet::DeleteControl(int32_t aId)
{
    TArrayElem entry;
    int32_t cursor = 0;
    const bool found = iIdIndex->ReadByIntKey(aId, entry, cursor);
    CVexilError::CheckFailed(found, this, QStringLiteral("DeleteControl"), QStringLiteral("DeleteControl found"));
    if (!found)
        return;
    const int32_t pos = entry.iVal.iInt;
    iIdIndex->DeleteIntKey(aId);
    iIdIndex->AdjustInt(pos + 1, -1);
    iControls->DeleteAt(pos, 1);
    iChanged = true;
}

void CVexilControlSet::CheckRead(const CVexilObject& aSource, const QString& aContext) const
{
    const auto fail = [&](const QString& aDetail) { CVexilError::CheckStruct(false, &aSource, aContext, aDetail); };
    if (iControls->WithKey() || iControls->ElemType() != EValControl)
        fail(QStringLiteral("controls"));
    if (iIdIndex->Flags() != EArrIntKey || iIdIndex->ElemType() != EValInt || iIdIndex->Count() != iControls->Count())
        fail(QStringLiteral("id index"));
    for (int32_t i = 0; i < iControls->Count(); ++i)
        if (!std::dynamic_pointer_cast<CVexilControl>(iControls->ObjAt(i)))
            fail(QStringLiteral("control ") + QString::number(i));
    // Ascending keys, each naming the field at its position: one entry per field.
    for (int32_t i = 0; i < iIdIndex->Count(); ++i)
    {
        const TArrayElem& entry = iIdIndex->ElemAt(i);
        const int32_t pos = entry.iVal.iInt;
        const bool ascending = i == 0 || iIdIndex->IntKeyAt(i - 1) < entry.IntKey;
        if (!ascending || pos < 0 || pos >= iControls->Count() || ControlAt(pos)->Id() != entry.IntKey)
            fail(QStringLiteral("id index ") + QString::number(entry.IntKey));
    }
}

void CVexilControlSet::FinishRead(const CVexilObject& aSource, const QString& aContext)
{
    CheckRead(aSource, aContext);
    iKeyIndex.reset();
    SetChanged(false);
}

int32_t CVexilControlSet::ExtLen()
{
    return CVexilObjHead::ExtLenBaseObj(*this) + CVexilFile::ExtStrLen(iDescr) + CVexilBinObj::ExtIntLen() +
           iControls->ExtLen() + iIdIndex->ExtLen() + CVexilBinObj::ExtIntLen();
}

void CVexilControlSet::Externalize(CVexilFile& aFile)
{
    CVexilObjHead::ExternalizeBaseObj(*this, aFile, EObjControlSet);
    aFile.WriteStr(iDescr);
    aFile.WriteInt(iWallPaperId);
    iControls->Externalize(aFile);
    iIdIndex->Externalize(aFile);
    aFile.WriteInt(iKeyIndexId);
}

void CVexilControlSet::Internalize(CVexilFile& aFile)
{
    CVexilObjHead::InternalizeBaseObj(*this, aFile, EObjControlSet);
    iDescr = aFile.ReadStr();
    iWallPaperId = aFile.ReadInt();
    NewArrays();
    iControls->Internalize(aFile);
    iIdIndex->Internalize(aFile);
    iKeyIndexId = aFile.ReadInt();
    FinishRead(aFile, kReadContext);
}

bool CVexilControlSet::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilControlSet::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjControlSet).Written);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddAttr(QStringLiteral("descr"), iDescr);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.AddIntAttr(QStringLiteral("wallPaperId"), iWallPaperId);
    aWriter.AddIntAttr(QStringLiteral("backColor"), iBackColor);
    aWriter.AddIntAttr(QStringLiteral("keyIndexId"), iKeyIndexId);
    CVexilObjHead::AddHeadAttrs(*this, aWriter);
    aWriter.BeginStruct();
    iControls->ExternalizeXml(aWriter);
    iIdIndex->ExternalizeXml(aWriter);
    CVexilObjHead::ExternalizeHeadXml(*this, aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilControlSet::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("InternalizeXml term"));
    CheckXml(aParser, aParser.ShortAttr(QStringLiteral("gen")) == CVexilBinObj::Generations(EObjControlSet).Written,
             kXmlContext, QStringLiteral("InternalizeXml gen"));
    iName = aParser.Attr(QStringLiteral("name"));
    iDescr = aParser.Attr(QStringLiteral("descr"));
    iId = aParser.IntAttr(QStringLiteral("id"));
    iFlags = aParser.IntAttr(QStringLiteral("flags"));
    iWallPaperId = aParser.IntAttr(QStringLiteral("wallPaperId"));
    iBackColor = aParser.IntAttr(QStringLiteral("backColor"));
    iKeyIndexId = aParser.IntAttr(QStringLiteral("keyIndexId"));
    const TXmlHeadAttrs head = CVexilObjHead::ReadHeadAttrs(aParser);
    NewArrays();
    ReadXmlChild(aParser, *iControls, kXmlContext, QStringLiteral("InternalizeXml iSet"));
    ReadXmlChild(aParser, *iIdIndex, kXmlContext, QStringLiteral("InternalizeXml iIdIndex"));
    CVexilObjHead::InternalizeHeadXml(*this, aParser, head);
    aParser.ReadTheNext(kXmlName, true);
    FinishRead(aParser, kXmlContext);
}
