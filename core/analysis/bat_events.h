#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/recording.h"

namespace vane {

inline constexpr double kBatEventBinSeconds = 600.0;

// One occupied activity bin: it ends at binEnd and began one bin width earlier.
struct BatEvent {
    double binEnd = 0.0;  // seconds since the Unix epoch, a grid point
    std::int32_t count = 0;
    friend bool operator==(const BatEvent&, const BatEvent&) = default;
};

// Ascending bin ends, each once; bins without recordings are left out.
using BatEventList = std::vector<BatEvent>;

// Every activity bin lies on one fixed grid that starts at 2009-06-20 00:00:00 local time, so
// that bins of different runs line up.
double batEventGridOrigin(const icu::TimeZone& zone);

// Places recordings, sorted by recordingTime, into the bins of the grid that starts at
// `gridOrigin`. A recording strictly between two grid points belongs to the bin ending at the
// next one; one exactly on a grid point follows the rule of the reference bin, so identical
// times may split between neighbouring bins. Recordings before the origin, and times that are
// not finite, are left out.
BatEventList batEvents(std::span<const Recording> sortedRecordings, double gridOrigin);

// The title of the reading axis for the chosen reading.
std::string_view readingAxisTitle(bool plotTemp);

}  // namespace vane
