// The import options as the user meets them, with the export options' XML and the developer's
// test panel "Scanner".

#include "InterchangeDialogFixture.h"
#include "PdbBuilder.h"

#include "editors/VexilScriptEdit.h"
#include "foundation/VexilError.h"
#include "importexport/VexilExportOptions.h"
#include "importexport/VexilImportOptions.h"
#include "interchange/VexilExports.h"
#include "model/VexilWinManLink.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilGenForm.h"
#include "shell/VexilMainForm.h"
#include "shell/VexilOptions.h"

#include <QFile>

using namespace DialogUser;

namespace
{
// A managed window that records the change broadcasts it receives.
// Stands in for the search window, a managed window the window manager knows by name.
class Listener : public CVexilForm
{
public:
    static inline const QString KClassName = QStringLiteral("CVexilSearchForm");
    void ChangeNotify(int32_t aEvent, const TObjRef&, const TObjRef&) override { Events().append(aEvent); }
    static QList<int32_t>& Events()
    {
        static QList<int32_t> events;
        return events;
    }
};

const QList<int32_t> kLeftThenOpened = {EChgClosingStack, EChgStackClosed, EChgStackOpened};

QStringList CardNames()
{
    QStringList names;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = gStack && gStack->GetFirstCard(card, cursor); more; more = gStack->GetNextCard(card, cursor))
        names << card->Name();
    return names;
}

// An option button takes clicks on its circle and caption only.
void Choose(QRadioButton* aButton)
{
    QTest::mouseClick(aButton, Qt::LeftButton, {}, QPoint(8, aButton->height() / 2));
}

QString CurCardName()
{
    return gStackView && gStackView->CurCard() ? gStackView->CurCard()->Name() : QString();
}
}  // namespace

class ImportOptionsTest : public InterchangeDialogTest
{
protected:
    static void SetUpTestSuite()
    {
        InterchangeDialogTest::SetUpTestSuite();
        // The real dialog in place of the fixture's stand-in.
        CVexilImportOptions::Register();
        CVexilFormRegistry::Register(Listener::KClassName, [] { return new Listener; });
    }
    void SetUp() override
    {
        CVexilExports::InitExports();
        gImportIntoCurStack = false;
        for (QString* dir : {&gImportCsvDialogInitDir, &gImportXmlDialogInitDir, &gImportHandBaseDialogInitDir,
                             &gImportQuorvanDialogInitDir, &gImportTextDialogInitDir, &gExportXmlDialogInitDir})
            dir->clear();
        Listener::Events().clear();
        CVexilWinMan::NameToForm(Listener::KClassName);
    }

    static CVexilImportOptions* OpenImport() { return Show<CVexilImportOptions>(CVexilImportOptions::KClassName); }
    static bool ImportOpen() { return CVexilFormRegistry::Loaded(CVexilImportOptions::KClassName) != nullptr; }

    // OK on the format with the file answered (none: cancelled).
    static void ImportFile(CVexilImportOptions& aDialog, CVexilOptionButton* aFormat, std::optional<QString> aFile)
    {
        Choose(aFormat);
        ScriptedPrompts::Instance().ExpectFile(aFile);
        Click(aDialog.fOkBut);
        DeleteUnloaded();
    }

    QString File(const char* aName, const QByteArray& aContent)
    {
        const QString name = iDir.File(QLatin1String(aName));
        SetFileContent(name, aContent);
        return name;
    }

    // A HanDBase file of two records with the field "Name".
    QString HandFile()
    {
        PdbBuilder pdb;
        pdb.Field(1, "Name");
        pdb.Lists();
        pdb.Values({PdbBuilder::Text("one")});
        pdb.Values({PdbBuilder::Text("two")});
        return File("hand.pdb", pdb.Bytes());
    }

    // The People stack as just saved: leaving it asks nothing.
    static void OpenUnchangedPeople()
    {
        OpenPeople();
        gStack->ResetChanged();
    }

    // Still the People stack with its change.
    static void ExpectUnchanged(const TStackRef& aPeople)
    {
        EXPECT_EQ(gStack, aPeople);
        EXPECT_EQ(CardNames(), (QStringList{"Start", "Ann", "Bob"}));
        EXPECT_EQ(gStack->Descr(), QStringLiteral("changed"));
        EXPECT_TRUE(gStack->Changed());
    }

    // The People stack with a change the save question asks about.
    static void OpenChangedPeople()
    {
        OpenPeople();
        gStack->SetDescr(QStringLiteral("changed"));
        ASSERT_TRUE(gStack->Changed());
    }
};

