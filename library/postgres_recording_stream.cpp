#include "library/postgres_recording_stream.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <queue>
#include <string>
#include <string_view>
#include <type_traits>

#include "library/postgres_connection.h"

namespace vane::library {
namespace {

// Rows fetched from one cursor at a time, and held at most over all of them: few round trips,
// little memory however many sessions are read.
constexpr int kMostPerFetch = 20'000;
constexpr int kFewestPerFetch = 256;
constexpr std::size_t kRowsHeld = 200'000;

// Fields of binary results are big-endian; a field of another length than its type has (which
// the server never sends) reads as zero rather than past its end.
template <typename T>
T bigEndian(std::string_view bytes) {
    using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
    if (bytes.size() != sizeof(T)) {
        return T{};
    }
    Bits bits = 0;
    for (const char byte : bytes) {
        bits = static_cast<Bits>((bits << 8) | static_cast<unsigned char>(byte));
    }
    return std::bit_cast<T>(bits);
}

// One session's rows in order, read from its cursor a batch at a time.
class SessionCursor {
  public:
    SessionCursor(PostgresConnection& server, std::size_t index, std::int64_t sessionId,
                  RecordingDetail detail, int batchSize)
        : server_(server), name_("session_rows_" + std::to_string(index)), batchSize_(batchSize) {
        server_.execute(
            "DECLARE " + name_ +
            " NO SCROLL CURSOR FOR SELECT id, session_id, recording_time, utc_offset, " +
            (detail == RecordingDetail::Full ? "time_zone, file_path, " : "NULL, NULL, ") +
            "label, probability, manual_label FROM recordings WHERE session_id = " +
            std::to_string(sessionId) + " ORDER BY recording_time, id");
        fetch();
    }

    bool atEnd() const { return row_ >= batch_->rows(); }
    double time() const { return bigEndian<double>(batch_->bytes(row_, 2)); }
    std::int64_t id() const { return bigEndian<std::int64_t>(batch_->bytes(row_, 0)); }

    void read(LibraryRecording& recording) const {
        const PostgresResult& batch = *batch_;
        recording.id = id();
        recording.sessionId = bigEndian<std::int64_t>(batch.bytes(row_, 1));
        recording.recordingTime = time();
        recording.utcOffsetSeconds = bigEndian<std::int32_t>(batch.bytes(row_, 3));
        recording.timeZone.assign(batch.bytes(row_, 4));
        recording.filePath.assign(batch.bytes(row_, 5));
        recording.label.assign(batch.bytes(row_, 6));
        recording.probability =
            batch.isNull(row_, 7) ? std::nullopt
                                  : std::optional<double>(bigEndian<double>(batch.bytes(row_, 7)));
        recording.manualLabel = bigEndian<std::int32_t>(batch.bytes(row_, 8)) != 0;
    }

    void advance() {
        if (++row_ == batch_->rows() && batch_->rows() == batchSize_) {
            fetch();
        }
    }

  private:
    void fetch() {
        batch_.emplace(
            server_.run("FETCH " + std::to_string(batchSize_) + " FROM " + name_, {}, true));
        row_ = 0;
    }

    PostgresConnection& server_;
    std::string name_;
    int batchSize_;
    std::optional<PostgresResult> batch_;
    int row_ = 0;
};

struct Head {
    double time;
    std::int64_t id;
    std::size_t cursor;
    bool operator>(const Head& other) const {
        return time != other.time ? time > other.time : id > other.id;
    }
};

}  // namespace

void streamRecordings(PostgresConnection& server, const std::vector<std::int64_t>& sessionIds,
                      RecordingDetail detail,
                      const std::function<void(const LibraryRecording&)>& visit) {
    if (sessionIds.empty()) {
        return;
    }
    PostgresTransaction transaction(server, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    // Compiling the query costs more than this simple scan saves.
    server.execute("SET LOCAL jit = off");
    const int batchSize = static_cast<int>(
        std::clamp<std::size_t>(kRowsHeld / sessionIds.size(), kFewestPerFetch, kMostPerFetch));
    std::vector<SessionCursor> cursors;
    cursors.reserve(sessionIds.size());
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (const std::int64_t sessionId : sessionIds) {
        SessionCursor& cursor =
            cursors.emplace_back(server, cursors.size(), sessionId, detail, batchSize);
        if (!cursor.atEnd()) {
            heads.push({cursor.time(), cursor.id(), cursors.size() - 1});
        }
    }
    LibraryRecording row;
    while (!heads.empty()) {
        const std::size_t index = heads.top().cursor;
        heads.pop();
        SessionCursor& cursor = cursors[index];
        cursor.read(row);
        visit(row);
        cursor.advance();
        if (!cursor.atEnd()) {
            heads.push({cursor.time(), cursor.id(), index});
        }
    }
    transaction.commit();
}

}  // namespace vane::library
