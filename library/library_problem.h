#pragma once

#include <filesystem>

#include "core/outcome/outcome.h"
#include "library/library_types.h"

namespace vane::library {

// The one place where what the library throws becomes what the user is told: "Problem with
// library" with the library's own words, or, for a file it could not write (`written`), which
// and why.
Problem libraryProblem(const LibraryError& error);
Problem libraryProblem(const std::filesystem::filesystem_error& error,
                       const std::filesystem::path& written);

}  // namespace vane::library
