#include "core/solpos/sun_times.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vane {
namespace {

// S_solpos marks a day without sunrise or sunset with these values.
constexpr float kPolarSentinel = 2999.0f;

}  // namespace

bool SunTimes::sunRisesAndSets() const {
    return error == 0 && std::fabs(sunrise) < kPolarSentinel && std::fabs(sunset) < kPolarSentinel;
}

SunTimes sunTimesForDay(double latitude, double longitude, double timeZoneHours, int year,
                        int dayOfYear) {
    SunTimes times;
    SolposRecord& record = times.record;
    S_init(record);
    record.longitude = static_cast<float>(longitude);
    record.latitude = static_cast<float>(latitude);
    record.time_zone = static_cast<float>(timeZoneHours);
    record.year = year;
    record.day_of_year = dayOfYear;
    record.hour = 9;
    record.minute = 45;
    record.second = 37;
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
