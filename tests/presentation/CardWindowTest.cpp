// The card window's own behaviour: its placement when it loads, resizing and deactivating it
// while a field is edited, the user's close, list views, the pop-up menu and the double
// click on its surface, and the card picker's answer.

#include "CardWindowUser.h"
#include "RecordingWindows.h"
#include "StackViewFixture.h"
#include "foundation/VexilRect.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilPlacement.h"

#include <QTreeWidget>

#include <cmath>
#include <limits>

using namespace CardWindowUser;

namespace
{
std::shared_ptr<CVexilRect> Rect(float aX, float aY, float aWidth, float aHeight)
{
    auto rect = std::make_shared<CVexilRect>();
    rect->Construct(aX, aY, aWidth, aHeight);
    return rect;
}

QString RectText(const CVexilRect& aRect)
{
    return QStringLiteral("%1 %2 %3 %4").arg(aRect.X()).arg(aRect.Y()).arg(aRect.Width()).arg(aRect.Height());
}

// The default placement of the card window.
QString DefaultRect()
{
    CVexilStackViewRec rec;
    rec.InitRects();
    return RectText(*rec.CardViewRect());
}
}  // namespace

class CardWindowTest : public StackViewFixture
{
protected:
    void SetUp() override
    {
        StackViewFixture::SetUp();
        Activate(Window());
    }

    void TearDown() override
    {
        if (gStackView && gStackView->CurObj())
            ScriptedPrompts::Instance().ExpectNotice();
        StackViewFixture::TearDown();
    }

    static TControlRef Person(const QString& aName) { return Field(QStringLiteral("Person"), aName); }
    static TValue Stored(const QString& aField, const QString& aCard = QStringLiteral("Adams"))
    {
        TValue val;
        Card(aCard)->GetControlVal(Person(aField)->Id(), val, false);
        return val;
    }
    // A point of the window's surface where no widget is.
    static QPoint Surface() { return {Window()->width() - 3, Window()->height() - 3}; }

    // Opens the fixture's stack again, from a binary file whose card window placement is aRect.
    void OpenWithPlacement(const std::shared_ptr<CVexilRect>& aRect)
    {
        CloseStack();
        const TStackRef stack = BuildStack();
        stack->SetFlags(stack->Flags() | EStkBinary);
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        rec->SetCardViewRect(aRect);
        CVexilStackFile file;
        const QString path = iDir.File(QStringLiteral("Placed.Quorvan"));
        file.Construct(path);
        file.SaveStack(stack, rec);
        Answers(1, [&] { CVexilStackHost::HandleLoadStack(path); });
        ASSERT_NE(Window(), nullptr);
    }
};

