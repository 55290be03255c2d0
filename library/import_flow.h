#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "core/recordings/imported_recording.h"
#include "library/library_store.h"
#include "library/library_types.h"

namespace vane::library {

// Adds the recordings to the target session, all or nothing, skipping those the library holds
// already (duplicateRecordings); a session of its own is made only when something is new. A
// NewSession comes with its sample date. Answers nothing when stopped, the library unchanged.
// `progress` is told every so many recordings written, and once at the end; `waiting`, once, when
// the import waits for another to end.
std::optional<ImportSummary> importRecordings(LibraryStore& store, const ImportTarget& target,
                                              const std::vector<ImportedRecording>& recordings,
                                              std::stop_token stop,
                                              const std::function<void(std::size_t done)>& progress,
                                              const std::function<void()>& waiting);

}  // namespace vane::library
