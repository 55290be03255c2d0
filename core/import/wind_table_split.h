#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/split_choices.h"
#include "core/import/wind_table.h"

namespace vane {

// What the preview sheet's controls say about cutting the text.
struct SplitChoices {
    int lineEndingIndex = kLineEndingLf;
    FieldSeparatorChoice fieldSeparator;
    std::string startingLineText = "1";  // read with integerValue(); the header row's line from 1
    int unitRows = 0;  // rows under the header that are no data, where the table has them
};

// Cuts the text into rows at every line separator (every piece a row, the empty piece after a
// final line break included) and each row into fields at every field separator, nothing trimmed;
// an empty row other than the header has no fields.
// No text, or a text without the line separator, gives the empty table. startAt is the starting
// line minus 1; a starting line below 1 sets it to the row count, so that a starting line
// outside the table always leaves it without header and data rows. The unit rows move startAt
// past them when the header and all of them lie within the table.
// The table's fields are views into `text`, which the table shares.
WindTable splitWindText(std::shared_ptr<const std::string> text, const SplitChoices& choices);
// The same over a copy of `text`.
WindTable splitWindText(std::string_view text, const SplitChoices& choices);

// Title of a preview column from its header field: the field when it has two characters or
// more, else "column N" with N = column index + 1.
std::string previewColumnTitle(std::string_view headerField, std::size_t columnIndex);

// One title per field of the header row, a leading "# " left out of the first, then "column N"
// for each column the first data rows write past the header's; none when the table has no
// header row.
std::vector<std::string> previewColumnTitles(const WindTable& table);

// Number of data rows; never negative, 0 without a header row.
std::size_t previewRowCount(const WindTable& table);
// The data rows the file holds: the preview's rows without the empty one that follows a final
// line break.
std::size_t writtenDataRowCount(const WindTable& table);

// Field `column` of data row `row` (table row startAt + row + 1), or "" when that row has no
// such field. Throws std::out_of_range for a row outside 0 <= row < previewRowCount().
std::string_view previewCell(const WindTable& table, std::size_t row, std::size_t column);

// Why the table has no header row, for the caller that must refuse to go on; empty when it has.
std::string startingLineProblem(const WindTable& table, int startingLine);

// Whether some data row after the header holds at least `fieldsNeeded` fields, as the analysis
// needs of a row it reads.
bool holdsDataRowWithFields(const WindTable& table, std::size_t fieldsNeeded);

}  // namespace vane
