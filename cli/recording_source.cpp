#include "cli/recording_source.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "core/analysis/bat_events.h"
#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"
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

Outcome<LoadedRecordings> loadRecordings(const RecordingSource& source, const icu::TimeZone& zone) {
    if (source.library) {
        try {
            library::LibrarySelection selection =
                library::readLibrarySelection(*source.library, source.sessions);
            return LoadedRecordings{std::move(selection.recordings), std::move(selection.sessions)};
        } catch (const library::LibraryError& error) {
            return Problem{.title = "Problem with library", .message = error.what()};
        }
    }
    RecordingListResult list = readRecordingList(source.recordingList, zone);
    if (!list) {
        return std::move(list).error();
    }
    return LoadedRecordings{std::move(list).value(), {}};
}

void sayRecordingsBeforeTheBins(const std::vector<Recording>& recordings, const icu::TimeZone& zone,
                                std::ostream& err) {
    const double origin = batEventGridOrigin(zone);
    const auto early =
        std::count_if(recordings.begin(), recordings.end(),
                      [origin](const Recording& r) { return r.recordingTime < origin; });
    if (early > 0) {
        err << "Recordings left out: " << early << " of " << recordings.size()
            << " lie before the first activity bin, which begins " << formatLocalIso(origin, zone)
            << '\n';
    }
}

}  // namespace vane::cli
