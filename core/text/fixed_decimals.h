#pragma once

#include <cstdio>
#include <string>

namespace vane {

// `value` with `digits` decimals and a point, whatever the locale of the process: "6.50".
inline std::string fixedDecimals(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

}  // namespace vane
