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
        Recording kept{recording.recordingTime};
        const std::optional<std::uint16_t> label = selection.labels.indexOf(recording.label);
        if (!label) {
            throw LibraryError("\"" + file.string() + "\" holds more than 65535 different labels.");
        }
        kept.label = *label;
        if (recording.probability) {
            kept.probability = static_cast<float>(*recording.probability);
        }
        kept.manualLabel = recording.manualLabel;
        selection.recordings.push_back(kept);
    }
    return selection;
}

}  // namespace vane::library
