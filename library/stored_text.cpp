#include "library/stored_text.h"

#include "core/files/shown_content.h"
#include "core/text/utf8.h"

namespace vane::library {

std::optional<std::string> whyNotStorable(std::string_view text) {
    if (!firstUnstorableByte(text)) {
        return std::nullopt;
    }
    return "is not UTF-8 text (\"" + shownContent(text) + "\")";
}

}  // namespace vane::library
