#pragma once

#include <memory>
#include <string>

#include "library/library_store.h"

namespace vane::library {

// Makes an empty database a library; refuses one that holds tables already.
std::unique_ptr<LibraryStore> createPostgresStore(const std::string& url);
// Opens the library in a database, migrating an older one; an empty database becomes one. A
// database of other tables, or a library a newer version wrote, is refused unchanged.
std::unique_ptr<LibraryStore> openPostgresStore(const std::string& url);

}  // namespace vane::library
