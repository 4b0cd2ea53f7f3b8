#include "editors/VexilControlEdit.h"

#include "editors/VexilObjCast.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilValue.h"
#include "model/VexilStack.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QMetaObject>

// Lists, modes, showing a field, the public members and the handlers of the lists and the
// picker buttons.

namespace
{
// The line whose object has the id; none deselects, and an id no line has gives the line
// selected now, which then stays.
int32_t LineOfId(const CVexilListBox& aList, int32_t aId)
{
    if (aId == UndefLong)
        return -1;
    for (int32_t i = 0; i < aList.NumLines(); ++i)
    {
        const auto* base = dynamic_cast<const IVexilBaseObj*>(aList.Obj(i).get());
        if (base && base->Id() == aId)
            return i;
    }
    return aList.SelIndex();
}

const QString kBackgroundEdit = QStringLiteral("CVexilBackgroundEdit");
}  // namespace

CVexilCheckBox* CVexilControlEdit::FlagBox(const QString& aName) const
{
    for (const auto& [box, bit] : iFlagChecks)
        if (box->objectName() == aName)
            return box;
    return nullptr;
}

// ---- lists

void CVexilControlEdit::ShowBackgroundControls()
{
    // Without a stack the one line carries no background.
    iBackground = As<CVexilControlSet>(iBackgroundList->SelObj());
    if (!iBackground)
    {
        iControlList->ClearAndShow();
        iRefControlList->ClearAndShow();
        iSelBackgroundList->ClearAndShow();
        iComboInputList->ClearAndShow();
    }
    else
    {
        CVexilDialogLib::FillControlList(*iControlList, *iBackground, QString(), true, false);
        iControlList->SetSelIndexOrClear(0);
        CVexilDialogLib::FillControlList(*iRefControlList, *iBackground, QStringLiteral("(None)"), true, false);
        // A card list always lists the cards of another background.
        CVexilDialogLib::FillBackgroundList(*iSelBackgroundList, gStack.get(), QString(), iBackground.get());
        CVexilDialogLib::FillControlList(*iComboInputList, *iBackground, QStringLiteral("(None)"), true, true);
        CVexilLowLevelUi::SizeComboDropDown(fSelBackgroundCombo);
        CVexilLowLevelUi::SizeComboDropDown(fComboInputControlCombo);
    }
    SetMode(EModeNone);
    FillBeforeCombo();
}

void CVexilControlEdit::FillBeforeCombo()
{
    if (!iBackground)
    {
        iBeforeList->ClearAndShow();
        return;
    }
    CVexilDialogLib::FillControlList(*iBeforeList, *iBackground, QStringLiteral("(At the end)"), true, false);
    CVexilLowLevelUi::SizeComboDropDown(fBeforeCombo);
}

void CVexilControlEdit::FillSelControlList()
{
    const auto background = As<CVexilControlSet>(iSelBackgroundList->SelObj());
    if (!background)
        return;
    // Passing through the box keeps the field chosen in the same background.
    const TObjRef chosen = iSelControlList->SelObj();
    CVexilDialogLib::FillControlList(*iSelControlList, *background, QStringLiteral("(None)"), true, false);
    CVexilLowLevelUi::SizeComboDropDown(fSelControlCombo);
    int32_t index = -1;
    if (chosen && iSelControlList->GetObjIndex(chosen.get(), index))
        SelectLine(*iSelControlList, index);
}

// ---- modes

void CVexilControlEdit::SetMode(int32_t aMode)
{
    if (aMode != EModeNone && aMode != EModeModify && aMode != EModeNew)
    {
        CVexilError::Assert(false, QStringLiteral("SetMode aMode ") + QString::number(aMode));
        return;
    }
    iMode = aMode;
    EnableButtons();
    switch (aMode)
    {
    case EModeNone:
        ClearAll();
        DisableAll();
        iCurControl.reset();
        fModeText->clear();
        break;
    case EModeModify:
        // The type of an existing field does not change here.
        CVexilDialogLib::SetEditable(*fTypeCombo, false, false);
        fModeText->setText(iCurControl ? iCurControl->Name() : QString());
        break;
    default:
        ClearAll();
        DisableAll();
        CVexilDialogLib::SetEditable(*fTypeCombo, true, false);
        CVexilDialogLib::SetEditable(*fTypeComboLabel, true, false);
        fModeText->setText(QStringLiteral("<new>"));
        iFont.reset();
        iBackColor = UndefLong;
        break;
    }
}

void CVexilControlEdit::EnableButtons()
{
    // Without a background there is nothing to define a field in.
    const bool background = iBackground != nullptr;
    for (CVexilCommandButton* button : {fNewBut, fNewTextBut, fNewIntegerBut, fNewCommandBut})
        button->SetEnabled(background);
    fCreateBut->SetEnabled(background && iMode == EModeNew && iTypeList->SelIndex() >= 0);
    for (CVexilCommandButton* button : {fModifyBut, fDeleteBut, fScriptBut})
        button->SetEnabled(iMode == EModeModify);
    for (CVexilCommandButton* button :
         {fSelectFontBut, fSelectColorBut, fClearColorBut, fSelectDestCardBut, fSelectControlBut})
        button->SetEnabled(iMode != EModeNone);
}

