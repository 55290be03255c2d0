#pragma once

#include <cstdint>
#include <optional>

#include "core/icu_forward.h"
#include "core/solpos/sun_times.h"

namespace vane {

// 1 January is 1; the day is taken in `zone`.
std::int32_t dayOfYearForDate(double instant, const icu::TimeZone& zone);

// A calculated time in minutes from local midnight on the clock: whole hours rounded down and
// the whole minutes after them (-90 reads as -2:30, that is 22:30 the day before; 1500 as 25:00,
// 01:00 the day after).
struct ClockReading {
    int hour = 0;
    int minute = 0;
    friend bool operator==(const ClockReading&, const ClockReading&) = default;
};
ClockReading clockReadingOfMinutes(float minutes);

// Hours east of Greenwich in force in `zone` on the local day of `instant`: its standard offset
// plus that day's daylight saving, whatever the date of the run.
double timeZoneHoursOnDate(double instant, const icu::TimeZone& zone);

// The night that begins on one day at one site.
struct SunTimeQuery {
    double datum = 0.0;   // the day, as an instant at its local midnight
    float xcoord = 0.0f;  // longitude, degrees east
    float ycoord = 0.0f;  // latitude, degrees north
};

struct NightSunTimes {
    double sunset = 0.0;   // on the queried day
    double sunrise = 0.0;  // on the following day, at the sunrise time of the queried day
};

struct SunTimeAnswer {
    std::optional<NightSunTimes> times;  // none when the day's sun times are undefined
    SunTimes calculation;                // what the solar position calculation answered
};

// Asks the solar position calculation for the query's day. A day without sunrise or sunset, or a
// query the calculation refuses, has no times; the answer's calculation says why (whoever shows
// it words it with solposMessages()).
SunTimeAnswer getSunTimesForLocationSameDate(const SunTimeQuery& query, const icu::TimeZone& zone);

}  // namespace vane
