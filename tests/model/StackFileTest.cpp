#include "RichStack.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "model/VexilFileReplace.h"
#include "model/VexilStackHost.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <limits>

namespace
{
// The application side of opening a stack, recorded.
class HostRecorder : public IVexilStackHost
{
public:
    void ReleaseView() override { iCalls.append(QStringLiteral("release")); }
    void OpenStack(const TStackRef& aStack, const TStackViewRecRef& aView) override
    {
        iCalls.append(QStringLiteral("open ") + aStack->Name());
        iStack = aStack;
        iView = aView;
    }
    void AddFileHistory(const QString& aFileName) override { iCalls.append(QStringLiteral("history ") + aFileName); }

    QStringList iCalls;
    TStackRef iStack;
    TStackViewRecRef iView;
};

// A view record whose length is reported wrongly.
class LyingViewRec : public CVexilStackViewRec
{
public:
    int32_t ExtLen() override { return CVexilStackViewRec::ExtLen() + 2; }
};

int32_t IntAt(const QByteArray& aBytes, qsizetype aPos)
{
    int32_t value = 0;
    std::memcpy(&value, aBytes.constData() + aPos, sizeof(value));
    return value;
}

void SetIntAt(QByteArray& aBytes, qsizetype aPos, int32_t aValue)
{
    std::memcpy(aBytes.data() + aPos, &aValue, sizeof(aValue));
}

// A save of aTarget in a child process, stopped while it writes: its new file is made, locked
// and partly written. Killed at the latest when it goes.
class SavingProcess
{
public:
    explicit SavingProcess(const QString& aTarget)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        iPid = ::fork();
        if (iPid == 0)
            SaveAndWait(aTarget, fds);
        ::close(fds[1]);
        QFile names;
        if (iPid > 0 && names.open(fds[0], QIODevice::ReadOnly))
            iNewName = QFile::decodeName(names.readAll());
        ::close(fds[0]);
    }
    ~SavingProcess() { Kill(); }
    SavingProcess(const SavingProcess&) = delete;
    SavingProcess& operator=(const SavingProcess&) = delete;

    // As a power cut would end it.
    void Kill()
    {
        if (iPid <= 0)
            return;
        ::kill(iPid, SIGKILL);
        ::waitpid(iPid, nullptr, 0);
        iPid = -1;
    }
    // Empty when the save did not start.
    const QString& NewName() const { return iNewName; }
    QString NewFileName() const { return QFileInfo(iNewName).fileName(); }

private:
    // In the child: tells the new file's name through the pipe, then waits to be killed.
    [[noreturn]] static void SaveAndWait(const QString& aTarget, const int aFds[2])
    {
        ::close(aFds[0]);
        try
        {
            CVexilFileReplace target(aTarget);
            QFile file(target.NewName());
            QFile names;
            if (file.open(QIODevice::WriteOnly) && file.write(QByteArray(100000, 'x')) > 0 && file.flush() &&
                names.open(aFds[1], QIODevice::WriteOnly))
                names.write(QFile::encodeName(target.NewName()));
            names.close();
            ::close(aFds[1]);
            for (;;)
                ::pause();
        }
        catch (...)
        {
            ::_exit(1);
        }
    }

    pid_t iPid = -1;
    QString iNewName;
};

class StackFileTest : public RichStackFixture
{
protected:
    void SetUp() override
    {
        RichStackFixture::SetUp();
        CVexilStackHost::Install(&iHost);
    }

    void TearDown() override
    {
        CVexilStackHost::Install(nullptr);
        RichStackFixture::TearDown();
    }

    // The rich stack saved in the binary form; its path.
    QString SavedRichStack(const QString& aName = QStringLiteral("Rich.Quorvan"))
    {
        BuildRichStack();
        Save(iStack, iView, Path(aName));
        return Path(aName);
    }

    // Runs aDo, which must fail with aError, and checks that the folder did not change.
    void ExpectFailureLeavesFolder(int32_t aError, const std::function<void()>& aDo, const char* aWhat)
    {
        const auto before = Folder();
        CVexilError::ResetErrInfo();
        EXPECT_EQ(RaisedError(aDo), aError) << aWhat;
        EXPECT_EQ(Folder(), before) << aWhat;
    }

    // The offset of P: behind the magic, the head and both records.
    static qsizetype TablePosAt(const CVexilStack& aStack, const CVexilStackViewRec& aView)
    {
        return 11 + const_cast<CVexilStack&>(aStack).ExtLen() + const_cast<CVexilStackViewRec&>(aView).ExtLen();
    }

    HostRecorder iHost;
};
}  // namespace

