#include "library/postgres_copy_out.h"

#include "library/postgres_connection.h"
#include "library/store_error.h"

namespace vane::library {

CopyOutStream::CopyOutStream(PostgresConnection& server, const std::string& query,
                             std::vector<CopyColumn> columns)
    : server_(server), reader_(std::move(columns)) {
    server_.run("COPY (" + query + ") TO STDOUT (FORMAT binary)");
}

bool CopyOutStream::next() {
    try {
        while (!reader_.next(row_)) {
            const std::optional<std::string_view> piece = server_.receiveCopyData();
            if (!piece) {
                reader_.finish();
                return false;
            }
            reader_.take(*piece);
        }
        return true;
    } catch (const CopyStreamError& error) {
        throw StoreError(error.what());
    }
}

void copyRowsOut(PostgresConnection& server, const std::string& query,
                 std::vector<CopyColumn> columns,
                 const std::function<void(const CopyRow&)>& visit) {
    CopyOutStream stream(server, query, std::move(columns));
    while (stream.next()) {
        visit(stream.row());
    }
}

}  // namespace vane::library
