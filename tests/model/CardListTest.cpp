#include "StackFixture.h"

namespace
{
// People live in towns; each town card lists its residents.
class CardListTest : public StackFixture
{
protected:
    void SetUp() override
    {
        StackFixture::SetUp();
        iPeople = iBg;
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iTown = AddField(QStringLiteral("Town"), EConTypeText);
        iAge = AddField(QStringLiteral("Age"), EConTypeInteger);
        iTowns = AddBackground(QStringLiteral("Towns"));
        iTownName = AddField(QStringLiteral("TownName"), EConTypeText, iTowns);
        iResidents = AddCardList(QStringLiteral("Residents"), iTowns, iTown, iTownName);
        iResidents->SetListCol(IntList({iName->Id(), iAge->Id()}));
        iStack->SetControlDynFlags();
    }

    TCardRef Person(const QString& aName, const QString& aTown, int32_t aAge)
    {
        const TCardRef card = AddCard(aName);
        card->SetControlVal(iName->Id(), Val::Str(aName));
        card->SetControlVal(iTown->Id(), Val::Str(aTown));
        card->SetControlVal(iAge->Id(), Val::Int(aAge));
        return card;
    }

    TCardRef Town(const QString& aName)
    {
        const TCardRef card = AddCard(aName, nullptr, iTowns);
        card->SetControlVal(iTownName->Id(), Val::Str(aName));
        return card;
    }

    QString ListOf(const TCardRef& aCard)
    {
        TValue value;
        aCard->GetControlVal(iResidents->Id(), value, true);
        return value.iStr;
    }

