#include "library/postgres_values.h"

#include <array>
#include <charconv>
#include <limits>

namespace vane::library {

std::string numberText(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

std::optional<std::string> optionalNumber(const std::optional<double>& value) {
    return value ? std::optional<std::string>(numberText(*value)) : std::nullopt;
}

double parseNumber(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (text == "NaN") {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (text == "Infinity" || text == "-Infinity") {
        return text[0] == '-' ? -std::numeric_limits<double>::infinity()
                              : std::numeric_limits<double>::infinity();
    }
    return value;
}

std::int64_t parseInteger(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace vane::library
