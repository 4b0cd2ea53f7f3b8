#pragma once

#include "model/VexilControl.h"

#include <QString>

#include <vector>

class CVexilCard;
class CVexilControlSet;

// A line of the values list: the field and its text.
struct TValueLine
{
    TControlRef Field;
    QString Line;
};

// What the card editor shows of a card besides its name: its stamps and its values.
class CVexilCardInfo
{
public:
    // A stored date and time of day as one text: the locale's short date, a blank and its
    // long time.
    static QString StampText(double aDate, double aTime);
    // One line per field of the background in display order: the field's name, a Tab and the
    // display text of the card's value (its own, else the field's default).
    static std::vector<TValueLine> ValueLines(CVexilCard& aCard, const CVexilControlSet& aBackground);
};
