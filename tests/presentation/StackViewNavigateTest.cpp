// Opening a stack file as the current stack, showing cards, the history and moving in stack order.

#include "CardWindowUser.h"
#include "PictureBytes.h"
#include "StackViewFixture.h"

#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "presentation/VexilLibUi.h"

#include <QPointer>

#include <limits>

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

namespace
{
int32_t DynRefs(const CVexilStack& aStack, int32_t aBlobId)
{
    return aStack.BlobStore()->ReadBlob(aBlobId, true)->DynRefCount();
}

QStringList PictureTags(const CVexilGenForm& aWindow)
{
    QStringList tags;
    for (const CVexilPictureBox* box : aWindow.fGenPictureBox)
        tags += box->Tag();
    return tags;
}
}  // namespace

class PictureStacks : public StackViewFixture
{
protected:
    // The people stack with a picture field: the card aPictured shows a picture of its own
    // blob. Built alike, two such stacks give their pictures the same blob id.
    static TStackRef PictureStack(const QString& aPictured, int32_t& aBlobId)
    {
        const TStackRef stack = BuildStack();
        TControlSetRef person;
        stack->GetBackgroundByName(QStringLiteral("Person"), person);
        const TControlRef photo = NewField(*stack, *person, QStringLiteral("Photo"), EConTypePicture);
        photo->SetFlags(EConInCardView);
        auto blob = std::make_shared<CVexilBlob>();
        aBlobId = stack->IdGen().NextId();
        blob->Construct(aBlobId);
        blob->SetBytes(QtPictureBytes(QuarterImage(40, 30), "PNG"));
        stack->BlobStore()->AddBlob(blob);
        TCardRef card;
        stack->GetCard(aPictured, card);
        TValue val;
        val.iType = EValBlobId;
        val.iInt = aBlobId;
        card->SetControlVal(photo->Id(), val);
        return stack;
    }
};

