#include "AssertAnswers.h"
#include "QStringPrinter.h"
#include "TempRegistry.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilFormPlacement.h"
#include "shell/VexilWinMan.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

void PrintTo(const TWinRect& aRect, std::ostream* aOut)
{
    *aOut << CVexilFormPlacement::RectToStr(aRect).toStdString();
}

namespace
{
const QRectF KScreen(0, 0, 19200, 15360);  // 1280 x 1024 pixels

TEST(WinManPlacement, StrToRect)
{
    struct TCase
    {
        const char* Text;
        bool Valid;
        TWinRect Rect;
    } const cases[] = {
        {"100,200,5000,4000", true, {100, 200, 5000, 4000}},
        {"-1000,100,2000,2000", true, {-1000, 100, 2000, 2000}},
        {"-3000,100,2000,2000", false, {}},
        {"0,0,0,0", false, {}},
        {"100,200,5000", false, {}},
        {"", false, {}},
        {"10,20,30,40,junk,50", true, {10, 20, 30, 40}},
        {" 12abc,  7.5,3e2,40", true, {12, 7.5F, 300, 40}},
        {"x,0,100,100", true, {0, 0, 100, 100}},
        {"-100000,0,100001,5000", true, {-100000, 0, 100001, 5000}},
        {"1e39,0,100,100", false, {}},
        {"0,0,1e400,100", false, {}},
        {"0,0,100,-1e400", false, {}},
        {"0,-50,100,40", false, {}},
    };
    for (const TCase& c : cases)
    {
        TWinRect rect{-1, -1, -1, -1};
        EXPECT_EQ(CVexilFormPlacement::StrToRect(QString::fromLatin1(c.Text), rect), c.Valid) << c.Text;
        EXPECT_EQ(rect, c.Valid ? c.Rect : (TWinRect{-1, -1, -1, -1})) << c.Text;
    }
}

TEST(WinManPlacement, RectToStrReadsBack)
{
    const TWinRect rects[] = {{960, 768, 15000, 12000}, {-1000, 0.5F, 100000, 1}};
    EXPECT_EQ(CVexilFormPlacement::RectToStr(rects[0]), QStringLiteral("960,768,15000,12000"));
    EXPECT_EQ(CVexilFormPlacement::RectToStr(rects[1]), QStringLiteral("-1000,0.5,100000,1"));
    for (const TWinRect& rect : rects)
    {
        TWinRect back;
        ASSERT_TRUE(CVexilFormPlacement::StrToRect(CVexilFormPlacement::RectToStr(rect), back));
        EXPECT_EQ(back, rect);
    }
}

TEST(WinManPlacement, DefaultFrameRect)
{
    EXPECT_EQ(CVexilFormPlacement::DefaultFrameRect(19200, 15360), (TWinRect{960, 768, 15000, 12000}));
    EXPECT_EQ(CVexilFormPlacement::DefaultFrameRect(12000, 9000), (TWinRect{600, 450, 10800, 8100}));
}

TEST(WinManPlacement, ApplyFormRect)
{
    const TWinRect design{300, 400, 3000, 2000};
    const TWinRect frameDefault{960, 768, 15000, 12000};
    struct TCase
    {
        const char* What;
        TWinRect Stored;
        bool Frame;
        bool Sizable;
        TWinRect Expected;
    } const cases[] = {
        {"applied", {100, 200, 5000, 4000}, true, true, {100, 200, 5000, 4000}},
        {"partly off to the left", {-1000, 100, 2000, 2000}, true, true, {-1000, 100, 2000, 2000}},
        {"left beyond the screen", {20000, 100, 5000, 4000}, true, true, {0, 100, 5000, 4000}},
        {"top beyond the screen", {100, 16000, 5000, 4000}, true, true, {100, 0, 5000, 4000}},
        {"fixed size keeps its size", {500, 600, 9000, 9000}, false, false, {500, 600, 3000, 2000}},
        {"sizable dialog", {500, 600, 9000, 9000}, false, true, {500, 600, 9000, 9000}},
        {"size reduced to the area", {0, 0, 50000, 40000}, true, true, {0, 0, 19200, 15360}},
        {"a sliver of a huge window", {-100000, 0, 100001, 5000}, true, true, frameDefault},
        {"a sliver at the right", {18660, 0, 5000, 5000}, true, true, frameDefault},
        {"40 pixels at the right", {18600, 0, 5000, 5000}, true, true, {18600, 0, 5000, 5000}},
        {"top above the screen", {100, -15, 5000, 5000}, true, true, frameDefault},
        {"19 pixels of the top at the bottom", {100, 15075, 5000, 5000}, true, true, frameDefault},
        {"20 pixels of the top at the bottom", {100, 15060, 5000, 5000}, true, true, {100, 15060, 5000, 5000}},
        {"a dialog off the area", {-5000, 100, 5100, 2000}, false, true, design},
        {"a small window wholly shown", {0, 0, 300, 150}, false, true, {0, 0, 300, 150}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CVexilFormPlacement::ApplyFormRect(c.Stored, design, c.Frame, c.Sizable, KScreen), c.Expected) << c.What;
    // A dialog in the main window's client area, whatever the screen.
    EXPECT_EQ(CVexilFormPlacement::ApplyFormRect({7000, 100, 3000, 2000}, design, false, true, QRectF(0, 0, 6000, 4000)),
              (TWinRect{0, 100, 3000, 2000}));
}

// A window that records the broadcasts it receives and may act on receiving one.
class Receiver : public CVexilForm
{
public:
    explicit Receiver(QString aName) : iName(std::move(aName)) {}
    void ChangeNotify(int32_t aEvent, const TObjRef&, const TObjRef&) override
    {
        Log().append(iName + QLatin1Char(':') + QString::number(aEvent));
        if (OnNotify)
            OnNotify(iName);
    }
    static QStringList& Log()
    {
        static QStringList log;
        return log;
    }
    static inline std::function<void(const QString&)> OnNotify;

private:
    QString iName;
};

class WinManForms : public testing::Test
{
protected:
    static void SetUpTestSuite() { CVexilWinMan::RegisterForms(); }
    void SetUp() override
    {
        for (const char* name : {"CVexilFrame", "CVexilSearchForm", "CVexilCardEdit", "CVexilStackEdit", "MainForm"})
        {
            const QString className = QLatin1String(name);
            CVexilFormRegistry::Register(className, [className] { return new Receiver(className); });
        }
        Receiver::Log().clear();
        Receiver::OnNotify = nullptr;
    }
    void TearDown() override
    {
        Receiver::OnNotify = nullptr;
        CVexilFormRegistry::UnloadAll();
    }
};

TEST_F(WinManForms, NamesAndInstances)
{
    const QStringList& names = CVexilWinMan::FormNames();
    ASSERT_EQ(names.size(), 23);
    EXPECT_EQ(names.first(), QStringLiteral("CVexilFrame"));
    EXPECT_EQ(names[2], QStringLiteral("CVexilGenForm"));
    EXPECT_EQ(names.last(), QStringLiteral("CVexilPictureViewer"));

    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(QStringLiteral("CVexilSearchForm")));
    CVexilForm* search = CVexilWinMan::NameToForm(QStringLiteral("CVexilSearchForm"));
    ASSERT_NE(search, nullptr);
    EXPECT_FALSE(search->isVisible());
    EXPECT_EQ(CVexilWinMan::NameToForm(QStringLiteral("CVexilSearchForm")), search);
    EXPECT_TRUE(CVexilWinMan::IsFormLoaded(QStringLiteral("CVexilSearchForm")));
    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(QStringLiteral("CVexilSearch")));

