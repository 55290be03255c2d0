#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vane {

// One line of the wind file cut at the field separator: every field exactly as written (UTF-8),
// empty fields included. Rows need not have the same number of fields.
using WindRow = std::vector<std::string>;

// The wind file as rows; the row at startAt is the header and the rows after it are the data.
// Rows before startAt are a preamble that stays in the table but is never read as data.
struct WindTable {
    std::vector<WindRow> rows;
    std::size_t startAt = 0;

    // A starting line outside the file leaves startAt at or beyond the row count: no header row
    // and no data rows then, and startAt + 1 never wraps.
    bool hasHeaderRow() const { return startAt < rows.size(); }
    std::size_t dataRowCount() const { return hasHeaderRow() ? rows.size() - startAt - 1 : 0; }
};

}  // namespace vane
