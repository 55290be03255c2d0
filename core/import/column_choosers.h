#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vane {

// Column choosers: item 0 means no column, item k means table column k - 1.
enum class ColumnChooser { dateTime, wind, temperature, state };

// "choose column" (or "Optional" for the state chooser), then one item per column title.
// Equal titles stay separate items.
std::vector<std::string> columnChooserItems(ColumnChooser chooser,
                                            const std::vector<std::string>& columnTitles);

// Whether the user has picked a date/time, wind and temperature column.
struct ColumnFlags {
    bool dateTimePicked = false;
    bool windPicked = false;
    bool temperaturePicked = false;
    friend bool operator==(const ColumnFlags&, const ColumnFlags&) = default;
};

// The user changed `sender`'s selection to `selectedItem`: its flag says whether a column is
// picked. The state chooser has no flag.
ColumnFlags setOutputColumns(ColumnFlags flags, ColumnChooser sender, std::size_t selectedItem);

}  // namespace vane
