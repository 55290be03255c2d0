#pragma once

#include <optional>
#include <string_view>

#include "core/icu_forward.h"
#include "core/time/civil_date.h"

namespace vane {

class LocalTimeConverter;

// The fields of an ISO 8601 time stamp as written, before any time zone is applied.
struct IsoTimestamp {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    double second = 0.0;                  // with its fraction
    std::optional<int> utcOffsetSeconds;  // absent: local time of whatever zone the caller picks

    friend bool operator==(const IsoTimestamp&, const IsoTimestamp&) = default;
};

// Accepts "YYYY-MM-DD HH:MM:SS" or with "T", seconds optional, an optional fraction of a second
// (up to 9 digits), and an optional "Z", "+HH:MM", "+HHMM", "+HMM" or "+HH". Surrounding blanks are
// ignored; anything else fails, as do impossible dates and times.
std::optional<IsoTimestamp> parseIsoTimestamp(std::string_view text);
// The same reading without the shortcut parseIsoTimestamp takes for the common layout, so that
// tests can hold the two side by side.
std::optional<IsoTimestamp> parseIsoTimestampWithoutShortcut(std::string_view text);

// Seconds since the Unix epoch. Without an offset the fields are local time in `zone`.
double toInstant(const IsoTimestamp& stamp, const icu::TimeZone& zone);
// The same through a converter of the zone, for long lists of stamps.
double toInstant(const IsoTimestamp& stamp, LocalTimeConverter& converter);

}  // namespace vane
