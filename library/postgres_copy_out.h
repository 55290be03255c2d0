#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/files/binary_copy_rows.h"

namespace vane::library {

class PostgresConnection;

// Runs `COPY (query) TO STDOUT (FORMAT binary)` on construction and then gives its rows one at a
// time, each read in place from the piece it came in: the server writes while this process
// reads, and nothing is held but the piece. Throws PostgresError for what the server refused,
// StoreError for a damaged stream.
class CopyOutStream {
  public:
    CopyOutStream(PostgresConnection& server, const std::string& query,
                  std::vector<CopyColumn> columns);

    // Moves to the next row; false at the end, once the server has said that all of it came.
    bool next();
    // The row next() moved to; valid until next() is called again.
    const CopyRow& row() const { return row_; }

  private:
    PostgresConnection& server_;
    BinaryCopyReader reader_;
    CopyRow row_;
};

// The rows of a CopyOutStream, each handed to `visit`.
void copyRowsOut(PostgresConnection& server, const std::string& query,
                 std::vector<CopyColumn> columns, const std::function<void(const CopyRow&)>& visit);

}  // namespace vane::library
