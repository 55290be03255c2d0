#include "core/yearly/sun_time_query.h"

#include <cmath>

#include "core/time/civil_date.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

constexpr double kSecondsPerHour = 3600.0;
constexpr double kMinutesPerHour = 60.0;

LocalDateTime clockTimeOnDay(const LocalDateTime& day, float minutes) {
    const ClockReading reading = clockReadingOfMinutes(minutes);
    LocalDateTime clock = day;
    clock.hour = reading.hour;
    clock.minute = reading.minute;
    return clock;
}

}  // namespace

ClockReading clockReadingOfMinutes(float minutes) {
    // Taken apart in whole minutes rather than through the fraction of the hours, which comes
    // out just below the minute for many whole-minute times (21:27 would read as 21:26), and with
    // the hours rounded down, so that a time before midnight stays on the day before.
    const double total = minutes;
    double hours = std::floor(total / kMinutesPerHour);
    double minuteOfHour = total - kMinutesPerHour * hours;
    if (minuteOfHour < 0.0) {
        minuteOfHour += kMinutesPerHour;
        hours -= 1.0;
    } else if (minuteOfHour >= kMinutesPerHour) {
        minuteOfHour -= kMinutesPerHour;
        hours += 1.0;
    }
    return {static_cast<int>(hours), static_cast<int>(std::trunc(minuteOfHour))};
}

std::int32_t dayOfYearForDate(double instant, const icu::TimeZone& zone) {
    return dayOfYear(localDateTime(instant, zone).date);
}

double timeZoneHoursOnDate(double instant, const icu::TimeZone& zone) {
    return utcOffsetSecondsOnDate(localDateTime(instant, zone).date, zone) / kSecondsPerHour;
}

SunTimeAnswer getSunTimesForLocationSameDate(const SunTimeQuery& query, const icu::TimeZone& zone) {
    const LocalDateTime day = localDateTime(query.datum, zone);
    SunTimeAnswer answer;
    answer.calculation =
        sunTimesForDay(query.ycoord, query.xcoord, timeZoneHoursOnDate(query.datum, zone),
                       day.date.year, dayOfYear(day.date));
    if (!answer.calculation.sunRisesAndSets()) {
        return answer;
    }
    LocalDateTime sunrise = clockTimeOnDay(day, answer.calculation.sunrise);
    sunrise.date = addDays(sunrise.date, 1);
    answer.times = NightSunTimes{
        localInstant(clockTimeOnDay(day, answer.calculation.sunset), zone),
        localInstant(sunrise, zone),
    };
    return answer;
}

}  // namespace vane