TEST_F(PictureStacks, ASecondStackAfterOneWithPicturesGetsANewWindowAndLeavesTheNewStoreAlone)
{
    int32_t firstId = 0;
    Open(PictureStack(QStringLiteral("Adams"), firstId), QStringLiteral("Pictures1.xml"), 1);
    const TStackRef first = gStack;
    QPointer<CVexilGenForm> firstWindow = Window();
    const int32_t shownRefs = DynRefs(*first, firstId);
    ASSERT_TRUE(PictureTags(*firstWindow).join(QString()).contains(QString::number(firstId)));

    int32_t secondId = 0;
    const TStackRef built = PictureStack(QStringLiteral("Baker"), secondId);
    ASSERT_EQ(secondId, firstId);
    Open(built, QStringLiteral("Pictures2.xml"), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The first stack's picture went back to its own store, and its window is gone.
    EXPECT_EQ(DynRefs(*first, firstId), shownRefs - 1);
    EXPECT_TRUE(firstWindow.isNull());
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(PictureTags(*Window()), QStringList(10, QString()));
    // The counts are those of the stack read without any window.
    TStackRef alone;
    TStackViewRecRef aloneView;
    CVexilStackFile file;
    file.Construct(iDir.File(QStringLiteral("Pictures2.xml")));
    file.LoadStack(alone, aloneView);
    const int32_t idle = DynRefs(*gStack, secondId);
    EXPECT_EQ(idle, DynRefs(*alone, secondId));

    // The picture of the second stack is shown and released as any other.
    Answers(1, [&] { View().GoToCard(Card(QStringLiteral("Baker"))); });
    EXPECT_TRUE(PictureTags(*Window()).join(QString()).contains(QString::number(secondId)));
    EXPECT_EQ(Title(), QStringLiteral("Baker - 2 of 12"));
    const int32_t shown = DynRefs(*gStack, secondId);
    EXPECT_GT(shown, idle);
    Answers(1, [&] { View().GoToCard(Card(QStringLiteral("Clark"))); });
    EXPECT_EQ(DynRefs(*gStack, secondId), shown - 1);
}

struct TRectCase
{
    const char* Name;
    float X, Y, Width, Height;
    bool Usable;
};

void PrintTo(const TRectCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.Name;
}

class StoredPlacement : public StackViewFixture, public ::testing::WithParamInterface<TRectCase>
{
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const TRectCase kRectCases[] = {
    {"Usable", 1500, 1200, 6000, 5000, true},
    {"NaNLeft", kNaN, 1200, 6000, 5000, false},
    {"NaNWidth", 1500, 1200, kNaN, 5000, false},
    {"Infinite", 1500, 1200, std::numeric_limits<float>::infinity(), 5000, false},
    {"Huge", 1500, 1200, 3.0e9F, 3.0e9F, false},
    {"ZeroWidth", 1500, 1200, 0, 5000, false},
    {"NegativeHeight", 1500, 1200, 6000, -5000, false},
    {"OffEveryScreen", -9.0e6F, -9.0e6F, 6000, 5000, false},
};

TEST_P(StoredPlacement, AnUnusableRectangleGivesTheDefaultPlacement)
{
    const TRectCase& c = GetParam();
    CloseStack();
    auto rect = std::make_shared<CVexilRect>();
    rect->Construct(c.X, c.Y, c.Width, c.Height);
    const QString path = iDir.File(QStringLiteral("Placed.xml"));
    auto rec = std::make_shared<CVexilStackViewRec>();
    rec->Contruct(QStringLiteral("View"));
    rec->SetCardViewRect(rect);
    CVexilStackFile file;
    file.Construct(path);
    // The binary form keeps every float as it is.
    const TStackRef stack = BuildStack();
    stack->SetFlags(stack->Flags() | EStkBinary);
    file.SaveStack(stack, rec);
    Answers(1, [&] { CVexilStackHost::HandleLoadStack(path); });
    ASSERT_NE(Window(), nullptr);

    CVexilStackViewRec defaults;
    defaults.InitRects();
    const CVexilRect& expected = c.Usable ? *rect : *defaults.CardViewRect();
    const std::shared_ptr<CVexilRect> placed = CVexilLibUi::GetCtlRect(*Window());
    // Placed at whole pixels; the size may take the frame that the window system adds once
    // the window is shown.
    const QSize frame = Window()->frameGeometry().size() - Window()->size();
    EXPECT_NEAR(placed->X(), expected.X(), CVexilCtl::KTwipsPerPixel);
    EXPECT_NEAR(placed->Y(), expected.Y(), CVexilCtl::KTwipsPerPixel);
    EXPECT_NEAR(placed->Width(), expected.Width(), CVexilCtl::PixelsToTwips(frame.width() + 1));
    EXPECT_NEAR(placed->Height(), expected.Height(), CVexilCtl::PixelsToTwips(frame.height() + 1));
}

INSTANTIATE_TEST_SUITE_P(Placement, StoredPlacement, ::testing::ValuesIn(kRectCases),
                         [](const auto& aInfo) { return std::string(aInfo.param.Name); });

TEST_F(StackViewFixture, AResizeWhileTypingKeepsTheTextAndTheFieldBeingEdited)
{
    using namespace CardWindowUser;
    Activate(Window());
    const TControlRef age = Field(QStringLiteral("Person"), QStringLiteral("Age"));
    Type(age, QStringLiteral("77"));
    ASSERT_EQ(View().CurObj(), age->BaseControl());
    ASSERT_TRUE(View().CurObjChanged());

    Window()->resize(Window()->width() + 60, Window()->height() + 40);
    QCoreApplication::processEvents();
    View().BaseFormResize();
    EXPECT_EQ(Shown(age), QStringLiteral("77"));
    EXPECT_EQ(View().CurObj(), age->BaseControl());
    EXPECT_TRUE(View().CurObjChanged());
    EXPECT_TRUE(HasFocus(age));

    // Left, the typed value is stored.
    EXPECT_EQ(Answers(1, [&] { Leave(age); }), QStringList{QStringLiteral("closeField")});
    TValue val;
    Card(QStringLiteral("Adams"))->GetControlVal(age->Id(), val, false);
    EXPECT_EQ(val.iInt, 77);
    // Closing the stack leaves the field that has the focus now.
    if (View().CurObj())
        ScriptedPrompts::Instance().ExpectNotice();
}

TEST_F(StackViewFixture, ProgressIsThatShareOfItsBox)
{
    for (const int32_t percent : {0, 25, 100})
    {
        View().ShowProgress(percent);
        EXPECT_FLOAT_EQ(Window()->fProgress->Width(), Window()->fProgressBox->Width() * float(percent) / 100);
    }
}
