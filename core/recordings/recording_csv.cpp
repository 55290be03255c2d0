#include "core/recordings/recording_csv.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <array>
#include <variant>

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

namespace {

// The rows of a delimited text one at a time, as splitRecordingCsv() takes them: skipped rows
// (blank, or a comment) are passed over.
class CsvSplitter {
  public:
    explicit CsvSplitter(std::string_view text)
        : text_(withoutByteOrderMark(text)), separator_(detectCsvSeparator(text_)) {}

    char separator() const { return separator_; }

    // The next row into `row`, with the line it began on; false at the end.
    bool next(std::vector<std::string>& row, std::size_t& rowLine) {
        while (i_ < text_.size() || !field_.empty() || !row_.empty()) {
            if (i_ >= text_.size()) {
                if (endRow(row, rowLine)) {
                    return true;
                }
                continue;
            }
            const char c = text_[i_++];
            if (inQuotes_) {
                if (c == '"' && i_ < text_.size() && text_[i_] == '"') {
                    field_ += '"';
                    ++i_;
                } else if (c == '"') {
                    inQuotes_ = false;
                } else {
                    line_ += c == '\n' ? 1 : 0;
                    field_ += c;
                }
            } else if (c == '"') {
                inQuotes_ = true;
            } else if (c == separator_) {
                row_.emplace_back(trimmed(field_, kLineBlanks));
                field_.clear();
            } else if (c == '\n') {
                const bool kept = endRow(row, rowLine);
                rowLine_ = ++line_;
                if (kept) {
                    return true;
                }
            } else {
                field_ += c;
            }
        }
        return false;
    }

  private:
    bool endRow(std::vector<std::string>& row, std::size_t& rowLine) {
        row_.emplace_back(trimmed(field_, kLineBlanks));
        field_.clear();
        const bool kept = !isSkippedRow(row_);
        if (kept) {
            row.swap(row_);
            rowLine = rowLine_;
        }
        row_.clear();
        return kept;
    }

    std::string_view text_;
    char separator_;
    std::size_t i_ = 0;
    std::vector<std::string> row_;
    std::string field_;
    bool inQuotes_ = false;
    std::size_t line_ = 1;
    std::size_t rowLine_ = 1;
};

// A file whose first row already holds a date has no header.
bool isHeader(const std::vector<std::string>& first) {
    return std::none_of(first.begin(), first.end(), [](const std::string& v) {
        return parseIsoTimestamp(v).has_value() || looksLikeDate(v);
    });
}

}  // namespace

