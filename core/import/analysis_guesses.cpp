#include "core/import/analysis_guesses.h"

#include <algorithm>

#include "core/import/header_lines.h"
#include "core/text/column_titles.h"

namespace vane {

namespace {

// A logger's temperature of its own panel or case, no air temperature.
bool namesPanelTemperature(std::string_view title) {
    return titleContainsAny(title, {"ptemp", "panel"});
}

int temperatureItemByUnitRows(const std::vector<std::string>& titles, const WindTable& table) {
    if (table.unitRows == 0) {
        return 0;
    }
    const std::size_t unitRow = table.headerRow() + 1;
    int panel = 0;
    for (std::size_t k = 0; k < titles.size(); ++k) {
        bool mean = isTemperatureUnit(table.field(unitRow, k));
        for (std::size_t row = unitRow + 1; mean && row <= table.startAt; ++row) {
            mean = !isSpreadOrExtreme(table.field(row, k));
        }
        if (!mean) {
            continue;
        }
        if (!namesPanelTemperature(titles[k])) {
            return static_cast<int>(k) + 1;
        }
        panel = panel > 0 ? panel : static_cast<int>(k) + 1;
    }
    return panel;
}

}  // namespace

int guessTemperatureItem(const std::vector<std::string>& titles, const WindTable& table) {
    if (const int item = temperatureItemByUnitRows(titles, table); item > 0) {
        return item;
    }
    int panel = 0;
    for (std::size_t k = 0; k < titles.size(); ++k) {
        if (titleContainsAny(titles[k], {"temp", "dry-bulb", "dry bulb", "drybulb"})) {
            if (!namesPanelTemperature(titles[k])) {
                return static_cast<int>(k) + 1;
            }
            panel = panel > 0 ? panel : static_cast<int>(k) + 1;
        }
    }
    // A met mast's air temperature at a height: "T2m", "T_2m".
    for (std::size_t k = 0; k < titles.size(); ++k) {
        const std::string title = lowercaseTitle(titles[k]);
        const std::size_t digits = title.find_first_of("0123456789");
        const bool prefixed = digits == 1 || (digits == 2 && title.starts_with("t_"));
        if (prefixed && title.front() == 't' && title.back() == 'm' &&
            title.find_first_not_of("0123456789.", digits) == title.size() - 1) {
            return static_cast<int>(k) + 1;
        }
    }
    return panel;
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
