#pragma once

#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"

#include <QString>

#include <cstdint>

// The field of a card that the wiki text editor edits, with the type it had when the editor
// took it, and the conversions between the field's value and the editor's text, whose line
// ends are "\n" (the stored texts have CR LF). A text field's text is stored as it is typed;
// a number, date or time field's text is parsed as the card window parses it.
class CVexilWikiTextTarget
{
public:
    CVexilWikiTextTarget() = default;
    CVexilWikiTextTarget(const TCardRef& aCard, const TControlRef& aControl);

    const TCardRef& Card() const { return iCard; }
    const TControlRef& Control() const { return iControl; }

    // The card is in the current stack, which has a stack view, and the field is still in
    // the card's background with the type it had.
    bool InStack() const;
    // A change notice after which the editor must not store: its card or its background is
    // about to be deleted, the stack is closing, or the field is gone or has another type.
    bool LostBy(int32_t aEvent, const TObjRef& aObj0) const;
    // The display text of the card's typed value of the field.
    QString EditText() const;
    // The value that the editor's text stores: an empty text leaves the field undefined.
    TValue Value(const QString& aEditText) const;

private:
    TCardRef iCard;
    TControlRef iControl;
    int32_t iConType = 0;
};
