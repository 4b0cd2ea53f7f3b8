#pragma once

#include "foundation/VexilFile.h"
#include "foundation/VexilStoredObj.h"
#include "model/VexilBlob.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CVexilArray;

// The modes of a blob store (Flags).
enum EBstFlags : int32_t
{
    EBstFileBased = 1,  // records lie in the stack file, read on demand, at most 8 cached
    EBstRamBased = 2,   // every blob is in memory
};

// The place of one record in the stack file.
struct TBlobPlace
{
    int32_t Offset = 0;
    int32_t Length = 0;
};

// The pictures of one stack. File-based, the blob records lie in the stack file between the
// stack record and the store's table: an id index (blob id -> position-table index, UndefLong
// for a blob not yet in the file) and a position table (offset and length, ascending, no
// overlaps). At most eight blobs are cached unless more are pinned: changed, shown, or not yet
// in the file. RAM-based, every blob is in the cache. The stack file code drives the modes,
// the commit and the table.
//
// A save that writes a complete new file uses CommitTo on that file; the store keeps reading
// the old file until AcceptCommit switches it to the new one, or CancelCommit restores it.
class CVexilBlobStore : public CVexilStoredObj
{
public:
    static constexpr int32_t KMaxCached = 8;

    CVexilBlobStore();
    ~CVexilBlobStore() override;

    // Whether the store re-reads every record in the file to check it after each change (slow
    // with many pictures): on in debug builds, and tests turn it on.
    static void SetConsistencyChecks(bool aOn);
    static bool ConsistencyChecks();

    void Construct(int32_t aFlags);
    QString ObjDescr() const override;

    int32_t Flags() const { return iFlags; }
    bool Flag(int32_t aMask) const { return (iFlags & aMask) != 0; }
    void SetFlag(int32_t aMask, bool aOn);
    int32_t StartPos() const { return iStartPos; }
    // The open stack file, or none.
    CVexilFile* File() const { return iFile.get(); }
    bool HasBlobsOnFile() const;
    // Just behind the last record in the file; startPos without records.
    int32_t BehindPos() const;

    // Opens the stack file for the store's reads (and, with EFilReadWrite, an in-place Commit).
    // Nothing when that file is open already; another open file is closed first.
    void SetFile(const QString& aFileName, EFilAccess aAccess = EFilReadWrite);
    void CloseFile();

    bool Changed() const override;
    void SetChanged(bool aChanged) override;

    int32_t NumBlobs() const;
    // The highest blob id; UndefLong without blobs.
    int32_t HighestId() const;
    bool HasBlob(int32_t aId) const;
    // The record's place in the file; false for a blob that is not in the file.
    bool GetPlace(int32_t aId, TBlobPlace& aPlace) const;

    void AddBlob(const TBlobRef& aBlob);
    // A blob that is not cached is read from the file; info-only it is neither read with its
    // bytes nor cached. An unknown id fails the assertion and gives none.
    TBlobRef ReadBlob(int32_t aId, bool aInfoOnly = false);
    // Walk all blobs in id order, each read fully; false past the last one.
    bool ReadFirstBlob(TBlobRef& aBlob, int32_t& aCursor);
    bool ReadNextBlob(TBlobRef& aBlob, int32_t& aCursor);
    void DeleteBlob(int32_t aId);
    // Lower the blob's count; a blob then held by nobody but the cache is deleted and aBlob
    // becomes none.
    void DecRefCount(TBlobRef& aBlob);
    void DecDynRefCount(TBlobRef& aBlob);

    void SwitchToRamBased();
    void SwitchToFileBased();
    // The records below aPos make room for a grown stack record: they are read into memory
    // now and placed anew by the next commit.
    void SetNewStartPos(int32_t aPos);
    // Writes new and changed records into the open file, in place; unchanged ones stay.
    void Commit();
    // Writes the picture area into aTarget, a new file opened for reading and writing:
    // unchanged records are copied to their offsets once each is checked to be the record its
    // entry describes (error 1006 otherwise), the others placed as Commit places them.
    // Afterwards the store describes aTarget; it reads nothing until AcceptCommit or
    // CancelCommit. On failure the store is as it was.
    void CommitTo(CVexilFile& aTarget);
    // The new file is complete under aFileName: read from it from now on.
    void AcceptCommit(const QString& aFileName, EFilAccess aAccess = EFilReadWrite);
    // The new file was not kept: describe the open file again.
    void CancelCommit();

    // The table record: written file-based only; read with every entry checked against the
    // file (error 1006): each names a picture record of its blob, as long as the entry says,
    // between startPos and the table. The cache is not stored.
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    // The element with every blob inline; written RAM-based only. A store read from it is
    // RAM-based whatever its stored flags say.
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    // What CommitTo changes, kept to restore it.
    struct TTables
    {
        std::shared_ptr<CVexilArray> IdIndex;
        std::shared_ptr<CVexilArray> PosTab;
        std::vector<int32_t> Moved;
        bool Changed = false;
    };

    static std::shared_ptr<CVexilArray> NewIdIndex();
    static std::shared_ptr<CVexilArray> NewPosTab();
    static std::shared_ptr<CVexilArray> NewCache();

    // The position-table index of a blob (UndefLong when not in the file); false when unknown.
    bool TabIndex(int32_t aId, int32_t& aIndex) const;
    void SetTabIndex(int32_t aId, int32_t aIndex);
    TBlobPlace Entry(int32_t aIndex) const;
    void SetEntryLength(int32_t aIndex, int32_t aLength);
    void RemoveEntry(int32_t aIndex);
    TBlobRef Cached(int32_t aId) const;

    TBlobRef ReadFromFile(CVexilFile& aFile, int32_t aId, int32_t aIndex, bool aInfoOnly) const;
    // The open file; an internal fault without one.
    CVexilFile& RequireFile(const QString& aContext) const;
    void CacheBlob(const TBlobRef& aBlob);
    void AddToCache(const TBlobRef& aBlob);
    void EvictFromRam();
    bool Evictable(const CVexilBlob& aBlob) const;
    void RestoreCacheRefs();

    void FindSpace(CVexilBlob& aBlob, int32_t aMinPos, int32_t aStartIndex, int32_t& aIndex, TBlobPlace& aEntry);
    void Place(CVexilBlob& aBlob, CVexilFile& aTarget);
    void Rewrite(CVexilBlob& aBlob, int32_t aIndex, CVexilFile& aTarget);
    void CopyRecord(int32_t aId, int32_t aIndex, CVexilFile& aTarget);
    void WriteArea(CVexilFile& aTarget, bool aCopyUnchanged);

    void CheckConsistency() const;
    void CheckFile(CVexilFile& aFile) const;

    int32_t iStartPos = UndefLong;
    std::shared_ptr<CVexilArray> iIdIndex;
    std::shared_ptr<CVexilArray> iPosTab;
    std::shared_ptr<CVexilArray> iCache;
    std::unique_ptr<CVexilFile> iFile;
    QString iFileName;
    EFilAccess iAccess = EFilReadWrite;
    int32_t iFlags = 0;
    int32_t iAge = 0;
    bool iChanged = false;
    // Blobs taken out of the file by SetNewStartPos, in id order: the next commit places
    // them before the new ones.
    std::vector<int32_t> iMoved;
    // The tables as they were before CommitTo, until the new file is accepted or cancelled.
    std::optional<TTables> iBeforeCommit;
};
