#include "core/recordings/duplicate_recordings.h"

#include <cmath>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vane {
namespace {

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Text and time to the millisecond as one key: times read by the same code from the same file
// are equal, while distinct recordings are never a millisecond apart in one file.
std::string keyOf(std::string_view text, double recordingTime) {
    std::string key(text);
    key += '\0';
    key += std::to_string(std::llround(recordingTime * 1000.0));
    return key;
}

}  // namespace

std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming) {
    std::unordered_map<std::string_view, std::size_t> storedPerPath;
    std::unordered_map<std::string_view, std::size_t> incomingPerPath;
    std::unordered_set<std::string> storedPathTimes;
    std::unordered_set<std::string> sessionNameTimes;
    for (const StoredRecordingKey& key : stored) {
        if (!key.filePath.empty()) {
            ++storedPerPath[key.filePath];
            storedPathTimes.insert(keyOf(key.filePath, key.recordingTime));
        }
        if (key.inTargetSession) {
            sessionNameTimes.insert(keyOf(fileNameOf(key.filePath), key.recordingTime));
        }
    }
    for (const ImportedRecording& recording : incoming) {
        if (!recording.filePath.empty()) {
            ++incomingPerPath[recording.filePath];
        }
    }

    std::vector<std::size_t> duplicates;
    std::unordered_set<std::string> incomingNameTimes;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const ImportedRecording& recording = incoming[i];
        const std::string_view path = recording.filePath;
        const std::string_view name = fileNameOf(path);
        const std::string nameTime = keyOf(name, recording.recordingTime);
        bool duplicate = sessionNameTimes.contains(nameTime);
        if (!path.empty() && !duplicate) {
            const auto storedCount = storedPerPath.find(path);
            const bool pathIsOneRecording = storedCount != storedPerPath.end() &&
                                            storedCount->second == 1 && incomingPerPath[path] == 1;
            duplicate = pathIsOneRecording ||
                        storedPathTimes.contains(keyOf(path, recording.recordingTime));
        }
        if (!name.empty() && !duplicate) {
            duplicate = !incomingNameTimes.insert(nameTime).second;
        }
        if (duplicate) {
            duplicates.push_back(i);
        }
    }
    return duplicates;
}

}  // namespace vane
