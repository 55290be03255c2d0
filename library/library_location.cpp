#include "library/library_location.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace vane::library {

LibraryLocation::LibraryLocation(std::string named)
    : named_(std::move(named)),
      onServer_(named_.starts_with("postgresql://") || named_.starts_with("postgres://")) {}

std::string LibraryLocation::shown() const {
    return onServer_ ? withPasswordHidden(named_) : named_;
}

bool LibraryLocation::isMissingFile() const {
    std::error_code ec;
    return !onServer_ && !std::filesystem::exists(file(), ec);
}

std::string withPasswordHidden(std::string_view url) {
    constexpr std::string_view kHidden = "***";
    std::string shown(url);
    // user:password@ in the authority, before the path and the parameters begin.
    if (const std::size_t scheme = shown.find("://"); scheme != std::string::npos) {
        const std::size_t authority = scheme + 3;
        const std::size_t end = std::min(shown.find_first_of("/?#", authority), shown.size());
        const std::size_t at = shown.rfind('@', end);
        if (at != std::string::npos && at >= authority) {
            const std::size_t colon = shown.find(':', authority);
            if (colon != std::string::npos && colon < at) {
                shown.replace(colon + 1, at - colon - 1, kHidden);
            }
        }
    }
    // password=... among the parameters, up to the next one.
    for (std::size_t from = shown.find('?'); from != std::string::npos;) {
        const std::size_t key = shown.find("password=", from);
        if (key == std::string::npos) {
            break;
        }
        const std::size_t value = key + std::string_view("password=").size();
        if (key > 0 && shown[key - 1] != '?' && shown[key - 1] != '&') {
            from = value;
            continue;
        }
        const std::size_t end = std::min(shown.find('&', value), shown.size());
        shown.replace(value, end - value, kHidden);
        from = value + kHidden.size();
    }
    return shown;
}

}  // namespace vane::library
