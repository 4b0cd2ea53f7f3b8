#include "editors/VexilBackgroundEdit.h"

#include "editors/VexilControlEdit.h"
#include "editors/VexilFontChain.h"
#include "editors/VexilFontSelect.h"
#include "editors/VexilObjCast.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilBlobStore.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

#include <QMetaObject>
#include <QPointer>

#include <exception>

namespace
{
constexpr int32_t kBackgroundColor = 204 << 16;        // RGB(0, 0, 204)
constexpr int32_t kCardColor = 204 | (102 << 8);       // RGB(204, 102, 0)

const QString kCardEdit = QStringLiteral("CVexilCardEdit");

// Sets the flag for its lifetime and restores it, also when the work raises.
class TBusyScope
{
public:
    explicit TBusyScope(bool& aBusy) : iBusy(aBusy), iWas(aBusy) { iBusy = true; }
    ~TBusyScope() { iBusy = iWas; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& iBusy;
    bool iWas;
};

// The stack view's deletion of a background or of its cards, under the wait cursor. An error
// ends the wait where it is reported.
void DeleteWithWait(CVexilStackView& aView, const TControlSetRef& aBackground, bool aCardsOnly)
{
    CVexilDialogLib::BeginWait();
    aView.DeleteBackground(aBackground, aCardsOnly);
    CVexilDialogLib::EndWait();
}
}  // namespace

void CVexilBackgroundEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundBox);
    iBackgroundList.Define1Column(QStringLiteral("Name"));
    iCardList.SetBaseObj(fCardBox);
    iCardList.Define1Column(QStringLiteral("Name"));
    iSortKeyList.SetBaseObj(fSortKeyCombo);
    fBackgroundBox->SetForeColor(kBackgroundColor);
    fCardBox->SetForeColor(kCardColor);
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    SetMode(EModeNone);
    if (iBackgroundList.NumLines() > 0)
        iBackgroundList.SetSelIndex(0);
    // Without a stack the one line carries no background.
    iBackground = As<CVexilControlSet>(iBackgroundList.SelObj());
    if (iBackground)
    {
        ShowBackground();
        SetMode(EModeModify);
    }
}

// ---- lists, modes and inputs

void CVexilBackgroundEdit::ShowBackground()
{
    const TBusyScope busy(iBusy);
    fName->setText(iBackground->Name());
    fDescr->setText(iBackground->Descr());
    ShowFlags(iBackground->Flags());
    const int32_t wallPaper = iBackground->WallPaperId();
    fWallPaperId->setText(wallPaper == UndefLong ? QString() : QString::number(wallPaper));
    CVexilDialogLib::FillSortKeyList(iSortKeyList, *iBackground, QString());
    fSortKeyCombo->setCurrentIndex(-1);
    if (gStack && iBackground->Flag(ECseKeepCardsSorted))
    {
        // The kept key, or the first line when the list does not show it.
        int32_t line = 0;
        if (const TSortKeyRef kept = CVexilBackgroundWriter(*gStack).KeptKey(*iBackground))
            iSortKeyList.GetObjIndex(kept.get(), line);
        if (line < iSortKeyList.NumLines())
            fSortKeyCombo->setCurrentIndex(line);
    }
    iFont = iBackground->Font();
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
    iBackColor = iBackground->BackColor();
    CVexilDialogLib::ShowColor(*fColorSample, iBackColor);
    CVexilDialogLib::FillCardList(iCardList, *iBackground);
}

