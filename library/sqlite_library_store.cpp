#include "library/sqlite_library_store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <limits>
#include <memory>
#include <string_view>

#include "library/sqlite_database.h"
#include "library/sqlite_import.h"

namespace vane::library {
namespace {

// "VANE": marks the file as ours, so any other SQLite file is told apart.
constexpr std::int64_t kApplicationId = 0x56414E45;

// Each step takes a library from version i to i + 1; never edit a step once released. The
// PostgreSQL store has the same steps in its own dialect.
constexpr std::array<std::string_view, kLibrarySchemaVersion> kMigrations = {
    R"sql(
    CREATE TABLE sessions (
        id INTEGER PRIMARY KEY,
        name TEXT NOT NULL,
        sample_date REAL NOT NULL,
        latitude REAL CHECK (latitude BETWEEN -90 AND 90),
        longitude REAL CHECK (longitude BETWEEN -180 AND 180)
    );
    CREATE TABLE recordings (
        id INTEGER PRIMARY KEY,
        session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
        recording_time REAL NOT NULL,
        utc_offset INTEGER NOT NULL,
        file_path TEXT
    );
    CREATE INDEX recordings_by_time ON recordings(recording_time);
    CREATE INDEX recordings_by_session ON recordings(session_id, recording_time);
    )sql",
    R"sql(
    ALTER TABLE sessions ADD COLUMN notes TEXT NOT NULL DEFAULT '';
    ALTER TABLE recordings ADD COLUMN time_zone TEXT;
    )sql",
    R"sql(
    ALTER TABLE recordings ADD COLUMN label TEXT;
    ALTER TABLE recordings ADD COLUMN probability REAL CHECK (probability BETWEEN 0 AND 1);
    ALTER TABLE recordings ADD COLUMN manual_label INTEGER NOT NULL DEFAULT 0;
    )sql",
    // Session names become unique, so that two imports naming the same new session meet in one;
    // older duplicates keep their recordings under the name with their number. Every query reads
    // recordings by session and time, so the index by time alone only slowed imports.
    R"sql(
    UPDATE sessions SET name = name || ' (' || id || ')'
        WHERE id NOT IN (SELECT MIN(id) FROM sessions GROUP BY name);
    CREATE UNIQUE INDEX sessions_by_name ON sessions(name);
    DROP INDEX IF EXISTS recordings_by_time;
    )sql",
    // An import looks up the paths it brings, which without an index read the whole library.
    R"sql(
    CREATE INDEX recordings_by_path ON recordings(file_path);
    )sql",
};

std::int64_t pragmaValue(const Database& database, std::string_view pragma) {
    Statement statement(database, "PRAGMA " + std::string(pragma));
    return statement.step() ? statement.integerAt(0) : 0;
}

std::string describe(const std::filesystem::path& file) {
    return "\"" + file.string() + "\"";
}

void migrate(Database& database, int fromVersion) {
    Transaction transaction(database);
    for (int version = fromVersion; version < kLibrarySchemaVersion; ++version) {
        database.execute(kMigrations[static_cast<std::size_t>(version)]);
    }
    database.execute("PRAGMA application_id = " + std::to_string(kApplicationId));
    database.execute("PRAGMA user_version = " + std::to_string(kLibrarySchemaVersion));
    transaction.commit();
}

std::filesystem::path journalOf(const std::filesystem::path& file) {
    return std::filesystem::path(file.string() + "-journal");
}

bool hasJournal(const std::filesystem::path& file) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(journalOf(file), code);
    return !code && size > 0;
}

