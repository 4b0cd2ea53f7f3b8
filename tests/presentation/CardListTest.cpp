// The card list window as the user meets it: its columns and lines for one and for several
// backgrounds, the background filter, a click that shows a card, the Up and Down buttons, the
// close box, a list kept up to date by the change broadcast, lists of more columns than it
// holds, and the window's placement.

#include "CardWindowUser.h"
#include "RecordingWindows.h"
#include "StackViewFixture.h"
#include "ValueBuild.h"
#include "foundation/VexilRect.h"
#include "model/VexilSortKey.h"
#include "model/VexilWinManLink.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"

#include <QHeaderView>
#include <QMdiArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

using namespace CardWindowUser;

namespace
{
// The seam recorder with a real card list on its window.
class CardListWindows : public RecordingWindows
{
public:
    std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef& aStack) override
    {
        return CVexilCardListView::Make(aStack);
    }
    void ShowForm(const QString& aClassName) override
    {
        RecordingWindows::ShowForm(aClassName);
        if (aClassName == KCardListForm)
            CVexilCardListForm::Instance()->show();
    }
    void UnloadCardList() override { CVexilFormRegistry::Unload(CVexilCardListForm::KClassName); }
};

int Pixels(float aTwips)
{
    return CVexilCtl::TwipsToPixels(aTwips);
}
}  // namespace

class CardListTest : public StackViewFixture
{
protected:
    // The stack of the fixture with Age, Weight (titled "Kg", 5 characters wide) and Member of
    // "Person" and Country of "Place" in the card list.
    void SetUp() override
    {
        const TStackRef stack = BuildStack();
        TControlSetRef person = stack->Background(0);
        TControlSetRef place;
        ASSERT_TRUE(stack->GetBackgroundByName(QStringLiteral("Place"), place));
        for (const auto& [background, name] : {std::pair{person, "Age"}, {person, "Weight"}, {person, "Member"},
                                               {place, "Country"}})
        {
            TControlRef field;
            ASSERT_TRUE(background->GetControlByName(QLatin1String(name), field));
            field->SetFlag(EConInCardList, true);
        }
        TControlRef weight;
        person->GetControlByName(QStringLiteral("Weight"), weight);
        weight->SetListColTitle(QStringLiteral("Kg"));
        weight->SetListVisChar(5);
        TCardRef adams;
        stack->GetCard(QStringLiteral("Adams"), adams);
        adams->SetControlVal(weight->Id(), Val::Real(70.5));
        const QStringList countries = {"Norway", "France", "Ecuador", "Italy"};
        for (int i = 0; i < kPlaces.size(); ++i)
        {
            TCardRef city;
            stack->GetCard(kPlaces[i], city);
            TControlRef country;
            place->GetControlByName(QStringLiteral("Country"), country);
            city->SetControlVal(country->Id(), Val::Str(countries[i]));
        }
        Open(stack, QStringLiteral("People.xml"), 1);
    }

    static CVexilCardListForm* ListWindow()
    {
        return static_cast<CVexilCardListForm*>(CVexilFormRegistry::Loaded(CVexilCardListForm::KClassName));
    }
    static CVexilCardListView& ListView() { return static_cast<CVexilCardListView&>(*View().CardListView()); }
    static QTreeWidget* Box() { return ListWindow()->fCardBox; }

    // ---- what the user sees

    static QStringList Titles()
    {
        QStringList titles;
        for (int i = 0; i < Box()->columnCount(); ++i)
            titles += Box()->headerItem()->text(i);
        return titles;
    }
    // The width of each column but the last, which may narrow beside a scroll bar.
    static std::vector<int> Widths()
    {
        std::vector<int> widths;
        for (int i = 0; i + 1 < Box()->columnCount(); ++i)
            widths.push_back(Box()->columnWidth(i));
        return widths;
    }
    // A line as its columns joined by Tab, without the empty columns at its end.
    static QString LineText(const QTreeWidgetItem* aItem)
    {
        QStringList columns;
        for (int i = 0; i < Box()->columnCount(); ++i)
            columns += aItem->text(i);
        while (!columns.isEmpty() && columns.back().isEmpty())
            columns.removeLast();
        return columns.join(QLatin1Char('\t'));
    }
    static QStringList Lines()
    {
        QStringList lines;
        for (int i = 0; i < Box()->topLevelItemCount(); ++i)
            lines += LineText(Box()->topLevelItem(i));
        return lines;
    }
    // The first column of each line.
    static QStringList Names()
    {
        QStringList names;
        for (int i = 0; i < Box()->topLevelItemCount(); ++i)
            names += Box()->topLevelItem(i)->text(0);
        return names;
    }
    static QString SelectedName()
    {
        const QList<QTreeWidgetItem*> selected = Box()->selectedItems();
        return selected.size() == 1 ? selected.first()->text(0) : QStringLiteral("-");
    }