TEST_F(StackFileTest, NewBinaryStackGoldenBytes)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("A"));
    stack->SetFlags(EStkBinary);
    auto view = std::make_shared<CVexilStackViewRec>();
    view->Contruct(QString());
    const QString name = Path(QStringLiteral("A.Quorvan"));
    Save(stack, view, name);
    const QByteArray bytes = FileContent(name);
    EXPECT_TRUE(bytes.startsWith(HexBytes("51 75 6F 72 76 61 6E 0D 00 00 00 03 00 04 00 02 00 41 00")));
    // Without pictures the table starts right behind P, and ends the file.
    const qsizetype pAt = TablePosAt(*stack, *view);
    EXPECT_EQ(IntAt(bytes, pAt), pAt + 4);
    EXPECT_EQ(bytes.size(), pAt + 4 + stack->BlobStore()->ExtLen());
    EXPECT_FALSE(stack->Changed());

    const TLoaded loaded = Load(name);
    EXPECT_EQ(loaded.Stack->Name(), QStringLiteral("A"));
    EXPECT_EQ(loaded.Stack->Filename(), name);
    EXPECT_EQ(loaded.Stack->NumCards(), 0);
    EXPECT_FALSE(loaded.Stack->Changed());
    EXPECT_EQ(loaded.Stack->BlobStore()->Flags(), EBstFileBased);
}

TEST_F(StackFileTest, LoadingMarksTheStackBinaryAndTheWindowsClosed)
{
    iStack->SetFlags(EStkBinary);
    iView->SetCardListOpen(true);
    iView->SetCardViewOpen(true);
    const QString name = Path(QStringLiteral("T.Quorvan"));
    Save(iStack, iView, name);
    QByteArray bytes = FileContent(name);
    const qsizetype flagsAt = 11 + 4 + CVexilFile::ExtStrLen(iStack->Name()) + 4;
    ASSERT_EQ(IntAt(bytes, flagsAt), EStkBinary);
    SetIntAt(bytes, flagsAt, EStkOpenFullScreen);
    SetFileContent(name, bytes);
    const TLoaded loaded = Load(name);
    EXPECT_EQ(loaded.Stack->Flags(), EStkBinary | EStkOpenFullScreen);
    EXPECT_FALSE(loaded.View->CardViewOpen());
    EXPECT_FALSE(loaded.View->CardListOpen());
    EXPECT_FALSE(loaded.Stack->Changed());
}

// Binary to XML to binary gives the same bytes, apart from the id and the flags, which the XML
// form does not hold; XML to binary to XML gives the same text.
TEST_F(StackFileTest, RoundTripsThroughBothForms)
{
    const QString binary = SavedRichStack();
    const QString content = Content(*iStack);
    TLoaded loaded = Load(binary);
    EXPECT_EQ(Content(*loaded.Stack), content);
    loaded.Stack->SetFlags(0);
    const QString xml = Path(QStringLiteral("Rich.xml"));
    Save(loaded.Stack, loaded.View, xml);
    EXPECT_TRUE(FileContent(xml).startsWith(kXmlDecl + "<VexilStack>\r\n  <Stack "));

    const TLoaded fromXml = Load(xml);
    EXPECT_EQ(fromXml.Stack->Flags(), 0);
    EXPECT_EQ(fromXml.Stack->Id(), 0);
    EXPECT_EQ(fromXml.Stack->BlobStore()->Flags(), EBstRamBased);
    EXPECT_EQ(Content(*fromXml.Stack), content);
    fromXml.Stack->SetFlags(EStkBinary | EStkOpenLandscape);
    fromXml.Stack->SetId(5);
    const QString binary2 = Path(QStringLiteral("Rich2.Quorvan"));
    Save(fromXml.Stack, fromXml.View, binary2);
    EXPECT_EQ(FileContent(binary2), FileContent(binary));

    const TLoaded again = Load(binary2);
    again.Stack->SetFlags(0);
    const QString xml2 = Path(QStringLiteral("Rich2.xml"));
    Save(again.Stack, again.View, xml2);
    EXPECT_EQ(FileContent(xml2), FileContent(xml));
}

// Lone CRs, lone LFs and CR LF pairs in names, values and scripts come back from the XML form
// as they were: the binary file saved again from it has the same bytes, sort keys included.
TEST_F(StackFileTest, EveryKindOfLineBreakComesBackFromTheXmlForm)
{
    BuildRichStack();
    // The last text puts a lone CR across the 80-character cut of element text.
    const QString texts[] = {QStringLiteral("lone\rCR"), QStringLiteral("lone\nLF"), QStringLiteral("CR\r\nLF"),
                             QStringLiteral("\r\r\n\n\r\n\r"), QString(79, u'x') + QStringLiteral("\ry")};
    for (const QString& text : texts)
    {
        const TCardRef card = Person(QStringLiteral("P ") + text, 20, text);
        card->SetControlVal(iHobbies->Id(), Val::Str(text));
        card->SetScriptSource(text);
    }
    iStack->SetName(texts[0]);
    iStack->SetDescr(texts[3]);
    iStack->SetScriptSource(texts[4]);
    iBg->SetName(texts[1]);
    iBg->SetScriptSource(texts[0]);
    iTown->SetName(texts[2]);
    iNext->SetScriptSource(texts[3]);
    const QString binary = Path(QStringLiteral("Breaks.Quorvan"));
    Save(iStack, iView, binary);

    const TLoaded loaded = Load(binary);
    loaded.Stack->SetFlags(0);
    const QString xml = Path(QStringLiteral("Breaks.xml"));
    Save(loaded.Stack, loaded.View, xml);
    const QByteArray xmlBytes = FileContent(xml);
    EXPECT_TRUE(xmlBytes.contains("lone&#13;CR"));
    EXPECT_EQ(xmlBytes.count('\r'), xmlBytes.count("\r\n"));

    const TLoaded fromXml = Load(xml);
    EXPECT_EQ(Content(*fromXml.Stack), Content(*iStack));
    fromXml.Stack->SetFlags(EStkBinary | EStkOpenLandscape);
    fromXml.Stack->SetId(5);
    const QString binary2 = Path(QStringLiteral("Breaks2.Quorvan"));
    Save(fromXml.Stack, fromXml.View, binary2);
    EXPECT_EQ(FileContent(binary2), FileContent(binary));
}

