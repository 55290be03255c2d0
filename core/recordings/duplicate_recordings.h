#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/recordings/imported_recording.h"

namespace vane {

// What an import needs to know of a recording already stored.
struct StoredRecordingKey {
    std::string filePath;  // empty when none
    double recordingTime = 0.0;
    bool inTargetSession = false;  // of the session the import writes into
    int utcOffsetSeconds = 0;
    std::string label{};
    std::optional<double> probability{};
    bool manualLabel = false;
};

// The indexes, ascending, of the `incoming` recordings that are already stored, so that importing
// the same files twice adds nothing. A recording is there already when
// - a stored one has the same file path, the same time as the recorder wrote it (the instant
//   and its offset together, so that a file read again in another zone is still found) and the
//   same label, probability and manual mark: a file of that path with another time or other
//   metadata is another recording (a card used again, or a second card mounted at the same
//   place); or
// - the target session holds one with the same time stamp (to the millisecond) and file name,
//   whatever folder it was read from; recordings without a file name count with an empty one.
// An incoming recording that repeats an earlier incoming one (same time stamp and a non-empty
// file name) is a duplicate too: the same folder given twice. Time stamps without a file name
// may repeat within one source, as two bats in one second do.
std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming);

}  // namespace vane
