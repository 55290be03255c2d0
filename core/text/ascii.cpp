#include "core/text/ascii.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vane {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

void trimInPlace(std::string& text, std::string_view blanks) {
    const std::size_t end = text.find_last_not_of(blanks);
    text.erase(end == std::string::npos ? 0 : end + 1);
    text.erase(0, std::min(text.find_first_not_of(blanks), text.size()));
}

std::string asciiLowercase(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), asciiLower);
    return lowered;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
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
