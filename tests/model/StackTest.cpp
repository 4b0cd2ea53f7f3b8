#include "StackFixture.h"

#include "model/VexilBlobStore.h"

#include <map>
#include <random>
#include <set>

namespace
{
using StackTest = StackFixture;

TEST_F(StackTest, NewStackHasOneEmptyBackground)
{
    EXPECT_EQ(iStack->NumCards(), 0);
    ASSERT_TRUE(iBg);
    EXPECT_EQ(iBg->Name(), QStringLiteral("First Background"));
    EXPECT_EQ(iBg->Stack(), iStack.get());
    EXPECT_EQ(iStack->IdGen().PeekId(), 1);
    TCardRef card;
    EXPECT_FALSE(iStack->OrderFirst(card));
    EXPECT_FALSE(card);
    EXPECT_FALSE(iStack->OrderLast(card));
    EXPECT_TRUE(iStack->Changed());
    EXPECT_EQ(iStack->BackColor(), UndefLong);
    ASSERT_TRUE(iStack->BlobStore());
    EXPECT_TRUE(iStack->BlobStore()->Flag(EBstRamBased));
    EXPECT_EQ(iStack->ObjDescr(), QStringLiteral("CVexilStack name=Test"));
}

TEST_F(StackTest, IdGeneratorGivesEachIdOnce)
{
    CVexilIdGen gen;
    gen.Construct();
    gen.SetChanged(false);
    EXPECT_EQ(gen.NextId(), 0);
    EXPECT_EQ(gen.NextId(), 1);
    EXPECT_EQ(gen.PeekId(), 2);
    EXPECT_TRUE(gen.Changed());
}

TEST_F(StackTest, CardsByPositionAndWalks)
{
    const TCardRef a = AddCard(QStringLiteral("A"));
    const TCardRef b = AddCard(QStringLiteral("B"));
    const TCardRef c = AddCard(QStringLiteral("C"));
    TCardRef card;
    EXPECT_FALSE(iStack->GetCardByNum(-1, card));
    EXPECT_FALSE(iStack->GetCardByNum(3, card));
    ASSERT_TRUE(iStack->GetCardByNum(0, card));
    EXPECT_EQ(card, a);
    ASSERT_TRUE(iStack->OrderLast(card));
    EXPECT_EQ(card, c);
    ASSERT_TRUE(iStack->OrderNext(*a, card));
    EXPECT_EQ(card, b);
    EXPECT_FALSE(iStack->OrderNext(*c, card));
    ASSERT_TRUE(iStack->OrderPrev(*b, card));
    EXPECT_EQ(card, a);
    EXPECT_FALSE(iStack->OrderPrev(*a, card));
    int32_t index = 0;
    int32_t count = 0;
    iStack->GetCardIndex(*b, index, count);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(count, 3);
}

TEST_F(StackTest, WalksOfOneBackground)
{
    const TControlSetRef other = AddBackground(QStringLiteral("Other"));
    AddCard(QStringLiteral("A1"));
    AddCard(QStringLiteral("B1"), nullptr, other);
    AddCard(QStringLiteral("A2"));
    AddCard(QStringLiteral("B2"), nullptr, other);
    QStringList names;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = iStack->GetFirstCardInBackground(other->Id(), card, cursor); more;
         more = iStack->GetNextCardInBackground(other->Id(), card, cursor))
        names.append(card->Name());
    EXPECT_EQ(names.join(u' '), QStringLiteral("B1 B2"));
    ASSERT_TRUE(iStack->GetLastCardInBackground(iBg->Id(), card));
    EXPECT_EQ(card->Name(), QStringLiteral("A2"));
    EXPECT_EQ(iStack->NumBackgroundCards(other->Id()), 2);
    EXPECT_EQ(iStack->NumBackgroundCards(99), 0);
    EXPECT_FALSE(iStack->GetLastCardInBackground(99, card));
}

TEST_F(StackTest, NamesAreExactAndMayRepeat)
{
    const TCardRef lower = AddCard(QStringLiteral("card"));
    const TCardRef upper = AddCard(QStringLiteral("Card"));
    const TCardRef twin = AddCard(QStringLiteral("Card"));
    TCardRef found;
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("card"), found));
    EXPECT_EQ(found, lower);
    TCardRef missing;
    EXPECT_FALSE(iStack->GetCard(QStringLiteral("CARD"), missing));
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("Card"), found));
    EXPECT_TRUE(found == upper || found == twin);
    // Deleting one of two cards of the same name leaves the other one findable.
    const TCardRef kept = found == upper ? twin : upper;
    TCardRef doomed = found;
    iStack->DeleteCard(doomed);
    ASSERT_TRUE(iStack->GetCard(QStringLiteral("Card"), found));
    EXPECT_EQ(found, kept);
}

