// A CSV list of recordings, as imported into a library: split, column guess and times, from the
// whole table and row by row from the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/recordings/recording_csv.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vane::CsvTable table = vane::splitRecordingCsv(text);
    if (table.rows.size() != table.lineNumbers.size()) {
        std::abort();
    }
    (void)table.columnNames();
    const vane::RecordingColumns columns = vane::guessRecordingColumns(table);
    const vane::CsvRecordingsResult read =
        vane::readCsvRecordings(table, columns, vane::fuzz::berlin(), "list.csv");
    if (!read && read.error().describe().empty()) {
        std::abort();
    }
    // A long list is read from its text row by row: the same recordings, or the same refusal.
    const vane::CsvRecordingsResult streamed =
        vane::readCsvRecordings(text, vane::guessRecordingColumns(vane::splitRecordingCsv(text, 2)),
                                vane::fuzz::berlin(), "list.csv");
    if (streamed.has_value() != read.has_value() || (read && streamed->size() != read->size()) ||
        (!read && streamed.error().describe() != read.error().describe())) {
        std::abort();
    }
    // The desktop's reading, which keeps the good rows, with a label and a probability column.
    vane::RecordingColumns named = columns;
    if (!table.rows.empty() && !table.rows.front().empty()) {
        named.label = 0;
        named.probability = table.rows.front().size() - 1;
    }
    const auto kept =
        vane::readCsvRecordingsKeepingGoodRows(table, named, vane::fuzz::berlin(), "list.csv");
    if (kept && kept->recordings.size() + kept->refused.size() >
                    table.rows.size() - std::min(table.rows.size(), table.firstDataRow())) {
        std::abort();
    }
    return 0;
}
