#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/decimal_number_text.h"
#include "core/import/missing_markers.h"

namespace vane {

// Reads the wind file's readings: a number in the chosen decimal separator, times `factor`
// (a unit's conversion to m/s), or nothing for a text that is no number or one of the missing
// markers (the same text ignoring ASCII case, or a marker's number however it is written).
class ReadingValues {
  public:
    ReadingValues(const DecimalNumberText& numbers, const std::vector<std::string>& missingMarkers,
                  double factor);

    std::optional<double> parse(std::string_view field) const;

  private:
    const DecimalNumberText& numbers_;
    std::vector<std::string> textMarkers_;  // lowercased
    std::vector<double> numberMarkers_;
    std::size_t longestMarker_ = 0;
    double factor_ = 1.0;
};

}  // namespace vane
