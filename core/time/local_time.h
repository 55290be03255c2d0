#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/icu_forward.h"
#include "core/time/civil_date.h"

namespace vane {

// Instants are seconds since the Unix epoch, as doubles, throughout Vane.

struct LocalDateTime {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The process's time zone as ICU sees it (the TZ environment variable applies).
std::unique_ptr<icu::TimeZone> processTimeZone();

// The warning to give when the TZ environment variable (`tzVariable`, null when unset) names a
// zone ICU does not know, so that `processZone` silently stands in for it; nothing otherwise.
std::optional<std::string> unknownTimeZoneWarning(const char* tzVariable,
                                                  const icu::TimeZone& processZone);

// The fields read as UTC.
double utcInstant(const LocalDateTime& local);

// The fields read as wall-clock time in `zone`. A time skipped by a daylight-saving change is
// read with the offset before the change; a repeated time is taken as its later occurrence.
double localInstant(const LocalDateTime& local, const icu::TimeZone& zone);

LocalDateTime localDateTime(double instant, const icu::TimeZone& zone);

// Total offset from UTC (standard plus daylight saving) in force at `instant`.
int utcOffsetSeconds(double instant, const icu::TimeZone& zone);

// The offset in force at local noon of `date`: the offset of that day for every ordinary zone.
int utcOffsetSecondsOnDate(const CivilDate& date, const icu::TimeZone& zone);

// "YYYY-MM-DDTHH:MM:SS" in `zone`, the seconds truncated.
std::string formatLocalIso(double instant, const icu::TimeZone& zone);

}  // namespace vane
