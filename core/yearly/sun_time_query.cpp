#include "core/yearly/sun_time_query.h"

#include <cmath>

#include "core/time/civil_date.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

constexpr double kSecondsPerHour = 3600.0;

// The clock time of a calculated time in minutes, cut to whole minutes the way the picture
// reads it: whole hours toward zero, then the minutes of the fraction below them.
LocalDateTime clockTimeOnDay(const LocalDateTime& day, float minutes) {
    const double hours = static_cast<double>(minutes) / 60.0;
    LocalDateTime clock = day;
    clock.hour = static_cast<int>(std::trunc(hours));
    clock.minute = static_cast<int>(std::trunc((hours - std::floor(hours)) * 60.0));
    return clock;
}

}  // namespace

std::int32_t dayOfYearForDate(double instant, const icu::TimeZone& zone) {
    return dayOfYear(localDateTime(instant, zone).date);
}

double timeZoneHoursOnDate(double instant, const icu::TimeZone& zone) {
    return utcOffsetSecondsOnDate(localDateTime(instant, zone).date, zone) / kSecondsPerHour;
}

SunTimeAnswer getSunTimesForLocationSameDate(const SunTimeQuery& query, const icu::TimeZone& zone,
                                             std::FILE* solposMessages) {
    const LocalDateTime day = localDateTime(query.datum, zone);
    SunTimeAnswer answer;
    answer.calculation =
        sunTimesForDay(query.ycoord, query.xcoord, timeZoneHoursOnDate(query.datum, zone),
                       day.date.year, dayOfYear(day.date));
    if (answer.calculation.error != 0 && solposMessages != nullptr) {
        S_decode(answer.calculation.error, answer.calculation.record, solposMessages);
    }
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
