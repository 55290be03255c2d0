#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/recordings/recording.h"
#include "core/yearly/activity_raster.h"

namespace vane {

// What the activity picture cannot show but its viewer must know: recordings after its last
// night, and why the sunset and sunrise marks are missing. One "Title: message" line each.
std::vector<std::string> activityPictureNotes(const ActivityRaster& result,
                                              std::span<const Recording> sortedRecordings);

// The lines the solar position calculation writes for a refused query, as one text.
std::string solposMessages(const SunTimes& refusal);

}  // namespace vane
