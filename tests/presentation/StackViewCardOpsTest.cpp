// Adding, deleting and emptying cards and backgrounds through the stack view: the current
// card, the history, the card window and the card list stay consistent.

#include "StackViewFixture.h"

#include "foundation/VexilMsg.h"
#include "presentation/VexilLibUi.h"

#include <QPointer>

#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackViewWindows.h"

namespace
{
// A card list that records what the stack view asks of it: "fill", "fill force", "update <card>".
class RecordingCardList : public IVexilCardListView
{
public:
    RecordingCardList() { iBox.Construct(ELisSingle, &iView); }
    CVexilListBox& CardBox() override { return iBox; }
    CVexilForm* Form() const override { return nullptr; }
    void FillAndShowCardList(bool aForce) override
    {
        iCalls += aForce ? QStringLiteral("fill force") : QStringLiteral("fill");
    }
    void UpdateCard(const TCardRef& aCard) override { iCalls += QStringLiteral("update ") + aCard->Name(); }

    CVexilListView iView{nullptr};
    CVexilListBox iBox;
    QStringList iCalls;
};

class RecordingWindows : public IVexilStackViewWindows
{
public:
    std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef& /*aStack*/) override
    {
        iList = std::make_shared<RecordingCardList>();
        return iList;
    }
    void ShowForm(const QString& aClassName) override { iShown += aClassName; }

    std::shared_ptr<RecordingCardList> iList;
    QStringList iShown;
};

class CardOpsFixture : public StackViewFixture
{
protected:
    void SetUp() override
    {
        CVexilStackViewWindows::Install(&iWindows);
        StackViewFixture::SetUp();
    }
    void TearDown() override
    {
        StackViewFixture::TearDown();
        CVexilStackViewWindows::Install(nullptr);
    }

    // What the card list was asked since the last look.
    QStringList ListCalls()
    {
        const QStringList calls = iWindows.iList ? iWindows.iList->iCalls : QStringList();
        if (iWindows.iList)
            iWindows.iList->iCalls.clear();
        return calls;
    }

    TCardRef NewCard(const QString& aName, const QString& aBackground = QStringLiteral("Person"))
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aName, Background(aBackground));
        return card;
    }

    RecordingWindows iWindows;
};

TEST_F(CardOpsFixture, OpeningTheStackOpensTheCardListBeforeTheCardWindow)
{
    EXPECT_TRUE(View().CardListOpen());
    EXPECT_EQ(iWindows.iShown, QStringList{IVexilStackViewWindows::KCardListForm});
    EXPECT_EQ(ListCalls(), QStringList{QStringLiteral("fill")});
}

struct TDeleteCase
{
    const char* Name;
    QStringList Steps;   // before the deletion
    int StepAnswers;     // "openCard" answers of the steps
    QString Delete;      // the card deleted
    QStringList Shown;   // cards whose "openCard" ran while deleting
    QString History;
    QString Title;
};

