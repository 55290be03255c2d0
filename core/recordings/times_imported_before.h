#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/recordings/imported_recording.h"

namespace vane {

// A stored recording without a file, by its session and time.
struct StoredTime {
    std::int64_t sessionId = 0;
    double recordingTime = 0.0;
};

// A session that holds most of the time stamps an import brings without files.
struct TimesImportedBefore {
    std::int64_t sessionId = 0;
    std::size_t sameTimes = 0;         // incoming recordings without a file found there
    std::size_t timesWithoutFile = 0;  // incoming recordings without a file in all
};

// The first and last time of the incoming recordings without a file; nothing when all have one.
std::optional<std::pair<double, double>> spanOfTimesWithoutFile(
    const std::vector<ImportedRecording>& incoming);

// The session among `stored` holding the most of the incoming recordings without a file at the
// same time (to the millisecond), when it holds at least half of them: the same time-stamp list
// imported again. Such recordings cannot be told from a second bat at the same second, so they
// are imported all the same; this is what lets the user be told that they may now count twice.
// Half, because two detectors of one site share a few whole-second stamps, never most of them.
std::optional<TimesImportedBefore> timesImportedBefore(
    const std::vector<StoredTime>& stored, const std::vector<ImportedRecording>& incoming);

}  // namespace vane
