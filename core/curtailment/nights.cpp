#include "core/curtailment/nights.h"

#include <algorithm>
#include <cmath>

#include "core/solpos/sun_times.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

struct DaySun {
    std::optional<double> sunrise;
    std::optional<double> sunset;
};

// Sun times of a local day as instants. The calculation works in the offset in force that day,
// so minutes after its midnight are added to the midnight of that offset, which keeps the
// seconds the calculation gives and is right on the days the clocks change.
DaySun sunOnDay(const CivilDate& date, const Site& site, const icu::TimeZone& zone) {
    const int offset = utcOffsetSecondsOnDate(date, zone);
    const SunTimes times =
        sunTimesForDay(site.latitude, site.longitude, offset / 3600.0, date.year, dayOfYear(date));
    if (!times.sunRisesAndSets()) {
        return {};
    }
    const double midnight = utcInstant({date, 0, 0, 0}) - offset;
    return {midnight + times.sunrise * 60.0, midnight + times.sunset * 60.0};
}

}  // namespace

NightCalendar nightsBetween(double from, double to, const Site& site, const NightOptions& options,
                            const icu::TimeZone& zone) {
    NightCalendar calendar;
    if (!std::isfinite(from) || !std::isfinite(to) || to < from) {
        return calendar;
    }
    const CivilDate first = addDays(localDateTime(from, zone).date, -1);
    const CivilDate last = localDateTime(to, zone).date;
    DaySun today = sunOnDay(first, site, zone);
    for (CivilDate date = first;;) {
        const CivilDate next = addDays(date, 1);
        const DaySun tomorrow = sunOnDay(next, site, zone);
        if (today.sunset && tomorrow.sunrise && *tomorrow.sunrise > *today.sunset) {
            calendar.nights.push_back({date, *today.sunset - options.minutesBeforeSunset * 60.0,
                                       *tomorrow.sunrise + options.minutesAfterSunrise * 60.0});
        } else {
            ++calendar.daysWithoutNight;
        }
        if (date == last) {
            break;
        }
        date = next;
        today = tomorrow;
    }
    std::vector<Night>& nights = calendar.nights;
    for (std::size_t k = 0; k + 1 < nights.size(); ++k) {
        nights[k].end = std::min(nights[k].end, nights[k + 1].start);
    }
    // A widening so large that a night vanishes leaves it out rather than giving it no length.
    std::erase_if(nights, [](const Night& night) { return !(night.end > night.start); });
    return calendar;
}

std::optional<NightPlace> nightPlaceOf(const NightCalendar& calendar, double instant, int parts) {
    const std::vector<Night>& nights = calendar.nights;
    // The first night that ends at or after the instant; the instant is in it when after its start.
    const auto found =
        std::lower_bound(nights.begin(), nights.end(), instant,
                         [](const Night& night, double value) { return night.end < value; });
    if (found == nights.end() || !(instant > found->start) || parts < 1) {
        return std::nullopt;
    }
    const double fraction = (instant - found->start) / (found->end - found->start);
    const int part = std::clamp(static_cast<int>(std::ceil(fraction * parts)) - 1, 0, parts - 1);
    return NightPlace{static_cast<std::size_t>(found - nights.begin()), part};
}

}  // namespace vane
