#include "CardViewFixture.h"

#include "PictureBytes.h"

#include <algorithm>
#include <map>

namespace
{
// Where one field ended up: its widget's pool name, place and size, its label's place, and
// its tab index; a field without widget has an empty name.
struct TPlaced
{
    QString Pool;
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    float LabelLeft = -1;
    float LabelTop = -1;
    int TabIndex = -1;

    bool operator==(const TPlaced&) const = default;
};

void PrintTo(const TPlaced& aPlaced, std::ostream* aOut)
{
    *aOut << aPlaced.Pool.toStdString() << " (" << aPlaced.Left << ", " << aPlaced.Top << ", " << aPlaced.Width << " x "
          << aPlaced.Height << ") label (" << aPlaced.LabelLeft << ", " << aPlaced.LabelTop << ") tab "
          << aPlaced.TabIndex;
}

TPlaced Placed(const CVexilControl& aField)
{
    TPlaced placed;
    if (CVexilCtl* widget = CVexilCtl::Of(aField.BaseControl()))
        placed = {widget->Name(), widget->Left(), widget->Top(), widget->Width(), widget->Height(), -1, -1,
                  widget->TabIndex()};
    if (CVexilCtl* label = CVexilCtl::Of(aField.BaseLabel()))
    {
        placed.LabelLeft = label->Left();
        placed.LabelTop = label->Top();
    }
    return placed;
}

class CardLayoutTest : public CardViewFixture
{
protected:
    // The label column of labels with these captions, capped at half the window.
    float LabelColumn(const QStringList& aCaptions, float aMargin = 100) const
    {
        float column = aMargin;
        for (const QString& caption : aCaptions)
            column = std::max(column, LabelMeasure(caption).Width + 2 * aMargin);
        return std::min(column, KInnerWidth / 2 - aMargin);
    }
    float LabelLeft(const QString& aCaption, float aColumn, float aMargin = 100) const
    {
        return std::max(aColumn - LabelMeasure(aCaption).Width - aMargin, aMargin);
    }
};

TEST_F(CardLayoutTest, EveryKindOfFieldGetsItsWidgetPlaceSizeLabelAndTabIndex)
{
    iBg->SetFlag(ECseShowCardName, true);
    const TControlRef name = AddField({QStringLiteral("Name"), EConTypeText, 0, 1, 20});
    const TControlRef notes = AddField({QStringLiteral("Notes"), EConTypeText, 0, 3});
    const TControlRef wiki = AddField({QStringLiteral("Wiki"), EConTypeText, EConWikiText});
    const TControlRef count = AddField({QStringLiteral("Count"), EConTypeInteger, EConDisabled});
    const TControlRef secret = AddField({QStringLiteral("Secret"), EConTypeText, 0, 1, 30, true});
    const TControlRef colour = AddComboPair(QStringLiteral("Colour"));
    const TControlRef done = AddField({QStringLiteral("Done"), EConTypeBoolean});
    const TControlRef items = AddField({QStringLiteral("Items"), EConTypeList, 0, 3});
    const TControlRef photo = AddField({QStringLiteral("Photo"), EConTypePicture, 0, 2});
    const TControlRef go = AddField({QStringLiteral("Go"), EConTypeCommand, EConAsButton, 1, 5});
    const TControlRef menu = AddField({QStringLiteral("Menu"), EConTypeCommand, EConInMenu});
    const TControlRef next =
        AddField({QStringLiteral("Next"), EConTypeCommand, EConAsButton | EConPictButton | EConStdCmd, 1, UndefInt});
    next->SetStdCmd(EStdCmdNextCard);
    const TControlRef big = AddField({QStringLiteral("Big"), EConTypeText, EConMaxHeight, 5});
    const TControlRef after = AddField({QStringLiteral("After"), EConTypeInteger});
    const TControlRef footer = AddField({QStringLiteral("Footer"), EConTypeText, EConFromBottom});
    const TControlRef foot2 = AddField({QStringLiteral("Foot2"), EConTypeBoolean, EConFromBottom});

    const float innerHeight = 12000;
    SetInnerSize(KInnerWidth, innerHeight);
    Show();

    // What the layout must have done, computed from the measures.
    const TMeasure text = FieldMeasure(name.get());
    const float column = LabelColumn({"Name", "Notes", "Wiki", "Count", "Colour", "Done", "Items", "Photo", "Big",
                                      "After", "Footer", "Foot2"});
    const float maxWidth = KInnerWidth - column - 100;
    const float headerHeight = LabelMeasure(QStringLiteral("Card Name")).Line;
    float y = 100 + headerHeight + 100 + 100;
    float bottom = innerHeight - 100;
    const auto topDown = [&y](float aHeight) {
        const float top = y;
        y += aHeight + 100;
        return top;
    };
    const auto bottomUp = [&bottom](float aHeight) {
        const float top = bottom - aHeight;
        bottom -= aHeight + 100;
        return top;
    };
    const float oneLine = text.Line + 120;
    const float textWidth = 30 * text.Width + 130;
    const float comboHeight = Widget(colour).Height();
    const float checkHeight = L() + 120;
    const float checkWidth = Widget(done).Width();
    const float buttonHeight = Widget(go).Height();
    const float goWidth = 5 * W() + 260;

    std::map<QString, TPlaced> expected;
    const auto field = [&](const QString& aName, const QString& aPool, float aTop, float aWidth, float aHeight,
                           int aTab, bool aBottomUp = false) {
        const TMeasure label = LabelMeasure(aName);
        // A bottom-up label ends where its widget ends (2 twips lower).
        const float labelTop = aBottomUp ? aTop + aHeight - label.Line + 2 : aTop + 2;
        expected[aName] = {aPool, column, aTop, aWidth, aHeight, LabelLeft(aName, column), labelTop, aTab};
    };
    field("Name", "fGenTextBox0", topDown(oneLine), 20 * text.Width + 130, oneLine, 0);
    field("Notes", "fGenRichTextBox0", topDown(3 * text.Line + 120), textWidth, 3 * text.Line + 120, 1);
    field("Wiki", "fGenRichTextBox1", topDown(oneLine), textWidth, oneLine, 2);
    field("Count", "fGenTextBox1", topDown(oneLine), textWidth, oneLine, 3);
    expected["Secret"] = {};
    field("Colour", "fGenComboBox0", topDown(comboHeight), std::min(30 * W() + 130, maxWidth), comboHeight, 4);
    field("Done", "fGenCheckBox0", topDown(checkHeight), checkWidth, checkHeight, 5);
    field("Items", "fGenListView0", topDown(4 * L() + 240), std::min(30 * W() + 50, maxWidth), 4 * L() + 240, 6);
    field("Photo", "fGenPictureBox0", topDown(3 * L() + 240), std::min(30 * W() + 130, maxWidth), 3 * L() + 240, 7);
    const float rowTop = topDown(buttonHeight);
    expected["Go"] = {"fGenButton0", 100, rowTop, goWidth, buttonHeight, -1, -1, 8};
    expected["Menu"] = {};
    expected["Next"] = {"fGenButton1", 100 + goWidth + 100, rowTop, 260, buttonHeight, -1, -1, 9};
    const float bigTop = topDown(oneLine);
    const float afterTop = topDown(oneLine);
    field("Footer", "fGenTextBox3", bottomUp(oneLine), textWidth, oneLine, 12, true);
    field("Foot2", "fGenCheckBox1", bottomUp(checkHeight), checkWidth, checkHeight, 13, true);
    // The one maximum-height field takes all the room between the flows.
    const float share = bottom - y;
    field("Big", "fGenRichTextBox2", bigTop, textWidth, oneLine + share, 10);
    field("After", "fGenTextBox2", afterTop + share, textWidth, oneLine, 11);

    for (const TControlRef& f : {name, notes, wiki, count, secret, colour, done, items, photo, go, menu, next, big,
                                 after, footer, foot2})
        EXPECT_EQ(Placed(*f), expected[f->Name()]) << f->Name().toStdString();

    EXPECT_EQ(iView->LabelColX(), column);
    EXPECT_EQ(iView->NumControls(), 15);
    // What the user sees besides the places.
    EXPECT_TRUE(Widget(count).Visible());
    EXPECT_FALSE(Widget(count).Enabled());
    EXPECT_TRUE(Widget(name).Enabled());
    EXPECT_TRUE(static_cast<QTextEdit*>(wiki->BaseControl())->isReadOnly());
    EXPECT_FALSE(static_cast<QTextEdit*>(notes->BaseControl())->isReadOnly());
    EXPECT_EQ(static_cast<QCheckBox*>(done->BaseControl())->text(), QString());
    EXPECT_EQ(static_cast<QPushButton*>(go->BaseControl())->text(), QStringLiteral("Go"));
    EXPECT_EQ(static_cast<QPushButton*>(next->BaseControl())->text(), QString());
    EXPECT_FALSE(static_cast<CVexilCommandButton*>(next->BaseControl())->Picture().isNull());
    EXPECT_EQ(static_cast<QLabel*>(items->BaseLabel())->text(), QStringLiteral("Items"));

    // The header: the card's name up to the window's right edge, the progress box at its right
    // inside the window (shown only while a script runs), the rule.
    auto* header = static_cast<CVexilLabel*>(iForm->fGenLabel[0]);
    EXPECT_EQ(header->text(), QStringLiteral("First"));
    EXPECT_EQ(std::vector<float>({header->Left(), header->Top(), header->Width(), header->Height()}),
              std::vector<float>({100, 100, iForm->InnerWidth() - 100, headerHeight}));
    EXPECT_FALSE(iForm->fProgressBox->Visible());
    EXPECT_EQ(iForm->fProgressBox->Top(), 100);
    EXPECT_EQ(iForm->fProgressBox->Left(), iForm->InnerWidth() - iForm->fProgressBox->Width() - 100);
    EXPECT_EQ(iForm->fProgress->Width(), 0);
    EXPECT_TRUE(iForm->fGenLine0->Visible());
    EXPECT_EQ(iForm->fGenLine0->Y1(), 100 + headerHeight + 100);
    // The rule spans the window to its last pixel, not beyond.
    EXPECT_EQ(iForm->fGenLine0->X2(), iForm->Width() - CVexilCtl::KTwipsPerPixel);
    EXPECT_EQ(iForm->fGenLine0->Widget()->geometry().right(), iForm->width() - 1);
}

TEST_F(CardLayoutTest, ButtonsFillRowsWhileTheyFitAndAfterOtherFieldsStartOne)
{
    // Three buttons fit a row exactly; a fourth starts the next row.
    const float button = 6 * W() + 260;
    SetInnerSize(100 + 3 * (button + 100), KInnerHeight);
    std::vector<TControlRef> buttons;
    for (int i = 0; i < 4; ++i)
        buttons.push_back(AddField({QStringLiteral("B%1").arg(i), EConTypeCommand, EConAsButton, 1, 6}));
    const TControlRef text = AddField({QStringLiteral("T"), EConTypeText});
    const TControlRef after = AddField({QStringLiteral("A"), EConTypeCommand, EConAsButton, 1, 6});
    Show();

    const float height = Widget(buttons[0]).Height();
    const float row2 = 100 + height + 100;
    const std::vector<std::pair<float, float>> expected = {
        {100, 100}, {100 + button + 100, 100}, {100 + 2 * (button + 100), 100}, {100, row2}};
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        EXPECT_EQ(Widget(buttons[i]).Left(), expected[i].first) << i;
        EXPECT_EQ(Widget(buttons[i]).Top(), expected[i].second) << i;
    }
    // After a text field a button starts a row of its own, room or not.
    const float textBottom = Widget(text).Top() + Widget(text).Height();
    EXPECT_EQ(Widget(after).Left(), 100);
    EXPECT_EQ(Widget(after).Top(), textBottom + 100);
}

