#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vane {

// Shortest text that reads back as the same double; JSON has no infinities or NaN: null.
std::string jsonNumber(double value);
std::string jsonNumber(std::optional<double> value);

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string jsonString(std::string_view text);

}  // namespace vane
