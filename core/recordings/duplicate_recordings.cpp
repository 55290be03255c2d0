#include "core/recordings/duplicate_recordings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

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

using Entry = DuplicateCheck::Entry;

NameTime nameTimeOf(const ImportedRecording& recording) {
    return {fileNameOf(recording.filePath), millisecondsOf(recording.recordingTime)};
}

PathContent pathContentOf(const ImportedRecording& recording) {
    return {recording.filePath, recording.recordingTime, recording.utcOffsetSeconds,
            recording.label,    recording.probability,   recording.manualLabel};
}

// Sorts the entries by hash, identity and index; `identity` makes an entry's identity anew
// from its recording, which is cheaper in memory than keeping it and rarely needed.
template <typename IdentityOf>
void sortEntries(std::vector<Entry>& entries, IdentityOf identity) {
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.hash != b.hash) {
            return a.hash < b.hash;
        }
        const auto left = identity(a.index);
        const auto right = identity(b.index);
        return left.tied() != right.tied() ? left.tied() < right.tied() : a.index < b.index;
    });
}

// The entries whose identity equals `wanted`.
template <typename Identity, typename IdentityOf>
std::pair<std::vector<Entry>::const_iterator, std::vector<Entry>::const_iterator> equalEntries(
    const std::vector<Entry>& entries, const Identity& wanted, IdentityOf identity) {
    const std::uint64_t hash = wanted.hash();
    const auto first = std::lower_bound(
        entries.begin(), entries.end(), wanted, [&](const Entry& entry, const Identity& value) {
            return entry.hash != hash ? entry.hash < hash
                                      : identity(entry.index).tied() < value.tied();
        });
    auto last = first;
    while (last != entries.end() && last->hash == hash &&
           identity(last->index).tied() == wanted.tied()) {
        ++last;
    }
    return {first, last};
}

}  // namespace

DuplicateCheck::DuplicateCheck(const std::vector<ImportedRecording>& incoming)
    : incoming_(incoming), found_(incoming.size(), false) {
    nameTimes_.reserve(incoming.size());
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        nameTimes_.push_back({nameTimeOf(incoming[i]).hash(), i});
        if (!incoming[i].filePath.empty()) {
            paths_.push_back({pathContentOf(incoming[i]).hash(), i});
        }
    }
    sortEntries(nameTimes_, [this](std::size_t i) { return nameTimeOf(incoming_[i]); });
    sortEntries(paths_, [this](std::size_t i) { return pathContentOf(incoming_[i]); });
    // A repeat of an earlier recording with a path: the same file name and time stamp; equal
    // entries lie together, in the order of the recordings.
    bool pathBefore = false;
    for (std::size_t k = 0; k < nameTimes_.size(); ++k) {
        const std::size_t i = nameTimes_[k].index;
        if (k > 0 && (nameTimes_[k - 1].hash != nameTimes_[k].hash ||
                      nameTimeOf(incoming_[nameTimes_[k - 1].index]).tied() !=
                          nameTimeOf(incoming_[i]).tied())) {
            pathBefore = false;
        }
        if (!incoming_[i].filePath.empty()) {
            found_[i] = found_[i] || pathBefore;
            pathBefore = true;
        }
    }
}

void DuplicateCheck::see(const StoredRecordingKey& stored) {
    if (stored.inTargetSession) {
        const NameTime wanted{fileNameOf(stored.filePath), millisecondsOf(stored.recordingTime)};
        const auto [first, last] = equalEntries(
            nameTimes_, wanted, [this](std::size_t i) { return nameTimeOf(incoming_[i]); });
        for (auto entry = first; entry != last; ++entry) {
            found_[entry->index] = true;
        }
    }
    if (!stored.filePath.empty()) {
        const PathContent wanted{stored.filePath, stored.recordingTime, stored.utcOffsetSeconds,
                                 stored.label,    stored.probability,   stored.manualLabel};
        const auto [first, last] = equalEntries(
            paths_, wanted, [this](std::size_t i) { return pathContentOf(incoming_[i]); });
        for (auto entry = first; entry != last; ++entry) {
            found_[entry->index] = true;
        }
    }
}

std::vector<std::size_t> DuplicateCheck::duplicates() const {
    std::vector<std::size_t> duplicates;
    for (std::size_t i = 0; i < found_.size(); ++i) {
        if (found_[i]) {
            duplicates.push_back(i);
        }
    }
    return duplicates;
}

std::vector<std::size_t> duplicateRecordings(const std::vector<StoredRecordingKey>& stored,
                                             const std::vector<ImportedRecording>& incoming) {
    DuplicateCheck check(incoming);
    for (const StoredRecordingKey& key : stored) {
        check.see(key);
    }
    return check.duplicates();
}

}  // namespace vane