    // ---- what the user does

    // A click on the line whose first column is aName.
    static void ClickLine(const QString& aName)
    {
        const QList<QTreeWidgetItem*> found = Box()->findItems(aName, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1) << aName.toStdString();
        Box()->scrollToItem(found.first());
        // On the card name: a line of many columns is wider than the list.
        const QRect line = Box()->visualItemRect(found.first());
        QTest::mouseClick(Box()->viewport(), Qt::LeftButton, {}, QPoint(line.left() + 10, line.center().y()));
    }
    static void PickBackground(const QString& aLine)
    {
        const int index = ListWindow()->fBackgroundCombo->findText(aLine);
        ASSERT_GE(index, 0) << aLine.toStdString();
        Pick(ListWindow()->fBackgroundCombo, index);
    }
    static void ShowListWindow() { Activate(ListWindow()); }

    // The list closed and opened again with that rectangle stored; where its window is now.
    static std::shared_ptr<CVexilRect> ReopenAt(float aX, float aY, float aWidth, float aHeight)
    {
        View().CloseCardList();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto rect = std::make_shared<CVexilRect>();
        rect->Construct(aX, aY, aWidth, aHeight);
        View().Rec()->SetCardListRect(rect);
        View().OpenCardList();
        return CVexilLibUi::GetCtlRect(*ListWindow());
    }
    static QString RectText(float aX, float aY, float aWidth, float aHeight)
    {
        return QStringLiteral("%1 %2 %3 %4").arg(aX).arg(aY).arg(aWidth).arg(aHeight);
    }
    static QString RectText(const CVexilRect& aRect)
    {
        return RectText(aRect.X(), aRect.Y(), aRect.Width(), aRect.Height());
    }

    CardListWindows iWindows;
};

// ---- columns and lines

TEST_F(CardListTest, AllOfTwoBackgroundsShowsNumberedFieldColumnsOfTheWidestBackground)
{
    ShowListWindow();
    EXPECT_EQ(ListWindow()->Caption(), QStringLiteral("Card List"));
    EXPECT_EQ(ListWindow()->fBackgroundCombo->currentText(), QStringLiteral("(All)"));
    // "Person" has eight fields, "Place" two; each column is 25 average characters wide.
    EXPECT_EQ(Titles(), QStringList({"Card", "Field 0", "Field 1", "Field 2", "Field 3", "Field 4", "Field 5",
                                     "Field 6", "Field 7"}));
    EXPECT_EQ(Widths(), std::vector<int>(8, Pixels(25 * CVexilLibUi::AvgCharWidth())));
    // Each line holds its own background's list fields in order.
    EXPECT_EQ(Lines(), QStringList({"Adams\t20\t70.5\tF", "Baker\t21\t0.0\tF", "Clark\t22\t0.0\tF",
                                    "Davis\t23\t0.0\tF", "Evans\t24\t0.0\tF", "Fox\t25\t0.0\tF",
                                    "Grant\t26\t0.0\tF", "Hill\t27\t0.0\tF", "Oslo\tNorway", "Paris\tFrance",
                                    "Quito\tEcuador", "Rome\tItaly"}));
    EXPECT_EQ(SelectedName(), QStringLiteral("Adams"));
    EXPECT_FALSE(ListView().Background());
    EXPECT_TRUE(ListView().Mixed());
}

