#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/session.h"
#include "core/yearly/raster.h"

namespace vane {

inline constexpr std::uint8_t kSessionBarLevel = 228;

// Pixels per recording of the bar picture for a largest session count `largestCount`: the count
// rounded down to whole tens spans the picture's height, in whole pixels. Below ten recordings
// the count itself spans it; none has no scale.
double barScale(std::int64_t largestCount);

struct BarRasterResult {
    Raster raster;
    // Each session's bar length in pixels, in session order, before clipping ("count after
    // resolution").
    std::vector<std::int64_t> barLengths;
};

// One bar per session (sorted by sampleDate) in the two columns of its day of year, growing up
// from the bottom row, recordings x scale pixels long.
BarRasterResult generateBarGraphImageData(std::span<const Session> sortedSessions,
                                          const icu::TimeZone& zone);

}  // namespace vane
