#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/guano.h"
#include "core/recordings/imported_recording.h"

namespace vane {

struct SkippedFile {
    std::string file;
    std::string reason;
};

struct FolderScan {
    std::vector<ImportedRecording> recordings;  // in the order of their file paths
    std::vector<SkippedFile> skipped;
    std::optional<GeoPosition> position;  // the first GUANO "Loc Position" found
    bool cancelled = false;               // the scan stopped early; what it holds is partial
};

// Called after each file with the number of files done and the number found.
using ScanProgress = std::function<void(std::size_t done, std::size_t total)>;

// Whether the name is that of a recording: WAV, or a recorder's own .wac, .w4v or .zc.
bool isRecordingFileName(const std::filesystem::path& file);

// Reads every recording file (WAV, .wac, .w4v, .zc) under `folder`, searched recursively. The time
// stamp comes from the file's GUANO metadata, or else from its name read as local time in `zone`; a
// file with neither is skipped with its reason, and so is a file that cannot be read.
FolderScan scanRecordingFolder(const std::filesystem::path& folder, const icu::TimeZone& zone,
                               std::stop_token stop = {}, const ScanProgress& progress = {});

// One file, as the folder scan reads it, with the species of GUANO "Species Manual ID" or else
// "Species Auto ID"; the reason it cannot be imported otherwise.
struct RecordingFileRead {
    std::optional<ImportedRecording> recording;
    std::optional<GeoPosition> position;
    std::string reason;
};
RecordingFileRead readRecordingFile(const std::filesystem::path& file, const icu::TimeZone& zone);

}  // namespace vane
