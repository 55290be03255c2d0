#include "core/text/utf8.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vane {
namespace {

// The offset of the first byte that is not valid UTF-8 (or NUL, when refused), or the end.
std::size_t validUpTo(std::string_view bytes, bool nulAllowed) {
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int64_t>(bytes.size());
    int64_t i = 0;
    while (i < length) {
        // Eight ASCII bytes at a time: logger files are almost all digits and separators.
        if (length - i >= 8 && nulAllowed) {
            std::uint64_t word = 0;
            std::memcpy(&word, s + i, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        if (s[i] < 0x80) {
            if (s[i] == 0 && !nulAllowed) {
                return static_cast<std::size_t>(i);
            }
            ++i;
            continue;
        }
        const int64_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            return static_cast<std::size_t>(start);
        }
    }
    return bytes.size();
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    return validUpTo(bytes, true) == bytes.size();
}

std::optional<std::size_t> firstInvalidUtf8Byte(std::string_view bytes) {
    const std::size_t valid = validUpTo(bytes, true);
    return valid == bytes.size() ? std::nullopt : std::optional<std::size_t>(valid);
}

std::optional<std::size_t> firstUnstorableByte(std::string_view text) {
    const std::size_t valid = validUpTo(text, false);
    return valid == text.size() ? std::nullopt : std::optional<std::size_t>(valid);
}

std::size_t lineAt(std::string_view text, std::size_t offset) {
    const std::string_view before = text.substr(0, std::min(offset, text.size()));
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

}  // namespace vane
