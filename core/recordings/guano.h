#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"
#include "core/time/iso_timestamp.h"

namespace vane {

struct GeoPosition {
    double latitude = 0.0;   // degrees north
    double longitude = 0.0;  // degrees east
};

// The GUANO metadata of one recording: every "Key: value" line, and the two fields Vane uses.
struct GuanoMetadata {
    std::map<std::string, std::string, std::less<>> fields;
    std::optional<IsoTimestamp> timestamp;  // "Timestamp"
    std::optional<GeoPosition> position;    // "Loc Position", "lat lon"
    std::vector<std::string> problems;      // fields that were there but could not be read
};

// Reads the text of a GUANO chunk. Time stamps take the spellings recorders actually write
// (a space for "T", "+0100" for "+01:00", long fractions); lines without a colon are ignored.
GuanoMetadata parseGuano(std::string_view text);

// The metadata, nothing when the file has no GUANO chunk, or the problem of a damaged file.
using GuanoFileResult = Outcome<std::optional<GuanoMetadata>>;

GuanoFileResult readGuanoFile(const std::filesystem::path& file);

}  // namespace vane