void CVexilControlEdit::ClearAll()
{
    iBusy = true;
    for (CVexilTextBox* box : {fName, fLabel, fDescr, fVisLines, fVisChar, fMaxChar, fDigits, fListVisChar,
                               fListColTitle, fListCol, fDefaultVal, fDestCardName, fFontName, fFontSize})
        box->clear();
    iDestCard.reset();
    ShowFlags(0);
    for (CVexilListBox* list : {iTypeList.get(), iStdCmdList.get(), iSelBackgroundList.get(), iRefControlList.get(),
                                iSelControlList.get(), iComboInputList.get(), iBeforeList.get()})
        SelectLine(*list, -1);
    iBusy = false;
}

void CVexilControlEdit::DisableAll()
{
    for (CVexilCtl* input : DataInputs())
        CVexilDialogLib::SetEditable(*input, false, false);
    CVexilDialogLib::SetEditable(*fFontColor, false, true);
    CVexilDialogLib::SetEditable(*fBackColor, false, true);
}

bool CVexilControlEdit::IsDataInput(const CVexilCtl& aCtl) const
{
    const QWidget* widget = aCtl.Widget();
    if (widget == fBackgroundBox || widget == fControlBox || widget == fModeText || widget == fFontColor ||
        widget == fBackColor)
        return false;
    if (qobject_cast<const QPushButton*>(widget))
        return widget == fSelectDestCardBut || widget == fSelectFontBut || widget == fSelectColorBut ||
               widget == fClearColorBut;
    return true;
}

std::vector<CVexilCtl*> CVexilControlEdit::DataInputs() const
{
    std::vector<CVexilCtl*> inputs;
    for (CVexilCtl* ctl : Controls())
        if (IsDataInput(*ctl))
            inputs.push_back(ctl);
    return inputs;
}

void CVexilControlEdit::SelectLine(CVexilListBox& aList, int32_t aIndex)
{
    auto* combo = qobject_cast<QComboBox*>(aList.BaseObj());
    const bool ok = combo && aIndex >= -1 && aIndex < aList.NumLines();
    CVexilError::Assert(ok, QStringLiteral("SelectLine index"));
    if (ok)
        combo->setCurrentIndex(aIndex);
}

void CVexilControlEdit::SetInputEditable(const QString& aName, bool aEditable)
{
    if (CVexilCtl* ctl = Control(aName))
        CVexilDialogLib::SetEditable(*ctl, aEditable, false);
}

// ---- showing a field

void CVexilControlEdit::ShowControl(const TControlRef& aControl)
{
    iBusy = true;
    try
    {
        fName->setText(aControl->Name());
        fLabel->setText(aControl->Label());
        fDescr->setText(aControl->Descr());
        SelectLine(*iTypeList, aControl->ConType());
        ShowFlags(aControl->Flags());
        CVexilDialogLib::SetTextBoxInt(*fVisLines, aControl->VisLines());
        CVexilDialogLib::SetTextBoxInt(*fVisChar, aControl->VisChar());
        CVexilDialogLib::SetTextBoxInt(*fMaxChar, aControl->MaxChar());
        CVexilDialogLib::SetTextBoxInt(*fDigits, aControl->Digits());
        // The effective width and title: Modify writes them back as the field's own.
        CVexilDialogLib::SetTextBoxInt(*fListVisChar, aControl->ListVisChar());
        fListColTitle->setText(aControl->ListColTitle());
        const int32_t type = aControl->ConType();
        fDefaultVal->setText(type == EConTypeCommand || type == EConTypePicture
                                 ? QString()
                                 : CVexilValue::ValToExtText(
                                       CVexilValue::IntTextToVal(aControl->DefaultVal(), *aControl), *aControl));
        // The field moves only when the user picks a line.
        SelectLine(*iBeforeList, -1);
        if (type != EConTypeCommand)
        {
            SelectLine(*iStdCmdList, -1);
            ShowDestCard(nullptr);
        }
        else
        {
            SelectLine(*iStdCmdList, aControl->StdCmd() == UndefInt ? 0 : aControl->StdCmd() + 1);
            // The card itself is kept; a deleted card shows no name.
            ShowDestCard(aControl->DestCardId() == UndefLong || !gStack ? nullptr
                                                                      : gStack->GetCardById(aControl->DestCardId()));
        }
        SelectLine(*iSelBackgroundList, LineOfId(*iSelBackgroundList, aControl->SelBackgroundId()));
        const auto listed = As<CVexilControlSet>(iSelBackgroundList->SelObj());
        fListCol->setText(listed ? CVexilDialogLib::ArrayToControlNameList(aControl->ListCol().get(), *listed)
                                 : QString());
        SelectLine(*iRefControlList, LineOfId(*iRefControlList, aControl->RefControlId()));
        SelectLine(*iSelControlList, LineOfId(*iSelControlList, aControl->SelControlId()));
        // A list field made without its text field has no partner to show.
        SelectLine(*iComboInputList, -1);
        if (aControl->Flag(EConComboList) && aControl->PartnerId() != UndefLong)
        {
            TControlRef partner;
            const bool found = iBackground && iBackground->GetControl(aControl->PartnerId(), partner);
            CVexilError::Assert(found, QStringLiteral("ShowControl iPartnerControl found"));
            int32_t index = -1;
            if (found && iComboInputList->GetObjIndex(partner.get(), index))
                SelectLine(*iComboInputList, index);
        }
        iFont = aControl->Font();
        CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
        iBackColor = aControl->BackColor();
        CVexilDialogLib::ShowColor(*fBackColor, iBackColor);
        TypeChanged(false);
    }
    catch (...)
    {
        iBusy = false;
        throw;
    }
    iBusy = false;
}

