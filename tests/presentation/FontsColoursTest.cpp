#include "RaisedError.h"
#include "StackBuild.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilWikiTextBox.h"

#include <QApplication>
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace
{

// A font level as the tests write it: face ("" unset), size (UndefInt unset), colour
// (UndefLong unset) and flags.
struct TFontDef
{
    const char* Face;
    int16_t Size;
    int32_t Color;
    int32_t Flags;
};

std::shared_ptr<CVexilFont> MakeFont(const std::optional<TFontDef>& aDef)
{
    if (!aDef)
        return nullptr;
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString::fromUtf8(aDef->Face), aDef->Size, aDef->Color);
    font->SetFlags(aDef->Flags);
    return font;
}

// A stack with one background, a card of it and a text field, and a window of controls.
class FontsColoursTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CVexilCardWidgets::Start(); }

    void SetUp() override
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Fonts"));
        iBg = iStack->Background(0);
        iField = NewField(*iStack, *iBg, QStringLiteral("Text"), EConTypeText);
        iCard = NewCard(*iStack, QStringLiteral("Card"), iBg);
        iTextBox = new CVexilTextBox(&iForm);
        iLabel = new CVexilLabel(&iForm);
        iButton = new CVexilCommandButton(&iForm);
        iCheckBox = new CVexilCheckBox(&iForm);
        iRichBox = new CVexilRichTextBox(&iForm);
    }

    // What the measuring window gives for a font.
    static QFontMetricsF Measured(const QFont& aFont)
    {
        return QFontMetricsF(aFont, CVexilLibUi::TestWindow());
    }

    TStackRef iStack;
    TControlSetRef iBg;
    TControlRef iField;
    TCardRef iCard;
    CVexilForm iForm;
    CVexilTextBox* iTextBox = nullptr;
    CVexilLabel* iLabel = nullptr;
    CVexilCommandButton* iButton = nullptr;
    CVexilCheckBox* iCheckBox = nullptr;
    CVexilRichTextBox* iRichBox = nullptr;
};

}  // namespace

TEST_F(FontsColoursTest, EffectiveFontAndWhatTheControlShows)
{
    constexpr int32_t red = 0x0000FF;
    constexpr int32_t green = 0x00FF00;
    struct TCase
    {
        const char* Name;
        std::optional<TFontDef> Stack, Background, Card, Field;
        bool WithField;
        TFontDef Expected;
        double Points;  // on the control
    };
    const TCase cases[] = {
        {"no level sets a font", {}, {}, {}, {}, true, {"Arial", 220, 0, 0}, 11},
        {"stack bold Arial, field size only", TFontDef{"Arial", UndefInt, UndefLong, EFontBold}, {}, {},
         TFontDef{"", 300, UndefLong, 0}, true, {"Arial", 300, 0, EFontBold}, 15},
        {"flags replaced as a whole", {}, TFontDef{"", UndefInt, UndefLong, EFontBold},
         TFontDef{"", UndefInt, UndefLong, EFontItalic}, {}, true, {"Arial", 220, 0, EFontItalic}, 11},
        {"each part from the most specific level", TFontDef{"Times", 240, red, EFontUnderline},
         TFontDef{"Courier", UndefInt, UndefLong, 0}, TFontDef{"", 160, UndefLong, 0},
         TFontDef{"", UndefInt, green, 0}, true, {"Courier", 160, green, EFontUnderline}, 8},
        {"no field: its font is left out", TFontDef{"Times", 240, red, 0}, {}, {},
         TFontDef{"Courier", 400, green, EFontBold}, false, {"Times", 240, red, 0}, 12},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        iStack->SetFont(MakeFont(c.Stack));
        iBg->SetFont(MakeFont(c.Background));
        iCard->SetFont(MakeFont(c.Card));
        iField->SetFont(MakeFont(c.Field));
        const CVexilControl* field = c.WithField ? iField.get() : nullptr;

        const std::shared_ptr<CVexilFont> font = CVexilLibUi::GetEffectiveFont(*iCard, field);
        EXPECT_EQ(font->FaceName(), QString::fromUtf8(c.Expected.Face));
        EXPECT_EQ(font->Size(), c.Expected.Size);
        EXPECT_EQ(font->ForeColor(), c.Expected.Color);
        EXPECT_EQ(font->Flags(), c.Expected.Flags);

        float lineHeight = 0;
        float width = 0;
        CVexilLibUi::ApplyControlFont(*iTextBox, *iCard, field, lineHeight, width);
        const QFont shown = iTextBox->font();
        EXPECT_EQ(shown.family(), QFont(QString::fromUtf8(c.Expected.Face)).family());
        EXPECT_EQ(shown.pointSizeF(), c.Points);
        EXPECT_EQ(shown.bold(), (c.Expected.Flags & EFontBold) != 0);
        EXPECT_EQ(shown.italic(), (c.Expected.Flags & EFontItalic) != 0);
        EXPECT_EQ(shown.underline(), (c.Expected.Flags & EFontUnderline) != 0);
        EXPECT_EQ(iTextBox->ForeColor(), c.Expected.Color);
        // Measured in that font on the measuring window, which keeps it.
        EXPECT_EQ(CVexilLibUi::TestWindow()->font(), shown);
        const QFontMetricsF metrics = Measured(shown);
        EXPECT_EQ(lineHeight, float(metrics.size(Qt::TextSingleLine, QStringLiteral("A")).height()) * 15);
        EXPECT_EQ(width, float(metrics.horizontalAdvance(CVexilLibUi::WidthSample())) * 15 / 72);
    }
}

