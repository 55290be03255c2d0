#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vane::library {

// A library stores text as valid UTF-8 without NUL, which is all a server's text holds (it refuses
// anything else with "invalid byte sequence", naming nothing). Nothing when `text` is such;
// otherwise why not, to follow its name in a message: `is not UTF-8 text ("...")`.
std::optional<std::string> whyNotStorable(std::string_view text);

}  // namespace vane::library
