#pragma once

#include <optional>
#include <string_view>

#include "core/time/local_time.h"

namespace vane {

struct FileNameTimestamp {
    LocalDateTime local;    // wall-clock time of whatever zone the recorder was set to
    double fraction = 0.0;  // of a second, from an "_microseconds" tail
};

// Reads the recorder's time from a file name (with or without its extension) of the forms
// PREFIX_YYYYMMDD_HHMMSS, YYYYMMDD_HHMMSS and PREFIX_YYYYMMDD$HHMMSS, each with an optional
// "_microseconds" tail. The prefix may itself contain underscores.
std::optional<FileNameTimestamp> parseFileNameTimestamp(std::string_view fileName);

}  // namespace vane
