#include "model/VexilBlobStore.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace
{
#ifdef NDEBUG
bool gConsistencyChecks = false;
#else
bool gConsistencyChecks = true;
#endif

const QString kXmlName = QStringLiteral("BlobStore");

std::shared_ptr<CVexilArray> NewArray(int32_t aFlags, int32_t aElemType)
{
    auto array = std::make_shared<CVexilArray>();
    array->Construct(aFlags, aElemType);
    return array;
}

std::unique_ptr<CVexilFile> OpenedFile(const QString& aFileName, EFilAccess aAccess)
{
    auto file = std::make_unique<CVexilFile>();
    file->Construct(aFileName, aAccess);
    file->OpenFile();
    return file;
}

// What is wrong with an id index read from a file; empty when it can be taken.
QString IdIndexFault(const CVexilArray& aIdIndex)
{
    if (aIdIndex.Flags() != EArrIntKey || aIdIndex.ElemType() != EValInt)
        return QStringLiteral("id index flags");
    for (int32_t i = 0; i < aIdIndex.Count(); ++i)
    {
        const int32_t id = aIdIndex.IntKeyAt(i);
        if (id == UndefLong || (i > 0 && id <= aIdIndex.IntKeyAt(i - 1)))
            return QStringLiteral("id index key ") + QString::number(id);
    }
    return {};
}

// What is wrong with the tables of a binary file whose table record begins at aTablePos:
// the records lie between startPos and the table, ascend and do not overlap, and each
// belongs to exactly one blob.
QString TableFault(const CVexilArray& aIdIndex, const CVexilArray& aPosTab, int32_t aStartPos, int64_t aTablePos)
{
    QString fault = IdIndexFault(aIdIndex);
    if (!fault.isEmpty())
        return fault;
    if (aPosTab.Flags() != 0 || aPosTab.ElemType() != EValIntPair)
        return QStringLiteral("position table flags");
    if (aStartPos < 0 || aStartPos > aTablePos)
        return QStringLiteral("startPos ") + QString::number(aStartPos);
    int64_t end = aStartPos;
    for (int32_t i = 0; i < aPosTab.Count(); ++i)
    {
        const TValue& entry = aPosTab.ElemAt(i).iVal;
        if (entry.iInt0 < end || entry.iInt1 <= 0 || int64_t(entry.iInt0) + entry.iInt1 > aTablePos)
            return QStringLiteral("position table entry ") + QString::number(i);
        end = int64_t(entry.iInt0) + entry.iInt1;
    }
    if (aIdIndex.Count() != aPosTab.Count())
        return QStringLiteral("position table count");
    std::vector<bool> used(size_t(aPosTab.Count()), false);
    for (int32_t i = 0; i < aIdIndex.Count(); ++i)
    {
        const int32_t index = aIdIndex.IntValAt(i);
        if (index < 0 || index >= aPosTab.Count() || used[size_t(index)])
            return QStringLiteral("id index value ") + QString::number(index);
        used[size_t(index)] = true;
    }
    return {};
}

TBlobPlace PlaceOf(const CVexilArray& aPosTab, int32_t aIndex)
{
    const TValue& entry = aPosTab.ElemAt(aIndex).iVal;
    return {entry.iInt0, entry.iInt1};
}

// Reads the record at aPlace, which must be a picture record of blob aId exactly as long as
// aPlace; anything else is error 1006 naming aFile. Info-only, the byte count is checked
// without reading the bytes.
TBlobRef ReadRecord(CVexilFile& aFile, int32_t aId, const TBlobPlace& aPlace, bool aInfoOnly)
{
    const QString context = QStringLiteral("CVexilBlobStore.ReadBlob");
    const auto fault = [&](const char* aWhat) {
        return QStringLiteral("blob ") + QString::number(aId) + QStringLiteral(" record ") + QString::fromLatin1(aWhat);
    };
    aFile.SeekPos(aPlace.Offset);
    // The head is looked at first: a table entry that points at anything but a picture record
    // is a fault of this file, whatever generation the bytes there happen to hold.
    const int16_t typeId = aFile.ReadShort();
    const int16_t gen = aFile.ReadShort();
    const TObjGenerations gens = CVexilBinObj::Generations(EObjBlob);
    if (typeId != EObjBlob || gen < gens.Lowest || gen > gens.Highest)
        CVexilError::CheckStruct(false, &aFile, context, fault("head"));
    aFile.SeekPos(aPlace.Offset);
    auto blob = std::make_shared<CVexilBlob>();
    blob->SetInfoOnly(aInfoOnly);
    blob->Internalize(aFile);
    if (blob->Id() != aId)
        CVexilError::CheckStruct(false, &aFile, context, fault("id"));
    int64_t end = aFile.CurrentPos();
    if (aInfoOnly)
    {
        const int32_t count = aFile.ReadInt();
        end = count < 0 ? -1 : end + CVexilBinObj::ExtIntLen() + count;
    }
    if (end != int64_t(aPlace.Offset) + aPlace.Length)
        CVexilError::CheckStruct(false, &aFile, context, fault("length"));
    return blob;
}

// What is wrong with the id index and the cache of an XML file: each blob once, under its id.
QString CacheFault(const CVexilArray& aIdIndex, const CVexilArray& aCache)
{
    QString fault = IdIndexFault(aIdIndex);
    if (!fault.isEmpty())
        return fault;
    if (aCache.Flags() != EArrIntKey || aCache.ElemType() != EValBlob || aCache.Count() != aIdIndex.Count())
        return QStringLiteral("cache");
    for (int32_t i = 0; i < aCache.Count(); ++i)
    {
        const TArrayElem& elem = aCache.ElemAt(i);
        const auto* blob = dynamic_cast<const CVexilBlob*>(elem.iVal.iObj.get());
        if (elem.IntKey != aIdIndex.IntKeyAt(i) || !blob || blob->Id() != elem.IntKey)
            return QStringLiteral("cache blob ") + QString::number(elem.IntKey);
    }
    return {};
}
}  // namespace

