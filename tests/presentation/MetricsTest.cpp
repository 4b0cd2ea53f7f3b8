#include "foundation/VexilRect.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "presentation/VexilLibUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{

// What the measuring window must give: the application's default font, in twips.
QFontMetricsF DefaultMetrics()
{
    return QFontMetricsF(QApplication::font(), CVexilLibUi::TestWindow());
}

}  // namespace

// Each test runs in a process of its own, so this one sees the module before start-up.
TEST(Metrics, GettersAreZeroBeforeInitLib)
{
    EXPECT_EQ(CVexilLibUi::LineHeight(), 0.0F);
    EXPECT_EQ(CVexilLibUi::CtlBorderHeight(), 0.0F);
    EXPECT_EQ(CVexilLibUi::AvgCharWidth(), 0.0F);
    EXPECT_EQ(CVexilLibUi::CtlBorderWidth(), 0.0F);
    EXPECT_EQ(CVexilLibUi::ListBorderWidth(), 0.0F);
    EXPECT_EQ(CVexilLibUi::LayoutMargin(), 0.0F);
    EXPECT_EQ(CVexilLibUi::DenseLayoutMargin(), 0.0F);
}

TEST(Metrics, InitLibMeasuresTheDefaultFontOnTheHiddenWindow)
{
    CVexilLibUi::InitLib();
    const QWidget* window = CVexilLibUi::TestWindow();
    EXPECT_EQ(window->objectName(), QStringLiteral("CVexilTest"));
    EXPECT_FALSE(window->isVisible());

    const QFontMetricsF metrics = DefaultMetrics();
    const QString sample = CVexilLibUi::WidthSample();
    ASSERT_EQ(sample.size(), 72);
    EXPECT_EQ(CVexilLibUi::LineHeight(), float(metrics.size(Qt::TextSingleLine, QStringLiteral("A")).height()) * 15);
    // The whole sample's width over its 72 characters, not over the 62 letters and digits.
    EXPECT_EQ(CVexilLibUi::AvgCharWidth(), float(metrics.horizontalAdvance(sample)) * 15 / 72);
    EXPECT_GT(CVexilLibUi::LineHeight(), 0.0F);
    EXPECT_GT(CVexilLibUi::AvgCharWidth(), 0.0F);

    EXPECT_EQ(CVexilLibUi::CtlBorderHeight(), 120.0F);
    EXPECT_EQ(CVexilLibUi::CtlBorderWidth(), 130.0F);
    EXPECT_EQ(CVexilLibUi::ListBorderWidth(), 50.0F);
    EXPECT_EQ(CVexilLibUi::LayoutMargin(), 100.0F);
    EXPECT_EQ(CVexilLibUi::DenseLayoutMargin(), 20.0F);
}

