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
#include "core/recordings/recording.h"

namespace vane {

// In file order.
using RecordingListResult = Outcome<std::vector<Recording>>;

inline constexpr std::string_view kRecordingListKind = "recording list";

// One time stamp per line, ISO 8601 as parseIsoTimestamp takes it; local time of `zone` when a
// stamp has no offset. Blank lines and lines starting with '#' are skipped, a first line that is
// not a time stamp and does not start with a digit is taken as a header, and from a CSV line
// (',', ';' or tab) the first field is taken. Any other line that is not a time stamp is an error;
// nothing is returned with it, so a partly read list is never mistaken for the whole.
RecordingListResult parseRecordingList(std::string_view text, const std::string& fileName,
                                       const icu::TimeZone& zone);

RecordingListResult readRecordingList(const std::filesystem::path& path, const icu::TimeZone& zone);
RecordingListResult readRecordingList(ListInput& input, const icu::TimeZone& zone);

}  // namespace vane
