#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "library/library_types.h"

namespace vane::library {

class PostgresConnection;

// The recordings of the sessions by time and id, one call each, all from one snapshot: an import
// committed meanwhile is either wholly in or wholly out. Each session is read in order from its
// index and the sessions are merged here, so that the server never sorts: a sort of a library of
// ten million recordings wrote 750 MB to the server's disk. Throws PostgresError.
void streamRecordings(PostgresConnection& server, const std::vector<std::int64_t>& sessionIds,
                      RecordingDetail detail,
                      const std::function<void(const LibraryRecording&)>& visit);

}  // namespace vane::library