// Looks without writing: a refused file must stay exactly as it was. A journal left by a change
// that never finished (a killed import) can only be rolled back by a connection that may write,
// so then the look is taken with one when the file allows it; the rollback restores the file as
// it was before that change.
int checkedVersion(const std::filesystem::path& file) {
    const bool journal = hasJournal(file);
    if (journal && ::access(file.c_str(), W_OK) != 0) {
        throw LibraryError(describe(file) +
                           " holds a change that was never finished (its journal " +
                           describe(journalOf(file)) +
                           " is beside it), which can only be undone with permission to write "
                           "the file. Make it writable and open it again.");
    }
    try {
        const Database probe(file, journal ? Database::Mode::ReadWrite : Database::Mode::ReadOnly);
        const std::int64_t applicationId = pragmaValue(probe, "application_id");
        const std::int64_t version = pragmaValue(probe, "user_version");
        if (applicationId != kApplicationId || version < 1) {
            throw LibraryError(describe(file) + " is not a Vane library.");
        }
        if (version > kLibrarySchemaVersion) {
            throw LibraryError(describe(file) +
                               " was written by a newer version of Vane (library "
                               "version " +
                               std::to_string(version) + "; this version reads up to " +
                               std::to_string(kLibrarySchemaVersion) + "). It was left unchanged.");
        }
        return static_cast<int>(version);
    } catch (const SqliteError& error) {
        if (error.code() == SQLITE_NOTADB) {
            throw LibraryError(describe(file) + " is not a Vane library.");
        }
        throw LibraryError(describe(file) + " cannot be opened: " + error.what());
    }
}

Database openForWriting(const std::filesystem::path& file, Database::Mode mode) {
    Database database(file, mode);
    database.execute("PRAGMA foreign_keys = ON");
    return database;
}

bool isUniqueViolation(const SqliteError& error) {
    return error.code() == SQLITE_CONSTRAINT_UNIQUE;
}

// A time stored as text is damage: NaN, which the library refuses by row.
double timeAt(const Statement& statement, int column) {
    return statement.numberAt(column).value_or(std::numeric_limits<double>::quiet_NaN());
}

// An offset beyond int, or stored as text, is damage that the library refuses: INT_MIN.
int offsetAt(const Statement& statement, int column) {
    if (!statement.numberAt(column)) {
        return INT_MIN;
    }
    return static_cast<int>(
        std::clamp<std::int64_t>(statement.integerAt(column), INT_MIN, INT_MAX));
}

constexpr const char* kSessionGone =
    "The session was not changed: someone has removed it meanwhile. Refresh to see the library "
    "as it is.";
constexpr const char* kSessionChanged =
    "The session was not changed: someone has changed it meanwhile. Refresh to see the library "
    "as it is, and edit it again.";

// json_each lets one prepared statement take any number of ids.
std::string idList(const std::vector<std::int64_t>& ids) {
    std::string list = "[";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        list += (i ? "," : "") + std::to_string(ids[i]);
    }
    return list + "]";
}

constexpr std::string_view kRecordingRowColumns =
    "id, session_id, recording_time, utc_offset, time_zone, file_path, label, probability, "
    "manual_label";

class SqliteLibraryStore final : public LibraryStore {
  public:
    SqliteLibraryStore(Database database, bool undone)
        : database_(std::move(database)), undone_(undone) {}

    std::vector<LibrarySession> sessionRows(SessionDetail detail) const override {
        Statement statement(database_,
                            std::string("SELECT s.id, s.name, s.sample_date, s.latitude, "
                                        "s.longitude, s.notes, ") +
                                sessionCount(detail) +
                                " FROM sessions s ORDER BY s.sample_date, s.name, s.id");
        std::vector<LibrarySession> sessions;
        while (statement.step()) {
            sessions.push_back({statement.integerAt(0), statement.textAt(1), timeAt(statement, 2),
                                statement.optionalDoubleAt(3), statement.optionalDoubleAt(4),
                                statement.textAt(5), statement.integerAt(6)});
        }
        return sessions;
    }

