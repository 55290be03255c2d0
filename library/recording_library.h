#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/imported_recording.h"
#include "library/library_location.h"
#include "library/library_store.h"
#include "library/library_types.h"

namespace vane::library {

// A library of sessions and their recordings at its location: a file (SQLite) or a server's
// database (PostgreSQL; an empty host, user or database in the URL is taken from the PG*
// environment, a password only from the password file or PGPASSWORD). Each change runs in one
// transaction.
class RecordingLibrary {
  public:
    // Makes a new library; refuses a file that already exists, or a database that holds tables.
    static RecordingLibrary create(const LibraryLocation& location);
    // Opens an existing library, migrating an older one. A file that is not a Vane library, or
    // that a newer version wrote, is refused without being written to. An empty database is
    // made a library, since a server's databases are made by their administrator.
    static RecordingLibrary open(const LibraryLocation& location);
    static RecordingLibrary openOrCreate(const LibraryLocation& location);

    const LibraryLocation& location() const { return location_; }
    // True when opening rolled back a change that was never finished (an import that was
    // killed): the library is as it was before that change.
    bool undoneUnfinishedChange() const { return store_->undoneUnfinishedChange(); }

    // By sample date, then name; damaged rows are left out (see RowsRead).
    RowsRead<std::vector<LibrarySession>> sessions(
        SessionDetail detail = SessionDetail::WithCounts) const;
    // Of the given sessions, by time stamp; damaged rows as for sessions().
    RowsRead<std::vector<LibraryRecording>> recordings(
        const std::vector<std::int64_t>& sessionIds) const;
    // The same rows one at a time, for reading millions without holding them all; answers the
    // lines naming the damaged rows left out.
    [[nodiscard]] std::vector<std::string> forEachRecording(
        const std::vector<std::int64_t>& sessionIds, RecordingDetail detail,
        const std::function<void(const LibraryRecording&)>& visit) const;

    // Adds the recordings to a new or an existing session, all or nothing, skipping those the
    // library holds already (see duplicateRecordings); a new session is made only when some
    // recordings are new. Answers nothing when `stop` was requested before the end; the library
    // is then as it was. `progress` is told now and then how many recordings are written, before
    // they are committed; `waiting`, once, when the import waits for another into the library.
    std::optional<ImportSummary> importRecordings(
        const ImportTarget& target, const std::vector<ImportedRecording>& recordings,
        std::stop_token stop = {}, const std::function<void(std::size_t done)>& progress = {},
        const std::function<void()>& waiting = {});

    void updateSession(const LibrarySession& session);  // name, sample date, location, notes
    // The same, refused with a message when the session is no longer as `before` says: someone
    // changed or removed it meanwhile.
    void updateSession(const LibrarySession& before, const LibrarySession& after);
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

    // Every label the library's recordings carry, sorted.
    std::vector<std::string> labelNames() const;
    // Gives each recording its label and manual mark, in one transaction, while each still
    // carries the label and mark `expected` gives it by the same index (an absent label counts
    // as an empty one): otherwise, or when a recording is gone, it is refused with a message and
    // nothing changes, so that someone's change meanwhile is not overwritten. Answers the labels
    // as they were, to be put back by the same call.
    std::vector<RecordingLabel> setLabels(const std::vector<RecordingLabel>& labels,
                                          const std::vector<RecordingLabel>& expected);

  private:
    friend class NewLibraryFile;
    RecordingLibrary(LibraryLocation location, std::unique_ptr<LibraryStore> store);

    LibraryLocation location_;
    std::unique_ptr<LibraryStore> store_;
};

}  // namespace vane::library
