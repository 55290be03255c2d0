#include "library/postgres_import.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <string_view>
#include <thread>

#include "library/postgres_copy_out.h"
#include "library/postgres_values.h"

namespace vane::library {
namespace {

// Taken by each import until it ends, so that imports take turns: one into another session then
// sees this one's recordings when it looks for duplicates. Nothing else takes it, so reads and
// edits go on meanwhile. Its two keys never meet the single key that opening a library locks.
constexpr const char* kImportLock = "SELECT pg_try_advisory_xact_lock(1447120453, 1)";
// How often a waiting import asks again, and so how soon it notices that it was stopped.
constexpr std::chrono::milliseconds kWaitStep{100};

// Writes the binary COPY form of recordings, one buffer at a time.
class CopyBuffer {
  public:
    CopyBuffer() { data_.append("PGCOPY\n\377\r\n\0", 11).append(8, '\0'); }

    void addRow(std::int64_t sessionId, const ImportedRecording& recording) {
        put<std::uint16_t>(8);
        field(std::bit_cast<std::uint64_t>(sessionId));
        field(std::bit_cast<std::uint64_t>(recording.recordingTime));
        field(static_cast<std::uint32_t>(recording.utcOffsetSeconds));
        textOrNull(recording.timeZone);
        textOrNull(recording.filePath);
        textOrNull(recording.label);
        if (recording.probability) {
            field(std::bit_cast<std::uint64_t>(*recording.probability));
        } else {
            put<std::uint32_t>(0xFFFFFFFFu);
        }
        field(static_cast<std::uint32_t>(recording.manualLabel ? 1 : 0));
    }
    void end() { put<std::uint16_t>(0xFFFFu); }

    std::size_t size() const { return data_.size(); }
    std::string_view view() const { return data_; }
    void clear() { data_.clear(); }

  private:
    template <typename T>
    void put(T value) {
        for (int shift = static_cast<int>(sizeof(T) * 8) - 8; shift >= 0; shift -= 8) {
            data_.push_back(static_cast<char>((value >> shift) & 0xFF));
        }
    }
    template <typename T>
    void field(T value) {
        put<std::uint32_t>(sizeof(T));
        put<T>(value);
    }
    void textOrNull(const std::string& text) {
        if (text.empty()) {
            put<std::uint32_t>(0xFFFFFFFFu);
            return;
        }
        put<std::uint32_t>(static_cast<std::uint32_t>(text.size()));
        data_.append(text);
    }

    std::string data_;
};

// Binary COPY, sent a buffer at a time; one left unfinished is abandoned, which fails the
// transaction.
class CopyWriter final : public RecordingWriter {
  public:
    CopyWriter(PostgresConnection& connection, std::int64_t sessionId)
        : connection_(connection), sessionId_(sessionId) {
        connection_.run(
            "COPY recordings (session_id, recording_time, utc_offset, time_zone, file_path, "
            "label, probability, manual_label) FROM STDIN (FORMAT binary)");
    }
    ~CopyWriter() override {
        if (copying_) {
            connection_.abandonCopy();
        }
    }
    CopyWriter(const CopyWriter&) = delete;
    CopyWriter& operator=(const CopyWriter&) = delete;

    void add(const ImportedRecording& recording) override {
        constexpr std::size_t kSendAt = 1 << 20;
        buffer_.addRow(sessionId_, recording);
        if (buffer_.size() >= kSendAt) {
            connection_.sendCopyData(buffer_.view());
            buffer_.clear();
        }
    }
    void finish() override {
        buffer_.end();
        connection_.sendCopyData(buffer_.view());
        copying_ = false;
        connection_.endCopy();
    }

