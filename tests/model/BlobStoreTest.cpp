#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StoredForms.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
// A blob without strings is 52 bytes plus its picture bytes.
constexpr int32_t kEmptyBlobLen = 52;

TBlobRef NewBlob(int32_t aId, int32_t aLen = 100)
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->Construct(aId);
    blob->SetBytes(QByteArray(aLen - kEmptyBlobLen, char('a' + aId % 26)));
    return blob;
}

void Truncate(const QString& aName, qint64 aSize)
{
    QFile file(aName);
    ASSERT_TRUE(file.resize(aSize));
}

using TPlaces = std::vector<std::pair<int32_t, int32_t>>;

// Offset and length of each blob's record; (-1, -1) for a blob not in the file.
TPlaces Places(const CVexilBlobStore& aStore, const std::vector<int32_t>& aIds)
{
    TPlaces places;
    for (const int32_t id : aIds)
    {
        TBlobPlace place;
        places.emplace_back(aStore.GetPlace(id, place) ? std::make_pair(place.Offset, place.Length)
                                                        : std::make_pair(-1, -1));
    }
    return places;
}

// The array record of the stored forms: header, figures, elements.
QByteArray ArrayRecord(int32_t aFlags, int32_t aElemType, int32_t aCount, const QByteArray& aElems)
{
    return Le16(5) + Le16(3) + Le32(UndefLong) + Le32(aFlags) + Le16(aElemType) + Le32(50) + Le32(10) + Le32(aCount) +
           Le32(UndefLong) + aElems;
}

struct TTable
{
    int32_t StartPos = 100;
    int32_t IdFlags = EArrIntKey;
    std::vector<std::pair<int32_t, int32_t>> Ids;      // id, table index
    std::vector<std::pair<int32_t, int32_t>> Entries;  // offset, length
    int32_t PosType = EValIntPair;
};

QByteArray TableRecord(const TTable& aTable)
{
    QByteArray ids;
    for (const auto& [id, index] : aTable.Ids)
        ids += Le32(id) + Le16(EValInt) + Le32(index);
    QByteArray entries;
    for (const auto& [offset, length] : aTable.Entries)
        entries += aTable.PosType == EValIntPair ? Le16(EValIntPair) + Le32(offset) + Le32(length)
                                                 : Le16(EValInt) + Le32(offset);
    return Le16(11) + Le16(0) + Le32(aTable.StartPos) + Le32(EBstFileBased) +
           ArrayRecord(aTable.IdFlags, EValInt, int32_t(aTable.Ids.size()), ids) +
           ArrayRecord(0, aTable.PosType, int32_t(aTable.Entries.size()), entries);
}

class BlobStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        iChecksBefore = CVexilBlobStore::ConsistencyChecks();
        CVexilBlobStore::SetConsistencyChecks(true);
    }
    void TearDown() override { CVexilBlobStore::SetConsistencyChecks(iChecksBefore); }

    QString File(const char* aName) const { return iDir.File(QString::fromLatin1(aName)); }

    // A file-based store on a new file whose blob area begins at aStart.
    static void OpenNew(CVexilBlobStore& aStore, const QString& aName, int32_t aStart = 100)
    {
        aStore.Construct(EBstFileBased);
        aStore.SetFile(aName);
        aStore.SetNewStartPos(aStart);
    }

    // Writes the table behind the records, as a save does, closes the file and returns P.
    static int32_t SaveTable(CVexilBlobStore& aStore)
    {
        const int32_t tablePos = aStore.BehindPos();
        CVexilFile& file = *aStore.File();
        file.SeekPos(tablePos);
        aStore.Externalize(file);
        aStore.SetChanged(false);
        aStore.CloseFile();
        return tablePos;
    }

    // A store read from the table at aTablePos, as a binary stack read makes it.
    static void Load(CVexilBlobStore& aStore, const QString& aName, int32_t aTablePos,
                     EFilAccess aAccess = EFilReadWrite)
    {
        CVexilFile file;
        file.Construct(aName, EFilRead);
        file.OpenFile();
        file.SeekPos(aTablePos);
        aStore.Internalize(file);
        file.CloseFile();
        aStore.SetFile(aName, aAccess);
    }

    // A file holding blobs 1 .. aCount of 100 bytes each from offset 100 on; returns P.
    int32_t MakeFile(const QString& aName, int32_t aCount)
    {
        CVexilBlobStore store;
        OpenNew(store, aName);
        for (int32_t id = 1; id <= aCount; ++id)
            store.AddBlob(NewBlob(id));
        store.Commit();
        return SaveTable(store);
    }

    TempDir iDir;
    bool iChecksBefore = false;
};
}  // namespace

