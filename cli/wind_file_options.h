#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/resolve_choices.h"
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
    std::optional<int> unitRows;                // none: found under the header row
    std::optional<std::string> missing;         // comma-separated markers of missing readings
    std::optional<std::string> stamps;          // "begin" or "end"
};

// Adds --encoding, --line-ending, --field-separator, --starting-line, --unit-rows, --missing and
// --stamps to `command`.
void addWindFileOptions(CLI::App& command, WindFileOptions& options);

// The choices these options set (the text's reading and the missing markers), every other one
// left to the guess; or the "Bad usage" problem of an option.
Outcome<WindFileChoices> windFileChoices(const WindFileOptions& options);

// The choice of the column `name` gives, a number from 1 or a title of `titles`: the user's, or
// left to the guess without a name; "Bad usage", with the file's columns, for no such column.
Outcome<Chosen<int>> namedColumn(const std::optional<std::string>& name,
                                 const std::vector<std::string>& titles);

// The wind file as loadWindFile reads it, except that a file that cannot be read at all (missing,
// a folder, too large) is the plain "Problem with file: <file>: <why>" without the alert.
Outcome<WindFileView> readWindFile(const std::filesystem::path& file, const TextChoices& chosen);

// Says each note on a guess on `err`, one a line, with the option that chooses otherwise:
// "Wind column: 3 Speed (no title names one, its title says m/s; choose another with ...)".
void sayChoiceNotes(const ResolvedChoices& resolved, const std::vector<std::string>& titles,
                    std::ostream& err);

// Whether `zone` is what --zone takes: an offset "+HHMM" or a zone name ICU knows.
bool isZoneChoice(std::string_view zone);

// The "Bad usage" problem of a --zone that is no zone choice.
Problem badZone(std::string_view zone);

// "Encodings (name or number for --encoding):" and one line per offered encoding.
std::string encodingListHelp();

}  // namespace vane::cli
