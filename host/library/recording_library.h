#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

#include "core/recordings/duplicate_recordings.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/zone_change.h"
#include "host/library/sqlite_database.h"

namespace vane::library {

// The library version this program writes; older libraries are migrated forward on open.
inline constexpr int kLibrarySchemaVersion = 3;

// Why a library cannot be opened or changed, in words for the user.
class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct LibrarySession {
    std::int64_t id = 0;
    std::string name;
    double sampledate = 0.0;  // seconds since the Unix epoch: the first evening's midnight
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::string notes;
    std::int64_t recordingCount = 0;
};

struct LibraryRecording {
    std::int64_t id = 0;
    std::int64_t sessionId = 0;
    double recordingTime = 0.0;
    int utcOffsetSeconds = 0;
    std::string timeZone;
    std::string filePath;
    std::string label{};  // empty: none
    std::optional<double> probability{};
    bool manualLabel = false;
};

struct NewSession {
    std::string name;
    // Absent: the first evening of the imported recordings, which must then be some.
    std::optional<double> sampledate{};
    std::optional<double> latitude{};
    std::optional<double> longitude{};
    std::string notes{};
};

// Rows exactly as stored (absent values as NULL), so that a removal can be put back unchanged.
struct StoredSessionRow {
    std::int64_t id = 0;
    std::string name;
    double sampleDate = 0.0;
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::string notes;
};

struct StoredRecordingRow {
    std::int64_t id = 0;
    std::int64_t sessionId = 0;
    double recordingTime = 0.0;
    std::int64_t utcOffset = 0;
    std::optional<std::string> timeZone;
    std::optional<std::string> filePath;
    std::optional<std::string> label;
    std::optional<double> probability;
    std::int64_t manualLabel = 0;
};

// What a removal took out of the library.
struct RemovedRows {
    std::vector<StoredSessionRow> sessions;
    std::vector<StoredRecordingRow> recordings;  // also those of the removed sessions
};

// The times of a session's recordings that were read as local time, with its sample date.
struct SessionTimes {
    std::int64_t sessionId = 0;
    double sampleDate = 0.0;
    std::vector<std::pair<std::int64_t, KeptTime>> recordings;  // by recording id
};

using ImportTarget = std::variant<NewSession, std::int64_t /* existing session id */>;

struct ImportSummary {
    std::int64_t sessionId = 0;  // 0 when nothing was new and no session was made
    std::string sessionName;
    std::size_t imported = 0;
    // Indexes into the recordings given of those already in the library, which were skipped.
    std::vector<std::size_t> alreadyStored{};
};

// A library file of sessions and their recordings. Each change runs in one transaction.
class RecordingLibrary {
  public:
    // Makes a new library; refuses a file that already exists.
    static RecordingLibrary create(const std::filesystem::path& file);
    // Opens an existing library, migrating an older one. A file that is not a Vane library, or
    // that a newer version wrote, is refused without being written to.
    static RecordingLibrary open(const std::filesystem::path& file);
    static RecordingLibrary openOrCreate(const std::filesystem::path& file);

    const std::filesystem::path& file() const { return file_; }
    // True when opening rolled back a change that was never finished (an import that was
    // killed): the library is as it was before that change.
    bool undoneUnfinishedChange() const { return undoneUnfinishedChange_; }

    // By sample date, then name. Rows whose stored values are out of range (a damaged file) are
    // left out, each with a line naming it in `refused` when given.
    std::vector<LibrarySession> sessions(std::vector<std::string>* refused = nullptr) const;
    // Of the given sessions, by time stamp; damaged rows as for sessions().
    std::vector<LibraryRecording> recordings(const std::vector<std::int64_t>& sessionIds,
                                             std::vector<std::string>* refused = nullptr) const;

    // Adds the recordings to a new or an existing session, all or nothing, skipping those the
    // library holds already (see duplicateRecordings); a new session is made only when some
    // recordings are new. Answers nothing when
    // `stop` was requested before the end; the library is then as it was. `progress` is told
    // now and then how many recordings are written, before they are committed.
    std::optional<ImportSummary> importRecordings(
        const ImportTarget& target, const std::vector<ImportedRecording>& recordings,
        std::stop_token stop = {}, const std::function<void(std::size_t done)>& progress = {});

    void updateSession(const LibrarySession& session);  // name, sample date, location, notes
    // Each removal is one transaction and answers what it took out, for restoreRows().
    RemovedRows removeSessions(const std::vector<std::int64_t>& sessionIds);  // with recordings
    RemovedRows removeRecordings(const std::vector<std::int64_t>& recordingIds);
    // Puts removed rows back under their own ids, in one transaction. Refused, changing nothing,
    // when an id has been taken again in the meantime.
    void restoreRows(const RemovedRows& rows);

    // The zones the session's times were read in as local time, sorted; none when every time
    // was written with its own offset.
    std::vector<std::string> sessionTimeZones(std::int64_t sessionId) const;
    // Reads every time of the session that was read as local time again in `zone` (readInZone),
    // and moves the sample date to the same evening's midnight there, in one transaction.
    // Answers the times as they were, for restoreSessionTimes().
    SessionTimes rereadSessionInZone(std::int64_t sessionId, const icu::TimeZone& zone);
    void restoreSessionTimes(const SessionTimes& times);

  private:
    RecordingLibrary(std::filesystem::path file, Database database);

    std::filesystem::path file_;
    Database database_;
    bool undoneUnfinishedChange_ = false;
};

}  // namespace vane::library
