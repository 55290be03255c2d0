#include "core/import/analysis_guesses.h"

#include <algorithm>
#include <functional>

#include "core/import/header_lines.h"
#include "core/text/column_titles.h"

namespace vane {

namespace {

// A logger's temperature of its own panel or case, no air temperature.
bool namesPanelTemperature(std::string_view title) {
    return titleContainsAny(title, {"ptemp", "panel"});
}

bool namesTemperature(std::string_view title) {
    return titleContainsAny(title, {"temp", "dry-bulb", "dry bulb", "drybulb", "airtc"});
}

// Whether the column's unit row names a temperature and its other rows no spread or extreme.
bool meanTemperatureByUnitRows(const WindTable& table, std::size_t column) {
    if (table.unitRows == 0) {
        return false;
    }
    const std::size_t unitRow = table.headerRow() + 1;
    bool mean = isTemperatureUnit(table.field(unitRow, column));
    for (std::size_t row = unitRow + 1; mean && row <= table.startAt; ++row) {
        mean = !isSpreadOrExtreme(table.field(row, column));
    }
    return mean;
}

// A met mast's air temperature at a height: "T2m", "T_2m".
bool namesTemperatureAtHeight(std::string_view title) {
    const std::string lowered = lowercaseTitle(title);
    const std::size_t digits = lowered.find_first_of("0123456789");
    const bool prefixed = digits == 1 || (digits == 2 && lowered.starts_with("t_"));
    return prefixed && lowered.front() == 't' && lowered.back() == 'm' &&
           lowered.find_first_not_of("0123456789.", digits) == lowered.size() - 1;
}

}  // namespace

int guessTemperatureItem(const std::vector<std::string>& titles, const WindTable& table) {
    const auto first = [&titles](const auto& fits) {
        for (std::size_t k = 0; k < titles.size(); ++k) {
            if (fits(k)) {
                return static_cast<int>(k) + 1;
            }
        }
        return 0;
    };
    const auto air = [&](std::size_t k) { return !namesPanelTemperature(titles[k]); };
    const auto byUnit = [&](std::size_t k) { return meanTemperatureByUnitRows(table, k); };
    const auto byTitle = [&](std::size_t k) { return namesTemperature(titles[k]); };
    for (const auto& fits : std::initializer_list<std::function<bool(std::size_t)>>{
             [&](std::size_t k) { return byUnit(k) && byTitle(k) && air(k); },
             [&](std::size_t k) { return byUnit(k) && air(k); },
             [&](std::size_t k) { return byTitle(k) && air(k); },
             [&](std::size_t k) { return namesTemperatureAtHeight(titles[k]); },
             [&](std::size_t k) { return byUnit(k) || byTitle(k); }}) {
        if (const int item = first(fits); item > 0) {
            return item;
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
