#pragma once

#include <array>
#include <string_view>

namespace vane {

// The items of the date-format chooser, ICU date patterns. Items 0 to 3 are the layouts the
// separator guess picks among (one or two colons, with two slashes or two dots); the rest cover
// ISO and US layouts.
inline constexpr std::array<std::string_view, 9> kDateFormatItems = {
    "dd/MM/yyyy HH:mm",      "dd/MM/yyyy HH:mm:ss", "dd.MM.yyyy HH:mm",
    "dd.MM.yyyy HH:mm:ss",   "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm",
    "yyyy-MM-dd'T'HH:mm:ss", "MM/dd/yyyy HH:mm",    "MM/dd/yyyy HH:mm:ss",
};

}  // namespace vane
