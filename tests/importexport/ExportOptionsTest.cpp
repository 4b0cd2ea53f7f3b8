// The export options and the CSV export options as the user meets them.

#include "InterchangeDialogFixture.h"

#include "importexport/VexilCsvExportOptions.h"
#include "importexport/VexilExportOptions.h"
#include "interchange/VexilExports.h"
#include "model/VexilWinManLink.h"
#include "shell/VexilOptions.h"

using namespace DialogUser;

class ExportOptionsTest : public InterchangeDialogTest
{
protected:
    void SetUp() override
    {
        CVexilExports::InitExports();
        gCsvExportDelimiter.clear();
        gExportCsvDialogInitDir.clear();
    }

    static CVexilExportOptions* OpenExport()
    {
        return Show<CVexilExportOptions>(CVexilExportOptions::KClassName);
    }

    // The export options' OK with CSV chosen: the CSV export options open.
    static CVexilCsvExportOptions* OpenCsv()
    {
        CVexilExportOptions* options = OpenExport();
        if (!options)
            return nullptr;
        Click(options->fOkBut);
        return dynamic_cast<CVexilCsvExportOptions*>(CVexilFormRegistry::Loaded(CVexilCsvExportOptions::KClassName));
    }

    static QStringList Lines(const QComboBox& aBox)
    {
        QStringList lines;
        for (int i = 0; i < aBox.count(); ++i)
            lines << aBox.itemText(i);
        return lines;
    }

    static bool IsOpen(const QString& aClassName) { return CVexilFormRegistry::Loaded(aClassName) != nullptr; }
};

TEST_F(ExportOptionsTest, BackgroundListFollowsTheStackAndXmlDisablesIt)
{
    CVexilExportOptions* options = OpenExport();
    ASSERT_TRUE(options);
    EXPECT_EQ(Lines(*options->fBackgroundBox), QStringList{QStringLiteral("(No stack available)")});
    OpenPeople();
    NewBackground(*gStack, QStringLiteral("Places"));
    CVexilWinMan::NotifyAll(EChgStackOpened);
    EXPECT_EQ(Lines(*options->fBackgroundBox), (QStringList{"People", "Places"}));
    EXPECT_EQ(options->fBackgroundBox->currentIndex(), 0);
    EXPECT_TRUE(options->fCsv->isChecked());
    EXPECT_TRUE(options->fBackgroundBox->isEnabled());
    Click(options->fXml);
    EXPECT_FALSE(options->fBackgroundBox->isEnabled());
}

TEST_F(ExportOptionsTest, XmlAsksForTheFileWithItsOwnDialog)
{
    gExportXmlDialogInitDir = iDir.Path();
    OpenPeople();
    CVexilExportOptions* options = OpenExport();
    ASSERT_TRUE(options);
    Click(options->fXml);
    ScriptedPrompts::Instance().ExpectFile(std::nullopt);
    Click(options->fOkBut);
    const TFileDialogPrompt& asked = ScriptedPrompts::Instance().FileDialogs().at(0);
    EXPECT_EQ(asked.Title, QStringLiteral("XML Export File Name"));
    EXPECT_EQ(asked.DefaultExt, QStringLiteral("csv"));
    EXPECT_EQ(asked.Filter, QStringLiteral("XML Files (*.xml)|*.xml|All Files (*.*)|*"));
    EXPECT_TRUE(asked.Save);
    EXPECT_TRUE(asked.Flags & TFileDialogPrompt::KOverwritePrompt);
    EXPECT_EQ(asked.InitDir, iDir.Path());
    EXPECT_TRUE(IsOpen(CVexilExportOptions::KClassName));
}

