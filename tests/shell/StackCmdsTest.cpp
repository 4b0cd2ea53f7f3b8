// The main window's commands on the current stack, run as the menu runs them, on the real card
// window: opening, saving, leaving the stack with the save prompt, deleting cards, importing and
// showing pictures; what they write, what they broadcast, and what arrives in their yields.

#include "../presentation/CardWindowUser.h"
#include "../presentation/RecordingWindows.h"
#include "../presentation/StackViewFixture.h"
#include "AssertAnswers.h"
#include "PictureBytes.h"
#include "TempRegistry.h"
#include "TestFiles.h"
#include "ValueBuild.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

#include <QCloseEvent>
#include <QDir>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
using namespace CardWindowUser;

// A managed window of a later part of the program, standing in to record the broadcasts: the
// kind, the card passed, and the cards of the current stack at that moment.
class Receiver : public CVexilForm
{
public:
    static constexpr const char* KName = "CVexilSearchForm";

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef&) override
    {
        static const char* const kKinds[] = {"StackOpened", "Structure",          "ValueType",    "Cards",
                                             "SortKeys",    "CardOrder",          "DeletingBackground",
                                             "ClosingStack", "StackClosed",       "DeletingCard"};
        QString entry = QLatin1String(kKinds[aEvent]);
        if (const auto card = std::dynamic_pointer_cast<CVexilCard>(aObj0))
            entry += QLatin1Char(' ') + card->Name();
        entry += gStack ? QStringLiteral(" [%1 cards]").arg(gStack->NumCards()) : QStringLiteral(" [no stack]");
        Log().append(entry);
        if (OnNotify)
            OnNotify(aEvent, aObj0);
    }

    static QStringList& Log()
    {
        static QStringList log;
        return log;
    }
    static inline std::function<void(int32_t, const TObjRef&)> OnNotify;
};

// The picture viewer as Show picture reaches it: by name.
class PictureViewer : public CVexilForm
{
    Q_OBJECT

public:
    static constexpr const char* KName = "CVexilPictureViewer";

    Q_INVOKABLE void ShowPicture(int aId) { Shown().push_back(aId); }

    static std::vector<int>& Shown()
    {
        static std::vector<int> shown;
        return shown;
    }
};

// The close box of a window: a close event from the window system.
bool UserClose(QWidget* aWindow)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    static_cast<QObject*>(aWindow)->event(&close);
    return close.isAccepted();
}

// The number a card holds in a field: an integer or a picture's id.
int32_t IntOf(const TCardRef& aCard, const TControlRef& aField)
{
    TValue value;
    aCard->GetControlVal(aField->Id(), value, false);
    return value.iInt;
}

// Every file of a folder, hidden ones too.
QStringList FolderContent(const QString& aFolder)
{
    return QDir(aFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                   QDir::Name);
}

// The stack of the fixture, with a picture field "Photo" that shows a picture on Adams, kept in
// the binary form (pictures in the file's free space), opened as the program opens a file.
class StackCmdsTest : public StackViewFixture
{
protected:
    static void SetUpTestSuite()
    {
        StackViewFixture::SetUpTestSuite();
        CVexilStackCmds::Install();
        CVexilWinMan::RegisterForms();
        CVexilFormRegistry::Register(QLatin1String(Receiver::KName), [] { return new Receiver; });
        CVexilFormRegistry::Register(QLatin1String(PictureViewer::KName), [] { return new PictureViewer; });
    }

    void SetUp() override
    {
        gFileHistory = {};
        gLoadDialogInitDir.clear();
        gImportPicDialogInitDir.clear();
        CVexilStackCmds::LoadDialog().InitDir.clear();
        CVexilStackCmds::ImportPicDialog().InitDir.clear();
        Receiver::OnNotify = nullptr;
        PictureViewer::Shown().clear();
        CVexilWinMan::NameToForm(QLatin1String(Receiver::KName));

        const TStackRef stack = BuildStack();
        TControlSetRef person;
        ASSERT_TRUE(stack->GetBackgroundByName(QStringLiteral("Person"), person));
        const TControlRef photo = AddField(*stack, *person, QStringLiteral("Photo"), EConTypePicture, 0, 4);
        const TBlobRef picture = NewBlob(*stack, kPicture);
        TCardRef adams;
        ASSERT_TRUE(stack->GetCard(QStringLiteral("Adams"), adams));
        adams->SetControlVal(photo->Id(), Val::Blob(picture->Id()));
        stack->SetFlags(stack->Flags() | EStkBinary);
        Open(stack, QStringLiteral("People.Quorvan"), 1);
        iPath = iDir.File(QStringLiteral("People.Quorvan"));
        iSaved = FileContent(iPath);
        ASSERT_FALSE(iSaved.isEmpty());
        Activate(Window());
        Receiver::Log().clear();
    }

