#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "library/import_transaction.h"
#include "library/library_types.h"

namespace vane::library {

// The count column of sessionRows, in SQL that both stores speak.
inline const char* sessionCount(SessionDetail detail) {
    return detail == SessionDetail::WithCounts
               ? "(SELECT COUNT(*) FROM recordings r WHERE r.session_id = s.id)"
               : "0";
}

// Where a library's sessions and recordings are kept: an SQLite file or a PostgreSQL database.
// A method throws StoreError with what the file or the server refused, which RecordingLibrary
// (and the one import flow, import_flow.h) words as what became of the change, or LibraryError
// where the store itself tells the user why (a session gone, a name taken). Checks that do not
// depend on where the rows live (stored values in range, a new session's date) are
// RecordingLibrary's.
class LibraryStore {
  public:
    virtual ~LibraryStore() = default;

    // Every session, with its count of recordings when asked, by sample date, name and id,
    // unchecked.
    virtual std::vector<LibrarySession> sessionRows(SessionDetail detail) const = 0;
    // The recordings of the sessions by time and id, one call each, without holding them all:
    // the row passed is reused.
    virtual void forEachRecordingRow(
        const std::vector<std::int64_t>& sessionIds, RecordingDetail detail,
        const std::function<void(const LibraryRecording&)>& visit) const = 0;
    // Begins an import, which importRecordings (import_flow.h) takes through its steps, once no
    // other import is under way; `waiting` is told once when it has to wait. Nothing when stopped
    // while waiting.
    virtual std::unique_ptr<ImportTransaction> beginImport(
        std::stop_token stop, const std::function<void()>& waiting) = 0;
    // With `expected`, changes the session only while it still is as `expected` says, so that a
    // change someone made meanwhile is not silently overwritten.
    virtual void updateSession(const LibrarySession& session, const LibrarySession* expected) = 0;
    virtual RemovedRows removeSessions(const std::vector<std::int64_t>& sessionIds) = 0;
    virtual RemovedRows removeRecordings(const std::vector<std::int64_t>& recordingIds) = 0;
    virtual void restoreRows(const RemovedRows& rows) = 0;

    virtual std::vector<std::string> sessionTimeZones(std::int64_t sessionId) const = 0;
    // Reads the session's local times and writes what `change` makes of them, in one
    // transaction; answers the times as they were.
    virtual SessionTimes changeSessionTimes(
        std::int64_t sessionId, const std::function<SessionTimes(const SessionTimes&)>& change) = 0;
    virtual void restoreSessionTimes(const SessionTimes& times) = 0;

    // The labels of the recordings, by name, none empty.
    virtual std::vector<std::string> labelNames() const = 0;
    // Reads the labels of the recordings `labels` names (those still there) and writes `labels`
    // once `check` passed them, in one transaction; answers the labels as they were.
    virtual std::vector<RecordingLabel> changeLabels(
        const std::vector<RecordingLabel>& labels,
        const std::function<void(const std::vector<RecordingLabel>& current)>& check) = 0;

    // True when opening rolled back a change that was never finished.
    virtual bool undoneUnfinishedChange() const = 0;
    // True while a change that failed is not yet undone in the library (SQLite keeps it in the
    // journal beside the file until the next open puts it back).
    virtual bool holdsUnfinishedChange() const = 0;
};

}  // namespace vane::library
