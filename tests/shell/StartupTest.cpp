// The start of the program and its end: the options, the stack the command line or the
// auto-load option names, the welcome window, the transfer server's port, the close query and
// what is stored when the program ends.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "foundation/VexilMsg.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "presentation/VexilFormPlacement.h"
#include "shell/VexilOptions.h"
#include "shell/VexilWelcome.h"
#include "transfer/VexilHttpServer.h"

#include <QFile>
#include <QMdiArea>
#include <QSettings>
#include <QTcpServer>

namespace
{
using namespace CardWindowUser;

QByteArray Bytes(const QString& aPath)
{
    QFile file(aPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The working folder for the lifetime of the object.
class CurrentFolderScope
{
public:
    explicit CurrentFolderScope(const QString& aFolder) : iOld(QDir::currentPath()) { QDir::setCurrent(aFolder); }
    ~CurrentFolderScope() { QDir::setCurrent(iOld); }

private:
    QString iOld;
};

TEST(CommandLine, TheFirstArgumentTrimmedUnquotedAndMadeAbsolute)
{
    const QString here = QStringLiteral("/home/me/work");
    const struct
    {
        QStringList Arguments;
        std::optional<QString> Stack;
    } cases[] = {
        {{}, std::nullopt},
        {{"quorvans"}, std::nullopt},
        {{"quorvans", "   "}, std::nullopt},
        {{"quorvans", "/data/a.Quorvan"}, "/data/a.Quorvan"},
        {{"quorvans", "a.Quorvan", "b.Quorvan"}, "/home/me/work/a.Quorvan"},
        {{"quorvans", "../stacks/./a.Quorvan"}, "/home/me/stacks/a.Quorvan"},
        {{"quorvans", "  \"/my stacks/a b.Quorvan\"  "}, "/my stacks/a b.Quorvan"},
        // The text between the quotes stays as it is, blanks and inner quotes too.
        {{"quorvans", "\" x \"y\" \""}, "/home/me/work/ x \"y\" "},
        {{"quorvans", "\"\"/a\"\""}, "/home/me/work/\"/a\""},
        // A quote at one end only, or a lone quote, is part of the name.
        {{"quorvans", "\"/data/a.Quorvan"}, "/home/me/work/\"/data/a.Quorvan"},
        {{"quorvans", "/data/a.Quorvan\""}, "/data/a.Quorvan\""},
        {{"quorvans", " \" "}, "/home/me/work/\""},
        // Nothing between the quotes names no file, yet the command line named one.
        {{"quorvans", "\"\""}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilWinMan::CommandLineStack(c.Arguments, here), c.Stack) << c.Arguments.join(u'|').toStdString();
}

class StartupTest : public ProgramFixture
{
protected:
    static CVexilForm* Welcome() { return Loaded(CVexilWelcome::KClassName); }

    // The values of a section as the settings file holds them.
    QStringList Keys(const QString& aSection) const
    {
        QSettings file(SettingsFile(), QSettings::IniFormat);
        file.beginGroup(QStringLiteral("1.x/") + aSection);
        return file.childKeys();
    }
    static QString FrameRect()
    {
        const CVexilFrame* frame = Frame();
        return CVexilFormPlacement::RectToStr({frame->Left(), frame->Top(), frame->Width(), frame->Height()});
    }
    // An auto-load stack named before the start.
    void SetAutoLoad(const QString& aPath) const
    {
        CVexilReg::SetFileName(SettingsFile());
        CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("AutoLoadName"), aPath);
    }
};

TEST_F(StartupTest, AnEmptyStoreGivesTheDefaultsAndAWelcomeThatClosesItself)
{
    Start();
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->Caption(), KTitle);
    EXPECT_TRUE(gShowWelcome);
    EXPECT_TRUE(gCsvDetectTypes && gCsvGuessKey && gCsvTryCardName);
    EXPECT_FALSE(gSuppressFontInfo);
    EXPECT_EQ(gStackFolder, QDir::toNativeSeparators(StackFolder()));
    EXPECT_EQ(gAutoLoadName, QString());
    EXPECT_EQ(gFileHistory, TFileHistory());
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Frame()->StatusPanel(3), QStringLiteral("Stack transfer server waiting"));

    // Without a stack only a new or another stack can be had.
    EXPECT_EQ(EnabledButtons(), QStringList({"NewStack", "OpenStack"}));
    EXPECT_FALSE(Item(QStringLiteral("fCmd"))->isEnabled());
    EXPECT_EQ(EnabledItems(QStringLiteral("fStack")), QStringList({"fOpenStack", "fOpenRecent", "fNewStack", "fImport"}));

    // The welcome window opens in the main window's area and goes by itself.
    CVexilForm* welcome = Welcome();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    ASSERT_NE(welcome->SubWindow(), nullptr);
    EXPECT_EQ(welcome->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_TRUE(QTest::qWaitFor([] { return Welcome() == nullptr; }, 10 * KWelcomeInterval));

    // The end stores every option, the recent files and the main window's placement.
    Frame()->Move(1500, 900, 9000, 7500);
    Frame()->fClose_Click();
    EXPECT_EQ(iEnded, std::vector<int>{0});
    EXPECT_EQ(Keys(CVexilReg::KOptions).size(), 24);
    EXPECT_EQ(Setting(CVexilReg::KOptions, QStringLiteral("ShowWelcome")), QStringLiteral("True"));
    EXPECT_EQ(Setting(CVexilReg::KOptions, QStringLiteral("StackFolder")), gStackFolder);
    EXPECT_EQ(Setting(CVexilReg::KWindows, CVexilFrame::KClassName), QStringLiteral("1500,900,9000,7500"));
}

TEST_F(StartupTest, TheNextStartTakesTheStoredPlacementAndOptions)
{
    CVexilReg::SetFileName(SettingsFile());
    CVexilReg::PutVal(CVexilReg::KWindows, CVexilFrame::KClassName, QStringLiteral("1500,900,9000,7500"));
    CVexilOptions::PutBoolOption(QStringLiteral("ShowWelcome"), false);
    Start();
    EXPECT_EQ(FrameRect(), QStringLiteral("1500,900,9000,7500"));
    // No welcome when the user turned it off; the area is empty.
    EXPECT_EQ(Welcome(), nullptr);
    EXPECT_TRUE(Frame()->DocumentArea()->subWindowList().isEmpty());
}

TEST_F(StartupTest, ACommandLineStackOpensWithoutTheWelcomeAndEntersTheRecentFiles)
{
    const QString path = MakeStack(QStringLiteral("People.Quorvan"));
    const CurrentFolderScope folder(iDir.Path());
    // Relative, quoted and with blanks around, as a shell may hand it over.
    Start({QStringLiteral("  \"Documents/Quorvans/People.Quorvan\" ")});
    ASSERT_NE(gStack, nullptr);
    EXPECT_EQ(gStack->Filename(), path);
    EXPECT_EQ(Frame()->Caption(), KTitle + QStringLiteral(" - ") + path);
    EXPECT_EQ(Welcome(), nullptr);
    EXPECT_EQ(gFileHistory[0], path);
    ASSERT_NE(CardWindow(), nullptr);
    EXPECT_EQ(CardWindow()->SubWindow()->mdiArea(), Frame()->DocumentArea());
    EXPECT_EQ(EnabledButtons().size(), 13);

    Frame()->fClose_Click();
    EXPECT_EQ(iEnded, std::vector<int>{0});
    EXPECT_EQ(Setting(CVexilReg::KOptions, QStringLiteral("FileHistory0")), path);
}

TEST_F(StartupTest, AMissingCommandLineStackIsReportedAndStillKeepsTheWelcomeAway)
{
    const CurrentFolderScope folder(iDir.Path());
    ScriptedPrompts::Instance().ExpectMessage();
    Start({QStringLiteral("Missing.Quorvan")});
    const TMsgPrompt& message = ScriptedPrompts::Instance().Messages().back();
    EXPECT_EQ(message.Id, EMsgFileNotFound);
    EXPECT_TRUE(message.Text.endsWith(QDir(iDir.Path()).filePath(QStringLiteral("Missing.Quorvan"))));
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Welcome(), nullptr);
    EXPECT_EQ(Frame()->Caption(), KTitle);
    EXPECT_EQ(gFileHistory[0], QString());
}

TEST_F(StartupTest, AnAutoLoadStackOpensOrIsReportedAndTheProgramRunsWithTheWelcome)
{
    const struct
    {
        const char* What;
        QString Path;
        int32_t Message;  // 0: none
    } cases[] = {
        {"a stack", MakeStack(QStringLiteral("Auto.Quorvan"), true), 0},
        {"a missing file", iDir.File(QStringLiteral("Gone.Quorvan")), EMsgFileNotFound},
        {"not a stack", iDir.File(QStringLiteral("Text.Quorvan")), EMsgNotAQuorvan},
        {"a binary stack cut short", iDir.File(QStringLiteral("Cut.Quorvan")), EMsgBadStruct},
    };
    {
        QFile text(cases[2].Path);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("Name;Age\r\nAnna;31\r\n");
        QFile cut(cases[3].Path);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(Bytes(cases[0].Path).left(40));
    }
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        SetAutoLoad(c.Path);
        if (c.Message)
            ScriptedPrompts::Instance().ExpectMessage();
        Start();
        if (c.Message)
        {
            EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, c.Message);
        }
        EXPECT_EQ(gStack != nullptr, c.Message == 0);
        EXPECT_EQ(Frame()->Caption(), c.Message ? KTitle : KTitle + QStringLiteral(" - ") + c.Path);
        EXPECT_NE(Welcome(), nullptr);
        EXPECT_TRUE(Frame()->isVisible());
        Stop();
    }
}