// The XML form of a binary stack does not carry the figures of its file's position table (grown
// by more than ten pictures, or whatever a file says): it saves again to the same text.
TEST_F(StackFileTest, XmlOfABinaryStackSavesAgainAlike)
{
    iStack->SetFlags(EStkBinary);
    for (int i = 0; i < 12; ++i)
        AddPicture(30 + i, char('a' + i));
    const QString binary = Path(QStringLiteral("Many.Quorvan"));
    Save(iStack, iView, binary);
    const QByteArray grown = FileContent(binary);
    // The head of the position table: id, flags, element type, allocStep, alloc, max, sortKeyId.
    const qsizetype headAt = grown.indexOf(Le32(UndefLong) + Le32(0) + Le16(EValIntPair),
                                           IntAt(grown, TablePosAt(*iStack, *iView)));
    ASSERT_GT(headAt, 0);
    ASSERT_GT(IntAt(grown, headAt + 14), CVexilArray::KInitialAlloc);
    QByteArray patched = grown;
    SetIntAt(patched, headAt, 77);
    SetIntAt(patched, headAt + 10, 3);
    SetIntAt(patched, headAt + 14, 500);
    SetIntAt(patched, headAt + 22, 1999868927);

    for (const auto& [bytes, what] : {std::pair{grown, "grown table"}, std::pair{patched, "patched head"}})
    {
        SetFileContent(binary, bytes);
        const TLoaded loaded = Load(binary);
        loaded.Stack->SetFlags(0);
        const QString first = Path(QStringLiteral("1.xml"));
        Save(loaded.Stack, loaded.View, first);
        const TLoaded again = Load(first);
        const QString second = Path(QStringLiteral("2.xml"));
        Save(again.Stack, again.View, second);
        EXPECT_EQ(FileContent(second), FileContent(first)) << what;
        EXPECT_EQ(Content(*again.Stack), Content(*loaded.Stack)) << what;
    }
    // The binary file keeps its figures as they are.
    const TLoaded loaded = Load(binary);
    Save(loaded.Stack, loaded.View, binary);
    EXPECT_EQ(FileContent(binary), patched);
}

// Saved to its own file, a stack keeps its unchanged pictures where they were and fills the
// first gap that fits; the table follows the last picture.
TEST_F(StackFileTest, PicturesStayInPlaceAndNewOnesFillTheFirstGap)
{
    iStack->SetFlags(EStkBinary);
    const int32_t first = AddPicture(300, 'a')->Id();
    const int32_t second = AddPicture(200, 'b')->Id();
    const int32_t third = AddPicture(100, 'c')->Id();
    const QString name = Path(QStringLiteral("P.Quorvan"));
    Save(iStack, iView, name);

    const TLoaded loaded = Load(name);
    CVexilBlobStore& store = *loaded.Stack->BlobStore();
    TBlobPlace one, two, three;
    ASSERT_TRUE(store.GetPlace(first, one) && store.GetPlace(second, two) && store.GetPlace(third, three));
    EXPECT_EQ(one.Offset, TablePosAt(*loaded.Stack, *loaded.View) + 4);
    store.DeleteBlob(second);
    iStack = loaded.Stack;
    const int32_t small = AddPicture(150, 'd')->Id();
    const int32_t large = AddPicture(500, 'e')->Id();
    Save(loaded.Stack, loaded.View, name);

    TBlobPlace one2, three2, smallAt, largeAt;
    ASSERT_TRUE(store.GetPlace(first, one2) && store.GetPlace(third, three2));
    ASSERT_TRUE(store.GetPlace(small, smallAt) && store.GetPlace(large, largeAt));
    EXPECT_FALSE(store.HasBlob(second));
    EXPECT_EQ(one2.Offset, one.Offset);
    EXPECT_EQ(three2.Offset, three.Offset);
    EXPECT_EQ(smallAt.Offset, two.Offset);
    EXPECT_EQ(largeAt.Offset, three.Offset + three.Length);
    const QByteArray bytes = FileContent(name);
    const int32_t tablePos = largeAt.Offset + largeAt.Length;
    EXPECT_EQ(IntAt(bytes, TablePosAt(*loaded.Stack, *loaded.View)), tablePos);
    EXPECT_EQ(bytes.size(), tablePos + store.ExtLen());

    const TLoaded back = Load(name);
    EXPECT_EQ(Content(*back.Stack), Content(*loaded.Stack));
    EXPECT_EQ(back.Stack->BlobStore()->ReadBlob(small)->Bytes(), PictureBytes(150, 'd'));
}

