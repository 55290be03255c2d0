#include "library/recording_library.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <sstream>

#include "core/files/shown_content.h"
#include "library/import_flow.h"
#include "library/postgres_library_store.h"
#include "library/sqlite_library_store.h"
#include "library/store_error.h"
#include "library/stored_text.h"

namespace vane::library {
namespace {

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

std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// What is wrong with a stored value that isStoredTime() or isStoredOffset() refused. A time that is
// no number is NaN; an offset that is none, or beyond int, is INT_MIN (see the stores).
std::string timeDamage(double seconds) {
    return std::isnan(seconds) ? "that is no number" : "out of range (" + numberText(seconds) + ")";
}

std::string offsetDamage(int seconds) {
    return seconds == INT_MIN ? "that is no number or out of range"
                              : "out of range (" + std::to_string(seconds) + ")";
}

// A server stores any double, NaN too; a time that is no number must fail as it does in a file.
void refuseTimesThatAreNoNumber(const std::vector<ImportedRecording>& recordings) {
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (!std::isfinite(recordings[i].recordingTime)) {
            throw LibraryError("The import was undone, the library is unchanged: recording " +
                               std::to_string(i + 1) + " has no time.");
        }
    }
}

// A file may hold any bytes; the library stores only what whyNotStorable() lets through.
// `refused` begins the message.
void refuseUnstorable(std::string_view text, const std::string& refused, const std::string& what) {
    if (const std::optional<std::string> why = whyNotStorable(text)) {
        throw LibraryError(refused + what + " " + *why + ".");
    }
}

constexpr const char* kNotImported = "Nothing was imported: ";

void refuseUnstorable(const std::vector<ImportedRecording>& recordings) {
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        const ImportedRecording& recording = recordings[i];
        const std::string which = "recording " + std::to_string(i + 1);
        refuseUnstorable(recording.filePath, kNotImported, "the file path of " + which);
        const std::string named =
            which + (recording.filePath.empty()
                         ? ""
                         : " (\"" + shownContent(recording.filePath, 200) + "\")");
        refuseUnstorable(recording.label, kNotImported, "the label of " + named);
        refuseUnstorable(recording.timeZone, kNotImported, "the time zone of " + named);
    }
}

void refuseUnstorableSession(const std::string& name, const std::string& notes,
                             const std::string& refused) {
    if (isBlankSessionName(name)) {
        throw LibraryError(refused + kBlankSessionName + ".");
    }
    refuseUnstorable(name, refused, "the session name");
    refuseUnstorable(notes, refused, "the notes of the session");
}

// Runs a step of the store, saying what a refusal of the file or the server made of the change.
template <typename Step>
auto worded(const std::string& outcome, Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const StoreError& error) {
        throw LibraryError(outcome + error.what());
    }
}

}  // namespace

RecordingLibrary::RecordingLibrary(LibraryLocation location, std::unique_ptr<LibraryStore> store)
    : location_(std::move(location)), store_(std::move(store)) {}

RecordingLibrary RecordingLibrary::create(const LibraryLocation& location) {
    if (location.onServer()) {
        return RecordingLibrary(location, createPostgresStore(location.text()));
    }
    return RecordingLibrary(location, createSqliteStore(location.file(), location.file()));
}

RecordingLibrary RecordingLibrary::open(const LibraryLocation& location) {
    if (location.onServer()) {
        return RecordingLibrary(location, openPostgresStore(location.text()));
    }
    return RecordingLibrary(location, openSqliteStore(location.file()));
}