TEST_F(CardListTest, OneBackgroundShowsItsOwnTitlesAndWidths)
{
    ShowListWindow();
    Answers(0, [] { PickBackground(QStringLiteral("Person")); });
    const float avg = CVexilLibUi::AvgCharWidth();
    const float border = CVexilLibUi::ListBorderWidth();
    // A field without a list title shows its name; the width is its list characters.
    EXPECT_EQ(Titles(), QStringList({"Card", "Age", "Kg", "Member"}));
    EXPECT_EQ(Widths(), std::vector<int>({Pixels(10 * avg + border), Pixels(20 * avg + border),
                                          Pixels(5 * avg + border)}));
    EXPECT_EQ(Lines().size(), kPeople.size());
    EXPECT_EQ(Lines().front(), QStringLiteral("Adams\t20\t70.5\tF"));

    Answers(0, [] { PickBackground(QStringLiteral("Place")); });
    EXPECT_EQ(Titles(), QStringList({"Card", "Country"}));
    EXPECT_EQ(Lines(), QStringList({"Oslo\tNorway", "Paris\tFrance", "Quito\tEcuador", "Rome\tItaly"}));
}

TEST_F(CardListTest, AllOfTheOneBackgroundLeftIsThatBackgroundsList)
{
    ShowListWindow();
    Answers(0, [] { View().DeleteBackground(Background(QStringLiteral("Place")), false); });
    ListWindow()->ChangeNotify(EChgStructure, {}, {});
    EXPECT_EQ(ListWindow()->fBackgroundCombo->count(), 2);
    EXPECT_EQ(ListWindow()->fBackgroundCombo->currentText(), QStringLiteral("(All)"));
    EXPECT_EQ(Titles(), QStringList({"Card", "Age", "Kg", "Member"}));
    EXPECT_EQ(Names(), kPeople);
    EXPECT_FALSE(ListView().Mixed());
}

TEST_F(CardListTest, ABackgroundWithoutCardNamesHasNoCardColumn)
{
    Background(QStringLiteral("Person"))->SetFlag(ECseCardNameInList, false);
    View().RefreshViews(false, true);
    EXPECT_EQ(Titles().front(), QStringLiteral("Field 0"));
    EXPECT_EQ(Lines().front(), QStringLiteral("20\t70.5\tF"));
    EXPECT_EQ(Lines().back(), QStringLiteral("Italy"));
}

// ---- the filter

TEST_F(CardListTest, TheSameBackgroundAgainKeepsTheListWhileAllIsAlwaysFilledAgain)
{
    ShowListWindow();
    Answers(0, [] { PickBackground(QStringLiteral("Person")); });
    EXPECT_EQ(SelectedName(), QStringLiteral("Adams"));
    // The arrow keys select without showing the card; a new filling selects the first line.
    QTest::keyClick(Box(), Qt::Key_Down);
    QTest::keyClick(Box(), Qt::Key_Down);
    ASSERT_EQ(SelectedName(), QStringLiteral("Clark"));
    Answers(0, [] { PickBackground(QStringLiteral("Person")); });
    EXPECT_EQ(SelectedName(), QStringLiteral("Clark"));
    EXPECT_EQ(Names(), kPeople);

    Answers(0, [] { PickBackground(QStringLiteral("(All)")); });
    EXPECT_EQ(SelectedName(), QStringLiteral("Adams"));
    EXPECT_EQ(Names().size(), 12);
    QTest::keyClick(Box(), Qt::Key_Down);
    ASSERT_EQ(SelectedName(), QStringLiteral("Baker"));
    Answers(0, [] { PickBackground(QStringLiteral("(All)")); });
    EXPECT_EQ(SelectedName(), QStringLiteral("Adams"));
}

TEST_F(CardListTest, ARenamedBackgroundStaysChosenOnlyWhileItsNameIsALine)
{
    ShowListWindow();
    Answers(0, [] { PickBackground(QStringLiteral("Person")); });
    Background(QStringLiteral("Place"))->SetName(QStringLiteral("City"));
    ListWindow()->ChangeNotify(EChgStructure, {}, {});
    EXPECT_EQ(ListWindow()->fBackgroundCombo->currentText(), QStringLiteral("Person"));
    EXPECT_EQ(ListWindow()->fBackgroundCombo->itemText(2), QStringLiteral("City"));
    EXPECT_EQ(Names(), kPeople);

    Background(QStringLiteral("Person"))->SetName(QStringLiteral("Human"));
    ListWindow()->ChangeNotify(EChgStructure, {}, {});
    EXPECT_EQ(ListWindow()->fBackgroundCombo->currentText(), QStringLiteral("(All)"));
    EXPECT_EQ(Names().size(), 12);
}

