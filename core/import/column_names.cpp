#include "core/import/column_names.h"

#include <algorithm>

#include "core/files/shown_content.h"
#include "core/text/column_titles.h"

namespace vane {

std::string columnList(const std::vector<std::string>& titles) {
    constexpr std::size_t kMostListed = 40;
    std::string list;
    for (std::size_t k = 0; k < titles.size() && k < kMostListed; ++k) {
        list += (k == 0 ? "" : " | ") + std::to_string(k + 1) + " " + shownContent(titles[k]);
    }
    if (titles.size() > kMostListed) {
        list += " | ... (" + std::to_string(titles.size()) + " columns)";
    }
    return list;
}

std::string noSuchColumn(std::string_view text, const std::vector<std::string>& titles) {
    return "the wind file has no column \"" + shownContent(text) +
           "\" (columns: " + columnList(titles) + ")";
}

std::optional<int> columnItemNamed(std::string_view text, const std::vector<std::string>& titles) {
    // Fewer than ten digits always fit an int.
    if (!text.empty() && text.size() < 10 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int number = std::stoi(std::string(text));
        if (number >= 1 && static_cast<std::size_t>(number) <= titles.size()) {
            return number;
        }
        return std::nullopt;
    }
    for (const bool ignoreCase : {false, true}) {
        for (std::size_t k = 0; k < titles.size(); ++k) {
            if (ignoreCase ? lowercaseTitle(titles[k]) == lowercaseTitle(text)
                           : titles[k] == text) {
                return static_cast<int>(k) + 1;
            }
        }
    }
    return std::nullopt;
}

}  // namespace vane
