// The sort key editor as the user works it: a key built in the rows, Sort Cards, the checks of
// a row's field and of the name, keys the rows cannot show as stored, the key that keeps its
// background sorted, and the window without a background or a stack.

#include "KeysAndTypesFixture.h"

#include <QDate>

#include <algorithm>
#include <functional>
#include <tuple>

namespace
{
class SortKeyEdit : public KeysAndTypesFixture
{
protected:
    static constexpr int kOtherCards = 7;

    // A card of "Item" as the sort compares it.
    struct TItemCard
    {
        QString Name;
        QString Title;
        int32_t Count;
        QDate Born;
    };

    // "Item": Name (the card name), Title (Text, at most 100 characters), Count (Integer),
    // Born (Date), Tags (List), Weight (Real), Done (Boolean). "Other": Name. The cards of both
    // stand interleaved: I01 to I13 of "Item", O1 to O7 of "Other", twenty in all.
    static TStackRef KeyStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Keys"));
        const TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        const TControlRef name = AddField(*stack, *item, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef title = AddField(*stack, *item, QStringLiteral("Title"), EConTypeText);
        title->SetMaxChar(100);
        const TControlRef count = AddField(*stack, *item, QStringLiteral("Count"), EConTypeInteger);
        const TControlRef born = AddField(*stack, *item, QStringLiteral("Born"), EConTypeDate);
        AddField(*stack, *item, QStringLiteral("Tags"), EConTypeList);
        AddField(*stack, *item, QStringLiteral("Weight"), EConTypeReal);
        AddField(*stack, *item, QStringLiteral("Done"), EConTypeBoolean);
        const TControlSetRef other = NewBackground(*stack, QStringLiteral("Other"));
        const TControlRef otherName = AddField(*stack, *other, QStringLiteral("Name"), EConTypeText, EConCardName);
        int otherNum = 0;
        for (size_t i = 0; i < ItemCards().size(); ++i)
        {
            const TItemCard& values = ItemCards()[i];
            const TCardRef card = NewCard(*stack, values.Name, item);
            card->SetControlVal(name->Id(), Val::Str(values.Name));
            card->SetControlVal(title->Id(), Val::Str(values.Title));
            card->SetControlVal(count->Id(), Val::Int(values.Count));
            card->SetControlVal(born->Id(), Val::Date(values.Born));
            if (i % 2 == 1 || i + 1 == ItemCards().size())
            {
                const QString otherCard = QStringLiteral("O%1").arg(++otherNum);
                NewCard(*stack, otherCard, other)->SetControlVal(otherName->Id(), Val::Str(otherCard));
            }
        }
        return stack;
    }

    static const std::vector<TItemCard>& ItemCards()
    {
        static const std::vector<TItemCard> cards = {
            {"I01", "beta", 3, {2001, 5, 1}},  {"I02", "Alpha", 7, {1999, 1, 1}}, {"I03", "gamma", 1, {2010, 2, 2}},
            {"I04", "alpha", 7, {1998, 3, 3}}, {"I05", "Beta", 3, {2000, 4, 4}},  {"I06", "delta", 0, {1990, 1, 1}},
            {"I07", "alpha", 9, {2005, 6, 6}}, {"I08", "beta", 3, {2001, 5, 1}},  {"I09", "Gamma", -4, {2011, 7, 7}},
            {"I10", "alpha", 7, {1998, 3, 3}}, {"I11", "beta", 12, {1970, 1, 1}}, {"I12", "Delta", 0, {1989, 9, 9}},
            {"I13", "epsilon", 5, {2020, 2, 29}},
        };
        return cards;
    }

    // The "Item" cards ordered by Title (without regard to case), Count descending and Born,
    // cards equal in all three by their ids, that is in the order they were made.
    static QStringList SortedItemCards()
    {
        std::vector<TItemCard> cards = ItemCards();
        std::stable_sort(cards.begin(), cards.end(), [](const TItemCard& aA, const TItemCard& aB) {
            return std::make_tuple(aA.Title.toUpper(), -aA.Count, aA.Born) <
                   std::make_tuple(aB.Title.toUpper(), -aB.Count, aB.Born);
        });
        QStringList names;
        for (const TItemCard& card : cards)
            names += card.Name;
        return names;
    }

