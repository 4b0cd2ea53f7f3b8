#include "platform/VexilCtl.h"

#include "platform/VexilForm.h"

#include <QWidget>

#include <cmath>

CVexilCtl::CVexilCtl(QWidget* aWidget, QPalette::ColorRole aBackRole)
    : iWidget(aWidget), iBackRole(aBackRole), iBackColor(FromQColor(aWidget->palette().color(aBackRole)))
{
}

CVexilCtl* CVexilCtl::Of(QObject* aObject)
{
    return dynamic_cast<CVexilCtl*>(aObject);
}

QString CVexilCtl::Name() const
{
    return iWidget->objectName();
}

int CVexilCtl::TwipsToPixels(float aTwips)
{
    return int(std::lround(aTwips / KTwipsPerPixel));
}

int CVexilCtl::PixelSide(const QRect& aRect, int aSide)
{
    switch (aSide)
    {
    case 0: return aRect.x();
    case 1: return aRect.y();
    case 2: return aRect.width();
    default: return aRect.height();
    }
}

float CVexilCtl::Side(int aSide) const
{
    const int pixels = PixelSide(PixelRect(), aSide);
    // What was set reads back as set while the widget stays where it was placed.
    if (iSet[aSide] && pixels == iPlaced[aSide])
        return iTwips[aSide];
    return PixelsToTwips(pixels);
}

void CVexilCtl::SetSide(int aSide, float aTwips)
{
    // The other sides keep what they read now: their twips while they stay where they were
    // put, else their pixels.
    for (int side = 0; side < 4; ++side)
        iTwips[side] = side == aSide ? aTwips : Side(side);
    for (bool& set : iSet)
        set = true;
    Place();
}

void CVexilCtl::Move(float aLeft, float aTop, float aWidth, float aHeight)
{
    iTwips[0] = aLeft;
    iTwips[1] = aTop;
    iTwips[2] = aWidth;
    iTwips[3] = aHeight;
    for (bool& set : iSet)
        set = true;
    Place();
}

void CVexilCtl::Place()
{
    for (int side = 0; side < 4; ++side)
    {
        iPlaced[side] = TwipsToPixels(iTwips[side]);
        // A negative size places nothing; it still reads back as set.
        if (side >= 2 && iPlaced[side] < 0)
            iPlaced[side] = 0;
    }
    PlacePixels(QRect(iPlaced[0], iPlaced[1], iPlaced[2], iPlaced[3]));
}

QRect CVexilCtl::PixelRect() const
{
    return iWidget->geometry();
}

void CVexilCtl::PlacePixels(const QRect& aRect)
{
    iWidget->setGeometry(aRect);
}

bool CVexilCtl::Visible() const
{
    return !iWidget->isHidden();
}

void CVexilCtl::SetVisible(bool aVisible)
{
    iWidget->setVisible(aVisible);
}

bool CVexilCtl::Enabled() const
{
    return !iWidget->testAttribute(Qt::WA_ForceDisabled);
}

void CVexilCtl::SetEnabled(bool aEnabled)
{
    iWidget->setEnabled(aEnabled);
}

int32_t CVexilCtl::TabIndex() const
{
    return iTabIndex;
}

void CVexilCtl::SetTabIndex(int32_t aIndex)
{
    CVexilForm* form = CVexilForm::FormOf(*this);
    if (!form || !form->MoveInTabOrder(*this, aIndex))
        iTabIndex = aIndex;
}

void CVexilCtl::SetBackColor(int32_t aColor)
{
    iBackColor = aColor;
    QPalette palette = iWidget->palette();
    palette.setColor(iBackRole, ToQColor(aColor));
    iWidget->setPalette(palette);
    if (iBackRole == QPalette::Window)
        iWidget->setAutoFillBackground(true);
}

int32_t CVexilCtl::ForeColor() const
{
    return FromQColor(iWidget->palette().color(ForeRole()));
}

void CVexilCtl::SetForeColor(int32_t aColor)
{
    QPalette palette = iWidget->palette();
    palette.setColor(ForeRole(), ToQColor(aColor));
    iWidget->setPalette(palette);
}

QColor CVexilCtl::ToQColor(int32_t aColor)
{
    return QColor(aColor & 0xFF, (aColor >> 8) & 0xFF, (aColor >> 16) & 0xFF);
}

int32_t CVexilCtl::FromQColor(const QColor& aColor)
{
    return int32_t(aColor.red()) | (int32_t(aColor.green()) << 8) | (int32_t(aColor.blue()) << 16);
}
