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
std::int64_t millisecondsOf(double recordingTime) {
    return std::llround(recordingTime * 1000.0);
}

// A text, optionally with a time, as one sortable key; the hash first, so that sorting and
// searching compare texts only where hashes agree. Texts are views into the caller's recordings.
struct Key {
    std::uint64_t hash = 0;
    std::string_view text;
    std::int64_t milliseconds = 0;
    std::size_t index = 0;  // of the recording it was made from

    Key(std::string_view keyText, std::int64_t ms, std::size_t from)
        : hash(std::hash<std::string_view>{}(keyText) ^
               (static_cast<std::uint64_t>(ms) * 0x9E3779B97F4A7C15ULL)),
          text(keyText),
          milliseconds(ms),
          index(from) {}

    auto order() const { return std::tie(hash, text, milliseconds, index); }
    auto identity() const { return std::tie(hash, text, milliseconds); }
};

class SortedKeys {
  public:
    void add(std::string_view text, std::int64_t milliseconds, std::size_t index) {
        keys_.emplace_back(text, milliseconds, index);
    }
    void sort() {
        std::sort(keys_.begin(), keys_.end(),
                  [](const Key& a, const Key& b) { return a.order() < b.order(); });
    }
    std::size_t count(std::string_view text, std::int64_t milliseconds) const {
        const Key wanted(text, milliseconds, 0);
        const auto [first, last] = std::equal_range(
            keys_.begin(), keys_.end(), wanted,
            [](const Key& a, const Key& b) { return a.identity() < b.identity(); });
        return static_cast<std::size_t>(last - first);
    }
    bool contains(std::string_view text, std::int64_t milliseconds) const {
        return count(text, milliseconds) > 0;
    }
    // Whether a key equal to the one at `index` came before it.
    std::vector<bool> laterRepeats(std::size_t size) const {
        std::vector<bool> repeats(size, false);
        for (std::size_t k = 1; k < keys_.size(); ++k) {
            repeats[keys_[k].index] = keys_[k].identity() == keys_[k - 1].identity();
        }
        return repeats;
    }

  private:
    std::vector<Key> keys_;
};

// Paths alone are kept with a time of 0, so one kind of key serves both.
constexpr std::int64_t kAnyTime = 0;

}  // namespace

std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming) {
    SortedKeys storedPaths;
    SortedKeys storedPathTimes;
    SortedKeys sessionNameTimes;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const StoredRecordingKey& key = stored[i];
        const std::int64_t ms = millisecondsOf(key.recordingTime);
        if (!key.filePath.empty()) {
            storedPaths.add(key.filePath, kAnyTime, i);
            storedPathTimes.add(key.filePath, ms, i);
        }
        if (key.inTargetSession) {
            sessionNameTimes.add(fileNameOf(key.filePath), ms, i);
        }
    }
    SortedKeys incomingPaths;
    SortedKeys incomingNameTimes;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const std::string_view path = incoming[i].filePath;
        if (!path.empty()) {
            incomingPaths.add(path, kAnyTime, i);
            incomingNameTimes.add(fileNameOf(path), millisecondsOf(incoming[i].recordingTime), i);
        }
    }
    for (SortedKeys* keys :
         {&storedPaths, &storedPathTimes, &sessionNameTimes, &incomingPaths, &incomingNameTimes}) {
        keys->sort();
    }
    const std::vector<bool> repeated = incomingNameTimes.laterRepeats(incoming.size());

    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const std::string_view path = incoming[i].filePath;
        const std::int64_t ms = millisecondsOf(incoming[i].recordingTime);
        bool duplicate = repeated[i] || sessionNameTimes.contains(fileNameOf(path), ms);
        if (!duplicate && !path.empty()) {
            const bool pathIsOneRecording =
                storedPaths.count(path, kAnyTime) == 1 && incomingPaths.count(path, kAnyTime) == 1;
            duplicate = pathIsOneRecording || storedPathTimes.contains(path, ms);
        }
        if (duplicate) {
            duplicates.push_back(i);
        }
    }
    return duplicates;
}

}  // namespace vane
