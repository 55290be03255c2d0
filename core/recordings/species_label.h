#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/outcome/outcome.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/recording.h"

namespace vane {

// Whether a label says the recording holds no bat: noise, or no identification. An empty
// label is no such statement; a recording without one counts as a bat, as it always has.
bool isNoBatLabel(std::string_view label);

// The labels a set of recordings points into; index 0 is the empty label.
class LabelTable {
  public:
    LabelTable() : names_{std::string()} {}

    // The index of `label`, added when new; nothing when the table is full.
    std::optional<std::uint16_t> indexOf(std::string_view label);
    const std::vector<std::string>& names() const { return names_; }
    const std::string& name(std::uint16_t index) const { return names_.at(index); }

  private:
    // Looked up by view, so that finding a label copies nothing: it is asked once a recording.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint16_t, TextHash, std::equal_to<>> indices_;
};

struct LabelledRecordings {
    std::vector<Recording> recordings;
    LabelTable labels;
};

// The imported recordings as the analyses hold them; fails only beyond 65535 distinct labels.
Outcome<LabelledRecordings> toLabelledRecordings(const std::vector<ImportedRecording>& imported);

}  // namespace vane
