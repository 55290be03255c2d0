#include "cli/recording_source.h"

#include <CLI/CLI.hpp>

#include "core/recordings/recording_list.h"
#include "host/library/library_selection.h"
#include "host/library/recording_library.h"

namespace vane::cli {

void addLibraryOptions(CLI::App& command, CLI::Option* recordingList,
                       std::optional<std::filesystem::path>& library,
                       std::vector<std::string>& sessions, bool oneRequired) {
    CLI::Option* libraryOption = command.add_option(
        "--library", library,
        "A Vane library to take the recordings from, instead of " + recordingList->get_name());
    command
        .add_option("--session", sessions,
                    "A session of the library (repeatable; default: every session)")
        ->needs(libraryOption);
    libraryOption->excludes(recordingList);
    if (oneRequired) {
        command.parse_complete_callback([recordingList, libraryOption] {
            if (recordingList->count() == 0 && libraryOption->count() == 0) {
                throw CLI::RequiredError("a recording list " + recordingList->get_name() +
                                         " or --library FILE");
            }
        });
    }
}

LoadedRecordings loadRecordings(const RecordingSource& source, const icu::TimeZone& zone) {
    LoadedRecordings loaded;
    if (source.library) {
        try {
            library::LibrarySelection selection =
                library::readLibrarySelection(*source.library, source.sessions);
            loaded.recordings = std::move(selection.recordings);
            loaded.sessions = std::move(selection.sessions);
        } catch (const library::LibraryError& error) {
            loaded.problem = std::string("Problem with library: ") + error.what();
        }
        return loaded;
    }
    RecordingListResult list = readRecordingList(source.recordingList, zone);
    if (list.error) {
        loaded.problem = "Problem with recording list: " + list.error->describe();
    }
    loaded.recordings = std::move(list.recordings);
    return loaded;
}

}  // namespace vane::cli
