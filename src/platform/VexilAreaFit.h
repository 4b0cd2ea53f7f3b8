#pragma once

#include <QRect>
#include <QSize>

class CVexilForm;

// Fits a window that opens in the main window's document area: the window gets at least the
// size its controls need and lies wholly inside the area. When the area is too small for it,
// the main window grows as far as the screen's available room allows; only what is still
// missing then is left to the area's scroll bars. A placement that fits stays as it is.
class CVexilAreaFit
{
public:
    struct TPlan
    {
        QRect Window;  // the frame's rectangle in the area
        QSize Growth;  // how much the main window grows
    };

    // aWindow: the frame's rectangle in the area; aNeed: the frame size the window's controls
    // need; aArea: the area's size; aRoom: how much the main window may still grow.
    static TPlan Plan(const QRect& aWindow, const QSize& aNeed, const QSize& aArea, const QSize& aRoom);

    // Fits a window that lies in the area by the plan; a top-level or maximized window and a
    // window of an area that is gone stay as they are.
    static void Fit(CVexilForm& aForm);
};
