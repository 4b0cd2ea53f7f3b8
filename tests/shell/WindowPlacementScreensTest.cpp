// Every window the program opens, opened as the user opens it, with the main window at its
// default placement: the window lies wholly in the visible document area with every control,
// no caption or label is cut, and it closes again. The test runs on more than one screen size.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "SampleStack.h"
#include "WindowFit.h"
#include "model/VexilControlSet.h"
#include "presentation/VexilCardListForm.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>

#include <functional>

namespace
{
struct TOpenCase
{
    const char* ClassName;
    std::function<void()> Open;
};

void PrintTo(const TOpenCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.ClassName;
}

QAbstractButton* Button(const QString& aClassName, const QString& aName)
{
    CVexilForm* form = CVexilFormRegistry::Loaded(aClassName);
    return form ? form->findChild<QAbstractButton*>(aName) : nullptr;
}

void Click(const QString& aClassName, const QString& aName)
{
    QAbstractButton* button = Button(aClassName, aName);
    ASSERT_NE(button, nullptr) << aName.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

TControlRef Field(const QString& aName)
{
    TControlRef field;
    gStackView->CurCard()->Background()->GetControlByName(aName, field);
    return field;
}

// The fixture's menu choice, for the table.
struct TUser : ProgramFixture
{
    using ProgramFixture::Choose;
};

void Choose(const QString& aMenu, const QString& aItem)
{
    TUser::Choose(aMenu, aItem);
}

const QString kStack = QStringLiteral("fStack");

const TOpenCase kCases[] = {
    {"CVexilGenForm", [] {}},
    {"CVexilCardListForm", [] {}},
    {"CVexilNewStackForm", [] { Choose(kStack, QStringLiteral("fNewStack")); }},
    {"CVexilImportOptions", [] { Choose(kStack, QStringLiteral("fImport")); }},
    {"CVexilExportOptions", [] { Choose(kStack, QStringLiteral("fExport")); }},
    {"CVexilCsvExportOptions",
     [] {
         Choose(kStack, QStringLiteral("fExport"));
         Click(QStringLiteral("CVexilExportOptions"), QStringLiteral("fOkBut"));
     }},
    {"CVexilStackEdit", [] { Choose(kStack, QStringLiteral("fEditStack")); }},
    {"CVexilScriptEdit",
     [] {
         Choose(kStack, QStringLiteral("fEditStack"));
         Click(QStringLiteral("CVexilStackEdit"), QStringLiteral("fScript"));
     }},
    {"CVexilFontSelect",
     [] {
         Choose(kStack, QStringLiteral("fEditStack"));
         Click(QStringLiteral("CVexilStackEdit"), QStringLiteral("fSelectFontBut"));
     }},
    {"CVexilSearchForm", [] { Choose(kStack, QStringLiteral("fSearch")); }},
    {"CVexilBackgroundEdit", [] { Choose(kStack, QStringLiteral("fEditBackgrounds")); }},
    {"CVexilCardEdit", [] { Choose(kStack, QStringLiteral("fEditCards")); }},
    {"CVexilControlEdit", [] { Choose(kStack, QStringLiteral("fEditControls")); }},
    {"CVexilSortKeyEdit1", [] { Choose(kStack, QStringLiteral("fEditSortKeys")); }},
    {"CVexilValueEdit", [] { Choose(kStack, QStringLiteral("fEditValues")); }},
    {"CVexilCardSelect", [] { Choose(QStringLiteral("fCard"), QStringLiteral("fSelectCard")); }},
    {"CVexilOptionEdit", [] { Choose(QStringLiteral("fQuorvans"), QStringLiteral("fOptions")); }},
    {"CVexilWelcome", [] { Choose(QStringLiteral("fQuorvans"), QStringLiteral("fAbout")); }},
    {"CVexilWikiTextEdit",
     [] { QTest::mouseDClick(CardWindowUser::Input(Field(QStringLiteral("Notes"))), Qt::LeftButton); }},
    {"CVexilPictureViewer",
     [] { QTest::mouseDClick(CardWindowUser::Input(Field(QStringLiteral("Photo"))), Qt::LeftButton); }},
};

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