    void TearDown() override
    {
        Receiver::OnNotify = nullptr;
        // Closing the stack leaves the field that still has the focus.
        if (gStackView && gStackView->CurObj())
            ScriptedPrompts::Instance().ExpectNotice();
        CloseStack();
        CVexilFormRegistry::Unload(QLatin1String(Receiver::KName));
        CVexilFormRegistry::Unload(QLatin1String(PictureViewer::KName));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The user types the age of the card shown and stays in the field.
    void TypeAge(const QString& aAge)
    {
        Type(Field(QStringLiteral("Person"), QStringLiteral("Age")), aAge);
        ASSERT_TRUE(HasFocus(Field(QStringLiteral("Person"), QStringLiteral("Age"))));
        ASSERT_FALSE(gStack->Changed()) << "the edit is not stored before the field is left";
    }

    // What a stack file holds: Adams's age and the bytes of his picture.
    struct TFileView
    {
        int32_t Age = 0;
        QByteArray Picture;
    };
    static TFileView Read(const QString& aFileName)
    {
        TStackRef stack;
        TStackViewRecRef view;
        CVexilStackFile file;
        file.Construct(aFileName);
        file.LoadStack(stack, view);
        TFileView seen;
        TCardRef adams;
        TControlSetRef person;
        TControlRef age;
        TControlRef photo;
        if (!stack->GetCard(QStringLiteral("Adams"), adams) ||
            !stack->GetBackgroundByName(QStringLiteral("Person"), person) ||
            !person->GetControlByName(QStringLiteral("Age"), age) ||
            !person->GetControlByName(QStringLiteral("Photo"), photo))
            return seen;
        seen.Age = IntOf(adams, age);
        if (const TBlobRef blob = stack->BlobStore()->ReadBlob(IntOf(adams, photo)))
            seen.Picture = blob->Bytes();
        stack->BlobStore()->CloseFile();
        return seen;
    }

    static inline const QByteArray kPicture = QtPictureBytes(QuarterImage(40, 30), "PNG");

    TempRegistry iRegistry;
    QString iPath;
    QByteArray iSaved;
};

TEST_F(StackCmdsTest, ClosingAChangedStackFollowsTheAnswerOfTheSavePrompt)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    ASSERT_EQ(gFileHistory[0], iPath);
    // The edit is stored before the question ("closeField"); the field is left once more by
    // the save and by the closing card window ("exitField").
    const struct
    {
        int16_t Answer;
        bool Closed;
        int32_t AgeInFile;
        QStringList Said;
    } cases[] = {{1, true, 20, {"closeField", "exitField"}},
                 {2, false, 20, {"closeField"}},
                 {0, true, 42, {"closeField", "exitField", "exitField"}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Answer);
        if (!gStack)
            Answers(1, [] { CVexilStackCmds::OpenRecent(0); });
        ASSERT_TRUE(gStack);
        ASSERT_EQ(gStack->Filename(), iPath);
        const QByteArray before = FileContent(iPath);
        Activate(Window());
        TypeAge(QStringLiteral("42"));
        Receiver::Log().clear();
        const int asked = prompts.SavePrompts();
        prompts.ExpectSaveChanges(c.Answer);
        EXPECT_EQ(Answers(int(c.Said.size()), [] { CVexilStackCmds::Close(); }), c.Said);
        EXPECT_EQ(prompts.SavePrompts(), asked + 1);
        EXPECT_EQ(gStack == nullptr, c.Closed);
        EXPECT_EQ(gStackView == nullptr, c.Closed);
        EXPECT_EQ(Read(iPath).Age, c.AgeInFile);
        EXPECT_EQ(Read(iPath).Picture, kPicture);
        if (c.Answer == 1)
        {
            EXPECT_EQ(FileContent(iPath), before);
        }
        EXPECT_EQ(FolderContent(iDir.Path()), QStringList{QStringLiteral("People.Quorvan")});
        if (c.Closed)
        {
            EXPECT_EQ(Receiver::Log(), QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]"}));
            EXPECT_EQ(Window(), nullptr);
        }
        else
        {
            EXPECT_TRUE(Receiver::Log().isEmpty());
            EXPECT_TRUE(gStack->Changed());
            EXPECT_EQ(CurName(), QStringLiteral("Adams"));
            EXPECT_NE(Window(), nullptr);
            // Discard for the next case, which opens the file again.
            prompts.ExpectSaveChanges(1);
            Answers(2, [] { CVexilStackCmds::Close(); });
            ASSERT_FALSE(gStack);
        }
    }
}

