#include "core/import/split_choices.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vane {

std::string_view lineSeparatorForIndex(int lineEndingIndex) {
    switch (lineEndingIndex) {
        case kLineEndingCrLf:
            return "\r\n";
        case kLineEndingCr:
            return "\r";
        default:
            return "\n";
    }
}

int guessLineEnding(std::string_view text) {
    if (text.find("\r\n") != std::string_view::npos) {
        return kLineEndingCrLf;
    }
    if (text.find('\r') != std::string_view::npos) {
        return kLineEndingCr;
    }
    return kLineEndingLf;
}

std::string_view fieldSeparatorText(const FieldSeparatorChoice& choice) {
    if (choice.index >= 2) {
        return "\t";
    }
    return choice.title;
}

FieldSeparatorChoice guessFieldSeparator(std::string_view headerLine) {
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    std::size_t tabs = 0;
    for (const char c : headerLine) {
        semicolons += c == ';' ? 1 : 0;
        commas += c == ',' ? 1 : 0;
        tabs += c == '\t' ? 1 : 0;
    }
    if (tabs > semicolons && tabs > commas) {
        return {2, std::string(kFieldSeparatorTitles[2])};
    }
    if (commas > semicolons) {
        return {1, ","};
    }
    return {0, ";"};
}

int integerValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\f' || text[i] == '\v')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a magnitude that stops growing past the int range, so that a long run of
    // digits saturates instead of overflowing.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        magnitude = std::min(kLimit, magnitude * 10 + (text[i] - '0'));
        ++i;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace vane