RecordingLibrary RecordingLibrary::openOrCreate(const LibraryLocation& location) {
    if (!location.isMissingFile()) {
        return open(location);
    }
    if (const std::filesystem::path file = location.file(); file.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    return create(location);
}

RowsRead<std::vector<LibrarySession>> RecordingLibrary::sessions(SessionDetail detail) const {
    RowsRead<std::vector<LibrarySession>> read{worded(location_.quoted() + " cannot be read: ",
                                                      [&] { return store_->sessionRows(detail); })};
    std::erase_if(read.rows, [&](const LibrarySession& session) {
        if (isStoredTime(session.sampleDate)) {
            return false;
        }
        read.leftOut.push_back(location_.quoted() + ": session " + std::to_string(session.id) +
                               " has a sample date " + timeDamage(session.sampleDate));
        return true;
    });
    return read;
}

std::vector<std::string> RecordingLibrary::forEachRecording(
    const std::vector<std::int64_t>& sessionIds, RecordingDetail detail,
    const std::function<void(const LibraryRecording&)>& visit) const {
    std::vector<std::string> leftOut;
    const auto checked = [&](const LibraryRecording& row) {
        const bool timeKept = isStoredTime(row.recordingTime);
        if (!timeKept || !isStoredOffset(row.utcOffsetSeconds)) {
            leftOut.push_back(location_.quoted() + ": recording " + std::to_string(row.id) +
                              " has a " +
                              (timeKept ? "UTC offset " + offsetDamage(row.utcOffsetSeconds)
                                        : "time " + timeDamage(row.recordingTime)));
            return;
        }
        visit(row);
    };
    worded(location_.quoted() + " cannot be read: ",
           [&] { store_->forEachRecordingRow(sessionIds, detail, checked); });
    return leftOut;
}

RowsRead<std::vector<LibraryRecording>> RecordingLibrary::recordings(
    const std::vector<std::int64_t>& sessionIds) const {
    RowsRead<std::vector<LibraryRecording>> read;
    read.leftOut =
        forEachRecording(sessionIds, RecordingDetail::Full,
                         [&read](const LibraryRecording& row) { read.rows.push_back(row); });
    return read;
}

std::optional<ImportSummary> RecordingLibrary::importRecordings(
    const ImportTarget& target, const std::vector<ImportedRecording>& recordings,
    std::stop_token stop, const std::function<void(std::size_t done)>& progress,
    const std::function<void()>& waiting) {
    refuseTimesThatAreNoNumber(recordings);
    refuseUnstorable(recordings);
    if (const auto* session = std::get_if<NewSession>(&target)) {
        refuseUnstorableSession(session->name, session->notes, kNotImported);
    }
    if (const auto* session = std::get_if<NewSession>(&target); session && !session->sampleDate) {
        NewSession dated = *session;
        dated.sampleDate = firstEveningStart(recordings);
        if (!dated.sampleDate) {
            throw LibraryError("A new session needs recordings or a sample date.");
        }
        return library::importRecordings(*store_, dated, recordings, stop, progress, waiting);
    }
    return library::importRecordings(*store_, target, recordings, stop, progress, waiting);
}

void RecordingLibrary::updateSession(const LibrarySession& session) {
    refuseUnstorableSession(session.name, session.notes, "The session was not changed: ");
    store_->updateSession(session, nullptr);
}

void RecordingLibrary::updateSession(const LibrarySession& before, const LibrarySession& after) {
    refuseUnstorableSession(after.name, after.notes, "The session was not changed: ");
    store_->updateSession(after, &before);
}

RemovedRows RecordingLibrary::removeSessions(const std::vector<std::int64_t>& sessionIds) {
    return worded("Nothing was removed: ", [&] { return store_->removeSessions(sessionIds); });
}

RemovedRows RecordingLibrary::removeRecordings(const std::vector<std::int64_t>& recordingIds) {
    return worded("Nothing was removed: ", [&] { return store_->removeRecordings(recordingIds); });
}

void RecordingLibrary::restoreRows(const RemovedRows& rows) {
    worded("Nothing was put back: ", [&] { store_->restoreRows(rows); });
}

std::vector<std::string> RecordingLibrary::sessionTimeZones(std::int64_t sessionId) const {
    return worded(location_.quoted() + " cannot be read: ",
                  [&] { return store_->sessionTimeZones(sessionId); });
}

SessionTimes RecordingLibrary::rereadSessionInZone(std::int64_t sessionId,
                                                   const icu::TimeZone& zone) {
    const auto reread = [&](const SessionTimes& before) {
        SessionTimes after = before;
        for (auto& [id, time] : after.recordings) {
            // A damaged time must not reach the zone's rules, nor be written back as a number.
            if (!isStoredTime(time.recordingTime) || !isStoredOffset(time.utcOffsetSeconds)) {
                throw LibraryError("The times were not changed: " + location_.quoted() +
                                   ": recording " + std::to_string(id) + " has a " +
                                   (isStoredTime(time.recordingTime)
                                        ? "UTC offset " + offsetDamage(time.utcOffsetSeconds)
                                        : "time " + timeDamage(time.recordingTime)) +
                                   ".");
            }
            time = readInZone(time, zone);
        }
        // The evening keeps its date; its midnight moves as the first recording's offset does.
        if (!before.recordings.empty()) {
            after.sampleDate += before.recordings.front().second.utcOffsetSeconds -
                                after.recordings.front().second.utcOffsetSeconds;
        }
        return after;
    };
    return worded("The times were not changed: ",
                  [&] { return store_->changeSessionTimes(sessionId, reread); });
}

void RecordingLibrary::restoreSessionTimes(const SessionTimes& times) {
    worded("The times were not put back: ", [&] { store_->restoreSessionTimes(times); });
}

std::vector<std::string> RecordingLibrary::labelNames() const {
    return worded(location_.quoted() + " cannot be read: ", [&] { return store_->labelNames(); });
}

std::vector<RecordingLabel> RecordingLibrary::setLabels(
    const std::vector<RecordingLabel>& labels, const std::vector<RecordingLabel>& expected) {
    static const std::string kNotChanged = "The labels were not changed: ";
    if (expected.size() != labels.size()) {
        throw std::invalid_argument("setLabels: one expected label for each label");
    }
    for (const RecordingLabel& label : labels) {
        if (const auto why = whyNotStorable(label.label.value_or(""))) {
            throw LibraryError(kNotChanged + "the label " + *why + ".");
        }
    }
    const auto check = [&](const std::vector<RecordingLabel>& current) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const auto found =
                std::find_if(current.begin(), current.end(), [&](const RecordingLabel& row) {
                    return row.recordingId == labels[i].recordingId;
                });
            if (found == current.end()) {
                throw LibraryError(kNotChanged + "recording " +
                                   std::to_string(labels[i].recordingId) +
                                   " is no longer in the library.");
            }
            if (found->label.value_or("") != expected[i].label.value_or("") ||
                found->manualLabel != expected[i].manualLabel) {
                throw LibraryError(kNotChanged + "recording " +
                                   std::to_string(labels[i].recordingId) +
                                   " was labelled anew meanwhile, as \"" +
                                   printable(found->label.value_or("")) + "\". Refresh to see it.");
            }
        }
    };
    std::vector<RecordingLabel> was =
        worded(kNotChanged, [&] { return store_->changeLabels(labels, check); });
    // In the order given, so that the answer puts back what this call changed.
    std::vector<RecordingLabel> ordered;
    for (const RecordingLabel& label : labels) {
        ordered.push_back(*std::find_if(was.begin(), was.end(), [&](const RecordingLabel& row) {
            return row.recordingId == label.recordingId;
        }));
    }
    return ordered;
}

}  // namespace vane::library
