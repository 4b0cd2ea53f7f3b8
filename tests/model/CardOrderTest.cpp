#include "StackFixture.h"

#include "model/VexilBlobStore.h"

#include <limits>
#include <random>

namespace
{
using CardOrderTest = StackFixture;

TEST_F(CardOrderTest, AppendedCardsStepByHundred)
{
    for (const char* name : {"A", "B", "C"})
        AddCard(QString::fromLatin1(name));
    EXPECT_EQ(OrderNums(), (std::vector<int32_t>{100, 200, 300}));
    EXPECT_EQ(Order(), QStringLiteral("A B C"));
}

TEST_F(CardOrderTest, InsertsHalveTheGapThenRenumberOnce)
{
    struct TCase
    {
        const char* What;
        bool BeforeFirst;  // before the first card, else always before the card numbered 200
        std::vector<int32_t> NewNumbers;
        std::vector<int32_t> Final;
    };
    const std::vector<TCase> cases = {
        {"before the first card", true, {50, 25, 12, 6, 3, 1, 50}, {50, 100, 200, 300, 400, 500, 600, 700, 800}},
        {"before the second card",
         false,
         {150, 175, 187, 193, 196, 198, 199, 850},
         {100, 200, 300, 400, 500, 600, 700, 800, 850, 900}},
    };
    for (const TCase& c : cases)
    {
        iStack->DeleteAllCards();
        const TCardRef first = AddCard(QStringLiteral("A"));
        const TCardRef second = AddCard(QStringLiteral("B"));
        std::vector<int32_t> numbers;
        TCardRef before = c.BeforeFirst ? first : second;
        for (size_t i = 0; i < c.NewNumbers.size(); ++i)
        {
            const TCardRef card = AddCard(QStringLiteral("N"), before);
            numbers.push_back(card->OrderNum());
            if (c.BeforeFirst)
                before = card;
        }
        EXPECT_EQ(numbers, c.NewNumbers) << c.What;
        EXPECT_EQ(OrderNums(), c.Final) << c.What;
    }
}

TEST_F(CardOrderTest, NumbersAreRenumberedBeforeAnAppendCouldOverflow)
{
    // A stack read from a file whose last card has nearly the largest order number.
    AddCard(QStringLiteral("A"));
    AddCard(QStringLiteral("B"));
    const QByteArray high = QByteArray::number(std::numeric_limits<int32_t>::max() - 50);
    QByteArray xml = XmlOf([&](CVexilXmlWriter& aWriter) { iStack->ExternalizeXml(aWriter); });
    xml.replace("orderNum=\"200\"", "orderNum=\"" + high + "\"");
    xml.replace("<Elem intKey=\"200\" type=\"12\"", "<Elem intKey=\"" + high + "\" type=\"12\"");
    iStack = std::make_shared<CVexilStack>();
    ReadXml(xml, *iStack);
    iBg = iStack->Background(0);
    ASSERT_EQ(OrderNums(), (std::vector<int32_t>{100, high.toInt()}));

    AddCard(QStringLiteral("C"));
    EXPECT_EQ(OrderNums(), (std::vector<int32_t>{100, 200, 300}));
    EXPECT_EQ(Order(), QStringLiteral("A B C"));
}

TEST_F(CardOrderTest, MoveCardAndDeleteAll)
{
    const TCardRef a = AddCard(QStringLiteral("A"));
    const TCardRef b = AddCard(QStringLiteral("B"));
    const TCardRef c = AddCard(QStringLiteral("C"));
    iStack->ResetChangeInfo();
    iStack->MoveCard(*c, a.get());
    EXPECT_EQ(Order(), QStringLiteral("C A B"));
    EXPECT_EQ(c->OrderNum(), 50);
    iStack->MoveCard(*c, nullptr);
    EXPECT_EQ(Order(), QStringLiteral("A B C"));
    EXPECT_EQ(c->OrderNum(), 300);
    EXPECT_TRUE(iStack->GetChangeInfo().CardListChanged);
    iStack->DeleteAllCards();
    EXPECT_EQ(iStack->NumCards(), 0);
    EXPECT_FALSE(iStack->GetCardById(0));
}

TEST_F(CardOrderTest, CardsOfAnotherStackAreAssertions)
{
    CVexilStack other;
    other.Construct(QStringLiteral("Other"));
    TCardRef none;
    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("X"), other.Background(0));
    other.AddCard(card, none, false);
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { iStack->RenameCard(*card, QStringLiteral("Y")); }), EErrAssertFailed);
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { iStack->DeleteCard(card); }), EErrAssertFailed);
    EXPECT_EQ(card->Name(), QStringLiteral("X"));
}

