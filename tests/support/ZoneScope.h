#pragma once

#include "EnvScope.h"

#include <ctime>

// Time zones as POSIX rules, so the tests need no zone database.
inline const char* const kOneHourEast = "UTC-1";
// Central Europe (Berlin): daylight saving from the last Sunday of March, 02:00, to the last
// Sunday of October, 03:00, when the clock turns back to 02:00.
inline const char* const kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
inline const char* const kUsEastern = "EST5EDT,M3.2.0,M11.1.0";

// Switches the process's time zone for the lifetime of the object.
class ZoneScope
{
public:
    explicit ZoneScope(const char* aZone) : iTz("TZ", aZone) { tzset(); }

private:
    struct TReread
    {
        ~TReread() { tzset(); }
    };
    TReread iReread;  // destroyed last, after the old zone is back
    EnvScope iTz;
};
