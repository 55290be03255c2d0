#pragma once

#include <filesystem>
#include <optional>
#include <string>

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
    int startingLine = 1;
};

// Adds --encoding, --line-ending, --field-separator and --starting-line to `command`.
void addWindFileOptions(CLI::App& command, WindFileOptions& options);

// The settings for loadWindFile, or the "Bad usage" problem of an option.
Outcome<WindFileSettings> windFileSettings(const WindFileOptions& options);

// The wind file as loadWindFile reads it, except that a file that cannot be read at all (missing,
// a folder, too large) is the plain "Problem with file: <file>: <why>" without the alert.
Outcome<WindFileView> readWindFile(const std::filesystem::path& file,
                                   const WindFileSettings& settings);

// "Encodings (name or number for --encoding):" and one line per offered encoding.
std::string encodingListHelp();

}  // namespace vane::cli
