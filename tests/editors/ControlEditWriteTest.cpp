// Create, Modify and Delete in the field editor as the user works them: combo pairs, the
// questions and refusals of Delete, card names, the destination card, moves, input refused
// before anything is written, and the window without a background.

#include "ControlEditFixture.h"

#include "editors/VexilControlSelect.h"
#include "foundation/VexilArray.h"
#include "model/VexilSortKey.h"

#include <QTimer>

namespace
{
using ControlEditWrite = ControlEditFixture;

// The user answers the questions of the next action in order.
void Answer(std::initializer_list<bool> aAnswers)
{
    for (const bool answer : aAnswers)
        ScriptedPrompts::Instance().ExpectMessage(answer);
}

TEST_F(ControlEditWrite, ComboTextMakesItsListFieldAndDeletesItWithIt)
{
    CVexilControlEdit* editor = Editor();
    Click(editor->fNewTextBut);
    Type(editor->fName, QStringLiteral("Price"));
    Tick(editor->FlagBox(QStringLiteral("fComboText")), true);
    Pick(editor->fBeforeCombo, QStringLiteral("Cost"));
    Answer({false});
    Click(editor->fCreateBut);

    EXPECT_EQ(Shown(), QStringList{QStringLiteral("6 List for Price")});
    EXPECT_EQ(FieldNames(),
              QStringList({"Name", "Price", "List for Price", "Cost", "Count", "Note"}));
    const TControlRef price = Field(QStringLiteral("Price"));
    const TControlRef list = Field(QStringLiteral("List for Price"));
    EXPECT_EQ(price->PartnerId(), list->Id());
    EXPECT_EQ(list->PartnerId(), price->Id());
    EXPECT_EQ(list->Flags(), EConComboList);
    EXPECT_EQ(list->ConType(), EConTypeList);

    Card(QStringLiteral("B"))->SetControlVal(price->Id(), Val::Str(QStringLiteral("12")));
    ShowField(QStringLiteral("Price"));
    Answer({true, true});
    Click(editor->fDeleteBut);
    EXPECT_EQ(Shown().mid(1), QStringList({"20 5 1", "5 List for Price"}));
    EXPECT_EQ(FieldNames(), QStringList({"Name", "Cost", "Count", "Note"}));
    EXPECT_EQ(editor->Mode(), EModeNone);
}

// Unticking "Combo text?" asks first; No ticks it again, Yes and Modify break the pair into
// two independent fields, each keeping its values.
TEST_F(ControlEditWrite, BreakingAComboPair)
{
    const TControlRef price = AddField(*gStack, *Item(), QStringLiteral("Price"), EConTypeText, EConComboText);
    const TControlRef list =
        AddField(*gStack, *Item(), QStringLiteral("List for Price"), EConTypeList, EConComboList);
    price->SetPartnerId(list->Id());
    list->SetPartnerId(price->Id());
    Card(QStringLiteral("A"))->SetControlVal(list->Id(), Val::Str(QStringLiteral("small\r\nlarge")));
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Price"));
    QCheckBox* comboText = editor->FlagBox(QStringLiteral("fComboText"));
    Answer({false});
    Tick(comboText, false);
    EXPECT_TRUE(comboText->isChecked());
    Answer({true});
    Tick(comboText, false);
    Click(editor->fModifyBut);

    EXPECT_EQ(Shown(), QStringList({"7", "7"}));
    EXPECT_EQ(price->Flags(), EConInCardView);
    EXPECT_EQ(list->Flags(), EConInCardView);
    EXPECT_EQ(price->PartnerId(), UndefLong);
    EXPECT_EQ(list->PartnerId(), UndefLong);
    EXPECT_EQ(Values(list).first(), QStringLiteral("small\r\nlarge"));
}

// The columns of a card list chosen in the field picker show as their names.
TEST_F(ControlEditWrite, ListColumnsFromTheFieldPicker)
{
    const TControlSetRef order = NewBackground(*gStack, QStringLiteral("Order"));
    AddField(*gStack, *order, QStringLiteral("Ref"), EConTypeText);
    AddField(*gStack, *order, QStringLiteral("Total"), EConTypeReal);
    CVexilControlEdit* editor = Editor();
    // The card list never lists the background being edited.
    QStringList listed;
    for (int i = 0; i < editor->fSelBackgroundCombo->count(); ++i)
        listed += editor->fSelBackgroundCombo->itemText(i);
    EXPECT_EQ(listed, QStringList{QStringLiteral("Order")});

    Click(editor->fNewBut);
    Pick(editor->fTypeCombo, QStringLiteral("List"));
    Type(editor->fName, QStringLiteral("Orders"));
    Tick(editor->FlagBox(QStringLiteral("fCardList")), true);
    Pick(editor->fSelBackgroundCombo, QStringLiteral("Order"));
    EXPECT_EQ(editor->fSelControlCombo->itemText(0), QStringLiteral("(None)"));
    EXPECT_EQ(editor->fSelControlCombo->itemText(2), QStringLiteral("Total  (Real)"));
    Click(editor->fSelectControlBut);
    CVexilControlSelect* picker = CVexilControlSelect::Instance();
    ASSERT_TRUE(picker->isVisible());
    ClickLine(picker->fControlBox, QStringLiteral("Total"));
    Click(picker->fDoneBut);
    EXPECT_EQ(editor->fListCol->text(), QStringLiteral("Total"));
    Click(editor->fCreateBut);

    const TControlRef orders = Field(QStringLiteral("Orders"));
    ASSERT_TRUE(orders && orders->ListCol());
    EXPECT_EQ(orders->ListCol()->Count(), 1);
    EXPECT_EQ(orders->SelBackgroundId(), order->Id());
    EXPECT_EQ(orders->RefControlId(), UndefLong);
    EXPECT_EQ(Shown(), QStringList());
}

// A List field saved with "List for a combo box?" but without a text field has no partner:
// it is shown, unticked and written without any fault.
TEST_F(ControlEditWrite, ComboListWithoutPartner)
{
    CVexilControlEdit* editor = Editor();
    Click(editor->fNewBut);
    Pick(editor->fTypeCombo, QStringLiteral("List"));
    Type(editor->fName, QStringLiteral("Choices"));
    Tick(editor->FlagBox(QStringLiteral("fComboList")), true);
    Click(editor->fCreateBut);
    const TControlRef choices = Field(QStringLiteral("Choices"));
    EXPECT_EQ(choices->Flags(), EConInCardView | EConComboList);
    EXPECT_EQ(choices->PartnerId(), UndefLong);

    ShowField(QStringLiteral("Choices"));
    EXPECT_EQ(editor->fComboInputControlCombo->currentIndex(), -1);
    Answer({true});
    Tick(editor->FlagBox(QStringLiteral("fComboList")), false);
    Click(editor->fModifyBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("7")});
    EXPECT_EQ(choices->Flags(), EConInCardView);
    EXPECT_EQ(choices->PartnerId(), UndefLong);
}