void PrintTo(const TDeleteCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class DeleteCardTable : public CardOpsFixture, public ::testing::WithParamInterface<TDeleteCase>
{
};

// The stack opens on Adams with the history "[Adams]"; the stack order is Adams, Baker, Clark ...
const TDeleteCase kDeleteCases[] = {
    {"TheCurrentCardGivesWayToTheNext", {"go Clark"}, 1, "Clark", {"Davis"}, "Adams [Davis]", "Davis - 3 of 11"},
    {"TheLastCardGivesWayToTheFirst", {"last"}, 1, "Rome", {"Adams"}, "[Adams]", "Adams - 1 of 11"},
    {"ACardTwiceInTheHistoryLosesBothEntries", {"go Baker", "go Clark", "go Baker"}, 3, "Baker", {"Clark"},
     "Adams [Clark]", "Clark - 2 of 11"},
    {"CShownDeletingA", {"go Baker", "go Clark"}, 2, "Adams", {}, "Baker [Clark]", "Clark - 2 of 11"},
    {"CShownDeletingB", {"go Baker", "go Clark"}, 2, "Baker", {}, "Adams [Clark]", "Clark - 2 of 11"},
    {"BShownDeletingA", {"go Baker", "go Clark", "back"}, 3, "Adams", {}, "[Baker] Clark", "Baker - 1 of 11"},
    {"AShownDeletingA", {"go Baker", "go Clark", "back", "back"}, 4, "Adams", {"Baker"}, "Baker [Baker]",
     "Baker - 1 of 11"},
    {"ACardNeitherShownNorInTheHistory", {}, 0, "Rome", {}, "[Adams]", "Adams - 1 of 11"},
};

TEST_P(DeleteCardTable, KeepsTheHistoryAndShowsAnotherCard)
{
    const TDeleteCase& c = GetParam();
    Answers(c.StepAnswers, [&] {
        for (const QString& step : c.Steps)
            UserStep(step);
    });
    const TCardRef doomed = Card(c.Delete);
    QStringList expected;
    for (const QString& name : c.Shown)
        expected += QStringLiteral("openCard ") + name;
    EXPECT_EQ(Answers(int(expected.size()), [&] { View().DeleteCard(doomed, nullptr); }), expected);

    EXPECT_EQ(HistoryText(), c.History);
    EXPECT_EQ(Title(), c.Title);
    EXPECT_EQ(gStack->NumCards(), 11);
    TCardRef gone;
    EXPECT_FALSE(gStack->GetCard(c.Delete, gone));
    EXPECT_EQ(ListCalls().last(), QStringLiteral("fill force"));
}

INSTANTIATE_TEST_SUITE_P(Delete, DeleteCardTable, ::testing::ValuesIn(kDeleteCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

TEST_F(CardOpsFixture, DeletingTheOnlyCardLeavesNoCardAndNothingBeingEdited)
{
    CloseStack();
    const TStackRef one = BuildStack();
    for (const QString& name : kPeople.mid(1) + kPlaces)
    {
        TCardRef card;
        one->GetCard(name, card);
        one->DeleteCard(card);
    }
    Open(one, QStringLiteral("One.xml"), 1);
    EXPECT_EQ(Title(), QStringLiteral("Adams - 1 of 1"));

    // The user is in the check box of Member and has ticked it.
    auto* member = qobject_cast<CVexilCheckBox*>(Field(QStringLiteral("Person"), QStringLiteral("Member"))->BaseControl());
    ASSERT_NE(member, nullptr);
    View().BaseObjGotFocus(member);
    View().BaseObjChange(member);
    EXPECT_EQ(View().CurObj(), member);

    Answers(0, [&] { View().DeleteCard(Card(QStringLiteral("Adams")), nullptr); });
    EXPECT_EQ(View().CurCard(), nullptr);
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    EXPECT_EQ(HistoryText(), QString());
    EXPECT_EQ(View().CurObj(), nullptr);
    EXPECT_FALSE(View().CurObjChanged());
    EXPECT_FALSE(member->isVisible());
    // Without a card nothing counts as an edit.
    View().BaseObjChange(member);
    EXPECT_FALSE(View().CurObjChanged());

    // A new card is shown in the same pool widgets; the Boolean is left untouched.
    const TCardRef fresh = NewCard(QStringLiteral("Zed"));
    View().AddCard(fresh, nullptr);
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    Answers(1, [&] { View().GoToCard(fresh); });
    EXPECT_EQ(Title(), QStringLiteral("Zed - 1 of 1"));
    EXPECT_EQ(Field(QStringLiteral("Person"), QStringLiteral("Member"))->BaseControl(), member);
    View().BaseObjGotFocus(member);
    gStack->ResetChanged();
    fresh->SetChanged(false);
    const TControlRef memberField = Field(QStringLiteral("Person"), QStringLiteral("Member"));
    const bool stored = fresh->ControlValDef(memberField->Id());
    Answers(1, [&] { View().LeaveCurCard(); });
    EXPECT_EQ(ScriptedPrompts::Instance().Notices().last(), QStringLiteral("exitField"));
    EXPECT_EQ(fresh->ControlValDef(memberField->Id()), stored);
    EXPECT_FALSE(fresh->Changed());
}

TEST_F(CardOpsFixture, DeletingTheCurrentCardsBackgroundShowsACardOfAnotherAndPurgesTheHistory)
{
    Answers(4, [&] {
        for (const char* name : {"Baker", "Clark", "Oslo", "Hill"})
            View().GoToCard(Card(QString::fromLatin1(name)));
    });
    ListCalls();
    const TControlSetRef person = Background(QStringLiteral("Person"));
    EXPECT_EQ(Answers(1, [&] { View().DeleteBackground(person, false); }),
              QStringList{QStringLiteral("openCard Oslo")});
    EXPECT_EQ(CurName(), QStringLiteral("Oslo"));
    EXPECT_EQ(Title(), QStringLiteral("Oslo - 1 of 4"));
    EXPECT_EQ(HistoryText(), QStringLiteral("[Oslo]"));
    TControlSetRef gone;
    EXPECT_FALSE(gStack->GetBackgroundByName(QStringLiteral("Person"), gone));
    EXPECT_EQ(ListCalls().last(), QStringLiteral("fill force"));
    TCardRef card;
    Answers(0, [&] {
        EXPECT_FALSE(View().HistoryPrev(card));
        EXPECT_FALSE(View().HistoryNext(card));
    });
}

TEST_F(CardOpsFixture, DeletingAnotherBackgroundsCardsKeepsTheCurrentCardAndDropsThemFromTheHistory)
{
    Answers(3, [&] {
        for (const char* name : {"Oslo", "Baker", "Paris"})
            View().GoToCard(Card(QString::fromLatin1(name)));
    });
    Answers(0, [&] { View().DeleteBackground(Background(QStringLiteral("Person")), true); });
    EXPECT_EQ(CurName(), QStringLiteral("Paris"));
    EXPECT_EQ(HistoryText(), QStringLiteral("Oslo [Paris]"));
    EXPECT_EQ(Title(), QStringLiteral("Paris - 2 of 4"));
    // Only the cards went.
    Background(QStringLiteral("Person"));
    TCardRef card;
    EXPECT_EQ(Answers(1, [&] { View().HistoryPrev(card); }), QStringList{QStringLiteral("openCard Oslo")});
}

TEST_F(CardOpsFixture, DeletingTheCurrentCardsBackgroundWithNoOtherLeavesNoCard)
{
    Answers(0, [&] { View().DeleteBackground(Background(QStringLiteral("Place")), false); });
    EXPECT_EQ(Title(), QStringLiteral("Adams - 1 of 8"));
    Answers(0, [&] { View().DeleteBackground(Background(QStringLiteral("Person")), true); });
    EXPECT_EQ(View().CurCard(), nullptr);
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    EXPECT_EQ(View().HistCount(), 0);
    EXPECT_EQ(gStack->NumCards(), 0);
}

TEST_F(CardOpsFixture, EmptyStackLeavesTheWindowOpenWithNoCardAndAnEmptyHistory)
{
    Answers(2, [&] {
        View().GoToCard(Card(QStringLiteral("Clark")));
        View().GoToCard(Card(QStringLiteral("Oslo")));
    });
    ListCalls();
    Answers(0, [&] { View().EmptyStack(); });
    EXPECT_EQ(gStack->NumCards(), 0);
    EXPECT_EQ(View().CurCard(), nullptr);
    EXPECT_EQ(View().HistCount(), 0);
    EXPECT_EQ(View().HistIndex(), UndefInt);
    EXPECT_TRUE(View().CardViewOpen());
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    EXPECT_EQ(ListCalls(), QStringList{QStringLiteral("fill force")});

    // The first card shown afterwards starts the history afresh.
    const TCardRef fresh = NewCard(QStringLiteral("Zed"), QStringLiteral("Place"));
    View().AddCard(fresh, nullptr);
    Answers(1, [&] { View().GoToCard(fresh); });
    EXPECT_EQ(View().HistIndex(), 0);
    EXPECT_EQ(View().HistCount(), 1);
    EXPECT_EQ(Title(), QStringLiteral("Zed - 1 of 1"));
}

TEST_F(CardOpsFixture, AddingACardKeepsTheCurrentCardAndRefreshesBothViews)
{
    Answers(1, [&] { View().GoToCard(Card(QStringLiteral("Clark"))); });
    ListCalls();
    const TCardRef fresh = NewCard(QStringLiteral("Zed"));
    Answers(0, [&] { View().AddCard(fresh, Card(QStringLiteral("Baker"))); });
    EXPECT_EQ(CurName(), QStringLiteral("Clark"));
    EXPECT_EQ(Title(), QStringLiteral("Clark - 4 of 13"));
    EXPECT_EQ(ListCalls(), QStringList{QStringLiteral("fill force")});
    // The new card got its fields' initial values.
    TValue age;
    fresh->GetControlVal(Field(QStringLiteral("Person"), QStringLiteral("Age"))->Id(), age, false);
    EXPECT_EQ(age.iType, EValInt);
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Clark]"));
}

struct TChangeCase
{
    const char* Name;
    std::function<void()> Change;
    QStringList Calls;
};

void PrintTo(const TChangeCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class ChangesTable : public CardOpsFixture, public ::testing::WithParamInterface<TChangeCase>
{
};

void SetAge(const QString& aCard, int32_t aAge)
{
    TCardRef card;
    gStack->GetCard(aCard, card);
    TControlRef field;
    card->Background()->GetControlByName(QStringLiteral("Age"), field);
    TValue val;
    val.iType = EValInt;
    val.iInt = aAge;
    card->SetControlVal(field->Id(), val);
}

const TChangeCase kChangeCases[] = {
    {"NothingChanged", [] {}, {}},
    {"OneCardChanged", [] { SetAge(QStringLiteral("Fox"), 50); }, {"update Fox"}},
    {"OneCardChangedTwice", [] { SetAge(QStringLiteral("Fox"), 50); SetAge(QStringLiteral("Fox"), 51); },
     {"update Fox"}},
    {"TwoCardsChanged", [] { SetAge(QStringLiteral("Fox"), 50); SetAge(QStringLiteral("Hill"), 50); },
     {"fill force"}},
    {"ACardMoved",
     [] {
         TCardRef rome;
         gStack->GetCard(QStringLiteral("Rome"), rome);
         gStack->MoveCard(*rome, nullptr);
         TCardRef oslo;
         gStack->GetCard(QStringLiteral("Oslo"), oslo);
         gStack->MoveCard(*oslo, nullptr);
     },
     {"fill force"}},
};

TEST_P(ChangesTable, TheCardListFollowsTheChangeRecord)
{
    gStack->ResetChangeInfo();
    ListCalls();
    GetParam().Change();
    View().UpdateCardListFromChanges();
    EXPECT_EQ(ListCalls(), GetParam().Calls);
    EXPECT_FALSE(gStack->GetChangeInfo().CardsChanged);
    EXPECT_FALSE(gStack->GetChangeInfo().CardListChanged);
    // Applied once: a second look finds nothing to do.
    View().UpdateCardListFromChanges();
    EXPECT_EQ(ListCalls(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangesTable, ::testing::ValuesIn(kChangeCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

// The stack view as a running script reaches it, asking for the card list's update right
// after each stored value, while the script still runs.
class LookingLink : public IVexilStackViewLink
{
public:
    TStackRef Stack() const override { return gStackView->Stack(); }
    TCardRef CurCard() const override { return gStackView->CurCard(); }
    void GoToCard(const TCardRef& aCard) override { gStackView->GoToCard(aCard); }
    bool OrderNext(TCardRef& aCard) override { return gStackView->OrderNext(aCard); }
    void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aVal) override
    {
        gStackView->SetValue(aCard, aControlId, aVal);
        iRunning = gInterpreter->Running();
        gStackView->UpdateCardListFromChanges();
    }
    void ShowProgress(int32_t aPercent) override { gStackView->ShowProgress(aPercent); }

    bool iRunning = false;
};

TEST_F(CardOpsFixture, WhileAScriptRunsTheChangesWaitInTheRecord)
{
    gStack->ResetChangeInfo();
    ListCalls();
    LookingLink link;
    CVexilStackViewLink::Install(&link);
    const TCardRef adams = Card(QStringLiteral("Adams"));
    SetScript(*adams, {QStringLiteral("On t"), QStringLiteral("Put 30 Into Field \"Age\" Of Card \"Baker\""),
                       QStringLiteral("End")});
    TObjRef handler;
    gInterpreter->LocateAndExecScript(adams, nullptr, QStringLiteral("t"), handler);
    CVexilStackViewLink::Install(gStackView.get());
    EXPECT_EQ(handler, adams);
    EXPECT_TRUE(link.iRunning);
    EXPECT_EQ(ListCalls(), QStringList());
    EXPECT_TRUE(gStack->GetChangeInfo().CardsChanged);

    View().UpdateCardListFromChanges();
    EXPECT_EQ(ListCalls(), QStringList{QStringLiteral("update Baker")});
}

TEST_F(CardOpsFixture, WithTheCardListClosedTheRecordIsClearedAndNothingDrawn)
{
    View().CloseCardList();
    EXPECT_FALSE(View().CardListOpen());
    EXPECT_EQ(View().CardListView(), nullptr);
    SetAge(QStringLiteral("Fox"), 50);
    View().UpdateCardListFromChanges();
    EXPECT_FALSE(gStack->GetChangeInfo().CardsChanged);
}
TEST_F(CardOpsFixture, TheCardOfTheSelectedLineIsShownAndTheClosedCardWindowOpensFirst)
{
    CVexilListBox& box = iWindows.iList->iBox;
    for (const char* name : {"Evans", "Fox", "Oslo"})
        box.AddLine(QString::fromLatin1(name), Card(QString::fromLatin1(name)));
    box.Show();
    box.SetSelIndex(1);
    EXPECT_EQ(Answers(1, [&] { View().GoToSelectedCard(); }), QStringList{QStringLiteral("openCard Fox")});
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Fox]"));

    View().CloseCardView(false);
    box.SetSelIndex(2);
    EXPECT_EQ(Answers(2, [&] { View().GoToSelectedCard(); }),
              (QStringList{QStringLiteral("openCard Adams"), QStringLiteral("openCard Oslo")}));
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Title(), QStringLiteral("Oslo - 9 of 12"));

    // A list without selection shows nothing.
    box.SetSelIndex(-1);
    Answers(0, [&] { View().GoToSelectedCard(); });
    EXPECT_EQ(CurName(), QStringLiteral("Oslo"));
}

TEST_F(CardOpsFixture, RefreshingLaysTheCardOutAgainWithoutMessageAndRebuildsTheList)
{
    Answers(1, [&] { View().GoToCard(Card(QStringLiteral("Clark"))); });
    ListCalls();
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));
    TValue val;
    val.iType = EValInt;
    val.iInt = 99;
    Card(QStringLiteral("Clark"))->SetControlVal(age->Id(), val);
    age->SetLabel(QStringLiteral("Years"));

    Answers(0, [&] { View().RefreshViews(true, false); });
    EXPECT_EQ(qobject_cast<CVexilTextBox*>(age->BaseControl())->text(), QStringLiteral("99"));
    EXPECT_EQ(qobject_cast<CVexilLabel*>(age->BaseLabel())->text(), QStringLiteral("Years"));
    EXPECT_EQ(ListCalls(), QStringList());
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Clark]"));

    // The list is rebuilt whatever it shows, and its window is not shown anew.
    Answers(0, [&] { View().RefreshViews(false, true); });
    EXPECT_EQ(ListCalls(), QStringList{QStringLiteral("fill force")});
    EXPECT_EQ(iWindows.iShown, QStringList{IVexilStackViewWindows::KCardListForm});
    EXPECT_TRUE(View().CardListOpen());

    // Without a current card the card window stays as it is.
    View().CloseCardView(false);
    Answers(0, [&] { View().RefreshViews(true, false); });
    EXPECT_EQ(View().CurCard(), nullptr);
}

TEST_F(CardOpsFixture, TheRecordFollowsTheCardWindowsPlacement)
{
    Window()->move(Window()->x() + 30, Window()->y() + 20);
    Window()->resize(Window()->width() + 45, Window()->height() + 15);
    QCoreApplication::processEvents();
    View().UpdateRect();
    const std::shared_ptr<CVexilRect> placed = CVexilLibUi::GetCtlRect(*Window());
    EXPECT_EQ(View().CardViewRect()->X(), placed->X());
    EXPECT_EQ(View().CardViewRect()->Y(), placed->Y());
    EXPECT_EQ(View().CardViewRect()->Width(), placed->Width());
    EXPECT_EQ(View().CardViewRect()->Height(), placed->Height());
    EXPECT_EQ(View().Rec()->CardViewRect(), View().CardViewRect());

    // Closing the window keeps where it stood; a closed window changes the record no more.
    Window()->move(Window()->x() + 15, Window()->y());
    QCoreApplication::processEvents();
    View().CloseCardView(false);
    EXPECT_EQ(View().CardViewRect()->X(), CVexilLibUi::GetCtlRect(*Window())->X());
    const float closedAt = View().CardViewRect()->X();
    Window()->move(Window()->x() + 15, Window()->y());
    View().UpdateRect();
    EXPECT_EQ(View().CardViewRect()->X(), closedAt);
}

TEST_F(CardOpsFixture, ALayoutThatFailsIsReportedAndTheCardStillGetsItsOpenCard)
{
    // A background of more one-line fields than the card window has text boxes.
    const TControlSetRef big = NewBackground(*gStack, QStringLiteral("Big"));
    TControlRef name;
    for (int i = 0; i < 21; ++i)
    {
        const TControlRef field = AddField(*gStack, *big, QStringLiteral("T%1").arg(i), EConTypeText);
        if (i == 0)
            name = field;
    }
    name->SetName(QStringLiteral("Name"));
    const TCardRef huge = NewCard(QStringLiteral("Huge"), QStringLiteral("Big"));
    View().AddCard(huge, nullptr);

    ScriptedPrompts::Instance().ExpectMessage();
    EXPECT_EQ(Answers(1, [&] { View().GoToCard(huge); }), QStringList{QStringLiteral("openCard ")});
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages()[0].Id, EMsgSystemError);
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages()[0].Text.contains(QStringLiteral("fGenTextBox20")));
    EXPECT_EQ(CurName(), QStringLiteral("Huge"));
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Huge]"));
    // The values of the fields placed are no edits; what the user types afterwards is.
    const QPointer<QObject> first = name->BaseControl();
    ASSERT_FALSE(first.isNull());
    View().BaseObjGotFocus(first);
    EXPECT_FALSE(View().CurObjChanged());
    View().BaseObjChange(first);
    EXPECT_TRUE(View().CurObjChanged());
    if (View().CurObj())
        ScriptedPrompts::Instance().ExpectNotice();
}
}  // namespace
