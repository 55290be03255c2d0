#include "library/library_location.h"

#include <system_error>
#include <utility>

namespace vane::library {

LibraryLocation::LibraryLocation(std::string named)
    : named_(std::move(named)),
      onServer_(named_.starts_with("postgresql://") || named_.starts_with("postgres://")) {}

bool LibraryLocation::isMissingFile() const {
    std::error_code ec;
    return !onServer_ && !std::filesystem::exists(file(), ec);
}

}  // namespace vane::library