class SortedOrderTest : public StackFixture
{
protected:
    void SetUp() override
    {
        StackFixture::SetUp();
        iOther = AddBackground(QStringLiteral("Other"));
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iName->SetFlag(EConCardName, true);
        AddCard(QStringLiteral("O1"), nullptr, iOther);
        KeepSorted(iBg, {{EConTypeText, iName->Id(), 0, 5, 0}});
        for (const char* name : {"b", "d"})
            AddSorted(QString::fromLatin1(name));
        AddCard(QStringLiteral("O2"), nullptr, iOther);
    }

    TCardRef AddSorted(const QString& aName, const TCardRef& aBefore = nullptr)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aName, iBg);
        TCardRef before = aBefore;
        iStack->AddCard(card, before, false);
        card->SetControlVal(iName->Id(), Val::Str(aName));
        return card;
    }

    TCardRef Card(const char* aName)
    {
        TCardRef card;
        EXPECT_TRUE(iStack->GetCard(QString::fromLatin1(aName), card)) << aName;
        return card;
    }

    TControlSetRef iOther;
    TControlRef iName;
};

TEST_F(SortedOrderTest, SortedCardsGoToTheirKeyPlace)
{
    EXPECT_EQ(Order(), QStringLiteral("O1 b d O2"));
    AddSorted(QStringLiteral("c"), Card("O1"));  // the place asked for does not count
    EXPECT_EQ(Order(), QStringLiteral("O1 b c d O2"));
    AddSorted(QStringLiteral("e"));  // behind its key predecessor, not at the end
    EXPECT_EQ(Order(), QStringLiteral("O1 b c d e O2"));
    EXPECT_EQ(KeyOrder(*iBg->KeyIndex()), QStringLiteral("b c d e"));
}

TEST_F(SortedOrderTest, CardBeforeASortedRunGoesBeforeItsStart)
{
    TCardRef before = Card("d");
    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("O3"), iOther);
    iStack->AddCard(card, before, false);
    EXPECT_EQ(before, Card("b"));
    EXPECT_EQ(Order(), QStringLiteral("O1 O3 b d O2"));
}

TEST_F(SortedOrderTest, OnlyCardOfItsBackgroundMovesToTheEndWhenItsKeyChanges)
{
    TCardRef b = Card("b");
    iStack->DeleteCard(b);
    EXPECT_EQ(Order(), QStringLiteral("O1 d O2"));
    iBroadcasts.iEvents.clear();
    Card("d")->SetControlVal(iName->Id(), Val::Str(QStringLiteral("z")));
    EXPECT_EQ(Order(), QStringLiteral("O1 O2 z"));
    EXPECT_EQ(iBroadcasts.iEvents, std::vector<int32_t>{EChgCardOrder});
}

