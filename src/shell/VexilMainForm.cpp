#include "shell/VexilMainForm.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "interchange/VexilPdbFile.h"
#include "model/VexilBlobStore.h"
#include "model/VexilFileReplace.h"
#include "model/VexilSortKey.h"
#include "model/VexilStackCheck.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilMenuWindows.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

#include <QDir>
#include <QFile>

namespace
{
const QString kLoadContext = QStringLiteral("MainForm.LoadBut_Click");

// The design in twips.
constexpr float kMargin = 120;
constexpr float kButtonWidth = 1950;
constexpr float kButtonHeight = 375;
constexpr int kColumns = 4;
constexpr int kRows = 6;
constexpr float kBoxTop = kMargin + kRows * (kButtonHeight + kMargin);
constexpr float kBoxHeight = 600;
constexpr float kFormWidth = kMargin + kColumns * (kButtonWidth + kMargin);
constexpr float kBoxWidth = kFormWidth - 2 * kMargin;
constexpr float kFormHeight = kBoxTop + 2 * (kBoxHeight + kMargin);

// Writes through aWrite into a new file beside aFileName, which replaces it when complete.
template <class FWrite>
void WriteReplacing(const QString& aFileName, FWrite&& aWrite)
{
    CVexilFileReplace target(aFileName);
    aWrite(target.NewName());
    target.Commit();
}

void Notice(const QString& aText)
{
    CVexilPrompts::Current()->Notice(aText);
}
}  // namespace

void CVexilScannerFiles::SaveRecords(const QString& aFileName)
{
    if (!gStack || !gStackView)
        return;
    gStackView->UpdateRect();
    WriteReplacing(aFileName, [](const QString& aNewName) {
        CVexilFile file;
        file.Construct(aNewName, EFilWrite);
        file.OpenFile();
        gStack->Externalize(file);
        gStackView->Rec()->Externalize(file);
        file.CloseFile();
    });
}

void CVexilScannerFiles::LoadRecords(const QString& aFileName)
{
    auto stack = std::make_shared<CVexilStack>();
    auto rec = std::make_shared<CVexilStackViewRec>();
    {
        CVexilFile file;
        file.Construct(aFileName, EFilRead);
        file.OpenFile();
        stack->Internalize(file);
        rec->Internalize(file);
        // The file holds no pictures: a value naming one is refused like a stack file's.
        auto store = std::make_shared<CVexilBlobStore>();
        store->Construct(EBstRamBased);
        stack->SetBlobStore(store);
        CVexilStackCheck::CheckPictures(*stack, file, kLoadContext);
        file.CloseFile();
    }
    rec->MarkClosed();
    stack->ResetChanged();
    if (CVexilDialogLib::CloseCurrentStack())
        return;
    {
        const CVexilStackCmds::TBusy opening;
        CVexilStackCmds::MakeCurrent(stack, rec);
    }
    CVexilWinMan::NotifyAll(EChgStackOpened);
}

void CVexilScannerFiles::SortKeyRoundTrip(const QString& aFolder)
{
    const QString fileName = QDir(aFolder).filePath(QStringLiteral("Test.xml"));
    CVexilSortKey key;
    key.SetName(QStringLiteral("TestSortKey"));
    key.AddKeyPart(EConTypeText, 1, 0, 10);
    key.AddKeyPart(EConTypeInteger, 2, 1, 4);
    WriteReplacing(fileName, [&key](const QString& aNewName) {
        CVexilXmlWriter writer(aNewName);
        writer.OpenFile();
        key.ExternalizeXml(writer);
        writer.CloseFile();
    });
    CVexilSortKey back;
    CVexilXmlParser parser(fileName);
    parser.OpenFile();
    parser.ReadHeader();
    CVexilStoredObj::ReadXmlChild(parser, back, QStringLiteral("Test"), QStringLiteral("root"));
    parser.CloseFile();
}

QStringList CVexilScannerFiles::HanziItems(const QString& aLine)
{
    QStringList items = aLine.split(QLatin1Char('\t'));
    items.resize(4);
    return items;
}