TEST_F(ControlEditWrite, DeleteAsksAboutTheSetValues)
{
    const int32_t count = Field(QStringLiteral("Count"))->Id();
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Count"));
    Answer({false});
    Click(editor->fDeleteBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("20 5 3")});
    EXPECT_TRUE(Field(QStringLiteral("Count")));

    Answer({true});
    Click(editor->fDeleteBut);
    EXPECT_EQ(Shown(), QStringList({"20 5 3", "20 5 3"}));
    EXPECT_FALSE(Field(QStringLiteral("Count")));
    EXPECT_FALSE(Card(QStringLiteral("A"))->ControlValDef(count));

    // Without values and partner nothing is asked.
    ShowField(QStringLiteral("Note"));
    Click(editor->fDeleteBut);
    EXPECT_EQ(FieldNames(), QStringList({"Name", "Cost"}));
    EXPECT_EQ(Shown().size(), 2);
}

// A field that a sort key or a card list uses is refused before any question; the stack
// stays as it was saved.
TEST_F(ControlEditWrite, DeleteRefusesFieldsInUse)
{
    const TControlSetRef item = Item();
    auto byCost = std::make_shared<CVexilSortKey>();
    byCost->Contruct(gStack->IdGen().NextId(), QStringLiteral("ByCost"), item->Id());
    byCost->AddKeyPart(EConTypeReal, Field(QStringLiteral("Cost"))->Id(), 0, 10);
    gStack->AddSortKey(byCost);
    const TControlSetRef order = NewBackground(*gStack, QStringLiteral("Order"));
    const TControlRef ref = AddField(*gStack, *order, QStringLiteral("Ref"), EConTypeText);
    const TControlRef items = AddField(*gStack, *order, QStringLiteral("Items"), EConTypeList, EConCardList);
    items->SetSelBackgroundId(item->Id());
    items->SetRefControlId(ref->Id());
    items->SetSelControlId(Field(QStringLiteral("Note"))->Id());
    items->SetListCol(CVexilDialogLib::ControlNameListToArray(QStringLiteral("Count"), *item));
    gStack->SetControlDynFlags();

    CVexilControlEdit* editor = Editor();
    const QByteArray before = Saved();
    const struct
    {
        const char* Field;
        const char* Shown;
    } cases[] = {
        {"Cost", "23 Cost it is a part of the sort key 'ByCost'."},
        {"Count", "23 Count it is used by the card list of the field 'Items'."},
        {"Note", "23 Note it is used by the card list of the field 'Items'."},
    };
    for (const auto& c : cases)
    {
        const qsizetype shown = Shown().size();
        ShowField(QLatin1String(c.Field));
        Answer({false});
        Click(editor->fDeleteBut);
        EXPECT_EQ(Shown().mid(shown), QStringList{QLatin1String(c.Shown)});
        EXPECT_TRUE(Field(QLatin1String(c.Field)));
    }
    EXPECT_EQ(Saved(), before);
}

