#include "core/import/column_choosers.h"

namespace vane {

std::vector<std::string> columnChooserItems(ColumnChooser chooser,
                                            const std::vector<std::string>& columnTitles) {
    std::vector<std::string> items;
    items.reserve(columnTitles.size() + 1);
    items.emplace_back(chooser == ColumnChooser::state ? "Optional" : "choose column");
    items.insert(items.end(), columnTitles.begin(), columnTitles.end());
    return items;
}

ColumnFlags setOutputColumns(ColumnFlags flags, ColumnChooser sender, std::size_t selectedItem) {
    const bool picked = selectedItem > 0;
    switch (sender) {
        case ColumnChooser::dateTime:
            flags.dateTimePicked = picked;
            break;
        case ColumnChooser::wind:
            flags.windPicked = picked;
            break;
        case ColumnChooser::temperature:
            flags.temperaturePicked = picked;
            break;
        case ColumnChooser::state:
            break;
    }
    return flags;
}

}  // namespace vane
