#pragma once

#include <string>

#include "core/solpos/solpos.h"

namespace vane {

// Sunrise and sunset of one day at one site, as the yearly picture asks for them.
struct SunTimes {
    long error = 0;       // validation bits of S_solpos; 0 when the query was valid
    SolposRecord record;  // the record after the call, for S_decode
    float sunrise = 0;    // minutes from local midnight of the query's zone, or a polar sentinel
    float sunset = 0;

    bool sunRisesAndSets() const;
};

// The calculation at 09:45:37 local time with 27 °C and 1006 mbar, so that every caller gets the
// same times the yearly picture marks. timeZoneHours is east of Greenwich, from -36 to +36 (real
// zones run from -12 to +14); any year of the calendar gives times, exact from 1950 to 2050 and
// within half a minute a century outside them. Only a site off the globe is refused.
SunTimes sunTimesForDay(double latitude, double longitude, double timeZoneHours, int year,
                        int dayOfYear);

// "HH:MM:SS" of a time given in minutes from local midnight, rounded to the second. A time on
// another day is shown on that day's clock, followed by the shift in days (" -1d", " +1d").
std::string formatClockTime(double minutesFromMidnight);

}  // namespace vane
