#pragma once

#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackViewWindows.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CVexilCardListForm;

// The card list of a stack on the card list window: one line per card in stack order, the
// card name and the fields its background marks for the list as columns, filtered by the
// background chosen in the window's combo box ("(All)" lists every card), and the moves of
// the window's Up and Down buttons.
//
// Guarantees: every line's object is its card and the lines follow the stack order; a list
// has at most CVexilListBox::KMaxCols columns, the card name included, and a line never holds
// more columns than the list (later fields are left out); the combo box holds "(All)" and then
// the stack's backgrounds. The stack view owns the view; the window forwards its events to it
// for as long as it lives.
class CVexilCardListView final : public IVexilCardListView, public std::enable_shared_from_this<CVexilCardListView>
{
public:
    static inline const QString KAll = QStringLiteral("(All)");

    // A view of the stack on the card list window, loaded (not shown) for it; not filled.
    static std::shared_ptr<CVexilCardListView> Make(const TStackRef& aStack);

    // Binds the view to the window and fills the combo box with "(All)" selected. The view
    // must be owned by a shared pointer: the window keeps a weak one.
    void Construct(const TStackRef& aStack, CVexilCardListForm& aForm);

    CVexilListBox& CardBox() override { return iCardBox; }
    CVexilListBox& BackgroundCombo() { return iBackgroundCombo; }
    CVexilForm* Form() const override;
    const TControlSetRef& Background() const { return iBackground; }
    bool Mixed() const { return iMixed; }

    // Refills the list for the background selected in the combo box; without aForce nothing
    // happens when that background is listed already ("(All)" is always refilled).
    void FillAndShowCardList(bool aForce) override;
    // Rewrites the line of the card; a card without a line is left alone.
    void UpdateCard(const TCardRef& aCard) override;
    // The change broadcast the window hears.
    void ChangeNotify(int32_t aEvent);
    // The Up and Down buttons: the selected card, or the whole block of a background that
    // keeps its cards sorted, one place up or down; then both windows show the new order and
    // the card stays selected. A selected card no longer in the stack refills the list.
    void MoveSelectedCard(bool aUp);

    // One place up or down in the stack order, jumping over a whole block of a background that
    // keeps its cards sorted; such a block moves as one. False when nothing lies beyond.
    static bool MoveInStack(CVexilStack& aStack, const TCardRef& aCard, bool aUp);

private:
    // The fields of a background that the list shows, in display order.
    using TListFields = std::vector<TControlRef>;

    void FillBackgroundCombo();
    void FillCardList();
    const TListFields& ListFieldsOf(const CVexilCard& aCard);
    QString BuildCardLine(CVexilCard& aCard, const TListFields& aFields);
    // The display text of a value of the field. Formatting a date is slow and a list of many
    // cards holds few distinct dates: each is formatted once for a filling.
    QString ValueText(const TValue& aValue, const CVexilControl& aField);
    bool InStack(const TCardRef& aCard) const;

    QPointer<CVexilCardListForm> iForm;
    TStackRef iStack;
    CVexilListBox iCardBox;
    CVexilListBox iBackgroundCombo;
    TControlSetRef iBackground;
    bool iMixed = false;
    bool iShowName = false;
    // Fields a line holds at most: the columns after the card name.
    int iMaxFieldCols = 0;
    // The list fields of each background met while filling (by background id).
    std::vector<std::pair<int32_t, TListFields>> iListFields;
    // The texts of the dates met while filling, by field id and date.
    QHash<std::pair<int32_t, double>, QString> iDateTexts;
    // Room for a line: the length of the line before and some more.
    qsizetype iLineLength = 0;
};
