#include "editors/VexilCardInfo.h"

#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"

namespace
{
// Dates and times need nothing of a field but their type.
class TStampField final : public IVexilValueField
{
public:
    int32_t ConType() const override { return EConTypeDate; }
    int16_t Digits() const override { return UndefInt; }
};
}  // namespace

QString CVexilCardInfo::StampText(double aDate, double aTime)
{
    const TStampField field;
    TValue date;
    date.iType = EValDate;
    date.iDate = aDate;
    TValue time;
    time.iType = EValTime;
    time.iTime = aTime;
    return CVexilValue::ValToExtText(date, field) + QLatin1Char(' ') + CVexilValue::ValToExtText(time, field);
}

std::vector<TValueLine> CVexilCardInfo::ValueLines(CVexilCard& aCard, const CVexilControlSet& aBackground)
{
    std::vector<TValueLine> lines;
    TControlRef field;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(field, cursor); more; more = aBackground.GetNextControl(field, cursor))
    {
        TValue val;
        aCard.GetControlVal(field->Id(), val, false);
        lines.push_back({field, field->Name() + QLatin1Char('\t') + CVexilValue::ValToExtText(val, *field)});
    }
    return lines;
}