void CVexilBackgroundEdit::SetMode(int32_t aMode)
{
    if (aMode != EModeNone && aMode != EModeModify && aMode != EModeNew)
    {
        CVexilError::Assert(false, QStringLiteral("SetMode aMode ") + QString::number(aMode));
        return;
    }
    iMode = aMode;
    if (aMode != EModeModify)
        ClearInputs();
    if (aMode == EModeNone)
        iCardList.ClearAndShow();
    if (aMode == EModeNew)
    {
        // A background being made has no sort keys yet.
        iSortKeyList.ClearAndShow();
        iFont.reset();
        iBackColor = UndefLong;
    }
    const bool editable = aMode != EModeNone;
    CVexilDialogLib::SetEditable(*fName, editable, false);
    CVexilDialogLib::SetEditable(*fDescr, editable, false);
    for (const auto& [box, bit] : iFlagChecks)
        CVexilDialogLib::SetEditable(*box, editable, false);
    CVexilDialogLib::SetEditable(*fSortKeyCombo, editable && fKeepCardsSorted->isChecked(), false);
    for (CVexilTextBox* shown : {fWallPaperId, fFontName, fFontSize})
        CVexilDialogLib::SetEditable(*shown, false, false);

    // New needs a stack to make the background in.
    fNewBut->SetEnabled(gStack != nullptr);
    fCreateBut->SetEnabled(aMode == EModeNew);
    for (CVexilCommandButton* button : {fModifyBut, fDeleteBut, fScriptBut, fShowControlsBut, fEditCardBut, fShowCardBut,
                                        fDeleteCardsBut, fWallPaperBut, fClearWallPaperBut})
        button->SetEnabled(aMode == EModeModify);
    for (CVexilCommandButton* button : {fSelectFontBut, fSelectColorBut, fClearColorBut})
        button->SetEnabled(aMode != EModeNone);
    switch (aMode)
    {
    case EModeModify: fModeText->setText(iBackground ? iBackground->Name() : QString()); break;
    case EModeNew: fModeText->setText(QStringLiteral("<new>")); break;
    default: fModeText->clear(); break;
    }
}

void CVexilBackgroundEdit::ClearInputs()
{
    const TBusyScope busy(iBusy);
    for (CVexilTextBox* box : {fName, fDescr, fWallPaperId, fFontName, fFontSize})
        box->clear();
    ShowFlags(0);
    fSortKeyCombo->setCurrentIndex(-1);
    CVexilDialogLib::SetEditable(*fFontColor, false, true);
    CVexilDialogLib::SetEditable(*fColorSample, false, true);
}

void CVexilBackgroundEdit::ShowFlags(int32_t aFlags)
{
    for (const auto& [box, bit] : iFlagChecks)
        box->setChecked((aFlags & bit) != 0);
}

int32_t CVexilBackgroundEdit::ReadFlags() const
{
    int32_t flags = 0;
    for (const auto& [box, bit] : iFlagChecks)
        if (box->isChecked())
            flags |= bit;
    return flags;
}

TBackgroundInput CVexilBackgroundEdit::ReadInput() const
{
    TBackgroundInput input;
    input.Name = fName->text();
    input.Descr = fDescr->text();
    input.Flags = ReadFlags();
    input.SortKey = As<CVexilSortKey>(iSortKeyList.SelObj());
    input.Font = iFont;
    input.BackColor = iBackColor;
    return input;
}

void CVexilBackgroundEdit::Refocus(QWidget* aInput)
{
    iRefocusing = true;
    aInput->setFocus(Qt::OtherFocusReason);
    iRefocusing = false;
}

bool CVexilBackgroundEdit::Broadcast(int32_t aEvent, const TObjRef& aObj)
{
    const QPointer<CVexilBackgroundEdit> self(this);
    CVexilWinMan::NotifyAll(aEvent, aObj);
    return self && IsLoadedForm(self.data());
}

void CVexilBackgroundEdit::Finish()
{
    SetMode(EModeNone);
    fBackgroundBox->setFocus(Qt::OtherFocusReason);
}

TCardRef CVexilBackgroundEdit::SelectedCard() const
{
    const auto card = As<CVexilCard>(iCardList.SelObj());
    const TStackRef stack = gStack;
    // The list is filled when a background is shown; its cards may have gone since.
    if (!card || !stack || stack->GetCardById(card->Id()) != card)
        return nullptr;
    return card;
}

// ---- public members

void CVexilBackgroundEdit::SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetFont aCase"));
        return;
    }
    iFont = aFont;
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
}

void CVexilBackgroundEdit::SetAndShowBackground(const TControlSetRef& aBackground)
{
    Guarded([this, aBackground] {
        iBackgroundList.SetSelIndexByObj(aBackground.get());
        iBackground = As<CVexilControlSet>(iBackgroundList.SelObj());
        if (!iBackground)
            return;
        ShowBackground();
        SetMode(EModeModify);
    });
}