void CVexilScannerFiles::HanziToXml(const QString& aFolder)
{
    const QDir folder(aFolder);
    QFile input(folder.filePath(QStringLiteral("Hanzi.dat")));
    if (!input.open(QIODevice::ReadOnly))
        CVexilError::Throw(EErrFileNotFound, QStringLiteral("MainForm.HanziToXmlBut_Click"), input.fileName());
    QStringList lines = QString::fromUtf8(input.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QStringList names = {QStringLiteral("German"), QStringLiteral("Story"), QStringLiteral("Hanzi"),
                               QStringLiteral("Element")};
    WriteReplacing(folder.filePath(QStringLiteral("Hanzi.xml")), [&](const QString& aNewName) {
        CVexilXmlWriter writer(aNewName);
        writer.OpenFile();
        writer.BeginElem(QStringLiteral("vexilstack"));
        writer.AddAttr(QStringLiteral("version"), QStringLiteral("1.0"));
        writer.BeginStruct();
        for (qsizetype i = 0; i < lines.size(); ++i)
        {
            QString line = lines[i];
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            const QStringList items = HanziItems(line);
            writer.BeginElem(QStringLiteral("card"));
            writer.AddAttr(QStringLiteral("name"), QString::number(i + 1));
            writer.AddAttr(QStringLiteral("background"), QStringLiteral("First Background"));
            writer.BeginStruct();
            for (int k = 0; k < 4; ++k)
            {
                writer.BeginElem(QStringLiteral("control"));
                writer.AddAttr(QStringLiteral("name"), names[k]);
                writer.AddElemText(items[k]);
                writer.EndElem(QStringLiteral("control"));
            }
            writer.EndElem(QStringLiteral("card"));
        }
        writer.EndElem(QStringLiteral("vexilstack"));
        writer.CloseFile();
    });
}

MainForm::MainForm() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Scanner"));
    SetDesignSize(int(kFormWidth), int(kFormHeight));
    LoadSave.DefaultExt = QStringLiteral("vxs");
    LoadSave.Filter = QStringLiteral("VexilStacks (*.vxs)|*.vxs|Alle Dateien (*.*)|*.*");

    AddButton("FirstBut", QStringLiteral("First"), &MainForm::First);
    AddButton("PrevBut", QStringLiteral("Prev"), &MainForm::Prev);
    AddButton("NextBut", QStringLiteral("Next"), &MainForm::Next);
    AddButton("LastBut", QStringLiteral("Last"), &MainForm::Last);
    AddButton("HistoryPrev", QStringLiteral("Back"), &MainForm::Back);
    AddButton("ShowFormBut", QStringLiteral("Show Form"), &MainForm::ShowCardView);
    AddButton("ShowCardListBut", QStringLiteral("Show Card List"), &MainForm::ShowCardList);
    AddButton("CloseBut", QStringLiteral("Close"), &MainForm::CloseViews);
    AddButton("CardScript", QStringLiteral("Stack Script"), &MainForm::StackScript);
    AddButton("SaveBut", QStringLiteral("&Save"), &MainForm::Save);
    AddButton("LoadBut", QStringLiteral("Load"), &MainForm::LoadStack);
    AddButton("ImportBut", QStringLiteral("Import"), &MainForm::Import);
    AddButton("LoadXmlBut", QStringLiteral("LoadXml"), &MainForm::NotImplemented);
    AddButton("SaveXmlBut", QStringLiteral("SaveXml"), &MainForm::NotImplemented);
    AddButton("TestBut", QStringLiteral("Test"), &MainForm::Test);
    AddButton("fTestBut", QStringLiteral("Test"), &MainForm::PdbTest);
    AddButton("HanziToXmlBut", QStringLiteral("Hanzi to XML"), &MainForm::HanziToXml);
    AddButton("SwitchBackBut", QStringLiteral("Switch Background"), &MainForm::NoAction);
    AddButton("NewBackBut", QStringLiteral("New Background"), &MainForm::NoAction);
    AddButton("NewControlBut", QStringLiteral("Control"), &MainForm::NoAction);
    AddButton("NewCardBut", QStringLiteral("New Card"), &MainForm::NoAction);
    AddButton("ImportExtraBut", QStringLiteral("Import"), &MainForm::NoAction);

    fRich = Add<CVexilRichTextBox>(QStringLiteral("fRich"));
    fRich->Move(kMargin, kBoxTop, kBoxWidth, kBoxHeight);
    fRtf = Add<CVexilTextBox>(QStringLiteral("fRtf"));
    fRtf->Move(kMargin, kBoxTop + kBoxHeight + kMargin, kBoxWidth, kBoxHeight);
}

void MainForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new MainForm; });
}

void MainForm::Load()
{
    LoadSave.InitDir = gStackFolder;
}

CVexilCommandButton* MainForm::AddButton(const char* aName, const QString& aCaption, void (MainForm::*aAction)())
{
    auto* button = Add<CVexilCommandButton>(QLatin1String(aName));
    button->setText(aCaption);
    const int column = iButtons % kColumns;
    const int row = iButtons / kColumns;
    ++iButtons;
    button->Move(kMargin + float(column) * (kButtonWidth + kMargin), kMargin + float(row) * (kButtonHeight + kMargin),
                 kButtonWidth, kButtonHeight);
    connect(button, &QPushButton::clicked, this, [this, aAction] { Guarded([this, aAction] { (this->*aAction)(); }); });
    return button;
}

void MainForm::First()
{
    TCardRef card;
    if (gStackView)
        gStackView->OrderFirst(card);
}

void MainForm::Prev()
{
    TCardRef card;
    if (gStackView)
        gStackView->OrderPrev(card);
}

void MainForm::Next()
{
    TCardRef card;
    if (gStackView)
        gStackView->OrderNext(card);
}

void MainForm::Last()
{
    TCardRef card;
    if (gStackView)
        gStackView->OrderLast(card);
}

void MainForm::Back()
{
    TCardRef card;
    if (gStackView)
        gStackView->HistoryPrev(card);
}

void MainForm::ShowCardView()
{
    if (gStackView)
        gStackView->OpenCardView();
}

void MainForm::ShowCardList()
{
    if (gStackView)
        gStackView->OpenCardList();
}

void MainForm::CloseViews()
{
    if (!gStackView)
        return;
    gStackView->LeaveCurCard();
    gStackView->CloseCardList();
    gStackView->CloseCardView(false);
}

void MainForm::StackScript()
{
    if (!gStack)
        return;
    CVexilMenuWindows::Current().EditScript(gStack, this);
}

void MainForm::Save()
{
    QString fileName;
    LoadSave.Save = true;
    if (!gStack || !CVexilPrompts::Current()->FileDialog(LoadSave, fileName))
        return;
    CVexilScannerFiles::SaveRecords(fileName);
}

void MainForm::LoadStack()
{
    QString fileName;
    LoadSave.Save = false;
    if (!CVexilPrompts::Current()->FileDialog(LoadSave, fileName))
        return;
    CVexilScannerFiles::LoadRecords(fileName);
}

void MainForm::Import()
{
    QString fileName;
    LoadSave.Save = false;
    if (!CVexilPrompts::Current()->FileDialog(LoadSave, fileName))
        return;
    if (CVexilMenuWindows::Current().ImportCsv(fileName))
        Notice(QStringLiteral("Complete."));
}

void MainForm::NotImplemented()
{
    Notice(QStringLiteral("Not implemented"));
}

void MainForm::Test()
{
    CVexilScannerFiles::SortKeyRoundTrip(gStackFolder);
}

void MainForm::PdbTest()
{
    CVexilPdbFile pdb;
    pdb.Construct(fRich->toPlainText().trimmed());
    pdb.CloseFile();
}

void MainForm::HanziToXml()
{
    CVexilScannerFiles::HanziToXml(gStackFolder);
    Notice(QStringLiteral("Fertig."));
}
