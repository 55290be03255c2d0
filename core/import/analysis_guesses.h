#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/wind_table.h"

namespace vane {

// Guesses for the analysis: chooser items count as in column_guesses.h, item 0 is no column
// and item k is table column k - 1.

// The air temperature's column: the first whose unit row names a temperature (a mean, not a
// spread or extreme) and whose title says so ("temp", "dry-bulb", "AirTC", ignoring case), else
// the first by its unit row, else by its title, else a met mast's "T2m". A logger's own panel
// temperature ("PTemp_C_Avg") is taken only when no other is found. 0 when none is.
int guessTemperatureItem(const std::vector<std::string>& titles, const WindTable& table = {});

// "," when the readings of `valueItem` use a comma and never a point, as German loggers write
// them; "." otherwise, and for no column.
std::string guessDecimalSeparator(const WindTable& table, int valueItem);

}  // namespace vane
