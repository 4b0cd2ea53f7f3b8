#include "presentation/VexilPlacement.h"

#include "foundation/VexilRect.h"
#include "platform/VexilCtl.h"
#include "platform/VexilForm.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace
{
float Twips(int aPixels)
{
    return CVexilCtl::PixelsToTwips(aPixels);
}
}  // namespace

bool CVexilPlacement::Usable(const CVexilRect& aRect, const std::vector<QRect>& aScreens)
{
    QRect all;
    for (const QRect& screen : aScreens)
        all |= screen;
    // Compared in twips, before anything is turned into pixels that could overflow; a NaN
    // fails every comparison.
    const bool sized = aRect.Width() >= CVexilCtl::KTwipsPerPixel && aRect.Width() <= Twips(all.width()) &&
                       aRect.Height() >= CVexilCtl::KTwipsPerPixel && aRect.Height() <= Twips(all.height());
    if (!sized || !std::isfinite(aRect.X()) || !std::isfinite(aRect.Y()))
        return false;
    // A position far away is brought near the screens, where the window is still off them.
    const float x = std::clamp(aRect.X(), Twips(all.left() - all.width() - 1), Twips(all.right() + 1));
    const float y = std::clamp(aRect.Y(), Twips(all.top() - all.height() - 1), Twips(all.bottom() + 1));
    const QRect window(CVexilCtl::TwipsToPixels(x), CVexilCtl::TwipsToPixels(y),
                       CVexilCtl::TwipsToPixels(aRect.Width()), CVexilCtl::TwipsToPixels(aRect.Height()));
    const int needWidth = std::min(KMinVisible, window.width());
    const int needHeight = std::min(KMinVisible, window.height());
    return std::any_of(aScreens.begin(), aScreens.end(), [&](const QRect& aScreen) {
        const QRect shown = aScreen & window;
        return shown.width() >= needWidth && shown.height() >= needHeight;
    });
}

bool CVexilPlacement::TopShown(const QRectF& aWindow, const QRectF& aArea)
{
    const QRectF top(aWindow.topLeft(), QSizeF(aWindow.width(), std::min(aWindow.height(), qreal(Twips(KMinTopHeight)))));
    const QRectF shown = top & aArea;
    return !shown.isEmpty() && shown.width() >= std::min(aWindow.width(), qreal(Twips(KMinTopWidth))) &&
           shown.height() >= top.height();
}

std::vector<QRect> CVexilPlacement::ScreenAreas()
{
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->geometry());
    return areas;
}

std::vector<QRect> CVexilPlacement::WindowAreas()
{
    if (const QMdiArea* area = CVexilForm::MdiArea())
        return {QRect(QPoint(0, 0), area->viewport()->size())};
    return ScreenAreas();
}