// "Use value as card name?" on an existing Text field: cards with a value take it as their
// name, the others give theirs as the value; clearing the flag changes no card.
TEST_F(ControlEditWrite, CardNamesFromAnExistingField)
{
    const TControlRef note = Field(QStringLiteral("Note"));
    Card(QStringLiteral("A"))->SetControlVal(note->Id(), Val::Str(QStringLiteral("Apple")));
    Card(QStringLiteral("B"))->SetControlVal(note->Id(), Val::Str(QStringLiteral("Bread")));
    gStack->RenameCard(*Card(QStringLiteral("E")), QString());
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Name"));
    Tick(editor->FlagBox(QStringLiteral("fCardName")), false);
    Click(editor->fModifyBut);
    EXPECT_EQ(CardNames(), QStringList({"A", "B", "C", "D", ""}));

    ShowField(QStringLiteral("Note"));
    Tick(editor->FlagBox(QStringLiteral("fCardName")), true);
    Click(editor->fModifyBut);
    EXPECT_EQ(CardNames(), QStringList({"Apple", "Bread", "C", "D", ""}));
    EXPECT_EQ(Values(note), QStringList({"Apple", "Bread", "C", "D", "-"}));
    // The old card-name field keeps what it held, E's empty name too.
    EXPECT_EQ(Values(Field(QStringLiteral("Name"))), QStringList({"A", "B", "C", "D", "-"}));
    EXPECT_EQ(Shown(), QStringList());
}

// A new card-name field names every card after its initial value.
TEST_F(ControlEditWrite, NewCardNameField)
{
    Field(QStringLiteral("Name"))->SetFlag(EConCardName, false);
    CVexilControlEdit* editor = Editor();
    Click(editor->fNewTextBut);
    Type(editor->fName, QStringLiteral("Title"));
    Type(editor->fDefaultVal, QStringLiteral("Untitled"));
    Tick(editor->FlagBox(QStringLiteral("fCardName")), true);
    Click(editor->fCreateBut);
    EXPECT_EQ(CardNames(), QStringList(5, QStringLiteral("Untitled")));
    EXPECT_EQ(Values(Field(QStringLiteral("Title"))), QStringList(5, QStringLiteral("Untitled")));
    EXPECT_EQ(Shown(), QStringList());
}

// A second card-name field is refused, by Create and by Modify, and the first one's values
// and the card names stay.
TEST_F(ControlEditWrite, SecondCardNameFieldRefused)
{
    CVexilControlEdit* editor = Editor();
    const QByteArray before = Saved();
    Click(editor->fNewTextBut);
    Type(editor->fName, QStringLiteral("Title"));
    Type(editor->fDefaultVal, QStringLiteral("Untitled"));
    Tick(editor->FlagBox(QStringLiteral("fCardName")), true);
    Answer({false});
    Click(editor->fCreateBut);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("23 Title the card names come from the field 'Name'.")});
    EXPECT_EQ(editor->Mode(), EModeNew);

    ShowField(QStringLiteral("Note"));
    Tick(editor->FlagBox(QStringLiteral("fCardName")), true);
    Answer({false});
    Click(editor->fModifyBut);
    EXPECT_EQ(Shown().size(), 2);
    EXPECT_EQ(Values(Field(QStringLiteral("Name"))), kCards);
    EXPECT_EQ(CardNames(), kCards);
    EXPECT_EQ(Saved(), before);
}