TEST_F(StackFileTest, SaveUnderAnotherNameLeavesTheOldFile)
{
    const QString name = SavedRichStack();
    const QByteArray old = FileContent(name);
    const TLoaded loaded = Load(name);
    iStack = loaded.Stack;
    Person(QStringLiteral("Dan"), 60, QStringLiteral("Zug"));
    const QString other = Path(QStringLiteral("Other.Quorvan"));
    Save(loaded.Stack, loaded.View, other);
    EXPECT_EQ(FileContent(name), old);
    const TLoaded copy = Load(other);
    EXPECT_EQ(Content(*copy.Stack), Content(*loaded.Stack));
    EXPECT_TRUE(Content(*copy.Stack).contains(QStringLiteral("Dan")));
    EXPECT_EQ(Content(*Load(name).Stack).contains(QStringLiteral("Dan")), false);
}

TEST_F(StackFileTest, XmlStackSavedBinaryUnderItsOwnName)
{
    BuildRichStack();
    iStack->SetFlags(0);
    const QString name = Path(QStringLiteral("S.Quorvan"));
    Save(iStack, iView, name);
    const TLoaded loaded = Load(name);
    loaded.Stack->SetFlags(EStkBinary);
    Save(loaded.Stack, loaded.View, name);
    EXPECT_TRUE(FileContent(name).startsWith("Quorvan"));
    EXPECT_EQ(Content(*Load(name).Stack), Content(*iStack));
    EXPECT_EQ(Folder().size(), 1);
}

TEST_F(StackFileTest, FilesThatAreNoStacks)
{
    const QString binary = SavedRichStack();
    const QByteArray good = FileContent(binary);
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        int32_t Error;
    };
    QByteArray older = good;
    older[13] = 3;
    QByteArray newer = good;
    newer[13] = 5;
    QByteArray otherType = good;
    otherType[11] = 2;
    QByteArray otherHead = good;
    otherHead[7] = 12;
    QByteArray tableBehindEnd = good;
    SetIntAt(tableBehindEnd, TablePosAt(*iStack, *iView), int32_t(good.size()));
    QByteArray tableInRecords = good;
    SetIntAt(tableInRecords, TablePosAt(*iStack, *iView), 40);
    const TCase cases[] = {
        {"empty", QByteArray(), EErrNotAQuorvan},
        {"foreign", QByteArray("Quorvax and more"), EErrNotAQuorvan},
        {"short magic", QByteArray("Quorva"), EErrNotAQuorvan},
        {"generation 3", older, EErrGenTooLow},
        {"generation 5", newer, EErrGenTooHigh},
        {"type id", otherType, EErrBadStruct},
        {"file head", otherHead, EErrBadStruct},
        {"table behind the end", tableBehindEnd, EErrBadStruct},
        {"table inside the records", tableInRecords, EErrBadStruct},
        {"XML of another kind", QByteArray("<html>\r\n</html>\r\n"), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        const QString name = Path(QStringLiteral("bad.Quorvan"));
        SetFileContent(name, c.Bytes);
        TStackRef stack;
        TStackViewRecRef view;
        ExpectFailureLeavesFolder(
            c.Error,
            [&] {
                CVexilStackFile file;
                file.Construct(name);
                file.LoadStack(stack, view);
            },
            c.What);
        EXPECT_FALSE(stack) << c.What;
        EXPECT_FALSE(view) << c.What;
        if (c.Error == EErrNotAQuorvan)
        {
            EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
        }
        QFile::remove(name);
    }
    ExpectFailureLeavesFolder(EErrFileNotFound, [&] { Load(Path(QStringLiteral("missing.Quorvan"))); }, "missing");
}

// The pictures that cards and wallpapers name, their counts of uses and the next id are checked
// against the whole file, in both forms.
TEST_F(StackFileTest, PictureReferencesAndIdsAreChecked)
{
    const QString binary = SavedRichStack();
    const TLoaded loaded = Load(binary);
    loaded.Stack->SetFlags(0);
    const QString xmlName = Path(QStringLiteral("Rich.xml"));
    Save(loaded.Stack, loaded.View, xmlName);
    const QByteArray xml = FileContent(xmlName);
    struct TCase
    {
        const char* Find;
        const char* Replace;
        const char* Detail;
    };
    const TCase cases[] = {
        {"type=\"17\" int=\"16\"", "type=\"17\" int=\"99\"", "card 1 picture 99"},
        {"wallPaperId=\"17\"", "wallPaperId=\"98\"", "background 13 wallPaperId"},
        {"<IdGen nextId=\"18\"/>", "<IdGen nextId=\"17\"/>", "next id 17"},
        {"<IdGen nextId=\"18\"/>", "<IdGen/>", "next id 1999999999"},
        {"height=\"31999\" refCount=\"1\"", "height=\"31999\" refCount=\"0\"", "picture 17 refCount"},
    };
    for (const TCase& c : cases)
    {
        QByteArray patched = xml;
        ASSERT_TRUE(patched.contains(c.Find)) << c.Find;
        patched.replace(c.Find, c.Replace);
        SetFileContent(xmlName, patched);
        ExpectFailureLeavesFolder(EErrBadStruct, [&] { Load(xmlName); }, c.Detail);
        EXPECT_TRUE(CVexilError::GetErrInfo().Param2.contains(QString::fromLatin1(c.Detail)))
            << CVexilError::GetErrInfo().Param2.toStdString();
        EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(xmlName));
    }
}

