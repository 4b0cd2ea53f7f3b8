#include "CardViewFixture.h"

#include "platform/VexilImageList.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"

#include <QAction>
#include <QTest>

namespace
{
using CardPoolsTest = CardViewFixture;

QString Text(const TControlRef& aField)
{
    return static_cast<QLineEdit*>(aField->BaseControl())->text();
}

TEST_F(CardPoolsTest, AUsedUpPoolIsReportedByNameAndEndsTheLayoutThere)
{
    struct TCase
    {
        int32_t Type;
        int32_t Flags;
        int Count;       // fields of the kind, the last one too many
        int32_t Pool;
        QString Missing;
    };
    const TCase cases[] = {
        {EConTypeText, 0, 21, EBasTextBox, QStringLiteral("fGenTextBox20")},
        {EConTypeBoolean, 0, 11, EBasCheckBox, QStringLiteral("fGenCheckBox10")},
        {EConTypeCommand, 0, 102, EBasTextBox, QStringLiteral("fields of a layout (101)")},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Missing.toStdString());
        const TControlSetRef bg = NewBackground(*iStack, QStringLiteral("Bg"));
        std::vector<TControlRef> fields;
        for (int i = 0; i < c.Count; ++i)
            fields.push_back(AddField({QStringLiteral("F%1").arg(i), c.Type, c.Flags}, bg));
        const TControlRef later = AddField({QStringLiteral("Later"), EConTypeInteger}, bg);
        const TCardRef card = AddCard(QStringLiteral("C"), bg);

        EXPECT_EQ(CaughtError([&] { iView->AssignControlSet(card, bg); }, QStringLiteral("ShowCurCard")),
                  ERunSubscript);
        EXPECT_TRUE(CVexilError::GetErrInfo().RunDescription.endsWith(c.Missing));
        EXPECT_EQ(iView->CurSet(), bg);
        if (c.Type != EConTypeCommand)
        {
            EXPECT_EQ(iView->PoolCount(c.Pool), c.Count);
            EXPECT_EQ(fields[size_t(c.Count - 2)]->BaseControl() != nullptr, true);
        }
        EXPECT_EQ(iView->NumControls(), std::min(c.Count, CVexilCardView::KMaxControls));
        EXPECT_EQ(fields.back()->BaseControl(), nullptr);
        EXPECT_EQ(later->BaseControl(), nullptr);
        EXPECT_FALSE(iForm->fGenTextBox[0]->Visible() && c.Type != EConTypeText);
        // The fields placed before show their values without any question.
        iView->ShowValues(card);
        iView->ResetCurSet();
    }
}

TEST_F(CardPoolsTest, AStoppedLayoutLeavesNoLinkToAnotherFieldsWidget)
{
    std::vector<TControlRef> fields;
    for (int i = 0; i < 20; ++i)
        fields.push_back(AddField({QStringLiteral("T%1").arg(i), EConTypeText}));
    for (int i = 0; i < 20; ++i)
        iCard->SetControlVal(fields[size_t(i)]->Id(), CVexilValue::StrToVal(QStringLiteral("v%1").arg(i)));
    Show();
    EXPECT_EQ(fields[19]->BaseControl(), iForm->fGenTextBox[19]);

    // A new first field pushes the last one out of the pool.
    TControlRef first = NewField(*iStack, *iBg, QStringLiteral("New"), EConTypeText);
    iBg->DeleteControl(first->Id());
    iBg->AddControl(first, fields[0]->Id());
    iView->ResetCurSet();
    EXPECT_EQ(RaisedError([&] { iView->AssignControlSet(iCard, iBg); }), ERunSubscript);
    iView->ShowValues(iCard);

    EXPECT_EQ(fields[19]->BaseControl(), nullptr);
    EXPECT_EQ(fields[18]->BaseControl(), iForm->fGenTextBox[19]);
    EXPECT_EQ(Text(fields[18]), QStringLiteral("v18"));
    // Reading an unplaced field gives an empty text, and writing it does nothing.
    EXPECT_EQ(iView->GetBaseControlVal(*fields[19]).iType, EValStr);
    iView->SetBaseControlVal(*fields[19], CVexilValue::StrToVal(QStringLiteral("x")), *iCard);
    EXPECT_EQ(Text(fields[18]), QStringLiteral("v18"));
}

TEST_F(CardPoolsTest, EachLayoutTakesEveryPoolFromNumberZero)
{
    const TControlRef text = AddField({QStringLiteral("T"), EConTypeText});
    const TControlRef check = AddField({QStringLiteral("B"), EConTypeBoolean});
    Show();
    const TControlSetRef other = NewBackground(*iStack, QStringLiteral("Other"));
    other->SetFlag(ECseShowCardName, false);
    const TControlRef check2 = AddField({QStringLiteral("B2"), EConTypeBoolean}, other);
    const TControlRef text2 = AddField({QStringLiteral("T2"), EConTypeText}, other);
    Show(AddCard(QStringLiteral("O"), other));
    EXPECT_EQ(Widget(check2).Name(), QStringLiteral("fGenCheckBox0"));
    EXPECT_EQ(Widget(text2).Name(), QStringLiteral("fGenTextBox0"));
    EXPECT_EQ(Label(check2).Name(), QStringLiteral("fGenLabel0"));
    EXPECT_EQ(Label(text2).Name(), QStringLiteral("fGenLabel1"));
    EXPECT_EQ(iView->PoolCount(EBasLabel), 2);
    EXPECT_EQ(iView->PoolCount(EBasTextBox), 1);
    // The fields of the background no longer shown keep their links but are not looked up.
    EXPECT_EQ(text->BaseControl(), iForm->fGenTextBox[0]);
    EXPECT_EQ(iView->VexilControl(iForm->fGenTextBox[0]), text2);
}