    static TControlRef ItemField(const QString& aName) { return Field(aName); }
    static TControlSetRef Other()
    {
        TControlSetRef background;
        EXPECT_TRUE(gStack->GetBackgroundByName(QStringLiteral("Other"), background));
        return background;
    }

    void OpenWith(const std::function<void(CVexilStack&, const TControlSetRef&)>& aKeys)
    {
        TStackRef stack = KeyStack();
        aKeys(*stack, stack->Background(0));
        Open(stack);
        RecordingWindow::Load();
    }

    static TControlRef FieldOf(const TControlSetRef& aBackground, const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(aBackground->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }

    // Each row as "field | way" the way the window shows it.
    static QStringList Rows(const CVexilSortKeyEdit1& aEditor)
    {
        QStringList rows;
        for (int row = 0; row < KNumKeyRows; ++row)
            rows += aEditor.fControlCombo[size_t(row)]->currentText() + QStringLiteral(" | ") +
                    aEditor.fSortWayCombo[size_t(row)]->currentText();
        return rows;
    }

    static QStringList Lines(const QTreeWidget& aList)
    {
        QStringList lines;
        for (int i = 0; i < aList.topLevelItemCount(); ++i)
            lines += aList.topLevelItem(i)->text(0);
        return lines;
    }
};

TEST_F(SortKeyEdit, AKeyBuiltInTheRowsTakesTheFieldsWithTheirWidthsInRowOrder)
{
    OpenWith([](CVexilStack&, const TControlSetRef&) {});
    CVexilSortKeyEdit1* editor = KeyEditor();
    EXPECT_EQ(editor->Background(), Item());
    EXPECT_FALSE(editor->fCreateBut->isEnabled());

    Click(editor->fNewBut);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("<new>"));
    EXPECT_EQ(FocusName(), QStringLiteral("fName"));
    Type(editor->fName, QStringLiteral("ByTitle"));
    Pick(editor->fControlCombo[0], QStringLiteral("Title  ("));
    Pick(editor->fControlCombo[1], QStringLiteral("(None)"));
    Pick(editor->fControlCombo[2], QStringLiteral("Count  ("));
    Pick(editor->fSortWayCombo[2], QStringLiteral("Descending"));
    Pick(editor->fControlCombo[3], QStringLiteral("Born  ("));
    EXPECT_EQ(Rows(*editor), (QStringList{"Title  (Text) | Ascending", "(None) | ", "Count  (Integer) | Descending",
                                          "Born  (Date) | Ascending", " | "}));
    Click(editor->fCreateBut);

    const TSortKeyRef key = Key(QStringLiteral("ByTitle"));
    ASSERT_TRUE(key);
    EXPECT_EQ(Parts(*key), (QStringList{"Title 0 30@0", "Count 1 11@30", "Born 0 8@41"}));
    EXPECT_TRUE(ItemField(QStringLiteral("Born"))->DynFlag(EDynKeyPart));
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("4")});
    EXPECT_EQ(Lines(*editor->fSortKeyBox), QStringList{QStringLiteral("ByTitle")});
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_EQ(Rows(*editor), QStringList(KNumKeyRows, QStringLiteral(" | ")));
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(SortKeyEdit, SortCardsOrdersTheBackgroundByTheKeyAfterTheOtherBackgrounds)
{
    OpenWith([](CVexilStack& aStack, const TControlSetRef& aItem) {
        AddKey(aStack, *aItem, QStringLiteral("Sorter"),
               {{FieldOf(aItem, QStringLiteral("Title")), 0}, {FieldOf(aItem, QStringLiteral("Count")), 1},
                {FieldOf(aItem, QStringLiteral("Born")), 0}});
    });
    CVexilSortKeyEdit1* editor = KeyEditor();
    EXPECT_FALSE(editor->fSortBut->isEnabled());
    ClickLine(editor->fSortKeyBox, QStringLiteral("Sorter"));
    EXPECT_EQ(editor->Mode(), EModeModify);
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("Sorter"));
    ASSERT_TRUE(editor->fSortBut->isEnabled());

    Click(editor->fSortBut);

    QStringList expected;
    for (int i = 1; i <= kOtherCards; ++i)
        expected += QStringLiteral("O%1").arg(i);
    expected += SortedItemCards();
    EXPECT_EQ(StackOrder(), expected);
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("5")});
    // The order is not kept: the background does not keep its cards sorted.
    EXPECT_FALSE(Item()->Flag(ECseKeepCardsSorted));

    Click(editor->fNewBut);
    EXPECT_FALSE(editor->fSortBut->isEnabled());
}

