#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "platform/VexilPressEnd.h"
#include "presentation/VexilPickerCallers.h"

#include <QImage>
#include <QPointF>
#include <QPointer>

#include <array>
#include <vector>

class CVexilStackView;

// The card window: from its design it holds the hidden pools of widgets that the card view
// lays a background out with (found by name: "fGenTextBox0" ...), the hidden picture boxes
// for the wallpaper and for scratch pictures, and the progress display of a running script.
// It creates no widgets after construction. The program keeps one instance, made on first
// use through the form registry under "CVexilGenForm".
//
// The window has no logic of its own: every event of a pool widget, and the clicks of the
// command menu's items, go with the widget to the current stack view (gStackView), which
// finds the field behind it. Focus-in is GotFocus; a focus-out that is not the window's own
// deactivation or an opening pop-up is Validate. A focus change made by a mouse press waits
// with both until the press ends, so that the click acts after the edit it ends was stored
// (and not at all when the edit was refused). No exception leaves an event handler: what the
// stack view raises is reported there.
class CVexilGenForm : public CVexilForm, public IVexilCardSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilGenForm");

    CVexilGenForm();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilGenForm* Instance();

    // The wallpaper painted under the widgets: the picture at each position (twips of the
    // client area, top left corner); an empty list paints none. Repaints later.
    void SetWallPaperDrawing(const QImage& aPicture, std::vector<QPointF> aPositions);
    const std::vector<QPointF>& WallPaperPositions() const { return iWallPaperPositions; }

    // The card picker's answer: goes to that card. aCase is not used.
    void SetCard(const TCardRef& aCard, int16_t aCase) override;
    // The change broadcast; the stack view keeps the window up to date, so nothing happens here.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    // An item of a list view was clicked: a card-list field goes to the card of the selected
    // line; other list fields do nothing.
    void ListViewItemClick(CVexilListView* aListView);

    // The first show of the window is its Load: it takes the stack view's placement, or the
    // default one when the stored placement cannot be used.
    void setVisible(bool aVisible) override;

    // True while the card view writes a check box's value, so that its click handler knows
    // the change is not the user's.
    bool iShowing = false;

    std::array<CVexilTextBox*, 20> fGenTextBox{};
    std::array<CVexilRichTextBox*, 10> fGenRichTextBox{};
    std::array<CVexilComboBox*, 10> fGenComboBox{};
    std::array<CVexilCheckBox*, 10> fGenCheckBox{};
    std::array<CVexilCommandButton*, 10> fGenButton{};
    std::array<CVexilListView*, 10> fGenListView{};
    std::array<CVexilLabel*, 30> fGenLabel{};
    std::array<CVexilPictureBox*, 10> fGenPictureBox{};
    CVexilLine* fGenLine0 = nullptr;
    CVexilPictureBox* fWallPaperBox = nullptr;
    CVexilPictureBox* fTempPicBox = nullptr;
    CVexilPictureBox* fProgressBox = nullptr;
    CVexilLabel* fProgress = nullptr;

protected:
    bool event(QEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;
    void paintEvent(QPaintEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;
    void mouseReleaseEvent(QMouseEvent* aEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;

private:
    template <class T, size_t N>
    void AddPool(std::array<T*, N>& aPool, const QString& aPrefix, float aWidth, float aHeight);
    // Hands the widgets' events to the stack view.
    void ConnectEvents();
    void Load();
    // Runs a handler's work and reports what it raises.
    template <class F>
    static void Guarded(F aWork);
    // Calls the current stack view, when there is one.
    template <class F>
    static void Forward(F aCall);
    // The same with the widget or menu item whose event it is.
    static void Forward(void (CVexilStackView::*aCall)(QObject*), QObject* aObj);
    bool FilterMouse(QObject* aWatched, QEvent* aEvent);
    void FocusIn(QObject* aWidget);
    void FocusOut(QObject* aWidget, Qt::FocusReason aReason);
    // The press that moved the focus has ended: the field it left is validated, then the
    // widget it entered is followed. Whether the click goes on.
    bool FocusMovedByPress();
    // A point of the window's own surface, where no widget is.
    bool OnSurface(const QPointF& aPosition) const;

    QImage iWallPaper;
    std::vector<QPointF> iWallPaperPositions;
    bool iLoaded = false;
    // The widget whose double click was the last mouse event: the release that ends the
    // double click is no click of its own.
    QObject* iDblClicked = nullptr;
    // While a press that moved the focus is handled: the edit widget it left first, and the
    // one it entered last.
    CVexilPressEnd iPressEnd;
    QPointer<QObject> iLeftByPress;
    QPointer<QObject> iEnteredByPress;
};
