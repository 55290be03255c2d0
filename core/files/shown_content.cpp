#include "core/files/shown_content.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <limits>

namespace vane {
namespace {

constexpr std::string_view kHex = "0123456789abcdef";

std::string escapedByte(std::uint8_t byte) {
    switch (byte) {
        case '\r':
            return "\\r";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        default:
            return {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
}

}  // namespace

std::string shownContent(std::string_view text, std::size_t longest) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int64_t>(text.size());
    std::string shown;
    std::size_t characters = 0;
    std::int64_t i = 0;
    while (i < length) {
        if (characters == longest) {
            return shown + "...";
        }
        const std::int64_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        ++characters;
        if (c < 0) {
            for (std::int64_t k = start; k < i; ++k) {
                shown += escapedByte(bytes[k]);
            }
        } else if (c < 0x20 || c == 0x7F) {
            shown += escapedByte(static_cast<std::uint8_t>(c));
        } else if (c >= 0x80 && c <= 0x9F) {
            shown += "\\u00";
            shown += kHex[static_cast<std::size_t>(c) >> 4];
            shown += kHex[static_cast<std::size_t>(c) & 0xF];
        } else {
            shown.append(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    return shown;
}

std::string printable(std::string_view text) {
    return shownContent(text, std::numeric_limits<std::size_t>::max());
}

}  // namespace vane
