#include "core/recordings/recording_list.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/time/iso_timestamp.h"

namespace vane {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
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

std::string RecordingListError::describe() const {
    if (line == 0) {
        return file + ": " + message;
    }
    return file + ":" + std::to_string(line) + ": " + message;
}

RecordingListResult parseRecordingList(std::string_view text, const std::string& fileName,
                                       const icu::TimeZone& zone) {
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    RecordingListResult result;
    bool firstContentLine = true;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
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
            result.recordings.clear();
            result.error = RecordingListError{
                fileName, lineNumber,
                "expected a time stamp such as 2012-06-21 21:03:00 or 2012-06-21T21:03:00+02:00, "
                "found " +
                    quoted(line)};
            return result;
        }
        result.recordings.push_back({toInstant(*stamp, zone)});
    }
    return result;
}

RecordingListResult readRecordingList(const std::filesystem::path& path,
                                      const icu::TimeZone& zone) {
    const std::string fileName = path.string();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return {{}, RecordingListError{fileName, 0, "is a folder, not a recording list"}};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {{},
                RecordingListError{fileName, 0,
                                   std::string("cannot be opened: ") + std::strerror(errno)}};
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return {{}, RecordingListError{fileName, 0, "could not be read to its end"}};
    }
    return parseRecordingList(content.str(), fileName, zone);
}

}  // namespace vane
