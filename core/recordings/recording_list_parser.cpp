#include "core/recordings/recording_list_parser.h"

#include <algorithm>
#include <cstring>

#include "core/files/huge_pages.h"
#include "core/files/shown_content.h"
#include "core/time/iso_timestamp.h"

namespace vane {
namespace {

constexpr std::size_t kQuotedLineLength = 60;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The first field of a CSV line (',', ';' or tab), trimmed and without its quotes. A plain loop:
// find_first_of would search the set of separators once for every character of the line.
std::string_view firstField(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && line[end] != ',' && line[end] != ';' && line[end] != '\t') {
        ++end;
    }
    std::string_view field = line.substr(0, end);
    while (!field.empty() && field.front() == ' ') {
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
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\r') {
            return c == '#';
        }
    }
    return true;
}

std::string quoted(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return "\"" + shownContent(line, kQuotedLineLength) + "\"";
}

}  // namespace

RecordingListParser::RecordingListParser(const icu::TimeZone& zone) : converter_(zone) {}

void RecordingListParser::reserveFor(std::uintmax_t bytes) {
    // "2012-06-21 21:03" and its line break.
    constexpr std::uintmax_t kShortestLine = 17;
    recordings_.reserve(static_cast<std::size_t>(
        std::min<std::uintmax_t>(bytes / kShortestLine + 1, recordings_.max_size())));
    adviseHugePages(recordings_.data(), recordings_.capacity() * sizeof(Recording));
}

bool RecordingListParser::read(std::string_view piece) {
    if (atStart_ && !piece.empty()) {
        atStart_ = false;
        if (piece.starts_with(kUtf8ByteOrderMark)) {
            piece.remove_prefix(kUtf8ByteOrderMark.size());
        }
    }
    // A final line break ends the last line; it opens none.
    while (!piece.empty() && !badLine_) {
        const void* found = std::memchr(piece.data(), '\n', piece.size());
        const std::size_t end =
            found == nullptr
                ? piece.size()
                : static_cast<std::size_t>(static_cast<const char*>(found) - piece.data());
        readLine(piece.substr(0, end));
        piece.remove_prefix(end == piece.size() ? end : end + 1);
    }
    return !badLine_;
}

void RecordingListParser::readLine(std::string_view line) {
    ++lineNumber_;
    if (isSkipped(line)) {
        return;
    }
    const std::string_view field = firstField(line);
    const std::optional<IsoTimestamp> stamp = parseIsoTimestamp(field);
    // A first line that starts with a digit is a mistyped time stamp rather than a header:
    // skipping it would lose a recording without a word.
    const bool isHeader = firstContentLine_ && !stamp && !startsWithDigit(field);
    firstContentLine_ = false;
    if (isHeader) {
        return;
    }
    if (!stamp) {
        recordings_.clear();
        badLine_ = BadLine{lineNumber_,
                           "expected a time stamp such as 2012-06-21 21:03:00 or "
                           "2012-06-21T21:03:00+02:00, found " +
                               quoted(line)};
        return;
    }
    recordings_.push_back({toInstant(*stamp, converter_)});
}

std::vector<Recording> RecordingListParser::takeRecordings() {
    std::vector<Recording> taken = std::move(recordings_);
    recordings_.clear();
    return taken;
}

}  // namespace vane
