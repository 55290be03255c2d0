#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vane {

// Columns as the command line names them: a number counted from 1 or a title. Items count as
// the choosers do: item 0 is no column, item k is table column k - 1.

// The item of a column given as a number from 1 or as its title (exact first, then ignoring
// case); nothing when there is no such column.
std::optional<int> columnItemNamed(std::string_view text, const std::vector<std::string>& titles);
// A wind file's columns for a message, "1 Date | 2 Wind": the titles come from the file, so they
// are shown escaped and short, and thousands of them are summed up.
std::string columnList(const std::vector<std::string>& titles);
// Why `text` names no column of a wind file, with the columns it has.
std::string noSuchColumn(std::string_view text, const std::vector<std::string>& titles);

}  // namespace vane
