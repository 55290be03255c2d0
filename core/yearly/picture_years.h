#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/recording.h"
#include "core/yearly/sun_marks.h"

namespace vane {

// The years (local time of `zone`) that hold recordings, ascending. `sortedRecordings` are
// sorted by recordingTime; times outside the years 1 to 9999 (and NaN) belong to none.
std::vector<int> recordingYears(std::span<const Recording> sortedRecordings,
                                const icu::TimeZone& zone);

// The part of `sortedRecordings` that falls in `year`, local time of `zone`: the recordings the
// activity picture of that year draws.
std::span<const Recording> recordingsOfYear(std::span<const Recording> sortedRecordings, int year,
                                            const icu::TimeZone& zone);

// The line the picture carries on its grid, so that a saved picture says what it shows:
// "2012 · 49.60° N, 11.05° E".
std::string yearPictureCaption(int year, const MarkLocation& location);

}  // namespace vane
