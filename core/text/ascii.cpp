#include "core/text/ascii.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vane {

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

std::string asciiLowercase(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

std::optional<double> parseDecimal(std::string_view text) {
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vane
