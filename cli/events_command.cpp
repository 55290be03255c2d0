#include "cli/events_command.h"

#include <algorithm>

#include "core/analysis/bat_events.h"
#include "core/analysis/event_time_text.h"
#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"

namespace vane::cli {

int runEvents(const EventsOptions& options, const icu::TimeZone& zone, const icu::Locale& locale,
              std::ostream& out, std::ostream& err) {
    const RecordingListResult list = readRecordingList(options.recordingList, zone);
    if (list.error) {
        err << "Problem with recording list: " << list.error->describe() << '\n';
        return 2;
    }

    const double origin = batEventGridOrigin(zone);
    const auto early =
        std::count_if(list.recordings.begin(), list.recordings.end(),
                      [origin](const Recording& r) { return r.recordingTime < origin; });
    if (early > 0) {
        err << "Recordings left out: " << early << " of " << list.recordings.size()
            << " lie before the first activity bin, which begins " << formatLocalIso(origin, zone)
            << '\n';
    }

    if (!options.counts) {
        out << eventTimeText(list.recordings, zone, locale);
        return 0;
    }
    const std::vector<Recording> sorted = sortedByRecordingTime(list.recordings);
    out << "bin_end\tcount\n";
    for (const BatEvent& event : batEvents(sorted, origin)) {
        out << formatLocalIso(event.binEnd, zone) << '\t' << event.count << '\n';
    }
    return 0;
}

}  // namespace vane::cli
