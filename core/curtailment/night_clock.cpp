#include "core/curtailment/night_clock.h"

#include <cstdio>

#include "core/time/local_time.h"

namespace vane {
namespace {

std::string clockText(double instant, const icu::TimeZone& zone) {
    // Rounded to the minute, as a controller is set; 23:59:30 is the next day's 00:00.
    const LocalDateTime local = localDateTime(instant + 30.0, zone);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.hour, local.minute);
    return text;
}

}  // namespace

std::vector<MonthNight> midMonthNights(int year, const Site& site, const NightOptions& options,
                                       const icu::TimeZone& zone) {
    const double from = localInstant({{year, 1, 1}, 12, 0, 0}, zone);
    const double to = localInstant({{year, 12, 31}, 12, 0, 0}, zone);
    std::vector<MonthNight> nights;
    for (const Night& night : nightsBetween(from, to, site, options, zone).nights) {
        if (night.date.year == year && night.date.day == 15) {
            nights.push_back({night.date.month, night});
        }
    }
    return nights;
}

std::string nightPartClock(const Night& night, int part, int parts, const icu::TimeZone& zone) {
    const double length = (night.end - night.start) / (parts > 0 ? parts : 1);
    return clockText(night.start + part * length, zone) + "-" +
           clockText(night.start + (part + 1) * length, zone);
}

}  // namespace vane