CsvTable splitRecordingCsv(std::string_view text, std::size_t mostRows) {
    CsvSplitter splitter(text);
    CsvTable table;
    table.separator = splitter.separator();
    std::vector<std::string> row;
    std::size_t line = 0;
    while (table.rows.size() < mostRows && splitter.next(row, line)) {
        table.rows.push_back(std::move(row));
        table.lineNumbers.push_back(line);
        row.clear();
    }
    if (!table.rows.empty()) {
        table.hasHeader = isHeader(table.rows.front());
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

RecordingColumns withGuessedLabelColumns(const CsvTable& table, RecordingColumns columns) {
    const std::vector<std::string> names = table.columnNames();
    for (std::size_t c = 0; c < names.size() && table.hasHeader; ++c) {
        const std::string name = asciiLowercase(names[c]);
        if (!columns.label && (name == "species" || name == "label")) {
            columns.label = c;
        } else if (!columns.probability && name.find("prob") != std::string::npos) {
            columns.probability = c;
        }
    }
    return columns;
}

namespace {

// One row as a recording, or why it is none.
class RowReader {
  public:
    RowReader(const CsvTable& table, const RecordingColumns& columns, const icu::TimeZone& zone)
        : columns_(columns),
          zone_(zone),
          names_(table.columnNames()),
          zoneName_(timeZoneId(zone)),
          needed_(std::max({columns.timestamp.value_or(0), columns.date.value_or(0),
                            columns.time.value_or(0), columns.file.value_or(0),
                            columns.label.value_or(0), columns.probability.value_or(0)}) +
                  1) {}

    std::variant<ImportedRecording, std::string> read(const std::vector<std::string>& row) const {
        if (row.size() < needed_) {
            return "expected at least " + std::to_string(needed_) + " fields, found " +
                   std::to_string(row.size());
        }
        const std::optional<IsoTimestamp> stamp = stampOf(row, columns_);
        if (!stamp) {
            const std::string found = columns_.timestamp
                                          ? shownContent(nameOf(*columns_.timestamp)) + " " +
                                                quoted(row[*columns_.timestamp])
                                          : shownContent(nameOf(*columns_.date)) + " " +
                                                quoted(row[*columns_.date]) + " and " +
                                                shownContent(nameOf(*columns_.time)) + " " +
                                                quoted(row[*columns_.time]);
            return "expected a date and time such as 2012-06-21 21:03:00, found " + found;
        }
        const double instant = toInstant(*stamp, zone_);
        ImportedRecording recording{
            instant, stamp->utcOffsetSeconds.value_or(utcOffsetSeconds(instant, zone_)),
            stamp->utcOffsetSeconds ? std::string() : zoneName_,
            columns_.file ? row[*columns_.file] : std::string()};
        if (columns_.label) {
            recording.label = row[*columns_.label];
        }
        if (columns_.probability && !row[*columns_.probability].empty()) {
            const std::optional<double> probability = parseDecimal(row[*columns_.probability]);
            if (!probability || *probability < 0.0 || *probability > 1.0) {
                return "expected a probability from 0 to 1 in " +
                       shownContent(nameOf(*columns_.probability)) + ", found " +
                       quoted(row[*columns_.probability]);
            }
            recording.probability = probability;
        }
        return recording;
    }

  private:
    // As the whole table names it, also where the rows read so far are narrower than the column.
    std::string nameOf(std::size_t column) const {
        return column < names_.size() ? names_[column] : "Column " + std::to_string(column + 1);
    }

    const RecordingColumns& columns_;
    const icu::TimeZone& zone_;
    std::vector<std::string> names_;
    std::string zoneName_;
    std::size_t needed_;
};

constexpr std::string_view kNoTimeColumns =
    "choose a time stamp column, or a date column and a time column";

}  // namespace

CsvRecordingsResult readCsvRecordings(const CsvTable& table, const RecordingColumns& columns,
                                      const icu::TimeZone& zone, const std::string& fileName) {
    if (!columns.isComplete()) {
        return listFileProblem(kRecordingListKind, fileName, 0, std::string(kNoTimeColumns));
    }
    const RowReader reader(table, columns, zone);
    std::vector<ImportedRecording> recordings;
    // Grown by doubling, millions of recordings would for a moment be held one and a half times.
    recordings.reserve(table.rows.size());
    for (std::size_t r = table.firstDataRow(); r < table.rows.size(); ++r) {
        auto read = reader.read(table.rows[r]);
        if (auto* reason = std::get_if<std::string>(&read)) {
            return listFileProblem(kRecordingListKind, fileName, table.lineNumbers[r],
                                   std::move(*reason));
        }
        recordings.push_back(std::move(std::get<ImportedRecording>(read)));
    }
    return recordings;
}

CsvRecordingsResult readCsvRecordings(std::string_view text, const RecordingColumns& columns,
                                      const icu::TimeZone& zone, const std::string& fileName) {
    if (!columns.isComplete()) {
        return listFileProblem(kRecordingListKind, fileName, 0, std::string(kNoTimeColumns));
    }
    const CsvTable head = splitRecordingCsv(text, 1);
    const RowReader reader(head, columns, zone);
    std::vector<ImportedRecording> recordings;
    recordings.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    CsvSplitter splitter(text);
    std::vector<std::string> row;
    std::size_t line = 0;
    for (bool first = true; splitter.next(row, line); first = false) {
        if (first && head.hasHeader) {
            continue;
        }
        auto read = reader.read(row);
        if (auto* reason = std::get_if<std::string>(&read)) {
            return listFileProblem(kRecordingListKind, fileName, line, std::move(*reason));
        }
        recordings.push_back(std::move(std::get<ImportedRecording>(read)));
    }
    return recordings;
}

Outcome<CsvRecordingsRead> readCsvRecordingsKeepingGoodRows(const CsvTable& table,
                                                            const RecordingColumns& columns,
                                                            const icu::TimeZone& zone,
                                                            const std::string& fileName) {
    if (!columns.isComplete()) {
        return listFileProblem(kRecordingListKind, fileName, 0, std::string(kNoTimeColumns));
    }
    const RowReader reader(table, columns, zone);
    CsvRecordingsRead read;
    read.recordings.reserve(table.rows.size());
    for (std::size_t r = table.firstDataRow(); r < table.rows.size(); ++r) {
        auto row = reader.read(table.rows[r]);
        if (auto* reason = std::get_if<std::string>(&row)) {
            read.refused.push_back({table.lineNumbers[r], std::move(*reason)});
        } else {
            read.recordings.push_back(std::move(std::get<ImportedRecording>(row)));
        }
    }
    return read;
}

}  // namespace vane
