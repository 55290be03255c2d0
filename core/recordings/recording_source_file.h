#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/recording_folder_scan.h"

namespace vane {

// What one file or folder given as recordings holds.
struct RecordingSourceRead {
    std::vector<ImportedRecording> recordings;  // in file order
    bool hasProbability = false;                // the source has a probability column
    std::vector<SkippedFile> skipped;           // files of a folder that were left out, and why
    AgreedPosition site;                        // of the GUANO positions found
};

// Reads `path` whatever it is: a folder is scanned for recordings (WAV and the recorders' own
// formats); a recording file is read for its metadata or name; a text file is read as an
// identification program's table when its header says so or `named` names its columns, else as
// a recording list (one time stamp per line) or a list with a time stamp column or a date and a
// time column. A table none of these read is refused with the columns it has.
Outcome<RecordingSourceRead> readRecordingSource(const std::filesystem::path& path,
                                                 const icu::TimeZone& zone,
                                                 const NamedColumns& named = {});

// The text of a list or table as readRecordingSource() reads a text file; `fileName` for messages.
Outcome<RecordingSourceRead> readRecordingText(std::string_view text, const std::string& fileName,
                                               const icu::TimeZone& zone,
                                               const NamedColumns& named = {});

}  // namespace vane
