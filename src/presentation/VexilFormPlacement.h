#pragma once

#include <QRectF>
#include <QString>

class CVexilForm;

// A window's placement in twips: left, top, width, height.
struct TWinRect
{
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;

    bool operator==(const TWinRect&) const = default;
};

// The placements of the program's windows, kept under "Windows" in the registry by the class
// name of the window's loaded instance. A window restored from there lies in its area (the
// screen for the main window, the main window's document area for the others) with room for
// its captions and controls.
class CVexilFormPlacement
{
public:
    // The class name of the main window, which is placed on the screen.
    static constexpr const char* KMainWindow = "CVexilFrame";

    static void Save(CVexilForm& aForm);
    static void Restore(CVexilForm& aForm);

    // Placement computations, plain functions of their arguments.
    static QString RectToStr(const TWinRect& aRect);
    // False when fewer than four fields, a value that is not finite, or no size on screen.
    static bool StrToRect(const QString& aText, TWinRect& aRect);
    // aStored applied to a window now at aCurrent inside aArea (twips): the screen for the
    // main window, the main window's client (MDI) area for the others. A size is reduced to
    // the area; a window that shows less than 40 x 20 pixels of its top in the area gets its
    // default placement (the main window's default rectangle, else aCurrent).
    static TWinRect ApplyFormRect(const TWinRect& aStored, const TWinRect& aCurrent, bool aFrame, bool aSizable,
                                  const QRectF& aArea);
    // The main window's default rectangle on a screen of that size (twips).
    static TWinRect DefaultFrameRect(float aScreenWidth, float aScreenHeight);

private:
    // The class name under which the window is loaded; empty when it is not loaded.
    static QString NameOf(const CVexilForm& aForm);
};
