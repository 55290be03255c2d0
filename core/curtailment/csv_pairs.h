#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/outcome/outcome.h"

namespace vane {

// Calls `row(first, second, line)` for each line of a two-column CSV (',', ';' or tab) that is
// not blank or a '#' comment. A first line without a digit in its first field that `row` refuses
// is the header; any other refusal, or a line without two fields, is the problem `title` with
// the file and line.
Outcome<std::size_t> readCsvPairs(
    std::string_view text, std::string_view file, std::string_view title,
    const std::function<Outcome<void>(std::string_view, std::string_view)>& row);

}  // namespace vane
