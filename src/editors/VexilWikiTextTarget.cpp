#include "editors/VexilWikiTextTarget.h"

#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "presentation/VexilStackView.h"

namespace
{
const QString KCrLf = QStringLiteral("\r\n");
const QString KLf = QStringLiteral("\n");
}  // namespace

CVexilWikiTextTarget::CVexilWikiTextTarget(const TCardRef& aCard, const TControlRef& aControl)
    : iCard(aCard), iControl(aControl), iConType(aControl ? aControl->ConType() : 0)
{
}

bool CVexilWikiTextTarget::InStack() const
{
    if (!iCard || !iControl || !gStack || !gStackView || iCard->Stack() != gStack.get() ||
        gStack->GetCardById(iCard->Id()) != iCard)
        return false;
    const TControlSetRef background = iCard->Background();
    TControlRef field;
    return background && background->GetControl(iControl->Id(), field) && field == iControl &&
           iControl->ConType() == iConType;
}

bool CVexilWikiTextTarget::LostBy(int32_t aEvent, const TObjRef& aObj0) const
{
    switch (aEvent)
    {
    case EChgClosingStack: return true;
    case EChgDeletingCard: return aObj0 && aObj0 == iCard;
    case EChgDeletingBackground: return aObj0 && iCard && aObj0 == iCard->Background();
    default: return !InStack();
    }
}

QString CVexilWikiTextTarget::EditText() const
{
    TValue val;
    iCard->GetControlVal(iControl->Id(), val, true);
    QString text = CVexilValue::ValToExtText(val, *iControl);
    text.replace(KCrLf, KLf);
    return text;
}

TValue CVexilWikiTextTarget::Value(const QString& aEditText) const
{
    QString text = aEditText;
    text.replace(KLf, KCrLf);
    if (CVexilValue::ConToValType(iControl->ConType()) == EValStr)
        return CVexilValue::StrToVal(text);
    return CVexilValue::ExtTextToVal(text, *iControl);
}