CVexilBlobStore::CVexilBlobStore() : iIdIndex(NewIdIndex()), iPosTab(NewPosTab()), iCache(NewCache()) {}

CVexilBlobStore::~CVexilBlobStore() = default;

void CVexilBlobStore::SetConsistencyChecks(bool aOn)
{
    gConsistencyChecks = aOn;
}

bool CVexilBlobStore::ConsistencyChecks()
{
    return gConsistencyChecks;
}

std::shared_ptr<CVexilArray> CVexilBlobStore::NewIdIndex()
{
    return NewArray(EArrIntKey, EValInt);
}

std::shared_ptr<CVexilArray> CVexilBlobStore::NewPosTab()
{
    return NewArray(0, EValIntPair);
}

std::shared_ptr<CVexilArray> CVexilBlobStore::NewCache()
{
    return NewArray(EArrIntKey, EValBlob);
}

void CVexilBlobStore::Construct(int32_t aFlags)
{
    iIdIndex = NewIdIndex();
    iPosTab = NewPosTab();
    iCache = NewCache();
    iStartPos = UndefLong;
    iFlags = aFlags;
    iAge = 0;
    iMoved.clear();
    iBeforeCommit.reset();
    iChanged = true;
}

QString CVexilBlobStore::ObjDescr() const
{
    return QStringLiteral("CVexilBlobStore");
}

void CVexilBlobStore::SetFlag(int32_t aMask, bool aOn)
{
    if (aOn)
        iFlags |= aMask;
    else if (Flag(aMask))
        iFlags -= aMask;
    iChanged = true;
}

bool CVexilBlobStore::HasBlobsOnFile() const
{
    return iPosTab->Count() > 0;
}

int32_t CVexilBlobStore::BehindPos() const
{
    if (iPosTab->Count() == 0)
        return iStartPos;
    const TBlobPlace last = Entry(iPosTab->Count() - 1);
    return last.Offset + last.Length;
}

void CVexilBlobStore::SetFile(const QString& aFileName, EFilAccess aAccess)
{
    if (iFile && iFileName == aFileName && iAccess == aAccess)
        return;
    // The new file is open before the old one is let go, so a failure leaves the store as it was.
    auto file = OpenedFile(aFileName, aAccess);
    CloseFile();
    iFile = std::move(file);
    iFileName = aFileName;
    iAccess = aAccess;
}