// Of two cards "Start" the one picked is the destination, through later changes; once it is
// deleted the field shows no destination. Each of the two is picked once, so that a look-up
// by the name finds the wrong one in one of the two.
TEST_F(ControlEditWrite, DestinationCardIsTheCardPicked)
{
    const TControlRef name = Field(QStringLiteral("Name"));
    TCardRef first;
    TCardRef second;
    for (TCardRef* card : {&first, &second})
    {
        *card = NewCard(*gStack, QStringLiteral("Start"), Item());
        (*card)->SetControlVal(name->Id(), Val::Str(QStringLiteral("Start")));
    }
    CVexilControlEdit* editor = Editor();
    Click(editor->fNewCommandBut);
    Type(editor->fName, QStringLiteral("Go"));
    Tick(editor->FlagBox(QStringLiteral("fStdCmd")), true);
    Pick(editor->fStdCmdCombo, QStringLiteral("Go to Card by Name"));
    Click(editor->fSelectDestCardBut);
    CVexilCardSelect* picker = CVexilCardSelect::Instance();
    ASSERT_TRUE(picker->isVisible());
    const QList<QTreeWidgetItem*> starts = picker->fCardBox->findItems(QStringLiteral("Start"), Qt::MatchExactly);
    ASSERT_EQ(starts.size(), 2);
    const QPoint at = picker->fCardBox->visualItemRect(starts[1]).center();
    QTest::mouseClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(editor->fDestCardName->text(), QStringLiteral("Start"));
    Click(editor->fCreateBut);

    const TControlRef go = Field(QStringLiteral("Go"));
    ASSERT_TRUE(go);
    EXPECT_EQ(go->StdCmd(), EStdCmdGoToCard);
    EXPECT_EQ(go->DestCardId(), second->Id());

    // The other "Start" picked later; a change of the label alone keeps it.
    ShowField(QStringLiteral("Go"));
    EXPECT_EQ(editor->fDestCardName->text(), QStringLiteral("Start"));
    Click(editor->fSelectDestCardBut);
    const QPoint firstAt = picker->fCardBox->visualItemRect(starts[0]).center();
    QTest::mouseClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, firstAt);
    QTest::mouseDClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, firstAt);
    Click(editor->fModifyBut);
    EXPECT_EQ(go->DestCardId(), first->Id());
    ShowField(QStringLiteral("Go"));
    Type(editor->fLabel, QStringLiteral("Go on"));
    Click(editor->fModifyBut);
    EXPECT_EQ(go->Label(), QStringLiteral("Go on"));
    EXPECT_EQ(go->DestCardId(), first->Id());

    ShowField(QStringLiteral("Go"));
    Click(editor->fSelectDestCardBut);
    QTest::mouseClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(picker->fCardBox->viewport(), Qt::LeftButton, {}, at);
    Click(editor->fModifyBut);
    EXPECT_EQ(go->DestCardId(), second->Id());

    gStackView->DeleteCard(second, nullptr);
    ShowField(QStringLiteral("Go"));
    EXPECT_EQ(editor->fDestCardName->text(), QString());
    EXPECT_EQ(Shown(), QStringList());
}

