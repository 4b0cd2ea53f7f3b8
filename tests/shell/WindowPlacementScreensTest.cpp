// Every window the program opens, opened as the user opens it, with the main window at its
// default placement: the window lies wholly in the visible document area with every control,
// no caption or label is cut, and it closes again. The test runs on more than one screen size.

#include "ProgramFixture.h"
#include "SampleStack.h"
#include "UserOpens.h"
#include "WindowFit.h"
#include "presentation/VexilCardListForm.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>

namespace
{
using UserOpens::TOpenCase;
using UserOpens::kCases;

// For scripts/screenshots: the whole screen as the user sees it now, as <folder>/<name>.png.
void SavePicture(const QString& aName)
{
    const QString folder = qEnvironmentVariable("QUORVANS_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QCoreApplication::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(folder).filePath(aName + QStringLiteral(".png")));
}

class WindowPlacementTest : public ProgramFixture, public ::testing::WithParamInterface<TOpenCase>
{
protected:
    // scripts/screenshots may name a stack of its own.
    void SetUp() override
    {
        const QString stack = qEnvironmentVariable("QUORVANS_STACK");
        Start({stack.isEmpty() ? SampleStack::Save(QDir(StackFolder()).filePath(QStringLiteral("Sample.Quorvan")))
                               : stack});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
    }
};

TEST_P(WindowPlacementTest, OpensWhollyInTheDocumentAreaWithEveryTextShownAndCloses)
{
    const QString name = QLatin1String(GetParam().ClassName);
    GetParam().Open();
    CVexilForm* form = Loaded(name);
    ASSERT_NE(form, nullptr) << "not opened";
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(WindowFit::Faults(*form), QStringList());
    SavePicture(name);
    // The main window stays on the screen.
    const QRect screen = Frame()->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(Frame()->geometry())) << WindowFit::Describe(Frame()->geometry()).toStdString();

    // The card window and the card list go with the stack.
    if (name == CVexilGenForm::KClassName || name == CVexilCardListForm::KClassName)
        return;
    form->SubWindow()->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Loaded(name), nullptr) << "still loaded";
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowPlacementTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TOpenCase>& aInfo) {
                             return std::string(aInfo.param.ClassName);
                         });
}  // namespace