void CVexilBlobStore::CloseFile()
{
    if (!iFile)
        return;
    const std::unique_ptr<CVexilFile> file = std::move(iFile);
    iFileName.clear();
    file->CloseFile();
}

bool CVexilBlobStore::Changed() const
{
    return iChanged || iIdIndex->Changed() || iPosTab->Changed() || (Flag(EBstRamBased) && iCache->Changed());
}

void CVexilBlobStore::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged)
        return;
    iIdIndex->SetChanged(false);
    iPosTab->SetChanged(false);
    iCache->SetChanged(false);
}

int32_t CVexilBlobStore::NumBlobs() const
{
    return iIdIndex->Count();
}

int32_t CVexilBlobStore::HighestId() const
{
    return iIdIndex->Count() == 0 ? UndefLong : iIdIndex->IntKeyAt(iIdIndex->Count() - 1);
}

bool CVexilBlobStore::HasBlob(int32_t aId) const
{
    int32_t index = 0;
    return TabIndex(aId, index);
}

bool CVexilBlobStore::GetPlace(int32_t aId, TBlobPlace& aPlace) const
{
    int32_t index = 0;
    if (!TabIndex(aId, index) || index == UndefLong)
        return false;
    aPlace = Entry(index);
    return true;
}

bool CVexilBlobStore::TabIndex(int32_t aId, int32_t& aIndex) const
{
    TArrayElem elem;
    int32_t cursor = 0;
    if (!iIdIndex->ReadByIntKey(aId, elem, cursor))
        return false;
    aIndex = elem.iVal.iInt;
    return true;
}

void CVexilBlobStore::SetTabIndex(int32_t aId, int32_t aIndex)
{
    TArrayElem elem;
    int32_t cursor = 0;
    const bool found = iIdIndex->ReadByIntKey(aId, elem, cursor);
    CVexilError::CheckFailed(found, this, QStringLiteral("SetTabIndex"), QStringLiteral("iFound"));
    if (!found)
        return;
    elem.iVal.iInt = aIndex;
    iIdIndex->WriteLastVal(cursor, elem.iVal);
}

TBlobPlace CVexilBlobStore::Entry(int32_t aIndex) const
{
    return PlaceOf(*iPosTab, aIndex);
}

void CVexilBlobStore::SetEntryLength(int32_t aIndex, int32_t aLength)
{
    TValue entry = iPosTab->ElemAt(aIndex).iVal;
    entry.iInt1 = aLength;
    iPosTab->WriteLastVal(aIndex + 1, entry);
}

void CVexilBlobStore::RemoveEntry(int32_t aIndex)
{
    iPosTab->DeleteAt(aIndex, 1);
    iIdIndex->AdjustInt(aIndex + 1, -1);
}

TBlobRef CVexilBlobStore::Cached(int32_t aId) const
{
    TArrayElem elem;
    int32_t cursor = 0;
    if (!iCache->ReadByIntKey(aId, elem, cursor))
        return {};
    return std::static_pointer_cast<CVexilBlob>(elem.iVal.iObj);
}

CVexilFile& CVexilBlobStore::RequireFile(const QString& aContext) const
{
    CVexilError::CheckFailed(iFile != nullptr, this, aContext, QStringLiteral("file"));
    if (!iFile)
        CVexilError::RaiseRunError(ERunInvalidCall, aContext);
    return *iFile;
}

TBlobRef CVexilBlobStore::ReadFromFile(CVexilFile& aFile, int32_t aId, int32_t aIndex, bool aInfoOnly) const
{
    return ReadRecord(aFile, aId, Entry(aIndex), aInfoOnly);
}

void CVexilBlobStore::CacheBlob(const TBlobRef& aBlob)
{
    if (Flag(EBstFileBased) && iCache->Count() >= KMaxCached)
        EvictFromRam();
    AddToCache(aBlob);
}

