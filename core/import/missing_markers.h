#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vane {

// The markers loggers write for a missing reading; "" stands for an empty field.
std::vector<std::string> commonMissingMarkers();

// The markers of a comma-separated list such as "-9999,NaN", blanks around each left out.
std::vector<std::string> missingMarkersFromList(std::string_view list);

}  // namespace vane
