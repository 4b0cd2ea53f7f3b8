#pragma once

#include <QString>

class QCheckBox;
class QWidget;

// The module procedures that need widgets: layout metrics measured once on the hidden
// measuring window, unit conversions and small widget helpers. Distances are 32-bit floats
// in twips (1440 to the inch, 15 to a logical pixel); conversions never round.
// The metric getters return 0 until InitLib has run and never change afterwards.
class CVexilLibUi
{
public:
    // Measures the default window font on the hidden measuring window and fixes the constants.
    // The text-file numbers and the special characters of key comparisons need no set-up.
    static void InitLib();

    // Height of one text line in the default font.
    static float LineHeight();
    // Added to a text height for the frame of a text box; twice for a list view or picture box.
    static float CtlBorderHeight();
    // Width of an average character of the default font.
    static float AvgCharWidth();
    // Added to a width computed from characters for a box; twice for a button.
    static float CtlBorderWidth();
    // Added to a width computed from characters for a list view or list column.
    static float ListBorderWidth();
    static float LayoutMargin();
    static float DenseLayoutMargin();

    // The 72 characters whose average width is the average character width.
    static const QString& WidthSample();
    // The hidden measuring window "CVexilTest"; made on first use, never shown.
    static QWidget* TestWindow();

    static float MmToTwips(float aMillimetres);
    static float TwipsToPixels(float aTwips);
    static float PixelsToTwips(float aPixels);

    // Width and height of a text in the window's current font.
    static float CtlTextWidth(const QWidget* aWindow, const QString& aText);
    static float CtlTextHeight(const QWidget* aWindow, const QString& aText);

    // True only when ticked; unticked and partly ticked are False.
    static bool CheckBoxToBool(const QCheckBox* aCheckBox);
    static void BoolToCheckBox(QCheckBox* aCheckBox, bool aValue);
};