    void forEachRecordingRow(
        const std::vector<std::int64_t>& sessionIds, RecordingDetail detail,
        const std::function<void(const LibraryRecording&)>& visit) const override {
        const std::string ids = idList(sessionIds);
        const std::string named = detail == RecordingDetail::Full
                                      ? "COALESCE(time_zone, ''), COALESCE(file_path, ''), "
                                      : "'', '', ";
        Statement statement(database_, "SELECT id, session_id, recording_time, utc_offset, " +
                                           named +
                                           "COALESCE(label, ''), probability, manual_label FROM "
                                           "recordings WHERE session_id IN (SELECT value FROM "
                                           "json_each(?1)) ORDER BY recording_time, id");
        statement.bind(1, std::string_view(ids));
        LibraryRecording row;
        while (statement.step()) {
            row.id = statement.integerAt(0);
            row.sessionId = statement.integerAt(1);
            row.recordingTime = timeAt(statement, 2);
            row.utcOffsetSeconds = offsetAt(statement, 3);
            row.timeZone = statement.textAt(4);
            row.filePath = statement.textAt(5);
            row.label = statement.textAt(6);
            row.probability = statement.optionalDoubleAt(7);
            row.manualLabel = statement.integerAt(8) != 0;
            visit(row);
        }
    }

    // Writers of one file take turns through its lock, waiting a few seconds at most.
    std::unique_ptr<ImportTransaction> beginImport(std::stop_token,
                                                   const std::function<void()>&) override {
        return beginSqliteImport(database_);
    }

    void updateSession(const LibrarySession& session, const LibrarySession* expected) override {
        try {
            Transaction transaction(database_);
            Statement update(
                database_, std::string("UPDATE sessions SET name = ?2, sample_date = ?3, "
                                       "latitude = ?4, longitude = ?5, notes = ?6 WHERE id = ?1") +
                               (expected ? " AND name = ?7 AND sample_date = ?8 AND latitude "
                                           "IS ?9 AND longitude IS ?10 AND notes = ?11"
                                         : ""));
            update.bind(1, session.id)
                .bind(2, std::string_view(session.name))
                .bind(3, session.sampleDate)
                .bind(4, session.latitude)
                .bind(5, session.longitude)
                .bind(6, std::string_view(session.notes));
            if (expected) {
                update.bind(7, std::string_view(expected->name))
                    .bind(8, expected->sampleDate)
                    .bind(9, expected->latitude)
                    .bind(10, expected->longitude)
                    .bind(11, std::string_view(expected->notes));
            }
            update.run();
            if (sqlite3_changes(database_.handle()) == 0) {
                Statement find(database_, "SELECT 1 FROM sessions WHERE id = ?1");
                find.bind(1, session.id);
                throw LibraryError(find.step() ? kSessionChanged : kSessionGone);
            }
            transaction.commit();
        } catch (const SqliteError& error) {
            if (isUniqueViolation(error)) {
                throw LibraryError("The session was not changed: " +
                                   sessionNameTaken(session.name));
            }
            throw LibraryError("The session was not changed: " + std::string(error.what()));
        }
    }

    RemovedRows removeSessions(const std::vector<std::int64_t>& sessionIds) override {
        Transaction transaction(database_);
        const std::string ids = idList(sessionIds);
        RemovedRows removed;
        Statement select(database_,
                         "SELECT id, name, sample_date, latitude, longitude, notes FROM "
                         "sessions WHERE id IN (SELECT value FROM json_each(?1)) ORDER BY id");
        select.bind(1, std::string_view(ids));
        while (select.step()) {
            removed.sessions.push_back({select.integerAt(0), select.textAt(1), select.doubleAt(2),
                                        select.optionalDoubleAt(3), select.optionalDoubleAt(4),
                                        select.textAt(5)});
        }
        removed.recordings = recordingRows("session_id", ids);
        Statement remove(database_,
                         "DELETE FROM sessions WHERE id IN (SELECT value FROM json_each(?1))");
        remove.bind(1, std::string_view(ids)).run();
        transaction.commit();
        return removed;
    }

