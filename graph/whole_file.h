#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "core/outcome/outcome.h"

class QIODevice;

namespace vane::graph {

// Writes a file whole under a temporary name and renames it, so that a failed write (a full
// disk) keeps the earlier file; a device or pipe is written directly. `write` fills the file and
// answers whether it could; `problem` turns the reason for a failure into the caller's alert.
Outcome<void> writeWholeFile(const std::filesystem::path& path,
                             const std::function<bool(QIODevice&)>& write,
                             const std::function<Problem(const std::string&)>& problem);

// The bytes of `text` as a whole file, with the alert "<title>": "Cannot write <what> <path>: ...".
Outcome<void> writeWholeTextFile(const std::filesystem::path& path, const std::string& text,
                                 const std::string& title, const std::string& what);

}  // namespace vane::graph