    // A managed window whose class is not in the program yet: none, no question.
    const size_t asked = ScriptedPrompts::Instance().Messages().size();
    EXPECT_EQ(CVexilWinMan::NameToForm(QStringLiteral("CVexilScriptEdit")), nullptr);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().size(), asked);
    for (const char* unmanaged : {"CVexilSave", "MainForm", "cvexilframe"})
    {
        IgnoredAssert asked(QStringLiteral("NameToForm name ") + QLatin1String(unmanaged));
        EXPECT_EQ(CVexilWinMan::NameToForm(QLatin1String(unmanaged)), nullptr);
    }

    CVexilWinMan::ShowForm(*search);
    EXPECT_TRUE(search->isVisible());
    CVexilFormRegistry::Unload(QStringLiteral("CVexilSearchForm"));
    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(QStringLiteral("CVexilSearchForm")));
}

TEST_F(WinManForms, BroadcastReachesLoadedManagedWindowsInLoadOrder)
{
    CVexilWinMan::NotifyAll(EChgStackOpened);
    EXPECT_TRUE(Receiver::Log().isEmpty());
    for (const char* name : {"CVexilSearchForm", "CVexilFrame", "CVexilCardEdit"})
        CVexilWinMan::NameToForm(QLatin1String(name));
    CVexilFormRegistry::NameToForm(QStringLiteral("MainForm"));
    CVexilWinMan::NotifyAll(EChgCards);
    EXPECT_EQ(Receiver::Log(), QStringList({"CVexilSearchForm:3", "CVexilFrame:3", "CVexilCardEdit:3"}));
}

