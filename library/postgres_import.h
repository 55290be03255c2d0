#pragma once

#include <functional>
#include <memory>
#include <stop_token>

#include "library/import_transaction.h"
#include "library/postgres_connection.h"

namespace vane::library {

// Begins an import on the server once no other import is under way; `waiting` is told once when
// it has to wait. Nothing when stopped while waiting.
std::unique_ptr<ImportTransaction> beginPostgresImport(PostgresConnection& connection,
                                                       std::stop_token stop,
                                                       const std::function<void()>& waiting);

}  // namespace vane::library
