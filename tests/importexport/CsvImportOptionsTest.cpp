// The CSV import options as the user meets them: the preview, the proposed delimiter and
// coding, Import into a new stack or the current one, Cancel, and files it must refuse.

#include "InterchangeDialogFixture.h"

#include "foundation/VexilError.h"
#include "importexport/VexilCsvImportOptions.h"
#include "interchange/VexilImports.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilGenForm.h"
#include "shell/VexilOptions.h"

#include <QRandomGenerator>

using namespace DialogUser;

class CsvImportOptionsTest : public InterchangeDialogTest
{
protected:
    CVexilCsvImportOptions* Open(const QByteArray& aBytes)
    {
        iFile = SetFileContent(iDir.File(QStringLiteral("in.csv")), aBytes);
        auto* dialog = Show<CVexilCsvImportOptions>(CVexilCsvImportOptions::KClassName);
        if (dialog)
            dialog->SetImportFile(iFile);
        return dialog;
    }

    static QStringList Preview(const CVexilCsvImportOptions& aDialog)
    {
        QStringList lines;
        for (int i = 0; i < aDialog.fLineBox->topLevelItemCount(); ++i)
            lines << aDialog.fLineBox->topLevelItem(i)->text(0);
        return lines;
    }

    static bool IsOpen() { return CVexilFormRegistry::Loaded(CVexilCsvImportOptions::KClassName) != nullptr; }

    QString iFile;
};

TEST_F(CsvImportOptionsTest, PreviewShowsUpToTenRawLines)
{
    CVexilCsvImportOptions* dialog = Open("a,b\r\n\"c\r\nd\"\r\n");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Preview(*dialog), (QStringList{"a,b", "\"c", "d\""}));

    QByteArray fifty;
    for (int i = 1; i <= 50; ++i)
        fifty += "line" + QByteArray::number(i) + "\n";
    dialog->SetImportFile(SetFileContent(iDir.File(QStringLiteral("fifty.csv")), fifty));
    const QStringList lines = Preview(*dialog);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines.back(), QStringLiteral("line10"));

    dialog->SetImportFile(SetFileContent(iDir.File(QStringLiteral("tab.csv")), "x\ty\r\n"));
    EXPECT_EQ(Preview(*dialog), QStringList{QStringLiteral("x<tab>y")});
}

// A huge line is cut for the list, but the vote counts all of it.
TEST_F(CsvImportOptionsTest, HugeLinesAreCutButVotedWhole)
{
    const QByteArray line = QByteArray(2000, 'a') + QByteArray(5, ';') + ",";
    CVexilCsvImportOptions* dialog = Open(line + "\r\nb\r\n");
    ASSERT_TRUE(dialog);
    const QStringList lines = Preview(*dialog);
    EXPECT_EQ(lines.at(0), QString(1000, u'a'));
    EXPECT_TRUE(dialog->fSemiColon->isChecked());
}

TEST_F(CsvImportOptionsTest, DelimiterAndCodingAreProposedFromTheFile)
{
    struct TCase
    {
        const char* Name;
        QByteArray Bytes;
        const char* Delim;
        bool Utf8;
    };
    const TCase cases[] = {
        {"two semicolons, one comma", "a;b;c,d\r\n", "fSemiColon", false},
        {"tabs", "a\tb\tc,d\r\n", "fTab", false},
        {"tie of commas and tabs", "a,b,c\td\te\r\n", "fComma", false},
        {"no delimiter", "abc\r\n", "fComma", false},
        {"byte-order mark", "\xEF\xBB\xBF" "a;b\r\n", "fSemiColon", true},
        {"UTF-8 without the mark", "Zo\xC3\xAB,b\r\n", "fComma", false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CVexilCsvImportOptions* dialog = Open(c.Bytes);
        ASSERT_TRUE(dialog);
        const auto* chosen = dialog->findChild<QRadioButton*>(QLatin1String(c.Delim));
        ASSERT_TRUE(chosen);
        EXPECT_TRUE(chosen->isChecked());
        EXPECT_EQ(dialog->fUtf8->isChecked(), c.Utf8);
        EXPECT_EQ(dialog->fLatin1->isChecked(), !c.Utf8);
        dialog->UnloadForm();
        DeleteUnloaded();
    }
}

TEST_F(CsvImportOptionsTest, ImportIntoANewStackMakesItCurrentWithItsWindows)
{
    gCsvGuessKey = true;
    CVexilCsvImportOptions* dialog = Open("Name;Age\r\nAnn;31\r\nBob;42\r\n");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->fHeaderLine->isChecked());
    Click(dialog->fGuessKey);
    Click(dialog->fImportBut);
    DeleteUnloaded();
    ASSERT_TRUE(gStack);
    ASSERT_TRUE(gStackView);
    EXPECT_EQ(gStack->Name(), iFile);
    EXPECT_EQ(gStack->NumCards(), 2);
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilCardListForm::KClassName));
    EXPECT_FALSE(IsOpen());
    EXPECT_FALSE(gCsvGuessKey);
    gCsvGuessKey = true;
}

