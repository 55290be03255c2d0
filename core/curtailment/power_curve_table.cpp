#include "core/curtailment/power_curve_table.h"

#include <algorithm>

#include "core/files/shown_content.h"
#include "core/import/text_encodings.h"
#include "core/import/text_reading.h"
#include "core/recordings/csv_rows.h"
#include "core/text/ascii.h"
#include "core/text/utf8.h"

namespace vane {
namespace {

// A title row lies within this many rows of the top.
constexpr std::size_t kLongestPreamble = 50;

// A turbine's name in a file that is no UTF-8: spreadsheets write Windows Latin 1, and a byte
// that code page leaves undefined reads as ISO Latin 1, which defines every byte.
std::string nameAsUtf8(std::string_view field) {
    for (const StringEncoding encoding : {kWindowsLatin1Encoding, kIsoLatin1Encoding}) {
        if (Outcome<DecodedText> decoded = decodeInEncoding(field, encoding)) {
            return std::move(decoded->text);
        }
    }
    return std::string(field);
}

// The separator of a wide table: the first of tab, ';' and ',' that a line near the top holds
// three times; nothing when no line does, as in a two-column curve.
std::optional<char> wideSeparator(std::string_view text) {
    std::size_t lines = 0;
    std::size_t most[3] = {0, 0, 0};
    constexpr char kCandidates[3] = {'\t', ';', ','};
    while (!text.empty() && lines++ < kLongestPreamble) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        for (std::size_t k = 0; k < 3; ++k) {
            most[k] = std::max(most[k], static_cast<std::size_t>(
                                            std::count(line.begin(), line.end(), kCandidates[k])));
        }
    }
    for (std::size_t k = 0; k < 3; ++k) {
        if (most[k] >= 3) {
            return kCandidates[k];
        }
    }
    return std::nullopt;
}

bool isNumber(const std::string& field) {
    return parseDecimal(field).has_value();
}

// The wind speeds of a wide table's title row, which must rise within 0 to 100 m/s.
Outcome<std::vector<double>> titleWindSpeeds(const std::vector<std::string>& fields,
                                             std::string_view file, std::size_t line) {
    const auto refused = [&](std::string message) {
        return Problem{.title = std::string(kPowerCurveProblem),
                       .message = "the wind speeds of the title row must " + std::move(message),
                       .file = std::string(file),
                       .line = line};
    };
    std::vector<double> speeds;
    for (auto field = fields.begin() + 1; field != fields.end(); ++field) {
        const double speed = parseDecimal(*field).value_or(-1.0);
        if (speed < 0.0 || speed > kHighestCurveWind) {
            return refused("be 0 to 100 m/s, not \"" + shownContent(*field) + "\"");
        }
        if (!speeds.empty() && speed <= speeds.back()) {
            return refused("rise from column to column, not \"" + shownContent(*field) +
                           "\" after \"" + shownContent(*(field - 1)) + "\"");
        }
        speeds.push_back(speed);
    }
    return speeds;
}

}  // namespace

std::optional<Outcome<PowerCurveTable>> readPowerCurveTable(std::string_view text,
                                                            std::string_view file) {
    const std::optional<char> separator = wideSeparator(text);
    if (!separator) {
        return std::nullopt;
    }
    CsvRows rows(text, *separator);
    std::vector<std::string> fields;
    std::vector<std::string> titles;  // of the title row, once one is found
    std::size_t titleLine = 0;
    bool properTitles = false;  // rising within 0 to 100 m/s
    std::vector<PowerCurveRow> named;
    std::size_t searched = 0;
    const bool latin1 = !isValidUtf8(text);
    while (rows.next(fields)) {
        if (!fields.front().empty() && fields.front().front() == '#') {
            continue;
        }
        // Spreadsheets end rows with empty fields up to their widest row.
        while (fields.size() > 1 && fields.back().empty()) {
            fields.pop_back();
        }
        if (fields.size() == 1 && fields.front().empty()) {
            continue;
        }
        const bool titleLike =
            fields.size() >= 4 && std::all_of(fields.begin() + 1, fields.end(), isNumber);
        // A preamble line of numbers ("Air density,1.225,1.2,1.15") gives way to a title row
        // below it whose wind speeds rise.
        if (titles.empty() || (named.empty() && !properTitles)) {
            if (isNumber(fields.front()) || ++searched > kLongestPreamble) {
                return std::nullopt;
            }
            const bool proper = titleLike && titleWindSpeeds(fields, file, 0).has_value();
            if (titleLike && (titles.empty() || proper)) {
                titles = fields;
                titleLine = rows.line();
                properTitles = proper;
                continue;
            }
            if (titles.empty()) {
                continue;  // a preamble line
            }
        }
        named.push_back({latin1 ? nameAsUtf8(fields.front()) : fields.front(), rows.line(),
                         std::vector<std::string>(fields.begin() + 1, fields.end())});
    }
    if (titles.empty()) {
        return std::nullopt;
    }
    Outcome<std::vector<double>> speeds = titleWindSpeeds(titles, file, titleLine);
    if (!speeds) {
        return Outcome<PowerCurveTable>(speeds.error());
    }
    return Outcome<PowerCurveTable>(PowerCurveTable{.firstTitle = titles.front(),
                                                    .titleLine = titleLine,
                                                    .windSpeeds = std::move(*speeds),
                                                    .rows = std::move(named)});
}

}  // namespace vane
