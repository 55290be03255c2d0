#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/recordings/imported_recording.h"

namespace vane {

// What an import needs to know of a recording already stored. The texts are views: a key is
// looked at while it is seen and not kept.
struct StoredRecordingKey {
    std::string_view filePath;  // empty when none
    double recordingTime = 0.0;
    bool inTargetSession = false;  // of the session the import writes into
    int utcOffsetSeconds = 0;
    std::string_view label{};
    std::optional<double> probability{};
    bool manualLabel = false;
};

// Which of the `incoming` recordings are already stored, so that importing the same files twice
// adds nothing. A recording is there already when
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
// The stored keys are seen one at a time and never held, so that memory grows with the import
// (two small index entries a recording), not with the library.
class DuplicateCheck {
  public:
    // `incoming` must outlive the check.
    explicit DuplicateCheck(const std::vector<ImportedRecording>& incoming);

    void see(const StoredRecordingKey& stored);
    // The indexes, ascending, of the incoming recordings found stored or repeated.
    std::vector<std::size_t> duplicates() const;

    // An incoming recording in one of the sorted indexes: its identity's hash first, so that
    // sorting and searching compare texts only where hashes agree.
    struct Entry {
        std::uint64_t hash = 0;
        std::size_t index = 0;
    };

  private:
    const std::vector<ImportedRecording>& incoming_;
    std::vector<Entry> nameTimes_;  // every incoming recording, by file name and time stamp
    std::vector<Entry> paths_;      // those with a path, by path, time as written and metadata
    std::vector<bool> found_;
};

// The same for keys at hand.
std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming);

}  // namespace vane
