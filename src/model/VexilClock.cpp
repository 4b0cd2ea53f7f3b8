#include "model/VexilClock.h"

#include "foundation/VexilValue.h"

namespace
{
CVexilClock::TSource& Source()
{
    static CVexilClock::TSource source;
    return source;
}
}  // namespace

void CVexilClock::SetSource(TSource aSource)
{
    Source() = std::move(aSource);
}

QDateTime CVexilClock::Now()
{
    return Source() ? Source()() : QDateTime::currentDateTime();
}

void CVexilClock::Stamp(double& aDate, double& aTime)
{
    const QDateTime now = Now();
    const QTime time = now.time();
    aDate = CVexilValue::FromQDate(now.date());
    aTime = CVexilValue::FromQTime(QTime(time.hour(), time.minute(), time.second()));
}
