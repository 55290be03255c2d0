#include "core/recordings/recording_list.h"

#include "core/time/iso_timestamp.h"

namespace vane {
namespace {

constexpr std::size_t kQuotedLineLength = 60;

std::string_view firstField(std::string_view line) {
    const std::size_t end = line.find_first_of(",;\t");
    std::string_view field = line.substr(0, end);
    while (!field.empty() && (field.front() == ' ')) {
        field.remove_prefix(1);
    }
    while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) {
        field.remove_suffix(1);
    }
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = field.substr(1, field.size() - 2);
    }
    return field;
}

bool startsWithDigit(std::string_view text) {
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

bool isSkipped(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    return start == std::string_view::npos || line[start] == '#';
}

std::string quoted(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    std::string shown(line.substr(0, kQuotedLineLength));
    if (line.size() > kQuotedLineLength) {
        shown += "...";
    }
    return "\"" + shown + "\"";
}

}  // namespace

RecordingListResult parseRecordingList(std::string_view text, const std::string& fileName,
                                       const icu::TimeZone& zone) {
    std::vector<Recording> recordings;
    bool firstContentLine = true;
    NumberedLines lines(withoutByteOrderMark(text));
    while (const std::optional<std::string_view> next = lines.next()) {
        const std::string_view line = *next;
        if (isSkipped(line)) {
            continue;
        }
        const std::string_view field = firstField(line);
        const std::optional<IsoTimestamp> stamp = parseIsoTimestamp(field);
        // A first line that starts with a digit is a mistyped time stamp rather than a header:
        // skipping it would lose a recording without a word.
        const bool isHeader = firstContentLine && !stamp && !startsWithDigit(field);
        firstContentLine = false;
        if (isHeader) {
            continue;
        }
        if (!stamp) {
            return listFileProblem(
                kRecordingListKind, fileName, lines.number(),
                "expected a time stamp such as 2012-06-21 21:03:00 or 2012-06-21T21:03:00+02:00, "
                "found " +
                    quoted(line));
        }
        recordings.push_back({toInstant(*stamp, zone)});
    }
    return recordings;
}

RecordingListResult readRecordingList(const std::filesystem::path& path,
                                      const icu::TimeZone& zone) {
    Outcome<std::string> text = readListFile(path, kRecordingListKind);
    if (!text) {
        return std::move(text).error();
    }
    return parseRecordingList(*text, path.string(), zone);
}

}  // namespace vane