void CVexilBlobStore::AddToCache(const TBlobRef& aBlob)
{
    TArrayElem elem;
    iCache->InitElem(elem);
    elem.IntKey = aBlob->Id();
    elem.iVal.iObj = aBlob;
    iCache->CreateIntKey(elem);
    aBlob->IncDynRefCount();
    aBlob->SetAge(iAge);
    CVexilLib::IncLong(iAge);
}

bool CVexilBlobStore::Evictable(const CVexilBlob& aBlob) const
{
    // Only a copy of a record in the file may go: a blob that lives only in memory (new,
    // moved, or left by a failed save) would be lost.
    int32_t index = UndefLong;
    return !aBlob.Changed() && aBlob.DynRefCount() == 1 && TabIndex(aBlob.Id(), index) && index != UndefLong;
}

void CVexilBlobStore::EvictFromRam()
{
    while (iCache->Count() >= KMaxCached)
    {
        int32_t victim = -1;
        int32_t victimAge = 0;
        for (int32_t i = 0; i < iCache->Count(); ++i)
        {
            const auto* blob = static_cast<const CVexilBlob*>(iCache->ObjAt(i).get());
            if (Evictable(*blob) && (victim < 0 || blob->Age() < victimAge))
            {
                victim = i;
                victimAge = blob->Age();
            }
        }
        if (victim < 0)
            return;
        iCache->DeleteAt(victim, 1);
    }
}

void CVexilBlobStore::RestoreCacheRefs()
{
    for (int32_t i = 0; i < iCache->Count(); ++i)
        static_cast<CVexilBlob*>(iCache->ObjAt(i).get())->IncDynRefCount();
}

void CVexilBlobStore::AddBlob(const TBlobRef& aBlob)
{
    CVexilError::CheckFailed(!aBlob->OnFile(), this, QStringLiteral("AddBlob"), QStringLiteral("on file"));
    TArrayElem elem;
    iIdIndex->InitElem(elem);
    elem.IntKey = aBlob->Id();
    elem.iVal.iInt = UndefLong;
    iIdIndex->CreateIntKey(elem);
    CacheBlob(aBlob);
    iChanged = true;
    CheckConsistency();
}

TBlobRef CVexilBlobStore::ReadBlob(int32_t aId, bool aInfoOnly)
{
    const QString context = QStringLiteral("ReadBlob");
    int32_t index = UndefLong;
    const bool found = TabIndex(aId, index);
    CVexilError::CheckFailed(found, this, context, QStringLiteral("iFound"));
    if (!found)
        return {};
    TBlobRef blob = Cached(aId);
    if (!blob)
    {
        const bool inFile = Flag(EBstFileBased) && index != UndefLong;
        CVexilError::CheckFailed(inFile, this, context, QStringLiteral("in store"));
        CVexilError::CheckFailed(!iBeforeCommit, this, context, QStringLiteral("commit pending"));
        if (!inFile || iBeforeCommit)
            return {};
        blob = ReadFromFile(RequireFile(context), aId, index, aInfoOnly);
        if (!aInfoOnly)
            CacheBlob(blob);
    }
    CheckConsistency();
    return blob;
}

bool CVexilBlobStore::ReadFirstBlob(TBlobRef& aBlob, int32_t& aCursor)
{
    iIdIndex->SetFirst(aCursor);
    return ReadNextBlob(aBlob, aCursor);
}

bool CVexilBlobStore::ReadNextBlob(TBlobRef& aBlob, int32_t& aCursor)
{
    TArrayElem elem;
    if (!iIdIndex->ReadNext(elem, aCursor))
    {
        aBlob.reset();
        return false;
    }
    aBlob = ReadBlob(elem.IntKey);
    return true;
}

