#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/list_file.h"
#include "core/recordings/session.h"

namespace vane {

inline constexpr std::string_view kSessionListHeader = "sampledate,recordings,latitude,longitude";

// In file order.
using SessionListResult = Outcome<std::vector<Session>>;

inline constexpr std::string_view kSessionListKind = "session list";

// CSV with the header kSessionListHeader, then one session per line: the sample date as an ISO
// date (local midnight of `zone`) or ISO 8601 time stamp, a whole number of recordings, and
// latitude and longitude in degrees, each of them possibly empty. Blank lines and lines starting
// with '#' are skipped. Any other line that does not read is an error and nothing is returned.
SessionListResult parseSessionList(std::string_view text, const std::string& fileName,
                                   const icu::TimeZone& zone);

SessionListResult readSessionList(const std::filesystem::path& path, const icu::TimeZone& zone);

}  // namespace vane