TEST_F(BlobStoreTest, NewStoreIsRamBasedAndEmpty)
{
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    EXPECT_EQ(store.Flags(), EBstRamBased);
    EXPECT_EQ(store.StartPos(), UndefLong);
    EXPECT_EQ(store.BehindPos(), UndefLong);
    EXPECT_FALSE(store.HasBlobsOnFile());
    EXPECT_EQ(store.HighestId(), UndefLong);
    EXPECT_EQ(store.File(), nullptr);
    EXPECT_TRUE(store.Changed());
    EXPECT_EQ(store.ObjDescr(), QStringLiteral("CVexilBlobStore"));
    store.SetFlag(EBstFileBased, true);
    store.SetFlag(EBstRamBased, false);
    store.SetFlag(EBstRamBased, false);  // only a set bit is taken away
    EXPECT_EQ(store.Flags(), EBstFileBased);
}

TEST_F(BlobStoreTest, BlobsGoWhenNothingHoldsThemAndShownOnesWaitForTheirBox)
{
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    TBlobRef plain = NewBlob(1);
    store.AddBlob(plain);
    EXPECT_EQ(plain->DynRefCount(), 1);
    plain->IncRefCount();
    store.DecRefCount(plain);
    EXPECT_EQ(plain, nullptr);
    EXPECT_FALSE(store.HasBlob(1));

    TBlobRef shown = NewBlob(2);
    store.AddBlob(shown);
    shown->IncRefCount();
    shown->IncDynRefCount();  // a picture box shows it
    store.DecRefCount(shown);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(store.HasBlob(2));
    store.DecDynRefCount(shown);
    EXPECT_EQ(shown, nullptr);
    EXPECT_FALSE(store.HasBlob(2));
}

TEST_F(BlobStoreTest, DeletingASampleReleasesItsPicture)
{
    for (const bool pictureShown : {false, true})
    {
        CVexilBlobStore store;
        store.Construct(EBstRamBased);
        TBlobRef picture = NewBlob(1);
        TBlobRef sample = NewBlob(2);
        store.AddBlob(picture);
        store.AddBlob(sample);
        picture->SetSampleId(2);
        sample->SetOriginalId(1);
        picture->IncRefCount();  // the sample's reference
        sample->IncRefCount();   // a field's value
        if (pictureShown)
            picture->IncDynRefCount();
        store.DecRefCount(sample);
        EXPECT_FALSE(store.HasBlob(2));
        EXPECT_EQ(store.HasBlob(1), pictureShown);
        EXPECT_EQ(picture->RefCount(), 0);
        if (pictureShown)
        {
            store.DecDynRefCount(picture);
            EXPECT_FALSE(store.HasBlob(1));
        }
        EXPECT_EQ(store.NumBlobs(), 0);
    }
}

TEST_F(BlobStoreTest, ChangedCountsTheCacheOnlyWhenRamBased)
{
    TBlobRef blob = NewBlob(1);
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    store.AddBlob(blob);
    store.SetChanged(false);
    EXPECT_FALSE(blob->Changed());  // cleared through the cache
    blob->SetName(QStringLiteral("x"));
    EXPECT_TRUE(store.Changed());
    store.SetChanged(false);
    store.SwitchToFileBased();
    store.SetChanged(false);
    blob->SetName(QStringLiteral("y"));
    EXPECT_FALSE(store.Changed());
}

TEST_F(BlobStoreTest, FirstFitPlacesNewRecordsInTheFirstGapThatHoldsThem)
{
    const QString name = File("s.bin");
    CVexilBlobStore store;
    OpenNew(store, name);
    for (int32_t id = 1; id <= 3; ++id)
        store.AddBlob(NewBlob(id));
    store.Commit();
    EXPECT_EQ(Places(store, {1, 2, 3}), (TPlaces{{100, 100}, {200, 100}, {300, 100}}));
    store.DeleteBlob(2);
    EXPECT_EQ(Places(store, {1, 3}), (TPlaces{{100, 100}, {300, 100}}));
    const qint64 size = QFile(name).size();

    store.AddBlob(NewBlob(4, 101));  // does not fit the gap of 100
    store.AddBlob(NewBlob(5, 100));  // fits it exactly
    store.AddBlob(NewBlob(6, 60));
    store.Commit();
    EXPECT_EQ(Places(store, {4, 5, 6}), (TPlaces{{400, 101}, {200, 100}, {501, 60}}));
    EXPECT_EQ(store.BehindPos(), 561);

    store.DeleteBlob(5);
    store.AddBlob(NewBlob(7, 60));
    store.Commit();
    EXPECT_EQ(Places(store, {7}), (TPlaces{{200, 60}}));
    EXPECT_GE(QFile(name).size(), size);  // the file never shrinks
}

