#pragma once

#include <cstddef>

#include "library/library_location.h"

namespace vane::library {

struct CopySummary {
    std::size_t sessions = 0;
    std::size_t recordings = 0;
};

// Copies every session and recording of one library into a new one, either way between a file
// and a server (so that a person who started alone can share later). The target must be new: a
// file that does not exist yet (written beside its name and renamed when complete), or a database
// without a library. A damaged row stops the copy rather than being left out; a copy that fails
// leaves no target file and no session on the server. Throws LibraryError.
CopySummary copyLibrary(const LibraryLocation& from, const LibraryLocation& to);

}  // namespace vane::library
