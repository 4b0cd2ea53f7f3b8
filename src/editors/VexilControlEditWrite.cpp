#include "editors/VexilControlEdit.h"

#include "editors/VexilObjCast.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "model/VexilStack.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

// Create, Modify and Delete: the window reads its inputs, the writer checks and writes them.

namespace
{
// The object of the selected line, none for a first line without object or no line.
template <class T>
std::shared_ptr<T> Chosen(const CVexilListBox& aList)
{
    return As<T>(aList.SelObj());
}
}  // namespace

TControlInput CVexilControlEdit::ReadInput() const
{
    TControlInput input;
    input.Name = fName->text();
    input.Label = fLabel->text();
    input.Descr = fDescr->text();
    input.ConType = iTypeList->SelIndex();
    input.Flags = GetFlags();
    for (int box = 0; box < KNumNumberBoxes; ++box)
    {
        const auto* text = static_cast<const CVexilTextBox*>(
            Control(CVexilControlTypeRules::NumberCheck(ENumberBox(box)).Box));
        input.NumberTexts[size_t(box)] = text->text();
        input.NumberEditable[size_t(box)] = !text->isReadOnly();
    }
    input.ListColTitle = fListColTitle->text();
    input.DefaultVal = fDefaultVal->text();
    input.DefaultEditable = !fDefaultVal->isReadOnly();
    input.ListCol = fListCol->text();
    input.SelBackground = Chosen<CVexilControlSet>(*iSelBackgroundList);
    input.RefControl = Chosen<CVexilControl>(*iRefControlList);
    input.SelControl = Chosen<CVexilControl>(*iSelControlList);
    input.StdCmdLine = iStdCmdList->SelIndex();
    input.DestCard = iDestCard.lock();
    input.Font = iFont;
    input.BackColor = iBackColor;
    input.BeforeLine = iBeforeList->SelIndex();
    input.BeforeControl = Chosen<CVexilControl>(*iBeforeList);
    return input;
}

void CVexilControlEdit::ReadNumbers(TControlInput& aInput) const
{
    for (int box = 0; box < KNumNumberBoxes; ++box)
        aInput.Numbers[size_t(box)] = CVexilDialogLib::GetTextBoxInt(
            *static_cast<const CVexilTextBox*>(Control(CVexilControlTypeRules::NumberCheck(ENumberBox(box)).Box)));
}

void CVexilControlEdit::FocusInput(const QString& aName)
{
    if (CVexilCtl* input = Control(aName))
        Refocus(input->Widget());
}

void CVexilControlEdit::CreateClicked()
{
    // The stack and the background stay alive through the broadcast, which may replace them here.
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    if (!stack || !background || iMode != EModeNew)
        return;
    CVexilControlWriter writer(*stack, *background);
    TControlInput input = ReadInput();
    QString focus;
    if (!writer.CheckInput(input, nullptr, focus))
    {
        FocusInput(focus);
        return;
    }
    ReadNumbers(input);
    const TControlRef control = writer.CreateControl(input);
    SetMode(EModeNone);
    AfterWrite();
    if (const TControlRef partner = writer.Partner(*control))
        CVexilMsg::Show(EMsgComboListCreated, EMsgClsInfo, partner->Name());
}

void CVexilControlEdit::ModifyClicked()
{
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TControlRef control = iCurControl;
    CVexilError::Assert(control != nullptr, QStringLiteral("fModifyBut_Click iCurControl"));
    if (!stack || !background || !control || iMode != EModeModify)
        return;
    const int32_t partnerBefore = control->PartnerId();
    CVexilControlWriter writer(*stack, *background);
    TControlInput input = ReadInput();
    QString focus;
    if (!writer.CheckInput(input, control.get(), focus))
    {
        FocusInput(focus);
        return;
    }
    ReadNumbers(input);
    writer.ModifyControl(*control, input);
    SetMode(EModeNone);
    AfterWrite();
    if (partnerBefore == UndefLong)
        if (const TControlRef partner = writer.Partner(*control))
            CVexilMsg::Show(EMsgComboListCreated, EMsgClsInfo, partner->Name());
}

void CVexilControlEdit::DeleteClicked()
{
    // The field taken at the click; Delete stays enabled until the broadcast arrives, and a
    // second click meanwhile finds the field gone.
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TControlRef control = iCurControl;
    CVexilError::Assert(control && background, QStringLiteral("fDeleteBut_Click iCurControl"));
    TControlRef inBackground;
    if (!stack || !background || !control || stack->Background(background->Id()) != background ||
        !background->GetControl(control->Id(), inBackground) || inBackground != control)
        return;
    CVexilControlWriter writer(*stack, *background);
    if (writer.DeleteControl(*control))
        AfterWrite();
}

void CVexilControlEdit::AfterWrite()
{
    if (const TStackViewRef view = gStackView)
        view->UpdateAfterControlChange();
    CVexilWinMan::NotifyAll(EChgStructure);
}
