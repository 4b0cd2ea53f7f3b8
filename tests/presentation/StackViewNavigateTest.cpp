// Opening a stack file as the current stack, showing cards, the history and moving in stack order.

#include "StackViewFixture.h"

namespace
{
struct TNavCase
{
    const char* Name;
    QStringList Steps;
    QStringList Shown;  // the cards whose "openCard" ran, in order
    bool LastFound;     // what the last step reported
    QString Title;
    QString History;
};

void PrintTo(const TNavCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class NavigateTable : public StackViewFixture, public ::testing::WithParamInterface<TNavCase>
{
};

// The stack opens on Adams, whose "openCard" ran already; the history then is "[Adams]".
const TNavCase kNavCases[] = {
    {"FirstNextNext", {"first", "next", "next"}, {"Baker", "Clark"}, true, "Clark - 3 of 12",
     "Adams Baker [Clark]"},
    {"FirstOnTheFirstCardShowsNothingAgain", {"first"}, {}, true, "Adams - 1 of 12", "[Adams]"},
    {"LastThenPrevious", {"last", "prev"}, {"Rome", "Quito"}, true, "Quito - 11 of 12", "Adams Rome [Quito]"},
    {"PreviousAtTheFirstCardFindsNothing", {"prev"}, {}, false, "Adams - 1 of 12", "[Adams]"},
    {"NextAtTheLastCardFindsNothing", {"last", "next"}, {"Rome"}, false, "Rome - 12 of 12", "Adams [Rome]"},
    {"IntoTheOtherBackground", {"go Hill", "next"}, {"Hill", "Oslo"}, true, "Oslo - 9 of 12", "Adams Hill [Oslo]"},
    // History A, B, C: Back shows B, Back shows A; going to D drops B and C.
    {"BackTwiceThenD", {"go Baker", "go Clark", "back", "back", "go Davis"}, {"Baker", "Clark", "Baker", "Adams", "Davis"},
     true, "Davis - 4 of 12", "Adams [Davis]"},
    // A shown after two steps back: going to C (the last entry) pushes nothing; Forward shows B.
    {"CPushedNothing", {"go Baker", "go Clark", "back", "back", "go Clark"},
     {"Baker", "Clark", "Baker", "Adams", "Clark"}, true, "Clark - 3 of 12", "[Adams] Baker Clark"},
    {"CPushedNothingThenForward", {"go Baker", "go Clark", "back", "back", "go Clark", "forward"},
     {"Baker", "Clark", "Baker", "Adams", "Clark", "Baker"}, true, "Baker - 2 of 12", "Adams [Baker] Clark"},
    // B shown, going to B appends it again; Back then steps over the current B.
    {"BB", {"go Baker", "go Clark", "back", "go Baker"}, {"Baker", "Clark", "Baker"}, true, "Baker - 2 of 12",
     "Adams Baker [Baker]"},
    {"BBThenBack", {"go Baker", "go Clark", "back", "go Baker", "back"}, {"Baker", "Clark", "Baker", "Adams"}, true,
     "Adams - 1 of 12", "[Adams] Baker Baker"},
    // The eleventh card drops the oldest.
    {"ElevenCards", {"next", "next", "next", "next", "next", "next", "next", "next", "next", "next"},
     {"Baker", "Clark", "Davis", "Evans", "Fox", "Grant", "Hill", "Oslo", "Paris", "Quito"}, true, "Quito - 11 of 12",
     "Baker Clark Davis Evans Fox Grant Hill Oslo Paris [Quito]"},
    {"ElevenCardsBackToTheOldestKept",
     {"next", "next", "next", "next", "next", "next", "next", "next", "next", "next", "back", "back", "back", "back",
      "back", "back", "back", "back", "back", "back"},
     {"Baker", "Clark", "Davis", "Evans", "Fox", "Grant", "Hill", "Oslo", "Paris", "Quito", "Paris", "Oslo", "Hill",
      "Grant", "Fox", "Evans", "Davis", "Clark", "Baker"},
     false, "Baker - 2 of 12", "[Baker] Clark Davis Evans Fox Grant Hill Oslo Paris Quito"},
    {"OneCardBack", {"back"}, {}, false, "Adams - 1 of 12", "[Adams]"},
    {"OneCardForward", {"forward"}, {}, false, "Adams - 1 of 12", "[Adams]"},
    {"ForwardAtTheNewestFindsNothing", {"go Baker", "forward"}, {"Baker"}, false, "Baker - 2 of 12", "Adams [Baker]"},
};

TEST_P(NavigateTable, ShowsTheCardsAndKeepsTheHistory)
{
    const TNavCase& c = GetParam();
    QStringList expected;
    for (const QString& name : c.Shown)
        expected += QStringLiteral("openCard ") + name;
    bool found = false;
    const QStringList answers = Answers(int(expected.size()), [&] {
        for (const QString& step : c.Steps)
            found = UserStep(step);
    });
    EXPECT_EQ(answers, expected);
    EXPECT_EQ(found, c.LastFound);
    EXPECT_EQ(Title(), c.Title);
    EXPECT_EQ(HistoryText(), c.History);
    EXPECT_EQ(CurName(), c.Title.section(QStringLiteral(" - "), 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Navigate, NavigateTable, ::testing::ValuesIn(kNavCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });
}  // namespace

TEST_F(StackViewFixture, OpeningAStackShowsItsFirstCardAndSendsOpenCardOnce)
{
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Title(), QStringLiteral("Adams - 1 of 12"));
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(), QStringList{QStringLiteral("openCard Adams")});
    EXPECT_EQ(HistoryText(), QStringLiteral("[Adams]"));
    EXPECT_EQ(CVexilStackViewLink::Current(), gStackView.get());
    EXPECT_TRUE(View().CardViewOpen());
    // The values of the first card are in its widgets.
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));
    auto* ageBox = qobject_cast<CVexilTextBox*>(age->BaseControl());
    ASSERT_NE(ageBox, nullptr);
    EXPECT_TRUE(ageBox->isVisible());
    EXPECT_EQ(ageBox->text(), QStringLiteral("20"));
}

