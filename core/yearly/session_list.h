#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/host.h"
#include "core/icu_forward.h"

namespace vane {

inline constexpr std::string_view kSessionListHeader = "sampledate,recordings,latitude,longitude";

// Where and why a session list could not be read. line is 0 when the whole file failed.
struct SessionListError {
    std::string file;
    std::size_t line = 0;
    std::string message;

    // "file:line: message", or "file: message" without a line.
    std::string describe() const;
};

struct SessionListResult {
    std::vector<Session> sessions;  // in file order
    std::optional<SessionListError> error;
};

// CSV with the header kSessionListHeader, then one session per line: the sample date as an ISO
// date (local midnight of `zone`) or ISO 8601 time stamp, a whole number of recordings, and
// latitude and longitude in degrees, each of them possibly empty. Blank lines and lines starting
// with '#' are skipped. Any other line that does not read is an error and nothing is returned.
SessionListResult parseSessionList(std::string_view text, const std::string& fileName,
                                   const icu::TimeZone& zone);

SessionListResult readSessionList(const std::filesystem::path& path, const icu::TimeZone& zone);

}  // namespace vane