TEST_F(FontsColoursTest, LabelMeasuresItsCaption)
{
    iLabel->setText(QStringLiteral("Customer number"));
    float lineHeight = 0;
    float width = 0;
    CVexilLibUi::ApplyControlFont(*iLabel, *iCard, nullptr, lineHeight, width);
    EXPECT_EQ(width, float(Measured(iLabel->font()).horizontalAdvance(iLabel->text())) * 15);
    EXPECT_EQ(width, CVexilLibUi::CtlTextWidth(CVexilLibUi::TestWindow(), iLabel->text()));
    iLabel->setText(QString());
    CVexilLibUi::ApplyControlFont(*iLabel, *iCard, nullptr, lineHeight, width);
    EXPECT_EQ(width, 0.0F);
    EXPECT_GT(lineHeight, 0.0F);
}

TEST_F(FontsColoursTest, BackColours)
{
    const int32_t face = CVexilCtl::FromQColor(QApplication::palette().color(QPalette::Button));
    ASSERT_EQ(CVexilLibUi::ButtonFaceColor(), face);
    struct TCase
    {
        const char* Name;
        int32_t Stack, Background, Card;
        int32_t Expected;
    };
    const TCase cases[] = {
        {"no level: the button face", UndefLong, UndefLong, UndefLong, face},
        {"stack", 0x112233, UndefLong, UndefLong, 0x112233},
        {"background over stack", 0x112233, 0x445566, UndefLong, 0x445566},
        {"card over background", 0x112233, 0x445566, 0x778899, 0x778899},
        {"card alone", UndefLong, UndefLong, 0x000000, 0x000000},
    };
    // The field's colour takes no part in the card's colour.
    iField->SetBackColor(0x0000FF);
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        iStack->SetBackColor(c.Stack);
        iBg->SetBackColor(c.Background);
        iCard->SetBackColor(c.Card);
        EXPECT_EQ(CVexilLibUi::GetEffectiveBackColor(*iCard), c.Expected);
    }
}

TEST_F(FontsColoursTest, ControlBackColours)
{
    constexpr int32_t white = 0xFFFFFF;
    const int32_t face = CVexilLibUi::ButtonFaceColor();
    struct TCase
    {
        const char* Name;
        CVexilCtl* Ctl;
        int32_t Color;
        int32_t Expected;
    };
    const TCase cases[] = {
        {"text box without colour", iTextBox, UndefLong, white},
        {"text box with colour", iTextBox, 0x00C0FF, 0x00C0FF},
        {"rich-text box without colour", iRichBox, UndefLong, white},
        {"check box with colour", iCheckBox, 0x102030, 0x102030},
        {"label without colour", iLabel, UndefLong, white},
        {"button with colour", iButton, 0x00FF00, 0x00FF00},
        // A pool button given a colour by an earlier field gets its face colour back.
        {"button without colour", iButton, UndefLong, face},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CVexilLibUi::SetCtlBackColor(*c.Ctl, c.Color);
        EXPECT_EQ(c.Ctl->BackColor(), c.Expected);
    }
    EXPECT_NE(face, white) << "the fallback of a card is not white";
}