TEST_F(BlobStoreTest, CommitRewritesChangedRecordsInPlaceAndMovesOnesThatGrew)
{
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 3);
    CVexilBlobStore store;
    Load(store, name, tablePos);
    TBlobRef same = store.ReadBlob(1);
    same->IncRefCount();
    TBlobRef grown = store.ReadBlob(2);
    grown->SetName(QStringLiteral("longer"));
    TBlobRef shrunk = store.ReadBlob(3);
    shrunk->SetBytes(QByteArray(8, 'z'));
    store.Commit();
    EXPECT_EQ(Places(store, {1, 2, 3}), (TPlaces{{100, 100}, {400, 112}, {300, 60}}));

    const int32_t newTablePos = SaveTable(store);
    CVexilBlobStore read;
    Load(read, name, newTablePos);
    EXPECT_EQ(read.ReadBlob(1)->RefCount(), 1);
    EXPECT_EQ(read.ReadBlob(2)->Name(), QStringLiteral("longer"));
    EXPECT_EQ(read.ReadBlob(2)->Bytes(), QByteArray(48, 'c'));
    EXPECT_EQ(read.ReadBlob(3)->Bytes(), QByteArray(8, 'z'));
}

TEST_F(BlobStoreTest, ANewStartMovesTheRecordsBelowItWithoutLosingAnyByte)
{
    struct TCase
    {
        const char* Name;
        int32_t NewStart;
        bool DeleteSecond;
        TPlaces Expected;  // blobs 1, 2, 3
    };
    const TCase cases[] = {
        // The second record reaches past the new start and lies where the first one goes.
        {"both below", 250, false, {{400, 100}, {500, 100}, {300, 100}}},
        {"into the gap at the new start", 150, true, {{150, 100}, {-1, -1}, {300, 100}}},
        {"behind the others", 120, false, {{400, 100}, {200, 100}, {300, 100}}},
        {"nothing below", 100, false, {{100, 100}, {200, 100}, {300, 100}}},
    };
    for (const TCase& c : cases)
    {
        const QString name = File("s.bin");
        QFile::remove(name);
        const int32_t tablePos = MakeFile(name, 3);
        CVexilBlobStore store;
        Load(store, name, tablePos);
        if (c.DeleteSecond)
            store.DeleteBlob(2);
        store.SetNewStartPos(c.NewStart);
        EXPECT_EQ(store.StartPos(), c.NewStart) << c.Name;
        // The stack record now takes the room below the new start.
        store.File()->SeekPos(0);
        store.File()->WriteRawBytes(QByteArray(c.NewStart, 'S'));
        store.Commit();
        EXPECT_EQ(Places(store, {1, 2, 3}), c.Expected) << c.Name;

        const int32_t newTablePos = SaveTable(store);
        CVexilBlobStore read;
        Load(read, name, newTablePos);
        for (int32_t id = 1; id <= 3; ++id)
        {
            if (read.HasBlob(id))
            {
                EXPECT_EQ(read.ReadBlob(id)->Bytes(), NewBlob(id)->Bytes()) << c.Name << " blob " << id;
            }
        }
    }
}

TEST_F(BlobStoreTest, MovedRecordsArePlacedBeforeNewOnes)
{
    const QString name = File("s.bin");
    CVexilBlobStore store;
    OpenNew(store, name);
    store.AddBlob(NewBlob(5));
    store.AddBlob(NewBlob(8));
    store.Commit();
    store.AddBlob(NewBlob(3));
    store.SetNewStartPos(150);
    store.Commit();
    EXPECT_EQ(Places(store, {5, 8, 3}), (TPlaces{{300, 100}, {200, 100}, {400, 100}}));
}

TEST_F(BlobStoreTest, ANewStartKeepsEveryMovedBlobWhenTheCacheIsFull)
{
    // Blob 2 is cached and unchanged, blob 1 is not cached: caching 1 for the move must not
    // drop 2, which has to move too.
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 9);
    CVexilBlobStore store;
    Load(store, name, tablePos);
    for (int32_t id = 2; id <= 9; ++id)
        store.ReadBlob(id);
    store.SetNewStartPos(300);
    store.File()->SeekPos(0);
    store.File()->WriteRawBytes(QByteArray(300, 'S'));
    store.Commit();
    EXPECT_EQ(Places(store, {1, 2}), (TPlaces{{1000, 100}, {1100, 100}}));

    const int32_t newTablePos = SaveTable(store);
    CVexilBlobStore read;
    Load(read, name, newTablePos);
    for (const int32_t id : {1, 2})
        EXPECT_EQ(read.ReadBlob(id)->Bytes(), NewBlob(id)->Bytes()) << id;
}

