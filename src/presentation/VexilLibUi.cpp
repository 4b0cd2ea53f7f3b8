#include "presentation/VexilLibUi.h"

#include "foundation/VexilRect.h"
#include "foundation/VexilValue.h"
#include "platform/VexilCtl.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPointer>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace
{

constexpr float KTwipsPerPixel = 15.0F;
constexpr float KTwipsPerMm = 56.7F;

struct TMetrics
{
    float LineHeight = 0;
    float CtlBorderHeight = 0;
    float AvgCharWidth = 0;
    float CtlBorderWidth = 0;
    float ListBorderWidth = 0;
    float LayoutMargin = 0;
    float DenseLayoutMargin = 0;
};

TMetrics gMetrics;
QPointer<QWidget> gTestWindow;

}  // namespace

void CVexilLibUi::InitLib()
{
    const QWidget* window = TestWindow();
    gMetrics.LineHeight = CtlTextHeight(window, QStringLiteral("A"));
    gMetrics.CtlBorderHeight = 120;
    gMetrics.AvgCharWidth = CtlTextWidth(window, WidthSample()) / float(WidthSample().size());
    gMetrics.CtlBorderWidth = 130;
    gMetrics.ListBorderWidth = 50;
    gMetrics.LayoutMargin = 100;
    gMetrics.DenseLayoutMargin = 20;
}

float CVexilLibUi::LineHeight()
{
    return gMetrics.LineHeight;
}

float CVexilLibUi::CtlBorderHeight()
{
    return gMetrics.CtlBorderHeight;
}

float CVexilLibUi::AvgCharWidth()
{
    return gMetrics.AvgCharWidth;
}

float CVexilLibUi::CtlBorderWidth()
{
    return gMetrics.CtlBorderWidth;
}

float CVexilLibUi::ListBorderWidth()
{
    return gMetrics.ListBorderWidth;
}

float CVexilLibUi::LayoutMargin()
{
    return gMetrics.LayoutMargin;
}

float CVexilLibUi::DenseLayoutMargin()
{
    return gMetrics.DenseLayoutMargin;
}

const QString& CVexilLibUi::WidthSample()
{
    static const QString sample =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,:+-/()=?");
    return sample;
}

QWidget* CVexilLibUi::TestWindow()
{
    if (gTestWindow.isNull())
    {
        // Without parent or font of its own, it measures in the application's default font.
        gTestWindow = new QWidget;
        gTestWindow->setObjectName(QStringLiteral("CVexilTest"));
        // A widget must not outlive the application object.
        QObject::connect(qApp, &QObject::destroyed, [] { delete gTestWindow.data(); });
    }
    return gTestWindow;
}

std::shared_ptr<CVexilRect> CVexilLibUi::GetCtlRect(const CVexilCtl& aCtl)
{
    auto rect = std::make_shared<CVexilRect>();
    const float left = aCtl.Left();
    const float top = aCtl.Top();
    const float width = aCtl.Width();
    const float height = aCtl.Height();
    rect->Construct(left, top, width, height);
    return rect;
}

void CVexilLibUi::SetCtlRect(CVexilCtl& aCtl, const CVexilRect* aRect)
{
    if (aRect == nullptr)
        return;
    aCtl.SetLeft(aRect->X());
    aCtl.SetTop(aRect->Y());
    aCtl.SetWidth(aRect->Width());
    aCtl.SetHeight(aRect->Height());
}

float CVexilLibUi::ListInnerWidth(const CVexilCtl* aListView)
{
    const float width = aListView != nullptr ? aListView->Width() : 0.0F;
    return std::max(width - ListBorderWidth(), 100.0F);
}

float CVexilLibUi::MmToTwips(float aMillimetres)
{
    return aMillimetres * KTwipsPerMm;
}

float CVexilLibUi::TwipsToPixels(float aTwips)
{
    return aTwips / KTwipsPerPixel;
}

float CVexilLibUi::PixelsToTwips(float aPixels)
{
    return aPixels * KTwipsPerPixel;
}

float CVexilLibUi::CtlTextWidth(const QWidget* aWindow, const QString& aText)
{
    const QFontMetricsF metrics(aWindow->font(), aWindow);
    return PixelsToTwips(float(metrics.horizontalAdvance(aText)));
}

float CVexilLibUi::CtlTextHeight(const QWidget* aWindow, const QString& aText)
{
    const QFontMetricsF metrics(aWindow->font(), aWindow);
    return PixelsToTwips(float(metrics.size(Qt::TextSingleLine, aText).height()));
}

float CVexilLibUi::ValueBoxWidth(const QWidget& aBox, int32_t aValType)
{
    QStringList samples;
    if (aValType == EValDate)
        for (int month = 1; month <= 12; ++month)
            samples.append(CVexilValue::DateToExtText(CVexilValue::FromQDate(QDate(2000, month, 28))));
    else if (aValType == EValTime)
        for (const QTime& time : {QTime(23, 59, 59), QTime(12, 59, 59)})
            samples.append(CVexilValue::TimeToExtText(CVexilValue::FromQTime(time)));
    if (samples.isEmpty())
        return 0;
    const QFontMetrics metrics(aBox.font());
    int widest = 0;
    for (const QString& sample : samples)
        widest = std::max(widest, metrics.horizontalAdvance(sample));
    // The frame, the box's own inner margin on either side and a pixel for the caret.
    constexpr int kInnerMargin = 2;
    const int frame = aBox.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &aBox);
    return PixelsToTwips(float(widest + 2 * (frame + kInnerMargin) + 1));
}

bool CVexilLibUi::CheckBoxToBool(const QCheckBox* aCheckBox)
{
    return aCheckBox->checkState() == Qt::Checked;
}

void CVexilLibUi::BoolToCheckBox(QCheckBox* aCheckBox, bool aValue)
{
    aCheckBox->setCheckState(aValue ? Qt::Checked : Qt::Unchecked);
}