TEST_F(StackViewFixture, NavigationLaysOutEachBackgroundAndShowsTheCardsValues)
{
    TCardRef card;
    Answers(1, [&] { View().OrderNext(card); });
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));
    EXPECT_EQ(qobject_cast<CVexilTextBox*>(age->BaseControl())->text(), QStringLiteral("21"));

    Answers(1, [&] { View().GoToCard(Card(QStringLiteral("Quito"))); });
    EXPECT_EQ(View().CardView()->CurSet(), Background(QStringLiteral("Place")));
    const TControlRef name = Field(QStringLiteral("Place"), QStringLiteral("Name"));
    auto* nameBox = qobject_cast<CVexilTextBox*>(name->BaseControl());
    ASSERT_NE(nameBox, nullptr);
    EXPECT_EQ(nameBox->text(), QStringLiteral("Quito"));
}

TEST_F(StackViewFixture, GoingToNoCardOrOneNoLongerInTheStackChangesNothing)
{
    const TCardRef clark = Card(QStringLiteral("Clark"));
    View().DeleteCard(clark, nullptr);
    const TStackRef other = BuildStack();
    TCardRef foreign;
    other->GetCard(QStringLiteral("Baker"), foreign);

    for (const TCardRef& card : {TCardRef(), clark, foreign})
    {
        Answers(0, [&] { View().GoToCard(card); });
        EXPECT_EQ(CurName(), QStringLiteral("Adams"));
        EXPECT_EQ(HistoryText(), QStringLiteral("[Adams]"));
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(StackViewFixture, NextAndPreviousWithoutCurrentCardFindNothing)
{
    View().CloseCardView(false);
    EXPECT_EQ(View().CurCard(), nullptr);
    EXPECT_FALSE(Window()->isVisible());
    TCardRef card = Card(QStringLiteral("Fox"));
    Answers(0, [&] {
        EXPECT_FALSE(View().OrderNext(card));
        EXPECT_EQ(card, nullptr);
        EXPECT_FALSE(View().OrderPrev(card));
        EXPECT_EQ(card, nullptr);
    });
    EXPECT_EQ(View().CurCard(), nullptr);
}

TEST_F(StackViewFixture, ASecondOpenCardViewShowsNothingAgain)
{
    TCardRef card;
    Answers(1, [&] { View().OrderLast(card); });
    Answers(0, [&] { View().OpenCardView(); });
    EXPECT_EQ(CurName(), QStringLiteral("Rome"));
}

TEST_F(StackViewFixture, ClosingTheCardViewHidesTheWindowAndOpeningItAgainShowsTheFirstCard)
{
    TCardRef card;
    Answers(1, [&] { View().OrderLast(card); });
    CVexilGenForm* window = Window();
    View().CloseCardView(false);
    EXPECT_EQ(Window(), window);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(View().CardViewOpen());
    EXPECT_EQ(Answers(1, [&] { View().OpenCardView(); }), QStringList{QStringLiteral("openCard Adams")});
    EXPECT_EQ(Window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams Rome [Adams]"));
}

TEST_F(StackViewFixture, TheTitleOfACardWithoutNameBeginsWithTheSeparator)
{
    TCardRef card;
    Answers(2, [&] { View().OrderNext(card); View().OrderNext(card); });
    EXPECT_EQ(Title(), QStringLiteral("Clark - 3 of 12"));
    gStack->RenameCard(*card, QString());
    View().RefreshViews(true, false);
    // A card without name begins with the separator.
    EXPECT_EQ(Title(), QStringLiteral(" - 3 of 12"));
}
