#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>

class CVexilCard;
class CVexilControl;
class CVexilCtl;
class CVexilFont;
class CVexilRect;
class QCheckBox;
class QWidget;

// The module procedures that need widgets: layout metrics measured once on the hidden
// measuring window, geometry and unit conversions, and the fonts and back colours of controls.
// Distances are 32-bit floats in twips (1440 to the inch, 15 to a logical pixel); conversions
// never round. The metric getters return 0 until InitLib has run and never change afterwards.
// Colours are 32-bit with red in the low byte; UndefLong is no colour.
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

    // The position and size of a window or control; SetCtlRect with none leaves it alone.
    static std::shared_ptr<CVexilRect> GetCtlRect(const CVexilCtl& aCtl);
    static void SetCtlRect(CVexilCtl& aCtl, const CVexilRect* aRect);

    static float MmToTwips(float aMillimetres);
    static float TwipsToPixels(float aTwips);
    static float PixelsToTwips(float aPixels);

    // A list view's width less the list border, at least 100; a missing view counts as 0 wide.
    static float ListInnerWidth(const CVexilCtl* aListView);
    // Width and height of a text in the window's current font.
    static float CtlTextWidth(const QWidget* aWindow, const QString& aText);
    static float CtlTextHeight(const QWidget* aWindow, const QString& aText);

    // The width a single-line text box needs to show every display text of a date or a time
    // of day (aValType EValDate or EValTime) whole in its font, frame included; 0 for other
    // types, whose texts have no widest form.
    static float ValueBoxWidth(const QWidget& aBox, int32_t aValType);

    // True only when ticked; unticked and partly ticked are False.
    static bool CheckBoxToBool(const QCheckBox* aCheckBox);
    static void BoolToCheckBox(QCheckBox* aCheckBox, bool aValue);

    // The font of a field on a card: the fonts of the card's stack, its background, the card
    // and the field (when given) laid over each other, then completed with Arial, 11 points
    // and black.
    static std::shared_ptr<CVexilFont> GetEffectiveFont(const CVexilCard& aCard, const CVexilControl* aField);
    // The back colour of a card: the card's, else its background's, else its stack's, else the
    // button-face colour of the measuring window. Never UndefLong.
    static int32_t GetEffectiveBackColor(const CVexilCard& aCard);
    // The button-face colour of the platform, the measuring window's back colour.
    static int32_t ButtonFaceColor();
    // Gives the control the effective font in its true size and its fore colour (and a wiki
    // text field's renderer the same font), and measures in it on the measuring window: the
    // line height, and the width of a label's caption or of an average character for others.
    // The measuring window keeps that font.
    static void ApplyControlFont(CVexilCtl& aCtl, const CVexilCard& aCard, const CVexilControl* aField,
                                 float& aLineHeight, float& aWidth);
    // No colour gives white, except that a command button keeps the platform's face colour.
    static void SetCtlBackColor(CVexilCtl& aCtl, int32_t aColor);
    // The default size (220) shows in 8 points unless aTrueSize.
    static QFont MakeStdFont(const CVexilFont& aFont, bool aTrueSize);
    // Points to twentieths of a point, halves to even; beyond 16 bits run-time error 6.
    static int16_t PointsToTwipsInt(float aPoints);
    static float TwipsToPoints(int16_t aSize);
};
