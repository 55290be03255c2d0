// A CSV list of recordings, as imported into a library: split, column guess and times.
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
