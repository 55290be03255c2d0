#include "core/yearly/bar_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/yearly/calendar_instant.h"
#include "core/yearly/raster_layout.h"
#include "core/yearly/sun_time_query.h"

namespace vane {

double barScale(std::int64_t largestCount) {
    if (largestCount <= 0) {
        return 0.0;
    }
    const std::int64_t spanned = largestCount < 10 ? largestCount : 10 * (largestCount / 10);
    const std::int64_t wholePixels = kRasterHeight / spanned;
    // Past 409 recordings whole pixels per recording would round to none and hide every bar.
    return wholePixels > 0 ? static_cast<double>(wholePixels)
                           : static_cast<double>(kRasterHeight) / static_cast<double>(spanned);
}

BarRasterResult generateBarGraphImageData(std::span<const Session> sortedSessions,
                                          const icu::TimeZone& zone) {
    BarRasterResult result;
    std::int64_t largest = 0;
    for (const Session& session : sortedSessions) {
        largest = std::max(largest, session.recordingCount);
    }
    const double scale = barScale(largest);
    result.scale = scale;
    result.barLengths.reserve(sortedSessions.size());
    for (const Session& session : sortedSessions) {
        const std::int64_t count = std::max<std::int64_t>(0, session.recordingCount);
        // Lengths beyond the picture are cut here already, so the product cannot overflow.
        const double length = std::min(static_cast<double>(count) * scale, 1e15);
        const auto pixels = static_cast<std::int64_t>(std::trunc(length));
        result.barLengths.push_back(pixels);
        if (!isCalendarInstant(session.sampleDate)) {
            continue;
        }
        const long long bottom = kRasterHeight;
        const long long top = bottom - std::min<std::int64_t>(pixels, kRasterHeight);
        paintBlock(result.raster,
                   yearly_layout::eveningColumn(dayOfYearForDate(session.sampleDate, zone)),
                   yearly_layout::kColumnsPerNight, top, bottom - top, PixelBytes::RedGreen,
                   kSessionBarLevel);
    }
    return result;
}

std::string barPictureCaption(double scale) {
    if (!(scale > 0.0)) {
        return {};
    }
    // To a tenth, so that 408 / (408 / 500) reads 500 whatever its last bit.
    const double fullHeight = std::round(static_cast<double>(kRasterHeight) / scale * 10.0) / 10.0;
    char text[64];
    std::snprintf(text, sizeof text, "Recordings per session: full height %.*f",
                  fullHeight == std::floor(fullHeight) ? 0 : 1, fullHeight);
    return text;
}

}  // namespace vane
