// Field roles and card-list upkeep: which fields other fields depend on, card lists marked
// stale and recomputed, a field's values removed, and field widths fitted to the data.

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilListBoxLink.h"
#include "model/VexilStack.h"

#include <QStringList>

#include <algorithm>
#include <limits>
#include <vector>

namespace
{
// Calls aVisit for every field of the background in display order.
template <class F>
void ForEachControl(const CVexilControlSet& aBackground, F&& aVisit)
{
    TControlRef control;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(control, cursor); more;
         more = aBackground.GetNextControl(control, cursor))
        aVisit(control);
}

template <class F>
void ForEachBackground(const CVexilStack& aStack, F&& aVisit)
{
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstBackground(background, cursor); more;
         more = aStack.GetNextBackground(background, cursor))
        aVisit(background);
}

template <class F>
void ForEachCardOf(const CVexilStack& aStack, int32_t aBackgroundId, F&& aVisit)
{
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstCardInBackground(aBackgroundId, card, cursor); more;
         more = aStack.GetNextCardInBackground(aBackgroundId, card, cursor))
        aVisit(card);
}

void MarkControl(const CVexilControlSet* aBackground, int32_t aControlId, int32_t aBit)
{
    TControlRef control;
    if (aBackground && aBackground->GetControl(aControlId, control))
        control->SetDynFlag(aBit, true);
}

QString Flattened(QString aText)
{
    CVexilLib::FlattenLine(aText);
    return aText;
}

// The width of a field for its longest text: a little room for short ones, whole lines of 30
// characters (at most four) for long ones.
void FitToLength(CVexilControl& aControl, int32_t aLength)
{
    int32_t len = std::min<int32_t>(aLength, std::numeric_limits<int16_t>::max());
    if (len < 7)
        len += 2;
    if (len > 30 && len % 5 != 0)
        len += 5 - len % 5;
    if (len > 20)
        aControl.SetListVisChar(20);
    if (len < 30)
    {
        aControl.SetVisChar(int16_t(len));
        aControl.SetVisLines(1);
        return;
    }
    aControl.SetVisChar(30);
    aControl.SetVisLines(int16_t(std::min(4, len / 30 + (len % 30 != 0 ? 1 : 0))));
}
}  // namespace

void CVexilStack::SetControlDynFlags()
{
    ForEachBackground(*this, [](const TControlSetRef& aBackground) {
        ForEachControl(*aBackground, [](const TControlRef& aControl) { aControl->SetDynFlags(0); });
    });
    ForEachBackground(*this, [this](const TControlSetRef& aBackground) {
        ForEachControl(*aBackground, [&](const TControlRef& aControl) {
            if (!aControl->Flag(EConCardList))
                return;
            const TControlSetRef selected = Background(aControl->SelBackgroundId());
            if (aControl->RefControlId() != UndefLong)
            {
                MarkControl(aBackground.get(), aControl->RefControlId(), EDynRefControl);
                MarkControl(selected.get(), aControl->SelControlId(), EDynSelControl);
            }
            if (const auto& columns = aControl->ListCol())
                for (int32_t i = 0; i < columns->Count(); ++i)
                    MarkControl(selected.get(), columns->IntValAt(i), EDynListCol);
        });
    });
    TSortKeyRef sortKey;
    int32_t cursor = 0;
    for (bool more = GetFirstSortKey(sortKey, cursor); more; more = GetNextSortKey(sortKey, cursor))
    {
        const TControlSetRef background = Background(sortKey->BackgroundId());
        TKeyPart part;
        int32_t partCursor = 0;
        for (bool morePart = sortKey->GetFirstKeyPart(part, partCursor); morePart;
             morePart = sortKey->GetNextKeyPart(part, partCursor))
        {
            TControlRef control;
            const bool found = background && background->GetControl(part.ControlId, control);
            CVexilError::CheckFailed(found, sortKey.get(), QStringLiteral("SetDynFlags"),
                                     QStringLiteral("key part control found"));
            if (found)
                control->SetDynFlag(EDynKeyPart, true);
        }
    }
}

bool CVexilStack::FindBySelControl(const CVexilControl& aControl, TControlRef& aCardListControl,
                                   TControlSetRef& aBackground) const
{
    int32_t cursor = 0;
    for (bool more = GetFirstBackground(aBackground, cursor); more; more = GetNextBackground(aBackground, cursor))
    {
        int32_t controlCursor = 0;
        for (bool moreControls = aBackground->GetFirstControl(aCardListControl, controlCursor); moreControls;
             moreControls = aBackground->GetNextControl(aCardListControl, controlCursor))
            if (aCardListControl->SelControlId() == aControl.Id())
                return true;
    }
    aCardListControl.reset();
    aBackground.reset();
    return false;
}

