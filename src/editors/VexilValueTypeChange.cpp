#include "editors/VexilValueTypeChange.h"

#include "editors/VexilValueConversion.h"
#include "foundation/VexilArray.h"
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

bool CVexilValueTypeChange::ConvertValues(CVexilValueConversion& aConversion, std::vector<TNewValue>& aValues) const
{
    const int32_t controlId = iControl.Id();
    const bool cardList = iControl.Flag(EConCardList);
    aValues.reserve(size_t(iStack.NumCards()));
    // The cards are visited by id, the order they were made and mostly lie in memory in. A
    // refusal names the first card in the stack order that holds a value that cannot be
    // converted, as the user pages through the cards.
    TCardRef refused;
    TValue refusedValue;
    int32_t present = 0;
    for (int32_t id = 0; present < iStack.NumCards(); ++id)
    {
        const TCardRef card = iStack.GetCardById(id);
        if (!card)
            continue;
        ++present;
        if (card->BackgroundId() != iBackground.Id())
            continue;
        // The stored value as GetControlVal reads it, found once.
        if (cardList && card->Dirty())
            card->UpdateCardLists();
        TValue old;
        if (!card->StoredVal(controlId, old) || old.iType == EValUndef)
            continue;
        TValue converted;
        if (!aConversion.Convert(old, converted))
        {
            if (!refused || card->OrderNum() < refused->OrderNum())
            {
                refused = card;
                refusedValue = old;
            }
        }
        else if (!refused)
        {
            aValues.emplace_back(card, std::move(converted));
        }
    }
    if (!refused)
        return true;
    return Refuse(QStringLiteral("the card '%1' holds '%2', which cannot be converted.")
                      .arg(refused->Name(), CVexilValue::ValToExtText(refusedValue, iControl)));
}

bool CVexilValueTypeChange::ConvertDefault(CVexilValueConversion& aConversion, QString& aDefault) const
{
    aDefault.clear();
    // A Command or Picture field shows no default.
    const bool shown = iControl.ConType() != EConTypeCommand && iControl.ConType() != EConTypePicture;
    if (!shown || iControl.DefaultVal().isEmpty())
        return true;
    const TValue old = CVexilValue::IntTextToVal(iControl.DefaultVal(), iControl);
    TValue converted;
    if (!aConversion.Convert(old, converted))
        return Refuse(QStringLiteral("its default value '%1' cannot be converted.")
                          .arg(CVexilValue::ValToExtText(old, iControl)));
    aDefault = CVexilValue::ValToIntText(converted);
    return true;
}

bool CVexilValueTypeChange::Change(int32_t aNewType, QChar aDecSep)
{
    if (aNewType < EConTypeText || aNewType > EConTypePicture || aNewType == iControl.ConType())
        return false;
    const QString inUse = UseRefusal(aNewType);
    if (!inUse.isEmpty())
        return Refuse(inUse);
    CVexilValueConversion conversion(iControl, aNewType, aDecSep);
    std::vector<TNewValue> values;
    QString newDefault;
    if (!ConvertValues(conversion, values) || !ConvertDefault(conversion, newDefault))
        return false;

    iControl.SetConType(aNewType);
    iControl.SetDefaultVal(newDefault);
    for (const auto& [card, value] : values)
        card->SetControlVal(iControl.Id(), value);
    return true;
}
