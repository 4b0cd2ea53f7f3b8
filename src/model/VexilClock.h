#pragma once

#include <QDateTime>

#include <functional>

// The model's clock for creation and modification stamps; tests set their own source.
class CVexilClock
{
public:
    using TSource = std::function<QDateTime()>;

    // An empty source restores the system clock.
    static void SetSource(TSource aSource);
    static QDateTime Now();
    // Now as a stored date (days since 1899-12-30) and time of day, to whole seconds.
    static void Stamp(double& aDate, double& aTime);
};