TEST_F(CardLayoutTest, MarginsLabelColumnAndUnlimitedWidths)
{
    struct TCase
    {
        const char* Label;
        bool Dense;
    };
    // A label too wide for half the window is capped; the dense layout uses 20 twips.
    const QString wide = QString(120, QLatin1Char('W'));
    for (const TCase& c : {TCase{"Short", false}, TCase{"Short", true}, TCase{nullptr, false}})
    {
        SCOPED_TRACE(c.Label ? c.Label : "wide");
        iView->ResetCurSet();
        const TControlSetRef bg = NewBackground(*iStack, QStringLiteral("Bg"));
        bg->SetFlag(ECseShowCardName, false);
        bg->SetFlag(ECseDenseLayout, c.Dense);
        const QString caption = c.Label ? QString::fromLatin1(c.Label) : wide;
        const TControlRef first = AddField({caption, EConTypeText, 0, 1, UndefInt}, bg);
        const TControlRef second = AddField({QStringLiteral("S"), EConTypeText, 0, 3, UndefInt}, bg);
        const TControlRef list = AddField({QStringLiteral("L"), EConTypeList, 0, 1, UndefInt}, bg);
        const TControlRef picture = AddField({QStringLiteral("P"), EConTypePicture, 0, 1, UndefInt}, bg);
        const TControlRef combo = AddField({QStringLiteral("C"), EConTypeText, EConComboText, 1, UndefInt}, bg);
        const TControlRef comboList = AddField({QStringLiteral("CL"), EConTypeList, EConComboList, 1, 30, true}, bg);
        combo->SetPartnerId(comboList->Id());
        comboList->SetPartnerId(combo->Id());
        const TControlRef button = AddField({QStringLiteral("Press"), EConTypeCommand, EConAsButton, 1, UndefInt}, bg);
        const TCardRef card = AddCard(QStringLiteral("C"), bg);
        Show(card);

        const float margin = c.Dense ? 20 : 100;
        float column = margin;
        for (const QString& label : {caption, QStringLiteral("S"), QStringLiteral("L"), QStringLiteral("P"), QStringLiteral("C")})
            column = std::max(column, LabelMeasure(label).Width + 2 * margin);
        column = std::min(column, KInnerWidth / 2 - margin);
        EXPECT_EQ(iView->LabelColX(), column);
        EXPECT_EQ(Widget(first).Top(), margin);
        EXPECT_EQ(Widget(second).Top(), Widget(first).Top() + Widget(first).Height() + margin);
        EXPECT_EQ(Label(first).Left(), std::max(column - LabelMeasure(caption).Width - margin, margin));
        // Without a fixed width every field widget is as wide as the column leaves.
        for (const TControlRef& f : {first, second, list, picture, combo})
            EXPECT_EQ(Widget(f).Width(), KInnerWidth - column - margin) << f->Name().toStdString();
        FieldMeasure();  // the measuring window's font as the layout left it
        EXPECT_EQ(Widget(button).Width(),
                  CVexilLibUi::CtlTextWidth(CVexilLibUi::TestWindow(), QStringLiteral("Press")) + 260);
    }
}

