#include "cli/events_command.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/problem_report.h"
#include "cli/recording_source.h"
#include "core/analysis/bat_events.h"
#include "core/analysis/event_time_text.h"
#include "core/files/shown_content.h"
#include "core/time/local_time.h"

namespace vane::cli {
namespace {

constexpr const char* kRecordingListHelp =
    "A recording list has one time stamp per line, ISO 8601 such as 2012-06-21 21:03:00 or\n"
    "2012-06-21T21:03:00.25+02:00 (T or space, seconds optional, optional fraction, optional Z,\n"
    "+HH:MM or +HHMM). Blank lines and lines starting with # are skipped, a first line that is\n"
    "not a time stamp is a header, and from a CSV line the first field is taken. The list need\n"
    "not be sorted.";

}  // namespace

int runEvents(const EventsOptions& options, const icu::TimeZone& zone, const icu::Locale& locale,
              std::ostream& out, std::ostream& err) {
    const Outcome<LoadedRecordings> loaded = loadRecordings(
        {options.recordingList, options.library, options.sessions, options.named, options.filter},
        zone);
    if (!loaded) {
        return reportProblem(loaded.error(), err);
    }
    sayLoadNote(*loaded, err);
    const LoadedRecordings& list = *loaded;
    sayRecordingsLeftOut(list, err);
    // An empty answer with status 0 would look like a night without bats.
    if (list.recordings.empty()) {
        err << "Nothing to list: "
            << (options.library ? "the library's sessions hold"
                                : printable(options.recordingList.string()) + " holds")
            << " no recordings\n";
        return kExitNoResult;
    }

    sayRecordingsBeforeTheBins(list.recordings, zone, err);

    if (!options.counts) {
        out << eventTimeText(list.recordings, zone, locale);
        return kExitSuccess;
    }
    const std::vector<Recording> sorted = sortedByRecordingTime(list.recordings);
    out << "bin_end\tcount\n";
    for (const BatEvent& event : batEvents(sorted, batEventGridOrigin(zone))) {
        out << formatLocalIso(event.binEnd, zone) << '\t' << event.count << '\n';
    }
    return kExitSuccess;
}

void addEventsCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<EventsOptions>();
    CLI::App* command = app.add_subcommand(
        "events",
        "Print the end times of the occupied 10-minute activity bins of a recording list,\n"
        "one line each in the short date and time style of the locale (LANG), or with\n"
        "--counts a tab-separated table 'bin_end count'. Bins lie on a fixed grid that starts\n"
        "2009-06-20 00:00 local time; earlier recordings are left out.");
    command->footer(std::string(kRecordingListHelp) + "\n\n" + kLibrarySourceHelp + "\n\n" +
                    kRecordingFilterHelp);
    CLI::Option* list = command->add_option("FILE", options->recordingList, "Recording list");
    addLibraryOptions(*command, list, options->library, options->sessions);
    addNamedColumnOptions(*command, options->named);
    addRecordingFilterOptions(*command, options->filter);
    command->add_flag("--counts", options->counts,
                      "Print bin ends as YYYY-MM-DDTHH:MM:SS with their number of recordings");
    command->callback([options, &action] {
        action = [options] {
            return runEvents(*options, *processTimeZone(), icu::Locale::getDefault(), std::cout,
                             std::cerr);
        };
    });
}

}  // namespace vane::cli
