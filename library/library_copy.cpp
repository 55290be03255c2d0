#include "library/library_copy.h"

#include <string>
#include <vector>

#include "core/files/shown_content.h"
#include "library/new_library_file.h"
#include "library/recording_library.h"
#include "library/stored_text.h"

namespace vane::library {
namespace {

void refuseDamage(const std::vector<std::string>& leftOut) {
    if (!leftOut.empty()) {
        throw LibraryError("Nothing was copied: " + leftOut.front());
    }
}

// Text an older Vane stored raw, which the new library would refuse without saying where.
void refuseUnstorable(std::string_view text, const std::string& what) {
    if (const std::optional<std::string> why = whyNotStorable(text)) {
        throw LibraryError("Nothing was copied: " + what + " " + *why +
                           ". Change or remove it there, or import its source again, then copy.");
    }
}

CopySummary copySessions(const RecordingLibrary& source, RecordingLibrary& target,
                         std::vector<std::int64_t>& made) {
    const RowsRead<std::vector<LibrarySession>> sessions = source.sessions();
    refuseDamage(sessions.leftOut);
    CopySummary summary;
    const std::string from = source.location().quoted();
    for (const LibrarySession& session : sessions.rows) {
        const std::string sessionText = "session " + std::to_string(session.id);
        refuseUnstorable(session.name, "the name of " + sessionText + " of " + from);
        refuseUnstorable(session.notes, "the notes of " + sessionText + " of " + from);
        const std::string ofSession = " of session \"" + shownContent(session.name) + "\" (" +
                                      std::to_string(session.id) + ") of " + from;
        std::vector<ImportedRecording> recordings;
        recordings.reserve(static_cast<std::size_t>(session.recordingCount));
        refuseDamage(source.forEachRecording(
            {session.id}, RecordingDetail::Full, [&](const LibraryRecording& row) {
                const std::string which = "recording " + std::to_string(row.id) + ofSession;
                refuseUnstorable(row.label, "the label of " + which);
                refuseUnstorable(row.filePath, "the file path of " + which);
                refuseUnstorable(row.timeZone, "the time zone of " + which);
                recordings.push_back({row.recordingTime, row.utcOffsetSeconds, row.timeZone,
                                      row.filePath, row.label, row.probability, row.manualLabel});
            }));
        const std::optional<ImportSummary> imported =
            target.importRecordings(NewSession{session.name, session.sampleDate, session.latitude,
                                               session.longitude, session.notes},
                                    recordings);
        made.push_back(imported->sessionId);
        ++summary.sessions;
        summary.recordings += imported->imported;
    }
    return summary;
}

}  // namespace

CopySummary copyLibrary(const LibraryLocation& from, const LibraryLocation& to) {
    const auto alreadyThere = [&to] {
        return LibraryError(to.quoted() +
                            " already exists; a library is copied into a new file only.");
    };
    if (!to.onServer() && !to.isMissingFile()) {
        throw alreadyThere();
    }
    const RecordingLibrary source = RecordingLibrary::open(from);
    std::vector<std::int64_t> made;
    try {
        if (!to.onServer()) {
            NewLibraryFile target(to.file());
            const CopySummary summary = copySessions(source, target.library(), made);
            if (!target.publish()) {
                throw alreadyThere();
            }
            return summary;
        }
        RecordingLibrary target = RecordingLibrary::open(to);
        if (!target.sessions().rows.empty()) {
            throw LibraryError(to.quoted() +
                               " already holds sessions; a library is copied into an empty "
                               "database only.");
        }
        try {
            return copySessions(source, target, made);
        } catch (...) {
            if (!made.empty()) {
                try {
                    target.removeSessions(made);
                } catch (const LibraryError&) {
                    // The first failure is the one to tell.
                }
            }
            throw;
        }
    } catch (const ImportUndone& undone) {
        throw LibraryError("Nothing was copied: " + undone.cause());
    }
}

}  // namespace vane::library
