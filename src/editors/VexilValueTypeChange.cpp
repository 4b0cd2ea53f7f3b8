#include "editors/VexilValueTypeChange.h"

#include "editors/VexilValueConversion.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"

CVexilValueTypeChange::CVexilValueTypeChange(CVexilStack& aStack, CVexilControlSet& aBackground,
                                             CVexilControl& aControl)
    : iStack(aStack), iBackground(aBackground), iControl(aControl)
{
}

bool CVexilValueTypeChange::Refuse(const QString& aReason) const
{
    CVexilMsg::Show(EMsgControlNotUsable, EMsgClsCritical, iControl.Name(), aReason);
    return false;
}

QString CVexilValueTypeChange::UseRefusal(int32_t aNewType) const
{
    TSortKeyRef sortKey;
    int32_t cursor = 0;
    for (bool more = iStack.GetFirstSortKey(sortKey, cursor); more; more = iStack.GetNextSortKey(sortKey, cursor))
        if (sortKey->ControlOccurs(iControl.Id()))
            return QStringLiteral("it is a part of the sort key '%1'.").arg(sortKey->Name());
    TControlRef partner;
    const QString partnerName =
        iBackground.GetControl(iControl.PartnerId(), partner) ? partner->Name() : QStringLiteral("?");
    if (iControl.Flag(EConComboList))
        return QStringLiteral("it is the list of the combo box of the field '%1'.").arg(partnerName);
    const bool fitsCombo = aNewType == EConTypeText || aNewType == EConTypeInteger || aNewType == EConTypeReal;
    if (iControl.Flag(EConComboText) && !fitsCombo)
        return QStringLiteral("its combo list '%1' needs a Text, Integer or Float field.").arg(partnerName);
    return {};
}

bool CVexilValueTypeChange::Change(int32_t aNewType, QChar aDecSep)
{
    if (aNewType < EConTypeText || aNewType > EConTypePicture || aNewType == iControl.ConType())
        return false;
    const QString inUse = UseRefusal(aNewType);
    if (!inUse.isEmpty())
        return Refuse(inUse);

    CVexilValueConversion conversion(iControl, aNewType, aDecSep);
    const int32_t id = iControl.Id();
    std::vector<TNewValue> values;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = iStack.GetFirstCardInBackground(iBackground.Id(), card, cursor); more;
         more = iStack.GetNextCardInBackground(iBackground.Id(), card, cursor))
    {
        if (!card->ControlValDef(id))
            continue;
        TValue old;
        card->GetControlVal(id, old, false);
        if (old.iType == EValUndef)
            continue;
        TValue converted;
        if (!conversion.Convert(old, converted))
            return Refuse(QStringLiteral("the card '%1' holds '%2', which cannot be converted.")
                              .arg(card->Name(), CVexilValue::ValToExtText(old, iControl)));
        values.emplace_back(card, std::move(converted));
    }

    // A Command or Picture field shows no default; the default of any other type is carried
    // over as the cards' values are.
    QString newDefault;
    const bool defaultShown = iControl.ConType() != EConTypeCommand && iControl.ConType() != EConTypePicture;
    if (defaultShown && !iControl.DefaultVal().isEmpty())
    {
        const TValue old = CVexilValue::IntTextToVal(iControl.DefaultVal(), iControl);
        TValue converted;
        if (!conversion.Convert(old, converted))
            return Refuse(QStringLiteral("its default value '%1' cannot be converted.")
                              .arg(CVexilValue::ValToExtText(old, iControl)));
        newDefault = CVexilValue::ValToIntText(converted);
    }

    iControl.SetConType(aNewType);
    iControl.SetDefaultVal(newDefault);
    for (const auto& [valueCard, value] : values)
        valueCard->SetControlVal(id, value);
    return true;
}
