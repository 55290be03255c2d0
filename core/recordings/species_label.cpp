#include "core/recordings/species_label.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace vane {

bool isNoBatLabel(std::string_view label) {
    std::string key;
    for (const char c : label) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    constexpr std::array<std::string_view, 7> kNoBat = {"noise", "noid",   "nobat", "none",
                                                        "nospp", "nospec", "bruit"};
    return !label.empty() && std::find(kNoBat.begin(), kNoBat.end(), key) != kNoBat.end();
}

std::optional<std::uint16_t> LabelTable::indexOf(std::string_view label) {
    if (label.empty()) {
        return 0;
    }
    if (const auto found = indices_.find(label); found != indices_.end()) {
        return found->second;
    }
    if (names_.size() > std::numeric_limits<std::uint16_t>::max()) {
        return std::nullopt;
    }
    const auto index = static_cast<std::uint16_t>(names_.size());
    names_.emplace_back(label);
    indices_.emplace(std::string(label), index);
    return index;
}

Outcome<LabelledRecordings> toLabelledRecordings(const std::vector<ImportedRecording>& imported) {
    LabelledRecordings labelled;
    labelled.recordings.reserve(imported.size());
    for (const ImportedRecording& from : imported) {
        const std::optional<std::uint16_t> label = labelled.labels.indexOf(from.label);
        if (!label) {
            return Problem{"Too many labels",
                           "the recordings carry more than 65535 different labels",
                           {},
                           0,
                           {}};
        }
        Recording recording;
        recording.recordingTime = from.recordingTime;
        if (from.probability) {
            recording.probability = static_cast<float>(*from.probability);
        }
        recording.label = *label;
        recording.manualLabel = from.manualLabel;
        labelled.recordings.push_back(recording);
    }
    return labelled;
}

}  // namespace vane
