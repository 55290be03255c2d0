#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/wind_table.h"

namespace vane {

// Guesses for the analysis: chooser items count as in column_guesses.h, item 0 is no column
// and item k is table column k - 1.

// The first column whose title contains "temp", ignoring case, else a met mast's "T2m"; 0 when
// none does.
int guessTemperatureItem(const std::vector<std::string>& titles);

// "," when the readings of `valueItem` use a comma and never a point, as German loggers write
// them; "." otherwise, and for no column.
std::string guessDecimalSeparator(const WindTable& table, int valueItem);

}  // namespace vane
