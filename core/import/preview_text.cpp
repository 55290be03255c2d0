#include "core/import/preview_text.h"

#include <algorithm>

namespace vane {

std::string_view previewText(std::string_view text, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Lead bytes of four-byte sequences start characters that need two UTF-16 units.
        const std::size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t needed = bytes == 4 ? 2 : 1;
        if (units + needed > maxUnits) {
            break;
        }
        units += needed;
        i += bytes;
    }
    return text.substr(0, std::min(i, text.size()));
}

}  // namespace vane