TEST_F(BlobStoreTest, TheCacheDropsTheOldestUnpinnedBlobFirst)
{
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 11);
    CVexilBlobStore store;
    Load(store, name, tablePos);
    std::vector<TBlobRef> first(12);
    for (int32_t id = 1; id <= 8; ++id)
        first[id] = store.ReadBlob(id);
    EXPECT_EQ(store.ReadBlob(2), first[2]);  // a hit, which does not renew the age
    EXPECT_EQ(first[2]->DynRefCount(), 1);

    store.ReadBlob(9);  // drops 1
    TBlobRef again1 = store.ReadBlob(1);  // drops 2
    EXPECT_NE(again1, first[1]);
    first[3]->IncDynRefCount();          // shown
    first[4]->SetName(QStringLiteral("x"));  // changed
    store.ReadBlob(10);  // drops 5, not the pinned 3 and 4
    EXPECT_EQ(store.ReadBlob(3), first[3]);
    EXPECT_EQ(store.ReadBlob(4), first[4]);
    EXPECT_EQ(store.ReadBlob(6), first[6]);
    EXPECT_NE(store.ReadBlob(5), first[5]);

    const TBlobRef info = store.ReadBlob(11, true);  // metadata only: never cached
    EXPECT_TRUE(info->Bytes().isEmpty());
    EXPECT_EQ(info->DynRefCount(), 0);
    EXPECT_NE(store.ReadBlob(11, true), info);
}

TEST_F(BlobStoreTest, BlobsThatLiveOnlyInMemoryAreNeverDropped)
{
    // A save under another name that failed after the switch: every blob is in memory only
    // and unchanged.
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 9);
    CVexilBlobStore store;
    Load(store, name, tablePos);
    store.SwitchToRamBased();
    store.SwitchToFileBased();
    store.SetChanged(false);
    std::vector<TBlobRef> held;
    for (int32_t id = 1; id <= 9; ++id)
        held.push_back(store.ReadBlob(id));
    store.AddBlob(NewBlob(10));
    store.SetChanged(false);
    store.AddBlob(NewBlob(11));
    for (int32_t id = 1; id <= 9; ++id)
        EXPECT_EQ(store.ReadBlob(id), held[size_t(id - 1)]) << id;
    EXPECT_TRUE(store.HasBlob(10));
}

TEST_F(BlobStoreTest, ALoweredCountStaysInMemoryUntilItReachesTheFile)
{
    const QString name = File("s.bin");
    CVexilBlobStore writer;
    OpenNew(writer, name);
    for (int32_t id = 1; id <= 10; ++id)
    {
        TBlobRef blob = NewBlob(id);
        blob->SetRefCount(2);
        writer.AddBlob(blob);
    }
    writer.Commit();
    const int32_t tablePos = SaveTable(writer);

    CVexilBlobStore store;
    Load(store, name, tablePos);
    TBlobRef lowered = store.ReadBlob(1);
    store.DecRefCount(lowered);
    ASSERT_NE(lowered, nullptr);
    for (int32_t id = 2; id <= 10; ++id)
        store.ReadBlob(id);
    EXPECT_EQ(store.ReadBlob(1), lowered);  // not dropped with its count unsaved
    store.Commit();
    const int32_t newTablePos = SaveTable(store);

    CVexilBlobStore read;
    Load(read, name, newTablePos);
    EXPECT_EQ(read.ReadBlob(1)->RefCount(), 1);
}

TEST_F(BlobStoreTest, SwitchingToRamReadsEveryRecordOrNothing)
{
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 3);
    CVexilBlobStore store;
    Load(store, name, tablePos);
    const TBlobRef cached = store.ReadBlob(2);

    Truncate(name, 350);  // the third record is cut
    EXPECT_EQ(RaisedError([&] { store.SwitchToRamBased(); }), EErrBadStruct);
    EXPECT_EQ(store.Flags(), EBstFileBased);
    EXPECT_EQ(Places(store, {1, 2, 3}), (TPlaces{{100, 100}, {200, 100}, {300, 100}}));

    const int32_t restored = MakeFile(name, 3);
    EXPECT_EQ(restored, tablePos);
    store.SwitchToRamBased();
    store.CloseFile();
    EXPECT_EQ(store.Flags(), EBstRamBased);
    EXPECT_FALSE(store.HasBlobsOnFile());
    EXPECT_EQ(store.ReadBlob(2), cached);
    for (int32_t id = 1; id <= 3; ++id)
    {
        EXPECT_FALSE(store.ReadBlob(id)->OnFile());
        EXPECT_EQ(store.ReadBlob(id)->Bytes(), NewBlob(id)->Bytes());
    }
}