TEST_F(SortKeyEdit, AFieldOfAListTypeIsRefusedAndKeepsTheFocus)
{
    OpenWith([](CVexilStack&, const TControlSetRef&) {});
    CVexilSortKeyEdit1* editor = KeyEditor();
    Click(editor->fNewBut);
    Type(editor->fName, QStringLiteral("Tagged"));
    Tab();
    ASSERT_EQ(FocusName(), QStringLiteral("fControlCombo0"));
    ScriptedPrompts::Instance().ExpectMessage();
    Pick(editor->fControlCombo[0], QStringLiteral("Tags  ("));
    EXPECT_EQ(editor->fSortWayCombo[0]->currentIndex(), -1);

    ScriptedPrompts::Instance().ExpectMessage();
    Tab();
    EXPECT_EQ(FocusName(), QStringLiteral("fControlCombo0"));

    ScriptedPrompts::Instance().ExpectMessage();
    Click(editor->fCreateBut);
    EXPECT_FALSE(Key(QStringLiteral("Tagged")));
    EXPECT_EQ(FocusName(), QStringLiteral("fControlCombo0"));
    EXPECT_EQ(Shown(), QStringList(3, QStringLiteral("14")));

    Pick(editor->fControlCombo[0], QStringLiteral("Done  ("));
    Tab();
    EXPECT_EQ(FocusName(), QStringLiteral("fSortWayCombo0"));
    Click(editor->fCreateBut);
    ASSERT_TRUE(Key(QStringLiteral("Tagged")));
    EXPECT_EQ(Parts(*Key(QStringLiteral("Tagged"))), QStringList{QStringLiteral("Done 0 2@0")});
}

TEST_F(SortKeyEdit, NamesAreUniquePerBackgroundAndMayBeBlank)
{
    OpenWith([](CVexilStack& aStack, const TControlSetRef& aItem) {
        AddKey(aStack, *aItem, QStringLiteral("ByTitle"), {{FieldOf(aItem, QStringLiteral("Title")), 0}});
    });
    CVexilSortKeyEdit1* editor = KeyEditor();
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    Click(editor->fNewBut);
    Type(editor->fName, QStringLiteral("ByTitle"));
    prompts.ExpectMessage();
    Tab();
    EXPECT_EQ(FocusName(), QStringLiteral("fName"));
    // Create checks the name again itself.
    prompts.ExpectMessage();
    Click(editor->fCreateBut);
    Type(editor->fName, QString());
    prompts.ExpectMessage();
    Tab();
    EXPECT_EQ(FocusName(), QStringLiteral("fName"));
    EXPECT_EQ(Shown(), (QStringList{"1 sort key", "1 sort key", "2 sort key"}));
    EXPECT_EQ(Lines(*editor->fSortKeyBox), QStringList{QStringLiteral("ByTitle")});

    // A blank name is a name.
    Type(editor->fName, QStringLiteral(" "));
    Pick(editor->fControlCombo[0], QStringLiteral("Count  ("));
    Click(editor->fCreateBut);
    EXPECT_TRUE(Key(QStringLiteral(" ")));

    // The key shown keeps its own name.
    ClickLine(editor->fSortKeyBox, QStringLiteral("ByTitle"));
    Type(editor->fName, QStringLiteral("ByTitle"));
    Tab();
    Click(editor->fModifyBut);
    EXPECT_EQ(Shown().size(), 3);
    EXPECT_EQ(RecordingWindow::Heard(), (QStringList{"4", "4"}));

    // Another background may have a key of the same name.
    ClickLine(editor->fBackgroundBox, QStringLiteral("Other"));
    Click(editor->fNewBut);
    Type(editor->fName, QStringLiteral("ByTitle"));
    Pick(editor->fControlCombo[0], QStringLiteral("Name  ("));
    Click(editor->fCreateBut);
    EXPECT_TRUE(Key(QStringLiteral("ByTitle"), Other()));
    EXPECT_EQ(Shown().size(), 3);
}

