#include "PickerFixture.h"

#include "AssertAnswers.h"
#include "editors/VexilFontChain.h"
#include "editors/VexilFontSelect.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "shell/VexilOptions.h"

#include <QFile>

#include <optional>

namespace
{
std::shared_ptr<CVexilFont> Font(const QString& aFace, int16_t aSize, int32_t aColor = UndefLong, int32_t aFlags = 0)
{
    auto font = std::make_shared<CVexilFont>();
    font->Construct(aFace, aSize, aColor);
    font->SetFlags(aFlags);
    return font;
}

// ---- the typed font, without a window

struct SizeCase
{
    const char* Text;
    int32_t Msg;
    int16_t Size;
};

TEST(FontInput, APointSizeIsAPositiveNumberOfOneTo32767Twentieths)
{
    const SizeCase cases[] = {
        {"", 0, UndefInt},
        {"  ", 0, UndefInt},
        {"14", 0, 280},
        {" 10.5 ", 0, 210},
        {"0.05", 0, 1},
        {"0.125", 0, 2},  // 2.5 twentieths: a half goes to the even one
        {"1638.35", 0, 32767},
        {"0.02", EMsgNotNum, UndefInt},
        {"0", EMsgNotNum, UndefInt},
        {"-3", EMsgNotNum, UndefInt},
        {"abc", EMsgNotNum, UndefInt},
        {"12pt", EMsgNotNum, UndefInt},
        {"1638.4", EMsgNumTooHigh, UndefInt},
        {"2000", EMsgNumTooHigh, UndefInt},
        {"1e9", EMsgNumTooHigh, UndefInt},
    };
    for (const SizeCase& c : cases)
    {
        int16_t size = 0;
        EXPECT_EQ(CVexilFontInput::ReadSize(QString::fromLatin1(c.Text), size), c.Msg) << c.Text;
        EXPECT_EQ(size, c.Size) << c.Text;
    }
    LocaleScope comma(kCommaLocale);
    int16_t size = 0;
    EXPECT_EQ(CVexilFontInput::ReadSize(QStringLiteral("10,5"), size), 0);
    EXPECT_EQ(size, 210);
}

TEST(FontInput, OnlyOtherFacesThanThePhonesOwnNeedAnInstalledFont)
{
    EXPECT_FALSE(CVexilFontInput::NeedsInstalledFont(QString()));
    EXPECT_FALSE(CVexilFontInput::NeedsInstalledFont(QStringLiteral("Sans-Serif Latin")));
    EXPECT_FALSE(CVexilFontInput::NeedsInstalledFont(QStringLiteral("sans-SERIF latin")));
    EXPECT_TRUE(CVexilFontInput::NeedsInstalledFont(QStringLiteral("Arial")));
}

// ---- the font chain, without a window

struct ChainCase
{
    const char* Name;
    int32_t Level;
    std::shared_ptr<CVexilFont> StackFont, BackgroundFont, CardFont, ControlFont;
    bool WithCard;
    TFontInput Input;
    QString Face;  // of the result, with its attributes
    int16_t Size;
    int32_t Color;
    QStringList Rows;  // label | face | size of each visible row
};

class FontChainTable : public ::testing::TestWithParam<ChainCase>
{
};

TEST_P(FontChainTable, LaysTheLevelsOverOneAnotherUpToTheEditedOne)
{
    const ChainCase& c = GetParam();
    CVexilStack stack;
    stack.Construct(QStringLiteral("People"));
    stack.SetFont(c.StackFont);
    const TControlSetRef background = stack.Background(0);
    background->SetName(QStringLiteral("Person"));
    background->SetFont(c.BackgroundFont);
    const TControlRef control = NewField(stack, *background, QStringLiteral("City"), EConTypeText);
    control->SetFont(c.ControlFont);
    const TCardRef card = NewCard(stack, QStringLiteral("Adams"), background);
    card->SetFont(c.CardFont);

    const CVexilFontChain::TResult result = CVexilFontChain::Evaluate(
        c.Level, {&stack, background.get(), c.WithCard ? card.get() : nullptr, control.get()}, c.Input);

    EXPECT_EQ(result.Font->FaceNameWithFlags(), c.Face);
    EXPECT_EQ(result.Font->Size(), c.Size);
    EXPECT_EQ(result.Font->ForeColor(), c.Color);
    QStringList rows;
    for (const TFontLevelRow& row : result.Rows)
    {
        if (row.Visible)
            rows += row.Label + QLatin1Char('|') + row.FaceName + QLatin1Char('|') + row.Size;
        else
            EXPECT_TRUE(row.FaceName.isEmpty() && row.Size.isEmpty() && row.Color == UndefLong) << c.Name;
    }
    EXPECT_EQ(rows, c.Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, FontChainTable,
    ::testing::Values(
        ChainCase{"StackFaceAndBackgroundSize", ELevelBackground, Font("Verdana", UndefInt), nullptr, nullptr,
                  nullptr, true, TFontInput{"", "14", UndefLong, 0}, "Verdana", 280, 0,
                  QStringList{"Stack  \"People\":|Verdana|", "Background  \"Person\":||14"}},
        ChainCase{"NothingSet", ELevelControl, nullptr, nullptr, nullptr, nullptr, true, TFontInput{}, "Arial", 220, 0,
                  QStringList{"Stack  \"People\":||", "Background  \"Person\":||", "Card  \"Adams\":||",
                              "Control  \"City\":||"}},
        ChainCase{"NoCard", ELevelControl, nullptr, Font("", 300, 0x0000FF), nullptr, nullptr, false, TFontInput{},
                  "Arial", 300, 0x0000FF,
                  QStringList{"Stack  \"People\":||", "Background  \"Person\":||15", "Card:|<no card>|<no card>",
                              "Control  \"City\":||"}},
        // The later flags replace the earlier as a whole; the typed colour and face win.
        ChainCase{"LaterLevelsWin", ELevelCard, Font("Verdana", 200, 0x00FF00, EFontBold), nullptr,
                  Font("", UndefInt, UndefLong, EFontItalic), Font("Courier", 400), true,
                  TFontInput{"Tahoma", "", 0x112233, EFontUnderline}, "Tahoma Underline", 200, 0x112233,
                  QStringList{"Stack  \"People\":|Verdana Bold|10", "Background  \"Person\":||",
                              "Card  \"Adams\":|Tahoma Underline|"}},
        // A size the picker refuses adds no size; the row shows it as typed.
        ChainCase{"RefusedSize", ELevelStack, nullptr, nullptr, nullptr, nullptr, true,
                  TFontInput{"", "2000", UndefLong, 0}, "Arial", 220, 0, QStringList{"Stack  \"People\":||2000"}}),
    [](const ::testing::TestParamInfo<ChainCase>& aInfo) { return std::string(aInfo.param.Name); });

// ---- the window

class FontSelectTest : public PickerFixture
{
protected:
    static void SetUpTestSuite()
    {
        PickerFixture::SetUpTestSuite();
        CVexilCardSelect::Register();
        CVexilFontSelect::Register();
    }
    void SetUp() override
    {
        PickerFixture::SetUp();
        gSuppressFontInfo = true;
    }

    // The picker as an editor opens it.
    CVexilFontSelect& OpenPicker(int16_t aCase, int32_t aLevel, const TControlSetRef& aBackground,
                                 const TCardRef& aCard, const TControlRef& aControl, const CVexilFont* aFont)
    {
        PickerCaller* caller = PickerCaller::Instance();
        CVexilWinMan::ShowForm(*caller);
        CVexilFontSelect* picker = CVexilFontSelect::Instance();
        CVexilWinMan::ShowForm(*picker);
        EXPECT_TRUE(QTest::qWaitForWindowActive(picker));
        picker->SelectFont(caller, aCase, aLevel, aBackground, aCard, aControl, aFont);
        return *picker;
    }
    CVexilFontSelect& OpenForCity(const CVexilFont* aFont = nullptr)
    {
        return OpenPicker(0, ELevelControl, Background(QStringLiteral("Person")), nullptr,
                          Field(QStringLiteral("Person"), QStringLiteral("City")), aFont);
    }

    static void Type(QLineEdit& aBox, const QString& aText)
    {
        aBox.setFocus();
        QTest::keyClick(&aBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&aBox, Qt::Key_Delete);
        QTest::keyClicks(&aBox, aText);
    }
    static void Leave(QWidget& aBox) { QTest::keyClick(&aBox, Qt::Key_Tab); }
    static QStringList Row(const CVexilFontSelect::TLevelRow& aRow)
    {
        if (!aRow.Label->isVisible())
            return {};
        return {aRow.Label->text(), aRow.Name->text(), aRow.Size->text()};
    }
    static std::vector<int32_t> MessageIds()
    {
        std::vector<int32_t> ids;
        for (const TMsgPrompt& msg : ScriptedPrompts::Instance().Messages())
            ids.push_back(msg.Id);
        return ids;
    }
};

TEST_F(FontSelectTest, AFieldsFontWithoutCardShowsTheFirstCardOrNoCard)
{
    CVexilFontSelect* picker = &OpenForCity();
    EXPECT_EQ(picker->Caption(), QStringLiteral("Select Font"));
    EXPECT_EQ(Row(picker->fLevels[ELevelCard]), (QStringList{"Card  \"Adams\":", "", ""}));
    EXPECT_TRUE(picker->fSelectCardBut->isVisible());
    EXPECT_TRUE(picker->fSelectCardBut->isEnabled());
    EXPECT_EQ(picker->fResultFontName->text(), QStringLiteral("Arial"));
    EXPECT_EQ(picker->fResultFontSize->text(), QStringLiteral("11"));
    EXPECT_EQ(picker->fFontSample->text(), CVexilFontSelect::KSampleText);
    EXPECT_EQ(picker->fFontSample->font().pointSizeF(), 11.0) << "the sample shows the true size";
    EXPECT_TRUE(picker->fLevels[ELevelCard].Name->isReadOnly());

    const TControlSetRef empty = Background(QStringLiteral("Empty"));
    const TControlRef field = NewField(*gStack, *empty, QStringLiteral("Note"), EConTypeText);
    picker->SelectFont(PickerCaller::Instance(), 0, ELevelControl, empty, nullptr, field, nullptr);
    EXPECT_EQ(Row(picker->fLevels[ELevelCard]), (QStringList{"Card:", "<no card>", "<no card>"}));
}

TEST_F(FontSelectTest, EditingABackgroundsFontShowsOnlyTheStackAndItself)
{
    gStack->SetFont(Font(QStringLiteral("Verdana"), UndefInt));
    const TControlSetRef person = Background(QStringLiteral("Person"));
    person->SetFont(Font(QString(), 280));
    CVexilFontSelect& picker = OpenPicker(0, ELevelBackground, person, nullptr, nullptr, person->Font().get());

    EXPECT_EQ(Row(picker.fLevels[ELevelStack]), (QStringList{"Stack  \"People\":", "Verdana", ""}));
    EXPECT_EQ(Row(picker.fLevels[ELevelBackground]), (QStringList{"Background  \"Person\":", "", "14"}));
    EXPECT_TRUE(Row(picker.fLevels[ELevelCard]).isEmpty());
    EXPECT_TRUE(Row(picker.fLevels[ELevelControl]).isEmpty());
    EXPECT_FALSE(picker.fSelectCardBut->isVisible());
    EXPECT_EQ(picker.fResultFontName->text(), QStringLiteral("Verdana"));
    EXPECT_EQ(picker.fResultFontSize->text(), QStringLiteral("14"));
    EXPECT_EQ(picker.ResultFont()->ForeColor(), 0);
    EXPECT_EQ(picker.fFontSample->font().family(), QStringLiteral("Verdana"));
    EXPECT_EQ(picker.fFontSample->font().pointSizeF(), 14.0);

    // Bold ticked: the result follows at once.
    QTest::mouseClick(picker.fBold, Qt::LeftButton);
    EXPECT_EQ(picker.fResultFontName->text(), QStringLiteral("Verdana Bold"));
}

TEST_F(FontSelectTest, SaveHandsTheTypedFontToTheCallerOnce)
{
    CVexilFontSelect& picker = OpenForCity(Font(QStringLiteral("Courier"), 240, 0x0000FF, EFontItalic).get());
    EXPECT_EQ(picker.fFontName->text(), QStringLiteral("Courier"));
    EXPECT_EQ(picker.fFontSize->text(), QStringLiteral("12"));
    EXPECT_TRUE(picker.fItalic->isChecked());

    Type(*picker.fFontName, QStringLiteral("Sans-Serif Latin"));
    Type(*picker.fFontSize, QStringLiteral("10.5"));
    QTest::mouseClick(picker.fClearColorBut, Qt::LeftButton);
    QTest::mouseClick(picker.fSelectFontBut, Qt::LeftButton);

    ASSERT_EQ(PickerCaller::iFonts.size(), 1U);
    const CVexilFont& saved = *PickerCaller::iFonts[0].first;
    EXPECT_EQ(saved.FaceName(), QStringLiteral("Sans-Serif Latin"));
    EXPECT_EQ(saved.Size(), 210);
    EXPECT_EQ(saved.ForeColor(), UndefLong);
    EXPECT_EQ(saved.Flags(), EFontItalic);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_FALSE(picker.fSelectFontBut->isEnabled()) << "no caller after Save";
}

TEST_F(FontSelectTest, AnEmptySizeIsNoSize)
{
    CVexilFontSelect& picker = OpenPicker(3, ELevelStack, nullptr, nullptr, nullptr, nullptr);
    QTest::mouseClick(picker.fSelectFontBut, Qt::LeftButton);
    ASSERT_EQ(PickerCaller::iFonts.size(), 1U);
    EXPECT_EQ(PickerCaller::iFonts[0].first->Size(), UndefInt);
    EXPECT_EQ(PickerCaller::iFonts[0].second, 3);
}

TEST_F(FontSelectTest, ASizeThatIsNoPointSizeIsRefusedAndKeepsTheFocus)
{
    struct Refused
    {
        QString Text;
        int32_t Msg;
        QStringList Params;
    };
    const Refused cases[] = {{"abc", EMsgNotNum, {"abc", "Point size", "<undef>"}},
                             {"2000", EMsgNumTooHigh, {"2000", "Point size", "1638.35"}}};
    CVexilFontSelect& picker = OpenForCity();
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    for (const Refused& c : cases)
    {
        Type(*picker.fFontSize, c.Text);
        prompts.ExpectMessage();
        Leave(*picker.fFontSize);
        EXPECT_TRUE(picker.fFontSize->hasFocus()) << c.Text.toStdString();

        prompts.ExpectMessage();
        QTest::mouseClick(picker.fSelectFontBut, Qt::LeftButton);
        EXPECT_TRUE(picker.isVisible());
        EXPECT_TRUE(picker.fFontSize->hasFocus());
        ASSERT_GE(prompts.Messages().size(), 2U);
        for (size_t i = prompts.Messages().size() - 2; i < prompts.Messages().size(); ++i)
        {
            EXPECT_EQ(prompts.Messages()[i].Id, c.Msg);
            EXPECT_EQ(prompts.Messages()[i].Class, EMsgClsCritical);
            EXPECT_EQ(prompts.Messages()[i].Params, c.Params);
        }
    }
    EXPECT_TRUE(PickerCaller::iFonts.empty());

    Type(*picker.fFontSize, QStringLiteral("9"));
    Leave(*picker.fFontSize);
    EXPECT_FALSE(picker.fFontSize->hasFocus());
    QTest::mouseClick(picker.fSelectFontBut, Qt::LeftButton);
    ASSERT_EQ(PickerCaller::iFonts.size(), 1U);
    EXPECT_EQ(PickerCaller::iFonts[0].first->Size(), 180);
}

TEST_F(FontSelectTest, TheFaceNameWarningShowsOnceAndIsStored)
{
    gSuppressFontInfo = false;
    CVexilFontSelect& picker = OpenForCity();
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    Type(*picker.fFontName, QStringLiteral("sans-serif LATIN"));
    Leave(*picker.fFontName);
    EXPECT_TRUE(prompts.Messages().empty());

    Type(*picker.fFontName, QStringLiteral("Verdana"));
    prompts.ExpectMessage();
    Leave(*picker.fFontName);
    ASSERT_EQ(prompts.Messages().size(), 1U);
    EXPECT_EQ(prompts.Messages()[0].Id, EMsgFontSupport);
    EXPECT_EQ(prompts.Messages()[0].Class, EMsgClsExclamation);
    EXPECT_EQ(prompts.Messages()[0].Params.value(0), QStringLiteral("Verdana"));
    EXPECT_FALSE(picker.fFontName->hasFocus());

    Type(*picker.fFontName, QStringLiteral("Tahoma"));
    Leave(*picker.fFontName);
    EXPECT_EQ(prompts.Messages().size(), 1U);
    EXPECT_TRUE(gSuppressFontInfo);

    QFile settings(iRegistry.FileName());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(settings.readAll()).contains(QStringLiteral("SuppressFontInfo=True")));
}

TEST_F(FontSelectTest, TheFontDialogTakesItsChoiceAndAlwaysLeavesAColour)
{
    CVexilFontSelect& picker = OpenForCity();
    Type(*picker.fFontName, QStringLiteral("Courier"));
    Type(*picker.fFontSize, QStringLiteral("9"));
    QTest::mouseClick(picker.fBold, Qt::LeftButton);
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();

    prompts.ExpectFont(std::nullopt);
    QTest::mouseClick(picker.fFontDialogBut, Qt::LeftButton);
    EXPECT_EQ(picker.fFontName->text(), QStringLiteral("Courier"));

    TFontPrompt chosen;
    chosen.FaceName = QStringLiteral("Sans-Serif Latin");
    chosen.Italic = true;
    chosen.Size = 12.5F;
    chosen.Color = 0;
    prompts.ExpectFont(chosen);
    QTest::mouseClick(picker.fFontDialogBut, Qt::LeftButton);

    TFontPrompt start;
    start.FaceName = QStringLiteral("Courier");
    start.Bold = true;
    start.Size = 9;
    start.Color = 0;  // black when no colour is set
    ASSERT_EQ(prompts.FontStarts().size(), 2U);
    EXPECT_EQ(prompts.FontStarts()[0], start);
    EXPECT_EQ(picker.fFontName->text(), QStringLiteral("Sans-Serif Latin"));
    EXPECT_EQ(picker.fFontSize->text(), QStringLiteral("12.5"));
    EXPECT_FALSE(picker.fBold->isChecked());
    EXPECT_TRUE(picker.fItalic->isChecked());
    EXPECT_EQ(picker.fResultFontName->text(), QStringLiteral("Sans-Serif Latin Italic"));

    QTest::mouseClick(picker.fSelectFontBut, Qt::LeftButton);
    ASSERT_EQ(PickerCaller::iFonts.size(), 1U);
    EXPECT_EQ(PickerCaller::iFonts[0].first->ForeColor(), 0);
    EXPECT_EQ(PickerCaller::iFonts[0].first->Size(), 250);
}

TEST_F(FontSelectTest, SelectCardShowsTheChosenCardFromAPickerLimitedToTheBackground)
{
    CVexilFontSelect& picker = OpenForCity();
    QTest::mouseClick(picker.fSelectCardBut, Qt::LeftButton);
    CVexilCardSelect* cards = static_cast<CVexilCardSelect*>(CVexilFormRegistry::Loaded(CVexilCardSelect::KClassName));
    ASSERT_NE(cards, nullptr);
    EXPECT_EQ(cards->fBackgroundCombo->currentText(), QStringLiteral("Person"));
    EXPECT_TRUE(cards->fBackgroundCombo->Locked());

    Card(QStringLiteral("Clark"))->SetFont(Font(QStringLiteral("Verdana"), UndefInt));
    DoubleClickLine(*cards->fCardBox, QStringLiteral("Clark"));
    EXPECT_EQ(Row(picker.fLevels[ELevelCard]), (QStringList{"Card  \"Clark\":", "Verdana", ""}));
    EXPECT_EQ(picker.fResultFontName->text(), QStringLiteral("Verdana"));

    // Another case is a fault of the caller: nothing changes.
    {
        IgnoredAssert fault(QStringLiteral("SetCard aCase"));
        picker.SetCard(Card(QStringLiteral("Evans")), 1);
    }
    EXPECT_EQ(picker.fLevels[ELevelCard].Label->text(), QStringLiteral("Card  \"Clark\":"));
}

TEST_F(FontSelectTest, CancelUnloadsWithoutAnswer)
{
    CVexilFontSelect& picker = OpenForCity();
    Type(*picker.fFontSize, QStringLiteral("20"));
    QTest::mouseClick(picker.fCancelBut, Qt::LeftButton);
    EXPECT_FALSE(CVexilWinMan::IsFormLoaded(CVexilFontSelect::KClassName));
    EXPECT_TRUE(PickerCaller::iFonts.empty());
}
}  // namespace
