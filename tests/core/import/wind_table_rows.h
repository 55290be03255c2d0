#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/import/wind_table.h"

namespace vane::test {

using WindRows = std::vector<std::vector<std::string>>;

// A table of exactly these rows and fields, for tests that need rows a split would not give
// (rows of other widths, a single row).
inline WindTable tableOfRows(const WindRows& rows, std::size_t startAt = 0) {
    if (rows.empty()) {
        WindTable empty;
        empty.startAt = startAt;
        return empty;
    }
    constexpr char kFieldSeparator = '\x1f';
    auto text = std::make_shared<std::string>();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            *text += (k == 0 ? "" : std::string(1, kFieldSeparator)) + rows[r][k];
        }
        *text += r + 1 < rows.size() ? "\n" : "";
    }
    return WindTable(std::move(text), "\n", std::string(1, kFieldSeparator), startAt);
}

// Every row's fields as texts.
inline WindRows rowsOf(const WindTable& table) {
    WindRows rows(table.rowCount());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t k = 0; k < table.fieldCount(r); ++k) {
            rows[r].emplace_back(table.field(r, k));
        }
    }
    return rows;
}

}  // namespace vane::test
