#include "host/library/recording_library.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string_view>

namespace vane::library {
namespace {

// "VANE": marks the file as ours, so any other SQLite file is told apart.
constexpr std::int64_t kApplicationId = 0x56414E45;

// Each step takes a library from version i to i + 1; never edit a step once released.
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

// Midnight of the first evening, at the offset the earliest recording was read with: the
// recordings may come in any order, and a session can span a change of daylight saving time.
std::optional<double> firstEveningStart(const std::vector<ImportedRecording>& recordings) {
    const std::optional<CivilDate> evening = firstEveningDate(recordings);
    if (!evening) {
        return std::nullopt;
    }
    const auto earliest = std::min_element(
        recordings.begin(), recordings.end(),
        [](const auto& a, const auto& b) { return a.recordingTime < b.recordingTime; });
    return startOfDay(*evening, earliest->utcOffsetSeconds);
}

// Times the calendar code reads: years 1000 to 9999. Anything else in the file is damage and must
// not reach a time zone computation, which would throw far from the row that caused it.
bool isStoredTime(double seconds) {
    return std::isfinite(seconds) && seconds >= -30610224000.0 && seconds <= 253402300799.0;
}

bool isStoredOffset(std::int64_t seconds) {
    return seconds >= -86400 && seconds <= 86400;
}

void refuse(std::vector<std::string>* refused, std::string line) {
    if (refused) {
        refused->push_back(std::move(line));
    }
}

std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The recordings an import must not add again: those with a file path anywhere, and every one of
// the target session (0 for a new one).
std::vector<StoredRecordingKey> storedKeys(const Database& database, std::int64_t targetSession) {
    Statement select(database,
                     "SELECT COALESCE(file_path, ''), recording_time, session_id = ?1 "
                     "FROM recordings WHERE file_path IS NOT NULL OR session_id = ?1");
    select.bind(1, targetSession);
    std::vector<StoredRecordingKey> keys;
    while (select.step()) {
        keys.push_back({select.textAt(0), select.doubleAt(1), select.integerAt(2) != 0});
    }
    return keys;
}

Database openForWriting(const std::filesystem::path& file, Database::Mode mode) {
    Database database(file, mode);
    database.execute("PRAGMA foreign_keys = ON");
    return database;
}

}  // namespace

RecordingLibrary::RecordingLibrary(std::filesystem::path file, Database database)
    : file_(std::move(file)), database_(std::move(database)) {}

RecordingLibrary RecordingLibrary::create(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        throw LibraryError(describe(file) +
                           " already exists. Choose another name, or open it as a library.");
    }
    try {
        Database database = openForWriting(file, Database::Mode::Create);
        migrate(database, 0);
        return RecordingLibrary(file, std::move(database));
    } catch (const SqliteError& error) {
        std::filesystem::remove(file, ec);
        throw LibraryError(describe(file) + " cannot be created: " + error.what());
    }
}

RecordingLibrary RecordingLibrary::open(const std::filesystem::path& file) {
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
        RecordingLibrary library(file, std::move(database));
        library.undoneUnfinishedChange_ = journal && !hasJournal(file);
        return library;
    } catch (const SqliteError& error) {
        throw LibraryError(describe(file) + " cannot be opened: " + error.what());
    }
}

RecordingLibrary RecordingLibrary::openOrCreate(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        return open(file);
    }
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    return create(file);
}

std::vector<LibrarySession> RecordingLibrary::sessions(std::vector<std::string>* refused) const {
    Statement statement(database_,
                        "SELECT s.id, s.name, s.sample_date, s.latitude, s.longitude, s.notes, "
                        "(SELECT COUNT(*) FROM recordings r WHERE r.session_id = s.id) "
                        "FROM sessions s ORDER BY s.sample_date, s.name, s.id");
    std::vector<LibrarySession> sessions;
    while (statement.step()) {
        LibrarySession session{statement.integerAt(0),        statement.textAt(1),
                               statement.doubleAt(2),         statement.optionalDoubleAt(3),
                               statement.optionalDoubleAt(4), statement.textAt(5),
                               statement.integerAt(6)};
        if (!isStoredTime(session.sampledate)) {
            refuse(refused, describe(file_) + ": session " + std::to_string(session.id) +
                                " has a sample date out of range (" +
                                numberText(session.sampledate) + ")");
            continue;
        }
        sessions.push_back(std::move(session));
    }
    return sessions;
}

