#pragma once

// A stack with its first background, a settable clock and a recorder of the change
// broadcast, for the tests of the stack model.

#include "RaisedError.h"
#include "StackBuild.h"
#include "RecordIo.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "ValueBuild.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilClock.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Records every broadcast and may look at the model while it runs.
class BroadcastRecorder : public IVexilWinManLink
{
public:
    void NotifyAll(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/) override
    {
        iEvents.push_back(aEvent);
        if (iOnNotify)
            iOnNotify(aEvent);
    }

    std::vector<int32_t> iEvents;
    std::function<void(int32_t)> iOnNotify;
};

// An array of integers without keys, such as the field ids of a card list's columns.
inline std::shared_ptr<CVexilArray> IntList(const std::vector<int32_t>& aValues)
{
    auto array = std::make_shared<CVexilArray>();
    array->Construct(0, EValInt);
    for (const int32_t value : aValues)
    {
        TArrayElem elem;
        array->InitElem(elem);
        elem.iVal.iInt = value;
        array->CreateAtEnd(elem);
    }
    return array;
}

// A sort key of id 40 on background 0 with the parts (type, field, way, len each) and its key
// index of id 41, added to aStack; two stacks may hold the same ids.
inline std::shared_ptr<CVexilArray> AddKeyIndex40(CVexilStack& aStack, const std::vector<TKeyPart>& aParts = {})
{
    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(40, QStringLiteral("K"), 0);
    for (const TKeyPart& part : aParts)
        sortKey->AddKeyPart(part.Type, part.ControlId, part.Way, part.Len);
    aStack.AddSortKey(sortKey);
    auto keyIndex = std::make_shared<CVexilArray>();
    keyIndex->Construct(EArrStrKey + EArrSortKeyOrder, EValInt);
    keyIndex->SetSortKeyId(40);
    keyIndex->SetId(41);
    aStack.AddKeyIndex(keyIndex);
    return keyIndex;
}

class StackFixture : public ::testing::Test
{
protected:
    static inline const QDateTime kCreated{QDate(2024, 3, 1), QTime(9, 30, 15)};

    void SetUp() override
    {
        iNow = kCreated;
        CVexilClock::SetSource([this] { return iNow; });
        CVexilWinManLink::Install(&iBroadcasts);
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Test"));
        iBg = iStack->Background(0);
    }

    void TearDown() override
    {
        CVexilWinManLink::Install(nullptr);
        CVexilClock::SetSource({});
    }

    TControlSetRef AddBackground(const QString& aName) { return NewBackground(*iStack, aName); }

    TControlRef AddField(const QString& aName, int32_t aType, const TControlSetRef& aBackground = nullptr)
    {
        return NewField(*iStack, aBackground ? *aBackground : *iBg, aName, aType);
    }

    // A card-list field of aBackground listing the cards of the first background whose aSelect
    // field holds the value of the card's aRef field.
    TControlRef AddCardList(const QString& aName, const TControlSetRef& aBackground, const TControlRef& aSelect,
                            const TControlRef& aRef)
    {
        TControlRef field = AddField(aName, EConTypeList, aBackground);
        field->SetFlag(EConCardList, true);
        field->SetSelBackgroundId(iBg->Id());
        field->SetSelControlId(aSelect->Id());
        field->SetRefControlId(aRef->Id());
        return field;
    }

    TCardRef AddCard(const QString& aName, const TCardRef& aBefore = nullptr, const TControlSetRef& aBackground = nullptr)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aName, aBackground ? aBackground : iBg);
        TCardRef before = aBefore;
        iStack->AddCard(card, before, false);
        return card;
    }

    // A sort key on the background's fields (type, field, way, len each), kept sorted.
    TSortKeyRef KeepSorted(const TControlSetRef& aBackground, const std::vector<TKeyPart>& aParts)
    {
        auto sortKey = std::make_shared<CVexilSortKey>();
        sortKey->Contruct(iStack->IdGen().NextId(), QStringLiteral("Key"), aBackground->Id());
        for (const TKeyPart& part : aParts)
            sortKey->AddKeyPart(part.Type, part.ControlId, part.Way, part.Len);
        iStack->AddSortKey(sortKey);
        iStack->SetControlDynFlags();
        aBackground->SetFlag(ECseKeepCardsSorted, true);
        iStack->NewIndexForSortKey(sortKey);
        return sortKey;
    }

    std::vector<int32_t> OrderNums() const
    {
        std::vector<int32_t> nums;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
            nums.push_back(card->OrderNum());
        return nums;
    }

    // The card names in stack order, joined by blanks.
    QString Order() const
    {
        QStringList names;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
            names.append(card->Name());
        return names.join(u' ');
    }

    // The card names in the order of a key index.
    QString KeyOrder(const CVexilArray& aKeyIndex) const
    {
        QStringList names;
        for (int32_t i = 0; i < aKeyIndex.Count(); ++i)
            names.append(iStack->GetCardById(aKeyIndex.ElemAt(i).iVal.iInt)->Name());
        return names.join(u' ');
    }

    void Advance(int aSeconds) { iNow = iNow.addSecs(aSeconds); }

    static double DateOf(const QDateTime& aWhen) { return CVexilValue::FromQDate(aWhen.date()); }
    static double TimeOf(const QDateTime& aWhen) { return CVexilValue::FromQTime(aWhen.time()); }

    QDateTime iNow;
    BroadcastRecorder iBroadcasts;
    TStackRef iStack;
    TControlSetRef iBg;
};
