// Placements that go through a save and a new start, and the maximized layout of the document
// area. What the program stores of a window is where it opens the next time: opening, saving
// and quitting again and again stores the same figures, for windows at their normal size and
// for maximized ones, which store the placement they return to. A maximized window that
// closes leaves the area maximized, with the window the user came from active.

#include "SampleStack.h"
#include "UserOpens.h"
#include "editors/VexilScriptEdit.h"
#include "editors/VexilStackEdit.h"
#include "foundation/VexilRect.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilLibUi.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <set>
#include <string>

namespace
{
using UserOpens::TOpenCase;

QString RectText(const CVexilRect& aRect)
{
    return QStringLiteral("%1,%2,%3,%4").arg(aRect.X()).arg(aRect.Y()).arg(aRect.Width()).arg(aRect.Height());
}

// A window's rectangle in pixels as the registry keeps it.
QString RegistryText(const QRect& aPixels)
{
    return CVexilFormPlacement::RectToStr({CVexilCtl::PixelsToTwips(aPixels.x()), CVexilCtl::PixelsToTwips(aPixels.y()),
                                           CVexilCtl::PixelsToTwips(aPixels.width()),
                                           CVexilCtl::PixelsToTwips(aPixels.height())});
}

class StoredPlacementProgramTest : public ProgramFixture
{
protected:
    QString SampleFile() const { return QDir(StackFolder()).filePath(QStringLiteral("Sample.Quorvan")); }
    void Open(const QString& aPath)
    {
        Start({aPath});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
    }
    static void Quit() { Choose(QStringLiteral("fQuorvans"), QStringLiteral("fClose")); }

    static CVexilForm* CardList() { return Loaded(CVexilCardListForm::KClassName); }
    static QMdiArea* Area() { return Frame()->DocumentArea(); }
    static CVexilForm* ActiveWindow()
    {
        QMdiSubWindow* active = Area()->activeSubWindow();
        return active ? qobject_cast<CVexilForm*>(active->widget()) : nullptr;
    }

    // Maximizes a window in the document area, as its frame's maximize button does.
    static void Maximize(CVexilForm& aForm)
    {
        QMdiSubWindow* frame = aForm.SubWindow();
        ASSERT_NE(frame, nullptr);
        frame->showMaximized();
        ASSERT_TRUE(frame->isMaximized()) << aForm.objectName().toStdString();
    }
    // Closes a window with the close box of its frame, as the user does.
    static void CloseByUser(CVexilForm& aForm)
    {
        const QString name = aForm.objectName();
        aForm.SubWindow()->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(Loaded(name), nullptr) << name.toStdString();
    }

    // The card window's and the card list's placements in a stack file's view record.
    static QStringList StoredViewRects(const QString& aPath)
    {
        CVexilStackFile file;
        file.Construct(aPath);
        TStackRef stack;
        TStackViewRecRef view;
        file.LoadStack(stack, view);
        return {RectText(*view->CardViewRect()), RectText(*view->CardListRect())};
    }
    // Where the card window and the card list stand, as the stack view reads them.
    static QStringList ShownViewRects()
    {
        return {RectText(*CVexilLibUi::GetCtlRect(*CardWindow())), RectText(*CVexilLibUi::GetCtlRect(*CardList()))};
    }
    // Whether the keys go to the window: the focus is in it.
    static bool TakesKeys(const CVexilForm& aForm)
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus && (focus == &aForm || aForm.isAncestorOf(focus));
    }
    // The windows in the area that are maximized.
    static std::set<std::string> MaximizedWindows()
    {
        std::set<std::string> names;
        for (const QMdiSubWindow* frame : Area()->subWindowList())
            if (!frame->isHidden() && frame->isMaximized())
                names.insert(frame->widget()->objectName().toStdString());
        return names;
    }
};

// ---- the card window and the card list: the stack file's view record

class StackViewPlacementTest : public StoredPlacementProgramTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(StackViewPlacementTest, OpeningSavingAndQuittingStoresWhereTheWindowsOpenEveryTime)
{
    const QString maximized = QLatin1String(GetParam());
    const QString path = MakeStack(QStringLiteral("People.Quorvan"));
    QStringList stored;
    std::vector<QRect> frames;
    for (int run = 0; run < 3; ++run)
    {
        Open(path);
        const QStringList shown = ShownViewRects();
        if (run > 0)
        {
            EXPECT_EQ(shown, stored) << "run " << run << " opens where the last one stored";
        }
        frames.push_back(CardWindow()->SubWindow()->geometry());
        EXPECT_EQ(frames.back(), frames.front()) << "run " << run;
        if (!maximized.isEmpty())
            Maximize(*Loaded(maximized));

        Choose(QStringLiteral("fStack"), QStringLiteral("fSaveStack"));
        Quit();
        stored = StoredViewRects(path);
        // A maximized window stores the placement it returns to.
        EXPECT_EQ(stored, shown) << "run " << run;
        Stop();
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, StackViewPlacementTest, ::testing::Values("", "CVexilGenForm", "CVexilCardListForm"),
                         [](const ::testing::TestParamInfo<const char*>& aInfo) {
                             return *aInfo.param ? std::string(aInfo.param) + "Maximized" : std::string("Normal");
                         });

// ---- every other window: the registry's "Windows" section

class RegistryPlacementTest : public StoredPlacementProgramTest,
                              public ::testing::WithParamInterface<std::tuple<TOpenCase, bool>>
{
};

TEST_P(RegistryPlacementTest, OpeningClosingAndQuittingStoresWhereTheWindowOpensEveryTime)
{
    const auto& [open, maximized] = GetParam();
    const QString name = QLatin1String(open.ClassName);
    const bool main = name == QLatin1String(CVexilFormPlacement::KMainWindow);
    const QString path = SampleStack::Save(SampleFile());
    QStringList stored;
    for (int run = 0; run < 3; ++run)
    {
        Open(path);
        open.Open();
        CVexilForm* form = Loaded(name);
        ASSERT_NE(form, nullptr) << "not opened";
        const QString shown = RegistryText(main ? form->geometry() : form->SubWindow()->geometry());
        if (run > 0)
        {
            EXPECT_EQ(shown, stored.back()) << "run " << run << " opens where the last one stored";
        }
        if (maximized && main)
        {
            form->showMaximized();
            ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMaximized(); }));
        }
        else if (maximized)
            Maximize(*form);
        if (!main)
            CloseByUser(*form);
        Quit();
        stored.append(Setting(QStringLiteral("Windows"), name));
        // A maximized window stores the placement it returns to.
        EXPECT_EQ(stored.back(), shown) << "run " << run;
        Stop();
    }
}

