#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vane {

// Blanks around a field or a time stamp. A line's own CR (of a CR LF ending) is one of them.
inline constexpr std::string_view kBlanks = " \t\r\n";
// Blanks within one line of a list, where a line break belongs to a quoted field.
inline constexpr std::string_view kLineBlanks = " \t\r";

// `text` without the characters of `blanks` at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = kBlanks);
// The same in place, for a field that is built up character by character.
void trimInPlace(std::string& text, std::string_view blanks = kBlanks);

// `text` with A to Z lowered; every other byte (UTF-8 included) is kept, whatever the locale.
std::string asciiLowercase(std::string_view text);

// Whether `a` and `b` are the same text but for the case of A to Z, as species codes and labels
// are compared.
bool sameLetters(std::string_view a, std::string_view b);

// A decimal number with '.' or ',' before the fraction, as spreadsheets in any locale write it;
// nothing for any other text, or for a value that is not finite.
std::optional<double> parseDecimal(std::string_view text);

}  // namespace vane
