#pragma once

#include "platform/VexilCtl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTreeWidget>

// The standard controls of the program's forms. Each is the Qt widget with the shared
// properties of CVexilCtl; what Qt offers under another name is used as Qt names it
// (a Caption is text()/setText(), a Locked box is setReadOnly, a combo box's ListIndex is
// currentIndex()).

// Single-line text box. It shows the start of a value the program sets and of its value when
// the focus leaves: the cursor goes before the first character (a value longer than the box
// would otherwise show its end, its first shown character cut, and read as another value).
// Only while the user works in the box does it scroll with the cursor.
class CVexilTextBox : public QLineEdit, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilTextBox(QWidget* aParent);

protected:
    QPalette::ColorRole ForeRole() const override { return QPalette::Text; }
    void focusOutEvent(QFocusEvent* aEvent) override;

private:
    // The change under way is the user's.
    bool iUserEdit = false;
};

// Multi-line text box. Its Text has CR LF line ends, as the program's values do; the widget
// keeps LF. The user types plain text only; the program may show rich text (TextRTF).
class CVexilRichTextBox : public QTextEdit, public CVexilCtl
{
    Q_OBJECT

public:
    // Pixels between the frame and the text.
    static constexpr int KTextInset = 2;

    explicit CVexilRichTextBox(QWidget* aParent);

    QString Text() const;
    void SetText(const QString& aText);
    // Shows the rich text that the program writes (CVexilRtfReader).
    void SetTextRtf(const QString& aRtf);
    // Caret position in characters of the widget.
    int SelStart() const;
    void SetSelStart(int aPosition);

protected:
    QPalette::ColorRole ForeRole() const override { return QPalette::Text; }
};

// Combo box with an edit field by default (items are not added by typing).
class CVexilComboBox : public QComboBox, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilComboBox(QWidget* aParent);

    // A locked box shows its text and line, but neither typing, the keys, the wheel nor the
    // drop-down list change them; the program still can.
    bool Locked() const { return iLocked; }
    void SetLocked(bool aLocked);
    void showPopup() override;

protected:
    QPalette::ColorRole ForeRole() const override { return QPalette::Text; }
    void keyPressEvent(QKeyEvent* aEvent) override;
    void wheelEvent(QWheelEvent* aEvent) override;

private:
    bool iLocked = false;
};

// Check box whose Value is 0 (unchecked), 1 (checked) or 2 (grayed).
class CVexilCheckBox : public QCheckBox, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilCheckBox(QWidget* aParent);

    int Value() const;
    // Any value other than 0 and 2 checks the box.
    void SetValue(int aValue);
};

// Option button: one choice of a group, the buttons of the same parent being the group.
class CVexilOptionButton : public QRadioButton, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilOptionButton(QWidget* aParent);
};

// Push button that may show a picture instead of, or beside, its caption.
class CVexilCommandButton : public QPushButton, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilCommandButton(QWidget* aParent);

    const QImage& Picture() const { return iPicture; }
    // A null image removes the picture.
    void SetPicture(const QImage& aPicture);

protected:
    QPalette::ColorRole ForeRole() const override { return QPalette::ButtonText; }

private:
    QImage iPicture;
};

// List view in report mode: columns with a header, one selected row, no editing.
class CVexilListView : public QTreeWidget, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilListView(QWidget* aParent);

    // Columns meant to fit the view: the last one is aWidth pixels wide where the visible
    // width leaves room for that, and narrower where it does not (beside a vertical scroll
    // bar), so that no horizontal scroll bar shows. -1: every column keeps its width and the
    // horizontal scroll bar shows as needed.
    // The last column is never narrower than its title, though: a title wider than the room
    // left beside the others makes the view scroll instead.
    void SetLastColumnFit(int aWidth);
    // The pixels a column's header needs to show its title whole.
    int TitleWidth(int aColumn) const;

protected:
    QPalette::ColorRole ForeRole() const override { return QPalette::Text; }
    void updateGeometries() override;

private:
    void FitLastColumn();

    int iLastColumnFit = -1;
};

// Label of plain text at its top left.
class CVexilLabel : public QLabel, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilLabel(QWidget* aParent);
};

// Picture box: a frame that paints its picture at natural size from its inner top left, and
// a Tag text for its owner (empty = none). It paints only in its paint event.
class CVexilPictureBox : public QFrame, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilPictureBox(QWidget* aParent);

    const QString& Tag() const { return iTag; }
    void SetTag(const QString& aTag) { iTag = aTag; }
    const QImage& Picture() const { return iPicture; }
    // A null image shows none; the box repaints later.
    void SetPicture(const QImage& aPicture);
    // The area inside the border (ScaleWidth, ScaleHeight).
    float InnerWidth() const { return PixelsToTwips(contentsRect().width()); }
    float InnerHeight() const { return PixelsToTwips(contentsRect().height()); }
    // With the sunken border (the default) or none.
    void SetBorder(bool aBorder);

protected:
    void paintEvent(QPaintEvent* aEvent) override;

private:
    QString iTag;
    QImage iPicture;
};

// A line between two end points (twips in the parent). The end points decide where it
// lies; it takes no mouse clicks.
class CVexilLine : public QWidget, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilLine(QWidget* aParent);

    float X1() const { return iEnds[0]; }
    float Y1() const { return iEnds[1]; }
    float X2() const { return iEnds[2]; }
    float Y2() const { return iEnds[3]; }
    void SetEnds(float aX1, float aY1, float aX2, float aY2);
    int32_t BorderColor() const { return iBorderColor; }
    void SetBorderColor(int32_t aColor);

protected:
    void paintEvent(QPaintEvent* aEvent) override;

private:
    float iEnds[4] = {};
    int32_t iBorderColor = 0;
};
