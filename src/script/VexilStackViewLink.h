#pragma once

#include "foundation/VexilValueDef.h"
#include "model/VexilCard.h"
#include "model/VexilStack.h"

#include <cstdint>

// What a running script needs of the stack view that shows the open stack. The card
// presentation implements it and installs it while a stack is open. GoToCard, OrderNext and
// SetValue may yield to the event loop and send script messages of their own.
class IVexilStackViewLink
{
public:
    virtual ~IVexilStackViewLink() = default;
    // The open stack.
    virtual TStackRef Stack() const = 0;
    // The card on view, or none.
    virtual TCardRef CurCard() const = 0;
    // Leaves the current card (which may send "closeField" or "exitField"), shows the card
    // (which sends "openCard") and adds it to the history.
    virtual void GoToCard(const TCardRef& aCard) = 0;
    // Shows the card after the current one in stack order; at the last card nothing is shown
    // and the result is false.
    virtual bool OrderNext(TCardRef& aCard) = 0;
    // Stores a card's value of a field (the card need not be on view) and shows it when it is.
    virtual void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aVal) = 0;
    // The progress of a running script: the label is aPercent (0 to 100) of its box's width.
    virtual void ShowProgress(int32_t aPercent) = 0;
};

class CVexilStackViewLink
{
public:
    // Not owned; none while no stack is open.
    static void Install(IVexilStackViewLink* aView);
    static IVexilStackViewLink* Current();
};