void CVexilBackgroundEdit::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        switch (aEvent)
        {
        case EChgStructure:
            CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
            SetMode(EModeNone);
            break;
        case EChgSortKeys:
            if (const auto background = As<CVexilControlSet>(iBackgroundList.SelObj()); background && iMode != EModeNew)
            {
                const TBusyScope busy(iBusy);
                CVexilDialogLib::FillSortKeyList(iSortKeyList, *background, QString());
                fSortKeyCombo->setCurrentIndex(-1);
            }
            break;
        case EChgClosingStack: UnloadForm(); break;
        default: break;
        }
    });
}

// ---- handlers of the lists and inputs

void CVexilBackgroundEdit::BackgroundClicked()
{
    iBackground = As<CVexilControlSet>(iBackgroundList.SelObj());
    if (!iBackground)
        return;
    ShowBackground();
    SetMode(EModeModify);
}

void CVexilBackgroundEdit::NameLeft()
{
    // A read-only box is not examined: the user can always leave it.
    if (iRefocusing || fName->isReadOnly())
        return;
    bool bad = false;
    CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), fName->text(), bad);
    if (bad)
        Refocus(fName);
    else if (iMode == EModeModify)
        fModeText->setText(fName->text());
}

void CVexilBackgroundEdit::KeepSortedToggled()
{
    const bool checked = fKeepCardsSorted->isChecked();
    CVexilDialogLib::SetEditable(*fSortKeyCombo, checked, false);
    if (!checked || iBusy)
        return;
    if (iSortKeyList.NumLines() == 0)
    {
        CVexilMsg::Show(EMsgNoSortKey, EMsgClsCritical);
        fKeepCardsSorted->setChecked(false);
        return;
    }
    if (fSortKeyCombo->currentIndex() < 0)
        fSortKeyCombo->setCurrentIndex(0);
}

// ---- Create, Modify, Delete and Delete Cards

void CVexilBackgroundEdit::NewClicked()
{
    if (!gStack)
        return;
    SetMode(EModeNew);
    const TBusyScope busy(iBusy);
    fCardNameInList->setChecked(true);
    fShowCardName->setChecked(true);
    fName->setFocus(Qt::OtherFocusReason);
}

void CVexilBackgroundEdit::CreateClicked()
{
    // Taken now: the broadcast yields, and the window may show another background meanwhile.
    const TStackRef stack = gStack;
    if (iMode != EModeNew || !stack)
        return;
    CVexilBackgroundWriter writer(*stack);
    const TBackgroundInput input = ReadInput();
    QString focus;
    if (!writer.CheckInput(input, nullptr, focus))
    {
        Refocus(Control(focus)->Widget());
        return;
    }
    iBackground = writer.Create(input);
    if (Broadcast(EChgStructure, iBackground))
        Finish();
}

void CVexilBackgroundEdit::ModifyClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (iMode != EModeModify || !stack || !background)
        return;
    CVexilBackgroundWriter writer(*stack);
    if (!writer.Holds(*background))
        return;
    const TBackgroundInput input = ReadInput();
    QString focus;
    if (!writer.CheckInput(input, background.get(), focus))
    {
        Refocus(Control(focus)->Widget());
        return;
    }
    writer.Modify(*background, input);
    if (Broadcast(EChgStructure, background))
        Finish();
}

void CVexilBackgroundEdit::DeleteClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (iMode != EModeModify || !stack || !background)
        return;
    CVexilBackgroundWriter writer(*stack);
    if (!writer.Holds(*background))
        return;
    const int32_t numCards = writer.NumCards(*background);
    if (numCards > 0 &&
        !CVexilMsg::Ask(EMsgDeleteBackgroundOk, EMsgClsQuestion, QString::number(numCards), CVexilMsg::Undef))
        return;
    if (writer.CheckNotUsed(*background))
    {
        if (!Broadcast(EChgDeletingBackground, background))
            return;
        // The windows were heard: the background may have gone, or another stack come, meanwhile.
        const TStackViewRef view = gStackView;
        if (gStack == stack && writer.Holds(*background) && view)
        {
            DeleteWithWait(*view, background, false);
        }
    }
    if (Broadcast(EChgStructure))
        Finish();
}