TEST_F(StackTest, CardIdsAreSlots)
{
    const TCardRef a = AddCard(QStringLiteral("A"));
    TCardRef b = AddCard(QStringLiteral("B"));
    TCardRef c = AddCard(QStringLiteral("C"));
    EXPECT_EQ(a->Id(), 0);
    EXPECT_EQ(c->Id(), 2);
    iStack->DeleteCard(c);
    EXPECT_FALSE(c);
    EXPECT_EQ(AddCard(QStringLiteral("D"))->Id(), 2);
    iStack->DeleteCard(b);
    EXPECT_FALSE(iStack->GetCardById(1));
    EXPECT_EQ(AddCard(QStringLiteral("E"))->Id(), 3);
}

TEST_F(StackTest, CardByIdOutsideTheSlotsIsNone)
{
    AddCard(QStringLiteral("A"));
    for (int32_t id : {-1, 1, 1000, UndefLong})
        EXPECT_FALSE(iStack->GetCardById(id)) << id;
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(StackTest, ChangeInfoCountsChangesOfAnotherCard)
{
    const TCardRef a = AddCard(QStringLiteral("A"));
    const TCardRef b = AddCard(QStringLiteral("B"));
    EXPECT_TRUE(iStack->GetChangeInfo().CardListChanged);
    iStack->ResetChangeInfo();
    for (CVexilCard* card : {a.get(), a.get(), b.get(), a.get()})
        iStack->ChangeCard(*card);
    const TStackChangeInfo& info = iStack->GetChangeInfo();
    EXPECT_TRUE(info.CardsChanged);
    EXPECT_FALSE(info.CardListChanged);
    EXPECT_EQ(info.NumChangedCards, 3);
    EXPECT_EQ(info.LastCard(), a);
    iStack->ResetChangeInfo();
    EXPECT_EQ(iStack->GetChangeInfo().NumChangedCards, 0);
    EXPECT_FALSE(iStack->GetChangeInfo().LastCard());
}

TEST_F(StackTest, ChangeInfoDoesNotKeepDeletedCards)
{
    TCardRef a = AddCard(QStringLiteral("A"));
    iStack->ResetChangeInfo();
    iStack->RenameCard(*a, QStringLiteral("A2"));
    iStack->DeleteCard(a);
    EXPECT_FALSE(iStack->GetChangeInfo().LastCard());
}

TEST_F(StackTest, ChangedCoversTheParts)
{
    const TCardRef card = AddCard(QStringLiteral("A"));
    iStack->SetChanged(false);
    EXPECT_FALSE(iStack->Changed());
    EXPECT_FALSE(card->Changed());
    card->SetBackColor(5);
    EXPECT_TRUE(iStack->Changed());
    iStack->SetChanged(false);
    iBg->SetDescr(QStringLiteral("x"));
    EXPECT_TRUE(iStack->Changed());
    iStack->SetChanged(false);
    iStack->IdGen().NextId();
    EXPECT_TRUE(iStack->Changed());
    // True marks the stack only; ResetChanged clears only the stack's own flag.
    iStack->SetChanged(false);
    iStack->SetChanged(true);
    EXPECT_FALSE(card->Changed());
    iStack->ResetChanged();
    EXPECT_FALSE(iStack->Changed());
    card->SetFlags(1);
    iStack->ResetChanged();
    EXPECT_TRUE(iStack->Changed());
}

TEST_F(StackTest, SettersMarkTheStackChanged)
{
    const std::vector<std::function<void()>> setters = {
        [&] { iStack->SetName(QStringLiteral("N")); },      [&] { iStack->SetDescr(QStringLiteral("D")); },
        [&] { iStack->SetId(5); },                          [&] { iStack->SetFlags(EStkBinary); },
        [&] { iStack->SetFilename(QStringLiteral("f")); }, [&] { iStack->SetBackColor(0); },
        [&] { iStack->SetScriptSource(QStringLiteral("s")); },
    };
    for (size_t i = 0; i < setters.size(); ++i)
    {
        iStack->SetChanged(false);
        setters[i]();
        EXPECT_TRUE(iStack->Changed()) << i;
    }
}

TEST_F(StackTest, SecondBlobStoreIsRefused)
{
    ScriptedPrompts::Instance().ExpectMessage(false);
    auto store = std::make_shared<CVexilBlobStore>();
    EXPECT_EQ(RaisedError([&] { iStack->SetBlobStore(store); }), EErrAssertFailed);
    EXPECT_NE(iStack->BlobStore(), store);
}

TEST_F(StackTest, ByNameLooksUpExactly)
{
    const TControlSetRef other = AddBackground(QStringLiteral("Other"));
    TControlSetRef found;
    ASSERT_TRUE(iStack->GetBackgroundByName(QStringLiteral("Other"), found));
    EXPECT_EQ(found, other);
    EXPECT_FALSE(iStack->GetBackgroundByName(QStringLiteral("other"), found));
    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(iStack->IdGen().NextId(), QStringLiteral("ByName"), other->Id());
    iStack->AddSortKey(sortKey);
    TSortKeyRef key;
    ASSERT_TRUE(iStack->GetSortKeyByName(other->Id(), QStringLiteral("ByName"), key));
    EXPECT_EQ(key, sortKey);
    EXPECT_FALSE(iStack->GetSortKeyByName(other->Id(), QStringLiteral("byname"), key));
    EXPECT_FALSE(iStack->GetSortKeyByName(iBg->Id(), QStringLiteral("ByName"), key));
    EXPECT_EQ(iStack->SortKey(sortKey->Id()), sortKey);
    iStack->DeleteSortKey(*sortKey);
    EXPECT_FALSE(iStack->GetSortKeyByName(other->Id(), QStringLiteral("ByName"), key));
}

TEST_F(StackTest, MissingSortKeyAndKeyIndexAreAssertions)
{
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_FALSE(iStack->SortKey(77));
    ScriptedPrompts::Instance().ExpectMessage(true);
    EXPECT_FALSE(iStack->KeyIndex(78));
    const auto& messages = ScriptedPrompts::Instance().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].Text.contains(QStringLiteral("SortKey found 77")));
    EXPECT_TRUE(messages[1].Text.contains(QStringLiteral("KeyIndex found 78")));
}

