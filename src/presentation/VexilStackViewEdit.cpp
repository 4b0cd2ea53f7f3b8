// The stack view's editing of field values: the field being edited, its validation when it is
// left, and the one way stored values reach the card window and the card list (SetValue).
#include "presentation/VexilStackView.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "platform/VexilCtl.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

#include <QScopedValueRollback>

namespace
{
bool ScriptRunning()
{
    return gInterpreter && gInterpreter->Running();
}

bool WidgetVisible(QObject* aObj)
{
    const CVexilCtl* ctl = CVexilCtl::Of(aObj);
    return ctl && ctl->Visible();
}
}  // namespace

void CVexilStackView::BaseObjGotFocus(QObject* aObj)
{
    // While no card is current there is nothing to edit.
    if (aObj == iCurObj || !iCurCard)
        return;
    iCurObj = aObj;
    iCurObjChanged = false;
}

void CVexilStackView::BaseObjChange(QObject* /*aObj*/)
{
    if (!iShowingValues && iCurCard)
        iCurObjChanged = true;
}

void CVexilStackView::BaseObjValidate(QObject* aObj, bool& /*aCancel*/)
{
    Validate(aObj);
}

bool CVexilStackView::EndEditForClick(QObject* aObj)
{
    const TCardRef card = iCurCard;
    return Validate(aObj) != EEditEnd::Refused && card && iCurCard == card;
}

CVexilStackView::EEditEnd CVexilStackView::Validate(QObject* aObj)
{
    if (iShowingValues || iValidating || !iCurCard || !iCurObj || !iCardView)
        return EEditEnd::Kept;
    // The card and the field stay alive whatever the script messages do.
    const TCardRef card = iCurCard;
    TControlRef field;
    EEditEnd end = EEditEnd::Kept;
    {
        // Also cleared when an assertion answered No leaves from below.
        const QScopedValueRollback<bool> validating(iValidating, true);
        CVexilError::CheckFailed(aObj == iCurObj, this, QStringLiteral("BaseObjValidate"), QStringLiteral("curObj"));
        field = iCardView->VexilControl(aObj);
        if (!field)
        {
            iCurObj = nullptr;
            return EEditEnd::Kept;
        }
        end = StoreEdit(card, field);

        // Numbers, dates, times and Booleans are shown again in their display form.
        if (field->ConType() >= EConTypeInteger && field->ConType() <= EConTypeBoolean)
        {
            TValue val;
            card->GetControlVal(field->Id(), val, false);
            const QScopedValueRollback<bool> showing(iShowingValues, true);
            iCardView->SetBaseControlVal(*field, val, *card);
        }
        iCurObj = nullptr;
        DoEvents();
    }
    if (!ScriptRunning() && CardListOpen() && iCardListView)
        iCardListView->UpdateCard(card);
    ExecScript(field, end == EEditEnd::Stored ? QStringLiteral("closeField") : QStringLiteral("exitField"));
    return end;
}

CVexilStackView::EEditEnd CVexilStackView::StoreEdit(const TCardRef& aCard, const TControlRef& aField)
{
    EEditEnd end = EEditEnd::Kept;
    if (iCurObjChanged)
    {
        QObject* const curObj = iCurObj;
        QString typed;
        if (aField->Flag(EConReadOnly))
        {
            RejectReadOnly(*aCard, *aField);
            end = EEditEnd::Refused;
        }
        else if (iCardView->TypedText(*aField, typed) && !CVexilValue::ExtTextReadable(typed, *aField))
        {
            // A typo would store 0 over the value. The box shows the stored value again with
            // every number, date and time after the edit.
            CVexilMsg::Show(EMsgNotNum, EMsgClsCritical, typed, aField->Name());
            end = EEditEnd::Refused;
        }
        else
        {
            TValue old;
            aCard->GetControlVal(aField->Id(), old, false);
            const TValue val = iCardView->GetBaseControlVal(*aField);
            // A Boolean is stored on every edit, equal or not.
            if (!CVexilValue::Equal(val, old) || aField->ConType() == EConTypeBoolean)
            {
                SetValue(aCard, aField->Id(), val);
                end = EEditEnd::Stored;
            }
        }
        // Storing may have moved the focus.
        iCurObj = curObj;
    }
    if (aField->DynFlag(EDynRefControl) && aCard->Dirty())
    {
        aCard->UpdateCardLists();
        CVexilError::Assert(iCurObj != nullptr, QStringLiteral("iCurObj"));
    }
    return end;
}

void CVexilStackView::RejectReadOnly(CVexilCard& aCard, CVexilControl& aField)
{
    if (IVexilPrompts* prompts = CVexilPrompts::Current())
        prompts->Notice(QStringLiteral("Read-only!"));
    TValue val;
    aCard.GetControlVal(aField.Id(), val, false);
    const QScopedValueRollback<bool> showing(iShowingValues, true);
    iCardView->SetBaseControlVal(aField, val, aCard);
}

TControlRef CVexilStackView::WritableField(QObject* aObj)
{
    const TControlRef field = iCardView->VexilControl(aObj);
    if (field && field->Flag(EConReadOnly))
    {
        RejectReadOnly(*iCurCard, *field);
        return nullptr;
    }
    return field;
}

void CVexilStackView::LeaveCurObj()
{
    if (iCurObj && WidgetVisible(iCurObj))
    {
        bool cancel = false;
        BaseObjValidate(iCurObj, cancel);
    }
    iCurObj = nullptr;
}

bool CVexilStackView::ValidateCurControl()
{
    if (!iCurObj || !WidgetVisible(iCurObj))
        return true;
    const bool refused = Validate(iCurObj) == EEditEnd::Refused;
    // The widget keeps the keyboard focus: it is followed again, so that what is typed into it
    // next is stored when it is left.
    if (iCurCard && iCardView && CardViewOpen())
        if (const TControlRef focused = iCardView->FocusControl())
            BaseObjGotFocus(focused->BaseControl());
    return !refused;
}

void CVexilStackView::SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aValue)
{
    aCard->SetControlVal(aControlId, aValue);

    bool nameChanged = false;
    if (aCard == iCurCard && iCardView)
    {
        const TControlRef field = aCard->ControlById(aControlId);
        if (field && field->InCardView())
        {
            const QScopedValueRollback<bool> showing(iShowingValues, true);
            iCardView->SetBaseControlVal(*field, aValue, *aCard);
        }
        nameChanged = field && field->Flag(EConCardName);
    }
    // Storing into any card may leave the current card's card lists stale.
    if (iCurCard && iCurCard->Dirty())
    {
        iCurCard->UpdateCardLists();
        if (iCardView)
        {
            const QScopedValueRollback<bool> showing(iShowingValues, true);
            iCardView->ShowValues(iCurCard);
        }
    }
    if (nameChanged)
        ShowTitle();
    // While a script runs the stack's change record collects the changes for later.
    if (!ScriptRunning() && CardListOpen() && iCardListView)
        iCardListView->UpdateCard(aCard);
}

void CVexilStackView::UpdateAfterControlChange()
{
    iStack->SetControlDynFlags();
    iStack->SetCardListsDirty(nullptr);
    if (iCurCard)
        iCurCard->UpdateCardLists();
    DoEvents();
}
