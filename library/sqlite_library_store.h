#pragma once

#include <filesystem>
#include <memory>

#include "library/library_store.h"

namespace vane::library {

// Makes a new library file; refuses one that already exists. Messages call it `shownAs`, the name
// it will have once complete (see NewLibraryFile).
std::unique_ptr<LibraryStore> createSqliteStore(const std::filesystem::path& file,
                                                const std::filesystem::path& shownAs);
// Opens a library file, migrating an older one and rolling back a change left unfinished. A file
// that is not a Vane library, or that a newer version wrote, is refused without being written to.
std::unique_ptr<LibraryStore> openSqliteStore(const std::filesystem::path& file);

}  // namespace vane::library
