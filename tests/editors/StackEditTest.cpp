// The stack properties window as the user works it: the stack shown, flags, colour, fonts and
// description written only by Modify, and the background list following the stack.

#include "ScriptStackFixture.h"
#include "foundation/VexilFont.h"

#include <QCheckBox>

#include <utility>

namespace
{
// Stands in for the background editor, which the stack editor reaches by its class name.
class BackgroundEditStandIn final : public CVexilManagedForm
{
    Q_OBJECT

public:
    BackgroundEditStandIn() : CVexilManagedForm(QStringLiteral("CVexilBackgroundEdit")) {}
    Q_INVOKABLE void SetAndShowBackground(const TControlSetRef& aBackground) { iShown.push_back(aBackground); }

    std::vector<TControlSetRef> iShown;
};

class StackEditTest : public ScriptStackFixture
{
protected:
    static void Tick(QCheckBox* aBox, bool aOn)
    {
        if (aBox->isChecked() != aOn)
            QTest::mouseClick(aBox, Qt::LeftButton, {}, QPoint(8, aBox->height() / 2));
    }

    static QStringList Lines(const QTreeWidget* aView)
    {
        QStringList lines;
        for (int i = 0; i < aView->topLevelItemCount(); ++i)
            lines += aView->topLevelItem(i)->text(0);
        return lines;
    }

    static std::shared_ptr<CVexilFont> Font(const QString& aFace, int16_t aSize, int32_t aColor)
    {
        auto font = std::make_shared<CVexilFont>();
        font->Construct(aFace, aSize, aColor);
        return font;
    }
};

TEST(StackEditFileTitle, TheNameIsThePartAfterTheLastSlashOrBackslash)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"stacks/a.Quorvan", "a.Quorvan"}, {"C:\\Data\\b.Quorvan", "b.Quorvan"}, {"d/e\\c.xml", "c.xml"},
        {"d\\e/c.xml", "c.xml"},           {"a.Quorvan", "a.Quorvan"},           {"", ""},
        {"stacks/", ""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(CVexilStackEdit::FileTitle(path), title) << path.toStdString();
}

TEST_F(StackEditTest, InfoShowsTheStackWithModifyDisabled)
{
    gStack->SetFilename(QStringLiteral("stacks/a.Quorvan"));
    gStack->SetDescr(QStringLiteral("Groceries"));
    gStack->SetFont(Font(QStringLiteral("Courier"), 240, 255));
    gStack->SetFlags(EStkBinary | EStkOpenLandscape);
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Stack"));
    EXPECT_EQ(editor->fModeText->text(), QStringLiteral("a.Quorvan"));
    EXPECT_EQ(editor->fFileName->text(), QStringLiteral("stacks/a.Quorvan"));
    EXPECT_TRUE(editor->fFileName->isReadOnly());
    EXPECT_EQ(editor->fDescr->text(), QStringLiteral("Groceries"));
    EXPECT_EQ(editor->fFontName->text(), gStack->Font()->FaceNameWithFlags());
    EXPECT_EQ(editor->fFontSize->text(), gStack->Font()->PointSizeStr());
    EXPECT_TRUE(editor->fFontName->isReadOnly());
    EXPECT_TRUE(editor->fListFontName->text().isEmpty());
    EXPECT_TRUE(editor->fBinary->isChecked());
    EXPECT_FALSE(editor->fOpenFullScreen->isChecked());
    EXPECT_TRUE(editor->fOpenLandscape->isChecked());
    EXPECT_EQ(Lines(editor->fBackgroundBox), (QStringList{"Item", "Other"}));
    EXPECT_FALSE(editor->fModifyBut->isEnabled());
}

TEST_F(StackEditTest, TheToolbarButtonOpensTheWindowInTheDocumentArea)
{
    Item(QStringLiteral("EditStack"))->trigger();
    ASSERT_NE(StackEditor(), nullptr);
    EXPECT_TRUE(StackEditor()->isVisible());
    EXPECT_EQ(StackEditor()->SubWindow()->mdiArea(), Frame()->DocumentArea());
}

