#pragma once

#include <optional>
#include <string_view>

#include "core/time/local_time.h"

namespace vane {

struct FileNameTimestamp {
    LocalDateTime local;    // wall-clock time of whatever zone the recorder was set to
    double fraction = 0.0;  // of a second, from a "_digits" tail
    bool utc = false;       // `local` is UTC: the name held the Unix time itself
};

// Reads the recorder's time from a file name (with or without its extension) of the forms
// PREFIX_YYYYMMDD_HHMMSS, YYYYMMDD_HHMMSS and PREFIX_YYYYMMDD$HHMMSS, each with an optional tail
// of one to six digits giving the fraction of the second ("_000" milliseconds, "_250000"
// microseconds). The prefix may itself contain underscores, as channel forms PREFIX_0_ do. A
// name of exactly eight hexadecimal digits is the Unix time older autonomous recorders write,
// taken when it falls in this century.
std::optional<FileNameTimestamp> parseFileNameTimestamp(std::string_view fileName);

}  // namespace vane