void CVexilBlobStore::DeleteBlob(int32_t aId)
{
    const QString context = QStringLiteral("DeleteBlob");
    const TBlobRef blob = ReadBlob(aId, true);
    if (!blob)
        return;
    const int32_t originalId = blob->OriginalId();
    int32_t index = UndefLong;
    const bool found = TabIndex(aId, index);
    CVexilError::CheckFailed(found, this, context, QStringLiteral("iFound"));
    if (!found)
        return;
    // The record stays in the file; its range becomes a gap for later placements.
    if (Flag(EBstFileBased) && index != UndefLong)
        RemoveEntry(index);
    if (Cached(aId))
    {
        CVexilError::CheckFailed(blob->RefCount() == 0, this, context, QStringLiteral("refCount"));
        CVexilError::CheckFailed(blob->DynRefCount() == 1, this, context, QStringLiteral("dynRefCount"));
        iCache->DeleteIntKey(aId);
    }
    iIdIndex->DeleteIntKey(aId);
    std::erase(iMoved, aId);
    iChanged = true;
    // A sample holds a reference to its picture. The id comes from a file: a picture that is
    // not there has nothing to release.
    if (originalId != UndefLong && HasBlob(originalId))
    {
        TBlobRef original = ReadBlob(originalId);
        if (original)
            DecRefCount(original);
    }
    CheckConsistency();
}

void CVexilBlobStore::DecRefCount(TBlobRef& aBlob)
{
    aBlob->DecRefCount();
    if (aBlob->RefCount() == 0 && aBlob->DynRefCount() == 1)
    {
        DeleteBlob(aBlob->Id());
        aBlob.reset();
    }
}

void CVexilBlobStore::DecDynRefCount(TBlobRef& aBlob)
{
    aBlob->DecDynRefCount();
    if (aBlob->RefCount() == 0 && aBlob->DynRefCount() == 1)
    {
        DeleteBlob(aBlob->Id());
        aBlob.reset();
    }
}

void CVexilBlobStore::SwitchToRamBased()
{
    const QString context = QStringLiteral("SwitchToRamBased");
    if (Flag(EBstRamBased))
        return;
    CVexilError::CheckFailed(!iBeforeCommit, this, context, QStringLiteral("commit pending"));
    // Every record is read before anything changes, so a failed read leaves the store as it was.
    std::vector<TBlobRef> read;
    TArrayElem elem;
    for (int32_t cursor = 0; iIdIndex->ReadNext(elem, cursor);)
    {
        if (elem.iVal.iInt != UndefLong && !Cached(elem.IntKey))
            read.push_back(ReadFromFile(RequireFile(context), elem.IntKey, elem.iVal.iInt, false));
    }
    SetFlag(EBstFileBased, false);
    SetFlag(EBstRamBased, true);
    for (const TBlobRef& blob : read)
        AddToCache(blob);
    for (int32_t i = 0; i < iCache->Count(); ++i)
        static_cast<CVexilBlob*>(iCache->ObjAt(i).get())->SetOnFile(false);
    for (int32_t cursor = 0; iIdIndex->ReadNext(elem, cursor);)
    {
        elem.iVal.iInt = UndefLong;
        iIdIndex->WriteLastVal(cursor, elem.iVal);
    }
    // Nothing is placed any more: the table starts anew, so the XML form does not carry the
    // figures of the file it was read from, just as one read from XML does not.
    iPosTab = NewPosTab();
    iMoved.clear();
    iChanged = true;
}

void CVexilBlobStore::SwitchToFileBased()
{
    SetFlag(EBstRamBased, false);
    SetFlag(EBstFileBased, true);
}

void CVexilBlobStore::SetNewStartPos(int32_t aPos)
{
    const QString context = QStringLiteral("SetNewStartPos");
    CVexilError::CheckFailed(Flag(EBstFileBased), this, context, QStringLiteral("file based"));
    CVexilError::CheckFailed(!iBeforeCommit, this, context, QStringLiteral("commit pending"));
    int32_t k = 0;
    while (k < iPosTab->Count() && Entry(k).Offset < aPos)
        ++k;
    if (k > 0)
    {
        // Read every record that must move before anything is written over it.
        std::vector<std::pair<TBlobRef, bool>> moving;
        TArrayElem elem;
        for (int32_t cursor = 0; iIdIndex->ReadNext(elem, cursor);)
        {
            if (elem.iVal.iInt == UndefLong || elem.iVal.iInt >= k)
                continue;
            TBlobRef blob = Cached(elem.IntKey);
            const bool cached = blob != nullptr;
            if (!cached)
                blob = ReadFromFile(RequireFile(context), elem.IntKey, elem.iVal.iInt, false);
            moving.emplace_back(std::move(blob), cached);
        }
        // They live in memory until the next commit places them behind the new start. All
        // leave the file before any is cached, so caching one cannot evict another.
        for (const auto& [blob, cached] : moving)
            SetTabIndex(blob->Id(), UndefLong);
        for (const auto& [blob, cached] : moving)
        {
            if (!cached)
                CacheBlob(blob);
            iMoved.push_back(blob->Id());
        }
        std::sort(iMoved.begin(), iMoved.end());
        iMoved.erase(std::unique(iMoved.begin(), iMoved.end()), iMoved.end());
        iPosTab->DeleteAt(0, k);
        iIdIndex->AdjustInt(k, -k);
    }
    iStartPos = aPos;
    iChanged = true;
    CheckConsistency();
}