    RemovedRows removeRecordings(const std::vector<std::int64_t>& recordingIds) override {
        Transaction transaction(database_);
        const std::string ids = idList(recordingIds);
        RemovedRows removed;
        removed.recordings = recordingRows("id", ids);
        Statement remove(database_,
                         "DELETE FROM recordings WHERE id IN (SELECT value FROM json_each(?1))");
        remove.bind(1, std::string_view(ids)).run();
        transaction.commit();
        return removed;
    }

    void restoreRows(const RemovedRows& rows) override {
        Transaction transaction(database_);
        Statement session(
            database_,
            "INSERT INTO sessions (id, name, sample_date, latitude, longitude, notes) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        for (const StoredSessionRow& row : rows.sessions) {
            session.bind(1, row.id)
                .bind(2, std::string_view(row.name))
                .bind(3, row.sampleDate)
                .bind(4, row.latitude)
                .bind(5, row.longitude)
                .bind(6, std::string_view(row.notes))
                .run();
            session.reset();
        }
        Statement recording(database_, "INSERT INTO recordings (" +
                                           std::string(kRecordingRowColumns) +
                                           ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        for (const StoredRecordingRow& row : rows.recordings) {
            recording.bind(1, row.id)
                .bind(2, row.sessionId)
                .bind(3, row.recordingTime)
                .bind(4, row.utcOffset)
                .bind(5, row.timeZone)
                .bind(6, row.filePath)
                .bind(7, row.label)
                .bind(8, row.probability)
                .bind(9, row.manualLabel)
                .run();
            recording.reset();
        }
        transaction.commit();
    }

    std::vector<std::string> sessionTimeZones(std::int64_t sessionId) const override {
        Statement select(database_,
                         "SELECT DISTINCT time_zone FROM recordings WHERE session_id = ?1 AND "
                         "time_zone IS NOT NULL AND time_zone <> '' ORDER BY time_zone");
        select.bind(1, sessionId);
        std::vector<std::string> zones;
        while (select.step()) {
            zones.push_back(select.textAt(0));
        }
        return zones;
    }

    SessionTimes changeSessionTimes(
        std::int64_t sessionId,
        const std::function<SessionTimes(const SessionTimes&)>& change) override {
        Transaction transaction(database_);
        SessionTimes before;
        before.sessionId = sessionId;
        Statement session(database_, "SELECT sample_date FROM sessions WHERE id = ?1");
        session.bind(1, sessionId);
        if (!session.step()) {
            throw LibraryError("The session no longer exists.");
        }
        before.sampleDate = timeAt(session, 0);
        Statement select(database_,
                         "SELECT id, recording_time, utc_offset, time_zone FROM recordings "
                         "WHERE session_id = ?1 AND time_zone IS NOT NULL AND time_zone <> '' "
                         "ORDER BY recording_time, id");
        select.bind(1, sessionId);
        while (select.step()) {
            before.recordings.push_back(
                {select.integerAt(0),
                 KeptTime{timeAt(select, 1), offsetAt(select, 2), select.textAt(3)}});
        }
        writeSessionTimes(change(before));
        transaction.commit();
        return before;
    }

    void restoreSessionTimes(const SessionTimes& times) override {
        Transaction transaction(database_);
        writeSessionTimes(times);
        transaction.commit();
    }

    std::vector<std::string> labelNames() const override {
        Statement select(database_,
                         "SELECT DISTINCT label FROM recordings WHERE label IS NOT NULL AND "
                         "label <> '' ORDER BY label");
        std::vector<std::string> names;
        while (select.step()) {
            names.push_back(select.textAt(0));
        }
        return names;
    }

    std::vector<RecordingLabel> changeLabels(
        const std::vector<RecordingLabel>& labels,
        const std::function<void(const std::vector<RecordingLabel>&)>& check) override {
        Transaction transaction(database_);
        std::vector<std::int64_t> ids;
        for (const RecordingLabel& label : labels) {
            ids.push_back(label.recordingId);
        }
        Statement select(database_,
                         "SELECT id, label, manual_label FROM recordings WHERE id IN "
                         "(SELECT value FROM json_each(?1))");
        select.bind(1, std::string_view(idList(ids)));
        std::vector<RecordingLabel> current;
        while (select.step()) {
            current.push_back(
                {select.integerAt(0), select.optionalTextAt(1), select.integerAt(2) != 0});
        }
        check(current);
        Statement update(database_,
                         "UPDATE recordings SET label = ?2, manual_label = ?3 WHERE id = ?1");
        for (const RecordingLabel& label : labels) {
            update.bind(1, label.recordingId)
                .bind(2, label.label)
                .bind(3, std::int64_t{label.manualLabel ? 1 : 0})
                .run();
            update.reset();
        }
        transaction.commit();
        return current;
    }

    bool undoneUnfinishedChange() const override { return undone_; }
    bool holdsUnfinishedChange() const override {
        return hasJournal(sqlite3_db_filename(database_.handle(), "main"));
    }

  private:
    std::vector<StoredRecordingRow> recordingRows(std::string_view where,
                                                  const std::string& ids) const {
        Statement select(database_, "SELECT " + std::string(kRecordingRowColumns) +
                                        " FROM recordings WHERE " + std::string(where) +
                                        " IN (SELECT value FROM json_each(?1)) ORDER BY id");
        select.bind(1, std::string_view(ids));
        std::vector<StoredRecordingRow> rows;
        while (select.step()) {
            rows.push_back({select.integerAt(0), select.integerAt(1), select.doubleAt(2),
                            select.integerAt(3), select.optionalTextAt(4), select.optionalTextAt(5),
                            select.optionalTextAt(6), select.optionalDoubleAt(7),
                            select.integerAt(8)});
        }
        return rows;
    }

    void writeSessionTimes(const SessionTimes& times) {
        Statement session(database_, "UPDATE sessions SET sample_date = ?2 WHERE id = ?1");
        session.bind(1, times.sessionId).bind(2, times.sampleDate).run();
        if (sqlite3_changes(database_.handle()) == 0) {
            throw LibraryError("The session no longer exists.");
        }
        Statement update(database_,
                         "UPDATE recordings SET recording_time = ?2, utc_offset = ?3, "
                         "time_zone = ?4 WHERE id = ?1");
        for (const auto& [id, time] : times.recordings) {
            update.bind(1, id)
                .bind(2, time.recordingTime)
                .bind(3, time.utcOffsetSeconds)
                .bind(4, std::string_view(time.timeZone))
                .run();
            update.reset();
        }
    }

    Database database_;
    bool undone_ = false;
};

}  // namespace

