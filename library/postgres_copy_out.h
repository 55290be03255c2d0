#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/files/binary_copy_rows.h"

namespace vane::library {

class PostgresConnection;

// Runs `COPY (query) TO STDOUT (FORMAT binary)` and hands each row to `visit`, read in place from
// the piece it came in: the server writes while this process reads, and nothing is held but the
// piece. Throws PostgresError for what the server refused, StoreError for a damaged stream.
void copyRowsOut(PostgresConnection& server, const std::string& query,
                 std::vector<CopyColumn> columns, const std::function<void(const CopyRow&)>& visit);

}  // namespace vane::library
