#pragma once

#include <memory>

#include "library/import_transaction.h"
#include "library/sqlite_database.h"

namespace vane::library {

// Begins an import in the file; it waits while another program writes to it.
std::unique_ptr<ImportTransaction> beginSqliteImport(Database& database);

}  // namespace vane::library