TEST_F(StackCmdsTest, AnUnchangedStackClosesWithoutAQuestion)
{
    CVexilStackCmds::Close();
    EXPECT_FALSE(gStack);
    EXPECT_EQ(ScriptedPrompts::Instance().SavePrompts(), 0);
    EXPECT_EQ(Receiver::Log(), QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]"}));
    EXPECT_EQ(FileContent(iPath), iSaved);
    // Nothing to close: nothing is asked or broadcast.
    EXPECT_FALSE(CVexilDialogLib::CloseCurrentStack());
    bool proceed = false;
    bool saveFirst = true;
    CVexilDialogLib::CheckLeaveStack(proceed, saveFirst);
    EXPECT_TRUE(proceed);
    EXPECT_FALSE(saveFirst);
    EXPECT_EQ(Receiver::Log().size(), 2);
}

TEST_F(StackCmdsTest, AnAnswerThePromptDoesNotGiveIsAFaultAndLeavesWithoutSaving)
{
    TypeAge(QStringLiteral("42"));
    ScriptedPrompts::Instance().ExpectSaveChanges(3);
    IgnoredAssert fault(QStringLiteral("CheckLeaveStack iDialogRes 3"));
    Answers(2, [] { CVexilStackCmds::Close(); });
    EXPECT_FALSE(gStack);
    EXPECT_EQ(FileContent(iPath), iSaved);
}

TEST_F(StackCmdsTest, SaveStoresTheValueOnScreen)
{
    TypeAge(QStringLiteral("42"));
    EXPECT_EQ(Answers(1, [] { CVexilStackCmds::Save(); }), QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(Read(iPath).Age, 42);
    EXPECT_EQ(Read(iPath).Picture, kPicture);
    EXPECT_FALSE(gStack->Changed());
    EXPECT_EQ(FolderContent(iDir.Path()), QStringList{QStringLiteral("People.Quorvan")});
    // Save neither broadcasts nor touches the recent files.
    EXPECT_TRUE(Receiver::Log().isEmpty());
    EXPECT_EQ(gFileHistory[0], iPath);
    EXPECT_TRUE(gFileHistory[1].isEmpty());
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
}

// A save that fails keeps the stack open with its changes, the old file as it was and no
// file beside it, however the writing fails.
TEST_F(StackCmdsTest, AFailedSaveKeepsTheStackOpenAndTheOldFile)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    struct TCase
    {
        const char* What;
        std::function<void()> Block;
        std::function<void()> Unblock;
    };
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    const QByteArray folder = QFile::encodeName(iDir.Path());
    const QByteArray file = QFile::encodeName(iPath);
    std::vector<TCase> cases = {
        {"read-only file", [&] { ::chmod(file.constData(), 0444); }, [&] { ::chmod(file.constData(), 0644); }},
        // The kernel stops the write at the limit; the program ignores the signal it sends.
        {"file size limit",
         [&] {
             std::signal(SIGXFSZ, SIG_IGN);
             rlimit small = unlimited;
             small.rlim_cur = rlim_t(iSaved.size() / 2);
             ::setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); }},
    };
    // A folder without write permission holds back everybody but the superuser.
    if (::geteuid() != 0)
        cases.push_back({"read-only folder", [&] { ::chmod(folder.constData(), 0555); },
                         [&] { ::chmod(folder.constData(), 0755); }});
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.What);
        Activate(Window());
        TypeAge(QStringLiteral("42"));
        Receiver::Log().clear();
        c.Block();
        prompts.ExpectSaveChanges(0);
        prompts.ExpectMessage();
        Answers(2, [] { CVexilStackCmds::Close(); });
        c.Unblock();
        EXPECT_EQ(prompts.Pending(), 0);
        ASSERT_TRUE(gStack);
        EXPECT_TRUE(gStack->Changed());
        EXPECT_EQ(IntOf(gStackView->CurCard(), Field("Person", "Age")), 42);
        EXPECT_EQ(FileContent(iPath), iSaved);
        EXPECT_EQ(FolderContent(iDir.Path()), QStringList{QStringLiteral("People.Quorvan")});
        EXPECT_TRUE(Receiver::Log().isEmpty());
        EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
        // Back to the file's state for the next way.
        gStackView->CurCard()->SetControlVal(Field("Person", "Age")->Id(), Val::Int(20));
        gStack->SetChanged(false);
    }
}