TEST_F(CardLayoutTest, MaximumHeightFieldsShareTheRoomBetweenTheFlows)
{
    const TControlRef top = AddField({QStringLiteral("Top"), EConTypeText});
    const TControlRef big1 = AddField({QStringLiteral("Big1"), EConTypeText, EConMaxHeight, 4});
    const TControlRef middle = AddField({QStringLiteral("Middle"), EConTypeText});
    const TControlRef big2 = AddField({QStringLiteral("Big2"), EConTypeText, EConMaxHeight});
    const TControlRef end = AddField({QStringLiteral("End"), EConTypeText});
    const TControlRef foot = AddField({QStringLiteral("Foot"), EConTypeText, EConFromBottom});

    const float oneLine = FieldMeasure(top.get()).Line + 120;
    // The top-down flow ends below five one-line boxes, the bottom-up one above one.
    const float topDownEnd = 100 + 5 * (oneLine + 100);
    const float bottomUpEnd = KInnerHeight - 100 - (oneLine + 100);
    const float free = bottomUpEnd - topDownEnd;
    ASSERT_GT(free, L());
    Show();

    const float share = free / 2;
    struct TCase
    {
        TControlRef Field;
        float Top;
        float Height;
    };
    // Labels sit 2 twips below their widget's top; a bottom-up one ends 2 below its bottom.
    const float footLabelTop = KInnerHeight - 100 - LabelMeasure(QStringLiteral("Foot")).Line + 2;
    const TCase cases[] = {
        {top, 100, oneLine},
        {big1, 100 + (oneLine + 100), oneLine + share},
        {middle, 100 + 2 * (oneLine + 100) + share, oneLine},
        {big2, 100 + 3 * (oneLine + 100) + share, oneLine + share},
        {end, 100 + 4 * (oneLine + 100) + 2 * share, oneLine},
        {foot, KInnerHeight - 100 - oneLine, oneLine},
    };
    for (const TCase& c : cases)
    {
        EXPECT_EQ(Widget(c.Field).Top(), c.Top) << c.Field->Name().toStdString();
        EXPECT_EQ(Label(c.Field).Top(), c.Field == foot ? footLabelTop : c.Top + 2) << c.Field->Name().toStdString();
        EXPECT_EQ(Widget(c.Field).Height(), c.Height) << c.Field->Name().toStdString();
    }

    // A gap of less than a line stretches nothing.
    iView->ResetCurSet();
    SetInnerSize(KInnerWidth, topDownEnd + L() - 1 + 100 + oneLine + 100);
    Show();
    EXPECT_EQ(Widget(big1).Height(), oneLine);
    EXPECT_EQ(Widget(end).Top(), 100 + 4 * (oneLine + 100));
}