TEST_F(StackEditTest, ADoubleClickOnABackgroundShowsItInTheBackgroundEditor)
{
    CVexilFormRegistry::Register(QStringLiteral("CVexilBackgroundEdit"), [] { return new BackgroundEditStandIn; });
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    const QList<QTreeWidgetItem*> lines = editor->fBackgroundBox->findItems(QStringLiteral("Other"), Qt::MatchExactly);
    ASSERT_EQ(lines.size(), 1);
    const QPoint at = editor->fBackgroundBox->visualItemRect(lines[0]).center();
    QTest::mouseClick(editor->fBackgroundBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(editor->fBackgroundBox->viewport(), Qt::LeftButton, {}, at);
    auto* backgrounds = static_cast<BackgroundEditStandIn*>(Loaded(QStringLiteral("CVexilBackgroundEdit")));
    ASSERT_NE(backgrounds, nullptr);
    EXPECT_TRUE(backgrounds->isVisible());
    EXPECT_EQ(backgrounds->iShown, std::vector<TControlSetRef>{Background(QStringLiteral("Other"))});
}

TEST_F(StackEditTest, ModifyWritesOnlyTheThreeFlagsAsTicked)
{
    gStack->SetFlags(EStkBinary | EStkOpenFullScreen | 64);
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    Tick(editor->fBinary, false);
    EXPECT_TRUE(editor->fModifyBut->isEnabled());
    Tick(editor->fOpenFullScreen, false);
    Tick(editor->fOpenLandscape, true);
    EXPECT_EQ(gStack->Flags(), EStkBinary | EStkOpenFullScreen | 64);
    Click(editor->fModifyBut);
    EXPECT_EQ(gStack->Flags(), EStkOpenLandscape);
    EXPECT_FALSE(editor->fModifyBut->isEnabled());
}

TEST_F(StackEditTest, ClearAndModifyStoreNoColourAndTheSameColourChangesNothing)
{
    gStack->SetBackColor(255);
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    prompts.ExpectColor(255);
    Click(editor->fSelectColorBut);
    prompts.ExpectColor(std::nullopt);
    Click(editor->fSelectColorBut);
    EXPECT_EQ(prompts.ColorStarts(), (std::vector<int32_t>{255, 255}));
    EXPECT_FALSE(editor->fModifyBut->isEnabled());

    Click(editor->fClearColorBut);
    EXPECT_TRUE(editor->fModifyBut->isEnabled());
    EXPECT_EQ(gStack->BackColor(), 255);
    Click(editor->fModifyBut);
    EXPECT_EQ(gStack->BackColor(), UndefLong);

    prompts.ExpectColor(0x00FF00);
    Click(editor->fSelectColorBut);
    EXPECT_TRUE(editor->fModifyBut->isEnabled());
    Click(editor->fModifyBut);
    EXPECT_EQ(gStack->BackColor(), 0x00FF00);
}

TEST_F(StackEditTest, ModifyStoresTheDescriptionAndThePickedFontsThemselves)
{
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor->fDescr, Qt::LeftButton);
    QTest::keyClicks(editor->fDescr, QStringLiteral("Shop list"));
    EXPECT_TRUE(editor->fModifyBut->isEnabled());
    const auto card = Font(QStringLiteral("Courier"), 200, 0);
    const auto list = Font(QStringLiteral("Tahoma"), 160, UndefLong);
    // The font picker's answers.
    editor->SetFont(card, 0);
    editor->SetFont(list, 1);
    EXPECT_EQ(editor->fFontName->text(), card->FaceNameWithFlags());
    EXPECT_EQ(editor->fListFontName->text(), list->FaceNameWithFlags());
    EXPECT_EQ(gStack->Font(), nullptr);
    Click(editor->fModifyBut);
    EXPECT_EQ(gStack->Descr(), QStringLiteral("Shop list"));
    EXPECT_EQ(gStack->Font(), card);
    EXPECT_EQ(gStack->ListFont(), list);
    EXPECT_TRUE(gStack->Changed());
}

TEST_F(StackEditTest, ABackgroundCreatedElsewhereAppearsAndClosingTheStackClosesTheWindow)
{
    CVexilStackEdit* editor = OpenStackEditor();
    ASSERT_NE(editor, nullptr);
    // As the background editor creates one.
    const TControlSetRef extra = NewBackground(*gStack, QStringLiteral("Extra"));
    CVexilWinMan::NotifyAll(EChgStructure, extra);
    EXPECT_EQ(Lines(editor->fBackgroundBox), (QStringList{"Item", "Other", "Extra"}));

    ScriptedPrompts::Instance().ExpectSaveChanges(1);
    CVexilStackCmds::Close();
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(StackEditor(), nullptr);
}
}  // namespace

#include "StackEditTest.moc"