TEST(ImportDisables, FollowTheFormatAndTheStack)
{
    struct TCase
    {
        EImportFormat Format;
        bool StackOpen;
        bool Checked;
        TImportDisables Expected;  // xml, merge, text, box enabled, box checked, list enabled
    };
    const TCase cases[] = {
        {EImportFormat::ECsv, false, false, {false, false, false, true, false, false}},
        {EImportFormat::ECsv, false, true, {false, false, false, true, true, true}},
        {EImportFormat::ECsv, true, true, {true, true, true, true, true, true}},
        {EImportFormat::EPdb, true, true, {true, true, true, false, false, false}},
        {EImportFormat::EPdb, false, true, {false, false, false, false, false, false}},
        {EImportFormat::EXml, true, false, {true, true, true, false, true, false}},
        {EImportFormat::EQuorvan, true, false, {true, true, true, false, true, false}},
        {EImportFormat::EText, true, false, {true, true, true, false, true, true}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TImportDisables::For(c.Format, c.StackOpen, c.Checked), c.Expected) << int(c.Format);
}

TEST_F(ImportOptionsTest, ControlsFollowTheFormatAndTheStack)
{
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Import Options"));
    EXPECT_TRUE(dialog->fCsv->isChecked());
    EXPECT_FALSE(dialog->fXml->isEnabled());
    EXPECT_FALSE(dialog->fQuorvan->isEnabled());
    EXPECT_FALSE(dialog->fText->isEnabled());
    EXPECT_TRUE(dialog->fPdb->isEnabled());
    EXPECT_TRUE(dialog->fIntoCurStack->isEnabled());
    Click(dialog->fIntoCurStack);
    Choose(dialog->fPdb);
    EXPECT_FALSE(dialog->fIntoCurStack->isChecked());
    EXPECT_FALSE(dialog->fIntoCurStack->isEnabled());
    Choose(dialog->fCsv);
    EXPECT_TRUE(dialog->fIntoCurStack->isEnabled());
    EXPECT_FALSE(dialog->fIntoCurStack->isChecked());

    OpenPeople();
    CVexilWinMan::NotifyAll(EChgStackOpened);
    EXPECT_EQ(dialog->fBackgroundBox->currentText(), QStringLiteral("People"));
    Choose(dialog->fText);
    EXPECT_TRUE(dialog->fIntoCurStack->isChecked());
    EXPECT_TRUE(dialog->fBackgroundBox->isEnabled());
    Choose(dialog->fXml);
    EXPECT_TRUE(dialog->fIntoCurStack->isChecked());
    EXPECT_FALSE(dialog->fBackgroundBox->isEnabled());
    // The box is remembered for the next dialog of this run.
    Click(dialog->fCancelBut);
    DeleteUnloaded();
    EXPECT_TRUE(gImportIntoCurStack);
}

TEST_F(ImportOptionsTest, EachFormatAsksWithItsDialogAndACancelKeepsTheFolder)
{
    struct TCase
    {
        CVexilOptionButton* CVexilImportOptions::* Format;
        QString* Folder;
        const char* Title;
        const char* Ext;
        const char* Filter;
    };
    const TCase cases[] = {
        {&CVexilImportOptions::fCsv, &gImportCsvDialogInitDir, "Import CSV File", "csv",
         "CSV Files (*.csv)|*.csv|All Files (*.*)|*"},
        {&CVexilImportOptions::fXml, &gImportXmlDialogInitDir, "Import XML File", "xml",
         "XML Files (*.xml)|*.xml|All Files (*.*)|*"},
        {&CVexilImportOptions::fPdb, &gImportHandBaseDialogInitDir, "Import HanDBase File", "csv",
         "HanDBase Files (*.pdb)|*.pdb|All Files (*.*)|*"},
        {&CVexilImportOptions::fQuorvan, &gImportQuorvanDialogInitDir, "Import Quorvan / Merge Quorvans", "Quorvan",
         "Quorvan  (*.Quorvan)|*.Quorvan|All Files (*.*)|*"},
        {&CVexilImportOptions::fText, &gImportTextDialogInitDir, "Import Pure Text File", "csv", "All Files (*.*)|*"},
    };
    OpenPeople();
    const QByteArray before = StackXml();
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    for (const TCase& c : cases)
    {
        *c.Folder = QStringLiteral("/start/") + QLatin1String(c.Ext);
        ImportFile(*dialog, dialog->*c.Format, std::nullopt);
        const TFileDialogPrompt& asked = ScriptedPrompts::Instance().FileDialogs().back();
        EXPECT_EQ(asked.Title, QLatin1String(c.Title));
        EXPECT_EQ(asked.DefaultExt, QLatin1String(c.Ext));
        EXPECT_EQ(asked.Filter, QLatin1String(c.Filter));
        EXPECT_FALSE(asked.Save);
        EXPECT_EQ(asked.Flags & 0x1800, 0x1800);
        EXPECT_EQ(asked.InitDir, *c.Folder);
        EXPECT_EQ(*c.Folder, QStringLiteral("/start/") + QLatin1String(c.Ext));
        EXPECT_TRUE(ImportOpen());
    }
    EXPECT_EQ(StackXml(), before);
    EXPECT_TRUE(Listener::Events().isEmpty());
}

TEST_F(ImportOptionsTest, XmlAddsTheCardsShowsTheFirstAndCloses)
{
    OpenChangedPeople();
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    const QString file = iDir.File(QStringLiteral("people.xml"));
    CVexilExports::ExportXml(*gStack, file);
    TCardRef last;
    gStackView->OrderLast(last);
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ImportFile(*dialog, dialog->fXml, file);
    EXPECT_EQ(CardNames(), (QStringList{"Start", "Ann", "Bob", "Start", "Ann", "Bob"}));
    EXPECT_EQ(CurCardName(), QStringLiteral("Start"));
    EXPECT_EQ(gImportXmlDialogInitDir, iDir.Path());
    EXPECT_FALSE(ImportOpen());
    EXPECT_TRUE(Listener::Events().isEmpty());
}

TEST_F(ImportOptionsTest, XmlAnsweredBackToStackOnlyShowsTheFirstCardAndCloses)
{
    OpenChangedPeople();
    const QString file = iDir.File(QStringLiteral("people.xml"));
    CVexilExports::ExportXml(*gStack, file);
    TCardRef last;
    gStackView->OrderLast(last);
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ScriptedPrompts::Instance().ExpectSaveChanges(2);
    ImportFile(*dialog, dialog->fXml, file);
    EXPECT_EQ(CardNames(), (QStringList{"Start", "Ann", "Bob"}));
    EXPECT_EQ(CurCardName(), QStringLiteral("Start"));
    EXPECT_TRUE(gImportXmlDialogInitDir.isEmpty());
    EXPECT_FALSE(ImportOpen());
}

TEST_F(ImportOptionsTest, HanDBaseAnsweredBackToStackChangesNothing)
{
    OpenChangedPeople();
    const TStackRef people = gStack;
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ScriptedPrompts::Instance().ExpectSaveChanges(2);
    ImportFile(*dialog, dialog->fPdb, HandFile());
    ExpectUnchanged(people);
    EXPECT_TRUE(Listener::Events().isEmpty());
    EXPECT_TRUE(gImportHandBaseDialogInitDir.isEmpty());
    EXPECT_TRUE(ImportOpen());
}

TEST_F(ImportOptionsTest, HanDBaseDiscardLeavesTheStackThenOpensTheNewOne)
{
    OpenChangedPeople();
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    ImportFile(*dialog, dialog->fPdb, HandFile());
    EXPECT_EQ(Listener::Events(), kLeftThenOpened);
    EXPECT_EQ(CardNames(), (QStringList{"1", "2"}));
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilCardListForm::KClassName));
    EXPECT_EQ(gImportHandBaseDialogInitDir, iDir.Path());
    // It stays open on the new stack, whose background it lists.
    ASSERT_TRUE(ImportOpen());
    EXPECT_EQ(dialog->fBackgroundBox->currentText(), gStack->Background(dialog->TargetBackground()->Id())->Name());
}

