#include "core/text/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vane {

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("null");
}

std::string jsonNumber(std::optional<double> value) {
    return value ? jsonNumber(*value) : std::string("null");
}

std::string jsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + '"';
}

}  // namespace vane
