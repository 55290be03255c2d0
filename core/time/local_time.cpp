#include "core/time/local_time.h"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/time/utc_offset.h"

namespace vane {
namespace {

constexpr double kMillisPerSecond = 1000.0;
constexpr long kSecondsPerDay = 86400;

long daysFromCivil(const CivilDate& date) {
    using namespace std::chrono;
    const sys_days days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                        day{static_cast<unsigned>(date.day)}};
    return days.time_since_epoch().count();
}

CivilDate civilFromDays(long days) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int offsetSeconds(double millis, bool millisAreLocal, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    zone.getOffset(millis, millisAreLocal, raw, dst, status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("time zone offset not available: ") +
                                 u_errorName(status));
    }
    return (raw + dst) / 1000;
}

}  // namespace

std::unique_ptr<icu::TimeZone> processTimeZone() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createDefault());
}

std::optional<std::string> unknownTimeZoneWarning(const char* tzVariable,
                                                  const icu::TimeZone& processZone) {
    if (tzVariable == nullptr) {
        return std::nullopt;
    }
    // POSIX lets the name begin with ':'.
    const std::string name = tzVariable[0] == ':' ? tzVariable + 1 : tzVariable;
    if (name.empty()) {
        return std::nullopt;
    }
    const std::unique_ptr<icu::TimeZone> named(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name)));
    if (*named != icu::TimeZone::getUnknown()) {
        return std::nullopt;
    }
    // ICU then keeps the name but reads times at a fixed offset, GMT unless the name spells one.
    return "Warning: the time zone TZ=\"" + name +
           "\" is unknown; times without an offset are read as UTC" +
           utcOffsetWithColon(processZone.getRawOffset() / 1000) +
           (processZone.useDaylightTime() ? "" : " all year") +
           " (set TZ to a zone name such as Europe/Berlin)";
}

double utcInstant(const LocalDateTime& local) {
    return static_cast<double>(daysFromCivil(local.date) * kSecondsPerDay + local.hour * 3600L +
                               local.minute * 60L + local.second);
}

double localInstant(const LocalDateTime& local, const icu::TimeZone& zone) {
    const double asUtc = utcInstant(local);
    return asUtc - offsetSeconds(asUtc * kMillisPerSecond, true, zone);
}

LocalDateTime localDateTime(double instant, const icu::TimeZone& zone) {
    const double wallSeconds = std::floor(instant) + utcOffsetSeconds(instant, zone);
    const long whole = static_cast<long>(wallSeconds);
    long days = whole / kSecondsPerDay;
    long secondOfDay = whole % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    return {civilFromDays(days), static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60)};
}

int utcOffsetSeconds(double instant, const icu::TimeZone& zone) {
    return offsetSeconds(instant * kMillisPerSecond, false, zone);
}

int utcOffsetSecondsOnDate(const CivilDate& date, const icu::TimeZone& zone) {
    return utcOffsetSeconds(localInstant({date, 12, 0, 0}, zone), zone);
}

std::string formatLocalIso(double instant, const icu::TimeZone& zone) {
    const LocalDateTime local = localDateTime(instant, zone);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", local.date.year,
                  local.date.month, local.date.day, local.hour, local.minute, local.second);
    return buffer;
}

}  // namespace vane