// The main window and every window that keeps its placement in the registry: all but the
// card window and the card list (the stack file keeps theirs) and the welcome window.
std::vector<TOpenCase> RegistryCases()
{
    const std::set<std::string> elsewhere{"CVexilGenForm", "CVexilCardListForm", "CVexilWelcome"};
    std::vector<TOpenCase> cases{{CVexilFormPlacement::KMainWindow, [] {}}};
    for (const TOpenCase& open : UserOpens::kCases)
        if (!elsewhere.count(open.ClassName))
            cases.push_back(open);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, RegistryPlacementTest,
                         ::testing::Combine(::testing::ValuesIn(RegistryCases()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<TOpenCase, bool>>& aInfo) {
                             return std::string(std::get<0>(aInfo.param).ClassName) +
                                    (std::get<1>(aInfo.param) ? "Maximized" : "Normal");
                         });

// ---- the maximized layout

TEST_F(StoredPlacementProgramTest, ClosingAMaximizedWindowMaximizesAndActivatesTheWindowTheUserCameFrom)
{
    struct TClose
    {
        const char* Name;
        std::function<void(CVexilScriptEdit&)> Close;
    };
    const TClose closes[] = {
        {"Cancel", [](CVexilScriptEdit& aEditor) { QTest::mouseClick(aEditor.fCancelBut, Qt::LeftButton); }},
        {"Save",
         [](CVexilScriptEdit& aEditor) {
             QTest::mouseClick(aEditor.fSource->viewport(), Qt::LeftButton);
             QTest::keyClicks(aEditor.fSource, QStringLiteral("On openStack"));
             QTest::keyClick(aEditor.fSource, Qt::Key_Return);
             QTest::keyClicks(aEditor.fSource, QStringLiteral("End"));
             QTest::mouseClick(aEditor.fSaveBut, Qt::LeftButton);
         }},
    };
    Open(SampleStack::Save(SampleFile()));
    for (const TClose& close : closes)
    {
        SCOPED_TRACE(close.Name);
        CardWindowUser::Activate(Frame());
        Area()->setActiveSubWindow(CardWindow()->SubWindow());
        Maximize(*CardWindow());
        // Stack > Info..., then Script...: each opens maximized over the one before.
        auto* info = OpenBy<CVexilStackEdit>(QStringLiteral("fStack"), QStringLiteral("fEditStack"),
                                             CVexilStackEdit::KClassName);
        ASSERT_NE(info, nullptr);
        QTest::mouseClick(info->fScript, Qt::LeftButton);
        auto* script = qobject_cast<CVexilScriptEdit*>(Loaded(CVexilScriptEdit::KClassName));
        ASSERT_NE(script, nullptr);
        ASSERT_EQ(ActiveWindow(), script);
        ASSERT_EQ(MaximizedWindows(), std::set<std::string>{"CVexilScriptEdit"});

        close.Close(*script);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(Loaded(CVexilScriptEdit::KClassName), nullptr);
        EXPECT_EQ(ActiveWindow(), info);
        EXPECT_TRUE(TakesKeys(*info));
        EXPECT_EQ(MaximizedWindows(), std::set<std::string>{"CVexilStackEdit"});

        // Edit Stack closed in turn gives the area back to the card window.
        CloseByUser(*info);
        EXPECT_EQ(ActiveWindow(), CardWindow());
        EXPECT_TRUE(TakesKeys(*CardWindow()));
        EXPECT_EQ(MaximizedWindows(), std::set<std::string>{"CVexilGenForm"});
        CardWindow()->SubWindow()->showNormal();
    }
    EXPECT_EQ(gStack->ScriptSource(), QStringLiteral("On openStack\r\nEnd"));
}

TEST_F(StoredPlacementProgramTest, SavingTheStackKeepsTheMaximizedWindowActive)
{
    Open(SampleStack::Save(SampleFile()));
    for (const char* name : {"CVexilGenForm", "CVexilStackEdit"})
    {
        SCOPED_TRACE(name);
        CVexilForm* form = name == CVexilGenForm::KClassName
                               ? CardWindow()
                               : OpenBy(QStringLiteral("fStack"), QStringLiteral("fEditStack"), QLatin1String(name));
        ASSERT_NE(form, nullptr);
        Area()->setActiveSubWindow(form->SubWindow());
        Maximize(*form);
        Choose(QStringLiteral("fStack"), QStringLiteral("fSaveStack"));
        EXPECT_EQ(ActiveWindow(), form);
        EXPECT_EQ(MaximizedWindows(), std::set<std::string>{name});
    }
}
}  // namespace
