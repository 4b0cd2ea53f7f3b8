#pragma once

#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"

#include <QRectF>

#include <memory>
#include <vector>

class CVexilCardListView;
class CVexilRect;

// The card list window: the list of cards, the background filter above it and the Up and
// Down buttons. The program keeps one instance, made on first use through the form registry
// under "CVexilCardListForm".
//
// The window has no logic of its own: its events go to its card list view and to the current
// stack view. No exception leaves an event handler: what a handler raises is reported with the
// error message. The user's close of the window leaves the stack and is refused while the
// stack stays open; the program's own closes pass.
class CVexilCardListForm : public CVexilForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCardListForm");

    CVexilCardListForm();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilCardListForm* Instance();

    // The view the window's events go to; the stack view owns it.
    void SetView(std::weak_ptr<CVexilCardListView> aView) { iView = std::move(aView); }

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    // The first show of the window is its Load: it takes the stack view's placement.
    void setVisible(bool aVisible) override;

    // The placement of a rectangle kept in a stack file, in the areas the window may be shown
    // in (twips): none, a rectangle that is not all numbers, or one that shows less than 40 x
    // 20 pixels of its top in every area gives aDefault; a size is reduced to the areas.
    static std::shared_ptr<CVexilRect> Placement(const CVexilRect* aStored, const CVexilRect& aDefault,
                                                 const std::vector<QRectF>& aAreas);
    // The areas the window is placed in (twips): the main window's document area when the
    // window opens in it, else the screens.
    std::vector<QRectF> PlacementAreas() const;

    // Set while code selects a line of the combo box: the combo box's events do nothing then.
    bool iShowing = false;

    CVexilListView* fCardBox = nullptr;
    CVexilLabel* fBackgroundLabel = nullptr;
    CVexilComboBox* fBackgroundCombo = nullptr;
    CVexilCommandButton* fUpBut = nullptr;
    CVexilCommandButton* fDownBut = nullptr;

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;

private:
    void ConnectEvents();
    void Load();
    void CardBoxItemClick();
    void CardBoxMouseUp();
    void BackgroundComboValidate();
    // Runs a handler's work and reports what it raises.
    template <class F>
    static void Guarded(F aWork);
    // Runs a handler's work on the view, when it still lives.
    template <class F>
    void WithView(F aWork);

    std::weak_ptr<CVexilCardListView> iView;
    bool iCardPicked = false;
    bool iLoading = false;
    bool iLoaded = false;
};