// Pictures are read only when shown, so a damaged picture record must fail the opening, not a
// later save: its byte count patched, or the table's length for it with the record intact; a
// picture that a card shows and one that nothing uses alike. Checked also when the store does
// not check itself, as in a release build.
TEST_F(StackFileTest, ADamagedPictureRecordFailsTheOpening)
{
    BuildRichStack();
    const TBlobRef unused = AddPicture(200, 'u');
    const QString name = Path(QStringLiteral("Rich.Quorvan"));
    Save(iStack, iView, name);
    const QByteArray good = FileContent(name);
    const int32_t tablePos = IntAt(good, TablePosAt(*iStack, *iView));
    CVexilBlobStore::SetConsistencyChecks(false);
    for (const TBlobRef& picture : {iPicture, unused})
    {
        TBlobPlace place;
        ASSERT_TRUE(iStack->BlobStore()->GetPlace(picture->Id(), place));
        const qsizetype countAt = place.Offset + place.Length - picture->Bytes().size() - 4;
        ASSERT_EQ(IntAt(good, countAt), picture->Bytes().size());
        const qsizetype entryAt = good.indexOf(Le16(EValIntPair) + Le32(place.Offset) + Le32(place.Length), tablePos);
        ASSERT_GT(entryAt, 0);
        QByteArray longCount = good;
        SetIntAt(longCount, countAt, 10000001);
        QByteArray shortEntry = good;
        SetIntAt(shortEntry, entryAt + 6, 2);
        for (const auto& [bytes, what] : {std::pair{longCount, "byte count"}, std::pair{shortEntry, "table length"}})
        {
            SetFileContent(name, bytes);
            ExpectFailureLeavesFolder(EErrBadStruct, [&] { Load(name); }, what);
            EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << what;
            EXPECT_TRUE(CVexilError::GetErrInfo().Param2.contains(QStringLiteral("blob %1 record").arg(picture->Id())))
                << CVexilError::GetErrInfo().Param2.toStdString();
        }
    }
}

// The largest and the smallest Reals go into the XML form and come back as they were, through
// the binary form as well; what was read from XML saves to the same bytes.
TEST_F(StackFileTest, ExtremeRealsComeBackFromBothForms)
{
    BuildRichStack();
    const std::pair<const char*, double> scores[] = {{"Ann", std::numeric_limits<double>::max()},
                                                     {"Bob", -std::numeric_limits<double>::max()},
                                                     {"Cy", std::numeric_limits<double>::denorm_min()}};
    for (const auto& [name, score] : scores)
    {
        TCardRef card;
        ASSERT_TRUE(iStack->GetCard(QString::fromLatin1(name), card));
        card->SetControlVal(iScore->Id(), Val::Real(score));
    }
    const auto expectScores = [&](const CVexilStack& aStack, const char* aForm) {
        for (const auto& [name, score] : scores)
        {
            TCardRef card;
            ASSERT_TRUE(aStack.GetCard(QString::fromLatin1(name), card));
            TValue value;
            card->GetControlVal(iScore->Id(), value, true);
            EXPECT_EQ(value.iReal, score) << name << " " << aForm;
        }
    };
    iStack->SetFlags(0);
    const QString xml = Path(QStringLiteral("Reals.xml"));
    Save(iStack, iView, xml);
    const TLoaded fromXml = Load(xml);
    expectScores(*fromXml.Stack, "XML");
    const QString again = Path(QStringLiteral("Again.xml"));
    Save(fromXml.Stack, fromXml.View, again);
    EXPECT_EQ(FileContent(again), FileContent(xml));

    fromXml.Stack->SetFlags(EStkBinary);
    const QString binary = Path(QStringLiteral("Reals.Quorvan"));
    Save(fromXml.Stack, fromXml.View, binary);
    expectScores(*Load(binary).Stack, "binary");
}

