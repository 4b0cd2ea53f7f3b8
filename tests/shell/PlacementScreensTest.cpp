// What the user sees of window placements, sizes and the main window's status bar and card
// window head in the running program: placements read back what was stored, windows fit
// their contents, texts show whole or in full as tool tips.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "SampleStack.h"
#include "WindowFit.h"
#include "model/VexilControlSet.h"
#include "platform/VexilStatusPanel.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStatusBar>

#include <array>

namespace
{
class PlacementScreensTest : public ProgramFixture
{
protected:
    void StartSample()
    {
        Start({SampleStack::Save(QDir(StackFolder()).filePath(QStringLiteral("Sample.Quorvan")))});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
    }
    // Closes a window with the close box of its frame, as the user does.
    static void CloseByUser(const QString& aClassName)
    {
        CVexilForm* form = Loaded(aClassName);
        ASSERT_NE(form, nullptr);
        form->SubWindow()->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(Loaded(aClassName), nullptr);
    }
    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        gStackView->CurCard()->Background()->GetControlByName(aName, field);
        return field;
    }
};

TEST_F(PlacementScreensTest, StartingAndQuittingAgainAndAgainStoresTheSameMainWindowPlacement)
{
    QStringList stored;
    for (int run = 0; run < 3; ++run)
    {
        Start();
        CardWindowUser::Activate(Frame());
        const QRect shown = Frame()->geometry();
        Choose(QStringLiteral("fQuorvans"), QStringLiteral("fClose"));
        ASSERT_EQ(iEnded.size(), size_t(run + 1));
        stored.append(Setting(QStringLiteral("Windows"), QStringLiteral("CVexilFrame")));
        Stop();
        if (run > 0)
        {
            EXPECT_EQ(stored[run], stored[0]) << "run " << run;
        }
        EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(shown)) << WindowFit::Describe(shown).toStdString();
    }
}

TEST_F(PlacementScreensTest, EditorsOpenedAgainComeBackWhereAndAsLargeAsTheyWere)
{
    StartSample();
    for (const auto& [item, name] : {std::pair{"fEditBackgrounds", "CVexilBackgroundEdit"},
                                     std::pair{"fEditCards", "CVexilCardEdit"},
                                     std::pair{"fEditControls", "CVexilControlEdit"},
                                     std::pair{"fEditStack", "CVexilStackEdit"}})
    {
        const QString className = QLatin1String(name);
        CVexilForm* form = OpenBy(QStringLiteral("fStack"), QLatin1String(item), className);
        ASSERT_NE(form, nullptr);
        // Moved by the user first (within the area), so that the stored placement is not the first one.
        form->SubWindow()->move(10, 12);
        const QRect frame = form->SubWindow()->geometry();
        const QSize client = form->size();
        CloseByUser(className);
        form = OpenBy(QStringLiteral("fStack"), QLatin1String(item), className);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->SubWindow()->geometry(), frame) << name;
        EXPECT_EQ(form->size(), client) << name;
        CloseByUser(className);
    }
}

TEST_F(PlacementScreensTest, AStoredPlacementTooSmallOrOutsideIsMadeToFit)
{
    StartSample();
    const QSize area = Frame()->DocumentArea()->viewport()->size();
    for (const char* stored : {"0,0,1500,1500", "150000,150000,6000,4500", "-3000,-3000,6000,4500"})
    {
        CVexilReg::PutVal(CVexilReg::KWindows, QStringLiteral("CVexilCardEdit"), QLatin1String(stored));
        CVexilForm* form = OpenBy(QStringLiteral("fStack"), QStringLiteral("fEditCards"), QStringLiteral("CVexilCardEdit"));
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(WindowFit::Faults(*form), QStringList()) << stored;
        EXPECT_GE(form->width(), form->ContentsSize().width()) << stored;
        EXPECT_GE(form->height(), form->ContentsSize().height()) << stored;
        EXPECT_LE(form->SubWindow()->geometry().right(), area.width()) << stored;
        CloseByUser(QStringLiteral("CVexilCardEdit"));
    }
}

