#pragma once

#include "model/VexilCard.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"

#include <QString>

#include <cstdint>

class QTimer;

// The window "Search": the cards of the open stack whose fields show the text typed into it,
// one line per card (name, background, first matching field, its text as shown), searched one
// second after the last change of the text. A click on a line shows that card; "Show" is
// enabled exactly when one card was found and shows it.
//
// Guarantees: a search runs only from the delay timer, never while the text changes, with the
// wait cursor; a search that takes longer than a moment shows its lines as it finds them. The
// lines hold only cards of the open stack: the lines of a card or background being deleted go
// at once, and any other change of cards, fields or value types starts the delay again. A line
// whose card has left the stack shows nothing. The window unloads when the stack closes. No
// exception leaves an event handler; what a handler raises is reported with its message.
class CVexilSearchForm final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilSearchForm");
    // The pause after the last change of the text before the search runs.
    static constexpr int KSearchDelay = 1000;
    // A search still running after this long shows the lines found so far and then each line
    // as it is found.
    static constexpr int KShowLinesAfter = 50;

    CVexilSearchForm();
    ~CVexilSearchForm() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    CVexilLabel* fTextLabel = nullptr;
    CVexilTextBox* fText = nullptr;
    CVexilCommandButton* fShow = nullptr;
    QTimer* fUpdateTimer = nullptr;
    CVexilListView* fCardList = nullptr;

protected:
    void Load() override;
    void resizeEvent(QResizeEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    void BuildDesign();
    void ConnectEvents();

    void StartDelay();
    void DoSearch();
    // Keeps the lines whose card passes aKeep, and "Show" enabled for exactly one.
    template <class F>
    void KeepLines(F aKeep);
    void UpdateShow();
    // Shows the card when it is still in the open stack and gives the card window the focus.
    void GoToCard(const TCardRef& aCard);

    void TextChanged();
    void LinePressed(QTreeWidgetItem* aItem);
    void ShowClicked();

    CVexilListBox iResultBox;
    bool iCardPicked = false;
    bool iLoading = false;
};