    TControlSetRef iPeople;
    TControlSetRef iTowns;
    TControlRef iName;
    TControlRef iTown;
    TControlRef iAge;
    TControlRef iTownName;
    TControlRef iResidents;
};

TEST_F(CardListTest, RolesOfTheFields)
{
    EXPECT_EQ(iTownName->DynFlags(), EDynRefControl);
    EXPECT_EQ(iTown->DynFlags(), EDynSelControl);
    EXPECT_EQ(iName->DynFlags(), EDynListCol);
    EXPECT_EQ(iAge->DynFlags(), EDynListCol);
    EXPECT_EQ(iResidents->DynFlags(), 0);
    // Without RefControlId nothing selects, but the columns still count.
    iResidents->SetRefControlId(UndefLong);
    KeepSorted(iPeople, {{EConTypeInteger, iAge->Id(), 0, 4, 0}});
    EXPECT_EQ(iTownName->DynFlags(), 0);
    EXPECT_EQ(iTown->DynFlags(), 0);
    EXPECT_EQ(iAge->DynFlags(), EDynListCol + EDynKeyPart);
    TControlRef listControl;
    TControlSetRef background;
    ASSERT_TRUE(iStack->FindBySelControl(*iTown, listControl, background));
    EXPECT_EQ(listControl, iResidents);
    EXPECT_EQ(background, iTowns);
    EXPECT_FALSE(iStack->FindBySelControl(*iAge, listControl, background));
}

TEST_F(CardListTest, StackWithoutRolesHasNoBits)
{
    CVexilStack stack;
    stack.Construct(QStringLiteral("Plain"));
    auto field = std::make_shared<CVexilControl>();
    field->Construct(stack.IdGen().NextId(), QStringLiteral("F"), EConTypeText);
    field->SetDynFlags(EDynKeyPart);
    stack.Background(0)->AddControl(field, UndefLong);
    auto card = std::make_shared<CVexilCard>();
    card->Construct(QStringLiteral("A"), stack.Background(0));
    TCardRef none;
    stack.AddCard(card, none, false);
    stack.ResetChangeInfo();
    stack.SetControlDynFlags();
    EXPECT_EQ(field->DynFlags(), 0);
    stack.SetCardListsDirty(nullptr);
    EXPECT_FALSE(card->Dirty());
    EXPECT_FALSE(stack.GetChangeInfo().CardsChanged);
}

TEST_F(CardListTest, ListLinesPerCard)
{
    Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    Person(QStringLiteral("Bob"), QStringLiteral("Basel"), 40);
    Person(QStringLiteral("Cy\tCo"), QStringLiteral("Bern"), 50);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    EXPECT_EQ(ListOf(bern), QStringLiteral("0\tAnn\t30\r\n2\tCy Co\t50"));
    EXPECT_FALSE(bern->Dirty());
    // Without columns: the id and the card name, flattened as well.
    iResidents->SetListCol(nullptr);
    iStack->SetCardListsDirty(nullptr);
    EXPECT_EQ(ListOf(bern), QStringLiteral("0\tAnn\r\n2\tCy Co"));
    // A combo list holds the names alone.
    iResidents->SetFlags(iResidents->Flags() | EConComboList);
    iStack->SetCardListsDirty(nullptr);
    EXPECT_EQ(ListOf(bern), QStringLiteral("Ann\r\nCy Co"));
    // No selecting field: every card of the background, in stack order.
    iResidents->SetSelControlId(UndefLong);
    iStack->SetCardListsDirty(nullptr);
    EXPECT_EQ(ListOf(bern), QStringLiteral("Ann\r\nBob\r\nCy Co"));
}

TEST_F(CardListTest, ColumnTextStaysOnOneLine)
{
    const TCardRef ann = Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    ann->SetControlVal(iName->Id(), Val::Str(QStringLiteral("Ann\r\nMarie\tX")));
    EXPECT_EQ(ListOf(Town(QStringLiteral("Bern"))), QStringLiteral("0\tAnn Marie X\t30"));
}

TEST_F(CardListTest, EmptyListStoresNothing)
{
    const TCardRef empty = Town(QStringLiteral("Nowhere"));
    EXPECT_EQ(ListOf(empty), QString());
    EXPECT_FALSE(empty->ControlValDef(iResidents->Id()));
}

TEST_F(CardListTest, SelectingFieldMarksOnlyItsCard)
{
    Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    const TCardRef basel = Town(QStringLiteral("Basel"));
    ListOf(bern);
    ListOf(basel);
    bern->SetChanged(false);
    Advance(60);
    basel->SetControlVal(iTownName->Id(), Val::Str(QStringLiteral("Bern")));
    EXPECT_TRUE(basel->Dirty());
    EXPECT_FALSE(bern->Dirty());
    Advance(60);
    EXPECT_EQ(ListOf(basel), QStringLiteral("0\tAnn\t30"));
    EXPECT_EQ(basel->ModTime(), TimeOf(iNow));
    EXPECT_FALSE(basel->Dirty());
}

TEST_F(CardListTest, ColumnOrSelectionChangeMarksAllListingCards)
{
    const TCardRef ann = Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    const TCardRef basel = Town(QStringLiteral("Basel"));
    iStack->PrepareForSave();
    EXPECT_FALSE(bern->Dirty());
    for (const TControlRef& field : {iAge, iTown})
    {
        iStack->ResetChangeInfo();
        ann->SetControlVal(field->Id(), field == iAge ? Val::Int(31) : Val::Str(QStringLiteral("Bern ")));
        EXPECT_TRUE(bern->Dirty());
        EXPECT_TRUE(basel->Dirty());
        EXPECT_FALSE(ann->Dirty());
        iStack->PrepareForSave();
        EXPECT_FALSE(bern->Dirty());
        EXPECT_FALSE(basel->Dirty());
    }
    EXPECT_EQ(ListOf(bern), QString());
}

TEST_F(CardListTest, MarkingOneBackgroundCountsEachCardOnce)
{
    Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    const TCardRef basel = Town(QStringLiteral("Basel"));
    iStack->PrepareForSave();
    iStack->ResetChangeInfo();
    iStack->SetCardListsDirty(iTowns.get());
    EXPECT_EQ(iStack->GetChangeInfo().NumChangedCards, 2);
    EXPECT_EQ(iStack->GetChangeInfo().LastCard(), basel);
    iStack->SetCardListsDirty(iPeople.get());
    EXPECT_EQ(iStack->GetChangeInfo().NumChangedCards, 2);
}

TEST_F(CardListTest, SharedListLivesInTheField)
{
    iResidents->SetRefControlId(UndefLong);
    iResidents->SetSelControlId(UndefLong);
    iStack->SetControlDynFlags();
    Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    EXPECT_EQ(ListOf(bern), QStringLiteral("0\tAnn\t30"));
    EXPECT_EQ(iResidents->DefaultVal(), QStringLiteral("0\tAnn\t30"));
    EXPECT_FALSE(bern->ControlValDef(iResidents->Id()));
}

TEST_F(CardListTest, ListSelectingByAnotherListEnds)
{
    // A second list that selects by the first one: updating it reads the first list while
    // the card's lists are being updated, which must not start the update again.
    const TControlRef chained = AddField(QStringLiteral("Chained"), EConTypeList, iTowns);
    chained->SetFlag(EConCardList, true);
    chained->SetSelBackgroundId(iPeople->Id());
    chained->SetSelControlId(iTown->Id());
    chained->SetRefControlId(iResidents->Id());
    iStack->SetControlDynFlags();
    Person(QStringLiteral("Ann"), QStringLiteral("Bern"), 30);
    const TCardRef bern = Town(QStringLiteral("Bern"));
    EXPECT_EQ(ListOf(bern), QStringLiteral("0\tAnn\t30"));
    EXPECT_FALSE(bern->Dirty());
}

TEST_F(CardListTest, AdjustVisCharFitsTheLongestText)
{
    struct TCase
    {
        int Length;
        int16_t VisChar;
        int16_t VisLines;
        int16_t ListVisChar;
    };
    const std::vector<TCase> cases = {
        {0, 2, 1, 9},    {4, 6, 1, 9},    {5, 7, 1, 9},    {6, 8, 1, 9},     {7, 7, 1, 9},
        {29, 29, 1, 20}, {30, 30, 1, 20}, {31, 30, 2, 20}, {100, 30, 4, 20}, {200, 30, 4, 20},
    };
    const TCardRef card = AddCard(QStringLiteral("A"));
    AddCard(QStringLiteral("B"));
    for (const TCase& c : cases)
    {
        const TControlRef field = AddField(QStringLiteral("F"), EConTypeText);
        field->SetListVisChar(9);
        if (c.Length > 0)
            card->SetControlVal(field->Id(), Val::Str(QString(c.Length, u'x')));
    }
    iTownName->SetListVisChar(12);
    iStack->AdjustVisChar();
    TControlRef field;
    int32_t cursor = 0;
    iPeople->GetFirstControl(field, cursor);
    iPeople->GetNextControl(field, cursor);
    iPeople->GetNextControl(field, cursor);  // past Name, Town and Age
    for (const TCase& c : cases)
    {
        ASSERT_TRUE(iPeople->GetNextControl(field, cursor));
        EXPECT_EQ(field->VisChar(), c.VisChar) << c.Length;
        EXPECT_EQ(field->VisLines(), c.VisLines) << c.Length;
        EXPECT_EQ(field->TrueListVisChar(), c.ListVisChar) << c.Length;
    }
    // A background without cards: narrowest width, list width as it was.
    EXPECT_EQ(iTownName->VisChar(), 2);
    EXPECT_EQ(iTownName->VisLines(), 1);
    EXPECT_EQ(iTownName->TrueListVisChar(), 12);
}
}  // namespace