TEST_F(ImportOptionsTest, HanDBaseThatFailsLeavesTheCurrentStackAsItWas)
{
    OpenChangedPeople();
    const TStackRef people = gStack;
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    ScriptedPrompts::Instance().ExpectMessage();
    ImportFile(*dialog, dialog->fPdb, File("bad.pdb", PdbBuilder("XXXX").Bytes()));
    EXPECT_EQ(MessageIds(), std::vector<int32_t>{EErrWrongFormat});
    ExpectUnchanged(people);
    EXPECT_TRUE(Listener::Events().isEmpty());
    EXPECT_TRUE(ImportOpen());
}

TEST_F(ImportOptionsTest, MergeAddsTheOtherStacksCardsAndCloses)
{
    OpenUnchangedPeople();
    const QString other = iDir.File(QStringLiteral("other.Quorvan"));
    {
        CVexilStackFile file;
        file.Construct(other);
        file.SaveStack(gStack, gStackView->Rec());
    }
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    ImportFile(*dialog, dialog->fQuorvan, other);
    EXPECT_EQ(CardNames().size(), 6);
    EXPECT_EQ(Listener::Events(), QList<int32_t>{EChgStructure});
    EXPECT_EQ(gImportQuorvanDialogInitDir, iDir.Path());
    EXPECT_FALSE(ImportOpen());
}