void CVexilBlobStore::FindSpace(CVexilBlob& aBlob, int32_t aMinPos, int32_t aStartIndex, int32_t& aIndex,
                                TBlobPlace& aEntry)
{
    const int64_t len = aBlob.ExtLen();
    int64_t candidate = aMinPos;
    int32_t index = aStartIndex;
    for (; index < iPosTab->Count(); ++index)
    {
        const TBlobPlace entry = Entry(index);
        if (candidate + len <= entry.Offset)
            break;
        candidate = std::max(candidate, int64_t(entry.Offset) + entry.Length);
    }
    if (candidate + len > std::numeric_limits<int32_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, ObjDescr());
    aEntry = {int32_t(candidate), int32_t(len)};
    TArrayElem elem;
    iPosTab->InitElem(elem);
    elem.iVal.iInt0 = aEntry.Offset;
    elem.iVal.iInt1 = aEntry.Length;
    iPosTab->CreateAt(elem, index);
    iIdIndex->AdjustInt(index, 1);
    aIndex = index;
}

void CVexilBlobStore::Place(CVexilBlob& aBlob, CVexilFile& aTarget)
{
    int32_t index = 0;
    TBlobPlace entry;
    FindSpace(aBlob, iStartPos, 0, index, entry);
    try
    {
        aTarget.SeekPos(entry.Offset);
        aBlob.Externalize(aTarget);
    }
    catch (...)
    {
        // The blob stays in memory only, as before.
        RemoveEntry(index);
        throw;
    }
    SetTabIndex(aBlob.Id(), index);
    iChanged = true;
}

void CVexilBlobStore::Rewrite(CVexilBlob& aBlob, int32_t aIndex, CVexilFile& aTarget)
{
    const TBlobPlace entry = Entry(aIndex);
    const int32_t len = aBlob.ExtLen();
    if (len <= entry.Length)
    {
        aTarget.SeekPos(entry.Offset);
        aBlob.Externalize(aTarget);
        SetEntryLength(aIndex, len);
        return;
    }
    // A record that grew gives up its slot and is placed anew.
    RemoveEntry(aIndex);
    SetTabIndex(aBlob.Id(), UndefLong);
    Place(aBlob, aTarget);
}

void CVexilBlobStore::CopyRecord(int32_t aId, int32_t aIndex, CVexilFile& aTarget)
{
    const TBlobPlace entry = Entry(aIndex);
    CVexilFile& source = RequireFile(QStringLiteral("CommitTo"));
    // Copied unread, a record that is not what the table says would be kept in its damage.
    ReadRecord(source, aId, entry, true);
    source.SeekPos(entry.Offset);
    const QByteArray record = source.ReadRawBytes(entry.Length);
    aTarget.SeekPos(entry.Offset);
    aTarget.WriteRawBytes(record);
}

