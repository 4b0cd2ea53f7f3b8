#pragma once

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>

#include <cstdint>

class QObject;
class QWidget;
class CVexilForm;

// The properties every window and control of the program shares, in the units the program
// computes with: positions and sizes are 32-bit floats in twips (logical pixels x 15),
// colours 32-bit with red in the low byte.
//
// A position or size that is set is kept as given and the widget is placed at the nearest
// pixel, so it reads back exactly what was set as long as nothing else moved the widget;
// a side that was moved by other means (the user resizing a window) reads as its pixels.
// Visible and Enabled are the control's own settings, whatever its parents show.
class CVexilCtl
{
public:
    static constexpr float KTwipsPerPixel = 15.0F;

    explicit CVexilCtl(QWidget* aWidget, QPalette::ColorRole aBackRole);
    virtual ~CVexilCtl() = default;
    CVexilCtl(const CVexilCtl&) = delete;
    CVexilCtl& operator=(const CVexilCtl&) = delete;

    // The control behind a widget or window, or none when it is not one of ours.
    static CVexilCtl* Of(QObject* aObject);

    QWidget* Widget() const { return iWidget; }
    QString Name() const;

    float Left() const { return Side(0); }
    float Top() const { return Side(1); }
    float Width() const { return Side(2); }
    float Height() const { return Side(3); }
    void SetLeft(float aLeft) { SetSide(0, aLeft); }
    void SetTop(float aTop) { SetSide(1, aTop); }
    void SetWidth(float aWidth) { SetSide(2, aWidth); }
    void SetHeight(float aHeight) { SetSide(3, aHeight); }
    // All four at once, placing the widget once.
    void Move(float aLeft, float aTop, float aWidth, float aHeight);

    bool Visible() const;
    void SetVisible(bool aVisible);
    bool Enabled() const;
    void SetEnabled(bool aEnabled);

    // Position in the tab order of the form, from 0; setting it moves the control there and
    // the controls between shift by one, so the indexes stay 0 to count - 1.
    int32_t TabIndex() const;
    void SetTabIndex(int32_t aIndex);

    int32_t BackColor() const { return iBackColor; }
    void SetBackColor(int32_t aColor);
    int32_t ForeColor() const;
    void SetForeColor(int32_t aColor);

    // Colour conversions: 32-bit value with red in the low byte.
    static QColor ToQColor(int32_t aColor);
    static int32_t FromQColor(const QColor& aColor);
    static float PixelsToTwips(int aPixels) { return float(aPixels) * KTwipsPerPixel; }
    static int TwipsToPixels(float aTwips);

protected:
    // The pixel rectangle that Left, Top, Width and Height describe, and placing it.
    // Controls use their geometry in the parent; a window its frame (see CVexilForm).
    virtual QRect PixelRect() const;
    virtual void PlacePixels(const QRect& aRect);
    // The role that foreground texts use (Text for edit fields, WindowText for others).
    virtual QPalette::ColorRole ForeRole() const { return QPalette::WindowText; }

private:
    friend class CVexilForm;

    float Side(int aSide) const;
    void SetSide(int aSide, float aTwips);
    void Place();
    static int PixelSide(const QRect& aRect, int aSide);

    QWidget* iWidget;
    QPalette::ColorRole iBackRole;
    float iTwips[4] = {};
    int iPlaced[4] = {};     // the pixels the twips were placed at
    bool iSet[4] = {};       // whether the side was ever set through this interface
    int32_t iBackColor;
    int32_t iTabIndex = 0;  // used while the control is on no form
};
