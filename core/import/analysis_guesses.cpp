#include "core/import/analysis_guesses.h"

#include <algorithm>

#include "core/text/column_titles.h"

namespace vane {

int guessTemperatureItem(const std::vector<std::string>& titles) {
    for (std::size_t k = 0; k < titles.size(); ++k) {
        if (titleContainsAny(titles[k], {"temp"})) {
            return static_cast<int>(k) + 1;
        }
    }
    return 0;
}

std::string guessDecimalSeparator(const WindTable& table, int valueItem) {
    if (valueItem <= 0) {
        return ".";
    }
    const auto column = static_cast<std::size_t>(valueItem) - 1;
    bool comma = false;
    for (std::size_t row = table.startAt + 1; row < table.rowCount(); ++row) {
        const std::string_view field = table.field(row, column);
        if (field.find('.') != std::string_view::npos) {
            return ".";
        }
        comma = comma || field.find(',') != std::string_view::npos;
    }
    return comma ? "," : ".";
}

}  // namespace vane
