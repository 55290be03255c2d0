#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/recording_list.h"

namespace vane {

// A delimited text file of recordings, split into fields. Lines that are blank or start with '#'
// are left out; each row keeps the line it started on, for messages.
struct CsvTable {
    char separator = ',';
    bool hasHeader = true;  // the first row names the columns
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> lineNumbers;  // of each row, counted from 1

    std::vector<std::string> columnNames() const;  // the header, or "Column 1", "Column 2", ...
    std::size_t firstDataRow() const { return hasHeader ? 1 : 0; }
};

// Splits on the most frequent of ',', ';' and tab in the first line, with '"' quoting ("" is a
// quote inside a quoted field, which may span lines). A UTF-8 byte order mark is dropped.
// With `mostRows`, only the first rows: enough to guess the columns of a list of millions.
CsvTable splitRecordingCsv(std::string_view text,
                           std::size_t mostRows = std::numeric_limits<std::size_t>::max());

// Where the time of a recording is: one column with a full time stamp, or a date column and a
// time column (such as DATE and TIME in a classifier's output). The file, label and probability
// columns are optional.
struct RecordingColumns {
    std::optional<std::size_t> timestamp{};
    std::optional<std::size_t> date{};
    std::optional<std::size_t> time{};
    std::optional<std::size_t> file{};
    std::optional<std::size_t> label{};
    std::optional<std::size_t> probability{};  // of the label, 0 to 1

    bool isComplete() const { return timestamp || (date && time); }
};

// Guessed from the header's names and the first data row's values.
RecordingColumns guessRecordingColumns(const CsvTable& table);

// `columns` with a label column (one named "species" or "label") and a probability column (one
// whose name holds "prob") where the header has them. Only for a person to confirm: a list read
// without being asked keeps taking no labels.
RecordingColumns withGuessedLabelColumns(const CsvTable& table, RecordingColumns columns);

// In file order.
using CsvRecordingsResult = Outcome<std::vector<ImportedRecording>>;

// Dates are YYYY-MM-DD (or with '/'), times HH:MM[:SS[.fraction]]; both as parseIsoTimestamp
// takes them, local time of `zone` unless an offset is given. A row that cannot be read stops
// the whole import with its line, so that nothing is half imported.
CsvRecordingsResult readCsvRecordings(const CsvTable& table, const RecordingColumns& columns,
                                      const icu::TimeZone& zone, const std::string& fileName);

// The same over the text itself, a row at a time, without holding the table: for lists of
// millions. The names in messages are those of the first row.
CsvRecordingsResult readCsvRecordings(std::string_view text, const RecordingColumns& columns,
                                      const icu::TimeZone& zone, const std::string& fileName);

struct CsvRecordingsRead {
    std::vector<ImportedRecording> recordings;  // in file order
    std::vector<RefusedRow> refused;            // in file order
};

// As readCsvRecordings, but every row that reads is kept and the others are listed, as a folder
// import lists the files it skips. Fails only when the columns do not name a time.
Outcome<CsvRecordingsRead> readCsvRecordingsKeepingGoodRows(const CsvTable& table,
                                                            const RecordingColumns& columns,
                                                            const icu::TimeZone& zone,
                                                            const std::string& fileName);

}  // namespace vane