TEST_F(StackCmdsTest, SaveAsRightAfterTypingKeepsTheOldFileAndWritesEverythingToTheNew)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    TypeAge(QStringLiteral("42"));
    // A bare name: the dialog adds the stack files' extension.
    prompts.ExpectFile(iDir.File(QStringLiteral("Copy")));
    EXPECT_EQ(Answers(1, [] { CVexilStackCmds::SaveAs(); }), QStringList{QStringLiteral("closeField")});
    const QString copy = iDir.File(QStringLiteral("Copy.Quorvan"));

    const TFileDialogPrompt& dialog = prompts.FileDialogs().back();
    EXPECT_EQ(dialog.Title, QStringLiteral("Open Stack"));
    EXPECT_EQ(dialog.DefaultExt, QStringLiteral("Quorvan"));
    EXPECT_EQ(dialog.Filter, QStringLiteral("Quorvan (*.Quorvan)|*.Quorvan|All Files (*.*)|*"));
    EXPECT_EQ(dialog.Flags, TFileDialogPrompt::KOverwritePrompt);
    EXPECT_TRUE(dialog.Save);

    EXPECT_EQ(FileContent(iPath), iSaved);
    EXPECT_EQ(Read(copy).Age, 42);
    EXPECT_EQ(Read(copy).Picture, kPicture);
    EXPECT_EQ(gStack->Filename(), copy);
    EXPECT_FALSE(gStack->Changed());
    EXPECT_EQ(gFileHistory[0], copy);
    EXPECT_EQ(gFileHistory[1], iPath);
    EXPECT_EQ(Receiver::Log(), QStringList{QStringLiteral("StackOpened [12 cards]")});
    EXPECT_EQ(FolderContent(iDir.Path()), QStringList({"Copy.Quorvan", "People.Quorvan"}));

    // The new file is the stack's file from now on.
    Activate(Window());
    TypeAge(QStringLiteral("43"));
    Answers(1, [] { CVexilStackCmds::Save(); });
    EXPECT_EQ(Read(copy).Age, 43);
    EXPECT_EQ(Read(copy).Picture, kPicture);
    EXPECT_EQ(FileContent(iPath), iSaved);
}

TEST_F(StackCmdsTest, AStackWithoutFileIsSavedUnderANameAfterItsValueIsStored)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    // As a new stack: no file, no change.
    gStack->SetFilename(QString());
    gStack->SetChanged(false);
    TypeAge(QStringLiteral("42"));

    // Cancelled: the value is stored, the stack stays changed, nothing is written or said.
    prompts.ExpectFile(std::nullopt);
    EXPECT_EQ(Answers(1, [] { CVexilStackCmds::Save(); }), QStringList{QStringLiteral("closeField")});
    EXPECT_TRUE(gStack->Changed());
    EXPECT_EQ(IntOf(gStackView->CurCard(), Field("Person", "Age")), 42);
    EXPECT_TRUE(Receiver::Log().isEmpty());

    // Close with Save and the save dialog cancelled keeps the stack open and changed.
    prompts.ExpectSaveChanges(0);
    prompts.ExpectFile(std::nullopt);
    Answers(2, [] { CVexilStackCmds::Close(); });
    ASSERT_TRUE(gStack);
    EXPECT_TRUE(gStack->Changed());
    EXPECT_TRUE(Receiver::Log().isEmpty());

    const QString named = iDir.File(QStringLiteral("Named.Quorvan"));
    prompts.ExpectFile(named);
    Answers(1, [] { CVexilStackCmds::Save(); });
    EXPECT_EQ(prompts.FileDialogs().back().Flags, TFileDialogPrompt::KOverwritePrompt);
    EXPECT_EQ(Read(named).Age, 42);
    EXPECT_EQ(Read(named).Picture, kPicture);
    EXPECT_EQ(gStack->Filename(), named);
    EXPECT_FALSE(gStack->Changed());
    EXPECT_EQ(gFileHistory[0], named);
}