TEST_F(BlobStoreTest, CommitToANewFileLeavesTheOldOneAndSwitchesOnlyWhenAccepted)
{
    const QString oldName = File("old.bin");
    const QString newName = File("new.bin");
    const int32_t tablePos = MakeFile(oldName, 3);
    const QByteArray oldBytes = FileContent(oldName);
    CVexilBlobStore store;
    Load(store, oldName, tablePos, EFilRead);
    store.ReadBlob(1)->IncRefCount();
    store.DeleteBlob(2);
    store.AddBlob(NewBlob(4, 90));

    CVexilFile target;
    target.Construct(newName, EFilReadWrite);
    target.OpenFile();
    target.WriteRawBytes(QByteArray(100, 'S'));
    store.CommitTo(target);
    EXPECT_EQ(Places(store, {1, 3, 4}), (TPlaces{{100, 100}, {300, 100}, {200, 90}}));
    target.SeekPos(store.BehindPos());
    store.Externalize(target);
    target.CloseFile();
    EXPECT_EQ(FileContent(oldName), oldBytes);
    const QByteArray newBytes = FileContent(newName);
    EXPECT_EQ(newBytes.mid(300, 100), oldBytes.mid(300, 100));  // copied unchanged
    EXPECT_NE(newBytes.mid(100, 100), oldBytes.mid(100, 100));  // written with its new count

    store.AcceptCommit(newName, EFilRead);
    Truncate(oldName, 0);  // reads come from the new file now
    store.SetChanged(false);
    EXPECT_EQ(store.ReadBlob(3)->Bytes(), NewBlob(3)->Bytes());
    EXPECT_EQ(store.ReadBlob(1)->RefCount(), 1);

    CVexilBlobStore read;
    Load(read, newName, 400, EFilRead);
    EXPECT_EQ(read.ReadBlob(4)->Bytes(), NewBlob(4, 90)->Bytes());
    EXPECT_FALSE(read.HasBlob(2));
}

TEST_F(BlobStoreTest, ACancelledOrFailedCommitToANewFileLeavesTheStoreAsItWas)
{
    const QString oldName = File("old.bin");
    const int32_t tablePos = MakeFile(oldName, 3);
    CVexilBlobStore store;
    Load(store, oldName, tablePos, EFilRead);
    store.ReadBlob(1)->IncRefCount();
    store.AddBlob(NewBlob(4));
    store.SetNewStartPos(150);  // moves blob 1 into memory
    const TPlaces before = Places(store, {1, 2, 3, 4});
    EXPECT_EQ(before, (TPlaces{{-1, -1}, {200, 100}, {300, 100}, {-1, -1}}));

    CVexilFile target;
    target.Construct(File("new.bin"), EFilReadWrite);
    target.OpenFile();
    store.CommitTo(target);
    EXPECT_EQ(Places(store, {1, 4}), (TPlaces{{400, 100}, {500, 100}}));
    store.CancelCommit();
    EXPECT_EQ(Places(store, {1, 2, 3, 4}), before);
    EXPECT_EQ(store.ReadBlob(3)->Bytes(), NewBlob(3)->Bytes());

    Truncate(oldName, 350);  // replaced underneath: the third record cannot be copied
    CVexilBlobStore::SetConsistencyChecks(false);  // they would re-read the cut record
    CVexilFile second;
    second.Construct(File("second.bin"), EFilReadWrite);
    second.OpenFile();
    EXPECT_EQ(RaisedError([&] { store.CommitTo(second); }), EErrBadStruct);
    EXPECT_EQ(Places(store, {1, 2, 3, 4}), before);
    EXPECT_EQ(store.ReadBlob(1)->RefCount(), 1);
    EXPECT_EQ(store.ReadBlob(4)->Bytes(), NewBlob(4)->Bytes());
    target.CloseFile();
    second.CloseFile();
}