// ---- clicks

TEST_F(CardListTest, AClickShowsTheCardAndFocusesTheCardWindow)
{
    ShowListWindow();
    EXPECT_EQ(Answers(1, [] { ClickLine(QStringLiteral("Paris")); }), QStringList{QStringLiteral("openCard Paris")});
    EXPECT_EQ(CurName(), QStringLiteral("Paris"));
    EXPECT_EQ(Title(), QStringLiteral("Paris - 10 of 12"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(Window()));
    EXPECT_EQ(QApplication::activeWindow(), Window());
    EXPECT_EQ(SelectedName(), QStringLiteral("Paris"));
}

TEST_F(CardListTest, AnEditInTheCardWindowRewritesTheCardsLine)
{
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));
    Answers(0, [] { Activate(Window()); });
    // Entering Age leaves the field that had the focus.
    const bool leaves = View().CurObj() && View().CurObj() != age->BaseControl();
    Answers(leaves ? 1 : 0, [&] { Type(age, QStringLiteral("41")); });
    Answers(1, [&] { Leave(age); });
    EXPECT_EQ(Lines().front(), QStringLiteral("Adams\t41\t70.5\tF"));
    // Leaving the stack leaves the field that has the focus now.
    Answers(View().CurObj() ? 1 : 0, [] { CloseStack(); });
}

// ---- a list kept up to date

struct TNotifyCase
{
    const char* Name;
    int32_t Event;
    bool Refills;
};

