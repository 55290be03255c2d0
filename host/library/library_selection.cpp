#include "host/library/library_selection.h"

#include <algorithm>

#include "host/library/recording_library.h"

namespace vane::library {

LibrarySelection readLibrarySelection(const std::filesystem::path& file,
                                      const std::vector<std::string>& sessionNames) {
    const RecordingLibrary library = RecordingLibrary::open(file);
    const std::vector<LibrarySession> all = library.sessions();
    for (const std::string& name : sessionNames) {
        const bool known =
            std::any_of(all.begin(), all.end(), [&name](const auto& s) { return s.name == name; });
        if (!known) {
            std::string names;
            for (const LibrarySession& session : all) {
                names += (names.empty() ? "" : ", ") + ("\"" + session.name + "\"");
            }
            throw LibraryError("\"" + file.string() + "\" has no session named \"" + name +
                               "\" (it has " + (names.empty() ? "none" : names) + ").");
        }
    }
    LibrarySelection selection;
    std::vector<std::int64_t> ids;
    for (const LibrarySession& session : all) {
        if (sessionNames.empty() || std::find(sessionNames.begin(), sessionNames.end(),
                                              session.name) != sessionNames.end()) {
            ids.push_back(session.id);
            selection.sessions.push_back(
                {session.sampledate, session.recordingCount, session.latitude, session.longitude});
        }
    }
    for (const LibraryRecording& recording : library.recordings(ids)) {
        selection.recordings.push_back({recording.recordingTime});
    }
    return selection;
}

}  // namespace vane::library
