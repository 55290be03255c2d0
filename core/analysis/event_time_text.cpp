#include "core/analysis/event_time_text.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "core/analysis/bat_events.h"

namespace vane {

std::string eventTimeText(std::span<const Recording> recordings, const icu::TimeZone& zone,
                          const icu::Locale& locale) {
    const std::vector<Recording> sorted =
        sortedByRecordingTime({recordings.begin(), recordings.end()});
    const BatEventList events = batEvents(sorted, batEventGridOrigin(zone));

    const std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kShort, icu::DateFormat::kShort, locale));
    if (!format) {
        throw std::runtime_error("no short date and time format for locale " +
                                 std::string(locale.getName()));
    }
    format->setTimeZone(zone);

    std::string text;
    for (const BatEvent& event : events) {
        icu::UnicodeString line;
        format->format(event.binEnd * 1000.0, line);
        line.toUTF8String(text);
        text += '\n';
    }
    return text;
}

}  // namespace vane
