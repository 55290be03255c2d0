#include "core/recordings/duplicate_recordings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <tuple>

namespace vane {
namespace {

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Times to the millisecond: read by the same code from the same file they are equal, while
// distinct recordings of one file are never a millisecond apart.
std::int64_t millisecondsOf(double seconds) {
    return std::llround(seconds * 1000.0);
}

// A probability to the millionth, -1 when there is none; stored and read back it keeps that.
std::int64_t millionthsOf(const std::optional<double>& probability) {
    return probability ? std::llround(*probability * 1e6) : -1;
}

// What makes two recordings the same: a text (path or file name) and a time, and for paths also
// what the file says of the recording. Texts are views into the caller's recordings.
struct Identity {
    std::string_view text;
    std::int64_t milliseconds = 0;
    std::string_view label{};
    std::int64_t probability = -1;
    bool manual = false;

    auto tied() const { return std::tie(text, milliseconds, label, probability, manual); }
};

Identity pathIdentity(std::string_view path, double time, int offset, std::string_view label,
                      const std::optional<double>& probability, bool manual) {
    return {path, millisecondsOf(time + offset), label, millionthsOf(probability), manual};
}

// One sortable key; the hash first, so that sorting and searching compare texts only where
// hashes agree.
struct Key {
    std::uint64_t hash = 0;
    Identity identity;
    std::size_t index = 0;  // of the recording it was made from

    Key(const Identity& of, std::size_t from)
        : hash(std::hash<std::string_view>{}(of.text) ^
               (static_cast<std::uint64_t>(of.milliseconds) * 0x9E3779B97F4A7C15ULL) ^
               std::hash<std::string_view>{}(of.label)),
          identity(of),
          index(from) {}

    bool sameAs(const Key& other) const {
        return hash == other.hash && identity.tied() == other.identity.tied();
    }
};

bool identityBefore(const Key& a, const Key& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.identity.tied() < b.identity.tied();
}

class SortedKeys {
  public:
    void add(const Identity& identity, std::size_t index) { keys_.emplace_back(identity, index); }
    void sort() {
        std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
            return identityBefore(a, b) || (!identityBefore(b, a) && a.index < b.index);
        });
    }
    bool contains(const Identity& identity) const {
        return std::binary_search(keys_.begin(), keys_.end(), Key(identity, 0), identityBefore);
    }
    // Whether a key equal to the one at `index` came before it.
    std::vector<bool> laterRepeats(std::size_t size) const {
        std::vector<bool> repeats(size, false);
        for (std::size_t k = 1; k < keys_.size(); ++k) {
            repeats[keys_[k].index] = keys_[k].sameAs(keys_[k - 1]);
        }
        return repeats;
    }

  private:
    std::vector<Key> keys_;
};

}  // namespace

std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming) {
    SortedKeys storedPaths;
    SortedKeys sessionNameTimes;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const StoredRecordingKey& key = stored[i];
        if (!key.filePath.empty()) {
            storedPaths.add(pathIdentity(key.filePath, key.recordingTime, key.utcOffsetSeconds,
                                         key.label, key.probability, key.manualLabel),
                            i);
        }
        if (key.inTargetSession) {
            sessionNameTimes.add({fileNameOf(key.filePath), millisecondsOf(key.recordingTime)}, i);
        }
    }
    SortedKeys incomingNameTimes;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const std::string_view path = incoming[i].filePath;
        if (!path.empty()) {
            incomingNameTimes.add({fileNameOf(path), millisecondsOf(incoming[i].recordingTime)}, i);
        }
    }
    for (SortedKeys* keys : {&storedPaths, &sessionNameTimes, &incomingNameTimes}) {
        keys->sort();
    }
    const std::vector<bool> repeated = incomingNameTimes.laterRepeats(incoming.size());

    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const ImportedRecording& recording = incoming[i];
        const std::string_view path = recording.filePath;
        const bool duplicate =
            repeated[i] ||
            sessionNameTimes.contains(
                {fileNameOf(path), millisecondsOf(recording.recordingTime)}) ||
            (!path.empty() && storedPaths.contains(pathIdentity(
                                  path, recording.recordingTime, recording.utcOffsetSeconds,
                                  recording.label, recording.probability, recording.manualLabel)));
        if (duplicate) {
            duplicates.push_back(i);
        }
    }
    return duplicates;
}

}  // namespace vane
