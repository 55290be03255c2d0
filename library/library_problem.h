#pragma once

#include <filesystem>

#include "core/outcome/outcome.h"
#include "library/library_location.h"
#include "library/library_types.h"

namespace vane::library {

// The one place where what the library throws becomes what the user is told: "Problem with
// library" with the library's own words, or, for a file it could not write (`written`), which
// and why.
Problem libraryProblem(const LibraryError& error);
Problem libraryProblem(const std::filesystem::filesystem_error& error,
                       const std::filesystem::path& written);
// For a read of `location` that failed: the library's own words, which name it, or what the file
// or the server said, said of it.
Problem libraryProblem(const std::exception& error, const LibraryLocation& location);

// Runs `read` on the library at `location`, with what it throws as a Problem: the way for a caller
// that tells a person rather than unwinding.
template <typename Read>
auto readLibrary(const LibraryLocation& location, Read&& read) -> Outcome<decltype(read())> {
    try {
        return read();
    } catch (const std::exception& error) {
        return libraryProblem(error, location);
    }
}

}  // namespace vane::library