// The program makes no number that is not finite, and the XML form has no text for one: a
// binary stack whose Real is such a number fails to open; a window rectangle with one opens at
// its default place. Nothing comes in that the XML form could not hold.
TEST_F(StackFileTest, NumbersThatAreNotFiniteInABinaryStack)
{
    BuildRichStack();
    TCardRef ann;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("Ann"), ann));
    const double marker = 1234.5678125;
    ann->SetControlVal(iScore->Id(), Val::Real(marker));
    const QString name = Path(QStringLiteral("Rich.Quorvan"));
    Save(iStack, iView, name);
    const QByteArray good = FileContent(name);
    const QByteArray markerBytes(reinterpret_cast<const char*>(&marker), sizeof marker);
    const qsizetype realAt = good.indexOf(markerBytes);
    ASSERT_GT(realAt, 0);
    ASSERT_EQ(good.indexOf(markerBytes, realAt + 1), -1);
    // The view record ends where P begins; the card list's rectangle comes last in it.
    const qsizetype listXAt = TablePosAt(*iStack, *iView) - 16;

    for (const char* single : {"00 00 C0 7F", "00 00 80 FF"})
    {
        QByteArray bytes = good;
        bytes.replace(listXAt, 4, HexBytes(single));
        SetFileContent(name, bytes);
        TLoaded loaded = Load(name);
        const CVexilRect& list = *loaded.View->CardListRect();
        EXPECT_EQ(list.X(), 180) << single;
        EXPECT_EQ(list.Height(), 5472) << single;
        EXPECT_EQ(loaded.View->CardViewRect()->X(), iView->CardViewRect()->X()) << single;
        loaded.Stack->SetFlags(0);
        const QString xml = Path(QStringLiteral("Rich.xml"));
        Save(loaded.Stack, loaded.View, xml);
        EXPECT_EQ(Load(xml).View->CardListRect()->Width(), 7056) << single;
    }

    for (const char* real : {"00 00 00 00 00 00 F8 7F", "00 00 00 00 00 00 F8 FF", "00 00 00 00 00 00 F0 7F"})
    {
        QByteArray bytes = good;
        bytes.replace(realAt, 8, HexBytes(real));
        SetFileContent(name, bytes);
        ExpectFailureLeavesFolder(EErrBadStruct, [&] { Load(name); }, real);
        EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << real;
        EXPECT_TRUE(CVexilError::GetErrInfo().Param2.contains(QStringLiteral("real"))) << real;
    }
}

// A number that does not fit where it is read, in either form, is a structural error of the
// file, not a run-time error of the program.
TEST_F(StackFileTest, NumbersOutOfRangeAreStructuralErrors)
{
    const QString binary = SavedRichStack();
    QByteArray bytes = FileContent(binary);
    const qsizetype sortKeyName = bytes.indexOf(HexBytes("06 00 4B 00 65 00 79 00"));
    ASSERT_GT(sortKeyName, 0);
    bytes[sortKeyName + 12] = 99;  // the sort key's part count
    SetFileContent(binary, bytes);
    iStack->SetFlags(0);
    const QString xml = Path(QStringLiteral("Rich.xml"));
    Save(iStack, iView, xml);
    QByteArray text = FileContent(xml);
    text.replace("<IdGen nextId=\"18\"/>", "<IdGen nextId=\"99999999999\"/>");
    SetFileContent(xml, text);
    for (const auto& [name, detail] : {std::pair{binary, "Subscript out of range"}, std::pair{xml, "Overflow"}})
    {
        ExpectFailureLeavesFolder(EErrBadStruct, [&] { Load(name); }, detail);
        EXPECT_TRUE(CVexilError::GetErrInfo().Param1.contains(name)) << CVexilError::GetErrInfo().Param1.toStdString();
        EXPECT_TRUE(CVexilError::GetErrInfo().Param2.contains(QString::fromLatin1(detail)))
            << CVexilError::GetErrInfo().Param2.toStdString();
    }
}

// Every prefix of a stack file fails to load with an error; nothing is created or changed and
// no question is asked.
TEST_F(StackFileTest, TruncatedFilesFailCleanly)
{
    const QString binary = SavedRichStack();
    iStack->SetFlags(0);
    const QString xml = Path(QStringLiteral("Rich.xml"));
    Save(iStack, iView, xml);
    for (const QString& source : {binary, xml})
    {
        const QByteArray whole = FileContent(source);
        const QString name = Path(QStringLiteral("cut"));
        for (qsizetype len = 0; len < whole.size(); len += 97)
        {
            SetFileContent(name, whole.left(len));
            const auto before = Folder();
            const int32_t error = RaisedError([&] { Load(name); });
            EXPECT_TRUE(error == EErrNotAQuorvan || error == EErrBadStruct) << len << " error " << error;
            EXPECT_EQ(Folder(), before);
        }
        QFile::remove(name);
    }
}

// A save that fails at any write leaves the old file as it was, complete and loadable, and the
// stack open and changed; the next save that succeeds writes everything.
TEST_F(StackFileTest, AFailedWriteNeverHarmsTheOldFile)
{
    for (const bool binary : {true, false})
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Test"));
        iBg = iStack->Background(0);
        BuildRichStack();
        if (!binary)
            iStack->SetFlags(0);
        const QString name = Path(binary ? QStringLiteral("Crash.Quorvan") : QStringLiteral("Crash.xml"));
        Save(iStack, iView, name);
        const QByteArray old = FileContent(name);
        const QString oldContent = Content(*iStack);
        const TLoaded loaded = Load(name);
        iStack = loaded.Stack;
        Person(QStringLiteral("Dan"), 60, QStringLiteral("Zug"));
        const TBlobRef picture = AddPicture(70000, 'n');
        TCardRef dan;
        ASSERT_TRUE(iStack->GetCard(QStringLiteral("Dan"), dan));
        dan->SetControlVal(iPhoto->Id(), Val::Blob(picture->Id()));
        const QString newContent = Content(*iStack);

        int k = 1;
        for (;; ++k)
        {
            CVexilFileBuffer::FailWriteAfter(k);
            const int32_t error = RaisedError([&] {
                CVexilStackFile file;
                file.Construct(name);
                file.SaveStack(iStack, loaded.View);
            });
            CVexilFileBuffer::FailWriteAfter(0);
            if (error == 0)
                break;
            EXPECT_EQ(error, 61) << "write " << k;
            EXPECT_TRUE(iStack->Changed());
            EXPECT_EQ(FileContent(name), old) << "write " << k;
            EXPECT_EQ(Folder().size(), 1) << "write " << k;
            EXPECT_EQ(Content(*Load(name).Stack), oldContent) << "write " << k;
            EXPECT_EQ(Content(*iStack), newContent) << "write " << k;
        }
        EXPECT_GT(k, 3);
        EXPECT_FALSE(iStack->Changed());
        EXPECT_EQ(Content(*Load(name).Stack), newContent);
        QFile::remove(name);
    }
}

