#include "core/text/column_titles.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace vane {

std::string lowercaseTitle(std::string_view title) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(title.data(), static_cast<int32_t>(title.size())));
    text.toLower(icu::Locale::getRoot());
    std::string lowered;
    text.toUTF8String(lowered);
    return lowered;
}

bool titleContainsAny(std::string_view title, std::initializer_list<std::string_view> keywords) {
    const std::string lowered = lowercaseTitle(title);
    for (const std::string_view keyword : keywords) {
        if (lowered.find(keyword) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace vane
