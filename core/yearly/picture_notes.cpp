#include "core/yearly/picture_notes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "core/solpos/solpos.h"
#include "core/time/civil_date.h"
#include "core/yearly/calendar_instant.h"

namespace vane {
namespace {

constexpr std::array<const char*, 12> kMonthNames{"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};

}  // namespace

std::string solposMessages(const SunTimes& refusal) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{std::tmpfile(), &std::fclose};
    if (!file) {
        return "the solar position calculation refused the site or year";
    }
    S_decode(refusal.error, refusal.record, file.get());
    std::rewind(file.get());
    std::string text;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), file.get()) != nullptr) {
        text += buffer.data();
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

std::vector<std::string> activityPictureNotes(const ActivityRaster& result,
                                              std::span<const Recording> sortedRecordings) {
    std::vector<std::string> notes;
    const auto usable = static_cast<std::size_t>(
        std::count_if(sortedRecordings.begin(), sortedRecordings.end(),
                      [](const Recording& r) { return isCalendarInstant(r.recordingTime); }));
    if (result.recordingsBeforeLastNightEnd < usable) {
        // The last night runs from the evening of day 359 to the morning of day 360.
        const CivilDate lastEvening =
            addDays(CivilDate{result.year, 1, 1}, kLastDrawnDayOfYear - 2);
        const CivilDate lastMorning = addDays(lastEvening, 1);
        notes.push_back(
            "Recordings left out: " + std::to_string(usable - result.recordingsBeforeLastNightEnd) +
            " of " + std::to_string(usable) + " come after the picture's last night, " +
            std::to_string(lastEvening.day) + " to " + std::to_string(lastMorning.day) + ' ' +
            kMonthNames[static_cast<std::size_t>(lastMorning.month - 1)] + ' ' +
            std::to_string(result.year));
    }
    if (result.sunMarks.firstRefusal) {
        notes.push_back("No sunset and sunrise marks: " +
                        solposMessages(*result.sunMarks.firstRefusal));
    }
    return notes;
}

}  // namespace vane