void CVexilBackgroundEdit::DeleteCardsClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (iMode != EModeModify || !stack || !background || !CVexilBackgroundWriter(*stack).Holds(*background))
        return;
    if (!CVexilMsg::Ask(EMsgDeleteCardsOk, EMsgClsQuestion, CVexilMsg::Undef, CVexilMsg::Undef))
        return;
    const TStackViewRef view = gStackView;
    if (gStack != stack || !CVexilBackgroundWriter(*stack).Holds(*background) || !view)
        return;
    DeleteWithWait(*view, background, true);
    if (Broadcast(EChgCards))
        Finish();
}

// ---- wallpaper, font and colour

void CVexilBackgroundEdit::WallPaperClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    IVexilPrompts* prompts = CVexilPrompts::Current();
    if (iMode != EModeModify || !stack || !background || !prompts)
        return;
    CVexilBackgroundWriter writer(*stack);
    if (!writer.Holds(*background))
        return;
    TBlobRef blob;
    try
    {
        // The main window's picture dialog with its title, filter and folder.
        TFileDialogPrompt& dialog = CVexilStackCmds::ImportPicDialog();
        dialog.Flags |= TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist;
        dialog.Save = false;
        QString fileName;
        if (!prompts->FileDialog(dialog, fileName))
            return;
        CVexilLibPictures::HandleImportPic(nullptr, fileName, blob);
        if (!blob || gStack != stack)
            return;
        // The import asks and waits: the background may have been deleted meanwhile.
        if (!writer.Holds(*background))
        {
            stack->BlobStore()->DeleteBlob(blob->Id());
            return;
        }
        writer.SetWallPaper(*background, blob);
    }
    catch (const std::exception&)
    {
        return;  // the import has reported what it could not do; nothing more changes
    }
    if (iBackground != background || iMode != EModeModify)
        return;
    fWallPaperId->setText(QString::number(blob->Id()));
    fShowWallPaper->setChecked(true);
}

void CVexilBackgroundEdit::ClearWallPaperClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (iMode != EModeModify || !stack || !background)
        return;
    CVexilBackgroundWriter writer(*stack);
    if (!writer.Holds(*background))
        return;
    writer.ClearWallPaper(*background);
    fWallPaperId->clear();
    fShowWallPaper->setChecked(false);
}

void CVexilBackgroundEdit::SelectFontClicked()
{
    CVexilFontSelect* picker = CVexilFontSelect::Instance();
    CVexilWinMan::ShowForm(*picker);
    picker->SelectFont(this, 0, ELevelBackground, iBackground, nullptr, nullptr, iFont.get());
}

void CVexilBackgroundEdit::SelectColorClicked()
{
    CVexilDialogLib::SelectColor(*fColorSample, iBackColor);
}

void CVexilBackgroundEdit::ClearColorClicked()
{
    iBackColor = UndefLong;
    CVexilDialogLib::ShowColor(*fColorSample, iBackColor);
}

// ---- the other windows

void CVexilBackgroundEdit::ShowControlsClicked()
{
    const TControlSetRef background = iBackground;
    if (iMode != EModeModify || !background || !gStack || !CVexilBackgroundWriter(*gStack).Holds(*background))
        return;
    auto* editor = qobject_cast<CVexilControlEdit*>(CVexilWinMan::NameToForm(CVexilControlEdit::KClassName));
    if (!editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    editor->SetAndShowBackground(background);
}

void CVexilBackgroundEdit::ScriptClicked()
{
    const TControlSetRef background = iBackground;
    if (iMode == EModeModify && background && gStack && CVexilBackgroundWriter(*gStack).Holds(*background))
        CVexilScriptEdit::EditScript(background);
}

void CVexilBackgroundEdit::EditCardClicked()
{
    const TCardRef card = SelectedCard();
    CVexilForm* editor = card ? CVexilWinMan::NameToForm(kCardEdit) : nullptr;
    if (!editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    QMetaObject::invokeMethod(editor, "SetAndShowCard", Q_ARG(TCardRef, card));
}

void CVexilBackgroundEdit::ShowCardClicked()
{
    const TCardRef card = SelectedCard();
    const TStackViewRef view = gStackView;
    if (!card || !view)
        return;
    view->GoToCard(card);
    view->SetFocusToCardView();
}

void CVexilBackgroundEdit::HelpClicked()
{
    CVexilLowLevelUi::ShowHelp(KClassName);
}