TEST_F(StartupTest, APortInUseIsToldAndTheProgramRunsOnAndEndsCleanly)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    TMainOptions options = Options();
    options.Port = other.serverPort();
    StartProgram(options);
    EXPECT_TRUE(Frame()->StatusPanel(3).startsWith(QStringLiteral("Socket error: ")));
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    prompts.ExpectNotice();
    // The message comes once the program runs.
    EXPECT_TRUE(QTest::qWaitFor([&prompts] { return prompts.Pending() == 0; }, 2000));
    ASSERT_FALSE(prompts.Notices().isEmpty());
    const QString notice = prompts.Notices().back();
    EXPECT_TRUE(notice.contains(QStringLiteral("cannot listen on port %1").arg(other.serverPort()))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("Socket error: "))) << notice.toStdString();

    // The program works on without the server.
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(EnabledItems(QStringLiteral("fStack")), QStringList({"fOpenStack", "fOpenRecent", "fNewStack", "fImport"}));
    Frame()->fClose_Click();
    EXPECT_EQ(iEnded, std::vector<int>{0});
    EXPECT_EQ(Keys(CVexilReg::KOptions).size(), 24);
}

TEST_F(StartupTest, TheCloseBoxAsksWithTheRealSavePromptAndBackToStackKeepsTheProgram)
{
    const QString path = MakeStack(QStringLiteral("People.Quorvan"));
    const QByteArray saved = Bytes(path);
    TMainOptions options = Options({path});
    options.Prompts = nullptr;
    StartProgram(options);
    ASSERT_NE(gStack, nullptr);
    Activate(Frame());

    // A value typed and not yet stored counts as a change.
    TControlRef age;
    ASSERT_TRUE(gStack->Background(0)->GetControlByName(QStringLiteral("Age"), age));
    Type(age, QStringLiteral("31"));

    // The prompt's own close box goes back to the stack.
    WhenBoxShows([](QDialog& aBox) {
        EXPECT_EQ(aBox.objectName(), QStringLiteral("CVexilSave"));
        EXPECT_TRUE(UserClose(&aBox));
    });
    EXPECT_FALSE(UserClose(Frame()));
    EXPECT_TRUE(iEnded.empty());
    ASSERT_NE(gStack, nullptr);
    EXPECT_TRUE(gStack->Changed());
    EXPECT_TRUE(Frame()->isVisible());

    WhenBoxShows(Click("fDiscardBut"));
    EXPECT_TRUE(UserClose(Frame()));
    EXPECT_EQ(iEnded, std::vector<int>{0});
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Bytes(path), saved);
    EXPECT_EQ(Setting(CVexilReg::KOptions, QStringLiteral("FileHistory0")), path);
    EXPECT_FALSE(Setting(CVexilReg::KWindows, CVexilFrame::KClassName).isEmpty());
}

TEST_F(StartupTest, TheHourglassShowsWhileAnOperationWaits)
{
    Start();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    CVexilDialogLib::BeginWait();
    CVexilDialogLib::BeginWait();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    CVexilDialogLib::EndWait();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    CVexilDialogLib::EndWait();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
}  // namespace
