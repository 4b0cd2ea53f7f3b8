#include "PickerFixture.h"

#include "editors/VexilCardSelect.h"

#include <QComboBox>

namespace
{
class CardSelectTest : public PickerFixture
{
protected:
    static void SetUpTestSuite()
    {
        PickerFixture::SetUpTestSuite();
        CVexilCardSelect::Register();
    }

    static CVexilCardSelect* Picker()
    {
        return static_cast<CVexilCardSelect*>(CVexilFormRegistry::Loaded(CVexilCardSelect::KClassName));
    }
    // The picker as the main window's Card > Select... opens it.
    static CVexilCardSelect& OpenPicker(IVexilCardSelectCaller* aCaller, const TControlSetRef& aBackground, int16_t aCase)
    {
        CVexilCardSelect* picker = CVexilCardSelect::Instance();
        CVexilWinMan::ShowForm(*picker);
        picker->SelectCard(aCaller, aBackground, aCase);
        return *picker;
    }
    static QStringList Answers()
    {
        QStringList answers;
        for (const auto& [card, aCase] : PickerCaller::iCards)
            answers += QStringLiteral("%1 %2").arg(card ? card->Name() : QStringLiteral("-")).arg(aCase);
        return answers;
    }
    // The card window's button "Pick" runs the standard command "Select Card".
    static void ClickPick()
    {
        CVexilGenForm* window = CVexilGenForm::Instance();
        for (CVexilCommandButton* button : window->fGenButton)
            if (button->isVisible() && button->text() == QStringLiteral("Pick"))
            {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no button Pick";
    }
};

TEST_F(CardSelectTest, AnswersOneCallerAgainAndAgainWithItsCase)
{
    PickerCaller* caller = PickerCaller::Instance();
    CVexilWinMan::ShowForm(*caller);
    CVexilCardSelect& picker = OpenPicker(caller, nullptr, 7);

    EXPECT_EQ(picker.Caption(), QStringLiteral("Select Card"));
    EXPECT_EQ(picker.fBackgroundCombo->currentText(), QStringLiteral("Person"));
    EXPECT_EQ(picker.fBackgroundCombo->count(), 2);
    EXPECT_FALSE(picker.fBackgroundCombo->Locked());
    EXPECT_EQ(Lines(*picker.fCardBox), kCards);
    EXPECT_TRUE(SelectedLines(*picker.fCardBox).isEmpty());
    EXPECT_FALSE(picker.fSelectBut->isEnabled());

    ClickLine(*picker.fCardBox, QStringLiteral("Baker"));
    ASSERT_TRUE(picker.fSelectBut->isEnabled());
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    DoubleClickLine(*picker.fCardBox, QStringLiteral("Davis"));

    EXPECT_EQ(Answers(), (QStringList{"Baker 7", "Davis 7"}));
    EXPECT_TRUE(picker.isVisible());
    EXPECT_TRUE(picker.fSelectBut->isEnabled());
}

TEST_F(CardSelectTest, CardWindowGoesToTheCardAlsoWhenTheStandardCommandReopensThePicker)
{
    CVexilCardSelect* picker = &OpenPicker(CVexilGenForm::Instance(), nullptr, 0);
    DoubleClickLine(*picker->fCardBox, QStringLiteral("Clark"));
    EXPECT_EQ(gStackView->CurCard(), Card(QStringLiteral("Clark")));

    // Closed by its close box, opened again by the standard command alone: same caller.
    picker->close();
    FlushDeletes();
    ASSERT_EQ(Picker(), nullptr);
    ClickPick();
    picker = Picker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_FALSE(picker->fSelectBut->isEnabled()) << "the list shows no card chosen";
    DoubleClickLine(*picker->fCardBox, QStringLiteral("Evans"));
    EXPECT_EQ(gStackView->CurCard(), Card(QStringLiteral("Evans")));
}

TEST_F(CardSelectTest, SelectIsDisabledAfterTheStackIsClosedAndReopened)
{
    CVexilCardSelect* picker = &OpenPicker(CVexilGenForm::Instance(), nullptr, 0);
    ClickLine(*picker->fCardBox, QStringLiteral("Baker"));
    ASSERT_TRUE(picker->fSelectBut->isEnabled());

    CloseStack();
    EXPECT_EQ(Picker(), nullptr) << "closing the stack unloads the picker";
    Open(BuildStack(), QStringLiteral("Again.xml"));
    const TCardRef shown = gStackView->CurCard();

    ClickPick();
    picker = Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(picker->fSelectBut->isEnabled());
    ClickLine(*picker->fCardBox, QStringLiteral("Davis"));
    EXPECT_FALSE(picker->fSelectBut->isEnabled()) << "no caller any more";
    DoubleClickLine(*picker->fCardBox, QStringLiteral("Davis"));
    EXPECT_EQ(gStackView->CurCard(), shown);
}

TEST_F(CardSelectTest, ACallerThatClosedIsNeverCalled)
{
    PickerCaller* caller = PickerCaller::Instance();
    CVexilWinMan::ShowForm(*caller);
    CVexilCardSelect& picker = OpenPicker(caller, nullptr, 0);
    ClickLine(*picker.fCardBox, QStringLiteral("Baker"));
    ASSERT_TRUE(picker.fSelectBut->isEnabled());

    // Unloaded, not yet destroyed: closed all the same.
    CVexilFormRegistry::Unload(PickerCaller::KClassName);
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    DoubleClickLine(*picker.fCardBox, QStringLiteral("Clark"));
    EXPECT_TRUE(PickerCaller::iCards.empty());
    EXPECT_FALSE(picker.fSelectBut->isEnabled());
}

TEST_F(CardSelectTest, ADeletedCardIsNeverHandedOver)
{
    PickerCaller* caller = PickerCaller::Instance();
    CVexilWinMan::ShowForm(*caller);
    CVexilCardSelect& picker = OpenPicker(caller, nullptr, 0);

    // Deleted without a word to the picker: its line is still there.
    ClickLine(*picker.fCardBox, QStringLiteral("Clark"));
    gStackView->DeleteCard(Card(QStringLiteral("Clark")), nullptr);
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    DoubleClickLine(*picker.fCardBox, QStringLiteral("Clark"));
    EXPECT_TRUE(PickerCaller::iCards.empty());
    EXPECT_FALSE(picker.fSelectBut->isEnabled());

    // Deleted after the broadcast that announces it.
    ClickLine(*picker.fCardBox, QStringLiteral("Davis"));
    const TCardRef davis = Card(QStringLiteral("Davis"));
    CVexilWinMan::NotifyAll(EChgDeletingCard, davis);
    EXPECT_FALSE(picker.fSelectBut->isEnabled());
    gStackView->DeleteCard(davis, nullptr);
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    EXPECT_TRUE(PickerCaller::iCards.empty());

    ClickLine(*picker.fCardBox, QStringLiteral("Evans"));
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    EXPECT_EQ(Answers(), QStringList{"Evans 0"});
}

TEST_F(CardSelectTest, AnotherBackgroundForgetsTheCard)
{
    PickerCaller* caller = PickerCaller::Instance();
    CVexilWinMan::ShowForm(*caller);
    CVexilCardSelect& picker = OpenPicker(caller, nullptr, 0);
    ClickLine(*picker.fCardBox, QStringLiteral("Baker"));

    QTest::keyClick(picker.fBackgroundCombo, Qt::Key_Down);
    EXPECT_EQ(picker.fBackgroundCombo->currentText(), QStringLiteral("Empty"));
    EXPECT_TRUE(Lines(*picker.fCardBox).isEmpty());
    EXPECT_FALSE(picker.fSelectBut->isEnabled());

    QTest::keyClick(picker.fBackgroundCombo, Qt::Key_Up);
    EXPECT_EQ(Lines(*picker.fCardBox), kCards);
    EXPECT_TRUE(SelectedLines(*picker.fCardBox).isEmpty());
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);
    EXPECT_TRUE(PickerCaller::iCards.empty());
}

TEST_F(CardSelectTest, AGivenBackgroundIsChosenAndCannotBeChanged)
{
    PickerCaller* caller = PickerCaller::Instance();
    CVexilWinMan::ShowForm(*caller);
    CVexilCardSelect& picker = OpenPicker(caller, nullptr, 0);
    ClickLine(*picker.fCardBox, QStringLiteral("Baker"));

    // Limited to the background of the card chosen: the card stays chosen and shown.
    picker.SelectCard(caller, Background(QStringLiteral("Person")), 3);
    EXPECT_TRUE(picker.fBackgroundCombo->Locked());
    EXPECT_EQ(SelectedLines(*picker.fCardBox), QStringList{"Baker"});
    QTest::keyClick(picker.fBackgroundCombo, Qt::Key_Down);
    EXPECT_EQ(picker.fBackgroundCombo->currentText(), QStringLiteral("Person"));
    QTest::mouseClick(picker.fSelectBut, Qt::LeftButton);

    picker.SelectCard(caller, Background(QStringLiteral("Empty")), 4);
    EXPECT_TRUE(Lines(*picker.fCardBox).isEmpty());
    EXPECT_FALSE(picker.fSelectBut->isEnabled());

    picker.SelectCard(caller, nullptr, 5);
    EXPECT_FALSE(picker.fBackgroundCombo->Locked());
    EXPECT_EQ(Answers(), QStringList{"Baker 3"});
}
}  // namespace
