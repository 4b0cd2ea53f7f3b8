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
    if (Source())
        return Source()();
    // The local time is worked out once a second: the conversion consults the time zone
    // files, and a large import stamps millions of values.
    static qint64 cachedSecs = -1;
    static QDateTime cached;
    const qint64 secs = QDateTime::currentSecsSinceEpoch();
    if (secs != cachedSecs)
    {
        cachedSecs = secs;
        cached = QDateTime::currentDateTime();
    }
    return cached;
}

void CVexilClock::Stamp(double& aDate, double& aTime)
{
    const QDateTime now = Now();
    const QTime time = now.time();
    aDate = CVexilValue::FromQDate(now.date());
    aTime = CVexilValue::FromQTime(QTime(time.hour(), time.minute(), time.second()));
}
