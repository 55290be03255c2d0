#include "core/analysis/bat_events.h"

#include <algorithm>
#include <cmath>

#include "core/files/huge_pages.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

// The first grid point `reference + k * bin` (k >= 1) at or after `time`, as stepping one bin at
// a time from `reference` would reach it. The estimate is corrected in both directions so that
// rounding in the division can never move a recording into a neighbouring bin.
double binEndAtOrAfter(double time, double reference) {
    double steps = std::max(1.0, std::ceil((time - reference) / kBatEventBinSeconds));
    for (int i = 0; i < 4 && reference + steps * kBatEventBinSeconds < time; ++i) {
        steps += 1.0;
    }
    for (int i = 0; i < 4 && steps > 1.0 && reference + (steps - 1.0) * kBatEventBinSeconds >= time;
         ++i) {
        steps -= 1.0;
    }
    return reference + steps * kBatEventBinSeconds;
}

}  // namespace

double batEventGridOrigin(const icu::TimeZone& zone) {
    return localInstant({{2009, 6, 20}, 0, 0, 0}, zone);
}

BatEventList batEvents(std::span<const Recording> sortedRecordings, double gridOrigin) {
    BatEventList events;
    // No bin holds fewer than one recording, and the span holds only so many bins: room for them
    // at once keeps the copies of a growing list out of the peak memory (room not written to
    // costs none).
    const auto finite = [](const Recording& r) { return std::isfinite(r.recordingTime); };
    const auto first = std::find_if(sortedRecordings.begin(), sortedRecordings.end(), finite);
    const auto last = std::find_if(sortedRecordings.rbegin(), sortedRecordings.rend(), finite);
    if (first != sortedRecordings.end()) {
        const double bins = (last->recordingTime - first->recordingTime) / kBatEventBinSeconds + 2;
        events.reserve(static_cast<std::size_t>(
            std::min(static_cast<double>(sortedRecordings.size()), std::max(bins, 0.0))));
        adviseHugePages(events.data(), events.capacity() * sizeof(BatEvent));
    }
    // The end of the first bin after the one opened last: a recording before the bin that ends
    // here still belongs to the bin opened last.
    double reference = gridOrigin + kBatEventBinSeconds;
    for (const Recording& recording : sortedRecordings) {
        const double time = recording.recordingTime;
        if (!std::isfinite(time)) {
            continue;
        }
        const double offset = time - reference;
        if (offset < -kBatEventBinSeconds) {
            if (!events.empty()) {
                ++events.back().count;
            }
            continue;
        }
        const double binEnd = offset < 0.0 ? reference : binEndAtOrAfter(time, reference);
        events.push_back({binEnd, 1});
        reference = binEnd + kBatEventBinSeconds;
    }
    return events;
}

std::string_view readingAxisTitle(bool plotTemp) {
    return plotTemp ? "Temperature (°C)" : "Wind speed (m/s)";
}

}  // namespace vane
