#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/recording.h"
#include "core/yearly/raster.h"
#include "core/yearly/sun_marks.h"

namespace vane {

inline constexpr int kMaxBinWidthMinutes = 24 * 60;
inline constexpr int kLastDrawnDayOfYear = 360;

// Why a bin width cannot be used, or nothing when it is a whole number of minutes from 1 to
// kMaxBinWidthMinutes. Other widths would never line up with the picture's bins (or never end).
std::optional<std::string> binWidthProblem(double minutes);

// min(255, 4c + 75): the brightness of a bin holding `count` recordings.
std::uint8_t binGreyLevel(std::size_t count);

struct ActivityRaster {
    Raster raster;
    // Recordings counted before reading stopped at the first bin after day kLastDrawnDayOfYear
    // or in a later year.
    std::size_t recordingsRead = 0;
    // Recordings in bins that start before the end of the picture's last night (09:00 of day
    // kLastDrawnDayOfYear); the others are nowhere in the picture.
    std::size_t recordingsBeforeLastNightEnd = 0;
    int year = 0;  // of the first recording: the year the picture shows
    SunMarks sunMarks;
};

// The activity picture of a year: recordings (sorted by recordingTime) counted in bins of
// `binWidthMinutes` aligned to the first recording's local midnight, each bin a bar whose
// brightness grows with its count, then the sunset and sunrise of `location` for every day of
// that year. Reading stops at the first bin after day kLastDrawnDayOfYear or in a later year, so
// later years never overwrite the first one. Times outside the years 1 to 9999 (and NaN) are
// passed over. No recording to draw is ProblemKind::nothingFound, a bin width binWidthProblem()
// refuses ProblemKind::badUsage in its words.
Outcome<ActivityRaster> generateImageData(std::span<const Recording> sortedRecordings,
                                          double binWidthMinutes, const MarkLocation& location,
                                          const icu::TimeZone& zone);

}  // namespace vane