TEST_F(BlobStoreTest, TableRecordIsByteExactAndReadsBack)
{
    const QString name = File("s.bin");
    CVexilBlobStore store;
    OpenNew(store, name);
    store.AddBlob(NewBlob(9, 60));
    store.AddBlob(NewBlob(5));
    store.Commit();
    const int32_t tablePos = SaveTable(store);
    EXPECT_EQ(tablePos, 260);
    const QByteArray expected =
        TableRecord({100, EArrIntKey, {{5, 0}, {9, 1}}, {{100, 100}, {200, 60}}, EValIntPair});
    EXPECT_EQ(FileContent(name).mid(tablePos), expected);
    EXPECT_EQ(store.ExtLen(), expected.size());

    CVexilBlobStore read;
    Load(read, name, tablePos);
    EXPECT_EQ(read.Flags(), EBstFileBased);
    EXPECT_EQ(read.StartPos(), 100);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(Places(read, {5, 9}), (TPlaces{{100, 100}, {200, 60}}));
    EXPECT_EQ(read.ReadBlob(5)->Bytes(), NewBlob(5)->Bytes());
}

TEST_F(BlobStoreTest, HostileTablesAreStructuralErrors)
{
    const int32_t tablePos = 400;
    // The records that the valid table describes: blobs 1 and 2 at 100 and 200.
    const QByteArray area = QByteArray(100, 0) + BinaryOf([](CVexilFile& aFile) { NewBlob(1)->Externalize(aFile); }) +
                            BinaryOf([](CVexilFile& aFile) { NewBlob(2)->Externalize(aFile); }) + QByteArray(100, 0);
    ASSERT_EQ(area.size(), tablePos);
    const TTable valid{100, EArrIntKey, {{1, 0}, {2, 1}}, {{100, 100}, {200, 100}}, EValIntPair};
    struct TCase
    {
        const char* Name;
        QByteArray Record;
        int32_t Error;
    };
    const auto with = [&](auto aChange) {
        TTable table = valid;
        aChange(table);
        return TableRecord(table);
    };
    const TCase cases[] = {
        {"valid", TableRecord(valid), 0},
        {"overlap", with([](TTable& t) { t.Entries[0].second = 150; }), EErrBadStruct},
        {"descending", with([](TTable& t) { std::swap(t.Entries[0], t.Entries[1]); }), EErrBadStruct},
        {"beyond the table", with([](TTable& t) { t.Entries[1] = {350, 100}; }), EErrBadStruct},
        {"before the start", with([](TTable& t) { t.Entries[0] = {50, 100}; }), EErrBadStruct},
        {"empty record", with([](TTable& t) { t.Entries[0].second = 0; }), EErrBadStruct},
        {"start behind the table", with([](TTable& t) { t = {500, EArrIntKey, {}, {}, EValIntPair}; }), EErrBadStruct},
        {"negative start", with([](TTable& t) { t.StartPos = -4; }), EErrBadStruct},
        {"entry without blob", with([](TTable& t) { t.Ids.pop_back(); }), EErrBadStruct},
        {"shared entry", with([](TTable& t) { t.Ids[1].second = 0; }), EErrBadStruct},
        {"index outside", with([](TTable& t) { t.Ids[1].second = 5; }), EErrBadStruct},
        {"blob not in the file", with([](TTable& t) { t.Ids[1].second = UndefLong; }), EErrBadStruct},
        {"equal ids", with([](TTable& t) { t.Ids[1].first = 1; }), EErrBadStruct},
        {"ids descending", with([](TTable& t) { t.Ids[0].first = 3; }), EErrBadStruct},
        {"undefined id", with([](TTable& t) { t.Ids[1].first = UndefLong; }), EErrBadStruct},
        {"id index flags", with([](TTable& t) { t.IdFlags = EArrIntKey + EArrDupKeys; }), EErrBadStruct},
        {"position type", with([](TTable& t) { t.PosType = EValInt; }), EErrBadStruct},
        {"type id", Le16(12) + TableRecord(valid).mid(2), EErrBadStruct},
        {"generation", Le16(11) + Le16(1) + TableRecord(valid).mid(4), EErrGenTooHigh},
        {"truncated", TableRecord(valid).left(40), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        const QString name = File("t.bin");
        SetFileContent(name, area + c.Record);
        CVexilFile file;
        file.Construct(name, EFilRead);
        file.OpenFile();
        file.SeekPos(tablePos);
        CVexilBlobStore store;
        EXPECT_EQ(RaisedError([&] { store.Internalize(file); }), c.Error) << c.Name;
        if (c.Error == EErrBadStruct)
        {
            EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << c.Name;
        }
        file.CloseFile();
    }
}

// A record that is not what its table entry says fails the load, also when the store does not
// check itself. One damaged in the file after the load fails its read, and a save to a new file
// does not copy it.
TEST_F(BlobStoreTest, RecordsThatDisagreeWithTheTableAreStructuralErrors)
{
    const QString name = File("s.bin");
    const int32_t tablePos = MakeFile(name, 3);
    const QByteArray good = FileContent(name);
    // Blob 2's record lies at 200; its picture byte count at 248, then 48 bytes.
    struct TCase
    {
        const char* Name;
        qsizetype At;
        QByteArray Bytes;
    };
    const TCase cases[] = {
        {"id", 204, Le32(7)},
        {"type id", 200, Le16(11)},
        {"generation too high", 202, Le16(6)},
        {"generation too low", 202, Le16(2)},
        {"longer than its entry", 248, Le32(60)},
        {"shorter than its entry", 248, Le32(47)},
        {"negative byte count", 248, Le32(-1)},
        {"byte count beyond the file", 248, Le32(10000001)},
    };
    CVexilBlobStore::SetConsistencyChecks(false);
    for (const TCase& c : cases)
    {
        QByteArray bad = good;
        bad.replace(c.At, c.Bytes.size(), c.Bytes);
        SetFileContent(name, bad);
        CVexilError::ResetErrInfo();
        CVexilBlobStore refused;
        EXPECT_EQ(RaisedError([&] { Load(refused, name, tablePos); }), EErrBadStruct) << c.Name;
        EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << c.Name;
        EXPECT_TRUE(CVexilError::GetErrInfo().Param2.contains(QStringLiteral("blob 2 record"))) << c.Name;

        SetFileContent(name, good);
        CVexilBlobStore store;
        Load(store, name, tablePos);
        SetFileContent(name, bad);  // the same file, which the store holds open
        EXPECT_EQ(store.ReadBlob(3)->Bytes(), NewBlob(3)->Bytes()) << c.Name;
        EXPECT_EQ(RaisedError([&] { store.ReadBlob(2); }), EErrBadStruct) << c.Name;
        CVexilFile target;
        target.Construct(File("new.bin"), EFilReadWrite);
        target.OpenFile();
        EXPECT_EQ(RaisedError([&] { store.CommitTo(target); }), EErrBadStruct) << c.Name;
        target.CloseFile();
        EXPECT_EQ(Places(store, {1, 2, 3}), (TPlaces{{100, 100}, {200, 100}, {300, 100}})) << c.Name;
        store.CloseFile();
    }
}

TEST_F(BlobStoreTest, SetFileReopensOnAnotherName)
{
    CVexilBlobStore store;
    store.Construct(EBstFileBased);
    store.SetFile(File("a.bin"));
    CVexilFile* first = store.File();
    store.SetFile(File("a.bin"));
    EXPECT_EQ(store.File(), first);
    store.SetFile(File("b.bin"));
    ASSERT_NE(store.File(), nullptr);
    EXPECT_TRUE(store.File()->ObjDescr().contains(File("b.bin")));
    store.CloseFile();
    EXPECT_EQ(store.File(), nullptr);
}

namespace
{
QString WriteXml(CVexilBlobStore& aStore)
{
    return QString::fromUtf8(XmlOf([&](CVexilXmlWriter& aWriter) { aStore.ExternalizeXml(aWriter); }));
}

void ReadXml(CVexilBlobStore& aStore, const QString& aText)
{
    ReadXml(aText.toUtf8(), aStore);
}
}  // namespace

TEST_F(BlobStoreTest, XmlHoldsEveryBlobAndReadsBackRamBased)
{
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    const TBlobRef blob = NewBlob(2, 54);
    blob->SetCreDate(CVexilValue::FromQDate(QDate(2024, 1, 2)));
    blob->SetCreTime(CVexilValue::FromQTime(QTime(3, 4, 5)));
    blob->SetFileDate(blob->CreDate());
    blob->SetFileTime(blob->CreTime());
    store.AddBlob(blob);
    const QString text = WriteXml(store);
    const QString arrayHead = QStringLiteral("<Array gen=\"3\" id=\"1999999999\" flags=\"%1\" type=\"%2\" "
                                             "allocStep=\"50\" alloc=\"10\" max=\"%3\" sortKeyId=\"1999999999\">\r\n");
    const QString expected =
        QStringLiteral("<BlobStore gen=\"0\" startPos=\"1999999999\" flags=\"2\">\r\n  ") +
        arrayHead.arg(EArrIntKey).arg(EValInt).arg(1) +
        QStringLiteral("    <Elem intKey=\"2\" type=\"12\" int=\"1999999999\">\r\n"
                       "    </Elem>\r\n"
                       "  </Array>\r\n  ") +
        arrayHead.arg(0).arg(EValIntPair).arg(0) +
        QStringLiteral("  </Array>\r\n  ") + arrayHead.arg(EArrIntKey).arg(EValBlob).arg(1) +
        QStringLiteral("    <Elem intKey=\"2\" type=\"105\">\r\n"
                       "      <Obj>\r\n"
                       "        <Blob gen=\"5\" id=\"2\" type=\"0\" name=\"\" fileName=\"\" creDate=\"20240102\" "
                       "creTime=\"30405\" fileDate=\"20240102\" fileTime=\"30405\" mimeType=\"\" "
                       "originalId=\"1999999999\" sampleId=\"1999999999\" width=\"31999\" height=\"31999\" "
                       "refCount=\"0\">\r\n"
                       "          <Bytes>6363</Bytes>\r\n"
                       "        </Blob>\r\n"
                       "      </Obj>\r\n"
                       "    </Elem>\r\n"
                       "  </Array>\r\n"
                       "</BlobStore>\r\n");
    EXPECT_EQ(text, expected);

    CVexilBlobStore read;
    ReadXml(read, text);
    EXPECT_EQ(read.Flags(), EBstRamBased);
    EXPECT_FALSE(read.Changed());
    EXPECT_EQ(read.NumBlobs(), 1);
    const TBlobRef back = read.ReadBlob(2);
    EXPECT_EQ(back->Bytes(), blob->Bytes());
    EXPECT_EQ(back->DynRefCount(), 1);
    EXPECT_FALSE(back->OnFile());
    EXPECT_EQ(WriteXml(read), text);

    // An early generation, and flags that claim a file: the store is RAM-based all the same.
    QString patched = text;
    patched.replace(QStringLiteral("<BlobStore gen=\"0\" startPos=\"1999999999\" flags=\"2\">"),
                    QStringLiteral("<BlobStore gen=\"3\" startPos=\"100\" flags=\"1\">"));
    CVexilBlobStore claimed;
    ReadXml(claimed, patched);
    EXPECT_EQ(claimed.Flags(), EBstRamBased);
    EXPECT_FALSE(claimed.HasBlobsOnFile());
    EXPECT_EQ(claimed.ReadBlob(2)->Bytes(), blob->Bytes());
}

TEST_F(BlobStoreTest, XmlWhoseIndexAndBlobsDisagreeIsAStructuralError)
{
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    store.AddBlob(NewBlob(4));
    store.AddBlob(NewBlob(6));
    const QString text = WriteXml(store);
    struct TCase
    {
        const char* Name;
        QString From;
        QString To;
    };
    const TCase cases[] = {
        {"generation", QStringLiteral("<BlobStore gen=\"0\""), QStringLiteral("<BlobStore gen=\"1\"")},
        {"blob id", QStringLiteral("<Blob gen=\"5\" id=\"6\""), QStringLiteral("<Blob gen=\"5\" id=\"7\"")},
        {"index id", QStringLiteral("intKey=\"6\" type=\"12\""), QStringLiteral("intKey=\"8\" type=\"12\"")},
        {"empty", QStringLiteral("flags=\"2\">"), QStringLiteral("flags=\"2\"/>")},
    };
    for (const TCase& c : cases)
    {
        QString patched = text;
        ASSERT_TRUE(patched.contains(c.From)) << c.Name;
        patched.replace(c.From, c.To);
        CVexilBlobStore read;
        EXPECT_EQ(RaisedError([&] { ReadXml(read, patched); }), EErrBadStruct) << c.Name;
    }
}

TEST_F(BlobStoreTest, EachFormIsWrittenOnlyInItsMode)
{
    CVexilBlobStore store;
    store.Construct(EBstRamBased);
    CVexilFile file;
    file.Construct(File("t.bin"), EFilReadWrite);
    file.OpenFile();
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { store.Externalize(file); }), EErrAssertFailed);
    file.CloseFile();

    store.SwitchToFileBased();
    CVexilXmlWriter writer(File("t.xml"));
    writer.OpenFile();
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { store.ExternalizeXml(writer); }), EErrAssertFailed);
    writer.CloseFile();
    const auto& messages = ScriptedPrompts::Instance().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].Params[0].startsWith(QStringLiteral("EBstFileBased")));
    EXPECT_TRUE(messages[1].Params[0].startsWith(QStringLiteral("EBstRamBased")));
}
