#include "shell/VexilStackCmds.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilObject.h"
#include "foundation/VexilValueField.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackHost.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCurrentStack.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilStackView.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilNewStackForm.h"
#include "shell/VexilOptions.h"
#include "shell/VexilWinMan.h"

#include <QMetaObject>

#include <exception>

namespace
{
int gBusy = 0;

const QString kPictureViewer = QStringLiteral("CVexilPictureViewer");

TFileDialogPrompt MakeDialog(const QString& aTitle, const QString& aFilter, const QString& aDefaultExt)
{
    TFileDialogPrompt dialog;
    dialog.Title = aTitle;
    dialog.Filter = aFilter;
    dialog.DefaultExt = aDefaultExt;
    return dialog;
}

// Sets up one use of a file dialog: only the flags of that use; the option's folder when the
// dialog has none yet. False when the user cancelled.
bool AskFile(TFileDialogPrompt& aDialog, int32_t aFlags, bool aSave, const QString& aOptionDir, QString& aFileName)
{
    aDialog.Flags = aFlags;
    aDialog.Save = aSave;
    if (aDialog.InitDir.isEmpty())
        aDialog.InitDir = aOptionDir;
    return CVexilPrompts::Current()->FileDialog(aDialog, aFileName);
}

QString FolderOf(const QString& aFileName)
{
    QString folder;
    QString name;
    CVexilLib::SplitPath(aFileName, folder, name);
    return folder;
}

// Runs a command's work; an error ends it and is reported. False after an error.
template <class F>
bool Reported(const QString& aContext, F aWork)
{
    try
    {
        aWork();
        return true;
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(aContext, e);
        CVexilMsg::ShowError();
        return false;
    }
}

// Writes the stack with its view's record under aFileName; the stack is unchanged afterwards.
// The stack view's rectangles are brought up to date first, so the file keeps where the
// windows stand.
void WriteStack(const TStackRef& aStack, CVexilStackView& aView, const QString& aFileName)
{
    CVexilDialogLib::BeginWait();
    aView.UpdateRect();
    CVexilStackFile file;
    file.Construct(aFileName);
    file.SaveStack(aStack, aView.Rec());
    CVexilDialogLib::EndWait();
}
}  // namespace

CVexilStackCmds::TBusy::TBusy()
{
    ++gBusy;
}

CVexilStackCmds::TBusy::~TBusy()
{
    --gBusy;
}

void CVexilStackCmds::Install()
{
    CVexilCurrentStack::Install();
    CVexilCurrentStack::SetFileHistory(&CVexilOptions::AddFileHistory);
}

bool CVexilStackCmds::Busy()
{
    return gBusy > 0;
}

TFileDialogPrompt& CVexilStackCmds::LoadDialog()
{
    static TFileDialogPrompt dialog =
        MakeDialog(QStringLiteral("Open Stack"), QStringLiteral("Quorvan (*.Quorvan)|*.Quorvan|All Files (*.*)|*"),
                   QStringLiteral("Quorvan"));
    return dialog;
}

TFileDialogPrompt& CVexilStackCmds::ImportPicDialog()
{
    // Every format the import takes without asking: GIF, JPEG (either extension), PNG and BMP.
    static TFileDialogPrompt dialog =
        MakeDialog(QStringLiteral("Import Picture"),
                   QStringLiteral("Pictures (*.gif;*.jpg;*.jpeg;*.png;*.bmp)|*.gif;*.jpg;*.jpeg;*.png;*.bmp"
                                  "|All Files (*.*)|*"),
                   QStringLiteral("gif"));
    return dialog;
}

void CVexilStackCmds::Open()
{
    if (Busy())
        return;
    const TBusy busy;
    QString fileName;
    if (!AskFile(LoadDialog(), TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist, false,
                 gLoadDialogInitDir, fileName))
        return;
    Reported(QStringLiteral("CVexilFrame.fOpenStack_Click"), [&] {
        LeaveStack();
        if (gStack)
            return;
        CVexilStackHost::HandleLoadStack(fileName);
        // Also when the file could not be opened: the user looked in that folder.
        gLoadDialogInitDir = FolderOf(fileName);
    });
}