TEST_F(ControlEditWrite, Moves)
{
    CVexilControlEdit* editor = Editor();
    const struct
    {
        const char* Before;  // the line picked, none for no line
        QStringList Order;
    } cases[] = {
        {nullptr, {"Name", "Cost", "Count", "Note"}},
        {"(At the end)", {"Name", "Cost", "Note", "Count"}},
        {"Name", {"Count", "Name", "Cost", "Note"}},
        {"Count", {"Count", "Name", "Cost", "Note"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Before ? c.Before : "no line");
        ShowField(QStringLiteral("Count"));
        EXPECT_EQ(editor->fBeforeCombo->currentIndex(), -1);
        if (c.Before)
            Pick(editor->fBeforeCombo, QLatin1String(c.Before));
        Click(editor->fModifyBut);
        EXPECT_EQ(FieldNames(), c.Order);
        EXPECT_EQ(Values(Field(QStringLiteral("Count"))), QStringList({"1", "2", "3", "-", "-"}));
    }
    EXPECT_EQ(Shown(), QStringList());
}

// Input that cannot be written is refused before anything of it is: the field keeps its
// label, which Modify writes first.
TEST_F(ControlEditWrite, RefusedInputWritesNothing)
{
    AddField(*gStack, *Item(), QStringLiteral("Go"), EConTypeCommand);
    AddField(*gStack, *Item(), QStringLiteral("Items"), EConTypeList);
    const TControlSetRef order = NewBackground(*gStack, QStringLiteral("Order"));
    AddField(*gStack, *order, QStringLiteral("Ref"), EConTypeText);
    CVexilControlEdit* editor = Editor();
    const QByteArray before = Saved();
    const struct
    {
        const char* What;
        const char* Field;
        std::function<void()> Enter;
        const char* Shown;
    } cases[] = {
        {"go to card without card", "Go",
         [editor] {
             Tick(editor->FlagBox(QStringLiteral("fStdCmd")), true);
             Pick(editor->fStdCmdCombo, QStringLiteral("Go to Card by Name"));
         },
         "8 Destination card"},
        {"card list without background", "Items",
         [editor] { Tick(editor->FlagBox(QStringLiteral("fCardList")), true); }, "8 Background of cards to list"},
        {"a column that is no field", "Items",
         [editor] {
             Tick(editor->FlagBox(QStringLiteral("fCardList")), true);
             Pick(editor->fSelBackgroundCombo, QStringLiteral("Order"));
             Type(editor->fListCol, QStringLiteral("Ref, Total"));
         },
         "22 Total Order"},
        {"a field giving the selecting value but none to check", "Items",
         [editor] {
             Tick(editor->FlagBox(QStringLiteral("fCardList")), true);
             Pick(editor->fSelBackgroundCombo, QStringLiteral("Order"));
             Pick(editor->fRefControlCombo, QStringLiteral("Note"));
         },
         "8 Field to check for selecting value"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        const qsizetype shown = Shown().size();
        ShowField(QLatin1String(c.Field));
        Type(editor->fLabel, QStringLiteral("Changed"));
        c.Enter();
        Answer({false});
        Click(editor->fModifyBut);
        EXPECT_EQ(Shown().mid(shown), QStringList{QLatin1String(c.Shown)});
        EXPECT_EQ(editor->Mode(), EModeModify);
        EXPECT_EQ(Field(QLatin1String(c.Field))->Label(), QLatin1String(c.Field));
    }
    EXPECT_EQ(Saved(), before);
}

// Once the last background is gone there is nothing to define a field in.
TEST_F(ControlEditWrite, WithoutBackgroundNothingIsNew)
{
    CVexilControlEdit* editor = Editor();
    for (QPushButton* button : {editor->fNewBut, editor->fNewTextBut, editor->fNewIntegerBut, editor->fNewCommandBut})
        EXPECT_TRUE(button->isEnabled());
    gStackView->DeleteBackground(Item(), false);
    CVexilWinMan::NotifyAll(EChgStructure);
    EXPECT_EQ(editor->Background(), nullptr);
    for (QPushButton* button : {editor->fNewBut, editor->fNewTextBut, editor->fNewIntegerBut, editor->fNewCommandBut,
                                editor->fCreateBut})
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
}

// Delete stays enabled until the broadcast reaches the window; a second click in that gap
// finds the field gone and does nothing.
TEST_F(ControlEditWrite, SecondDeleteInTheBroadcastGap)
{
    CVexilControlEdit* editor = Editor();
    ShowField(QStringLiteral("Note"));
    bool clickedAgain = false;
    QTimer::singleShot(0, editor, [&] {
        clickedAgain = editor->fDeleteBut->isEnabled();
        Click(editor->fDeleteBut);
    });
    Click(editor->fDeleteBut);
    EXPECT_TRUE(clickedAgain);
    EXPECT_EQ(FieldNames(), QStringList({"Name", "Cost", "Count"}));
    EXPECT_EQ(Shown(), QStringList());
    EXPECT_EQ(editor->Mode(), EModeNone);
}
}  // namespace
