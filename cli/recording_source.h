#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/recording.h"
#include "core/recordings/session.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace vane::cli {

// Where a command takes its recordings from: a recording list, or sessions of a library.
struct RecordingSource {
    std::filesystem::path recordingList;
    std::optional<std::filesystem::path> library{};
    std::vector<std::string> sessions{};  // of the library; none means every session
};

// Adds --library FILE and --session NAME (repeatable) to `command`, beside the option (or
// positional argument) `recordingList` that names a recording list. Giving both, or neither
// when `oneRequired`, is a usage error.
void addLibraryOptions(CLI::App& command, CLI::Option* recordingList,
                       std::optional<std::filesystem::path>& library,
                       std::vector<std::string>& sessions, bool oneRequired = true);

struct LoadedRecordings {
    std::vector<Recording> recordings;
    std::vector<Session> sessions;  // only from a library
};

Outcome<LoadedRecordings> loadRecordings(const RecordingSource& source, const icu::TimeZone& zone);

// Writes "Recordings left out: ..." to `err` when some recordings lie before the first activity
// bin, so that a count that looks too small is explained.
void sayRecordingsBeforeTheBins(const std::vector<Recording>& recordings, const icu::TimeZone& zone,
                                std::ostream& err);

inline constexpr const char* kLibrarySourceHelp =
    "--library FILE takes the recordings of a Vane library (as vane-desk writes it) instead of\n"
    "a recording list: of the sessions named with --session NAME (repeat it for several), or of\n"
    "every session.";

}  // namespace vane::cli
