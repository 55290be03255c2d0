#include "core/recordings/recording_csv.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <array>

#include "core/files/shown_content.h"
#include "core/recordings/csv_rows.h"
#include "core/recordings/list_file.h"
#include "core/text/ascii.h"
#include "core/time/iso_timestamp.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

bool isSkippedRow(const std::vector<std::string>& row) {
    if (row.empty() || (row.size() == 1 && row.front().empty())) {
        return true;
    }
    return row.front().starts_with('#');
}

std::string dateWithDashes(std::string date) {
    std::replace(date.begin(), date.end(), '/', '-');
    return date;
}

std::optional<IsoTimestamp> stampOf(const std::vector<std::string>& row,
                                    const RecordingColumns& columns) {
    if (columns.timestamp) {
        return parseIsoTimestamp(row[*columns.timestamp]);
    }
    return parseIsoTimestamp(dateWithDashes(row[*columns.date]) + " " + row[*columns.time]);
}

bool looksLikeDate(const std::string& value) {
    return parseIsoDate(dateWithDashes(value)).has_value();
}

bool looksLikeTime(const std::string& value) {
    return parseIsoTimestamp("2000-01-01 " + value).has_value();
}

// The first column whose value fits, preferring one whose name is `preferredName`.
std::optional<std::size_t> pickColumn(const std::vector<std::string>& names,
                                      const std::vector<std::string>& values,
                                      std::string_view preferredName,
                                      bool (*fits)(const std::string&)) {
    std::optional<std::size_t> first;
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (!fits(values[c])) {
            continue;
        }
        if (c < names.size() && asciiLowercase(names[c]) == preferredName) {
            return c;
        }
        if (!first) {
            first = c;
        }
    }
    return first;
}

std::string quoted(const std::string& text) {
    return "\"" + shownContent(text) + "\"";
}

}  // namespace

std::vector<std::string> CsvTable::columnNames() const {
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.size());
    }
    std::vector<std::string> names;
    for (std::size_t c = 0; c < width; ++c) {
        const bool named =
            hasHeader && !rows.empty() && c < rows.front().size() && !rows.front()[c].empty();
        names.push_back(named ? rows.front()[c] : "Column " + std::to_string(c + 1));
    }
    return names;
}

CsvTable splitRecordingCsv(std::string_view text) {
    text = withoutByteOrderMark(text);
    CsvTable table;
    table.separator = detectCsvSeparator(text);
    std::vector<std::string> row;
    std::string field;
    bool inQuotes = false;
    std::size_t line = 1;
    std::size_t rowLine = 1;
    const auto endRow = [&] {
        row.emplace_back(trimmed(field, kLineBlanks));
        field.clear();
        if (!isSkippedRow(row)) {
            table.rows.push_back(std::move(row));
            table.lineNumbers.push_back(rowLine);
        }
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                line += c == '\n' ? 1 : 0;
                field += c;
            }
        } else if (c == '"') {
            inQuotes = true;
        } else if (c == table.separator) {
            row.emplace_back(trimmed(field, kLineBlanks));
            field.clear();
        } else if (c == '\n') {
            endRow();
            rowLine = ++line;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        endRow();
    }
    // A file whose first row already holds a date has no header.
    if (!table.rows.empty()) {
        const auto& first = table.rows.front();
        table.hasHeader = std::none_of(first.begin(), first.end(), [](const std::string& v) {
            return parseIsoTimestamp(v).has_value() || looksLikeDate(v);
        });
    }
    return table;
}

RecordingColumns guessRecordingColumns(const CsvTable& table) {
    RecordingColumns columns;
    if (table.rows.size() <= table.firstDataRow()) {
        return columns;
    }
    const std::vector<std::string> names = table.columnNames();
    const std::vector<std::string>& values = table.rows[table.firstDataRow()];
    columns.timestamp = pickColumn(names, values, "timestamp", [](const std::string& value) {
        return parseIsoTimestamp(value).has_value();
    });
    if (!columns.timestamp) {
        columns.date = pickColumn(names, values, "date", looksLikeDate);
        columns.time = pickColumn(names, values, "time", looksLikeTime);
    }
    for (std::size_t c = 0; c < names.size() && table.hasHeader; ++c) {
        const std::string name = asciiLowercase(names[c]);
        if (name.find("file") != std::string::npos || name == "path") {
            columns.file = c;
            break;
        }
    }
    return columns;
}

CsvRecordingsResult readCsvRecordings(const CsvTable& table, const RecordingColumns& columns,
                                      const icu::TimeZone& zone, const std::string& fileName) {
    if (!columns.isComplete()) {
        return listFileProblem(kRecordingListKind, fileName, 0,
                               "choose a time stamp column, or a date column and a time column");
    }
    std::vector<ImportedRecording> recordings;
    const std::vector<std::string> names = table.columnNames();
    const std::size_t needed = std::max({columns.timestamp.value_or(0), columns.date.value_or(0),
                                         columns.time.value_or(0), columns.file.value_or(0)}) +
                               1;
    const std::string zoneName = timeZoneId(zone);
    for (std::size_t r = table.firstDataRow(); r < table.rows.size(); ++r) {
        const std::vector<std::string>& row = table.rows[r];
        const std::size_t line = table.lineNumbers[r];
        if (row.size() < needed) {
            return listFileProblem(kRecordingListKind, fileName, line,
                                   "expected at least " + std::to_string(needed) +
                                       " fields, found " + std::to_string(row.size()));
        }
        const std::optional<IsoTimestamp> stamp = stampOf(row, columns);
        if (!stamp) {
            const std::string found = columns.timestamp ? shownContent(names[*columns.timestamp]) +
                                                              " " + quoted(row[*columns.timestamp])
                                                        : shownContent(names[*columns.date]) + " " +
                                                              quoted(row[*columns.date]) + " and " +
                                                              shownContent(names[*columns.time]) +
                                                              " " + quoted(row[*columns.time]);
            return listFileProblem(
                kRecordingListKind, fileName, line,
                "expected a date and time such as 2012-06-21 21:03:00, found " + found);
        }
        const double instant = toInstant(*stamp, zone);
        recordings.push_back(ImportedRecording{
            instant, stamp->utcOffsetSeconds.value_or(utcOffsetSeconds(instant, zone)),
            stamp->utcOffsetSeconds ? std::string() : zoneName,
            columns.file ? row[*columns.file] : std::string()});
    }
    return recordings;
}

}  // namespace vane
