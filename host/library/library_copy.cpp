#include "host/library/library_copy.h"

#include <string>
#include <vector>

#include "host/library/recording_library.h"

namespace vane::library {
namespace {

void refuseDamage(const std::vector<std::string>& refused) {
    if (!refused.empty()) {
        throw LibraryError("Nothing was copied: " + refused.front());
    }
}

CopySummary copySessions(const RecordingLibrary& source, RecordingLibrary& target,
                         std::vector<std::int64_t>& made) {
    std::vector<std::string> refused;
    const std::vector<LibrarySession> sessions = source.sessions(&refused);
    refuseDamage(refused);
    CopySummary summary;
    for (const LibrarySession& session : sessions) {
        std::vector<ImportedRecording> recordings;
        recordings.reserve(static_cast<std::size_t>(session.recordingCount));
        source.forEachRecording(
            {session.id}, RecordingDetail::Full,
            [&recordings](const LibraryRecording& row) {
                recordings.push_back({row.recordingTime, row.utcOffsetSeconds, row.timeZone,
                                      row.filePath, row.label, row.probability, row.manualLabel});
            },
            &refused);
        refuseDamage(refused);
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

CopySummary copyLibrary(const std::filesystem::path& from, const std::filesystem::path& to) {
    const bool toServer = isServerLocation(to.string());
    std::error_code ec;
    if (!toServer && std::filesystem::exists(to, ec)) {
        throw LibraryError("\"" + to.string() +
                           "\" already exists; a library is copied into a new file only.");
    }
    const RecordingLibrary source = RecordingLibrary::open(from);
    std::filesystem::path written = to;
    written += ".part";
    if (!toServer) {
        std::filesystem::remove(written, ec);
    }
    std::vector<std::int64_t> made;
    std::optional<RecordingLibrary> target;
    try {
        target.emplace(toServer ? RecordingLibrary::open(to) : RecordingLibrary::create(written));
        if (toServer && !target->sessions().empty()) {
            throw LibraryError("\"" + to.string() +
                               "\" already holds sessions; a library is copied into an empty "
                               "database only.");
        }
        const CopySummary summary = copySessions(source, *target, made);
        target.reset();
        if (!toServer) {
            std::filesystem::rename(written, to);
        }
        return summary;
    } catch (...) {
        if (toServer && target && !made.empty()) {
            try {
                target->removeSessions(made);
            } catch (const LibraryError&) {
                // The first failure is the one to tell.
            }
        }
        target.reset();
        if (!toServer) {
            std::filesystem::remove(written, ec);
        }
        throw;
    }
}

}  // namespace vane::library