std::vector<LibraryRecording> RecordingLibrary::recordings(
    const std::vector<std::int64_t>& sessionIds, std::vector<std::string>* refused) const {
    // json_each lets one prepared statement take any number of sessions.
    std::string ids = "[";
    for (std::size_t i = 0; i < sessionIds.size(); ++i) {
        ids += (i ? "," : "") + std::to_string(sessionIds[i]);
    }
    ids += "]";
    Statement statement(database_,
                        "SELECT id, session_id, recording_time, utc_offset, "
                        "COALESCE(time_zone, ''), COALESCE(file_path, ''), "
                        "COALESCE(label, ''), probability, manual_label FROM recordings "
                        "WHERE session_id IN (SELECT value FROM json_each(?1)) "
                        "ORDER BY recording_time, id");
    statement.bind(1, std::string_view(ids));
    std::vector<LibraryRecording> recordings;
    while (statement.step()) {
        const std::int64_t id = statement.integerAt(0);
        const double time = statement.doubleAt(2);
        const std::int64_t offset = statement.integerAt(3);
        if (!isStoredTime(time) || !isStoredOffset(offset)) {
            refuse(refused, describe(file_) + ": recording " + std::to_string(id) + " has a " +
                                (isStoredTime(time) ? "UTC offset" : "time") + " out of range (" +
                                (isStoredTime(time) ? std::to_string(offset) : numberText(time)) +
                                ")");
            continue;
        }
        recordings.push_back({id, statement.integerAt(1), time, static_cast<int>(offset),
                              statement.textAt(4), statement.textAt(5), statement.textAt(6),
                              statement.optionalDoubleAt(7), statement.integerAt(8) != 0});
    }
    return recordings;
}