TEST_F(CsvImportOptionsTest, CancelChangesNothing)
{
    const TControlSetRef people = OpenPeople();
    const QByteArray before = StackXml();
    CVexilCsvImportOptions* dialog = Open("x\r\n");
    ASSERT_TRUE(dialog);
    Click(dialog->fDetectTypes);
    Click(dialog->fCancel);
    DeleteUnloaded();
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(StackXml(), before);
    EXPECT_TRUE(gCsvDetectTypes);
}

TEST_F(CsvImportOptionsTest, ImportIntoTheCurrentStackReplacesTheBackgroundsCards)
{
    TargetForm::Into() = true;
    TargetForm::Chosen() = OpenPeople();
    CVexilWinMan::NameToForm(TargetForm::KClassName);
    CVexilCsvImportOptions* dialog = Open("Name,Age\r\nCid,7\r\n");
    ASSERT_TRUE(dialog);
    Click(dialog->fImportBut);
    DeleteUnloaded();
    EXPECT_EQ(gStack->NumCards(), 1);
    EXPECT_FALSE(IsOpen());
    EXPECT_FALSE(CVexilFormRegistry::Loaded(TargetForm::KClassName));
}

// The file is read before anything changes: whatever it fails on, the open stack stays as it was.
TEST_F(CsvImportOptionsTest, RefusedFilesLeaveTheCurrentStackAsItWas)
{
    TargetForm::Into() = true;
    TargetForm::Chosen() = OpenPeople();
    CVexilWinMan::NameToForm(TargetForm::KClassName);
    const QByteArray before = StackXml();
    struct TCase
    {
        const char* Name;
        QByteArray Bytes;
        int32_t Message;
    };
    const TCase cases[] = {
        {"empty file", QByteArray(), EMsgEmptyFile},
        {"stray quote", "Name,Age\r\n\"Cid,7\r\n", EMsgWrongFormat},
        {"item too long", "\"" + QByteArray(20000, 'x') + "\"\r\n", EMsgWrongFormat},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        ScriptedPrompts::Instance().Reset();
        CVexilCsvImportOptions* dialog = Open(c.Bytes);
        ASSERT_TRUE(dialog);
        ScriptedPrompts::Instance().ExpectMessage();
        Click(dialog->fImportBut);
        EXPECT_EQ(MessageIds(), std::vector<int32_t>{c.Message});
        EXPECT_TRUE(IsOpen());
        EXPECT_EQ(StackXml(), before);
    }
}

// The background deleted since, or the stack closed: message 1082, nothing changes.
TEST_F(CsvImportOptionsTest, TargetGoneIsRefusedWithItsName)
{
    TargetForm::Into() = true;
    const TControlSetRef people = OpenPeople();
    TargetForm::Chosen() = people;
    CVexilWinMan::NameToForm(TargetForm::KClassName);
    CVexilCsvImportOptions* dialog = Open("Name,Age\r\nCid,7\r\n");
    ASSERT_TRUE(dialog);
    // The import dialog closes; its background then goes with the stack.
    CVexilFormRegistry::Unload(TargetForm::KClassName);
    DeleteUnloaded();
    CVexilNewStack::DropCurrent();
    ScriptedPrompts::Instance().ExpectMessage();
    Click(dialog->fImportBut);
    ASSERT_EQ(MessageIds(), std::vector<int32_t>{EMsgBackgroundNotFound});
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().at(0).Params.at(0), QStringLiteral("People"));
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().at(0).Class, EMsgClsExclamation);
    EXPECT_TRUE(IsOpen());
    EXPECT_FALSE(gStack);
}

// Random bytes with every delimiter and coding: messages at most, never an assertion question.
TEST_F(CsvImportOptionsTest, RandomBytesNeverMeetAnAssertion)
{
    QRandomGenerator random(17);
    for (int round = 0; round < 40; ++round)
    {
        QByteArray bytes(int(random.bounded(1, 400)), '\0');
        for (char& byte : bytes)
            byte = "a,;\t\"\r\n \x80\xC3"[random.bounded(11)];
        CVexilImports import;
        TCsvOptions options;
        options.File = SetFileContent(iDir.File(QStringLiteral("random.csv")), bytes);
        options.Delim = QString(QChar(",;\t"[round % 3]));
        options.Coding = round % 2 ? EFilUtf8 : EFilAnsi;
        ScriptedPrompts::Instance().Reset();
        for (int i = 0; i < 3; ++i)
            ScriptedPrompts::Instance().ExpectMessage();
        try
        {
            import.ImportCsv1(options);
        }
        catch (const CVexilException& e)
        {
            EXPECT_EQ(e.Number(), EErrWrongFormat);
        }
        for (const int32_t id : MessageIds())
            EXPECT_NE(id, EMsgAssertFailedOk);
        ScriptedPrompts::Instance().Reset();
    }
}
