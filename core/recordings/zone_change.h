#pragma once

#include <string>

#include "core/icu_forward.h"

namespace vane {

// A recording's time as the library keeps it: the instant, the offset it was read with and, for a
// time read as local time, the zone it was read in.
struct KeptTime {
    double recordingTime = 0.0;
    int utcOffsetSeconds = 0;
    std::string timeZone;  // empty: the time was written with its own offset
    friend bool operator==(const KeptTime&, const KeptTime&) = default;
};

// The same reading of the recorder's clock taken in `zone`, for a session imported in the wrong
// zone: a time read as local time keeps its wall-clock time and takes the instant and offset
// `zone` gives it (a time skipped or repeated by a change of daylight saving as localInstant reads
// it); a time written with its own offset stays as it is.
KeptTime readInZone(const KeptTime& time, const icu::TimeZone& zone);

}  // namespace vane
