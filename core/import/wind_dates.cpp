#include "core/import/wind_dates.h"

#include <unicode/simpletz.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <array>

#include "core/files/shown_content.h"
#include "core/import/date_format_items.h"
#include "core/time/iso_timestamp.h"
#include "core/time/local_time.h"
#include "core/time/utc_offset.h"

namespace vane {
namespace {

// Wind speeds and counters read as Unix seconds land in the 1970s.
constexpr double kEarliestPlausible = 315532800.0;  // 1980-01-01
constexpr double kLatestPlausible = 4102444800.0;   // 2100-01-01
constexpr std::size_t kFirstSampled = 16;
constexpr std::size_t kSpreadSampled = 16;

bool isNamedFormat(std::string_view format) {
    return format == kIsoFormatName || format == kUnixSecondsFormatName ||
           format == kExcelDaysFormatName;
}

bool hasZoneField(std::string_view pattern) {
    bool quoted = false;
    for (const char c : pattern) {
        quoted = c == '\'' ? !quoted : quoted;
        if (!quoted && std::string_view("ZzXxOvV").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool plausible(double instant) {
    return instant >= kEarliestPlausible && instant < kLatestPlausible;
}

std::unique_ptr<icu::TimeZone> fixedZone(int minutesEast) {
    return std::make_unique<icu::SimpleTimeZone>(minutesEast * 60000,
                                                 icu::UnicodeString::fromUTF8("Fixed"));
}

std::vector<std::size_t> sampledRows(const WindTable& table, const DateColumns& columns) {
    std::vector<std::size_t> rows;
    if (!table.hasHeaderRow()) {
        return rows;
    }
    const auto filled = [&](std::size_t row) { return !table.field(row, columns.date).empty(); };
    std::size_t row = table.startAt + 1;
    for (; row < table.rowCount() && rows.size() < kFirstSampled; ++row) {
        if (filled(row)) {
            rows.push_back(row);
        }
    }
    if (row >= table.rowCount()) {
        return rows;
    }
    const std::size_t step = std::max<std::size_t>(1, (table.rowCount() - row) / kSpreadSampled);
    for (; row < table.rowCount(); row += step) {
        if (filled(row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

// Where "24:00" stands as the time of day (after a blank or "T", then nothing, seconds of 00 or
// an offset); npos when it does not.
std::size_t hourTwentyFour(std::string_view text) {
    const std::size_t at = text.find("24:00");
    if (at == std::string_view::npos || at == 0 || (text[at - 1] != ' ' && text[at - 1] != 'T')) {
        return std::string_view::npos;
    }
    std::string_view rest = text.substr(at + 5);
    if (rest.starts_with(":00")) {
        rest.remove_prefix(3);
    }
    const bool ends = rest.empty() || rest.front() == 'Z' || rest.front() == '+' ||
                      rest.front() == '-' || rest.front() == ' ';
    return ends ? at : std::string_view::npos;
}

}  // namespace

std::string_view rowDateText(const WindTable& table, std::size_t row, const DateColumns& columns,
                             std::string& buffer) {
    if (!columns.time && !columns.day) {
        return table.field(row, columns.date);
    }
    buffer.assign(table.field(row, columns.date));
    if (columns.day) {
        buffer += ' ';
        buffer.append(table.field(row, *columns.day));
    }
    if (columns.time) {
        const std::string_view time = table.field(row, *columns.time);
        buffer += ' ';
        // Loggers write the clock as a plain number: 5 is 00:05, 130 is 01:30.
        if (columns.day && !time.empty() && time.size() < 4 &&
            time.find_first_not_of("0123456789") == std::string_view::npos) {
            buffer.append(4 - time.size(), '0');
        }
        buffer.append(time);
    }
    return buffer;
}

bool isFixedOffsetText(std::string_view zoneText) {
    return parseUtcOffset(zoneText).has_value();
}

bool isZoneName(std::string_view zoneText) {
    if (zoneText.empty() || zoneText.size() > 64 || isFixedOffsetText(zoneText)) {
        return false;
    }
    const std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(
            icu::StringPiece(zoneText.data(), static_cast<int32_t>(zoneText.size())))));
    return *zone != icu::TimeZone::getUnknown();
}

WindDateReader::WindDateReader(std::string_view format, std::string_view zoneText,
                               const icu::TimeZone& zone)
    : zoneText_(zoneText), isoFormat_(format == kIsoFormatName) {
    const bool named = isNamedFormat(format);
    if (const std::optional<int> offset = parseUtcOffset(zoneText);
        offset && !named && hasZoneField(format)) {
        // The stamps carry their own offset, which wins over the zone's.
        parser_ = std::make_unique<DatePatternParser>(format, *fixedZone(*offset));
        return;
    }
    if (const std::optional<int> offset = parseUtcOffset(zoneText)) {
        // ICU patterns read the offset written after the text, as they always have; the named
        // formats take it as their zone, since their own offset must win.
        appendOffset_ = !named;
        parser_ = named ? std::make_unique<DatePatternParser>(format, *fixedZone(*offset))
                        : std::make_unique<DatePatternParser>(std::string(format) + "ZZZ", zone);
        return;
    }
    if (isZoneName(zoneText)) {
        namedZone_ = true;
        zone_.reset(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(
            icu::StringPiece(zoneText.data(), static_cast<int32_t>(zoneText.size())))));
        zoneInPattern_ = (!named && hasZoneField(format)) || format == kUnixSecondsFormatName;
        // The wall-clock time is read as if it were UTC and placed in the zone afterwards,
        // where the repeated hour can follow the file's order.
        parser_ = std::make_unique<DatePatternParser>(
            format, zoneInPattern_ ? *zone_ : *icu::TimeZone::getGMT());
        return;
    }
    parser_ = std::make_unique<DatePatternParser>(format, zone);
}

WindDateReader::~WindDateReader() = default;

std::optional<double> WindDateReader::readWithOffsetText(std::string_view text) {
    buffer_.assign(text);
    buffer_.append(zoneText_);
    if (auto date = parser_->parse(buffer_)) {
        return date;
    }
    // A field with the date alone, when the pattern also wants a time of day.
    buffer_.assign(text);
    buffer_.append(" 00:00:00");
    buffer_.append(zoneText_);
    return parser_->parse(buffer_);
}

double WindDateReader::inNamedZone(double wallSeconds) {
    constexpr double kHalfDay = 43200.0;
    const int before = utcOffsetSeconds(wallSeconds - kHalfDay, *zone_);
    const int after = utcOffsetSeconds(wallSeconds + kHalfDay, *zone_);
    const double early = wallSeconds - std::max(before, after);
    const double late = wallSeconds - std::min(before, after);
    const bool earlyFits = utcOffsetSeconds(early, *zone_) == std::max(before, after);
    const bool lateFits = utcOffsetSeconds(late, *zone_) == std::min(before, after);
    if (earlyFits && lateFits && early != late) {
        // The hour that occurs twice: the second occurrence once the file has passed the first.
        return previous_ && *previous_ >= early ? late : early;
    }
    if (earlyFits != lateFits) {
        return earlyFits ? early : late;
    }
    // A time the spring change skips: the offset before the change, as localInstant() reads it.
    return wallSeconds - before;
}

std::optional<double> WindDateReader::read(std::string_view text) {
    std::optional<double> date = readUnquoted(text);
    // Loggers quote their time stamps ("2016-01-01 00:10:00"); a pattern may hold the quotes.
    if (!date && text.size() > 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
        date = readUnquoted(text);
    }
    // Hourly files end the day at "24:00", the next day's midnight.
    if (const std::size_t at = hourTwentyFour(text); !date && at != std::string_view::npos) {
        std::string midnight(text);
        midnight.replace(at, 2, "00");
        if (const std::optional<double> start = readUnquoted(midnight)) {
            date = *start + 86400.0;
        }
    }
    if (date) {
        previous_ = date;
    }
    return date;
}

std::optional<double> WindDateReader::readUnquoted(std::string_view text) {
    std::optional<double> date;
    if (appendOffset_) {
        date = readWithOffsetText(text);
    } else if (!namedZone_ || zoneInPattern_) {
        date = parser_->parse(text);
    } else if (isoFormat_) {
        const std::optional<IsoTimestamp> stamp = parseIsoTimestamp(text);
        if (stamp && stamp->utcOffsetSeconds) {
            date = parser_->parse(text);
        } else if (const std::optional<double> wall = parser_->parse(text)) {
            date = inNamedZone(*wall);
        }
    } else {
        std::optional<double> wall = parser_->parse(text);
        if (!wall) {
            buffer_.assign(text);
            buffer_.append(" 00:00:00");
            wall = parser_->parse(buffer_);
        }
        if (wall) {
            date = inNamedZone(*wall);
        }
    }
    return date;
}

// Readers at a fixed offset keep no state between rows, so one serves every column.
struct DateFormatGuess::Readers {
    std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::getGMT()->clone()};
    std::array<std::unique_ptr<WindDateReader>, kDateFormatItems.size()> items;

    WindDateReader& at(std::size_t item) {
        if (!items.at(item)) {
            items[item] = std::make_unique<WindDateReader>(kDateFormatItems[item], "+0000", *utc);
        }
        return *items[item];
    }
};

DateFormatGuess::DateFormatGuess() : readers_(std::make_unique<Readers>()) {}

DateFormatGuess::~DateFormatGuess() = default;

std::optional<std::size_t> DateFormatGuess::operator()(const WindTable& table,
                                                       const DateColumns& columns,
                                                       std::optional<std::size_t> preferred,
                                                       bool valuesOnly) {
    const std::vector<std::size_t> rows = sampledRows(table, columns);
    if (rows.empty()) {
        return std::nullopt;
    }
    std::string buffer;
    const auto readsAll = [&](std::size_t item) {
        const std::string_view format = kDateFormatItems.at(item);
        if (valuesOnly && (format == kUnixSecondsFormatName || format == kExcelDaysFormatName)) {
            return false;
        }
        WindDateReader& reader = readers_->at(item);
        std::optional<double> first;
        double last = 0.0;
        for (const std::size_t row : rows) {
            const std::optional<double> date =
                reader.read(rowDateText(table, row, columns, buffer));
            if (!date || !plausible(*date) || (first && *date < last)) {
                return false;
            }
            first = first.value_or(*date);
            last = *date;
        }
        return rows.size() < 2 || last > *first;
    };
    if (preferred && *preferred < kDateFormatItems.size() && readsAll(*preferred)) {
        return preferred;
    }
    for (std::size_t item = 0; item < kDateFormatItems.size(); ++item) {
        if (readsAll(item)) {
            return item;
        }
    }
    return std::nullopt;
}

bool DateFormatGuess::readsEveryRow(const WindTable& table, const DateColumns& columns,
                                    std::size_t item) {
    const std::vector<std::size_t> rows = sampledRows(table, columns);
    std::string buffer;
    WindDateReader& reader = readers_->at(item);
    return !rows.empty() && std::all_of(rows.begin(), rows.end(), [&](std::size_t row) {
        return reader.read(rowDateText(table, row, columns, buffer)).has_value();
    });
}

std::optional<std::size_t> guessDateFormatItem(const WindTable& table, const DateColumns& columns,
                                               std::optional<std::size_t> preferred,
                                               bool valuesOnly) {
    DateFormatGuess guess;
    return guess(table, columns, preferred, valuesOnly);
}

std::optional<std::size_t> dateFormatItemReading(std::string_view text) {
    const std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::getGMT()->clone());
    for (std::size_t item = 0; item < kDateFormatItems.size(); ++item) {
        WindDateReader reader(kDateFormatItems[item], "+0000", *utc);
        if (const std::optional<double> date = reader.read(text); date && plausible(*date)) {
            return item;
        }
    }
    return std::nullopt;
}

std::string unreadableDateNote(const WindTable& table, std::size_t row, const DateColumns& columns,
                               std::string_view format) {
    std::string buffer;
    const std::string_view text = rowDateText(table, row, columns, buffer);
    std::string note = "first at line " + std::to_string(row + 1) + ": \"" + shownContent(text) +
                       "\" does not read as " + shownContent(format);
    if (table.fieldCount(row) <=
        std::max({columns.date, columns.time.value_or(0), columns.day.value_or(0)})) {
        return note + " (the row has too few fields)";
    }
    if (const std::optional<std::size_t> item = dateFormatItemReading(text)) {
        note += "; " + std::string(kDateFormatItems[*item]) + " reads it";
    }
    return note;
}

}  // namespace vane