TEST_F(ImportOptionsTest, TextFillsTheChosenBackgroundAndCloses)
{
    OpenUnchangedPeople();
    const TControlSetRef notes = NewBackground(*gStack, QStringLiteral("Notes"));
    NewField(*gStack, *notes, QStringLiteral("Text"), EConTypeText);
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    Choose(dialog->fText);
    dialog->iBackgroundBox.SetSelIndexByObj(notes.get());
    ScriptedPrompts::Instance().ExpectFile(File("notes.txt", "first\r\nsecond\r\n"));
    Click(dialog->fOkBut);
    DeleteUnloaded();
    TCardRef card;
    int32_t cursor = 0;
    int notesCards = 0;
    for (bool more = gStack->GetFirstCard(card, cursor); more; more = gStack->GetNextCard(card, cursor))
        notesCards += card->Background() == notes ? 1 : 0;
    EXPECT_EQ(notesCards, 1);
    EXPECT_EQ(Listener::Events(), QList<int32_t>{EChgStructure});
    EXPECT_EQ(gImportTextDialogInitDir, iDir.Path());
    EXPECT_FALSE(ImportOpen());
}

TEST_F(ImportOptionsTest, AStackClosedUnderTheDialogIsNoTarget)
{
    OpenChangedPeople();
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    Choose(dialog->fText);
    CVexilStackCmds::Close();
    ASSERT_FALSE(gStack);
    EXPECT_EQ(dialog->fBackgroundBox->count(), 0);
    EXPECT_FALSE(dialog->fXml->isEnabled());
    EXPECT_FALSE(dialog->fQuorvan->isEnabled());
    EXPECT_FALSE(dialog->fText->isEnabled());
    ScriptedPrompts::Instance().ExpectMessage();
    Click(dialog->fOkBut);
    EXPECT_EQ(MessageIds(), std::vector<int32_t>{EMsgBackgroundNotFound});
    EXPECT_TRUE(ScriptedPrompts::Instance().FileDialogs().empty());
    EXPECT_TRUE(ImportOpen());
}

TEST_F(ImportOptionsTest, ABackgroundGoneWithoutNoticeIsRefusedWithItsName)
{
    OpenPeople();
    const TControlSetRef notes = NewBackground(*gStack, QStringLiteral("Notes"));
    CVexilImportOptions* dialog = OpenImport();
    ASSERT_TRUE(dialog);
    Choose(dialog->fText);
    dialog->iBackgroundBox.SetSelIndexByObj(notes.get());
    gStackView->DeleteBackground(notes, false);
    ScriptedPrompts::Instance().ExpectMessage();
    Click(dialog->fOkBut);
    ASSERT_EQ(MessageIds(), std::vector<int32_t>{EMsgBackgroundNotFound});
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages()[0].Text.contains(QStringLiteral("Notes")));
    EXPECT_TRUE(ScriptedPrompts::Instance().FileDialogs().empty());
}

TEST_F(ImportOptionsTest, ExportXmlWritesTheFileAndCloses)
{
    OpenPeople();
    CVexilExportOptions* options = Show<CVexilExportOptions>(CVexilExportOptions::KClassName);
    ASSERT_TRUE(options);
    Choose(options->fXml);
    const QString file = iDir.File(QStringLiteral("out.xml"));
    ScriptedPrompts::Instance().ExpectFile(file);
    Click(options->fOkBut);
    DeleteUnloaded();
    const QByteArray written = FileContent(file);
    EXPECT_TRUE(written.contains("name=\"Ann\""));
    EXPECT_TRUE(written.contains("<control name=\"Age\">42</control>"));
    EXPECT_EQ(gExportXmlDialogInitDir, iDir.Path());
    EXPECT_FALSE(CVexilFormRegistry::Loaded(CVexilExportOptions::KClassName));
}

class ScannerTest : public ImportOptionsTest
{
protected:
    static void SetUpTestSuite()
    {
        ImportOptionsTest::SetUpTestSuite();
        MainForm::Register();
    }
    // As the main window's Debug > MainForm shows it.
    static MainForm* OpenPanel()
    {
        auto* panel = dynamic_cast<MainForm*>(CVexilFormRegistry::NameToForm(MainForm::KClassName));
        if (panel)
            CVexilWinMan::ShowForm(*panel);
        return panel;
    }
    static void ClickButton(MainForm& aPanel, const char* aName)
    {
        auto* button = aPanel.findChild<QAbstractButton*>(QLatin1String(aName));
        ASSERT_TRUE(button) << aName;
        Click(button);
    }
};