TEST_F(CardLayoutTest, ABottomUpMaximumHeightFieldKeepsOneLine)
{
    const TControlRef top = AddField({QStringLiteral("Top"), EConTypeText});
    const TControlRef foot = AddField({QStringLiteral("Foot"), EConTypeText, EConMaxHeight | EConFromBottom, 3});
    const TControlRef picture = AddField({QStringLiteral("Picture"), EConTypePicture, EConFromBottom, 2});
    Show();
    const float oneLine = FieldMeasure(top.get()).Line + 120;
    EXPECT_EQ(Widget(foot).Height(), oneLine);
    EXPECT_EQ(Widget(foot).Top(), KInnerHeight - 100 - oneLine);
    EXPECT_EQ(Widget(top).Height(), oneLine);
    // A bottom-up widget ends where the flow stood.
    EXPECT_EQ(Widget(picture).Top() + Widget(picture).Height(), KInnerHeight - 100 - oneLine - 100);
    EXPECT_EQ(Widget(picture).Height(), 3 * L() + 240);
}

TEST_F(CardLayoutTest, WithoutLabelsTheFieldsStartAtTheMargin)
{
    const TControlRef text = AddField({QString(), EConTypeText});
    text->SetLabel(QString());
    const TControlRef check = AddField({QString(), EConTypeBoolean});
    check->SetLabel(QString());
    Show();
    EXPECT_EQ(iView->LabelColX(), 100);
    EXPECT_EQ(Widget(text).Left(), 100);
    EXPECT_EQ(Widget(check).Left(), 100);
    // Their labels are still taken, empty.
    EXPECT_EQ(static_cast<QLabel*>(text->BaseLabel())->text(), QString());
    EXPECT_EQ(iView->PoolCount(EBasLabel), 2);
}

