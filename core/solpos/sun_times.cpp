#include "core/solpos/sun_times.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vane {
namespace {

namespace chrono = std::chrono;

// S_solpos marks a day without sunrise or sunset with these values.
constexpr float kPolarSentinel = 2999.0f;

constexpr int kSecondsPerDay = 86400;
// The moment of the day the yearly picture asks at, 09:45:37.
constexpr int kQuerySecondOfDay = 9 * 3600 + 45 * 60 + 37;

// The calculation takes zones up to 12 hours from Greenwich and the years 1950 to 2050; a day
// of margin each way leaves room for the moment's shift below.
constexpr double kWidestZoneHours = 12.0;
constexpr double kHoursPerDay = 24.0;
constexpr chrono::sys_days kFirstCalculableDay{chrono::year{1950} / chrono::January / 2};
constexpr chrono::sys_days kLastCalculableDay{chrono::year{2050} / chrono::December / 30};
// The year of the calculation's own formulas: the days its sun takes to come back to the same
// mean longitude.
constexpr double kFormulaYearDays = 360.0 / 0.9856474;

// A moment on the local clock of a zone.
struct ClockMoment {
    chrono::sys_days day;
    int secondOfDay = kQuerySecondOfDay;
    double zoneHours = 0.0;
};

// A zone east of +12 (or west of -12) is its twin a day apart: the same instants read on clocks
// 24 hours apart. The calculation answers in minutes from the local midnight before the moment,
// so the twin's answer is the zone's to the last bit of arithmetic.
ClockMoment inCalculableZone(ClockMoment moment) {
    if (moment.zoneHours > kWidestZoneHours &&
        moment.zoneHours <= kWidestZoneHours + kHoursPerDay) {
        moment.day -= chrono::days{1};
        moment.zoneHours -= kHoursPerDay;
    } else if (moment.zoneHours < -kWidestZoneHours &&
               moment.zoneHours >= -kWidestZoneHours - kHoursPerDay) {
        moment.day += chrono::days{1};
        moment.zoneHours += kHoursPerDay;
    }
    return moment;
}

// A moment outside the calculation's years is moved by the fewest of its formula's years that
// bring it inside: the sun then stands where it stood, and the times from midnight are the
// same. What that leaves out is the slow turn of the earth's orbit against the seasons, which
// the formulas follow: the times part from theirs by up to half a minute a century away from
// those years (a quarter of a minute in 1900 and 2100, under two minutes in 1600 and 2400).
ClockMoment inCalculableYears(ClockMoment moment) {
    double years = 0.0;
    if (moment.day < kFirstCalculableDay) {
        years = std::floor((moment.day - kFirstCalculableDay).count() / kFormulaYearDays);
    } else if (moment.day > kLastCalculableDay) {
        years = std::ceil((moment.day - kLastCalculableDay).count() / kFormulaYearDays);
    } else {
        return moment;
    }
    const double seconds =
        static_cast<double>(moment.day.time_since_epoch().count()) * kSecondsPerDay +
        moment.secondOfDay - years * kFormulaYearDays * kSecondsPerDay;
    const double day = std::floor(seconds / kSecondsPerDay);
    const long long secondOfDay = std::llround(seconds - day * kSecondsPerDay);
    moment.day = chrono::sys_days{chrono::days{static_cast<long long>(day)}};
    moment.secondOfDay = static_cast<int>(secondOfDay);
    if (moment.secondOfDay == kSecondsPerDay) {
        moment.day += chrono::days{1};
        moment.secondOfDay = 0;
    }
    return moment;
}

}  // namespace

bool SunTimes::sunRisesAndSets() const {
    return error == 0 && std::fabs(sunrise) < kPolarSentinel && std::fabs(sunset) < kPolarSentinel;
}

SunTimes sunTimesForDay(double latitude, double longitude, double timeZoneHours, int year,
                        int dayOfYear) {
    const ClockMoment asked{
        chrono::sys_days{chrono::year{year} / chrono::January / 1} + chrono::days{dayOfYear - 1},
        kQuerySecondOfDay, timeZoneHours};
    const ClockMoment moment = inCalculableYears(inCalculableZone(asked));
    const chrono::year_month_day date{moment.day};
    const chrono::sys_days newYear{date.year() / chrono::January / 1};

    SunTimes times;
    SolposRecord& record = times.record;
    S_init(record);
    record.longitude = static_cast<float>(longitude);
    record.latitude = static_cast<float>(latitude);
    record.time_zone = static_cast<float>(moment.zoneHours);
    record.year = static_cast<int>(date.year());
    record.day_of_year = static_cast<int>((moment.day - newYear).count()) + 1;
    record.hour = moment.secondOfDay / 3600;
    record.minute = moment.secondOfDay / 60 % 60;
    record.second = moment.secondOfDay % 60;
    record.temperature = 27.0f;
    record.pressure = 1006.0f;
    times.error = S_solpos(record);
    if (times.error == 0) {
        times.sunrise = record.sunrise;
        times.sunset = record.sunset;
    }
    return times;
}

std::string formatClockTime(double minutesFromMidnight) {
    constexpr long long kSecondsPerDay = 86400;
    const long long total = std::llround(minutesFromMidnight * 60.0);
    long long dayShift = total / kSecondsPerDay;
    long long second = total % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --dayShift;
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", second / 3600, second / 60 % 60,
                  second % 60);
    std::string text = buffer;
    if (dayShift != 0) {
        text += (dayShift < 0 ? " -" : " +") + std::to_string(std::llabs(dayShift)) + "d";
    }
    return text;
}

}  // namespace vane
