// Stand-in definitions so that the library links; the editing of field values replaces this file.
#include "presentation/VexilStackView.h"

#include "foundation/VexilPrompts.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

void CVexilStackView::ValidateCurControl() {}

void CVexilStackView::BaseObjChange(QObject* /*aObj*/)
{
    if (!iShowingValues && iCurCard)
        iCurObjChanged = true;
}

void CVexilStackView::BaseObjGotFocus(QObject* aObj)
{
    if (aObj == iCurObj || !iCurCard)
        return;
    iCurObj = aObj;
    iCurObjChanged = false;
}

void CVexilStackView::BaseObjValidate(QObject* /*aObj*/, bool& /*aCancel*/)
{
    iCurObj = nullptr;
}

void CVexilStackView::LeaveCurObj()
{
    iCurObj = nullptr;
}

void CVexilStackView::UpdateAfterControlChange() {}

void CVexilStackView::SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aValue)
{
    aCard->SetControlVal(aControlId, aValue);
}