TEST_F(StackCmdsTest, OpenLeavesTheStackThroughThePromptAndMovesTheFolderOption)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    gLoadDialogInitDir = QStringLiteral("/stacks");
    const TStackRef other = BuildStack();
    TempDir otherDir;
    const QString otherPath = otherDir.File(QStringLiteral("Other.xml"));
    {
        CVexilStackFile file;
        file.Construct(otherPath);
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        file.SaveStack(other, rec);
    }

    // Back to Stack: nothing is opened and the folder option stays.
    TypeAge(QStringLiteral("42"));
    prompts.ExpectFile(otherPath);
    prompts.ExpectSaveChanges(2);
    Answers(1, [] { CVexilStackCmds::Open(); });
    const TFileDialogPrompt& dialog = prompts.FileDialogs().back();
    EXPECT_EQ(dialog.Title, QStringLiteral("Open Stack"));
    EXPECT_EQ(dialog.Flags, TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist);
    EXPECT_FALSE(dialog.Save);
    EXPECT_EQ(dialog.InitDir, QStringLiteral("/stacks"));
    EXPECT_EQ(gStack->Filename(), iPath);
    EXPECT_EQ(gLoadDialogInitDir, QStringLiteral("/stacks"));
    EXPECT_TRUE(Receiver::Log().isEmpty());

    // Discard: the other stack is opened.
    prompts.ExpectFile(otherPath);
    prompts.ExpectSaveChanges(1);
    Answers(3, [] { CVexilStackCmds::Open(); });
    ASSERT_TRUE(gStack);
    EXPECT_EQ(gStack->Filename(), otherPath);
    EXPECT_EQ(CurName(), QStringLiteral("Adams"));
    EXPECT_EQ(gLoadDialogInitDir, otherDir.Path());
    EXPECT_EQ(gFileHistory[0], otherPath);
    EXPECT_EQ(gFileHistory[1], iPath);
    EXPECT_EQ(Receiver::Log(),
              QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]", "StackOpened [12 cards]"}));
    EXPECT_EQ(FileContent(iPath), iSaved);

    // Cancelled: nothing happens.
    prompts.ExpectFile(std::nullopt);
    CVexilStackCmds::Open();
    EXPECT_EQ(gStack->Filename(), otherPath);
}

TEST_F(StackCmdsTest, AFileThatCannotBeOpenedLeavesNoStackAndTheFolderMoved)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    TempDir badDir;
    const QString bad = SetFileContent(badDir.File(QStringLiteral("Bad.Quorvan")), "not a stack");
    prompts.ExpectFile(bad);
    prompts.ExpectMessage();
    CVexilStackCmds::Open();
    EXPECT_EQ(prompts.Messages().back().Id, EErrNotAQuorvan);
    EXPECT_FALSE(gStack);
    EXPECT_FALSE(gStackView);
    EXPECT_EQ(gLoadDialogInitDir, badDir.Path());
    EXPECT_EQ(gFileHistory[0], iPath);
    EXPECT_TRUE(gFileHistory[1].isEmpty());
    EXPECT_EQ(Receiver::Log(), QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]"}));

    // A recent file that is gone: message 1005, it stays in the list.
    QFile::remove(iPath);
    prompts.ExpectMessage();
    CVexilStackCmds::OpenRecent(0);
    EXPECT_EQ(prompts.Messages().back().Id, EErrFileNotFound);
    EXPECT_FALSE(gStack);
    EXPECT_EQ(gFileHistory[0], iPath);
    // An item that names no file does nothing.
    CVexilStackCmds::OpenRecent(1);
    CVexilStackCmds::OpenRecent(7);
    EXPECT_EQ(prompts.Pending(), 0);
}

