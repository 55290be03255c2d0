#pragma once

#include <memory>

#include "host/library/import_transaction.h"
#include "host/library/postgres_connection.h"

namespace vane::library {

// Begins an import on the server; it waits while another import is under way.
std::unique_ptr<ImportTransaction> beginPostgresImport(PostgresConnection& connection);

}  // namespace vane::library
