// A CSV list of recordings, as imported into a library: split, column guess and times.
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
    return 0;
}