  private:
    PostgresConnection& connection_;
    std::int64_t sessionId_;
    CopyBuffer buffer_;
    bool copying_ = true;
};

// Rows of other sessions read from the span of an import's paths, per path it brings, before
// each path is looked up by itself instead.
constexpr std::size_t kSpanRowsPerPath = 2;

// Each query answers the path, then these.
constexpr std::string_view kKeyColumns =
    "recording_time, utc_offset, COALESCE(label, ''), probability, manual_label";

std::vector<CopyColumn> keyColumns() {
    return {
        {"file path", CopyType::Text, false},       {"time", CopyType::Double, false},
        {"UTC offset", CopyType::Integer32, false}, {"label", CopyType::Text, false},
        {"probability", CopyType::Double, true},    {"manual mark", CopyType::Integer32, false}};
}

StoredRecordingKey keyOf(const CopyRow& row, bool inTarget) {
    return {row.text(0),        row.number(1),
            inTarget,           static_cast<int>(row.integer(2)),
            row.text(3),        row.isNull(4) ? std::nullopt : std::optional<double>(row.number(4)),
            row.integer(5) != 0};
}

// The recordings of other sessions with a path the import brings (`paths` sorted byte by byte,
// as the index is). An import of a folder meets few others in the span from its first path to
// its last (none when the folder is new), so that span is read first, in the index's order; when
// others crowd it, each path is looked up by itself as well (a key seen twice changes nothing).
// Either way through the index only: the planner, counting on a match for each path, would
// rather read the whole library, and with the array behind a subquery (which keeps it from
// knowing the length) it would compare every row with every path.
void keysElsewhere(PostgresConnection& connection, const std::string& targetSession,
                   const std::vector<std::string_view>& paths,
                   const std::function<void(const StoredRecordingKey&)>& see) {
    const std::size_t spanRows = paths.size() * kSpanRowsPerPath;
    connection.execute("SET LOCAL enable_seqscan = off");
    std::size_t inSpan = 0;
    copyRowsOut(connection,
                "SELECT file_path, " + std::string(kKeyColumns) +
                    " FROM recordings WHERE file_path COLLATE \"C\" BETWEEN " +
                    connection.literal(paths.front()) + " AND " + connection.literal(paths.back()) +
                    " AND session_id <> " + targetSession +
                    " ORDER BY file_path COLLATE \"C\" LIMIT " + std::to_string(spanRows + 1),
                keyColumns(), [&](const CopyRow& row) {
                    ++inSpan;
                    if (std::binary_search(paths.begin(), paths.end(), row.text(0))) {
                        see(keyOf(row, false));
                    }
                });
    if (inSpan > spanRows) {
        ArrayText pathArray;
        for (const std::string_view path : paths) {
            pathArray.add(std::optional<std::string>(std::string(path)));
        }
        copyRowsOut(connection,
                    "SELECT file_path, " + std::string(kKeyColumns) +
                        " FROM recordings WHERE session_id <> " + targetSession +
                        " AND file_path COLLATE \"C\" = ANY((SELECT " +
                        connection.literal(pathArray.done()) + "::text[])::text[])",
                    keyColumns(), [&](const CopyRow& row) { see(keyOf(row, false)); });
    }
    connection.execute("RESET enable_seqscan");
}

// The recordings an import must not add again: every one of the target session, and those
// elsewhere with a path the import brings, so that only those travel.
void forEachStoredKey(PostgresConnection& connection, std::int64_t targetSession,
                      const std::vector<std::string_view>& paths,
                      const std::function<void(const StoredRecordingKey&)>& see) {
    const std::string target = std::to_string(targetSession);
    copyRowsOut(connection,
                "SELECT COALESCE(file_path, ''), " + std::string(kKeyColumns) +
                    " FROM recordings WHERE session_id = " + target,
                keyColumns(), [&](const CopyRow& row) { see(keyOf(row, true)); });
    if (!paths.empty()) {
        keysElsewhere(connection, target, paths, see);
    }
}

std::vector<StoredTime> timesWithoutFileElsewhere(PostgresConnection& connection,
                                                  std::int64_t targetSession, double first,
                                                  double last) {
    const PostgresResult found = connection.run(
        "SELECT session_id, recording_time FROM recordings WHERE file_path IS NULL AND "
        "session_id <> $1 AND recording_time BETWEEN $2 AND $3",
        {std::to_string(targetSession), numberText(first), numberText(last)});
    std::vector<StoredTime> times;
    times.reserve(static_cast<std::size_t>(found.rows()));
    for (int row = 0; row < found.rows(); ++row) {
        times.push_back({parseInteger(found.text(row, 0)), parseNumber(found.text(row, 1))});
    }
    return times;
}

// ON CONFLICT waits for another import that is making the same name, and then sees it.
std::int64_t sessionFor(PostgresConnection& connection, const NewSession& session, bool& made) {
    made = false;
    const std::vector<std::optional<std::string>> values = {
        session.name, numberText(session.sampleDate.value_or(0.0)),
        optionalNumber(session.latitude), optionalNumber(session.longitude), session.notes};
    if (!session.joinExisting) {
        try {
            made = true;
            return parseInteger(
                connection
                    .run("INSERT INTO sessions (name, sample_date, latitude, longitude, notes) "
                         "VALUES ($1, $2, $3, $4, $5) RETURNING id",
                         values)
                    .text(0, 0));
        } catch (const PostgresError& error) {
            if (error.state() == kUniqueViolation) {
                throw LibraryError("Nothing was imported: " + sessionNameTaken(session.name));
            }
            throw;
        }
    }
    const PostgresResult inserted = connection.run(
        "INSERT INTO sessions (name, sample_date, latitude, longitude, notes) "
        "VALUES ($1, $2, $3, $4, $5) ON CONFLICT (name) DO NOTHING RETURNING id",
        values);
    if (inserted.rows() == 1) {
        made = true;
        return parseInteger(inserted.text(0, 0));
    }
    const PostgresResult found =
        connection.run("SELECT id FROM sessions WHERE name = $1 FOR NO KEY UPDATE", {session.name});
    if (found.rows() == 0) {
        throw LibraryError("The session \"" + session.name +
                           "\" was removed while the import began; nothing was imported.");
    }
    return parseInteger(found.text(0, 0));
}

class PostgresImport final : public ImportTransaction {
  public:
    explicit PostgresImport(PostgresConnection& connection)
        : connection_(connection), transaction_(connection) {
        // The rows a statement adds are checked against their sessions at its end, from memory
        // rather than from a file the server writes when a batch outgrows the default.
        connection_.execute("SET LOCAL work_mem = '64MB'");
    }

