#pragma once

#include <filesystem>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/recording_source_file.h"

namespace vane {

// The library keeps a recording's file by its absolute, canonical path, so that the same names on
// two memory cards, or folders given as "." from two places, stay apart, and the same file given
// by two routes is known as one.

// `path` absolute, without links, "." or ".."; as given when it cannot be resolved (a pipe).
std::filesystem::path canonicalPath(const std::filesystem::path& path);

// The folder a table's relative file paths are taken in: the table's own, or the working folder
// for a table that is no file on disk (a pipe).
std::filesystem::path tableFolder(const std::filesystem::path& table);

// Makes each relative file path absolute in `folder` (itself absolute), in normal form. Absolute
// paths, also those a Windows machine wrote ("C:\...", "\\server\..."), are kept as written: they
// may name files on another machine.
void anchorFilePaths(std::vector<ImportedRecording>& recordings,
                     const std::filesystem::path& folder);

// readRecordingSource() for an import: a folder or recording file is read by its canonical path,
// and the relative paths a table gives are anchored in its folder.
Outcome<RecordingSourceRead> readRecordingSourceToStore(const std::filesystem::path& path,
                                                        const icu::TimeZone& zone,
                                                        const NamedColumns& named = {});

}  // namespace vane
