#include "library/postgres_recording_stream.h"

#include <array>
#include <optional>
#include <string>

#include "library/postgres_connection.h"
#include "library/postgres_copy_out.h"

namespace vane::library {
namespace {

enum Column : std::size_t {
    kId,
    kSessionId,
    kTime,
    kOffset,
    kTimeZone,
    kFilePath,
    kLabel,
    kProbability,
    kManualLabel
};

// As the schema has them; a NULL or a field of another size where the schema allows none is
// damage, never a value.
std::vector<CopyColumn> recordingColumns() {
    return {{"id", CopyType::Integer64, false},
            {"session id", CopyType::Integer64, false},
            {"time", CopyType::Double, false},
            {"UTC offset", CopyType::Integer32, false},
            {"time zone", CopyType::Text, true},
            {"file path", CopyType::Text, true},
            {"label", CopyType::Text, true},
            {"probability", CopyType::Double, true},
            {"manual mark", CopyType::Integer32, false}};
}

// One ordered index scan per session, merged by time and id on the server (a merge of ordered
// inputs, never a sort: a sort of a library of ten million recordings wrote 750 MB to the
// server's disk). Each session is ordered in its own subquery, where its id is a constant of the
// index's first column: a bare WHERE in a member of the union leaves the planner no ordered scan
// to merge. The rows then come as one stream that the server writes while this process
// reads, rather than in turns of fetch and wait.
std::string selectQuery(const std::vector<std::int64_t>& sessionIds, RecordingDetail detail) {
    const std::string columns =
        std::string("SELECT id, session_id, recording_time, utc_offset, ") +
        (detail == RecordingDetail::Full ? "time_zone, file_path, "
                                         : "NULL::text AS time_zone, NULL::text AS file_path, ") +
        "label, probability, manual_label FROM recordings WHERE session_id = ";
    std::string sessions;
    for (const std::int64_t sessionId : sessionIds) {
        sessions += (sessions.empty() ? "(" : " UNION ALL (") + columns +
                    std::to_string(sessionId) + " ORDER BY recording_time, id)";
    }
    return "SELECT * FROM (" + sessions + ") AS r ORDER BY recording_time, id";
}

// The order of the query's ORDER BY.
bool comesBefore(const CopyRow& a, const CopyRow& b) {
    const double timeA = a.number(kTime);
    const double timeB = b.number(kTime);
    return timeA < timeB || (timeA == timeB && a.integer(kId) < b.integer(kId));
}

void read(const CopyRow& fields, LibraryRecording& recording) {
    recording.id = fields.integer(kId);
    recording.sessionId = fields.integer(kSessionId);
    recording.recordingTime = fields.number(kTime);
    recording.utcOffsetSeconds = static_cast<int>(fields.integer(kOffset));
    recording.timeZone.assign(fields.text(kTimeZone));
    recording.filePath.assign(fields.text(kFilePath));
    recording.label.assign(fields.text(kLabel));
    recording.probability = fields.isNull(kProbability)
                                ? std::nullopt
                                : std::optional<double>(fields.number(kProbability));
    recording.manualLabel = fields.integer(kManualLabel) != 0;
}

constexpr const char* kBeginRead = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
// Compiling the query costs more than this simple scan saves; and a merge of the sessions'
// index scans is the plan, whatever the planner guesses of a sort's cost.
constexpr const char* kReadSettings = "SET LOCAL jit = off; SET LOCAL enable_sort = off";

// A server's backend merges and sends one stream on one processor; a second backend sending
// half of the sessions halves that, and merging two ordered streams here is a comparison a row.
// The second connection sees what the first one's transaction sees. Without it (the server's
// limit of connections reached, say) the read is one stream. It ends its transaction by closing:
// a rollback would first take every row of an unfinished COPY.
std::optional<PostgresConnection> secondReader(PostgresConnection& server) {
    std::optional<PostgresConnection> second;
    try {
        second.emplace(server.another());
        second->execute(kBeginRead);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    const std::string snapshot = server.run("SELECT pg_export_snapshot()").text(0, 0);
    try {
        second->execute("SET TRANSACTION SNAPSHOT " + second->literal(snapshot) + "; " +
                        kReadSettings);
    } catch (const StoreError&) {
        return std::nullopt;
    }
    return second;
}

}  // namespace

void streamRecordings(PostgresConnection& server, const std::vector<std::int64_t>& sessionIds,
                      RecordingDetail detail,
                      const std::function<void(const LibraryRecording&)>& visit) {
    if (sessionIds.empty()) {
        return;
    }
    PostgresTransaction transaction(server, kBeginRead);
    server.execute(kReadSettings);
    std::optional<PostgresConnection> second;
    if (sessionIds.size() > 1) {
        second = secondReader(server);
    }
    LibraryRecording recording;
    if (!second) {
        copyRowsOut(server, selectQuery(sessionIds, detail), recordingColumns(),
                    [&](const CopyRow& fields) {
                        read(fields, recording);
                        visit(recording);
                    });
        transaction.commit();
        return;
    }
    // Sessions alternate between the two, as their sizes are not known before they are read.
    std::array<std::vector<std::int64_t>, 2> halves;
    for (std::size_t s = 0; s < sessionIds.size(); ++s) {
        halves[s % 2].push_back(sessionIds[s]);
    }
    CopyOutStream secondRows(*second, selectQuery(halves[1], detail), recordingColumns());
    CopyOutStream firstRows(server, selectQuery(halves[0], detail), recordingColumns());
    bool firstHas = firstRows.next();
    bool secondHas = secondRows.next();
    while (firstHas || secondHas) {
        const bool fromFirst =
            firstHas && (!secondHas || !comesBefore(secondRows.row(), firstRows.row()));
        CopyOutStream& rows = fromFirst ? firstRows : secondRows;
        read(rows.row(), recording);
        visit(recording);
        (fromFirst ? firstHas : secondHas) = rows.next();
    }
    second->execute("COMMIT");
    transaction.commit();
}

}  // namespace vane::library