TEST_F(PlacementScreensTest, StatusPanelsShowTheirTextsWithinTheirOwnPlaceAndWholeAsToolTips)
{
    Start();
    const QString request = QStringLiteral("GET /Stacks/A%20rather%20long%20stack%20name.Quorvan HTTP/1.0");
    const QString reply = QStringLiteral(
        "HTTP/1.0 200 OK, Content-Type: application/octet-stream, Content-Length: 123456789, Last-Modified: "
        "Fri, 11 Dec 2026 07:09:38 GMT");
    const QString state = QStringLiteral("Socket error: The bound address is already in use");
    Frame()->SetStatusPanel1(request);
    Frame()->SetStatusPanel2(reply);
    Frame()->SetStatusPanel3(state);
    QCoreApplication::processEvents();
    const std::array<QString, 3> texts{request, reply, state};
    QRect before;
    for (int i = 0; i < 3; ++i)
    {
        auto* panel = Frame()->findChild<CVexilStatusPanel*>(QStringLiteral("Panel%1").arg(i + 1));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(Frame()->StatusPanel(i + 1), texts[size_t(i)]);
        EXPECT_EQ(panel->toolTip(), texts[size_t(i)]);
        // What shows fits the panel, and the panels do not overlap.
        EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width()) << i;
        EXPECT_TRUE(panel->text() == texts[size_t(i)] || panel->text().endsWith(QChar(0x2026))) << panel->text().toStdString();
        EXPECT_GE(panel->geometry().left(), before.right()) << i;
        EXPECT_LE(panel->geometry().right(), panel->parentWidget()->width()) << i;
        before = panel->geometry();
    }
    // The server's state always shows whole.
    EXPECT_EQ(Frame()->findChild<CVexilStatusPanel*>(QStringLiteral("Panel3"))->text(), state);
}

TEST_F(PlacementScreensTest, TheCardHeadShowsOneLineAndProgressOnlyWhileAScriptRuns)
{
    StartSample();
    CVexilGenForm* window = CardWindow();
    EXPECT_FALSE(window->fProgressBox->isVisible());

    // Progress shows inside the window, at the right end of the head.
    gStackView->ShowProgress(50);
    EXPECT_TRUE(window->fProgressBox->isVisible());
    const QRect box(window->fProgressBox->mapTo(window, QPoint(0, 0)), window->fProgressBox->size());
    EXPECT_TRUE(window->rect().contains(box)) << WindowFit::Describe(box).toStdString();
    // A script that runs and ends takes it away.
    TControlRef next = Field(QStringLiteral("Go Next"));
    gStackView->ExecScript(next, QStringLiteral("select"));
    EXPECT_FALSE(window->fProgressBox->isVisible());

    // A card name with line breaks shows on one line, in the head and in the title.
    gStackView->CurCard()->SetControlVal(Field(QStringLiteral("Name"))->Id(),
                                         Val::Str(QStringLiteral("Anna\r\nMaria\nLuise")));
    ClickButton(QStringLiteral("NextCard"));
    ClickButton(QStringLiteral("PrevCard"));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Anna Maria Luise - "))) << window->windowTitle().toStdString();
    bool headFound = false;
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->isVisible() && label->text().startsWith(QStringLiteral("Anna")))
        {
            headFound = true;
            EXPECT_EQ(label->text(), QStringLiteral("Anna Maria Luise"));
        }
    EXPECT_TRUE(headFound);
}

TEST_F(PlacementScreensTest, DateAndTimeBoxesShowTheirWholeText)
{
    StartSample();
    for (const char* name : {"Born", "Wakes"})
    {
        QWidget* box = CardWindowUser::Input(Field(QLatin1String(name)));
        ASSERT_NE(box, nullptr) << name;
        QString text;
        int need = 0;
        int room = 0;
        ASSERT_TRUE(WindowFit::TextRoom(*box, text, need, room)) << name;
        EXPECT_LE(need, room) << name << " " << text.toStdString();
    }
}
}  // namespace