std::unique_ptr<LibraryStore> createSqliteStore(const std::filesystem::path& file,
                                                const std::filesystem::path& shownAs) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        throw LibraryError(describe(shownAs) +
                           " already exists. Choose another name, or open it as a library.");
    }
    try {
        Database database = openForWriting(file, Database::Mode::Create);
        migrate(database, 0);
        return std::make_unique<SqliteLibraryStore>(std::move(database), false);
    } catch (const SqliteError& error) {
        std::filesystem::remove(file, ec);
        std::filesystem::remove(journalOf(file), ec);
        throw LibraryError(describe(shownAs) + " cannot be created: " + error.what());
    }
}

std::unique_ptr<LibraryStore> openSqliteStore(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw LibraryError(describe(file) + " does not exist or is not a file.");
    }
    const bool journal = hasJournal(file);
    const int version = checkedVersion(file);
    try {
        Database database = openForWriting(file, Database::Mode::ReadWrite);
        if (version < kLibrarySchemaVersion) {
            migrate(database, version);
        }
        return std::make_unique<SqliteLibraryStore>(std::move(database),
                                                    journal && !hasJournal(file));
    } catch (const SqliteError& error) {
        throw LibraryError(describe(file) + " cannot be opened: " + error.what());
    }
}

}  // namespace vane::library