void CVexilStack::SetCardListsDirty(const CVexilControlSet* aBackground)
{
    // Runs on every card added, so the backgrounds are looked at in place, without taking references.
    for (int32_t pos = 0; pos < iBackground->Count(); ++pos)
    {
        const auto* each = static_cast<const CVexilControlSet*>(iBackground->ObjAt(pos).get());
        if ((aBackground && aBackground != each) || !each->WithCardList())
            continue;
        ForEachCardOf(*this, each->Id(), [&](const TCardRef& aCard) {
            aCard->SetDirty(true);
            ChangeCard(*aCard);
        });
    }
}

void CVexilStack::PrepareForSave()
{
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = GetFirstCard(card, cursor); more; more = GetNextCard(card, cursor))
        if (card && card->Dirty())
            card->UpdateCardLists();
}

void CVexilStack::DeleteControl(int32_t aControlId, CVexilControlSet& aBackground)
{
    for (int32_t slot = 0; slot < iCard->Count(); ++slot)
    {
        CVexilCard* card = CardPtr(slot);
        if (card && card->BackgroundId() == aBackground.Id())
            card->DeleteControlVal(aControlId);
    }
    aBackground.DeleteControl(aControlId);
}

void CVexilStack::AdjustVisChar()
{
    ForEachBackground(*this, [this](const TControlSetRef& aBackground) {
        std::vector<TControlRef> controls;
        ForEachControl(*aBackground, [&](const TControlRef& aControl) { controls.push_back(aControl); });
        std::vector<int32_t> longest(controls.size(), 0);
        ForEachCardOf(*this, aBackground->Id(), [&](const TCardRef& aCard) {
            for (size_t i = 0; i < controls.size(); ++i)
            {
                TValue value;
                aCard->GetControlVal(controls[i]->Id(), value, false);
                const auto len = int32_t(CVexilValue::ValToExtText(value, *controls[i]).size());
                longest[i] = std::max(longest[i], len);
            }
        });
        for (size_t i = 0; i < controls.size(); ++i)
            FitToLength(*controls[i], longest[i]);
    });
}

void CVexilCard::UpdateCardLists()
{
    const TControlSetRef background = Background();
    if (!background || iUpdatingLists)
        return;
    struct TUpdating
    {
        bool& iFlag;
        explicit TUpdating(bool& aFlag) : iFlag(aFlag) { iFlag = true; }
        ~TUpdating() { iFlag = false; }
    } updating(iUpdatingLists);
    ForEachControl(*background, [this](const TControlRef& aControl) {
        if (!aControl->Flag(EConCardList))
            return;
        if (aControl->RefControlId() == UndefLong)
        {
            iValues.Remove(aControl->Id());
            aControl->SetDefaultVal(aControl->GetCardList(*iStack, TValue()));
            iStack->ChangeCard(*this);
        }
        else
        {
            TValue selVal;
            GetControlVal(aControl->RefControlId(), selVal, true);
            SetControlVal(aControl->Id(), CVexilValue::StrToVal(aControl->GetCardList(*iStack, selVal)));
        }
        iChanged = true;
    });
    iDirty = false;
}

QString CVexilControl::GetCardList(CVexilStack& aStack, const TValue& aSelVal) const
{
    const QString context = QStringLiteral("GetCardList");
    CVexilError::CheckFailed(Flag(EConCardList), this, context, QStringLiteral("EConCardList"));
    const TControlSetRef background = aStack.Background(iSelBackgroundId);
    CVexilError::CheckFailed(background != nullptr, this, context, QStringLiteral("Background def"));
    if (!background)
        return {};
    std::vector<TControlRef> columns;
    for (int32_t i = 0; iListCol && i < iListCol->Count(); ++i)
    {
        TControlRef column;
        const bool found = background->GetControl(iListCol->IntValAt(i), column);
        CVexilError::CheckFailed(found, this, context, QStringLiteral("control found"));
        if (found)
            columns.push_back(column);
    }
    const bool combo = iListBox && iListBox->LisType() == ELisCombo;
    QStringList lines;
    ForEachCardOf(aStack, iSelBackgroundId, [&](const TCardRef& aCard) {
        if (iSelControlId != UndefLong)
        {
            TValue selected;
            aCard->GetControlVal(iSelControlId, selected, true);
            if (!CVexilValue::Equal(selected, aSelVal))
                return;
        }
        if (combo)
        {
            lines.append(Flattened(aCard->Name()));
            return;
        }
        QString line = QString::number(aCard->Id());
        if (columns.empty())
            line += CVexilGenDef::TabStr() + Flattened(aCard->Name());
        for (const TControlRef& column : columns)
        {
            TValue value;
            aCard->GetControlVal(column->Id(), value, true);
            line += CVexilGenDef::TabStr() + Flattened(CVexilValue::ValToExtText(value, *column));
        }
        lines.append(line);
    });
    return lines.join(CVexilGenDef::EolStr());
}