TEST_F(FontsColoursTest, StandardFontAndPointSizes)
{
    struct TFontCase
    {
        int16_t Size;
        bool TrueSize;
        double Points;
    };
    const TFontCase fontCases[] = {{220, false, 8}, {220, true, 11}, {200, false, 10}, {210, false, 10.5}, {300, true, 15}};
    for (const TFontCase& c : fontCases)
    {
        CVexilFont font;
        font.Construct(QStringLiteral("Courier"), c.Size, UndefLong);
        font.SetFlags(EFontItalic);
        const QFont made = CVexilLibUi::MakeStdFont(font, c.TrueSize);
        EXPECT_EQ(made.pointSizeF(), c.Points) << c.Size << " " << c.TrueSize;
        EXPECT_EQ(made.family(), QFont(QStringLiteral("Courier")).family());
        EXPECT_FALSE(made.bold());
        EXPECT_TRUE(made.italic());
        EXPECT_FALSE(made.underline());
    }

    struct TPointCase
    {
        float Points;
        int16_t Twips;
    };
    // Halves go to the even neighbour.
    const TPointCase pointCases[] = {{10.5F, 210}, {0.125F, 2}, {0.375F, 8}, {0.025F, 0}, {-1, -20}, {1638.35F, 32767}};
    for (const TPointCase& c : pointCases)
        EXPECT_EQ(CVexilLibUi::PointsToTwipsInt(c.Points), c.Twips) << c.Points;
    EXPECT_EQ(RaisedError([] { CVexilLibUi::PointsToTwipsInt(1640); }), ERunOverflow);
    EXPECT_EQ(RaisedError([] { CVexilLibUi::PointsToTwipsInt(-1640); }), ERunOverflow);
    EXPECT_EQ(CVexilLibUi::TwipsToPoints(210), 10.5F);
    EXPECT_EQ(CVexilLibUi::TwipsToPoints(31999), 1599.95F);
}

namespace
{

// A renderer that keeps the font it was given.
class FontRecorder final : public IVexilWikiTextLink
{
public:
    void SetStr(const QString& /*aText*/) override {}
    QString TextStr() const override { return {}; }
    void SetFont(const std::shared_ptr<CVexilFont>& aFont) override { iFont = aFont; }
    std::shared_ptr<CVexilFont> iFont;
};

// The installed widgets, except that wiki text fields get a font recorder.
class RecordingWikiWidgets final : public IVexilControlWidgets
{
public:
    explicit RecordingWikiWidgets(IVexilControlWidgets& aOuter) : iOuter(aOuter) { CVexilControlWidgets::Install(this); }
    ~RecordingWikiWidgets() override { CVexilControlWidgets::Install(&iOuter); }
    std::unique_ptr<IVexilListBoxLink> NewListBox(int32_t aLisType) override { return iOuter.NewListBox(aLisType); }
    std::unique_ptr<IVexilWikiTextLink> NewWikiTextBox() override { return std::make_unique<FontRecorder>(); }
    float AvgCharWidth() const override { return iOuter.AvgCharWidth(); }

private:
    IVexilControlWidgets& iOuter;
};

}  // namespace

TEST_F(FontsColoursTest, WikiTextFieldRendersInTheBoxesFont)
{
    TControlRef wiki;
    {
        RecordingWikiWidgets widgets(CVexilControlWidgets::Current());
        wiki = NewField(*iStack, *iBg, QStringLiteral("Wiki"), EConTypeText);
        wiki->SetFlags(wiki->Flags() | EConWikiText);
    }
    auto* recorder = dynamic_cast<FontRecorder*>(wiki->WikiTextBox());
    ASSERT_NE(recorder, nullptr);
    iBg->SetFont(MakeFont(TFontDef{"Courier", 300, 0x00FF00, EFontBold}));

    float lineHeight = 0;
    float width = 0;
    CVexilLibUi::ApplyControlFont(*iRichBox, *iCard, wiki.get(), lineHeight, width);
    ASSERT_NE(recorder->iFont, nullptr);
    EXPECT_EQ(recorder->iFont->FaceName(), QStringLiteral("Courier"));
    EXPECT_EQ(recorder->iFont->Size(), 300);
    EXPECT_EQ(recorder->iFont->Flags(), EFontBold);
    EXPECT_EQ(iRichBox->font(), CVexilLibUi::MakeStdFont(*recorder->iFont, true));
    EXPECT_EQ(iRichBox->ForeColor(), 0x00FF00);

    // Fields made after start-up: list boxes on widgets, wiki text renderers, the measured width.
    const TControlRef wikiNow = NewField(*iStack, *iBg, QStringLiteral("Wiki2"), EConTypeText);
    wikiNow->SetFlags(wikiNow->Flags() | EConWikiText);
    EXPECT_NE(dynamic_cast<CVexilWikiTextBox*>(wikiNow->WikiTextBox()), nullptr);
    const TControlRef list = NewField(*iStack, *iBg, QStringLiteral("List"), EConTypeList);
    const auto* listBox = dynamic_cast<const CVexilListBox*>(list->ListBox());
    ASSERT_NE(listBox, nullptr);
    EXPECT_EQ(listBox->LisType(), ELisSingle);
    EXPECT_TRUE(listBox->Flag(ELbfTrueFontSize));
    EXPECT_EQ(CVexilControlWidgets::Current().AvgCharWidth(), CVexilLibUi::AvgCharWidth());
    EXPECT_GT(CVexilLibUi::AvgCharWidth(), 0.0F);
}