void PrintTo(const TNotifyCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class CardListNotify : public CardListTest, public ::testing::WithParamInterface<TNotifyCase>
{
};

// The cards of "Place" are deleted elsewhere, as the background editor does, before the
// broadcast.
TEST_P(CardListNotify, TheBroadcastRefillsTheListWhenCardsOrTheirTextsMayHaveChanged)
{
    gStack->DeleteBackground(Background(QStringLiteral("Place")), true);
    ListWindow()->ChangeNotify(GetParam().Event, {}, {});
    EXPECT_EQ(Names().size(), GetParam().Refills ? 8 : 12);
}

const TNotifyCase kNotifyCases[] = {
    {"Cards", EChgCards, true},
    {"ValueType", EChgValueType, true},
    {"CardOrder", EChgCardOrder, true},
    {"Structure", EChgStructure, true},
    {"SortKeys", EChgSortKeys, false},
    {"DeletingCard", EChgDeletingCard, false},
};

INSTANTIATE_TEST_SUITE_P(Events, CardListNotify, ::testing::ValuesIn(kNotifyCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

TEST_F(CardListTest, AChangedValueTypeShowsTheNewTexts)
{
    Field(QStringLiteral("Person"), QStringLiteral("Weight"))->SetDigits(2);
    ListWindow()->ChangeNotify(EChgValueType, {}, {});
    EXPECT_EQ(Lines().front(), QStringLiteral("Adams\t20\t70.50\tF"));
}

TEST_F(CardListTest, AClickOnACardNoLongerInTheStackShowsNothingAndRefillsTheList)
{
    ShowListWindow();
    TCardRef rome = Card(QStringLiteral("Rome"));
    gStack->DeleteCard(rome);
    ASSERT_EQ(Names().size(), 12);
    Answers(0, [] { ClickLine(QStringLiteral("Rome")); });
    EXPECT_EQ(CurName(), QStringLiteral("Adams"));
    EXPECT_EQ(Names().size(), 11);
    EXPECT_FALSE(Names().contains(QStringLiteral("Rome")));
}

// ---- the close box

TEST_F(CardListTest, TheCloseBoxLeavesTheStackAndBackToStackKeepsTheWindow)
{
    ShowListWindow();
    // The leaving of the stack as the program does it: the save prompt, then the views go.
    iWindows.iOnClose = [] {
        if (CVexilPrompts::Current()->SaveChanges() == 2)
            return false;
        gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        return true;
    };
    ScriptedPrompts::Instance().ExpectSaveChanges(2);
    EXPECT_FALSE(UserClose(ListWindow()));
    ASSERT_NE(ListWindow(), nullptr);
    EXPECT_TRUE(ListWindow()->isVisible());
    EXPECT_TRUE(gStackView);
    EXPECT_EQ(Names().size(), 12);

    // The program's own close does not ask.
    ListWindow()->close();
    EXPECT_EQ(iWindows.iCalls.count(QStringLiteral("CloseCurrentStack")), 1);
    ListWindow()->show();

    // Discard: the stack closes and unloads the window inside its own close event.
    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    QPointer<CVexilCardListForm> form = ListWindow();
    EXPECT_TRUE(UserClose(form));
    EXPECT_FALSE(gStackView);
    // The window is gone from the program at once, and deleted once its event is over.
    EXPECT_EQ(ListWindow(), nullptr);
    ASSERT_TRUE(form);
    EXPECT_FALSE(form->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form);
}

// ---- more columns than a list holds

struct TWideCase
{
    const char* Name;
    bool SecondBackground;
    QString LastTitle;
};

void PrintTo(const TWideCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class CardListWide : public CardListTest, public ::testing::WithParamInterface<TWideCase>
{
protected:
    // 120 list fields "F0" ... "F119" holding their number, on three cards.
    void SetUp() override
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Wide"));
        const TControlSetRef wide = stack->Background(0);
        std::vector<TControlRef> fields;
        for (int i = 0; i < 120; ++i)
        {
            fields.push_back(NewField(*stack, *wide, QStringLiteral("F%1").arg(i), EConTypeInteger));
            fields.back()->SetFlags(EConInCardList);
        }
        if (GetParam().SecondBackground)
            NewCard(*stack, QStringLiteral("Other"), NewBackground(*stack, QStringLiteral("Narrow")));
        for (const char* name : {"W1", "W2", "W3"})
        {
            const TCardRef card = NewCard(*stack, QLatin1String(name), wide);
            for (int i = 0; i < 120; ++i)
                card->SetControlVal(fields[size_t(i)]->Id(), Val::Int(i));
        }
        Open(stack, QStringLiteral("Wide.xml"), 0);
    }
};

TEST_P(CardListWide, TheFirst101ColumnsAreShown)
{
    ASSERT_EQ(Titles().size(), CVexilListBox::KMaxCols);
    EXPECT_EQ(Titles().front(), QStringLiteral("Card"));
    EXPECT_EQ(Titles().back(), GetParam().LastTitle);
    const QList<QTreeWidgetItem*> found = Box()->findItems(QStringLiteral("W2"), Qt::MatchExactly, 0);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first()->text(CVexilListBox::KMaxCols - 1), QStringLiteral("99"));
    // A line rewritten keeps to the columns too.
    const TCardRef w2 = Card(QStringLiteral("W2"));
    ListView().UpdateCard(w2);
    int32_t index = 0;
    ASSERT_TRUE(ListView().CardBox().GetObjIndex(w2.get(), index));
    EXPECT_EQ(ListView().CardBox().Line(index).count(QLatin1Char('\t')), CVexilListBox::KMaxCols - 1);
    EXPECT_EQ(found.first()->text(CVexilListBox::KMaxCols - 1), QStringLiteral("99"));
}

const TWideCase kWideCases[] = {
    {"OneBackground", false, "F99"},
    {"TwoBackgrounds", true, "Field 99"},
};

INSTANTIATE_TEST_SUITE_P(Lists, CardListWide, ::testing::ValuesIn(kWideCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

// ---- Up and Down

struct TMoveCase
{
    const char* Name;
    QString Card;
    bool Up;
    QStringList Order;
};

void PrintTo(const TMoveCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class CardListMove : public CardListTest, public ::testing::WithParamInterface<TMoveCase>
{
protected:
    // "A" keeps no order, "B" keeps its cards sorted by name: a1, b1, b2, a2.
    void SetUp() override
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Blocks"));
        const TControlSetRef a = stack->Background(0);
        a->SetName(QStringLiteral("A"));
        const TControlRef aName = AddField(*stack, *a, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlSetRef b = NewBackground(*stack, QStringLiteral("B"));
        const TControlRef bName = AddField(*stack, *b, QStringLiteral("Name"), EConTypeText, EConCardName);
        AddCard(*stack, a, aName, QStringLiteral("a1"));
        AddCard(*stack, b, bName, QStringLiteral("b1"));
        AddCard(*stack, b, bName, QStringLiteral("b2"));
        const TCardRef a2 = AddCard(*stack, a, aName, QStringLiteral("a2"));
        auto sortKey = std::make_shared<CVexilSortKey>();
        sortKey->Contruct(stack->IdGen().NextId(), QStringLiteral("ByName"), b->Id());
        sortKey->AddKeyPart(EConTypeText, bName->Id(), 0, 10);
        stack->AddSortKey(sortKey);
        stack->SetControlDynFlags();
        b->SetFlag(ECseKeepCardsSorted, true);
        stack->NewIndexForSortKey(sortKey);
        // Sorting put the block last.
        stack->MoveCard(*a2, nullptr);
        Open(stack, QStringLiteral("Blocks.xml"), 0);
    }

    static QStringList StackOrder()
    {
        QStringList names;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstCard(card, cursor); more; more = gStack->GetNextCard(card, cursor))
            names += card->Name();
        return names;
    }
};

TEST_P(CardListMove, TheButtonMovesTheCardOrItsBlockOverAWholeBlock)
{
    const TMoveCase& move = GetParam();
    ShowListWindow();
    ASSERT_EQ(Names(), QStringList({"a1", "b1", "b2", "a2"}));
    Answers(0, [&] { ClickLine(move.Card); });
    ShowListWindow();
    Answers(0, [&] { QTest::mouseClick(move.Up ? ListWindow()->fUpBut : ListWindow()->fDownBut, Qt::LeftButton); });
    EXPECT_EQ(StackOrder(), move.Order);
    EXPECT_EQ(Names(), move.Order);
    EXPECT_EQ(SelectedName(), move.Card);
    EXPECT_EQ(CurName(), move.Card);
    // After a move the list has the focus; a move that cannot be made does nothing else.
    EXPECT_EQ(Box()->hasFocus(), move.Order != QStringList({"a1", "b1", "b2", "a2"}));
}

const TMoveCase kMoveCases[] = {
    {"UnsortedUpJumpsOverASortedBlock", "a2", true, {"a1", "a2", "b1", "b2"}},
    {"UnsortedDownJumpsOverASortedBlock", "a1", false, {"b1", "b2", "a1", "a2"}},
    {"SortedBlockMovesUpAsOne", "b2", true, {"b1", "b2", "a1", "a2"}},
    {"SortedBlockMovesDownAsOne", "b1", false, {"a1", "a2", "b1", "b2"}},
    {"TopUpChangesNothing", "a1", true, {"a1", "b1", "b2", "a2"}},
    {"BottomDownChangesNothing", "a2", false, {"a1", "b1", "b2", "a2"}},
};

INSTANTIATE_TEST_SUITE_P(Moves, CardListMove, ::testing::ValuesIn(kMoveCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

// ---- placement

struct TPlaceCase
{
    const char* Name;
    float X, Y, Width, Height;
    bool Default;
    float KeptWidth = 0;  // the width kept when it is reduced
};

void PrintTo(const TPlaceCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class CardListPlacement : public ::testing::TestWithParam<TPlaceCase>
{
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// An area of 1280 x 1024 pixels, and the same to its right.
TEST_P(CardListPlacement, AStoredRectangleIsUsedOnlyWhenItsTopCanBeReached)
{
    const TPlaceCase& place = GetParam();
    const std::vector<QRectF> areas = {QRectF(0, 0, 19200, 15360), QRectF(19200, 0, 19200, 15360)};
    CVexilRect stored;
    stored.Construct(place.X, place.Y, place.Width, place.Height);
    CVexilRect defaults;
    defaults.Construct(180, 160, 7056, 5472);
    const auto rect = CVexilCardListForm::Placement(&stored, defaults, areas);
    const CVexilRect& expected = place.Default ? defaults : stored;
    EXPECT_EQ(rect->X(), expected.X());
    EXPECT_EQ(rect->Y(), expected.Y());
    EXPECT_EQ(rect->Width(), place.KeptWidth > 0 ? place.KeptWidth : expected.Width());
    EXPECT_EQ(rect->Height(), place.Default ? expected.Height() : std::min(place.Height, 15360.0F));
}

const TPlaceCase kPlaceCases[] = {
    {"Inside", 1000, 800, 7000, 5000, false},
    {"OnTheSecondArea", 20000, 800, 7000, 5000, false},
    {"HugeIsReduced", 0, 0, 1e30F, 1e30F, false, 38400},
    {"NotANumber", kNaN, 800, 7000, 5000, true},
    {"InfiniteSize", 1000, 800, kInf, 5000, true},
    {"ASliverLeftOfTheArea", -100000, 0, 100001, 5000, true},
    {"TopAboveTheArea", 1000, -300, 7000, 5000, true},
    {"TopBelowTheArea", 1000, 15360 - 200, 7000, 5000, true},
    {"FortyPixelsAtTheRight", 38400 - 600, 100, 7000, 5000, false},
    {"LessThanFortyPixelsAtTheRight", 38400 - 585, 100, 7000, 5000, true},
    {"NoSize", 1000, 800, 0, 0, true},
};

INSTANTIATE_TEST_SUITE_P(Rects, CardListPlacement, ::testing::ValuesIn(kPlaceCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

TEST(CardListPlacementNone, NoStoredRectangleGivesTheDefault)
{
    CVexilRect defaults;
    defaults.Construct(180, 160, 7056, 5472);
    const auto rect = CVexilCardListForm::Placement(nullptr, defaults, {QRectF(0, 0, 19200, 15360)});
    EXPECT_EQ(rect->Width(), 7056);
}

TEST_F(CardListTest, TheWindowLoadsAtItsStoredRectangleOrTheDefault)
{
    const auto placed = ReopenAt(600, 450, 6000, 4500);
    EXPECT_EQ(placed->X(), 600);
    EXPECT_EQ(placed->Y(), 450);
    EXPECT_NEAR(placed->Width(), 6000, 15 * 8);

    const auto broken = ReopenAt(kNaN, 450, 6000, 4500);
    EXPECT_EQ(broken->X(), 180);
    EXPECT_EQ(broken->Y(), 160);
    EXPECT_NEAR(broken->Width(), 7056, 15 * 8);
    // The list fills the window below the filter.
    EXPECT_GT(Box()->geometry().bottom(), ListWindow()->height() - 8);
}

TEST_F(CardListTest, InTheDocumentAreaTheWindowStaysWithinItAndItsFramesCloseBoxAsksToLeave)
{
    QWidget main;
    main.resize(800, 600);
    auto* layout = new QVBoxLayout(&main);
    auto* area = new QMdiArea;
    layout->addWidget(area);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    CVexilForm::SetMdiArea(area);
    const float width = CVexilCtl::PixelsToTwips(area->viewport()->width());
    const float height = CVexilCtl::PixelsToTwips(area->viewport()->height());

    const auto huge = ReopenAt(0, 0, 1e9F, 1e9F);
    EXPECT_NE(ListWindow()->SubWindow(), nullptr);
    EXPECT_EQ(RectText(*huge), RectText(0, 0, width, height));
    // Less than 40 pixels of its top inside the area.
    const auto sliver = ReopenAt(width - 585, 100, 6000, 4500);
    EXPECT_EQ(RectText(*sliver), RectText(180, 160, 7056, 5472));

    EXPECT_FALSE(ListWindow()->SubWindow()->close());
    EXPECT_EQ(iWindows.iCalls.count(QStringLiteral("CloseCurrentStack")), 1);
    EXPECT_TRUE(ListWindow()->isVisible());
    CloseStack();
    CVexilForm::SetMdiArea(nullptr);
}