    // A session removed meanwhile is waited for and then not found.
    std::optional<std::string> existingSessionName(std::int64_t sessionId) override {
        const PostgresResult found =
            connection_.run("SELECT name FROM sessions WHERE id = $1 FOR NO KEY UPDATE",
                            {std::to_string(sessionId)});
        return found.rows() == 0 ? std::nullopt : std::optional<std::string>(found.text(0, 0));
    }
    std::int64_t sessionFor(const NewSession& session, bool& made) override {
        return library::sessionFor(connection_, session, made);
    }
    void forEachStoredKey(std::int64_t targetSession, const std::vector<std::string_view>& paths,
                          const std::function<void(const StoredRecordingKey&)>& see) override {
        library::forEachStoredKey(connection_, targetSession, paths, see);
    }
    std::vector<StoredTime> timesWithoutFileElsewhere(std::int64_t targetSession, double first,
                                                      double last) override {
        return library::timesWithoutFileElsewhere(connection_, targetSession, first, last);
    }
    std::unique_ptr<RecordingWriter> recordingWriter(std::int64_t sessionId) override {
        return std::make_unique<CopyWriter>(connection_, sessionId);
    }
    void commit() override { transaction_.commit(); }

    // False when stopped before it was this import's turn.
    bool takeTurn(std::stop_token stop, const std::function<void()>& waiting) {
        bool told = false;
        while (connection_.run(kImportLock).text(0, 0) != "t") {
            if (!told && waiting) {
                waiting();
                told = true;
            }
            if (stop.stop_requested()) {
                return false;
            }
            std::this_thread::sleep_for(kWaitStep);
        }
        return true;
    }

  private:
    PostgresConnection& connection_;
    PostgresTransaction transaction_;
};

}  // namespace

std::unique_ptr<ImportTransaction> beginPostgresImport(PostgresConnection& connection,
                                                       std::stop_token stop,
                                                       const std::function<void()>& waiting) {
    auto import = std::make_unique<PostgresImport>(connection);
    if (!import->takeTurn(stop, waiting)) {
        return nullptr;
    }
    return import;
}

}  // namespace vane::library
