#include "library/library_problem.h"

namespace vane::library {
namespace {

constexpr const char* kTitle = "Problem with library";

}  // namespace

Problem libraryProblem(const LibraryError& error) {
    return Problem{.title = kTitle, .message = error.what(), .kind = ProblemKind::library};
}

Problem libraryProblem(const std::filesystem::filesystem_error& error,
                       const std::filesystem::path& written) {
    return Problem{
        .title = kTitle,
        .message = "\"" + written.string() + "\" could not be written: " + error.code().message(),
        .kind = ProblemKind::library};
}

Problem libraryProblem(const std::exception& error, const LibraryLocation& location) {
    // A library's own errors name it; those of SQLite, the server or the system may not.
    const std::string what = error.what();
    return Problem{.title = kTitle,
                   .message = what.find(location.shown()) != std::string::npos
                                  ? what
                                  : location.quoted() + " cannot be read: " + what,
                   .kind = ProblemKind::library};
}

}  // namespace vane::library
