#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/wind_file.h"
#include "core/outcome/outcome.h"

namespace CLI {
class App;
}

namespace vane::cli {

// The preview sheet's reading choices as command-line texts; absent ones are detected or guessed
// as the sheet does on load.
struct WindFileOptions {
    std::optional<std::string> encoding;        // display name or number
    std::optional<std::string> lineEnding;      // "lf", "crlf" or "cr"
    std::optional<std::string> fieldSeparator;  // literal text, or "tab"
    std::optional<int> startingLine;            // none: the header row is found
    std::optional<std::string> missing;         // comma-separated markers of missing readings
};

// Adds --encoding, --line-ending, --field-separator, --starting-line and --missing to `command`.
void addWindFileOptions(CLI::App& command, WindFileOptions& options);

// The settings for loadWindFile, or the "Bad usage" problem of an option.
Outcome<WindFileSettings> windFileSettings(const WindFileOptions& options);

// The wind file as loadWindFile reads it, except that a file that cannot be read at all (missing,
// a folder, too large) is the plain "Problem with file: <file>: <why>" without the alert.
Outcome<WindFileView> readWindFile(const std::filesystem::path& file,
                                   const WindFileSettings& settings);

// The markers of missing readings the options give: --missing, or the common ones.
std::vector<std::string> missingMarkers(const WindFileOptions& options);

// Whether `zone` is what --zone takes: an offset "+HHMM" or a zone name ICU knows.
bool isZoneChoice(std::string_view zone);

// "Encodings (name or number for --encoding):" and one line per offered encoding.
std::string encodingListHelp();

}  // namespace vane::cli
