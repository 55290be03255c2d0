#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "library/library_types.h"

namespace vane::library {

class PostgresConnection;

// The recordings of the sessions by time and id, one call each, all from one snapshot: an import
// committed meanwhile is either wholly in or wholly out. The server merges the sessions, each read
// in order from its index, and sends them as one binary COPY stream, read here in place without
// holding more than a piece of it. Throws PostgresError, or StoreError for a damaged stream.
void streamRecordings(PostgresConnection& server, const std::vector<std::int64_t>& sessionIds,
                      RecordingDetail detail,
                      const std::function<void(const LibraryRecording&)>& visit);

}  // namespace vane::library