void CVexilControlEdit::ShowDestCard(const TCardRef& aCard)
{
    iDestCard = aCard;
    fDestCardName->setText(aCard ? aCard->Name() : QString());
}

// ---- public members

void CVexilControlEdit::SetControls(const std::shared_ptr<CVexilArray>& aIds, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetControls aCase"));
        return;
    }
    const auto listed = As<CVexilControlSet>(iSelBackgroundList->SelObj());
    fListCol->setText(listed ? CVexilDialogLib::ArrayToControlNameList(aIds.get(), *listed) : QString());
}

void CVexilControlEdit::SetCard(const TCardRef& aCard, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetCard aCase"));
        return;
    }
    ShowDestCard(aCard);
}

void CVexilControlEdit::SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetFont aCase"));
        return;
    }
    iFont = aFont;
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
}

void CVexilControlEdit::SetAndShowBackground(const TControlSetRef& aBackground)
{
    iBackgroundList->SetSelIndexByObj(aBackground.get());
    ShowBackgroundControls();
}

void CVexilControlEdit::SetAndShowControl(const TControlSetRef& aBackground, const TControlRef& aControl)
{
    SetAndShowBackground(aBackground);
    iControlList->SetSelIndexByObj(aControl.get());
    iCurControl = aControl;
    SetMode(EModeModify);
    ShowControl(aControl);
}

void CVexilControlEdit::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        if (aEvent == EChgClosingStack)
        {
            UnloadForm();
            return;
        }
        if (aEvent != EChgStructure && aEvent != EChgValueType)
            return;
        SetMode(EModeNone);
        const QString selected = iBackgroundList->NumLines() > 0 ? iBackgroundList->SelLine() : QString();
        CVexilDialogLib::FillBackgroundList(*iBackgroundList, gStack.get(), QString(), nullptr);
        CVexilDialogLib::FillBackgroundList(*iSelBackgroundList, gStack.get(), QString(), nullptr);
        // Found again by its name; the first background when it was renamed or deleted.
        if (iBackgroundList->NumLines() > 0)
            iBackgroundList->SetSelIndexByLine(selected);
        ShowBackgroundControls();
    });
}

// ---- handlers of the lists and buttons

void CVexilControlEdit::BackgroundClicked()
{
    ShowBackgroundControls();
}

void CVexilControlEdit::BackgroundDoubleClicked()
{
    const auto background = As<CVexilControlSet>(iBackgroundList->SelObj());
    CVexilForm* editor = CVexilWinMan::NameToForm(kBackgroundEdit);
    if (!background || !editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    QMetaObject::invokeMethod(editor, "SetAndShowBackground", Q_ARG(TControlSetRef, background));
}

void CVexilControlEdit::ControlClicked()
{
    const auto control = As<CVexilControl>(iControlList->SelObj());
    if (!control)
        return;
    iCurControl = control;
    SetMode(EModeModify);
    ShowControl(control);
}

void CVexilControlEdit::NewClicked(const QString& aType)
{
    if (!iBackground)
        return;
    SetMode(EModeNew);
    if (aType.isEmpty())
    {
        fTypeCombo->setFocus();
        return;
    }
    // Selecting the line applies the type.
    iTypeList->SetComboText(aType);
    fName->setFocus();
}

void CVexilControlEdit::ScriptClicked()
{
    if (iMode == EModeModify && iCurControl)
        CVexilScriptEdit::EditScript(iCurControl);
}

void CVexilControlEdit::SelectColorClicked()
{
    CVexilDialogLib::SelectColor(*fBackColor, iBackColor);
}

void CVexilControlEdit::ClearColorClicked()
{
    iBackColor = UndefLong;
    CVexilDialogLib::ShowColor(*fBackColor, iBackColor);
}

void CVexilControlEdit::HelpRequested(const QString& aControl)
{
    CVexilLowLevelUi::ShowHelp(KClassName, aControl);
}

void CVexilControlEdit::SelBackgroundPicked()
{
    // Also while the window fills its inputs: ShowControl needs the fields of the listed
    // background before it selects one.
    FillSelControlList();
}
