#include "importexport/VexilCsvExportOptions.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "importexport/VexilExportOptions.h"
#include "importexport/VexilTargetBackground.h"
#include "interchange/VexilExports.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilOptions.h"

#include <QGroupBox>

namespace
{
// The design in twips.
constexpr float kMargin = 120;
constexpr float kFrameWidth = 2760;
constexpr float kFrameHeight = 1275;
constexpr float kRowHeight = 285;
constexpr float kButtonWidth = 1215;
constexpr float kButtonHeight = 375;
constexpr float kButtonLeft = kMargin + kFrameWidth + kMargin;
constexpr float kFormWidth = kButtonLeft + kButtonWidth + kMargin;
constexpr float kFormHeight = kMargin + kFrameHeight + kMargin;

const QString kContext = QStringLiteral("CVexilCsvExportOptions.fExportBut_Click");
}  // namespace

CVexilCsvExportOptions::CVexilCsvExportOptions() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("CSV Export Options"));
    SetDesignSize(int(kFormWidth), int(kFormHeight));
    fExportDialog.Title = QStringLiteral("CSV Export File Name");
    fExportDialog.Filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*");
    fExportDialog.DefaultExt = QStringLiteral("csv");

    Frame1 = new QGroupBox(QStringLiteral("Delimiter"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kMargin), TwipsToPixels(kFrameWidth),
                        TwipsToPixels(kFrameHeight));
    auto option = [this](const char* aName, const QString& aCaption, int aRow) {
        auto* button = Add<CVexilOptionButton>(QLatin1String(aName), Frame1);
        button->setText(aCaption);
        button->Move(kMargin, 300 + float(aRow) * kRowHeight, kFrameWidth - 2 * kMargin, kRowHeight);
        return button;
    };
    fComma = option("fComma", QStringLiteral("Comma , , , , , ,"), 0);
    fSemiColon = option("fSemiColon", QStringLiteral("Semicolon ; ; ; ; ;"), 1);
    fTab = option("fTab", QStringLiteral("Tab characters"), 2);

    fExportBut = Add<CVexilCommandButton>(QStringLiteral("fExportBut"));
    fExportBut->setText(QStringLiteral("Export"));
    fExportBut->Move(kButtonLeft, kMargin + 60, kButtonWidth, kButtonHeight);
    fCancelBut = Add<CVexilCommandButton>(QStringLiteral("fCancelBut"));
    fCancelBut->setText(QStringLiteral("Cancel"));
    fCancelBut->Move(kButtonLeft, kMargin + 60 + kButtonHeight + kMargin, kButtonWidth, kButtonHeight);

    connect(fExportBut, &QPushButton::clicked, this, [this] { Guarded([this] { ExportClicked(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

void CVexilCsvExportOptions::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCsvExportOptions; });
}

void CVexilCsvExportOptions::Load()
{
    CVexilFormPlacement::Restore(*this);
    fExportDialog.InitDir = gExportCsvDialogInitDir;
    SetDelimiter(gCsvExportDelimiter);
}

void CVexilCsvExportOptions::Unload()
{
    CVexilFormPlacement::Save(*this);
    gCsvExportDelimiter = GetDelimiter();
}

void CVexilCsvExportOptions::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    if (aEvent == EChgClosingStack)
        UnloadForm();
}

void CVexilCsvExportOptions::SetBackground(const TControlSetRef& aBackground)
{
    iBackgroundId = aBackground ? aBackground->Id() : UndefLong;
    iBackgroundName = aBackground ? aBackground->Name() : QString();
}

QString CVexilCsvExportOptions::GetDelimiter() const
{
    if (fComma->isChecked())
        return QStringLiteral(",");
    if (fSemiColon->isChecked())
        return QStringLiteral(";");
    if (fTab->isChecked())
        return QStringLiteral("\t");
    return {};
}

void CVexilCsvExportOptions::SetDelimiter(const QString& aDelim)
{
    (aDelim == u";" ? fSemiColon : aDelim == u"\t" ? fTab : fComma)->setChecked(true);
}

void CVexilCsvExportOptions::ExportClicked()
{
    // The export options' choice at this moment, while that window is open.
    if (auto* options = dynamic_cast<CVexilExportOptions*>(CVexilFormRegistry::Loaded(CVexilExportOptions::KClassName)))
        SetBackground(std::dynamic_pointer_cast<CVexilControlSet>(options->iBackgroundBox.SelObj()));
    const TControlSetRef background = CVexilTargetBackground::Find(iBackgroundId, iBackgroundName);
    if (!background)
        return;
    fExportDialog.Flags |= TFileDialogPrompt::KOverwritePrompt;
    fExportDialog.Save = true;
    if (fExportDialog.InitDir.isEmpty())
        fExportDialog.InitDir = gExportCsvDialogInitDir;
    QString path;
    if (!CVexilPrompts::Current()->FileDialog(fExportDialog, path))
        return;
    try
    {
        CVexilDialogLib::BeginWait();
        CVexilExports::ExportCsv(path, *gStack, background, GetDelimiter());
        CVexilDialogLib::EndWait();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(kContext, e);
        CVexilMsg::ShowError();
        return;
    }
    QString name;
    CVexilLib::SplitPath(path, gExportCsvDialogInitDir, name);
    fExportDialog.InitDir = gExportCsvDialogInitDir;
    if (CVexilForm* options = CVexilFormRegistry::Loaded(CVexilExportOptions::KClassName))
        options->close();
    CVexilFormRegistry::Unload(CVexilExportOptions::KClassName);
    UnloadForm();
}
