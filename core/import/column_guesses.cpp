#include "core/import/column_guesses.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/date_format_items.h"
#include "core/import/header_lines.h"
#include "core/import/wind_dates.h"
#include "core/text/column_titles.h"

namespace vane {
namespace {

constexpr std::size_t kSampleRow = 3;

std::size_t firstItemContaining(const std::vector<std::string>& columnTitles,
                                std::initializer_list<std::string_view> keywords) {
    for (std::size_t k = 0; k < columnTitles.size(); ++k) {
        if (titleContainsAny(columnTitles[k], keywords)) {
            return k + 1;
        }
    }
    return 0;
}

// The first `count` non-empty fields of `column` below the header: what a guess samples.
std::vector<std::string_view> firstFilledFields(const WindTable& table, std::size_t column,
                                                std::size_t count) {
    std::vector<std::string_view> fields;
    for (std::size_t row = table.startAt + 1; row < table.rowCount() && fields.size() < count;
         ++row) {
        if (const std::string_view field = table.field(row, column); !field.empty()) {
            fields.push_back(field);
        }
    }
    return fields;
}

// Whether most of the first filled fields of `column` are numbers (decimal point or comma).
bool holdsNumbers(const WindTable& table, std::size_t column) {
    const std::vector<std::string_view> fields = firstFilledFields(table, column, 8);
    const auto numbers = std::count_if(fields.begin(), fields.end(), [](std::string_view field) {
        return field.find_first_not_of("0123456789.,-+ ") == std::string_view::npos &&
               field.find_first_of("0123456789") != std::string_view::npos;
    });
    return fields.empty() || 2 * static_cast<std::size_t>(numbers) > fields.size();
}

// Whether the first filled fields of `column` are whole numbers that read as a clock HHMM: "0",
// "10", "130", "2350".
bool holdsClockNumbers(const WindTable& table, std::size_t column) {
    const std::vector<std::string_view> fields = firstFilledFields(table, column, 16);
    return !fields.empty() && std::all_of(fields.begin(), fields.end(), [](std::string_view field) {
        if (field.size() > 4 || field.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
        const int clock = std::stoi(std::string(field));
        return clock / 100 <= 24 && clock % 100 <= 59;
    });
}

struct DayOfYearItems {
    std::size_t year = 0;
    std::size_t day = 0;
    std::size_t clock = 0;
};

// A station file's "Year" and "DOY" columns, and the clock right after the day as its values tell.
std::optional<DayOfYearItems> dayOfYearItems(const std::vector<std::string>& titles,
                                             const WindTable& table) {
    DayOfYearItems items;
    for (std::size_t k = 0; k < titles.size(); ++k) {
        if (items.year == 0 && isOneOf(titles[k], {"year", "yyyy", "yr"})) {
            items.year = k + 1;
        } else if (items.day == 0 && isOneOf(titles[k], {"doy", "day of year", "day_of_year",
                                                         "dayofyear", "jday", "julian day"})) {
            items.day = k + 1;
        }
    }
    if (items.year == 0 || items.day == 0 || items.day >= titles.size() ||
        !holdsClockNumbers(table, items.day)) {
        return std::nullopt;
    }
    items.clock = items.day + 1;
    return items;
}

// The first column whose unit row names a speed and whose other unit rows name no spread or
// extreme; 0 when there is none.
std::size_t windItemByUnitRows(const WindTable& table, std::size_t columns) {
    for (std::size_t k = 0; k < columns && table.unitRows > 0; ++k) {
        const std::size_t unitRow = table.headerRow() + 1;
        bool mean = isSpeedUnit(table.field(unitRow, k));
        for (std::size_t row = unitRow + 1; mean && row <= table.startAt; ++row) {
            mean = !isSpreadOrExtreme(table.field(row, k));
        }
        if (mean) {
            return k + 1;
        }
    }
    return 0;
}

// The height of a met mast's mean speed titled like "Spd80mN", "WS_60m" or "Speed40.5mA": a
// speed prefix, the height in metres, at most two letters for the boom; nothing for a spread or
// extreme ("Spd80mNStd") or any other title.
std::optional<double> anemometerHeight(std::string_view title) {
    const std::string lowered = lowercaseTitle(title);
    std::string_view rest = lowered;
    bool prefixed = false;
    for (const std::string_view prefix : {"speed", "wspd", "spd", "ws"}) {
        if (rest.starts_with(prefix)) {
            rest.remove_prefix(prefix.size());
            prefixed = true;
            break;
        }
    }
    if (!prefixed) {
        return std::nullopt;
    }
    if (rest.starts_with('_')) {
        rest.remove_prefix(1);
    }
    const std::size_t digits = rest.find_first_not_of("0123456789.");
    if (digits == 0 || digits == std::string_view::npos || rest[digits] != 'm' ||
        rest.substr(0, digits).find_first_of("0123456789") == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view boom = rest.substr(digits + 1);
    if (boom.size() > 2 || boom.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != boom.npos) {
        return std::nullopt;
    }
    return std::stod(std::string(rest.substr(0, digits)));
}

// The layout in a title's brackets as an ICU pattern: "(MM/DD/YYYY)" gives "MM/dd/yyyy",
// "(HH:MM)" "HH:mm"; M stands for minutes once an hour was written. Empty when the brackets
// hold anything else.
std::string layoutInBrackets(std::string_view title) {
    const std::size_t open = title.find_first_of("([");
    const std::size_t close = title.find_first_of(")]", open == title.npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return {};
    }
    std::string pattern;
    bool hours = false;
    for (const char c : title.substr(open + 1, close - open - 1)) {
        switch (c) {
            case 'D':
            case 'd':
                pattern += 'd';
                break;
            case 'Y':
            case 'y':
                pattern += 'y';
                break;
            case 'H':
            case 'h':
                pattern += 'H';
                hours = true;
                break;
            case 'M':
            case 'm':
                pattern += hours ? 'm' : 'M';
                break;
            case 'S':
            case 's':
                pattern += 's';
                break;
            case '/':
            case '.':
            case '-':
            case ':':
            case ' ':
                pattern += c;
                break;
            default:
                return {};
        }
    }
    return pattern;
}

}  // namespace

std::optional<std::size_t> dateFormatItemOfTitles(std::string_view dateTitle,
                                                  std::string_view timeTitle) {
    std::string pattern = layoutInBrackets(dateTitle);
    if (pattern.empty() || pattern.find('y') == std::string::npos) {
        return std::nullopt;
    }
    if (!timeTitle.empty()) {
        const std::string time = layoutInBrackets(timeTitle);
        if (time.empty() || time.find('H') == std::string::npos) {
            return std::nullopt;
        }
        pattern += ' ' + time;
    }
    const auto item = std::find(kDateFormatItems.begin(), kDateFormatItems.end(), pattern);
    if (item == kDateFormatItems.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(item - kDateFormatItems.begin());
}

std::size_t highestAnemometerItem(const std::vector<std::string>& columnTitles) {
    std::size_t best = 0;
    double highest = 0.0;
    for (std::size_t k = 0; k < columnTitles.size(); ++k) {
        if (const std::optional<double> height = anemometerHeight(columnTitles[k]);
            height && (best == 0 || *height > highest)) {
            best = k + 1;
            highest = *height;
        }
    }
    return best;
}

std::size_t countString(std::string_view needle, std::string_view text) {
    icu::UnicodeString foldedNeedle = icu::UnicodeString::fromUTF8(
        icu::StringPiece(needle.data(), static_cast<int32_t>(needle.size())));
    icu::UnicodeString foldedText = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    foldedNeedle.foldCase();
    foldedText.foldCase();
    if (foldedNeedle.isEmpty()) {
        return 0;
    }
    std::size_t count = 0;
    for (int32_t at = foldedText.indexOf(foldedNeedle); at >= 0;
         at = foldedText.indexOf(foldedNeedle, at + foldedNeedle.length())) {
        ++count;
    }
    return count;
}

std::size_t guessDateTimeItem(const std::vector<std::string>& columnTitles) {
    return firstItemContaining(columnTitles, {"datum", "date", "time"});
}

std::size_t guessWindItem(const std::vector<std::string>& columnTitles) {
    if (const std::size_t item = firstItemContaining(columnTitles, {"wind", "speed"})) {
        return item;
    }
    if (const std::size_t item = firstItemContaining(
            columnTitles, {"ws_avg", "horwdspd", "wdspd", "wspd", "vitesse", "geschw"})) {
        return item;
    }
    return highestAnemometerItem(columnTitles);
}

std::size_t guessTimeItem(const std::vector<std::string>& columnTitles, std::size_t dateTimeItem) {
    if (dateTimeItem == 0 || dateTimeItem > columnTitles.size()) {
        return 0;
    }
    const std::string& date = columnTitles[dateTimeItem - 1];
    if (!titleContainsAny(date, {"date", "datum"}) || titleContainsAny(date, {"time", "zeit"})) {
        return 0;
    }
    for (std::size_t k = 0; k < columnTitles.size(); ++k) {
        if (k + 1 != dateTimeItem && titleContainsAny(columnTitles[k], {"time", "zeit"}) &&
            !titleContainsAny(columnTitles[k], {"date", "datum", "stamp"})) {
            return k + 1;
        }
    }
    return 0;
}

std::size_t guessStateItem(const std::vector<std::string>& columnTitles) {
    return firstItemContaining(columnTitles, {"status", "state", "betrieb", "turst", "zustand"});
}

std::size_t guessPowerItem(const std::vector<std::string>& columnTitles) {
    for (std::size_t k = 0; k < columnTitles.size(); ++k) {
        const std::string title = lowercaseTitle(columnTitles[k]);
        // Short names are whole titles: "p_avg" inside "temp_avg" is no power.
        if (title == "p_avg" || title == "wtur_w" || title == "p" ||
            titleContainsAny(columnTitles[k], {"power", "leistung", "(kw)", "[kw]"})) {
            return k + 1;
        }
    }
    return 0;
}

double windSpeedFactor(std::string_view title, std::string* unit) {
    if (titleContainsAny(title, {"km/h", "kmh", "km h"})) {
        if (unit != nullptr) {
            *unit = "km/h";
        }
        return 1.0 / 3.6;
    }
    if (titleContainsAny(title, {"mph", "mi/h"})) {
        if (unit != nullptr) {
            *unit = "mph";
        }
        return 1609.344 / 3600.0;
    }
    if (titleContainsAny(title, {"(kn)", "[kn]", "knots", "_kn", " kn", "(kt)", "[kt]"})) {
        if (unit != nullptr) {
            *unit = "kn";
        }
        return 1852.0 / 3600.0;
    }
    return 1.0;
}

std::optional<std::string_view> dateSampleField(const WindTable& table, std::size_t dateTimeItem) {
    if (dateTimeItem == 0 || dateTimeItem - 1 >= table.fieldCount(kSampleRow)) {
        return std::nullopt;
    }
    return table.field(kSampleRow, dateTimeItem - 1);
}

std::optional<std::size_t> dateFormatIndexForSample(std::string_view sample) {
    const std::size_t colons = countString(":", sample);
    const std::size_t slashes = countString("/", sample);
    const std::size_t dots = countString(".", sample);
    if (colons == 1 && slashes == 2) {
        return 0;
    }
    if (colons == 2 && slashes == 2) {
        return 1;
    }
    if (colons == 1 && dots == 2) {
        return 2;
    }
    if (colons == 2 && dots == 2) {
        return 3;
    }
    return std::nullopt;
}

ColumnGuesses guessColumns(const std::vector<std::string>& columnTitles, const WindTable& table) {
    ColumnGuesses guesses;
    guesses.dateTimeItem = guessDateTimeItem(columnTitles);
    if (const std::optional<std::string_view> sample =
            dateSampleField(table, guesses.dateTimeItem)) {
        guesses.dateFormatIndex = dateFormatIndexForSample(*sample);
    }
    guesses.windItem = guessWindItem(columnTitles);
    return guesses;
}

WindFileGuesses guessWindFileColumns(const std::vector<std::string>& columnTitles,
                                     const WindTable& table) {
    WindFileGuesses guesses{.columns = guessColumns(columnTitles, table)};
    ColumnGuesses& columns = guesses.columns;
    guesses.timeItem = guessTimeItem(columnTitles, columns.dateTimeItem);
    DateFormatGuess guessFormat;
    const std::optional<DayOfYearItems> dayOfYear = dayOfYearItems(columnTitles, table);
    if (dayOfYear && guessFormat.readsEveryRow(
                         table, {dayOfYear->year - 1, dayOfYear->clock - 1, dayOfYear->day - 1},
                         kDayOfYearItem)) {
        columns.dateTimeItem = dayOfYear->year;
        guesses.dayItem = dayOfYear->day;
        guesses.timeItem = dayOfYear->clock;
        columns.dateFormatIndex = kDayOfYearItem;
    } else if (columns.dateTimeItem > 0) {
        const DateColumns dateColumns{
            columns.dateTimeItem - 1,
            guesses.timeItem > 0 ? std::optional(guesses.timeItem - 1) : std::nullopt};
        const std::optional<std::size_t> told = dateFormatItemOfTitles(
            columnTitles[columns.dateTimeItem - 1],
            guesses.timeItem > 0 ? std::string_view(columnTitles[guesses.timeItem - 1]) : "");
        // The separator rule first, so that a file it read keeps its format.
        if (told && guessFormat.readsEveryRow(table, dateColumns, *told)) {
            columns.dateFormatIndex = told;
            guesses.dateFormatFromTitles = true;
        } else if (const auto format =
                       guessFormat(table, dateColumns,
                                   guesses.timeItem > 0 ? std::nullopt : columns.dateFormatIndex)) {
            columns.dateFormatIndex = format;
        }
    } else {
        // Time stamps stand near the front; a header of thousands of fields must stay cheap.
        constexpr std::size_t kColumnsTried = 16;
        for (std::size_t k = 0; k < columnTitles.size() && k < kColumnsTried; ++k) {
            const std::string_view first = table.field(table.startAt + 1, k);
            if (first.find_first_of("0123456789") == std::string_view::npos) {
                continue;
            }
            if (const auto format = guessFormat(table, {k, std::nullopt}, std::nullopt, true)) {
                columns.dateTimeItem = k + 1;
                columns.dateFormatIndex = format;
                guesses.dateTimeFromValues = true;
                break;
            }
        }
    }
    // "Wind_turbine_name" names no wind speed: a title's column must hold numbers to be taken
    // over a later one that does.
    if (columns.windItem > 0 && !holdsNumbers(table, columns.windItem - 1)) {
        for (std::size_t k = columns.windItem; k < columnTitles.size(); ++k) {
            if (holdsNumbers(table, k) && (titleContainsAny(columnTitles[k], {"wind", "speed"}) ||
                                           guessWindItem({columnTitles[k]}) == 1)) {
                columns.windItem = k + 1;
                break;
            }
        }
    }
    if (const std::size_t item = windItemByUnitRows(table, columnTitles.size())) {
        columns.windItem = item;
        guesses.windFromUnitRow = true;
    }
    if (columns.windItem == 0) {
        for (std::size_t k = 0; k < columnTitles.size(); ++k) {
            if (k + 1 != columns.dateTimeItem && titleContainsAny(columnTitles[k], {"m/s"})) {
                columns.windItem = k + 1;
                guesses.windFromUnit = true;
                break;
            }
        }
    }
    return guesses;
}

}  // namespace vane