void CVexilStackCmds::OpenRecent(int aIndex)
{
    if (Busy() || aIndex < 0 || aIndex >= KFileHistorySize)
        return;
    const QString fileName = CVexilOptions::RecentItems(gFileHistory)[size_t(aIndex)].Path;
    if (fileName.isEmpty())
        return;
    const TBusy busy;
    Reported(QStringLiteral("CVexilFrame.fHistory_Click"), [&] {
        LeaveStack();
        if (!gStack)
            CVexilStackHost::HandleLoadStack(fileName);
    });
}

void CVexilStackCmds::Save()
{
    if (Busy() || !gStack)
        return;
    const TBusy busy;
    SaveStack();
}

void CVexilStackCmds::SaveAs()
{
    if (Busy() || !gStack)
        return;
    const TBusy busy;
    SaveStackAs();
}

void CVexilStackCmds::Close()
{
    if (Busy())
        return;
    const TBusy busy;
    Reported(QStringLiteral("CVexilFrame.fCloseStack_Click"), [] { LeaveStack(); });
}

void CVexilStackCmds::DeleteCard()
{
    if (Busy() || !gStackView)
        return;
    const TCardRef card = gStackView->CurCard();
    if (!card)
        return;
    Reported(QStringLiteral("CVexilFrame.fDeleteCard_Click"), [&] {
        if (!CVexilMsg::Ask(EMsgDeleteCardOk, EMsgClsQuestion, card->Name(), CVexilMsg::Undef))
            return;
        CVexilWinMan::NotifyAll(EChgDeletingCard, card);
        // A window may have deleted the card, or the stack may have gone, in the broadcast's
        // yields.
        if (gStackView && gStack && card->Stack() == gStack.get() && gStack->GetCardById(card->Id()) == card)
            gStackView->DeleteCard(card, nullptr);
    });
}

void CVexilStackCmds::EmptyStack()
{
    if (Busy() || !gStackView)
        return;
    Reported(QStringLiteral("CVexilFrame.fEmptyStack_Click"), [] {
        if (!CVexilMsg::Ask(EMsgEmptyStackOk, EMsgClsQuestion, CVexilMsg::Undef, CVexilMsg::Undef) || !gStackView)
            return;
        CVexilDialogLib::BeginWait();
        gStackView->EmptyStack();
        CVexilDialogLib::EndWait();
        // The editors and the search drop the cards they show.
        CVexilWinMan::NotifyAll(EChgCards);
    });
}

void CVexilStackCmds::ImportPicFile()
{
    if (Busy() || !gStackView)
        return;
    Reported(QStringLiteral("CVexilFrame.fImportPicFile_Click"), [] {
        const TControlRef field = GetActiveVexilControl();
        if (!field || field->ConType() != EConTypePicture)
            return;
        QString fileName;
        if (!AskFile(ImportPicDialog(), TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist,
                     false, gImportPicDialogInitDir, fileName))
            return;
        TBlobRef blob;
        CVexilLibPictures::HandleImportPic(field.get(), fileName, blob);
        gImportPicDialogInitDir = FolderOf(fileName);
    });
}

void CVexilStackCmds::ShowPicture()
{
    if (Busy() || !gStackView)
        return;
    Reported(QStringLiteral("CVexilFrame.fShowPicture_Click"), [] {
        const int32_t id = PictureToShow();
        if (id == UndefLong)
            return;
        CVexilForm* viewer = CVexilWinMan::NameToForm(kPictureViewer);
        if (!viewer)
            return;
        CVexilWinMan::ShowForm(*viewer);
        // Bound by name: the viewer is a window like any other to this command.
        QMetaObject::invokeMethod(viewer, "ShowPicture", Q_ARG(int, id));
    });
}

TControlRef CVexilStackCmds::GetActiveVexilControl()
{
    TCardRef card;
    if (!gStackView || !gStackView->GetCurCard(card))
        return {};
    const CVexilCardView* cardView = gStackView->CardView();
    const CVexilForm* window = CVexilFormRegistry::Loaded(CVexilGenForm::KClassName);
    const CVexilCtl* active = window ? window->ActiveControl() : nullptr;
    if (!cardView || !active || !cardView->IsVexilControl(active->Widget()))
        return {};
    return cardView->VexilControl(active->Widget());
}