TEST_F(CardLayoutTest, AnotherCardOfTheBackgroundChangesOnlyColoursAndWallpaper)
{
    const TControlRef text = AddField({QStringLiteral("Text"), EConTypeText});
    const TControlRef check = AddField({QStringLiteral("Check"), EConTypeBoolean});
    text->SetBackColor(0x00FF00);
    const TCardRef second = AddCard(QStringLiteral("Second"));
    second->SetBackColor(0x0000FF);
    iBg->SetFlag(ECseShowWallPaper, true);
    const TBlobRef blob = NewBlob(*iStack, QtPictureBytes(QuarterImage(20, 10), "PNG"));
    iBg->SetWallPaperId(blob->Id());
    Show();
    const auto geometry = [&] {
        return std::vector<float>{Widget(text).Top(), Widget(check).Top(), Label(text).Top(), Label(check).Left()};
    };
    const std::vector<float> before = geometry();
    EXPECT_EQ(iForm->fWallPaperBox->Tag(), QStringLiteral(" %1").arg(blob->Id()));
    static_cast<QLineEdit*>(text->BaseControl())->setText(QStringLiteral("typed"));

    iView->AssignControlSet(second, iBg);
    EXPECT_EQ(iForm->BackColor(), 0x0000FF);
    EXPECT_EQ(Widget(check).BackColor(), 0x0000FF);
    EXPECT_EQ(Label(text).BackColor(), 0x0000FF);
    EXPECT_EQ(Widget(text).BackColor(), 0x00FF00);
    EXPECT_EQ(geometry(), before);
    EXPECT_EQ(static_cast<QLineEdit*>(text->BaseControl())->text(), QStringLiteral("typed"));
    EXPECT_EQ(iForm->fWallPaperBox->Tag(), QStringLiteral(" %1").arg(blob->Id()));
    EXPECT_EQ(blob->DynRefCount(), 2);  // the store's cache and the wallpaper box
    EXPECT_FALSE(iForm->WallPaperPositions().empty());
}
}  // namespace
