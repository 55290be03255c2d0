#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/outcome/outcome.h"

namespace vane {

// Files larger than this are refused unless the environment variable raises it.
inline constexpr std::uint64_t kDefaultInputFileLimitMiB = 2048;
inline constexpr const char* kInputFileLimitVariable = "VANE_MAX_FILE_MB";

// The largest file a reader takes, in bytes: VANE_MAX_FILE_MB mebibytes when that is a positive
// whole number, else 2048 MiB, far above any real wind file or recording list.
std::uint64_t inputFileLimit();

// "is too large: ..." with the limit and how to raise it, for readers that read in pieces.
std::string inputFileTooLargeMessage(std::uint64_t limit);

// The whole of a file the user named, `kind` saying what it should be ("recording list"). A file
// that cannot be opened (such as a missing one), a folder, or one larger than `limit` is
// refused with a message naming it;
// a pipe or device is read up to the limit, so that /dev/zero ends in "too large".
Outcome<std::string> readInputFile(const std::filesystem::path& path, std::string_view kind,
                                   std::uint64_t limit = inputFileLimit());

}  // namespace vane