TEST_F(StackTest, KeyIndexOrdersByItsOwnStacksSortKey)
{
    // Two stacks with a sort key of the same id but opposite directions: each key index
    // follows the sort key of the stack it was added to.
    const TControlRef name = AddField(QStringLiteral("Name"), EConTypeText);
    auto keyIndexFor = [&](CVexilStack& aStack, int32_t aWay) {
        const auto keyIndex = AddKeyIndex40(aStack, {{EConTypeText, name->Id(), aWay, 3, 0}});
        for (const char* key : {"AAA         1", "BBB         2"})
        {
            TArrayElem elem;
            keyIndex->InitElem(elem);
            elem.StrKey = QString::fromLatin1(key);
            keyIndex->CreateStrKey(elem);
        }
        return keyIndex;
    };
    CVexilStack second;
    second.Construct(QStringLiteral("Second"));
    const auto ascending = keyIndexFor(*iStack, 0);
    const auto descending = keyIndexFor(second, 1);
    EXPECT_EQ(ascending->ElemAt(0).StrKey.left(3), QStringLiteral("AAA"));
    EXPECT_EQ(descending->ElemAt(0).StrKey.left(3), QStringLiteral("BBB"));
    EXPECT_EQ(iStack->KeyIndex(41), ascending);
}

// The name index and a kept-sorted key index through many adds, renames, key changes and
// deletions, against a plain reference of the cards: names of every length (empty and far
// longer than a key page), names equal but for case, and many cards of the same name.
TEST_F(StackTest, IndexesFollowManyCardsAgainstAReference)
{
    const QString names[] = {QString(), QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("same"),
                             QString(40000, u'L'), QStringLiteral("\u00E4pfel"), QStringLiteral("x\U0001F600")};
    const TControlRef field = AddField(QStringLiteral("Name"), EConTypeText);
    const TSortKeyRef sortKey = KeepSorted(iBg, {{EConTypeText, field->Id(), 0, 12}});
    std::map<int32_t, QString> reference;  // card id -> name
    std::vector<TCardRef> cards;
    std::mt19937 random(23);
    const auto someName = [&] { return names[random() % std::size(names)] + QString::number(random() % 3); };
    for (int step = 0; step < 3000; ++step)
    {
        const uint32_t op = random() % 10;
        if (op < 5 || cards.empty())
        {
            const TCardRef card = AddCard(someName());
            card->SetControlVal(field->Id(), Val::Str(someName()));
            cards.push_back(card);
            reference[card->Id()] = card->Name();
            continue;
        }
        const size_t at = random() % cards.size();
        if (op < 7)
        {
            const QString name = someName();
            iStack->RenameCard(*cards[at], name);
            reference[cards[at]->Id()] = name;
        }
        else if (op < 9)
        {
            cards[at]->SetControlVal(field->Id(), Val::Str(someName()));
        }
        else
        {
            reference.erase(cards[at]->Id());
            iStack->DeleteCard(cards[at]);
            cards.erase(cards.begin() + std::ptrdiff_t(at));
        }
    }
    ASSERT_EQ(iStack->NumCards(), int32_t(reference.size()));
    std::map<QString, std::set<int32_t>> byName;
    for (const auto& [id, name] : reference)
        byName[name].insert(id);
    for (const auto& [name, ids] : byName)
    {
        TCardRef found;
        ASSERT_TRUE(iStack->GetCard(name, found)) << name.left(20).toStdString();
        EXPECT_EQ(ids.count(found->Id()), 1u);
    }
    TCardRef none;
    EXPECT_FALSE(iStack->GetCard(QStringLiteral("never"), none));
    // The key index holds each card's present key once, in the sort key's order.
    const auto keyIndex = iBg->KeyIndex();
    ASSERT_EQ(keyIndex->Count(), iStack->NumCards());
    for (int32_t at = 0; at < keyIndex->Count(); ++at)
    {
        const TArrayElem elem = keyIndex->ElemAt(at);
        EXPECT_EQ(elem.StrKey, sortKey->BuildKey(*iStack->GetCardById(elem.iVal.iInt)));
        if (at > 0)
        {
            EXPECT_EQ(sortKey->compare(keyIndex->ElemAt(at - 1).StrKey, elem.StrKey), 0);
        }
    }
}
}  // namespace
