#include "core/curtailment/csv_pairs.h"

#include <algorithm>
#include <vector>

#include "core/files/shown_content.h"
#include "core/recordings/csv_rows.h"

namespace vane {

Outcome<std::size_t> readCsvPairs(
    std::string_view text, std::string_view file, std::string_view title,
    const std::function<Outcome<void>(std::string_view, std::string_view)>& row) {
    CsvRows rows(text, detectCsvSeparator(text));
    std::vector<std::string> fields;
    std::size_t taken = 0;
    bool first = true;
    while (rows.next(fields)) {
        if (fields.empty() || (!fields.front().empty() && fields.front().front() == '#')) {
            continue;
        }
        // A header names its columns; a line with a digit in its first field is data, however
        // damaged.
        const bool header = first && std::none_of(fields[0].begin(), fields[0].end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
        first = false;
        Outcome<void> read =
            fields.size() >= 2
                ? row(fields[0], fields[1])
                : Outcome<void>(Problem{.message = "a line needs two fields, not \"" +
                                                   shownContent(fields[0]) + "\""});
        if (!read) {
            if (header && fields.size() >= 2) {
                continue;
            }
            return Problem{.title = std::string(title),
                           .message = read.error().message,
                           .file = std::string(file),
                           .line = rows.line()};
        }
        ++taken;
    }
    return taken;
}

}  // namespace vane
