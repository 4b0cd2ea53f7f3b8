#include "EnvScope.h"
#include "QStringPrinter.h"
#include "TempRegistry.h"
#include "TestFiles.h"
#include "platform/VexilReg.h"
#include "shell/VexilOptions.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace
{

// A temporary home (so a documents folder of its own) and a temporary registry.
class OptionsTest : public ::testing::Test
{
protected:
    OptionsTest()
        : iHomeScope("HOME", QFile::encodeName(iHome.Path())),
          iConfigScope("XDG_CONFIG_HOME", QFile::encodeName(iHome.File(QStringLiteral(".config"))))
    {
        gFileHistory = {};
    }

    // The "Quorvans" folder of the documents folder, made.
    QString MakeStackFolder() const
    {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quorvans");
        EXPECT_TRUE(QDir().mkpath(folder));
        return QDir::toNativeSeparators(folder);
    }

    static void Put(const char* aKey, const QString& aText)
    {
        CVexilReg::PutVal(CVexilReg::KOptions, QString::fromLatin1(aKey), aText);
    }

    static QString Get(const char* aKey)
    {
        QString text;
        bool found = false;
        CVexilReg::GetVal(CVexilReg::KOptions, QString::fromLatin1(aKey), text, found);
        return text;
    }

    // Every text option, in the order of the section.
    static std::vector<QString*> TextOptions()
    {
        return {&gAutoLoadName,           &gStackFolder,           &gLoadDialogInitDir,
                &gImportCsvDialogInitDir, &gImportXmlDialogInitDir, &gImportHandBaseDialogInitDir,
                &gImportQuorvanDialogInitDir, &gImportTextDialogInitDir, &gImportPicDialogInitDir,
                &gExportCsvDialogInitDir, &gCsvExportDelimiter,     &gExportXmlDialogInitDir};
    }

    TempDir iHome;
    EnvScope iHomeScope;
    EnvScope iConfigScope;
    TempRegistry iRegistry;
};

TEST_F(OptionsTest, AnEmptyStoreGivesTheDefaults)
{
    for (QString* text : TextOptions())
        *text = QStringLiteral("stale");
    gShowWelcome = gCsvDetectTypes = gCsvGuessKey = gCsvTryCardName = false;
    gSuppressFontInfo = true;
    gFileHistory.fill(QStringLiteral("stale"));

    CVexilOptions::LoadOptions();
    EXPECT_TRUE(gShowWelcome);
    EXPECT_TRUE(gCsvDetectTypes);
    EXPECT_TRUE(gCsvGuessKey);
    EXPECT_TRUE(gCsvTryCardName);
    EXPECT_FALSE(gSuppressFontInfo);
    // No "Quorvans" folder among the documents: no stack folder, and so no Open folder either.
    for (QString* text : TextOptions())
        EXPECT_EQ(*text, QString());
    for (const QString& entry : gFileHistory)
        EXPECT_EQ(entry, QString());
    for (const TRecentItem& item : CVexilOptions::RecentItems(gFileHistory))
    {
        EXPECT_EQ(item.Caption, QStringLiteral("()"));
        EXPECT_FALSE(item.Enabled);
        EXPECT_EQ(item.Path, QString());
    }

    // With the folder, the stack folder is the default of the server and of the Open dialog.
    const QString folder = MakeStackFolder();
    CVexilOptions::LoadOptions();
    EXPECT_EQ(gStackFolder, folder);
    EXPECT_EQ(gLoadDialogInitDir, folder);
    EXPECT_EQ(gExportXmlDialogInitDir, QString());
}

// The Open dialog starts in the stack folder only until the user has a folder of his own,
// whatever the other dialogs' folders are.
TEST_F(OptionsTest, TheOpenFolderFallsBackToTheStackFolderOnlyWhenMissing)
{
    const QString stacks = QStringLiteral("/srv/stacks");
    const QString mine = QStringLiteral("/home/me/work");
    const struct
    {
        const char* Case;
        QString StoredLoadDir;
        QString StoredExportXmlDir;
        QString Expected;
    } cases[] = {
        {"own folder, no export folder", mine, QString(), mine},
        {"own folder, export folder", mine, QStringLiteral("/x"), mine},
        {"no folder, no export folder", QString(), QString(), stacks},
        {"no folder, export folder", QString(), QStringLiteral("/x"), stacks},
    };
    for (const auto& c : cases)
    {
        CVexilReg::PutVals(CVexilReg::KOptions, {{QStringLiteral("StackFolder"), stacks},
                                                 {QStringLiteral("LoadDialogInitDir"), c.StoredLoadDir},
                                                 {QStringLiteral("ExportXmlDialogInitDir"), c.StoredExportXmlDir}});
        CVexilOptions::LoadOptions();
        EXPECT_EQ(gLoadDialogInitDir, c.Expected) << c.Case;
        EXPECT_EQ(gExportXmlDialogInitDir, c.StoredExportXmlDir) << c.Case;
        EXPECT_EQ(gStackFolder, stacks) << c.Case;
    }
}

TEST_F(OptionsTest, BooleansReadInAnyCaseElseTheDefault)
{
    const struct
    {
        QString Stored;
        int Value;  // 1 true, 0 false, -1 the default
    } cases[] = {
        {QStringLiteral("True"), 1},  {QStringLiteral("true"), 1},   {QStringLiteral("TRUE"), 1},
        {QStringLiteral("False"), 0}, {QStringLiteral("fALSE"), 0},  {QStringLiteral("Yes"), -1},
        {QStringLiteral("1"), -1},    {QStringLiteral(" True"), -1}, {QString(), -1},
    };
    for (const auto& c : cases)
    {
        Put("ShowWelcome", c.Stored);
        for (const bool defaultValue : {false, true})
        {
            bool value = !defaultValue;
            CVexilOptions::GetBoolOption(QStringLiteral("ShowWelcome"), value, defaultValue);
            EXPECT_EQ(value, c.Value < 0 ? defaultValue : c.Value == 1) << c.Stored.toStdString();
        }
    }
    CVexilOptions::PutBoolOption(QStringLiteral("CsvGuessKey"), false);
    EXPECT_EQ(Get("CsvGuessKey"), QStringLiteral("False"));
    CVexilOptions::PutBoolOption(QStringLiteral("CsvGuessKey"), true);
    EXPECT_EQ(Get("CsvGuessKey"), QStringLiteral("True"));
}

// Every option and entry is written, the empty ones too, and reads back as it was.
TEST_F(OptionsTest, SavedOptionsLoadAgain)
{
    int n = 0;
    for (QString* text : TextOptions())
        *text = QStringLiteral("C:\\Folder %1, \"x\"").arg(n++);
    gCsvExportDelimiter = QString();
    gShowWelcome = false;
    gCsvDetectTypes = true;
    gCsvGuessKey = false;
    gCsvTryCardName = true;
    gSuppressFontInfo = true;
    gFileHistory = {QStringLiteral("/a/One.Quorvan"), QStringLiteral("@/b/Two.Quorvan"), QStringLiteral("c,d")};
    CVexilOptions::SaveOptions();

    QSettings settings(iRegistry.FileName(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("1.x/Options"));
    EXPECT_EQ(settings.childKeys().size(), 24);
    EXPECT_EQ(Get("ShowWelcome"), QStringLiteral("False"));
    EXPECT_EQ(Get("SuppressFontInfo"), QStringLiteral("True"));
    EXPECT_EQ(Get("FileHistory1"), QStringLiteral("@/b/Two.Quorvan"));
    EXPECT_TRUE(settings.contains(QStringLiteral("FileHistory6")));
    EXPECT_TRUE(settings.contains(QStringLiteral("CsvExportDelimiter")));

    std::vector<QString> texts;
    for (QString* text : TextOptions())
        texts.push_back(std::exchange(*text, QString()));
    const TFileHistory history = std::exchange(gFileHistory, {});
    gShowWelcome = gCsvGuessKey = true;
    gCsvDetectTypes = gCsvTryCardName = gSuppressFontInfo = false;

    CVexilOptions::LoadOptions();
    n = 0;
    for (QString* text : TextOptions())
        EXPECT_EQ(*text, texts[size_t(n++)]);
    EXPECT_FALSE(gShowWelcome);
    EXPECT_TRUE(gCsvDetectTypes);
    EXPECT_FALSE(gCsvGuessKey);
    EXPECT_TRUE(gCsvTryCardName);
    EXPECT_TRUE(gSuppressFontInfo);
    EXPECT_EQ(gFileHistory, history);
}

TEST_F(OptionsTest, AFileUsedAgainMovesToTheTop)
{
    const QString a = QStringLiteral("/stacks/A.Quorvan");
    const QString b = QStringLiteral("/stacks/B.Quorvan");
    CVexilOptions::AddFileHistory(a);
    CVexilOptions::AddFileHistory(b);
    CVexilOptions::AddFileHistory(a);
    EXPECT_EQ(gFileHistory, (TFileHistory{a, b}));

    // Oldest first: B, then A, the newest, as the last enabled item.
    const TRecentItems items = CVexilOptions::RecentItems(gFileHistory);
    EXPECT_EQ(items[0].Caption, QStringLiteral("B.Quorvan"));
    EXPECT_EQ(items[0].Path, b);
    EXPECT_EQ(items[1].Caption, QStringLiteral("A.Quorvan"));
    EXPECT_EQ(items[1].Path, a);
    EXPECT_TRUE(items[0].Enabled && items[1].Enabled);
    for (size_t i = 2; i < items.size(); ++i)
    {
        EXPECT_EQ(items[i].Caption, QStringLiteral("()"));
        EXPECT_FALSE(items[i].Enabled);
    }
}

TEST_F(OptionsTest, TheListKeepsTheSevenNewestFiles)
{
    for (int i = 1; i <= 8; ++i)
        CVexilOptions::AddFileHistory(QStringLiteral("/s/%1.Quorvan").arg(i));
    TFileHistory expected;
    for (int i = 0; i < KFileHistorySize; ++i)
        expected[size_t(i)] = QStringLiteral("/s/%1.Quorvan").arg(8 - i);
    EXPECT_EQ(gFileHistory, expected);

    // A listed file from the middle moves up; no other is lost.
    CVexilOptions::AddFileHistory(QStringLiteral("/s/5.Quorvan"));
    EXPECT_EQ(gFileHistory, (TFileHistory{QStringLiteral("/s/5.Quorvan"), QStringLiteral("/s/8.Quorvan"),
                                          QStringLiteral("/s/7.Quorvan"), QStringLiteral("/s/6.Quorvan"),
                                          QStringLiteral("/s/4.Quorvan"), QStringLiteral("/s/3.Quorvan"),
                                          QStringLiteral("/s/2.Quorvan")}));
    // So does the oldest.
    CVexilOptions::AddFileHistory(QStringLiteral("/s/2.Quorvan"));
    EXPECT_EQ(gFileHistory[0], QStringLiteral("/s/2.Quorvan"));
    EXPECT_EQ(gFileHistory[6], QStringLiteral("/s/3.Quorvan"));
}

TEST_F(OptionsTest, PathsDifferingInCaseAreTwoFiles)
{
    CVexilOptions::AddFileHistory(QStringLiteral("/s/Stack.Quorvan"));
    CVexilOptions::AddFileHistory(QStringLiteral("/s/stack.Quorvan"));
    CVexilOptions::AddFileHistory(QStringLiteral("/s/stack.Quorvan "));
    EXPECT_EQ(gFileHistory, (TFileHistory{QStringLiteral("/s/stack.Quorvan "), QStringLiteral("/s/stack.Quorvan"),
                                          QStringLiteral("/s/Stack.Quorvan")}));
}

TEST_F(OptionsTest, RecentItemsShowNamesWithoutFolders)
{
    // Entries as a hand-edited store may hold them: a gap, Windows paths, ampersands.
    const TFileHistory history = {QStringLiteral("/home/me/R&D/Q&A.Quorvan"), QString(),
                                  QStringLiteral("C:\\Stacks\\Old.Quorvan"), QStringLiteral("Bare&&.Quorvan")};
    const TRecentItems items = CVexilOptions::RecentItems(history);
    const struct
    {
        QString Caption;
        QString Path;
        bool Enabled;
    } expected[] = {
        {QStringLiteral("Bare&&&&.Quorvan"), history[3], true},
        {QStringLiteral("Old.Quorvan"), history[2], true},
        {QStringLiteral("()"), QString(), false},
        {QStringLiteral("Q&&A.Quorvan"), history[0], true},
        {QStringLiteral("()"), QString(), false},
        {QStringLiteral("()"), QString(), false},
        {QStringLiteral("()"), QString(), false},
    };
    for (size_t i = 0; i < items.size(); ++i)
    {
        EXPECT_EQ(items[i].Caption, expected[i].Caption) << i;
        EXPECT_EQ(items[i].Path, expected[i].Path) << i;
        EXPECT_EQ(items[i].Enabled, expected[i].Enabled) << i;
    }
}

TEST(DevMachine, TheDevelopersFolderIsSevenCharactersComparedWithCase)
{
    EXPECT_EQ(CVexilOptions::KDevFolder.size(), 7);
    const struct
    {
        const char* Folder;
        bool Dev;
    } cases[] = {
        {"/qvdev/build/src/app", true}, {"/qvdev/", true}, {"/qvdev", false},        {"/QVDEV/build", false},
        {"/home/qvdev/build", false},   {"", false},       {"/qvdevx/build", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilOptions::IsDevFolder(QLatin1String(c.Folder)), c.Dev) << c.Folder;
    // The tests run elsewhere.
    EXPECT_FALSE(CVexilOptions::IsDevMachine());
}

}  // namespace