TEST_F(SortedOrderTest, SortWithAndWithoutAnchor)
{
    // Disturb the run first, as a read of a stack written elsewhere could.
    iStack->MoveCard(*Card("d"), Card("b").get());
    EXPECT_EQ(Order(), QStringLiteral("O1 d b O2"));
    iStack->Sort(*iBg, iStack->SortKey(iBg->KeyIndex()->SortKeyId()), Card("d").get(), false);
    EXPECT_EQ(Order(), QStringLiteral("O1 b d O2"));
    EXPECT_EQ(OrderNums(), (std::vector<int32_t>{100, 200, 300, 400}));
    EXPECT_EQ(KeyOrder(*iBg->KeyIndex()), QStringLiteral("b d"));
    iStack->Sort(*iBg, iStack->SortKey(iBg->KeyIndex()->SortKeyId()), nullptr, false);
    EXPECT_EQ(Order(), QStringLiteral("O1 O2 b d"));
}

TEST_F(SortedOrderTest, MovingTheRun)
{
    const std::vector<int32_t> numbers = OrderNums();
    for (const char* target : {"b", "O2"})
    {
        iStack->MoveAllCardsOfBackground(*iBg, Card(target).get());
        EXPECT_EQ(Order(), QStringLiteral("O1 b d O2")) << target;
        EXPECT_EQ(OrderNums(), numbers) << target;
    }
    iStack->MoveAllCardsOfBackground(*iBg, Card("O1").get());
    EXPECT_EQ(Order(), QStringLiteral("b d O1 O2"));
    EXPECT_EQ(OrderNums(), (std::vector<int32_t>{100, 200, 300, 400}));
    iStack->MoveAllCardsOfBackground(*iBg, nullptr);
    EXPECT_EQ(Order(), QStringLiteral("O1 O2 b d"));
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { iStack->MoveAllCardsOfBackground(*iOther, nullptr); }), EErrAssertFailed);
}

TEST_F(SortedOrderTest, OrderCheckRepairsTheRun)
{
    struct TCase
    {
        std::vector<std::pair<const char*, const char*>> Moves;  // card, before card
        QString Disturbed;
        QString Repaired;
        int32_t Corrections;
    };
    const std::vector<TCase> cases = {
        {{}, QStringLiteral("O1 b d O2"), QStringLiteral("O1 b d O2"), 0},
        {{{"d", "O1"}}, QStringLiteral("d O1 b O2"), QStringLiteral("b d O1 O2"), 2},
        {{{"d", "O2"}, {"O2", "b"}}, QStringLiteral("O1 O2 b d"), QStringLiteral("O1 O2 b d"), 0},
        {{{"O2", "d"}}, QStringLiteral("O1 b O2 d"), QStringLiteral("O1 b d O2"), 1},
    };
    for (const TCase& c : cases)
    {
        iStack->Sort(*iBg, iStack->SortKey(iBg->KeyIndex()->SortKeyId()), Card("O2").get(), false);
        ASSERT_EQ(Order(), QStringLiteral("O1 b d O2"));
        for (const auto& [card, before] : c.Moves)
            iStack->MoveCard(*Card(card), Card(before).get());
        ASSERT_EQ(Order(), c.Disturbed);
        const std::vector<int32_t> numbers = OrderNums();
        iStack->CheckAllOrderIndexes();
        EXPECT_EQ(Order(), c.Repaired) << c.Disturbed.toStdString();
        EXPECT_EQ(iStack->OrderCorrections(), c.Corrections) << c.Disturbed.toStdString();
        EXPECT_EQ(OrderNums(), numbers);
        iStack->CheckAllOrderIndexes();
        EXPECT_EQ(iStack->OrderCorrections(), 0);
    }
}

TEST_F(SortedOrderTest, DeleteBackgroundCardsOnly)
{
    const int32_t keyIndexId = iBg->KeyIndexId();
    iStack->DeleteBackground(iBg, true);
    EXPECT_EQ(Order(), QStringLiteral("O1 O2"));
    EXPECT_EQ(iStack->Background(iBg->Id()), iBg);
    EXPECT_TRUE(iStack->KeyIndex(keyIndexId));
    EXPECT_EQ(iStack->KeyIndex(keyIndexId)->Count(), 0);
}

