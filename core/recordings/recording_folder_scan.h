#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/guano.h"
#include "core/recordings/imported_recording.h"

namespace vane {

struct SkippedFile {
    std::string file;
    std::string reason;
};

// The one site that recordings agree on. Positions within 0.001 degrees (about 100 m, nothing to
// the sun's times) are the same site; any two farther apart leave none, as does having none.
class AgreedPosition {
  public:
    void add(const std::optional<GeoPosition>& position);
    void add(const AgreedPosition& other);  // the sites of two sets of recordings
    std::optional<GeoPosition> position() const;

  private:
    std::optional<GeoPosition> first_;
    bool disagree_ = false;
};

struct FolderScan {
    std::vector<ImportedRecording> recordings;  // in the order of their file paths
    std::vector<SkippedFile> skipped;
    AgreedPosition site;     // of the GUANO "Loc Position" of the recordings
    bool cancelled = false;  // the scan stopped early; what it holds is partial
};

// Called after each file with the number of files done and the number found.
using ScanProgress = std::function<void(std::size_t done, std::size_t total)>;

// Whether the name is that of a recording: WAV, or a recorder's own .wac, .w4v or .zc.
bool isRecordingFileName(const std::filesystem::path& file);

// Reads every recording file (WAV, .wac, .w4v, .zc) under `folder`, searched recursively. The time
// stamp comes from the file's GUANO metadata, or else from its name read as local time in `zone`; a
// file with neither is skipped with its reason, and so is a file that cannot be read, an empty
// one, a damaged WAV file and a folder that cannot be read (all in path order).
FolderScan scanRecordingFolder(const std::filesystem::path& folder, const icu::TimeZone& zone,
                               std::stop_token stop = {}, const ScanProgress& progress = {});

// The GUANO "Loc Position" the recording files under `folder` agree on, read from their
// metadata alone (much faster than a scan); nothing when they give none or disagree, or when
// `stop` was requested.
std::optional<GeoPosition> agreedGuanoPosition(const std::filesystem::path& folder,
                                               std::stop_token stop = {});

// One file, as the folder scan reads it, with the species of GUANO "Species Manual ID" or else
// "Species Auto ID", and where its metadata says it was recorded.
struct RecordingFile {
    ImportedRecording recording;
    std::optional<GeoPosition> position;
};
// A file that cannot be imported is the problem whose message says why.
Outcome<RecordingFile> readRecordingFile(const std::filesystem::path& file,
                                         const icu::TimeZone& zone);

}  // namespace vane