TEST_F(ScannerTest, ButtonsMoveThroughTheStack)
{
    OpenPeople();
    MainForm* panel = OpenPanel();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Scanner"));
    const std::pair<const char*, const char*> steps[] = {
        {"LastBut", "Bob"}, {"FirstBut", "Start"}, {"NextBut", "Ann"}, {"NextBut", "Bob"},
        {"PrevBut", "Ann"}, {"HistoryPrev", "Bob"},
    };
    for (const auto& [button, card] : steps)
    {
        ClickButton(*panel, button);
        EXPECT_EQ(CurCardName(), QLatin1String(card)) << button;
    }
    ClickButton(*panel, "CloseBut");
    EXPECT_FALSE(CVexilFormRegistry::Loaded(CVexilCardListForm::KClassName));
    ClickButton(*panel, "ShowCardListBut");
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilCardListForm::KClassName));
}

TEST_F(ScannerTest, ButtonsThatNeedAStackDoNothingWithoutOne)
{
    MainForm* panel = OpenPanel();
    ASSERT_TRUE(panel);
    for (const char* button : {"FirstBut", "PrevBut", "NextBut", "LastBut", "HistoryPrev", "ShowFormBut",
                               "ShowCardListBut", "CloseBut", "CardScript", "SaveBut"})
        ClickButton(*panel, button);
    EXPECT_FALSE(gStack);
    EXPECT_TRUE(ScriptedPrompts::Instance().FileDialogs().empty());
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
    EXPECT_FALSE(CVexilFormRegistry::Loaded(CVexilScriptEdit::KClassName));
}

TEST_F(ScannerTest, SaveThenLoadLeavesTheStackAndOpensTheRecords)
{
    gStackFolder = iDir.Path();
    OpenPeople();
    MainForm* panel = OpenPanel();
    ASSERT_TRUE(panel);
    const QString file = iDir.File(QStringLiteral("people.vxs"));
    ScriptedPrompts::Instance().ExpectFile(file);
    ClickButton(*panel, "SaveBut");
    EXPECT_EQ(ScriptedPrompts::Instance().FileDialogs().back().InitDir, iDir.Path());
    NewCard(*gStack, QStringLiteral("Extra"), gStackView->CurCard()->Background());
    const TStackRef old = gStack;

    ScriptedPrompts::Instance().ExpectFile(file);
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    ClickButton(*panel, "LoadBut");
    EXPECT_EQ(Listener::Events(), kLeftThenOpened);
    EXPECT_NE(gStack, old);
    EXPECT_EQ(CardNames(), (QStringList{"Start", "Ann", "Bob"}));
    EXPECT_TRUE(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
}

TEST_F(ScannerTest, ARefusedFileLeavesTheStack)
{
    OpenPeople();
    const TStackRef people = gStack;
    MainForm* panel = OpenPanel();
    ASSERT_TRUE(panel);
    ScriptedPrompts::Instance().ExpectFile(File("bad.vxs", QByteArray(40, 'x')));
    ScriptedPrompts::Instance().ExpectMessage();
    ClickButton(*panel, "LoadBut");
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
    EXPECT_EQ(gStack, people);
    EXPECT_TRUE(Listener::Events().isEmpty());
}

TEST(ScannerFiles, HanziLinesBecomeCardsWithEmptyTextsForMissingItems)
{
    EXPECT_EQ(CVexilScannerFiles::HanziItems(QStringLiteral("a\tb")), (QStringList{"a", "b", "", ""}));
    EXPECT_EQ(CVexilScannerFiles::HanziItems(QStringLiteral("a\tb\tc\td\te")), (QStringList{"a", "b", "c", "d"}));
    TempDir dir;
    SetFileContent(dir.File(QStringLiteral("Hanzi.dat")), "Mond\tStory\t\xe6\x9c\x88\tE\r\nshort\n");
    CVexilScannerFiles::HanziToXml(dir.Path());
    const QString xml = QString::fromUtf8(FileContent(dir.File(QStringLiteral("Hanzi.xml"))));
    EXPECT_TRUE(xml.contains(QStringLiteral("<vexilstack version=\"1.0\">"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<card name=\"2\" background=\"First Background\">")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<control name=\"Hanzi\">\u6708</control>")));
    EXPECT_EQ(xml.count(QStringLiteral("<control name=\"Element\">")), 2);
    EXPECT_TRUE(xml.contains(QStringLiteral("<control name=\"Element\"></control>"))) << xml.toStdString();
}