void CVexilBlobStore::WriteArea(CVexilFile& aTarget, bool aCopyUnchanged)
{
    const QString context = QStringLiteral("Commit");
    // Records moved out of the way by SetNewStartPos go first, in id order.
    const std::vector<int32_t> moved = std::exchange(iMoved, {});
    for (const int32_t id : moved)
    {
        const TBlobRef blob = Cached(id);
        CVexilError::CheckFailed(blob != nullptr, this, context, QStringLiteral("iBlob iFound"));
        if (blob)
            Place(*blob, aTarget);
    }
    TArrayElem elem;
    for (int32_t cursor = 0; iIdIndex->ReadNext(elem, cursor);)
    {
        const int32_t id = elem.IntKey;
        if (std::binary_search(moved.begin(), moved.end(), id))
            continue;
        const TBlobRef blob = Cached(id);
        if (elem.iVal.iInt == UndefLong)
        {
            CVexilError::CheckFailed(blob != nullptr, this, context, QStringLiteral("iBlob iFound"));
            if (blob)
                Place(*blob, aTarget);
        }
        else if (blob && blob->Changed())
        {
            Rewrite(*blob, elem.iVal.iInt, aTarget);
        }
        else if (aCopyUnchanged)
        {
            CopyRecord(id, elem.iVal.iInt, aTarget);
        }
    }
}

void CVexilBlobStore::Commit()
{
    if (!Flag(EBstFileBased))
        return;
    CVexilError::CheckFailed(!iBeforeCommit, this, QStringLiteral("Commit"), QStringLiteral("commit pending"));
    WriteArea(RequireFile(QStringLiteral("Commit")), false);
    CheckConsistency();
}

void CVexilBlobStore::CommitTo(CVexilFile& aTarget)
{
    if (!Flag(EBstFileBased))
        return;
    CVexilError::CheckFailed(!iBeforeCommit, this, QStringLiteral("CommitTo"), QStringLiteral("commit pending"));
    TTables before{std::make_shared<CVexilArray>(*iIdIndex), std::make_shared<CVexilArray>(*iPosTab), iMoved,
                   iChanged};
    try
    {
        WriteArea(aTarget, true);
        CheckFile(aTarget);
    }
    catch (...)
    {
        iIdIndex = std::move(before.IdIndex);
        iPosTab = std::move(before.PosTab);
        iMoved = std::move(before.Moved);
        iChanged = before.Changed;
        throw;
    }
    iBeforeCommit = std::move(before);
}

void CVexilBlobStore::AcceptCommit(const QString& aFileName, EFilAccess aAccess)
{
    CVexilError::CheckFailed(iBeforeCommit.has_value(), this, QStringLiteral("AcceptCommit"),
                             QStringLiteral("pending"));
    // The old file was only read; closing it cannot lose anything.
    iFile = OpenedFile(aFileName, aAccess);
    iFileName = aFileName;
    iAccess = aAccess;
    iBeforeCommit.reset();
    CheckConsistency();
}

void CVexilBlobStore::CancelCommit()
{
    if (!iBeforeCommit)
        return;
    iIdIndex = std::move(iBeforeCommit->IdIndex);
    iPosTab = std::move(iBeforeCommit->PosTab);
    iMoved = std::move(iBeforeCommit->Moved);
    iChanged = iBeforeCommit->Changed;
    iBeforeCommit.reset();
}

void CVexilBlobStore::CheckConsistency() const
{
    if (gConsistencyChecks && iFile && !iBeforeCommit)
        CheckFile(*iFile);
}

void CVexilBlobStore::CheckFile(CVexilFile& aFile) const
{
    if (!gConsistencyChecks)
        return;
    TArrayElem elem;
    for (int32_t cursor = 0; iIdIndex->ReadNext(elem, cursor);)
    {
        if (elem.iVal.iInt != UndefLong)
            ReadFromFile(aFile, elem.IntKey, elem.iVal.iInt, false);
    }
}

int32_t CVexilBlobStore::ExtLen()
{
    return CVexilBinObj::ExtBinObjStartLen() + 2 * CVexilBinObj::ExtIntLen() + iIdIndex->ExtLen() + iPosTab->ExtLen();
}

void CVexilBlobStore::Externalize(CVexilFile& aFile)
{
    const QString context = QStringLiteral("Externalize");
    CVexilError::CheckFailed(Flag(EBstFileBased), this, context, QStringLiteral("EBstFileBased"));
    // A table naming a blob that is not in the file could not be read back.
    CVexilError::CheckFailed(iIdIndex->Count() == iPosTab->Count(), this, context, QStringLiteral("committed"));
    CVexilBinObj::WriteBinObjStart(aFile, EObjBlobStore);
    aFile.WriteInt(iStartPos);
    aFile.WriteInt(iFlags);
    iIdIndex->Externalize(aFile);
    iPosTab->Externalize(aFile);
}