TEST_F(ExportOptionsTest, CsvExportWritesTheChosenBackgroundAndRemembersDelimiterAndFolder)
{
    OpenPeople();
    CVexilCsvExportOptions* csv = OpenCsv();
    ASSERT_TRUE(csv);
    EXPECT_TRUE(csv->fComma->isChecked());
    Click(csv->fSemiColon);
    const QString file = iDir.File(QStringLiteral("people.csv"));
    ScriptedPrompts::Instance().ExpectFile(iDir.File(QStringLiteral("people")));
    Click(csv->fExportBut);
    DeleteUnloaded();
    const TFileDialogPrompt& asked = ScriptedPrompts::Instance().FileDialogs().at(0);
    EXPECT_EQ(asked.Title, QStringLiteral("CSV Export File Name"));
    EXPECT_TRUE(asked.Flags & TFileDialogPrompt::KOverwritePrompt);
    EXPECT_EQ(FileContent(file),
              QByteArray("\"Name\";\"Age\"\r\n\"\";\"0\"\r\n\"Ann\";\"31\"\r\n\"Bob\";\"42\"\r\n"));
    EXPECT_FALSE(IsOpen(CVexilCsvExportOptions::KClassName));
    EXPECT_FALSE(IsOpen(CVexilExportOptions::KClassName));
    EXPECT_EQ(gExportCsvDialogInitDir, iDir.Path());

    // Saved with the options and read back after a restart.
    CVexilOptions::SaveOptions();
    gCsvExportDelimiter.clear();
    CVexilOptions::LoadOptions();
    csv = OpenCsv();
    ASSERT_TRUE(csv);
    EXPECT_TRUE(csv->fSemiColon->isChecked());
    EXPECT_EQ(csv->fExportDialog.InitDir, iDir.Path());
}

TEST_F(ExportOptionsTest, CancelStillRemembersTheDelimiter)
{
    OpenPeople();
    CVexilCsvExportOptions* csv = OpenCsv();
    ASSERT_TRUE(csv);
    Click(csv->fTab);
    Click(csv->fCancelBut);
    DeleteUnloaded();
    EXPECT_EQ(gCsvExportDelimiter, QStringLiteral("\t"));
    EXPECT_TRUE(IsOpen(CVexilExportOptions::KClassName));
    EXPECT_FALSE(IsOpen(CVexilCsvExportOptions::KClassName));
}

TEST_F(ExportOptionsTest, ClosingTheStackClosesBothDialogs)
{
    OpenPeople();
    ASSERT_TRUE(OpenCsv());
    CVexilWinMan::NotifyAll(EChgClosingStack);
    DeleteUnloaded();
    EXPECT_FALSE(IsOpen(CVexilCsvExportOptions::KClassName));
    EXPECT_FALSE(IsOpen(CVexilExportOptions::KClassName));
}

// The export options closed and the background deleted since: message 1082 before any file
// dialog, nothing written, the dialog stays open.
TEST_F(ExportOptionsTest, TargetGoneIsRefusedBeforeAnyFileIsWritten)
{
    const TControlSetRef people = OpenPeople();
    NewBackground(*gStack, QStringLiteral("Places"));
    CVexilCsvExportOptions* csv = OpenCsv();
    ASSERT_TRUE(csv);
    CVexilFormRegistry::Unload(CVexilExportOptions::KClassName);
    DeleteUnloaded();
    gStackView->DeleteBackground(people, false);
    ScriptedPrompts::Instance().ExpectMessage();
    Click(csv->fExportBut);
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1u);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().at(0).Id, EMsgBackgroundNotFound);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().at(0).Params.at(0), QStringLiteral("People"));
    EXPECT_TRUE(ScriptedPrompts::Instance().FileDialogs().empty());
    EXPECT_TRUE(IsOpen(CVexilCsvExportOptions::KClassName));
}

TEST_F(ExportOptionsTest, FailedWriteIsReportedAndTheOldFileStays)
{
    OpenPeople();
    const QString file = SetFileContent(iDir.File(QStringLiteral("people.csv")), "old");
    CVexilCsvExportOptions* csv = OpenCsv();
    ASSERT_TRUE(csv);
    ScriptedPrompts::Instance().ExpectFile(file);
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilFileBuffer::FailWriteAfter(1);
    Click(csv->fExportBut);
    CVexilFileBuffer::FailWriteAfter(0);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().size(), 1u);
    EXPECT_EQ(FileContent(file), QByteArray("old"));
    EXPECT_TRUE(IsOpen(CVexilCsvExportOptions::KClassName));
    EXPECT_TRUE(gExportCsvDialogInitDir.isEmpty());
}
