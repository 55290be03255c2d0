#pragma once

#include <optional>
#include <vector>

#include "core/icu_forward.h"
#include "core/time/civil_date.h"

namespace vane {

struct Site {
    double latitude = 0.0;   // degrees north
    double longitude = 0.0;  // degrees east
};

struct NightOptions {
    int parts = 10;               // equal parts of each night
    int minutesBeforeSunset = 0;  // the night starts this much before sunset
    int minutesAfterSunrise = 0;  // and ends this much after sunrise
};

// One night: from the widened sunset of `date` to the widened sunrise of the day after.
struct Night {
    CivilDate date;  // the day it starts on, which gives its month
    double start = 0.0;
    double end = 0.0;
};

struct NightCalendar {
    std::vector<Night> nights;  // ascending, never overlapping
    // Days in the span whose sun does not set, or does not rise the morning after (polar day and
    // night): they have no night, and their intervals no cell.
    int daysWithoutNight = 0;
};

// The nights that start on the local days (in `zone`) from the day before `from` to the day of
// `to`, by our own solar position calculation. A widened night that would reach into the next one
// ends where that one starts.
NightCalendar nightsBetween(double from, double to, const Site& site, const NightOptions& options,
                            const icu::TimeZone& zone);

// Where an instant lies in the nights: which night, and which of `parts` equal parts holds it (a
// part holds its end, not its start).
struct NightPlace {
    std::size_t night = 0;
    int part = 0;  // 0-based
};
std::optional<NightPlace> nightPlaceOf(const NightCalendar& calendar, double instant, int parts);

}  // namespace vane
