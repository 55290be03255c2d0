#include "library/library_selection.h"

#include <algorithm>

#include "core/files/growing_rows.h"
#include "core/files/shown_content.h"
#include "library/recording_library.h"

namespace vane::library {

namespace {

// The first damaged row stops the read: a count from a library with rows left out would look
// complete.
void refuseDamage(const std::vector<std::string>& leftOut) {
    if (!leftOut.empty()) {
        throw LibraryError(leftOut.front());
    }
}

LibrarySelection readSelection(const LibraryLocation& location,
                               const std::vector<std::string>& sessionNames) {
    const RecordingLibrary library = RecordingLibrary::open(location);
    const RowsRead<std::vector<LibrarySession>> read =
        library.sessions(SessionDetail::WithoutCounts);
    refuseDamage(read.leftOut);
    const std::vector<LibrarySession>& all = read.rows;
    for (const std::string& name : sessionNames) {
        const bool known =
            std::any_of(all.begin(), all.end(), [&name](const auto& s) { return s.name == name; });
        if (!known) {
            std::string names;
            for (const LibrarySession& session : all) {
                names += (names.empty() ? "" : ", ") + ("\"" + shownContent(session.name) + "\"");
            }
            throw LibraryError(location.quoted() + " has no session named \"" + shownContent(name) +
                               "\" (it has " + (names.empty() ? "none" : names) + ").");
        }
    }
    LibrarySelection selection;
    selection.undoneUnfinishedChange = library.undoneUnfinishedChange();
    std::vector<std::int64_t> ids;
    for (const LibrarySession& session : all) {
        if (sessionNames.empty() || std::find(sessionNames.begin(), sessionNames.end(),
                                              session.name) != sessionNames.end()) {
            ids.push_back(session.id);
            selection.sessions.push_back(
                {session.sampleDate, session.recordingCount, session.latitude, session.longitude});
        }
    }
    // Counted as they come, so that the counts are those of the rows read, from one snapshot;
    // each session's count found by its id in a sorted copy of the ids, once a recording.
    std::vector<std::pair<std::int64_t, std::int64_t>> counts;
    for (const std::int64_t id : ids) {
        counts.emplace_back(id, 0);
    }
    std::sort(counts.begin(), counts.end());
    // Straight into the compact form: a session may hold millions of rows with their paths.
    GrowingRows<Recording> recordings;
    refuseDamage(library.forEachRecording(
        ids, RecordingDetail::ForAnalysis, [&](const LibraryRecording& recording) {
            const auto count = std::lower_bound(
                counts.begin(), counts.end(), std::pair(recording.sessionId, std::int64_t{0}),
                [](const auto& a, const auto& b) { return a.first < b.first; });
            if (count != counts.end() && count->first == recording.sessionId) {
                ++count->second;
            }
            Recording kept{recording.recordingTime};
            const std::optional<std::uint16_t> label = selection.labels.indexOf(recording.label);
            if (!label) {
                throw LibraryError(location.quoted() + " holds more than 65535 different labels.");
            }
            kept.label = *label;
            if (recording.probability) {
                kept.probability = static_cast<float>(*recording.probability);
            }
            kept.manualLabel = recording.manualLabel;
            recordings.push_back(kept);
        }));
    selection.recordings = recordings.take();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        selection.sessions[i].recordingCount =
            std::lower_bound(counts.begin(), counts.end(), std::pair(ids[i], std::int64_t{0}),
                             [](const auto& a, const auto& b) { return a.first < b.first; })
                ->second;
    }
    return selection;
}

}  // namespace

LibrarySelection readLibrarySelection(const LibraryLocation& location,
                                      const std::vector<std::string>& sessionNames) {
    return readSelection(location, sessionNames);
}

}  // namespace vane::library
