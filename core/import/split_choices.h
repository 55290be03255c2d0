#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vane {

// Indexes of the line-ending chooser.
inline constexpr int kLineEndingLf = 0;
inline constexpr int kLineEndingCrLf = 1;
inline constexpr int kLineEndingCr = 2;

// Titles of the line-ending chooser's items, by index.
inline constexpr std::array<std::string_view, 3> kLineEndingTitles = {"LF", "CR LF", "CR"};

// 1 gives "\r\n", 2 gives "\r", any other index "\n".
std::string_view lineSeparatorForIndex(int lineEndingIndex);

// 1 when the text holds "\r\n" anywhere, else 2 when it holds "\r", else 0.
int guessLineEnding(std::string_view text);

// The field-separator chooser's selection: items 0 and 1 carry their separator as title (any
// text, taken literally); every item from index 2 on stands for the tab.
struct FieldSeparatorChoice {
    int index = 0;
    std::string title = ";";
    friend bool operator==(const FieldSeparatorChoice&, const FieldSeparatorChoice&) = default;
};

// Titles of the field-separator chooser's items, by index.
inline constexpr std::array<std::string_view, 3> kFieldSeparatorTitles = {";", ",", "Tab"};

std::string_view fieldSeparatorText(const FieldSeparatorChoice& choice);

// The most frequent of ';', ',' and tab in `headerLine` (earlier in that order on a tie; ';'
// when none occurs), as a chooser selection. The command line's stand-in for the chooser.
FieldSeparatorChoice guessFieldSeparator(std::string_view headerLine);

// The integer value of a text field: leading blanks skipped, an optional sign, then decimal
// digits up to the first other character; no digits give 0. Saturates at the int range.
int integerValue(std::string_view text);

}  // namespace vane