void CVexilBlobStore::Internalize(CVexilFile& aFile)
{
    const QString context = QStringLiteral("CVexilBlobStore.Internalize");
    const int64_t tablePos = aFile.CurrentPos();
    CVexilBinObj::ReadBinObjStart(aFile, EObjBlobStore);
    const int32_t startPos = aFile.ReadInt();
    aFile.ReadInt();  // the flags: a store read from the binary form is file-based
    auto idIndex = std::make_shared<CVexilArray>();
    idIndex->Internalize(aFile);
    auto posTab = std::make_shared<CVexilArray>();
    posTab->Internalize(aFile);
    const QString fault = TableFault(*idIndex, *posTab, startPos, tablePos);
    CVexilError::CheckStruct(fault.isEmpty(), &aFile, context, fault);
    // Pictures are read only when needed: a damaged record must fail the load, not a later save.
    const int64_t tableEnd = aFile.CurrentPos();
    TArrayElem elem;
    for (int32_t cursor = 0; idIndex->ReadNext(elem, cursor);)
        ReadRecord(aFile, elem.IntKey, PlaceOf(*posTab, elem.iVal.iInt), true);
    aFile.SeekPos(tableEnd);
    iStartPos = startPos;
    iFlags = EBstFileBased;
    iIdIndex = std::move(idIndex);
    iPosTab = std::move(posTab);
    iCache = NewCache();
    iMoved.clear();
    iBeforeCommit.reset();
    SetChanged(false);
    CheckConsistency();
}

bool CVexilBlobStore::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilBlobStore::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    CVexilError::CheckFailed(Flag(EBstRamBased), this, QStringLiteral("ExternalizeXml"),
                             QStringLiteral("EBstRamBased"));
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjBlobStore).Written);
    aWriter.AddIntAttr(QStringLiteral("startPos"), iStartPos);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.BeginStruct();
    iIdIndex->ExternalizeXml(aWriter);
    iPosTab->ExternalizeXml(aWriter);
    iCache->ExternalizeXml(aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilBlobStore::InternalizeXml(CVexilXmlParser& aParser)
{
    const QString context = QStringLiteral("CVexilBlobStore.InternalizeXml");
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, context, QStringLiteral("InternalizeXml term"));
    int16_t gen = aParser.ShortAttr(QStringLiteral("gen"));
    if (gen == 3)  // written so by early versions
        gen = 0;
    CheckXml(aParser, gen == CVexilBinObj::Generations(EObjBlobStore).Written, context, QStringLiteral("gen"));
    const int32_t startPos = aParser.IntAttr(QStringLiteral("startPos"));
    auto idIndex = std::make_shared<CVexilArray>();
    ReadXmlChild(aParser, *idIndex, context, QStringLiteral("InternalizeXml iIdIndex"));
    // Every blob is inline: whatever position table was stored describes no file of ours.
    CVexilArray posTab;
    ReadXmlChild(aParser, posTab, context, QStringLiteral("InternalizeXml iPosTab"));
    auto cache = std::make_shared<CVexilArray>();
    ReadXmlChild(aParser, *cache, context, QStringLiteral("InternalizeXml iBlob"));
    aParser.ReadTheNext(kXmlName, true);
    const QString fault = CacheFault(*idIndex, *cache);
    CheckXml(aParser, fault.isEmpty(), context, fault);
    TArrayElem elem;
    for (int32_t cursor = 0; idIndex->ReadNext(elem, cursor);)
    {
        elem.iVal.iInt = UndefLong;
        idIndex->WriteLastVal(cursor, elem.iVal);
    }
    iStartPos = startPos;
    iFlags = EBstRamBased;
    iIdIndex = std::move(idIndex);
    iPosTab = NewPosTab();
    iCache = std::move(cache);
    iMoved.clear();
    iBeforeCommit.reset();
    RestoreCacheRefs();
    SetChanged(false);
}
