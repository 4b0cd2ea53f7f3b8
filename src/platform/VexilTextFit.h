#pragma once

class QPushButton;
class QWidget;

// Gives the captions of a window room in the platform's font: a button, check box, option
// button, label or frame whose caption is wider than the width its design gave it grows to
// fit (the design's width is the least it has). Controls further right in the same row of the
// same parent move right by as much, so that nothing comes to lie over its neighbour.
class CVexilTextFit
{
public:
    static void Apply(QWidget& aForm);
    // The pixels by which a control's caption is wider than its room; 0 when it fits or the
    // control has no caption of that kind.
    static int Shortfall(const QWidget& aControl);
    // The least width of a push button whose caption keeps the style's button margin to the
    // bevel (half on either side) instead of touching it.
    static int ButtonWidth(const QPushButton& aButton);
};
