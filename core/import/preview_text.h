#pragma once

#include <cstddef>
#include <string_view>

namespace vane {

// The preview shows the text's beginning, counted in UTF-16 code units.
inline constexpr std::size_t kPreviewLengthAfterLoad = 1024;
inline constexpr std::size_t kPreviewLengthAfterReread = 512;

// The longest beginning of the UTF-8 `text` that has at most `maxUnits` UTF-16 code units; a
// character outside the basic plane is never cut in half.
std::string_view previewText(std::string_view text, std::size_t maxUnits);

}  // namespace vane
