#pragma once

#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"

#include <QString>

#include <functional>

class CVexilStack;

// A card found by the search: the card, its background, the first field whose display text
// holds the search text, and that text as the card window shows it.
struct TSearchHit
{
    TCardRef Card;
    TControlSetRef Background;
    TControlRef Control;
    QString Text;
};

// The search of the search window, without the window: which cards of a stack show a text.
//
// Guarantees: the cards come in stack order, each at most once, with the first of its fields in
// display order whose display text (the card's typed value, as the card window shows it)
// contains the search text without regard to case. An empty display text never matches; an
// empty search text matches every other. The stack is only read.
class CVexilCardSearch
{
public:
    // Whether aText holds aSearch, both upper-cased already.
    static bool Holds(const QString& aText, const QString& aSearch);
    // Calls aFound with each card that matches aSearch (as typed), and aProgress, when given,
    // after every KProgressCards cards.
    static void Run(CVexilStack& aStack, const QString& aSearch, const std::function<void(TSearchHit&&)>& aFound,
                    const std::function<void()>& aProgress = {});

    static constexpr int32_t KProgressCards = 256;
    // The line of the result list: card name, background, field and text, Tab between them.
    static QString ResultLine(const TSearchHit& aHit);
};