int32_t CVexilStackCmds::PictureToShow()
{
    const TControlRef field = GetActiveVexilControl();
    if (!field || field->ConType() != EConTypePicture)
        return UndefLong;
    const auto* box = qobject_cast<const CVexilPictureBox*>(field->BaseControl());
    bool isNumber = false;
    const int32_t id = box ? box->Tag().toInt(&isNumber) : 0;
    if (!isNumber)
        return UndefLong;
    const TBlobRef blob = gStack->BlobStore()->ReadBlob(id);
    // A sample stands for its full picture.
    return blob && blob->OriginalId() != UndefLong ? blob->OriginalId() : id;
}

void CVexilStackCmds::LeaveStack()
{
    if (!gStack)
        return;
    if (gStackView)
        gStackView->ValidateCurControl();
    bool proceed = true;
    bool saveFirst = false;
    CVexilDialogLib::CheckLeaveStack(proceed, saveFirst);
    if (!proceed || !gStack)
        return;
    if (saveFirst && (!SaveStack() || !gStack || gStack->Changed()))
        return;
    LeaveAnswered();
}

void CVexilStackCmds::LeaveAnswered()
{
    if (!gStack)
        return;
    CVexilWinMan::NotifyAll(EChgClosingStack);
    DoEvents();
    // A script still running below this yield must not reach the views once they are gone.
    if (gInterpreter && gInterpreter->Running())
    {
        gInterpreter->Break();
        gInterpreter->Reset();
    }
    if (gStack)
        gStack->BlobStore()->CloseFile();
    if (gStackView)
        gStackView->Release();
    CVexilStackViewLink::Install(nullptr);
    gStackView.reset();
    gStack.reset();
    CVexilWinMan::NotifyAll(EChgStackClosed);
}

void CVexilStackCmds::MakeCurrent(const TStackRef& aStack, TStackViewRecRef aRec)
{
    if (!aRec)
    {
        aRec = std::make_shared<CVexilStackViewRec>();
        aRec->Contruct(aStack->Name());
    }
    try
    {
        CVexilCurrentStack().OpenStack(aStack, aRec);
    }
    catch (const std::exception&)
    {
        CVexilNewStack::DropCurrent();
        throw;
    }
}

bool CVexilStackCmds::SaveStack()
{
    if (!gStack || !gStackView)
        return false;
    if (gStack->Filename().isEmpty())
        return SaveStackAs();
    const TStackRef stack = gStack;
    const TStackViewRef view = gStackView;
    return Reported(QStringLiteral("CVexilFrame.fSaveStack_Click"), [&] {
        // The value on screen belongs in the file.
        view->ValidateCurControl();
        WriteStack(stack, *view, stack->Filename());
    });
}

bool CVexilStackCmds::SaveStackAs()
{
    if (!gStack || !gStackView)
        return false;
    const TStackRef stack = gStack;
    const TStackViewRef view = gStackView;
    return Reported(QStringLiteral("CVexilFrame.fSaveStackAs_Click"), [&] {
        view->ValidateCurControl();
        QString fileName;
        if (!AskFile(LoadDialog(), TFileDialogPrompt::KOverwritePrompt, true, gLoadDialogInitDir, fileName))
            return;
        // Written while the stack still has its old name: the binary form then copies every
        // picture into the new file.
        WriteStack(stack, *view, fileName);
        stack->SetFilename(fileName);
        stack->ResetChanged();
        CVexilOptions::AddFileHistory(fileName);
        CVexilWinMan::NotifyAll(EChgStackOpened);
    });
}

void CVexilDialogLib::CheckLeaveStack(bool& aProceed, bool& aSaveFirst)
{
    aProceed = true;
    aSaveFirst = false;
    if (gStack && gStack->Changed())
    {
        const int16_t answer = CVexilPrompts::Current()->SaveChanges();
        switch (answer)
        {
        case 0:
            aSaveFirst = true;
            break;
        case 1:
            break;
        case 2:
            aProceed = false;
            break;
        default:
            CVexilError::Assert(false, QStringLiteral("CheckLeaveStack iDialogRes ") + QString::number(answer));
        }
    }
    DoEvents();
}

bool CVexilDialogLib::CloseCurrentStack()
{
    // Refused while another command leaves, opens, saves or makes a stack.
    if (CVexilStackCmds::Busy())
        return true;
    CVexilStackCmds::Close();
    return gStack != nullptr;
}