TEST(Metrics, UnitConversionsAreFloatsWithoutRounding)
{
    const struct
    {
        const char* Name;
        float (*Convert)(float);
        float In;
        float Out;
    } cases[] = {
        {"MmToTwips", &CVexilLibUi::MmToTwips, 1, 56.7F},
        {"MmToTwips", &CVexilLibUi::MmToTwips, 15, 850.5F},
        {"MmToTwips", &CVexilLibUi::MmToTwips, 0, 0},
        {"TwipsToPixels", &CVexilLibUi::TwipsToPixels, 100, 6.6666665F},
        {"TwipsToPixels", &CVexilLibUi::TwipsToPixels, 7, 0.46666667F},
        {"TwipsToPixels", &CVexilLibUi::TwipsToPixels, -30, -2},
        {"PixelsToTwips", &CVexilLibUi::PixelsToTwips, 6.6666665F, 99.99999F},
        {"PixelsToTwips", &CVexilLibUi::PixelsToTwips, 0.5F, 7.5F},
        {"PixelsToTwips", &CVexilLibUi::PixelsToTwips, 640, 9600},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(c.Convert(c.In), c.Out) << c.Name << " " << c.In;
    // No integer is formed on the way.
    EXPECT_EQ(CVexilLibUi::TwipsToPixels(100), 100.0F / 15.0F);
    EXPECT_EQ(CVexilLibUi::MmToTwips(15), 850.5F);
}

TEST(Metrics, CheckBoxIsTrueOnlyWhenTicked)
{
    QCheckBox box;
    box.setTristate(true);
    const struct
    {
        Qt::CheckState State;
        bool Expected;
    } cases[] = {{Qt::Unchecked, false}, {Qt::Checked, true}, {Qt::PartiallyChecked, false}};
    for (const auto& c : cases)
    {
        box.setCheckState(c.State);
        EXPECT_EQ(CVexilLibUi::CheckBoxToBool(&box), c.Expected) << int(c.State);
    }

    CVexilLibUi::BoolToCheckBox(&box, true);
    EXPECT_EQ(box.checkState(), Qt::Checked);
    CVexilLibUi::BoolToCheckBox(&box, false);
    EXPECT_EQ(box.checkState(), Qt::Unchecked);
}

TEST(Metrics, TextWidthFollowsTheWindowsFont)
{
    CVexilLibUi::InitLib();
    QWidget* window = CVexilLibUi::TestWindow();
    const QString text = QStringLiteral("Card Name");
    const float normal = CVexilLibUi::CtlTextWidth(window, text);
    EXPECT_EQ(normal, float(DefaultMetrics().horizontalAdvance(text)) * 15);

    QFont big = window->font();
    big.setPointSizeF(big.pointSizeF() * 3);
    window->setFont(big);
    EXPECT_GT(CVexilLibUi::CtlTextWidth(window, text), 2 * normal);
    EXPECT_EQ(CVexilLibUi::CtlTextWidth(window, QString()), 0.0F);
    window->setFont(QFont());
}

TEST(Metrics, ListInnerWidthKeepsAtLeast100)
{
    CVexilLibUi::InitLib();
    CVexilForm form;
    CVexilListView view(&form);
    const struct
    {
        float Width;
        float Inner;
    } cases[] = {{120, 100}, {150, 100}, {151, 101}, {3050, 3000}, {0, 100}};
    for (const auto& c : cases)
    {
        view.SetWidth(c.Width);
        EXPECT_EQ(CVexilLibUi::ListInnerWidth(&view), c.Inner) << c.Width;
    }
    EXPECT_EQ(CVexilLibUi::ListInnerWidth(nullptr), 100.0F);
}

TEST(Metrics, ControlRectangleReadAndSet)
{
    CVexilForm form;
    CVexilTextBox box(&form);
    box.Move(100, 302, 2000.5F, 315);
    const auto rect = CVexilLibUi::GetCtlRect(box);
    EXPECT_EQ(rect->X(), 100.0F);
    EXPECT_EQ(rect->Y(), 302.0F);
    EXPECT_EQ(rect->Width(), 2000.5F);
    EXPECT_EQ(rect->Height(), 315.0F);

    CVexilRect moved;
    moved.Construct(4685, 715, 850.5F, 120);
    CVexilLibUi::SetCtlRect(box, &moved);
    EXPECT_EQ(box.Left(), 4685.0F);
    EXPECT_EQ(box.Top(), 715.0F);
    EXPECT_EQ(box.Width(), 850.5F);
    EXPECT_EQ(box.Height(), 120.0F);
    // No rectangle leaves it where it is.
    CVexilLibUi::SetCtlRect(box, nullptr);
    EXPECT_EQ(CVexilLibUi::GetCtlRect(box)->X(), 4685.0F);

    // A window too: its outer rectangle.
    moved.Construct(1500, 1200, 9000, 6000);
    CVexilLibUi::SetCtlRect(form, &moved);
    const auto formRect = CVexilLibUi::GetCtlRect(form);
    EXPECT_EQ(formRect->X(), 1500.0F);
    EXPECT_EQ(formRect->Y(), 1200.0F);
    EXPECT_EQ(formRect->Width(), 9000.0F);
    EXPECT_EQ(formRect->Height(), 6000.0F);
}
