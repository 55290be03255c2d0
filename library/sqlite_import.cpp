#include "library/sqlite_import.h"

#include <sqlite3.h>

#include <string_view>

namespace vane::library {
namespace {

// A row left unfinished goes with the transaction's rollback.
class InsertWriter final : public RecordingWriter {
  public:
    InsertWriter(const Database& database, std::int64_t sessionId)
        : insert_(database,
                  "INSERT INTO recordings (session_id, recording_time, utc_offset, "
                  "time_zone, file_path, label, probability, manual_label) "
                  "VALUES (?1, ?2, ?3, NULLIF(?4, ''), NULLIF(?5, ''), NULLIF(?6, ''), ?7, "
                  "?8)"),
          sessionId_(sessionId) {}

    void add(const ImportedRecording& recording) override {
        insert_.bind(1, sessionId_)
            .bind(2, recording.recordingTime)
            .bind(3, recording.utcOffsetSeconds)
            .bind(4, std::string_view(recording.timeZone))
            .bind(5, std::string_view(recording.filePath))
            .bind(6, std::string_view(recording.label))
            .bind(7, recording.probability)
            .bind(8, recording.manualLabel ? 1 : 0)
            .run();
        insert_.reset();
    }
    void finish() override {}

  private:
    Statement insert_;
    std::int64_t sessionId_;
};

constexpr std::string_view kKeyColumns =
    "recording_time, utc_offset, COALESCE(label, ''), probability, manual_label";

// Seen while the row is at hand; `path` is the row's own or the one looked up.
void seeKeyAt(const Statement& row, int from, std::string_view path, bool inTarget,
              const std::function<void(const StoredRecordingKey&)>& see) {
    const std::string label = row.textAt(from + 2);
    see({path, row.doubleAt(from), inTarget, static_cast<int>(row.integerAt(from + 1)), label,
         row.optionalDoubleAt(from + 3), row.integerAt(from + 4) != 0});
}

// The recordings an import must not add again: every one of the target session, and those
// elsewhere with a path the import brings, each looked up in the path index (sorted, neighbouring
// lookups meet the same pages of it).
void forEachStoredKey(const Database& database, std::int64_t targetSession,
                      const std::vector<std::string_view>& paths,
                      const std::function<void(const StoredRecordingKey&)>& see) {
    Statement session(database, "SELECT COALESCE(file_path, ''), " + std::string(kKeyColumns) +
                                    " FROM recordings WHERE session_id = ?1");
    session.bind(1, targetSession);
    while (session.step()) {
        const std::string path = session.textAt(0);
        seeKeyAt(session, 1, path, true, see);
    }
    Statement elsewhere(database, "SELECT " + std::string(kKeyColumns) +
                                      " FROM recordings WHERE file_path = ?1 AND session_id <> ?2");
    for (const std::string_view path : paths) {
        elsewhere.bind(1, path).bind(2, targetSession);
        while (elsewhere.step()) {
            seeKeyAt(elsewhere, 0, path, false, see);
        }
        elsewhere.reset();
    }
}

// Through the path index, which holds the recordings without a file together.
std::vector<StoredTime> timesWithoutFileElsewhere(const Database& database,
                                                  std::int64_t targetSession, double first,
                                                  double last) {
    std::vector<StoredTime> times;
    Statement select(database,
                     "SELECT session_id, recording_time FROM recordings WHERE file_path IS NULL "
                     "AND session_id <> ?1 AND recording_time BETWEEN ?2 AND ?3");
    select.bind(1, targetSession).bind(2, first).bind(3, last);
    while (select.step()) {
        times.push_back({select.integerAt(0), select.doubleAt(1)});
    }
    return times;
}

// Inside the import's transaction, which holds the write lock: no other import can make the
// same name between the look and the insert.
std::int64_t sessionFor(Database& database, const NewSession& session, bool& made) {
    made = false;
    if (session.joinExisting) {
        Statement find(database, "SELECT id FROM sessions WHERE name = ?1");
        find.bind(1, std::string_view(session.name));
        if (find.step()) {
            return find.integerAt(0);
        }
    }
    Statement insert(database,
                     "INSERT INTO sessions (name, sample_date, latitude, longitude, notes) "
                     "VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.bind(1, std::string_view(session.name))
        .bind(2, session.sampleDate.value_or(0.0))
        .bind(3, session.latitude)
        .bind(4, session.longitude)
        .bind(5, std::string_view(session.notes));
    try {
        insert.run();
    } catch (const SqliteError& error) {
        if (error.code() == SQLITE_CONSTRAINT_UNIQUE) {
            throw LibraryError("Nothing was imported: " + sessionNameTaken(session.name));
        }
        throw;
    }
    made = true;
    return database.lastInsertId();
}

// BEGIN IMMEDIATE holds the file's write lock to the end: imports take turns by themselves.
class SqliteImport final : public ImportTransaction {
  public:
    explicit SqliteImport(Database& database) : database_(database), transaction_(database) {}

    std::optional<std::string> existingSessionName(std::int64_t sessionId) override {
        Statement find(database_, "SELECT name FROM sessions WHERE id = ?1");
        find.bind(1, sessionId);
        return find.step() ? std::optional<std::string>(find.textAt(0)) : std::nullopt;
    }
    std::int64_t sessionFor(const NewSession& session, bool& made) override {
        return library::sessionFor(database_, session, made);
    }
    void forEachStoredKey(std::int64_t targetSession, const std::vector<std::string_view>& paths,
                          const std::function<void(const StoredRecordingKey&)>& see) override {
        library::forEachStoredKey(database_, targetSession, paths, see);
    }
    std::vector<StoredTime> timesWithoutFileElsewhere(std::int64_t targetSession, double first,
                                                      double last) override {
        return library::timesWithoutFileElsewhere(database_, targetSession, first, last);
    }
    std::unique_ptr<RecordingWriter> recordingWriter(std::int64_t sessionId) override {
        return std::make_unique<InsertWriter>(database_, sessionId);
    }
    void commit() override { transaction_.commit(); }

  private:
    Database& database_;
    Transaction transaction_;
};

}  // namespace

std::unique_ptr<ImportTransaction> beginSqliteImport(Database& database) {
    return std::make_unique<SqliteImport>(database);
}

}  // namespace vane::library