TEST_F(SortKeyEdit, StoredKeysTheRowsCannotShowAreShownAndKeptByModify)
{
    // Six parts, a way neither ascending nor descending, and a part on a field the background
    // does not have (which no stack file may hold, so it is made in the open stack).
    OpenWith([](CVexilStack& aStack, const TControlSetRef& aItem) {
        AddKey(aStack, *aItem, QStringLiteral("Short"), {{FieldOf(aItem, QStringLiteral("Count")), 1}});
    });
    const TControlSetRef item = Item();
    auto wide = std::make_shared<CVexilSortKey>();
    wide->Contruct(gStack->IdGen().NextId(), QStringLiteral("Wide"), item->Id());
    wide->AddKeyPart(EConTypeText, FieldOf(item, QStringLiteral("Title"))->Id(), 0, 30);
    wide->AddKeyPart(EConTypeInteger, FieldOf(item, QStringLiteral("Count"))->Id(), 2, 11);
    wide->AddKeyPart(EConTypeText, 99999, 0, 10);
    wide->AddKeyPart(EConTypeDate, FieldOf(item, QStringLiteral("Born"))->Id(), 1, 8);
    wide->AddKeyPart(EConTypeReal, FieldOf(item, QStringLiteral("Weight"))->Id(), 0, 15);
    wide->AddKeyPart(EConTypeBoolean, FieldOf(item, QStringLiteral("Done"))->Id(), 1, 2);
    gStack->AddSortKey(wide);
    CVexilSortKeyEdit1* editor = KeyEditor();

    ClickLine(editor->fSortKeyBox, QStringLiteral("Wide"));
    EXPECT_EQ(Rows(*editor), (QStringList{"Title  (Text) | Ascending", "Count  (Integer) | Ascending", "(None) | ",
                                          "Born  (Date) | Descending", "Weight  (Real) | Ascending"}));
    Click(editor->fModifyBut);
    EXPECT_EQ(Parts(*Key(QStringLiteral("Wide"))),
              (QStringList{"Title 0 30@0", "Count 0 11@30", "Born 1 8@41", "Weight 0 15@49", "Done 1 2@64"}));

    // A key of one part after one of five leaves the other rows empty.
    ClickLine(editor->fSortKeyBox, QStringLiteral("Wide"));
    ClickLine(editor->fSortKeyBox, QStringLiteral("Short"));
    EXPECT_EQ(Rows(*editor), (QStringList{"Count  (Integer) | Descending", " | ", " | ", " | ", " | "}));
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(SortKeyEdit, TheKeyThatKeepsTheBackgroundSortedIsReindexedAndCannotBeDeleted)
{
    OpenWith([](CVexilStack& aStack, const TControlSetRef& aItem) {
        const TSortKeyRef kept =
            AddKey(aStack, *aItem, QStringLiteral("Kept"),
                   {{FieldOf(aItem, QStringLiteral("Title")), 0}, {FieldOf(aItem, QStringLiteral("Count")), 1},
                    {FieldOf(aItem, QStringLiteral("Born")), 0}});
        AddKey(aStack, *aItem, QStringLiteral("Spare"), {{FieldOf(aItem, QStringLiteral("Count")), 0}});
        aItem->SetFlag(ECseKeepCardsSorted, true);
        aStack.NewIndexForSortKey(kept);
    });
    const QStringList sorted = SortedItemCards();
    ASSERT_EQ(StackOrder().mid(kOtherCards), sorted);
    const int32_t oldIndex = Item()->KeyIndexId();
    CVexilSortKeyEdit1* editor = KeyEditor();

    // Another key of the background re-sorts nothing.
    ClickLine(editor->fSortKeyBox, QStringLiteral("Spare"));
    EXPECT_FALSE(editor->fSortBut->isEnabled());
    Pick(editor->fSortWayCombo[0], QStringLiteral("Descending"));
    Click(editor->fModifyBut);
    EXPECT_EQ(StackOrder().mid(kOtherCards), sorted);
    EXPECT_EQ(RecordingWindow::Heard(), QStringList{QStringLiteral("4")});

    // The kept key with its first part turned round: the cards follow it at once.
    ClickLine(editor->fSortKeyBox, QStringLiteral("Kept"));
    Pick(editor->fSortWayCombo[0], QStringLiteral("Descending"));
    Click(editor->fModifyBut);
    EXPECT_NE(Item()->KeyIndexId(), oldIndex);
    EXPECT_EQ(Item()->KeyIndex()->SortKeyId(), Key(QStringLiteral("Kept"))->Id());
    QStringList titles;
    for (const QString& name : StackOrder().mid(kOtherCards))
    {
        TValue title;
        Card(name)->GetControlVal(ItemField(QStringLiteral("Title"))->Id(), title, false);
        titles += title.iStr.toUpper();
    }
    QStringList descending = titles;
    std::sort(descending.begin(), descending.end(), std::greater<>());
    EXPECT_EQ(titles, descending);
    EXPECT_EQ(RecordingWindow::Heard(), (QStringList{"4", "5 Item", "4"}));

    // Later value changes keep the order of the rewritten key.
    const int32_t titleId = ItemField(QStringLiteral("Title"))->Id();
    Card(QStringLiteral("I06"))->SetControlVal(titleId, Val::Str(QStringLiteral("zulu")));
    EXPECT_EQ(StackOrder().at(kOtherCards), QStringLiteral("I06"));

    ClickLine(editor->fSortKeyBox, QStringLiteral("Kept"));
    ScriptedPrompts::Instance().ExpectMessage();
    Click(editor->fDeleteBut);
    EXPECT_TRUE(Key(QStringLiteral("Kept")));
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("13")});

    // Any other key goes without a question.
    ClickLine(editor->fSortKeyBox, QStringLiteral("Spare"));
    Click(editor->fDeleteBut);
    EXPECT_FALSE(Key(QStringLiteral("Spare")));
    EXPECT_EQ(Lines(*editor->fSortKeyBox), QStringList{QStringLiteral("Kept")});
    EXPECT_EQ(Shown().size(), 1);
}

