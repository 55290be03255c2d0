#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace vane {

// Whether `bytes` are valid UTF-8 (an empty text is).
bool isValidUtf8(std::string_view bytes);
// The offset of the first byte that is not valid UTF-8, nothing when all are.
std::optional<std::size_t> firstInvalidUtf8Byte(std::string_view bytes);

// Where `text` stops being what a library stores as text, valid UTF-8 without NUL (which no
// server's text holds): the offset of the first byte that does not belong, nothing when all do.
std::optional<std::size_t> firstUnstorableByte(std::string_view text);

// The number of the line (from 1) that holds the byte at `offset`.
std::size_t lineAt(std::string_view text, std::size_t offset);

}  // namespace vane
