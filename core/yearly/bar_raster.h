#pragma once

#include <cstdint>
#include <span>
#include <string>
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
    double scale = 0.0;  // pixels per recording (barScale)
};

// The count axis of the bar picture, which has no room for one: what its full height stands for,
// such as "Recordings per session: full height 51". Empty without a scale.
std::string barPictureCaption(double scale);

// One bar per session (sorted by sampleDate) in the two columns of its day of year, growing up
// from the bottom row, recordings x scale pixels long.
BarRasterResult generateBarGraphImageData(std::span<const Session> sortedSessions,
                                          const icu::TimeZone& zone);

}  // namespace vane
