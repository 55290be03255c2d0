#include "core/curtailment/effort_file.h"

#include <algorithm>

#include "core/curtailment/csv_pairs.h"
#include "core/files/shown_content.h"
#include "core/time/iso_timestamp.h"

namespace vane {

Outcome<std::vector<EffortSpan>> parseEffortSpans(std::string_view text, std::string_view file,
                                                  const icu::TimeZone& zone) {
    std::vector<EffortSpan> spans;
    const Outcome<std::size_t> read =
        readCsvPairs(text, file, "Bad effort file",
                     [&](std::string_view startField, std::string_view endField) -> Outcome<void> {
                         const std::optional<IsoTimestamp> start = parseIsoTimestamp(startField);
                         const std::optional<IsoTimestamp> end = parseIsoTimestamp(endField);
                         if (!start || !end) {
                             return Problem{.message = "\"" + shownContent(startField) + "\", \"" +
                                                       shownContent(endField) +
                                                       "\" is no pair of time stamps start,end"};
                         }
                         const EffortSpan span{toInstant(*start, zone), toInstant(*end, zone)};
                         if (!(span.end > span.start)) {
                             return Problem{.message = "the end " + shownContent(endField) +
                                                       " is not after the start"};
                         }
                         spans.push_back(span);
                         return {};
                     });
    if (!read) {
        return read.error();
    }
    if (spans.empty()) {
        return Problem{.title = "Bad effort file",
                       .message = "the effort file holds no line start,end",
                       .file = std::string(file)};
    }
    std::sort(spans.begin(), spans.end(),
              [](const EffortSpan& a, const EffortSpan& b) { return a.start < b.start; });
    return spans;
}

}  // namespace vane
