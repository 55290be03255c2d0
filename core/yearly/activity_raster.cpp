#include "core/yearly/activity_raster.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/time/civil_date.h"
#include "core/time/local_time.h"
#include "core/yearly/calendar_instant.h"
#include "core/yearly/raster_layout.h"

namespace vane {
namespace {

namespace layout = yearly_layout;

constexpr double kSecondsPerMinute = 60.0;
constexpr double kMinutesPerRow = 2.5;
// The bin start `start + k * width` for the smallest k >= 0 with `time - start <= width`, as
// adding one width at a time would reach it. Bin starts are whole seconds, so the jump is exact;
// the two corrections only guard the estimate against rounding of the division.
double advanceUntilWithinOneWidth(double start, double time, double width) {
    double steps = std::max(0.0, std::ceil((time - start - width) / width));
    while (time - (start + steps * width) > width) {
        steps += 1.0;
    }
    while (steps > 0.0 && time - (start + (steps - 1.0) * width) <= width) {
        steps -= 1.0;
    }
    return start + steps * width;
}

struct BinDrawer {
    Raster& raster;
    const icu::TimeZone& zone;
    long long rowsPerBin;

    void draw(double binStart, std::size_t count) const {
        const LocalDateTime start = localDateTime(binStart, zone);
        const int day = dayOfYear(start.date);
        int column = 0;
        int step = 0;
        if (layout::isEveningHour(start.hour)) {
            column = layout::eveningColumn(day);
            step = layout::eveningStep(start.hour, start.minute);
        } else if (layout::isMorningHour(start.hour)) {
            column = layout::morningColumn(day);
            step = layout::morningStep(start.hour, start.minute);
        } else {
            return;  // 09:00 to 15:59 lies outside the picture
        }
        paintBlock(raster, column, layout::kColumnsPerNight, layout::firstRowOfStep(step),
                   rowsPerBin, PixelBytes::GreenBlue, binGreyLevel(count));
    }
};

}  // namespace

std::optional<std::string> binWidthProblem(double minutes) {
    if (minutes >= 1.0 && minutes <= kMaxBinWidthMinutes && std::trunc(minutes) == minutes) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << "the bin width must be a whole number of minutes from 1 to " << kMaxBinWidthMinutes
         << ", not " << minutes;
    return text.str();
}

std::uint8_t binGreyLevel(std::size_t count) {
    constexpr std::size_t kSaturatingCount = (255 - 75) / 4;
    return count >= kSaturatingCount ? 255 : static_cast<std::uint8_t>(4 * count + 75);
}

Outcome<ActivityRaster> generateImageData(std::span<const Recording> sortedRecordings,
                                          double binWidthMinutes, const MarkLocation& location,
                                          const icu::TimeZone& zone) {
    const auto first =
        std::find_if(sortedRecordings.begin(), sortedRecordings.end(),
                     [](const Recording& r) { return isCalendarInstant(r.recordingTime); });
    if (first == sortedRecordings.end()) {
        return Problem{.title = "Nothing to draw",
                       .message = "no recordings",
                       .kind = ProblemKind::nothingFound};
    }
    if (const std::optional<std::string> problem = binWidthProblem(binWidthMinutes)) {
        return Problem{.title = "Bad usage", .message = *problem, .kind = ProblemKind::badUsage};
    }

    ActivityRaster result;
    Raster& raster = result.raster;
    const double width = binWidthMinutes * kSecondsPerMinute;
    const BinDrawer drawer{
        raster, zone,
        std::max(1LL, static_cast<long long>(std::ceil(binWidthMinutes / kMinutesPerRow)))};

    const double firstTime = first->recordingTime;
    const CivilDate firstDay = localDateTime(firstTime, zone).date;
    result.year = firstDay.year;
    const CivilDate newYear{firstDay.year, 1, 1};
    // Bins from here on lie after the last drawn day, or in a later year that would otherwise
    // be drawn over this one.
    const double stopAt = localInstant({addDays(newYear, kLastDrawnDayOfYear), 0, 0, 0}, zone);
    const double lastNightEnd = localInstant(
        {addDays(newYear, kLastDrawnDayOfYear - 1), layout::kLastMorningHour, 0, 0}, zone);
    const auto closeBin = [&](double start, std::size_t count) {
        if (count == 0) {
            return;
        }
        if (start < lastNightEnd) {
            result.recordingsBeforeLastNightEnd += count;
        }
        if (start < stopAt) {
            drawer.draw(start, count);
        }
    };

    double binStart = localInstant({firstDay, 0, 0, 0}, zone);
    if (firstTime - binStart > width) {
        binStart = advanceUntilWithinOneWidth(binStart, firstTime, width);
    }
    std::size_t count = 0;
    for (auto it = first; it != sortedRecordings.end(); ++it) {
        const double time = it->recordingTime;
        if (!isCalendarInstant(time)) {
            continue;
        }
        if (binStart >= stopAt) {
            break;
        }
        ++result.recordingsRead;
        // A time before the bin (only from an unsorted list) is counted in it rather than
        // sending the bin start backward.
        if (std::trunc(time - binStart) < width) {
            ++count;
            continue;
        }
        closeBin(binStart, count);
        binStart += width;
        if (std::trunc(time - binStart) > width) {
            binStart = advanceUntilWithinOneWidth(binStart + width, time, width);
        }
        count = 1;
    }
    closeBin(binStart, count);

    result.sunMarks = sunMarksForYear(result.year, location, zone);
    drawSunMarks(raster, result.sunMarks);
    return result;
}

}  // namespace vane
