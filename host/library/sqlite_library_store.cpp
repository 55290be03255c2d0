#include "host/library/sqlite_library_store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#include "host/library/sqlite_database.h"

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

std::string sessionNameTaken(const std::string& name) {
    return "A session named \"" + name +
           "\" already exists (someone may have just made it). Choose another name, or import "
           "into that session.";
}

bool isUniqueViolation(const SqliteError& error) {
    return error.code() == SQLITE_CONSTRAINT_UNIQUE;
}

class SqliteLibraryStore final : public LibraryStore {
  public:
    SqliteLibraryStore(std::filesystem::path file, Database database, bool undone)
        : file_(std::move(file)), database_(std::move(database)), undone_(undone) {}

    std::vector<LibrarySession> sessionRows() const override {
        try {
            Statement statement(
                database_,
                "SELECT s.id, s.name, s.sample_date, s.latitude, s.longitude, s.notes, "
                "(SELECT COUNT(*) FROM recordings r WHERE r.session_id = s.id) "
                "FROM sessions s ORDER BY s.sample_date, s.name, s.id");
            std::vector<LibrarySession> sessions;
            while (statement.step()) {
                sessions.push_back({statement.integerAt(0), statement.textAt(1),
                                    statement.doubleAt(2), statement.optionalDoubleAt(3),
                                    statement.optionalDoubleAt(4), statement.textAt(5),
                                    statement.integerAt(6)});
            }
            return sessions;
        } catch (const SqliteError& error) {
            throw LibraryError(describe(file_) + " cannot be read: " + error.what());
        }
    }

    void forEachRecordingRow(
        const std::vector<std::int64_t>& sessionIds, RecordingDetail detail,
        const std::function<void(const LibraryRecording&)>& visit) const override {
        // json_each lets one prepared statement take any number of sessions.
        std::string ids = "[";
        for (std::size_t i = 0; i < sessionIds.size(); ++i) {
            ids += (i ? "," : "") + std::to_string(sessionIds[i]);
        }
        ids += "]";
        try {
            const std::string named = detail == RecordingDetail::Full
                                          ? "COALESCE(time_zone, ''), COALESCE(file_path, ''), "
                                          : "'', '', ";
            Statement statement(database_,
                                "SELECT id, session_id, recording_time, utc_offset, " + named +
                                    "COALESCE(label, ''), probability, manual_label FROM "
                                    "recordings WHERE session_id IN (SELECT value FROM "
                                    "json_each(?1)) ORDER BY recording_time, id");
            statement.bind(1, std::string_view(ids));
            LibraryRecording row;
            while (statement.step()) {
                row.id = statement.integerAt(0);
                row.sessionId = statement.integerAt(1);
                row.recordingTime = statement.doubleAt(2);
                // Beyond int is damage that the caller refuses; clamped, it stays out of range.
                row.utcOffsetSeconds = static_cast<int>(
                    std::clamp<std::int64_t>(statement.integerAt(3), INT_MIN, INT_MAX));
                row.timeZone = statement.textAt(4);
                row.filePath = statement.textAt(5);
                row.label = statement.textAt(6);
                row.probability = statement.optionalDoubleAt(7);
                row.manualLabel = statement.integerAt(8) != 0;
                visit(row);
            }
        } catch (const SqliteError& error) {
            throw LibraryError(describe(file_) + " cannot be read: " + error.what());
        }
    }

