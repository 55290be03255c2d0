#include "core/analysis/reading_values.h"

#include <algorithm>
#include <charconv>

#include "core/text/ascii.h"

namespace vane {

ReadingValues::ReadingValues(const DecimalNumberText& numbers,
                             const std::vector<std::string>& missingMarkers, double factor)
    : numbers_(numbers), factor_(factor) {
    for (const std::string& marker : missingMarkers) {
        textMarkers_.push_back(asciiLowercase(marker));
        longestMarker_ = std::max(longestMarker_, marker.size());
        double value = 0.0;
        const char* end = marker.data() + marker.size();
        if (const auto read = std::from_chars(marker.data(), end, value);
            !marker.empty() && read.ec == std::errc() && read.ptr == end) {
            numberMarkers_.push_back(value);
        }
    }
}

std::optional<double> ReadingValues::parse(std::string_view field) const {
    if (!textMarkers_.empty()) {
        const std::string_view text = trimmed(field);
        if (text.size() <= longestMarker_ &&
            std::find(textMarkers_.begin(), textMarkers_.end(), asciiLowercase(text)) !=
                textMarkers_.end()) {
            return std::nullopt;
        }
    }
    const std::optional<double> value = numbers_.parse(field);
    if (!value ||
        std::find(numberMarkers_.begin(), numberMarkers_.end(), *value) != numberMarkers_.end()) {
        return std::nullopt;
    }
    return factor_ == 1.0 ? *value : *value * factor_;
}

}  // namespace vane