TEST_F(SortedOrderTest, DeleteBackgroundWithKeysAndWallpaper)
{
    auto wallPaper = std::make_shared<CVexilBlob>();
    wallPaper->Construct(iStack->IdGen().NextId());
    iStack->BlobStore()->AddBlob(wallPaper);
    wallPaper->IncRefCount();
    iBg->SetWallPaperId(wallPaper->Id());
    iStack->DeleteBackground(iBg, false);
    EXPECT_FALSE(iStack->Background(iBg->Id()));
    std::shared_ptr<CVexilArray> keyIndex;
    int32_t cursor = 0;
    EXPECT_FALSE(iStack->GetFirstKeyIndex(keyIndex, cursor));
    TSortKeyRef sortKey;
    EXPECT_FALSE(iStack->GetFirstSortKey(sortKey, cursor));
    EXPECT_FALSE(iStack->BlobStore()->HasBlob(wallPaper->Id()));
    EXPECT_EQ(Order(), QStringLiteral("O1 O2"));
}

TEST_F(SortedOrderTest, RenameKeepsTheNameIndexAndTheKey)
{
    iStack->RenameCard(*Card("b"), QStringLiteral("f"));
    EXPECT_EQ(Order(), QStringLiteral("O1 d f O2"));
    TCardRef found;
    EXPECT_FALSE(iStack->GetCard(QStringLiteral("b"), found));
}
}  // namespace

// A new key index is built at once from the sorted keys: the same elements in the same order,
// and the same growth figures, as inserting the cards' keys one by one gives.
TEST_F(StackFixture, NewKeyIndexIsTheIndexOfOneByOneInsertions)
{
    const TControlRef name = AddField(QStringLiteral("Name"), EConTypeText);
    const TControlRef number = AddField(QStringLiteral("Number"), EConTypeInteger);
    const QString letters = QStringLiteral("aAbB \u00e4\u00c4-z");
    std::mt19937 random(5);
    for (int i = 0; i < 300; ++i)
    {
        const TCardRef card = AddCard(QStringLiteral("C%1").arg(i));
        QString text;
        for (int c = int(random() % 4); c >= 0; --c)
            text += letters[qsizetype(random() % uint32_t(letters.size()))];
        card->SetControlVal(name->Id(), Val::Str(text));
        card->SetControlVal(number->Id(), Val::Int(int32_t(random() % 5) - 2));
    }
    for (const QLocale& locale : {kDotLocale, QLocale(QLocale::Swedish, QLocale::Sweden)})
    {
        SCOPED_TRACE(locale.name().toStdString());
        const LocaleScope scope(locale);
        const TSortKeyRef sortKey =
            KeepSorted(iBg, {{EConTypeText, name->Id(), 0, 3, 0}, {EConTypeInteger, number->Id(), 1, 11, 0}});
        CVexilArray expected;
        expected.Construct(EArrStrKey + EArrSortKeyOrder, EValInt);
        expected.SetSortKey(sortKey);
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCardInBackground(iBg->Id(), card, cursor); more;
             more = iStack->GetNextCardInBackground(iBg->Id(), card, cursor))
        {
            TArrayElem elem;
            expected.InitElem(elem);
            elem.StrKey = sortKey->BuildKey(*card);
            elem.iVal.iInt = card->Id();
            expected.CreateStrKey(elem);
        }
        const auto index = iBg->KeyIndex();
        ASSERT_EQ(index->Count(), expected.Count());
        EXPECT_EQ(index->Alloc(), expected.Alloc());
        for (int32_t i = 0; i < expected.Count(); ++i)
        {
            ASSERT_EQ(index->ElemAt(i).StrKey, expected.ElemAt(i).StrKey) << i;
            ASSERT_EQ(index->ElemAt(i).iVal.iInt, expected.ElemAt(i).iVal.iInt) << i;
        }
    }
}