TEST_F(CardWindowTest, AResizeWhileTypingKeepsTheTextTyped)
{
    const TControlRef age = Person(QStringLiteral("Age"));
    Type(age, QStringLiteral("55"));
    Window()->resize(Window()->width() + 40, Window()->height() + 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(age), QStringLiteral("55"));
    EXPECT_TRUE(HasFocus(age));
    EXPECT_EQ(Answers(1, [&] { Leave(age); }), QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(CVexilValue::ValToIntText(Stored(QStringLiteral("Age"))), QStringLiteral("55"));
}

TEST_F(CardWindowTest, DeactivatingTheWindowValidatesTheFieldBeingEdited)
{
    const TControlRef age = Person(QStringLiteral("Age"));
    Type(age, QStringLiteral("61"));
    QWidget other;
    other.resize(100, 100);
    EXPECT_EQ(Answers(1, [&] { Activate(&other); }), QStringList{QStringLiteral("closeField")});
    EXPECT_EQ(CVexilValue::ValToIntText(Stored(QStringLiteral("Age"))), QStringLiteral("61"));
    EXPECT_EQ(View().CurObj(), nullptr);

    // Back in the window, the field that has the focus is followed again, unedited.
    Answers(0, [] { Activate(Window()); });
    EXPECT_EQ(View().CurObj(), age->BaseControl());
    EXPECT_FALSE(View().CurObjChanged());
}

TEST_F(CardWindowTest, AStoredPlacementTheScreensCannotShowGivesTheDefaultPlacement)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct TCase
    {
        const char* Name;
        std::shared_ptr<CVexilRect> Stored;
        bool Usable;
    };
    const TCase cases[] = {
        {"usable", Rect(1500, 1200, 6000, 5000), true},
        {"NaN left", Rect(nan, 1200, 6000, 5000), false},
        {"infinite width", Rect(1500, 1200, inf, 5000), false},
        {"no width", Rect(1500, 1200, 0, 5000), false},
        {"negative height", Rect(1500, 1200, 6000, -5000), false},
        {"huge", Rect(0, 0, 1e9F, 1e9F), false},
        {"far off", Rect(-3e7F, 4e8F, 6000, 5000), false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        OpenWithPlacement(c.Stored);
        EXPECT_EQ(RectText(*CVexilLibUi::GetCtlRect(*Window())), c.Usable ? RectText(*c.Stored) : DefaultRect());
        EXPECT_TRUE(Window()->isVisible());
    }
}

TEST_F(CardWindowTest, APlacementIsUsableWhenEnoughOfItLiesOnOneScreen)
{
    // Two screens side by side, in pixels; rectangles in twips (15 a pixel).
    const std::vector<QRect> screens = {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
    struct TCase
    {
        const char* Name;
        float X, Y, Width, Height;
        bool Usable;
    };
    const TCase cases[] = {
        {"on the first screen", 1500, 1500, 6000, 4500, true},
        {"on the second screen", 15000, 1500, 6000, 4500, true},
        {"across both", 10500, 1500, 6000, 4500, true},
        {"48 pixels shown at the right edge", 27360 - 720, 1500, 6000, 4500, true},
        {"47 pixels shown at the right edge", 27360 - 705, 1500, 6000, 4500, false},
        {"below the second screen", 15000, 11520, 6000, 4500, false},
        {"left of all", -6000, 1500, 6000, 4500, false},
        {"as large as both", 0, 0, 27360, 11520, true},
        {"wider than both", 0, 0, 27375, 4500, false},
        {"less than a pixel wide", 1500, 1500, 14, 4500, false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CVexilPlacement::Usable(*Rect(c.X, c.Y, c.Width, c.Height), screens), c.Usable);
    }
    EXPECT_FALSE(CVexilPlacement::Usable(*Rect(0, 0, 6000, 4500), {}));
}

TEST_F(CardWindowTest, AUserCloseThatTheStackKeepsKeepsTheWindow)
{
    RecordingWindows windows;
    EXPECT_FALSE(UserClose(Window()));
    EXPECT_EQ(windows.iCalls, QStringList{QStringLiteral("CloseCurrentStack")});
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Title(), QStringLiteral("Adams - 1 of 12"));

    // The program's own close does not ask.
    windows.iCalls.clear();
    Window()->close();
    EXPECT_TRUE(windows.iCalls.isEmpty());
}

TEST_F(CardWindowTest, AUserCloseThatClosesTheStackUnloadsTheWindowAfterItsEvent)
{
    RecordingWindows windows;
    windows.iOnClose = [] {
        CloseStack();
        return true;
    };
    QPointer<CVexilGenForm> form = Window();
    EXPECT_TRUE(UserClose(form));
    EXPECT_FALSE(gStackView);
    // The window is gone from the program at once, and deleted once its event is over.
    EXPECT_EQ(Window(), nullptr);
    EXPECT_FALSE(form && form->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST_F(CardWindowTest, AClickInACardListGoesToTheCardOfItsLine)
{
    CloseStack();
    const TStackRef stack = BuildStack();
    const TControlSetRef person = stack->Background(0);
    TControlSetRef place;
    ASSERT_TRUE(stack->GetBackgroundByName(QStringLiteral("Place"), place));
    const TControlRef places = AddField(*stack, *person, QStringLiteral("Places"), EConTypeList, EConCardList, 5);
    places->SetSelBackgroundId(place->Id());
    // A card list without reference field keeps its lines as its default.
    places->SetDefaultVal(places->GetCardList(*stack, TValue()));
    AddField(*stack, *person, QStringLiteral("Tags"), EConTypeList, 0, 5)
        ->SetDefaultVal(QStringLiteral("red\r\ngreen"));
    Open(stack, QStringLiteral("Lists.xml"), 1);
    Activate(Window());

    const auto clickLine = [](const QString& aField, int aLine) {
        auto* view = qobject_cast<QTreeWidget*>(Person(aField)->BaseControl());
        ASSERT_NE(view, nullptr);
        ASSERT_GT(view->topLevelItemCount(), aLine);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualItemRect(view->topLevelItem(aLine)).center());
    };
    Answers(0, [&] { clickLine(QStringLiteral("Tags"), 1); });
    EXPECT_EQ(CurName(), QStringLiteral("Adams"));
    EXPECT_EQ(Answers(1, [&] { clickLine(QStringLiteral("Places"), 1); }),
              QStringList{QStringLiteral("openCard Paris")});
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Paris]"));
}

TEST_F(CardWindowTest, ARightClickOnTheSurfacePopsUpTheCommandMenuAndADoubleClickShowsDblClick)
{
    CVexilCmdMenu& menu = CVexilFrameParts::CmdMenu();
    QTest::mouseClick(Window(), Qt::RightButton, {}, Surface());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    // A widget's own right click and double click stay the widget's.
    QTest::mouseClick(Input(Person(QStringLiteral("Notes"))), Qt::RightButton);
    EXPECT_FALSE(menu.isVisible());
    QTest::mouseDClick(qobject_cast<QWidget*>(Person(QStringLiteral("Age"))->BaseLabel()), Qt::LeftButton);

    ScriptedPrompts::Instance().ExpectNotice();
    QTest::mouseDClick(Window(), Qt::LeftButton, {}, Surface());
    EXPECT_EQ(ScriptedPrompts::Instance().Notices().last(), QStringLiteral("DblClick"));
}

TEST_F(CardWindowTest, TheCardPickerAnswerGoesToTheCardAndShownCheckBoxesAreNoClicks)
{
    const TCardRef evans = Card(QStringLiteral("Evans"));
    TValue on;
    on.iType = EValBool;
    on.iBool = true;
    evans->SetControlVal(Person(QStringLiteral("Member"))->Id(), on);
    gStack->ResetChangeInfo();
    EXPECT_EQ(Answers(1, [&] { Window()->SetCard(evans, 0); }), QStringList{QStringLiteral("openCard Evans")});
    EXPECT_EQ(Shown(Person(QStringLiteral("Member"))), QStringLiteral("1"));
    // Showing the value stored nothing.
    EXPECT_FALSE(gStack->GetChangeInfo().CardsChanged);
}
