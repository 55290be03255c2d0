#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/column_guesses.h"
#include "core/import/split_choices.h"
#include "core/import/text_encodings.h"
#include "core/import/text_reading.h"
#include "core/import/wind_table.h"
#include "core/outcome/outcome.h"

namespace vane {

// How to read and cut a wind file. Every choice left empty is detected or guessed the way the
// preview sheet does it on load.
struct WindFileSettings {
    std::optional<StringEncoding> encoding;              // none: detection, then Mac OS Roman
    std::optional<int> lineEndingIndex;                  // none: guessLineEnding()
    std::optional<FieldSeparatorChoice> fieldSeparator;  // none: guessFieldSeparator()
    // None: the header row is found (findStartingLine()).
    std::optional<std::string> startingLineText;
};

// The line (from 1) of the header row in a text whose starting line nobody set: the first of its
// first 64 lines whose fields are mostly not numbers and whose field count (under `separator`,
// or the separator guessed from that line) the next filled lines share; line 1 when none is.
int findStartingLine(std::string_view text, std::string_view lineSeparator,
                     const std::optional<FieldSeparatorChoice>& separator);

// A wind file as read, cut and guessed: everything the preview sheet shows and the analysis
// reads.
struct WindFileView {
    std::filesystem::path file;
    std::shared_ptr<const std::string> text;  // UTF-8, shared with the table's fields
    StringEncoding encoding = 0;
    EncodingSource encodingSource = EncodingSource::detected;
    std::string previewText;  // 1024 UTF-16 units after detection, 512 in a chosen encoding
    int lineEndingIndex = kLineEndingLf;
    bool lineEndingGuessed = false;
    FieldSeparatorChoice fieldSeparator;
    bool fieldSeparatorGuessed = false;
    int startingLine = 1;
    bool startingLineFound = false;  // nobody set it; findStartingLine() chose it
    WindTable table;
    std::vector<std::string> columnTitles;
    ColumnGuesses guesses;
    WindFileGuesses found;  // the guesses from the file's values beside those from its titles
    // Why the table has no header row (starting line outside the file, or no line break at
    // all); none when the data can be analysed.
    std::optional<Problem> tableProblem;
};

// Reads, splits and guesses as the desktop and `vane inspect` do. A file that cannot be read
// (or not in the chosen encoding) is the "Problem with file" alert, with the read's own error as
// its detail for the log line "error ...", never an exception.
Outcome<WindFileView> loadWindFile(const std::filesystem::path& file,
                                   const WindFileSettings& settings);

// The same over bytes already read from `file`, for callers that report an unreadable file in
// their own words; only bytes that are no text in the encoding give the alert.
Outcome<WindFileView> viewWindFileBytes(std::string bytes, const std::filesystem::path& file,
                                        const WindFileSettings& settings);

// The same over text already decoded (tests, and callers that re-split without re-reading).
WindFileView viewWindText(std::string text, StringEncoding encoding, EncodingSource source,
                          const WindFileSettings& settings);

}  // namespace vane
