#pragma once

#include "foundation/VexilValueDef.h"
#include "model/VexilCard.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class CVexilControl;
class CVexilControlSet;
class CVexilStack;
class CVexilValueConversion;

// Changes the type of a field of a background and carries over the value every card of the
// background stores for it and the field's default value (CVexilValueConversion).
//
// Guarantees: the field's own type changes nothing. Every new value is computed before
// anything is written; when the field is in use (a part of a sort key, a combo list, or a
// combo text that the new type would not fit) or any value or the default cannot be
// converted, the change is refused with EMsgControlNotUsable naming the field and the reason
// (for a value: the first card in the stack order that holds one), and the stack is left as
// it was. Otherwise the field takes the new type first, so that every value stored afterwards
// has the field's value type; no field is ever left with values of two types.
class CVexilValueTypeChange
{
public:
    CVexilValueTypeChange(CVexilStack& aStack, CVexilControlSet& aBackground, CVexilControl& aControl);

    // True when the type changed; the caller broadcasts it. aNewType is an EConType.
    bool Change(int32_t aNewType, QChar aDecSep);

private:
    // Why the field may not change to that type (the second text of the message), or empty.
    QString UseRefusal(int32_t aNewType) const;
    // A card's new value.
    using TNewValue = std::pair<TCardRef, TValue>;

    // Each card's new value in aValues, or false (refused) when any cannot be converted.
    bool ConvertValues(CVexilValueConversion& aConversion, std::vector<TNewValue>& aValues) const;
    // The new default in neutral text, or false (refused).
    bool ConvertDefault(CVexilValueConversion& aConversion, QString& aDefault) const;
    bool Refuse(const QString& aReason) const;

    CVexilStack& iStack;
    CVexilControlSet& iBackground;
    CVexilControl& iControl;
};
