#pragma once

#include <QRect>
#include <QRectF>

#include <vector>

class CVexilRect;

// Whether a window placement kept in a stack file can be used in the areas at hand (the
// screens, or the main window's document area). Stored rectangles are not trusted: one that is
// not a number, has no size, is larger than all areas together or shows too little of itself
// in every area is refused, and the window takes its default placement instead.
class CVexilPlacement
{
public:
    // Pixels of a window, in both directions, that must lie on one screen (less when the
    // window is smaller).
    static constexpr int KMinVisible = 48;

    // Pixels of a window's top edge that must lie in the area it is placed in, across and
    // down (less when the window is smaller), so that the user can reach it and drag it.
    static constexpr int KMinTopWidth = 40;
    static constexpr int KMinTopHeight = 20;

    // Whether enough of the top of the window lies in the area; both in twips.
    static bool TopShown(const QRectF& aWindow, const QRectF& aArea);
    // aScreens: the areas of the screens in logical pixels.
    static bool Usable(const CVexilRect& aRect, const std::vector<QRect>& aScreens);
    // The areas of the screens of this session.
    static std::vector<QRect> ScreenAreas();
    // The areas windows are placed in: the main window's document area while windows open in
    // it (its own coordinates), else the screens.
    static std::vector<QRect> WindowAreas();
};
