#pragma once

#include "model/VexilCard.h"
#include "model/VexilControlSet.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilFont;
class CVexilStack;
class CVexilStackView;

// Where Create puts a new card in the stack order.
enum EInsertPos : int32_t
{
    EInsertNone = -1,
    EInsertAtEnd = 0,
    EInsertBeforeCur = 1,
    EInsertAfterCur = 2,
    EInsertBeforeSpec = 3,
};

// What Create and Modify write into a card besides its place: name, own font and back colour.
struct TCardInput
{
    QString Name;
    std::shared_ptr<CVexilFont> Font;  // none: inherited
    int32_t BackColor = UndefLong;     // UndefLong: inherited
};

// Creates, renames and deletes the single cards of the card editor through the stack view of
// the open stack, which keeps the card window, its history and the card list in step.
//
// Guarantees: a card is made, changed or deleted only while it (and a new card's background)
// belongs to the stack; a new card of a background kept sorted takes its sorted place, any
// other one goes before the card its insert position names, or to the end when there is none.
// A card is renamed only when the new name differs exactly; font and colour are always
// written. The caller broadcasts the change.
class CVexilCardWriter
{
public:
    CVexilCardWriter(CVexilStack& aStack, CVexilStackView& aStackView);

    // The card is one of the stack's cards; the background one of its backgrounds.
    bool Holds(const TCardRef& aCard) const;
    bool Holds(const TControlSetRef& aBackground) const;

    // The card a new card goes before: none for the end of the stack order or a sorted place.
    // aBeforeCardId is the card chosen for "before this card:". EInsertNone (no option) fails
    // the assertion "CreateCard pos".
    TCardRef CardToInsertBefore(bool aKeptSorted, int32_t aPos, int32_t aBeforeCardId) const;

    // The new card, or none when the background is no longer the stack's.
    TCardRef Create(const TControlSetRef& aBackground, const TCardInput& aInput, const TCardRef& aBeforeCard);
    // False when the card is no longer the stack's.
    bool Modify(const TCardRef& aCard, const TCardInput& aInput);
    // False when the card is no longer the stack's.
    bool Delete(const TCardRef& aCard);

private:
    CVexilStack& iStack;
    CVexilStackView& iStackView;
};
