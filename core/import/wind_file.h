#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/column_guesses.h"
#include "core/import/header_lines.h"
#include "core/import/split_choices.h"
#include "core/import/text_encodings.h"
#include "core/import/text_reading.h"
#include "core/import/wind_file_choices.h"
#include "core/import/wind_table.h"
#include "core/outcome/outcome.h"

namespace vane {

// A wind file as read, cut and guessed: everything the preview sheet shows and the analysis
// reads.
struct WindFileView {
    std::filesystem::path file;
    // UTF-8, shared with the table's fields; none when the file is no text in the encoding the
    // user chose (rereadWindFile()).
    std::shared_ptr<const std::string> text;
    std::string previewText;  // 1024 UTF-16 units after detection, 512 in a chosen encoding
    TextChoices reading;      // how the text was read and cut, every choice resolved
    WindTable table;
    std::vector<std::string> columnTitles;
    WindFileGuesses found;  // what the column titles and the values tell
};

// Whether the table has a header row for the analysis to start from; if not, the "Problem with
// wind file" that says why (starting line outside the file, or no line break at all).
Outcome<void> usableTable(const WindFileView& view);

// Reads, splits and guesses as the desktop and `vane inspect` do, with the text choices `chosen`
// (the others are resolved later, by resolveChoices()). A file that cannot be read (or not in the
// chosen encoding) is the "Problem with file" alert, with the read's own error as its detail for
// the log line "error ...", never an exception.
Outcome<WindFileView> loadWindFile(const std::filesystem::path& file, const TextChoices& chosen);

// The same over bytes already read from `file`, for callers that report an unreadable file in
// their own words; only bytes that are no text in the encoding give the alert.
Outcome<WindFileView> viewWindFileBytes(std::string bytes, const std::filesystem::path& file,
                                        const TextChoices& chosen);

// The same over text already decoded (tests, and callers that re-split without re-reading).
WindFileView viewWindText(std::string text, StringEncoding encoding, EncodingSource source,
                          const TextChoices& chosen);

// As the preview sheet changes its choices while it is open: `view`'s text cut anew with
// `chosen` (its encoding aside), guessing what the user left open. A cut that finds no header
// row keeps the column titles `view` had, so that the column choosers keep their items.
// A view without text (see rereadWindFile()) gives no rows and keeps the choices it showed.
WindFileView recutWindFile(const WindFileView& view, const TextChoices& chosen);

// `view`'s file read again in the user's encoding `chosen.encoding`, then cut as
// recutWindFile() does. Bytes that are no text in it leave the view without text and rows, its
// preview as it was.
WindFileView rereadWindFile(const WindFileView& view, const TextChoices& chosen);

}  // namespace vane
