#include "core/yearly/session_list.h"

#include <charconv>
#include <cmath>

#include "core/files/shown_content.h"
#include "core/text/ascii.h"
#include "core/time/civil_date.h"
#include "core/time/iso_timestamp.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

constexpr std::size_t kFieldCount = 4;
constexpr std::size_t kQuotedFieldLength = 40;

// A field without its blanks and the quotes a spreadsheet program may put around it.
std::string_view fieldText(std::string_view text) {
    text = trimmed(text, kLineBlanks);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t comma = line.find(',');
        fields.push_back(fieldText(line.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(comma + 1);
    }
}

std::string quoted(std::string_view field) {
    return "\"" + shownContent(field, kQuotedFieldLength) + "\"";
}

bool isSkipped(std::string_view line) {
    const std::string_view content = fieldText(line);
    return content.empty() || content.front() == '#';
}

bool isHeader(std::string_view line) {
    const std::vector<std::string_view> fields = splitFields(line);
    std::string joined;
    for (const std::string_view field : fields) {
        joined += joined.empty() ? "" : ",";
        joined += asciiLowercase(field);
    }
    return joined == kSessionListHeader;
}

std::optional<double> readSampleDate(std::string_view field, const icu::TimeZone& zone) {
    if (const std::optional<CivilDate> date = parseIsoDate(field)) {
        return localInstant({*date, 0, 0, 0}, zone);
    }
    if (const std::optional<IsoTimestamp> stamp = parseIsoTimestamp(field)) {
        return toInstant(*stamp, zone);
    }
    return std::nullopt;
}

template <typename Number>
bool readWhole(std::string_view field, Number& value) {
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    return error == std::errc() && stop == end;
}

// Empty is no value; anything else must be a number within +-limit.
bool readCoordinate(std::string_view field, double limit, std::optional<double>& value) {
    if (field.empty()) {
        value.reset();
        return true;
    }
    double number = 0.0;
    if (!readWhole(field, number) || !std::isfinite(number) || std::fabs(number) > limit) {
        return false;
    }
    value = number;
    return true;
}

std::optional<std::string> readSession(std::string_view line, const icu::TimeZone& zone,
                                       Session& session) {
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() != kFieldCount) {
        return "expected " + std::to_string(kFieldCount) + " comma-separated fields (" +
               std::string(kSessionListHeader) + "), found " + std::to_string(fields.size());
    }
    const std::optional<double> sampleDate = readSampleDate(fields[0], zone);
    if (!sampleDate) {
        return "expected a sample date such as 2012-06-21 or 2012-06-21 20:00:00, not " +
               quoted(fields[0]);
    }
    session.sampleDate = *sampleDate;
    if (!readWhole(fields[1], session.recordingCount) || session.recordingCount < 0) {
        return "expected a whole number of recordings, not " + quoted(fields[1]);
    }
    if (!readCoordinate(fields[2], 90.0, session.latitude)) {
        return "expected a latitude from -90 to 90 degrees or nothing, not " + quoted(fields[2]);
    }
    if (!readCoordinate(fields[3], 180.0, session.longitude)) {
        return "expected a longitude from -180 to 180 degrees or nothing, not " + quoted(fields[3]);
    }
    return std::nullopt;
}

}  // namespace

SessionListResult parseSessionList(std::string_view text, const std::string& fileName,
                                   const icu::TimeZone& zone) {
    std::vector<Session> sessions;
    bool headerSeen = false;
    NumberedLines lines(withoutByteOrderMark(text));
    while (const std::optional<std::string_view> next = lines.next()) {
        const std::string_view line = *next;
        if (isSkipped(line)) {
            continue;
        }
        if (!headerSeen) {
            if (!isHeader(line)) {
                return listFileProblem(kSessionListKind, fileName, lines.number(),
                                       "expected the header " + std::string(kSessionListHeader));
            }
            headerSeen = true;
            continue;
        }
        Session session;
        if (std::optional<std::string> problem = readSession(line, zone, session)) {
            return listFileProblem(kSessionListKind, fileName, lines.number(), std::move(*problem));
        }
        sessions.push_back(session);
    }
    if (!headerSeen) {
        return listFileProblem(kSessionListKind, fileName, 0,
                               "empty; expected the header " + std::string(kSessionListHeader));
    }
    return sessions;
}

SessionListResult readSessionList(const std::filesystem::path& path, const icu::TimeZone& zone) {
    Outcome<std::string> text = readListFile(path, kSessionListKind);
    if (!text) {
        return std::move(text).error();
    }
    return parseSessionList(*text, path.string(), zone);
}

}  // namespace vane