    std::optional<ImportSummary> importRecordings(
        const ImportTarget& target, const std::vector<ImportedRecording>& recordings,
        std::stop_token stop, const std::function<void(std::size_t done)>& progress) override {
        constexpr std::size_t kProgressEvery = 25'000;
        try {
            Transaction transaction(database_);
            ImportSummary summary;
            if (const auto* session = std::get_if<NewSession>(&target)) {
                summary.sessionId = sessionFor(*session);
                summary.sessionName = session->name;
            } else {
                summary.sessionId = std::get<std::int64_t>(target);
                Statement find(database_, "SELECT name FROM sessions WHERE id = ?1");
                find.bind(1, summary.sessionId);
                if (!find.step()) {
                    throw LibraryError("The session to import into no longer exists.");
                }
                summary.sessionName = find.textAt(0);
            }
            Statement insert(
                database_,
                "INSERT INTO recordings (session_id, recording_time, utc_offset, "
                "time_zone, file_path, label, probability, manual_label) "
                "VALUES (?1, ?2, ?3, NULLIF(?4, ''), NULLIF(?5, ''), NULLIF(?6, ''), ?7, ?8)");
            for (const ImportedRecording& recording : recordings) {
                if (stop.stop_requested()) {
                    return std::nullopt;
                }
                insert.bind(1, summary.sessionId)
                    .bind(2, recording.recordingTime)
                    .bind(3, recording.utcOffsetSeconds)
                    .bind(4, std::string_view(recording.timeZone))
                    .bind(5, std::string_view(recording.filePath))
                    .bind(6, std::string_view(recording.label))
                    .bind(7, recording.probability)
                    .bind(8, recording.manualLabel ? 1 : 0)
                    .run();
                insert.reset();
                ++summary.imported;
                if (progress && summary.imported % kProgressEvery == 0) {
                    progress(summary.imported);
                }
            }
            if (progress) {
                progress(summary.imported);
            }
            if (stop.stop_requested()) {
                return std::nullopt;
            }
            transaction.commit();
            return summary;
        } catch (const SqliteError& error) {
            throw LibraryError("The import was undone, the library is unchanged: " +
                               std::string(error.what()));
        }
    }

    void updateSession(const LibrarySession& session) override {
        try {
            Transaction transaction(database_);
            Statement update(database_,
                             "UPDATE sessions SET name = ?2, sample_date = ?3, latitude = ?4, "
                             "longitude = ?5, notes = ?6 WHERE id = ?1");
            update.bind(1, session.id)
                .bind(2, std::string_view(session.name))
                .bind(3, session.sampledate)
                .bind(4, session.latitude)
                .bind(5, session.longitude)
                .bind(6, std::string_view(session.notes))
                .run();
            if (sqlite3_changes(database_.handle()) == 0) {
                throw LibraryError(
                    "The session was not changed: someone has removed it meanwhile. Refresh to "
                    "see the library as it is.");
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

    void removeSessions(const std::vector<std::int64_t>& sessionIds) override {
        try {
            Transaction transaction(database_);
            Statement remove(database_, "DELETE FROM sessions WHERE id = ?1");
            for (const std::int64_t id : sessionIds) {
                remove.bind(1, id).run();
                remove.reset();
            }
            transaction.commit();
        } catch (const SqliteError& error) {
            throw LibraryError("Nothing was removed: " + std::string(error.what()));
        }
    }

    bool undoneUnfinishedChange() const override { return undone_; }

  private:
    // Inside the import's transaction, which holds the write lock: no other import can make the
    // same name between the look and the insert.
    std::int64_t sessionFor(const NewSession& session) {
        if (session.joinExisting) {
            Statement find(database_, "SELECT id FROM sessions WHERE name = ?1");
            find.bind(1, std::string_view(session.name));
            if (find.step()) {
                return find.integerAt(0);
            }
        }
        Statement insert(database_,
                         "INSERT INTO sessions (name, sample_date, latitude, longitude, notes) "
                         "VALUES (?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, std::string_view(session.name))
            .bind(2, session.sampledate.value_or(0.0))
            .bind(3, session.latitude)
            .bind(4, session.longitude)
            .bind(5, std::string_view(session.notes));
        try {
            insert.run();
        } catch (const SqliteError& error) {
            if (isUniqueViolation(error)) {
                throw LibraryError("Nothing was imported: " + sessionNameTaken(session.name));
            }
            throw;
        }
        return database_.lastInsertId();
    }

    std::filesystem::path file_;
    Database database_;
    bool undone_ = false;
};

}  // namespace

std::unique_ptr<LibraryStore> createSqliteStore(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        throw LibraryError(describe(file) +
                           " already exists. Choose another name, or open it as a library.");
    }
    try {
        Database database = openForWriting(file, Database::Mode::Create);
        migrate(database, 0);
        return std::make_unique<SqliteLibraryStore>(file, std::move(database), false);
    } catch (const SqliteError& error) {
        std::filesystem::remove(file, ec);
        throw LibraryError(describe(file) + " cannot be created: " + error.what());
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
        return std::make_unique<SqliteLibraryStore>(file, std::move(database),
                                                    journal && !hasJournal(file));
    } catch (const SqliteError& error) {
        throw LibraryError(describe(file) + " cannot be opened: " + error.what());
    }
}

}  // namespace vane::library
