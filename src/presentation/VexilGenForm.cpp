#include "presentation/VexilGenForm.h"

#include "platform/VexilFormRegistry.h"

#include <QPainter>
#include <QStyle>

namespace
{
// The design: the client area, and the sizes the pool widgets have before a layout sets them
// (the layout keeps the height of combo boxes and buttons and the width of check boxes).
constexpr float KClientWidth = 9000;
constexpr float KClientHeight = 6600;
constexpr float KBoxWidth = 1500;
constexpr float KBoxHeight = 315;
constexpr float KButtonWidth = 1200;
constexpr float KButtonHeight = 375;
constexpr float KLabelHeight = 255;
constexpr float KProgressWidth = 1500;
constexpr float KProgressHeight = 195;
}  // namespace

CVexilGenForm::CVexilGenForm()
{
    setObjectName(KClassName);
    resize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    AddPool(fGenTextBox, QStringLiteral("fGenTextBox"), KBoxWidth, KBoxHeight);
    AddPool(fGenRichTextBox, QStringLiteral("fGenRichTextBox"), KBoxWidth, 3 * KBoxHeight);
    AddPool(fGenComboBox, QStringLiteral("fGenComboBox"), KBoxWidth, 0);
    AddPool(fGenCheckBox, QStringLiteral("fGenCheckBox"), 0, KBoxHeight);
    AddPool(fGenButton, QStringLiteral("fGenButton"), KButtonWidth, KButtonHeight);
    AddPool(fGenListView, QStringLiteral("fGenListView"), KBoxWidth, 4 * KBoxHeight);
    AddPool(fGenLabel, QStringLiteral("fGenLabel"), KBoxWidth, KLabelHeight);
    AddPool(fGenPictureBox, QStringLiteral("fGenPictureBox"), KBoxWidth, 4 * KBoxHeight);

    fGenLine0 = Add<CVexilLine>(QStringLiteral("fGenLine0"));
    fGenLine0->SetVisible(false);

    fWallPaperBox = Add<CVexilPictureBox>(QStringLiteral("fWallPaperBox"));
    fTempPicBox = Add<CVexilPictureBox>(QStringLiteral("fTempPicBox"));
    fProgressBox = Add<CVexilPictureBox>(QStringLiteral("fProgressBox"));
    fProgressBox->Move(0, 0, KProgressWidth, KProgressHeight);
    fProgress = Add<CVexilLabel>(QStringLiteral("fProgress"), fProgressBox);
    fProgress->Move(0, 0, 0, KProgressHeight);
    fProgress->SetBackColor(CVexilCtl::FromQColor(palette().color(QPalette::Highlight)));
    for (CVexilCtl* ctl : {static_cast<CVexilCtl*>(fWallPaperBox), static_cast<CVexilCtl*>(fTempPicBox),
                           static_cast<CVexilCtl*>(fProgressBox), static_cast<CVexilCtl*>(fProgress)})
        ctl->SetVisible(false);
}

template <class T, size_t N>
void CVexilGenForm::AddPool(std::array<T*, N>& aPool, const QString& aPrefix, float aWidth, float aHeight)
{
    for (size_t i = 0; i < N; ++i)
    {
        T* widget = Add<T>(aPrefix + QString::number(i));
        // A size of 0 keeps the widget's own measure on that side.
        const QSize own = widget->sizeHint();
        widget->Move(0, 0, aWidth > 0 ? aWidth : CVexilCtl::PixelsToTwips(own.width()),
                     aHeight > 0 ? aHeight : CVexilCtl::PixelsToTwips(own.height()));
        widget->SetVisible(false);
        aPool[i] = widget;
    }
}

void CVexilGenForm::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilGenForm; });
}

CVexilGenForm* CVexilGenForm::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilGenForm*>(CVexilFormRegistry::NameToForm(KClassName));
}

void CVexilGenForm::SetWallPaperDrawing(const QImage& aPicture, std::vector<QPointF> aPositions)
{
    iWallPaper = aPicture;
    iWallPaperPositions = std::move(aPositions);
    update();
}

void CVexilGenForm::paintEvent(QPaintEvent* aEvent)
{
    CVexilForm::paintEvent(aEvent);
    if (iWallPaper.isNull() || iWallPaperPositions.empty())
        return;
    QPainter painter(this);
    for (const QPointF& at : iWallPaperPositions)
        painter.drawImage(QPoint(CVexilCtl::TwipsToPixels(float(at.x())), CVexilCtl::TwipsToPixels(float(at.y()))),
                          iWallPaper);
}
