#pragma once

#include <QRect>

#include <vector>

class CVexilRect;

// Whether a window placement kept in a stack file can be used on the screens at hand. Stored
// rectangles are not trusted: one that is not a number, has no size, is larger than all
// screens together or shows too little of itself on every screen is refused, and the window
// takes its default placement instead.
class CVexilPlacement
{
public:
    // Pixels of a window, in both directions, that must lie on one screen (less when the
    // window is smaller).
    static constexpr int KMinVisible = 48;

    // aScreens: the areas of the screens in logical pixels.
    static bool Usable(const CVexilRect& aRect, const std::vector<QRect>& aScreens);
    // The areas of the screens of this session.
    static std::vector<QRect> ScreenAreas();
};