TEST_F(WinManForms, WindowsUnloadedOrLoadedDuringTheBroadcast)
{
    for (const char* name : {"CVexilFrame", "CVexilSearchForm", "CVexilCardEdit"})
        CVexilWinMan::NameToForm(QLatin1String(name));
    // The first receiver unloads itself and the next, and loads a window that comes too late.
    Receiver::OnNotify = [](const QString& aName) {
        if (aName != QLatin1String("CVexilFrame"))
            return;
        CVexilFormRegistry::Unload(QStringLiteral("CVexilFrame"));
        CVexilFormRegistry::Unload(QStringLiteral("CVexilSearchForm"));
        CVexilWinMan::NameToForm(QStringLiteral("CVexilStackEdit"));
    };
    CVexilWinMan::NotifyAll(EChgClosingStack);
    EXPECT_EQ(Receiver::Log(), QStringList({"CVexilFrame:7", "CVexilCardEdit:7"}));

    // An event handled in the broadcast's first yield unloads the last window and makes a
    // new instance of it: neither receives this broadcast.
    Receiver::Log().clear();
    Receiver::OnNotify = nullptr;
    QTimer::singleShot(0, [] {
        CVexilFormRegistry::Unload(QStringLiteral("CVexilCardEdit"));
        CVexilWinMan::NameToForm(QStringLiteral("CVexilCardEdit"));
    });
    CVexilWinMan::NotifyAll(EChgStackClosed);
    EXPECT_EQ(Receiver::Log(), QStringList({"CVexilStackEdit:8"}));
    CVexilWinMan::NotifyAll(EChgStackClosed);
    EXPECT_EQ(Receiver::Log(), QStringList({"CVexilStackEdit:8", "CVexilStackEdit:8", "CVexilCardEdit:8"}));
}

TEST_F(WinManForms, PlacementsStoredUnderWindows)
{
    TempRegistry registry;
    CVexilForm* search = CVexilWinMan::NameToForm(QStringLiteral("CVexilSearchForm"));
    ASSERT_NE(search, nullptr);
    search->Move(1500, 1200, 4500, 3000);
    CVexilFormPlacement::Save(*search);
    QString text;
    bool found = false;
    CVexilReg::GetVal(CVexilReg::KWindows, QStringLiteral("CVexilSearchForm"), text, found);
    EXPECT_EQ(text, QStringLiteral("1500,1200,4500,3000"));
    search->Move(0, 0, 3000, 3000);
    CVexilFormPlacement::Restore(*search);
    EXPECT_EQ((TWinRect{search->Left(), search->Top(), search->Width(), search->Height()}),
              (TWinRect{1500, 1200, 4500, 3000}));

    // The main window: nothing stored gives the default rectangle, an invalid text nothing.
    CVexilForm* frame = CVexilWinMan::NameToForm(QStringLiteral("CVexilFrame"));
    ASSERT_NE(frame, nullptr);
    frame->Move(30, 45, 6000, 4500);
    CVexilReg::PutVal(CVexilReg::KWindows, QStringLiteral("CVexilFrame"), QStringLiteral("0,0,0,0"));
    CVexilFormPlacement::Restore(*frame);
    EXPECT_EQ((TWinRect{frame->Left(), frame->Top(), frame->Width(), frame->Height()}),
              (TWinRect{30, 45, 6000, 4500}));
}
}  // namespace