TEST_F(StackCmdsTest, DeleteCardAsksAndTellsTheWindowsWhileTheCardExists)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    const TCardRef adams = Card(QStringLiteral("Adams"));
    prompts.ExpectMessage(false);
    CVexilStackCmds::DeleteCard();
    EXPECT_EQ(prompts.Messages().back().Text, QStringLiteral("Delete card 'Adams'?"));
    EXPECT_EQ(gStack->NumCards(), 12);
    EXPECT_TRUE(Receiver::Log().isEmpty());

    prompts.ExpectMessage(true);
    Answers(1, [] { CVexilStackCmds::DeleteCard(); });  // "exitField", "openCard Baker"
    EXPECT_EQ(Receiver::Log(), QStringList{QStringLiteral("DeletingCard Adams [12 cards]")});
    EXPECT_EQ(gStack->NumCards(), 11);
    EXPECT_NE(gStack->GetCardById(adams->Id()), adams);
    EXPECT_EQ(CurName(), QStringLiteral("Baker"));
    EXPECT_TRUE(gStack->Changed());

    // A window that deletes the card itself while it is told: the command leaves it at that.
    Receiver::Log().clear();
    Receiver::OnNotify = [](int32_t aEvent, const TObjRef& aObj) {
        if (aEvent == EChgDeletingCard)
            gStackView->DeleteCard(std::static_pointer_cast<CVexilCard>(aObj), nullptr);
    };
    prompts.ExpectMessage(true);
    Answers(1, [] { CVexilStackCmds::DeleteCard(); });
    EXPECT_EQ(gStack->NumCards(), 10);
    EXPECT_EQ(CurName(), QStringLiteral("Clark"));
    EXPECT_EQ(prompts.Pending(), 0);
}

TEST_F(StackCmdsTest, DeleteAllEmptiesTheStackThenTellsTheWindows)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(false);
    CVexilStackCmds::EmptyStack();
    EXPECT_EQ(prompts.Messages().back().Text, QStringLiteral("Delete all cards?"));
    EXPECT_EQ(gStack->NumCards(), 12);
    EXPECT_TRUE(Receiver::Log().isEmpty());

    prompts.ExpectMessage(true);
    CVexilStackCmds::EmptyStack();
    EXPECT_EQ(Receiver::Log(), QStringList{QStringLiteral("Cards [0 cards]")});
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
    // No card: no active field, nothing to delete.
    EXPECT_EQ(CVexilStackCmds::GetActiveVexilControl(), nullptr);
    CVexilStackCmds::DeleteCard();
    EXPECT_EQ(prompts.Pending(), 0);
}

// Commands and close requests that arrive while the stack is being left are refused: the
// stack is closed once, and nothing works on a stack half gone.
TEST_F(StackCmdsTest, CommandsAndCloseRequestsDuringTheClosingBroadcastAreRefused)
{
    RecordingWindows windows;
    windows.iOnClose = [] { return !CVexilDialogLib::CloseCurrentStack(); };
    std::vector<bool> stillOpen;
    std::optional<bool> windowClosed;
    Receiver::OnNotify = [&](int32_t aEvent, const TObjRef&) {
        if (aEvent == EChgStackClosed)
            stillOpen.push_back(CVexilDialogLib::CloseCurrentStack());
        if (aEvent != EChgClosingStack)
            return;
        // In the broadcast itself, and once more in the yield after it.
        CVexilStackCmds::Close();
        CVexilStackCmds::Open();
        CVexilStackCmds::Save();
        stillOpen.push_back(CVexilDialogLib::CloseCurrentStack());
        windowClosed = UserClose(Window());
        QTimer::singleShot(0, [&] {
            CVexilStackCmds::Close();
            stillOpen.push_back(CVexilDialogLib::CloseCurrentStack());
        });
    };
    CVexilStackCmds::Close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(gStack);
    EXPECT_EQ(Receiver::Log(), QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]"}));
    // Refused also once the stack is gone, until the closing broadcast is over.
    EXPECT_EQ(stillOpen, std::vector<bool>({true, true, true}));
    EXPECT_EQ(windowClosed, std::optional<bool>(false));
    EXPECT_FALSE(CVexilStackCmds::Busy());

    // Outside any command a close request is served again.
    Answers(1, [] { CVexilStackCmds::OpenRecent(0); });
    ASSERT_TRUE(gStack);
    {
        const CVexilStackCmds::TBusy busy;
        EXPECT_TRUE(CVexilDialogLib::CloseCurrentStack());
        EXPECT_TRUE(gStack);
    }
    EXPECT_FALSE(CVexilDialogLib::CloseCurrentStack());
    EXPECT_FALSE(gStack);
}