TEST_F(StackFileTest, WhatCannotBeReadBackIsNotWritten)
{
    const QString name = SavedRichStack();
    const QByteArray old = FileContent(name);
    TCardRef ann;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("Ann"), ann));
    struct TCase
    {
        std::function<void()> Spoil;
        const char* Description;
    };
    const TCase cases[] = {
        {[&] { ann->SetControlVal(iHobbies->Id(), Val::Str(QString(16384, u'x'))); }, "16383 characters"},
        {[&] {
             ann->SetControlVal(iHobbies->Id(), Val::Str(QString()));
             AddPicture(10000001, 'z');
         },
         "10000000 bytes"},
    };
    for (const TCase& c : cases)
    {
        c.Spoil();
        ExpectFailureLeavesFolder(
            ERunOverflow,
            [&] {
                CVexilStackFile file;
                file.Construct(name);
                file.SaveStack(iStack, iView);
            },
            c.Description);
        EXPECT_TRUE(CVexilError::GetErrInfo().RunDescription.contains(QString::fromLatin1(c.Description)))
            << CVexilError::GetErrInfo().RunDescription.toStdString();
        EXPECT_TRUE(iStack->Changed());
    }
    EXPECT_EQ(FileContent(name), old);
}

TEST_F(StackFileTest, ALengthThatDisagreesWithTheBytesFailsTheSave)
{
    const QString name = SavedRichStack();
    auto lying = std::make_shared<LyingViewRec>();
    lying->Contruct(QStringLiteral("V"));
    ExpectFailureLeavesFolder(
        EErrAssertFailed,
        [&] {
            CVexilStackFile file;
            file.Construct(name);
            file.SaveStack(iStack, lying);
        },
        "ExtLen");
    EXPECT_TRUE(CVexilError::GetErrInfo().Param2.startsWith(QStringLiteral("ExtLen")));
}

// A save killed while it writes leaves its new file beside the intact stack. The next opening
// or save of that stack removes it; the new file of a save still running in another process,
// those of other stacks and all other names stay.
TEST_F(StackFileTest, TheNextOpenOrSaveRemovesWhatKilledSavesLeft)
{
    const QString name = SavedRichStack();
    const QString content = Content(*iStack);
    const QByteArray stackBytes = FileContent(name);
    const QString others[] = {QStringLiteral(".Rich.Quorvan.tmp"),      QStringLiteral("Rich.Quorvan.abc.new"),
                              QStringLiteral(".Rich.Quorvan.ABC.new"),  QStringLiteral(".Rich.Quorvan..new"),
                              QStringLiteral(".Rich.Quorvan.a-c.new"),  QStringLiteral(".Rich.Quorvan.abcdefgh.new"),
                              QStringLiteral(".Rich.Quorvan.abc.new~"), QStringLiteral(".Rich.Quorva.abc.new")};
    for (const QString& other : others)
        SetFileContent(Path(other), "not a save's");
    struct TCase
    {
        const char* Name;
        std::function<void()> Do;
    } cases[] = {
        {"open", [&] { EXPECT_EQ(Content(*Load(name).Stack), content); }},
        {"save", [&] { Save(iStack, iView, name); }},
    };
    for (const TCase& c : cases)
    {
        // Each save removes the leftovers first: the running one starts before the others.
        SavingProcess running(name);
        SavingProcess killed(name);
        SavingProcess otherStack(Path(QStringLiteral("Other.Quorvan")));
        killed.Kill();
        otherStack.Kill();
        ASSERT_FALSE(killed.NewName().isEmpty() || otherStack.NewName().isEmpty() || running.NewName().isEmpty());
        auto expected = Folder();
        ASSERT_TRUE(expected.contains(killed.NewFileName())) << c.Name;
        EXPECT_EQ(expected.value(QStringLiteral("Rich.Quorvan")), stackBytes) << c.Name;
        expected.remove(killed.NewFileName());

        c.Do();
        EXPECT_EQ(Folder().keys(), expected.keys()) << c.Name;
        for (const QString& other : others)
            EXPECT_EQ(FileContent(Path(other)), "not a save's") << c.Name;

        // Killed in its turn, the other save left its file, which goes with the next one.
        running.Kill();
        c.Do();
        expected.remove(running.NewFileName());
        EXPECT_EQ(Folder().keys(), expected.keys()) << c.Name;
        QFile::remove(otherStack.NewName());
    }
}