std::optional<ImportSummary> RecordingLibrary::importRecordings(
    const ImportTarget& target, const std::vector<ImportedRecording>& recordings,
    std::stop_token stop, const std::function<void(std::size_t done)>& progress) {
    constexpr std::size_t kProgressEvery = 25'000;
    try {
        Transaction transaction(database_);
        ImportSummary summary;
        const auto* newSession = std::get_if<NewSession>(&target);
        if (!newSession) {
            summary.sessionId = std::get<std::int64_t>(target);
            Statement find(database_, "SELECT name FROM sessions WHERE id = ?1");
            find.bind(1, summary.sessionId);
            if (!find.step()) {
                throw LibraryError("The session to import into no longer exists.");
            }
            summary.sessionName = find.textAt(0);
        } else {
            summary.sessionName = newSession->name;
        }
        summary.alreadyStored =
            duplicateRecordings(storedKeys(database_, summary.sessionId), recordings);
        if (stop.stop_requested()) {
            return std::nullopt;
        }
        if (summary.alreadyStored.size() == recordings.size() && !recordings.empty()) {
            return summary;  // nothing new: the library stays as it was, without an empty session
        }
        if (newSession) {
            const std::optional<double> sampledate =
                newSession->sampledate ? newSession->sampledate : firstEveningStart(recordings);
            if (!sampledate) {
                throw LibraryError("A new session needs recordings or a sample date.");
            }
            Statement insert(database_,
                             "INSERT INTO sessions (name, sample_date, latitude, longitude, notes) "
                             "VALUES (?1, ?2, ?3, ?4, ?5)");
            insert.bind(1, std::string_view(newSession->name))
                .bind(2, *sampledate)
                .bind(3, newSession->latitude)
                .bind(4, newSession->longitude)
                .bind(5, std::string_view(newSession->notes))
                .run();
            summary.sessionId = database_.lastInsertId();
        }
        Statement insert(
            database_,
            "INSERT INTO recordings (session_id, recording_time, utc_offset, "
            "time_zone, file_path, label, probability, manual_label) "
            "VALUES (?1, ?2, ?3, NULLIF(?4, ''), NULLIF(?5, ''), NULLIF(?6, ''), ?7, ?8)");
        auto duplicate = summary.alreadyStored.begin();
        for (std::size_t i = 0; i < recordings.size(); ++i) {
            if (stop.stop_requested()) {
                return std::nullopt;
            }
            if (duplicate != summary.alreadyStored.end() && *duplicate == i) {
                ++duplicate;
                continue;
            }
            const ImportedRecording& recording = recordings[i];
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

void RecordingLibrary::updateSession(const LibrarySession& session) {
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
        transaction.commit();
    } catch (const SqliteError& error) {
        throw LibraryError("The session was not changed: " + std::string(error.what()));
    }
}

namespace {

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

std::vector<StoredRecordingRow> recordingRows(const Database& database, std::string_view where,
                                              const std::string& ids) {
    Statement select(database, "SELECT " + std::string(kRecordingRowColumns) +
                                   " FROM recordings WHERE " + std::string(where) +
                                   " IN (SELECT value FROM json_each(?1)) ORDER BY id");
    select.bind(1, std::string_view(ids));
    std::vector<StoredRecordingRow> rows;
    while (select.step()) {
        rows.push_back({select.integerAt(0), select.integerAt(1), select.doubleAt(2),
                        select.integerAt(3), select.optionalTextAt(4), select.optionalTextAt(5),
                        select.optionalTextAt(6), select.optionalDoubleAt(7), select.integerAt(8)});
    }
    return rows;
}

}  // namespace

RemovedRows RecordingLibrary::removeSessions(const std::vector<std::int64_t>& sessionIds) {
    try {
        Transaction transaction(database_);
        const std::string ids = idList(sessionIds);
        RemovedRows removed;
        Statement select(database_,
                         "SELECT id, name, sample_date, latitude, longitude, notes FROM sessions "
                         "WHERE id IN (SELECT value FROM json_each(?1)) ORDER BY id");
        select.bind(1, std::string_view(ids));
        while (select.step()) {
            removed.sessions.push_back({select.integerAt(0), select.textAt(1), select.doubleAt(2),
                                        select.optionalDoubleAt(3), select.optionalDoubleAt(4),
                                        select.textAt(5)});
        }
        removed.recordings = recordingRows(database_, "session_id", ids);
        Statement remove(database_,
                         "DELETE FROM sessions WHERE id IN (SELECT value FROM json_each(?1))");
        remove.bind(1, std::string_view(ids)).run();
        transaction.commit();
        return removed;
    } catch (const SqliteError& error) {
        throw LibraryError("Nothing was removed: " + std::string(error.what()));
    }
}

RemovedRows RecordingLibrary::removeRecordings(const std::vector<std::int64_t>& recordingIds) {
    try {
        Transaction transaction(database_);
        const std::string ids = idList(recordingIds);
        RemovedRows removed;
        removed.recordings = recordingRows(database_, "id", ids);
        Statement remove(database_,
                         "DELETE FROM recordings WHERE id IN (SELECT value FROM json_each(?1))");
        remove.bind(1, std::string_view(ids)).run();
        transaction.commit();
        return removed;
    } catch (const SqliteError& error) {
        throw LibraryError("Nothing was removed: " + std::string(error.what()));
    }
}

void RecordingLibrary::restoreRows(const RemovedRows& rows) {
    try {
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
    } catch (const SqliteError& error) {
        throw LibraryError("Nothing was put back: " + std::string(error.what()));
    }
}

std::vector<std::string> RecordingLibrary::sessionTimeZones(std::int64_t sessionId) const {
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

namespace {

SessionTimes sessionTimes(const Database& database, std::int64_t sessionId) {
    SessionTimes times;
    times.sessionId = sessionId;
    Statement session(database, "SELECT sample_date FROM sessions WHERE id = ?1");
    session.bind(1, sessionId);
    if (!session.step()) {
        throw LibraryError("The session no longer exists.");
    }
    times.sampleDate = session.doubleAt(0);
    Statement select(database,
                     "SELECT id, recording_time, utc_offset, time_zone FROM recordings WHERE "
                     "session_id = ?1 AND time_zone IS NOT NULL AND time_zone <> '' "
                     "ORDER BY recording_time, id");
    select.bind(1, sessionId);
    while (select.step()) {
        times.recordings.push_back(
            {select.integerAt(0),
             KeptTime{select.doubleAt(1), static_cast<int>(select.integerAt(2)),
                      select.textAt(3)}});
    }
    return times;
}

void writeSessionTimes(Database& database, const SessionTimes& times) {
    Statement session(database, "UPDATE sessions SET sample_date = ?2 WHERE id = ?1");
    session.bind(1, times.sessionId).bind(2, times.sampleDate).run();
    Statement update(database,
                     "UPDATE recordings SET recording_time = ?2, utc_offset = ?3, time_zone = ?4 "
                     "WHERE id = ?1");
    for (const auto& [id, time] : times.recordings) {
        update.bind(1, id)
            .bind(2, time.recordingTime)
            .bind(3, time.utcOffsetSeconds)
            .bind(4, std::string_view(time.timeZone))
            .run();
        update.reset();
    }
}

}  // namespace

SessionTimes RecordingLibrary::rereadSessionInZone(std::int64_t sessionId,
                                                   const icu::TimeZone& zone) {
    try {
        Transaction transaction(database_);
        const SessionTimes before = sessionTimes(database_, sessionId);
        SessionTimes after = before;
        for (auto& [id, time] : after.recordings) {
            time = readInZone(time, zone);
        }
        // The evening keeps its date; its midnight moves as the first recording's offset does.
        if (!before.recordings.empty()) {
            after.sampleDate += before.recordings.front().second.utcOffsetSeconds -
                                after.recordings.front().second.utcOffsetSeconds;
        }
        writeSessionTimes(database_, after);
        transaction.commit();
        return before;
    } catch (const SqliteError& error) {
        throw LibraryError("The times were not changed: " + std::string(error.what()));
    }
}

void RecordingLibrary::restoreSessionTimes(const SessionTimes& times) {
    try {
        Transaction transaction(database_);
        writeSessionTimes(database_, times);
        transaction.commit();
    } catch (const SqliteError& error) {
        throw LibraryError("The times were not put back: " + std::string(error.what()));
    }
}

}  // namespace vane::library
