#include "library/postgres_copy_out.h"

#include "library/postgres_connection.h"
#include "library/store_error.h"

namespace vane::library {

void copyRowsOut(PostgresConnection& server, const std::string& query,
                 std::vector<CopyColumn> columns,
                 const std::function<void(const CopyRow&)>& visit) {
    server.run("COPY (" + query + ") TO STDOUT (FORMAT binary)");
    BinaryCopyReader reader(std::move(columns));
    CopyRow row;
    try {
        while (const std::optional<std::string_view> piece = server.receiveCopyData()) {
            reader.take(*piece);
            while (reader.next(row)) {
                visit(row);
            }
        }
        reader.finish();
    } catch (const CopyStreamError& error) {
        throw StoreError(error.what());
    }
}

}  // namespace vane::library