TEST_F(CardPoolsTest, WidgetsLeadBackToTheirFields)
{
    const TControlRef text = AddField({QStringLiteral("T"), EConTypeText});
    const TControlRef combo = AddComboPair(QStringLiteral("C"));
    Show();
    iForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(iForm));

    // The combo box shared by a pair gives the text field.
    EXPECT_EQ(iView->VexilControl(combo->BaseControl()), combo);
    EXPECT_TRUE(iView->IsVexilControl(text->BaseControl()));
    EXPECT_FALSE(iView->IsVexilControl(text->BaseLabel()));
    {
        IgnoredAssert asked(QStringLiteral("VexilControl found fGenLabel0"));
        EXPECT_EQ(iView->VexilControl(text->BaseLabel()), nullptr);
    }
    static_cast<QWidget*>(text->BaseControl())->setFocus();
    EXPECT_EQ(iView->FocusControl(), text);
    static_cast<QComboBox*>(combo->BaseControl())->lineEdit()->setFocus();
    EXPECT_EQ(iView->FocusControl(), combo);
    iForm->setFocus();
    EXPECT_EQ(iView->FocusControl(), nullptr);
    iForm->hide();
}

TEST_F(CardPoolsTest, MenuCommandsTakeTheFirstTenItems)
{
    CVexilCmdMenu& menu = CVexilFrameParts::CmdMenu();
    for (const int numCmds : {3, 0, 11})
    {
        SCOPED_TRACE(numCmds);
        const TControlSetRef bg = NewBackground(*iStack, QStringLiteral("Bg"));
        std::vector<TControlRef> cmds;
        for (int i = 0; i < numCmds; ++i)
        {
            // A command shown as a button only stays out of the menu.
            if (i < 3)
                AddField({QStringLiteral("Button%1").arg(i), EConTypeCommand, EConAsButton}, bg);
            cmds.push_back(AddField({QStringLiteral("Cmd%1").arg(i), EConTypeCommand, EConInMenu}, bg));
        }
        Show(AddCard(QStringLiteral("C"), bg));

        EXPECT_EQ(menu.MenuEnabled(), numCmds != 0);
        EXPECT_EQ(menu.Item(QStringLiteral("fNoCmd"))->isVisible(), numCmds == 0);
        for (int i = 0; i < CVexilCmdMenu::KNumFuncs; ++i)
        {
            QAction* item = menu.Item(QStringLiteral("fGenFunc%1").arg(i));
            EXPECT_EQ(item->isVisible(), i < numCmds) << i;
            if (i < numCmds)
            {
                EXPECT_EQ(item->text(), QStringLiteral("Cmd%1").arg(i));
                EXPECT_EQ(cmds[size_t(i)]->BaseFunc(), item);
            }
        }
        for (size_t i = CVexilCmdMenu::KNumFuncs; i < cmds.size(); ++i)
            EXPECT_EQ(cmds[i]->BaseFunc(), nullptr);
        EXPECT_EQ(iView->NumMenuCmds(), numCmds);
    }
}

TEST_F(CardPoolsTest, ACommandLeavingTheMenuLosesItsItem)
{
    const TControlRef first = AddField({QStringLiteral("First"), EConTypeCommand, EConInMenu});
    const TControlRef second = AddField({QStringLiteral("Second"), EConTypeCommand, EConInMenu});
    Show();
    QAction* item1 = CVexilFrameParts::CmdMenu().Item(QStringLiteral("fGenFunc1"));
    EXPECT_EQ(second->BaseFunc(), item1);

    first->SetFlag(EConInMenu, false);
    iView->ResetCurSet();
    Show();
    EXPECT_EQ(first->BaseFunc(), nullptr);
    EXPECT_EQ(second->BaseFunc(), CVexilFrameParts::CmdMenu().Item(QStringLiteral("fGenFunc0")));
    EXPECT_FALSE(item1->isVisible());
}

TEST_F(CardPoolsTest, PictureButtonsShowTheImageOfTheirCommandOrElseTheirLabel)
{
    const TControlRef last =
        AddField({QStringLiteral("Last"), EConTypeCommand, EConAsButton | EConPictButton | EConStdCmd, 1, UndefInt});
    last->SetStdCmd(EStdCmdLastCard);
    const TControlRef goTo =
        AddField({QStringLiteral("Go to"), EConTypeCommand, EConAsButton | EConPictButton | EConStdCmd, 1, UndefInt});
    goTo->SetStdCmd(EStdCmdGoToCard);
    const TControlRef after = AddField({QStringLiteral("After"), EConTypeText});
    {
        IgnoredAssert asked(QStringLiteral("AssignBaseControl pict stdCmd"));
        Show();
    }
    const auto* lastButton = static_cast<CVexilCommandButton*>(last->BaseControl());
    EXPECT_EQ(lastButton->Picture(), CVexilFrameParts::ToolbarIcons().Picture(QStringLiteral("LastCard")));
    EXPECT_EQ(lastButton->text(), QString());
    const auto* goButton = static_cast<CVexilCommandButton*>(goTo->BaseControl());
    EXPECT_TRUE(goButton->Picture().isNull());
    EXPECT_EQ(goButton->text(), QStringLiteral("Go to"));
    EXPECT_NE(after->BaseControl(), nullptr);
}

}  // namespace
