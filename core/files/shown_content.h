#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vane {

// File content fit to quote in a message on a terminal: control characters (C0, DEL and C1,
// which could move the cursor or retitle the window) and bytes that are no UTF-8 are written as
// escapes such as \x1b, \r or \u009b, and a text longer than `longest` characters is cut there
// and ends in "...".
std::string shownContent(std::string_view text, std::size_t longest = 60);

// Outside text that is printed whole, such as a file name, a label or a session name: escaped as
// shownContent() escapes, never shortened. Text escaped already comes back unchanged.
std::string printable(std::string_view text);

}  // namespace vane