TEST_F(StackCmdsTest, AScriptRunningWhenTheStackIsLeftIsStoppedBeforeTheViewsGo)
{
    const TControlRef next = Field(QStringLiteral("Person"), QStringLiteral("Next"));
    SetScript(*next, {QStringLiteral("On select"), QStringLiteral("Repeat While 1 = 1"), QStringLiteral("End Repeat"),
                      QStringLiteral("End")});
    gStack->SetChanged(false);
    bool ranWhenLeft = false;
    QTimer::singleShot(0, [&] {
        ranWhenLeft = gInterpreter->Running();
        CVexilStackCmds::Close();
    });
    QTest::mouseClick(qobject_cast<QWidget*>(next->BaseControl()), Qt::LeftButton);
    EXPECT_TRUE(ranWhenLeft);
    EXPECT_FALSE(gStack);
    EXPECT_FALSE(gInterpreter->Running());
    EXPECT_EQ(Receiver::Log(), QStringList({"ClosingStack [12 cards]", "StackClosed [no stack]"}));
}

TEST_F(StackCmdsTest, ThePictureOfTheActiveFieldIsImportedAndShownInFull)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    const TControlRef photo = Field(QStringLiteral("Person"), QStringLiteral("Photo"));
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));

    // Only a picture field takes a picture.
    ClickInto(age);
    EXPECT_EQ(CVexilStackCmds::GetActiveVexilControl(), age);
    EXPECT_EQ(CVexilStackCmds::PictureToShow(), UndefLong);
    CVexilStackCmds::ImportPicFile();
    CVexilStackCmds::ShowPicture();
    EXPECT_TRUE(prompts.FileDialogs().empty());

    // A picture within the sample size is shown itself.
    Answers(1, [&] { ClickInto(photo); });  // the "exitField" of the age
    ASSERT_EQ(CVexilStackCmds::GetActiveVexilControl(), photo);
    const int32_t small = IntOf(Card(QStringLiteral("Adams")), photo);
    EXPECT_EQ(CVexilStackCmds::PictureToShow(), small);

    // A large one becomes the value through its sample; the full picture is shown.
    gImportPicDialogInitDir = QStringLiteral("/pictures");
    TempDir pictures;
    const QString large = SetFileContent(pictures.File(QStringLiteral("large.png")),
                                         QtPictureBytes(QuarterImage(640, 480), "PNG"));
    prompts.ExpectFile(large);
    CVexilStackCmds::ImportPicFile();
    const TFileDialogPrompt& dialog = prompts.FileDialogs().back();
    EXPECT_EQ(dialog.Title, QStringLiteral("Import Picture"));
    EXPECT_EQ(dialog.DefaultExt, QStringLiteral("gif"));
    EXPECT_EQ(dialog.Filter,
              QStringLiteral("Pictures (*.gif;*.jpg;*.jpeg;*.png;*.bmp)|*.gif;*.jpg;*.jpeg;*.png;*.bmp|All Files (*.*)|*"));
    EXPECT_EQ(dialog.Flags, TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist);
    EXPECT_EQ(dialog.InitDir, QStringLiteral("/pictures"));
    EXPECT_EQ(gImportPicDialogInitDir, pictures.Path());

    const int32_t sampleId = IntOf(Card(QStringLiteral("Adams")), photo);
    const TBlobRef sample = gStack->BlobStore()->ReadBlob(sampleId);
    ASSERT_TRUE(sample);
    ASSERT_NE(sample->OriginalId(), UndefLong);
    EXPECT_EQ(FileContent(large), gStack->BlobStore()->ReadBlob(sample->OriginalId())->Bytes());
    ClickInto(photo);
    EXPECT_EQ(CVexilStackCmds::PictureToShow(), sample->OriginalId());
    CVexilStackCmds::ShowPicture();
    EXPECT_EQ(PictureViewer::Shown(), std::vector<int>{sample->OriginalId()});
    EXPECT_TRUE(CVexilWinMan::IsFormLoaded(QLatin1String(PictureViewer::KName)));

    // A picture field that shows no picture shows nothing.
    PictureViewer::Shown().clear();
    Answers(1, [] { gStackView->GoToCard(Card(QStringLiteral("Baker"))); });
    ClickInto(photo);
    ASSERT_EQ(CVexilStackCmds::GetActiveVexilControl(), photo);
    EXPECT_EQ(CVexilStackCmds::PictureToShow(), UndefLong);
    CVexilStackCmds::ShowPicture();
    EXPECT_TRUE(PictureViewer::Shown().empty());
}
}  // namespace

#include "StackCmdsTest.moc"
