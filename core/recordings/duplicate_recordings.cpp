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

// A file name (or path) and a time stamp: what makes two recordings of one session the same.
// Texts are views into the caller's recordings.
struct NameTime {
    std::string_view text;
    std::int64_t milliseconds = 0;

    auto tied() const { return std::tie(text, milliseconds); }
    std::uint64_t hash() const {
        return std::hash<std::string_view>{}(text) ^
               (static_cast<std::uint64_t>(milliseconds) * 0x9E3779B97F4A7C15ULL);
    }
};

// A path, the time as the recorder wrote it and what the file says of the recording: what makes
// two recordings the same wherever they are stored.
struct PathContent {
    std::string_view path;
    std::int64_t wallMilliseconds = 0;
    std::string_view label;
    std::int64_t probability = -1;
    bool manual = false;

    PathContent(std::string_view filePath, double time, int offset, std::string_view labelText,
                const std::optional<double>& probabilityValue, bool manualLabel)
        : path(filePath),
          wallMilliseconds(millisecondsOf(time + offset)),
          label(labelText),
          probability(millionthsOf(probabilityValue)),
          manual(manualLabel) {}

    auto tied() const { return std::tie(path, wallMilliseconds, label, probability, manual); }
    std::uint64_t hash() const {
        return NameTime{path, wallMilliseconds}.hash() ^ std::hash<std::string_view>{}(label);
    }
};

// Sortable keys; the hash first, so that sorting and searching compare texts only where hashes
// agree.
template <typename Identity>
class SortedKeys {
  public:
    void add(const Identity& identity, std::size_t index) {
        keys_.push_back({identity.hash(), identity, index});
    }
    void sort() {
        std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
            return before(a, b) || (!before(b, a) && a.index < b.index);
        });
    }
    bool contains(const Identity& identity) const {
        return std::binary_search(keys_.begin(), keys_.end(), Key{identity.hash(), identity, 0},
                                  before);
    }
    // Whether a key equal to the one at `index` came before it.
    std::vector<bool> laterRepeats(std::size_t size) const {
        std::vector<bool> repeats(size, false);
        for (std::size_t k = 1; k < keys_.size(); ++k) {
            repeats[keys_[k].index] = !before(keys_[k - 1], keys_[k]);
        }
        return repeats;
    }

  private:
    struct Key {
        std::uint64_t hash = 0;
        Identity identity;
        std::size_t index = 0;  // of the recording it was made from
    };
    static bool before(const Key& a, const Key& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.identity.tied() < b.identity.tied();
    }

    std::vector<Key> keys_;
};

}  // namespace

std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming) {
    SortedKeys<PathContent> storedPaths;
    SortedKeys<NameTime> sessionNameTimes;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const StoredRecordingKey& key = stored[i];
        if (!key.filePath.empty()) {
            storedPaths.add({key.filePath, key.recordingTime, key.utcOffsetSeconds, key.label,
                             key.probability, key.manualLabel},
                            i);
        }
        if (key.inTargetSession) {
            sessionNameTimes.add({fileNameOf(key.filePath), millisecondsOf(key.recordingTime)}, i);
        }
    }
    SortedKeys<NameTime> incomingNameTimes;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const std::string_view path = incoming[i].filePath;
        if (!path.empty()) {
            incomingNameTimes.add({fileNameOf(path), millisecondsOf(incoming[i].recordingTime)}, i);
        }
    }
    storedPaths.sort();
    sessionNameTimes.sort();
    incomingNameTimes.sort();
    const std::vector<bool> repeated = incomingNameTimes.laterRepeats(incoming.size());

    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const ImportedRecording& recording = incoming[i];
        const std::string_view path = recording.filePath;
        const bool duplicate =
            repeated[i] ||
            sessionNameTimes.contains(
                {fileNameOf(path), millisecondsOf(recording.recordingTime)}) ||
            (!path.empty() &&
             storedPaths.contains({path, recording.recordingTime, recording.utcOffsetSeconds,
                                   recording.label, recording.probability, recording.manualLabel}));
        if (duplicate) {
            duplicates.push_back(i);
        }
    }
    return duplicates;
}

}  // namespace vane