TEST_F(StackFileTest, ReadOnlyFileOpensButIsNotOverwritten)
{
    const QString name = SavedRichStack();
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0444), 0);
    const TLoaded loaded = Load(name);
    loaded.Stack->SetName(QStringLiteral("Renamed"));
    ExpectFailureLeavesFolder(
        EErrNoFileAccess,
        [&] {
            CVexilStackFile file;
            file.Construct(name);
            file.SaveStack(loaded.Stack, loaded.View);
        },
        "read-only");
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, name);
    EXPECT_TRUE(loaded.Stack->Changed());
    ::chmod(QFile::encodeName(name).constData(), 0644);
}

// Another program puts a new file in the place of the open stack's: the stack's pictures still
// come from the file it was read from, and a save writes the open stack completely.
TEST_F(StackFileTest, AFileReplacedUnderneathCorruptsNothing)
{
    const QString name = SavedRichStack();
    const QString content = Content(*iStack);
    const TLoaded loaded = Load(name);

    auto stranger = std::make_shared<CVexilStack>();
    stranger->Construct(QStringLiteral("Stranger"));
    stranger->SetFlags(EStkBinary);
    const QString strangerName = Path(QStringLiteral("Stranger.Quorvan"));
    Save(stranger, iView, strangerName);
    ASSERT_TRUE(QFile::remove(name));
    ASSERT_TRUE(QFile::rename(strangerName, name));

    EXPECT_EQ(Content(*loaded.Stack), content);
    loaded.Stack->SetChanged(true);
    Save(loaded.Stack, loaded.View, name);
    EXPECT_EQ(Content(*Load(name).Stack), content);
}

TEST_F(StackFileTest, OpeningAStackMakesItCurrent)
{
    const QString name = SavedRichStack();
    iBroadcasts.iEvents.clear();
    CVexilStackHost::HandleLoadStack(name);
    EXPECT_EQ(iHost.iCalls, QStringList({QStringLiteral("release"), QStringLiteral("open Rich"),
                                         QStringLiteral("history ") + name}));
    ASSERT_TRUE(iHost.iStack);
    EXPECT_EQ(Content(*iHost.iStack), Content(*iStack));
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgStackOpened});
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(StackFileTest, OpeningReportsOrderCorrections)
{
    BuildRichStack();
    iStack->SetFlags(0);
    const QString name = Path(QStringLiteral("Order.xml"));
    Save(iStack, iView, name);
    // Cy and Ann swap their places in the stack order, against the sort key.
    QByteArray xml = FileContent(name);
    const std::pair<const char*, const char*> swaps[] = {
        {"orderNum=\"100\" name=\"Cy\"", "orderNum=\"50\" name=\"Cy\""},
        {"orderNum=\"50\" name=\"Ann\"", "orderNum=\"100\" name=\"Ann\""},
        {"<Elem intKey=\"50\" type=\"12\" int=\"1\">", "<Elem intKey=\"50\" type=\"12\" int=\"0\">"},
        {"<Elem intKey=\"100\" type=\"12\" int=\"0\">", "<Elem intKey=\"100\" type=\"12\" int=\"1\">"},
    };
    for (const auto& [find, replace] : swaps)
    {
        ASSERT_TRUE(xml.contains(find)) << find;
        xml.replace(find, replace);
    }
    SetFileContent(name, xml);
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilStackHost::HandleLoadStack(name);
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
    const TMsgPrompt& prompt = ScriptedPrompts::Instance().Messages().front();
    EXPECT_EQ(prompt.Id, EMsgOrderCorrections);
    EXPECT_EQ(prompt.Class, EMsgClsExclamation);
    EXPECT_EQ(prompt.Params.value(0), QStringLiteral("1"));
    ASSERT_TRUE(iHost.iStack);
    EXPECT_TRUE(iHost.iStack->Changed());
    TCardRef first;
    ASSERT_TRUE(iHost.iStack->OrderFirst(first));
    EXPECT_EQ(first->Name(), QStringLiteral("Ann"));
}

TEST_F(StackFileTest, AFileThatCannotBeOpenedLeavesTheCurrentStack)
{
    const QString foreign = Path(QStringLiteral("foreign.txt"));
    SetFileContent(foreign, "not a stack");
    struct TCase
    {
        QString Name;
        int32_t Message;
    };
    for (const TCase& c : {TCase{Path(QStringLiteral("missing.Quorvan")), EMsgFileNotFound},
                           TCase{foreign, EMsgNotAQuorvan}})
    {
        ScriptedPrompts::Instance().Reset();
        ScriptedPrompts::Instance().ExpectMessage();
        const auto before = Folder();
        CVexilStackHost::HandleLoadStack(c.Name);
        ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
        EXPECT_EQ(ScriptedPrompts::Instance().Messages().front().Id, c.Message);
        EXPECT_EQ(ScriptedPrompts::Instance().Messages().front().Params.value(0), c.Name);
        EXPECT_TRUE(iHost.iCalls.isEmpty());
        EXPECT_TRUE(iBroadcasts.iEvents.empty());
        EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
        EXPECT_EQ(Folder(), before);
    }
}