TEST_F(SortKeyEdit, WithoutABackgroundNothingCanBeCreated)
{
    OpenWith([](CVexilStack&, const TControlSetRef&) {});
    CVexilSortKeyEdit1* editor = KeyEditor();
    Click(editor->fNewBut);
    EXPECT_TRUE(editor->fCreateBut->isEnabled());

    for (const TControlSetRef& background : {Item(), Other()})
        gStack->DeleteBackground(background, false);
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->Background(), nullptr);
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_FALSE(editor->fNewBut->isEnabled());
    EXPECT_FALSE(editor->fCreateBut->isEnabled());
    EXPECT_EQ(editor->fSortKeyBox->topLevelItemCount(), 0);
    EXPECT_EQ(editor->fControlCombo[0]->count(), 0);
}

TEST_F(SortKeyEdit, WithoutAStackTheWindowShowsNoneAndEditsNothing)
{
    CVexilSortKeyEdit1* editor = KeyEditor();
    EXPECT_EQ(Lines(*editor->fBackgroundBox), QStringList{QStringLiteral("(No stack available)")});
    EXPECT_EQ(editor->Mode(), EModeNone);
    EXPECT_FALSE(editor->fNewBut->isEnabled());
    EXPECT_TRUE(editor->fName->isReadOnly());
}
}  // namespace
