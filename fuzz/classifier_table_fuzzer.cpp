// An identification program's table: its bytes made UTF-8, header recognition, rows, labels,
// probabilities and times, both as a known program's table and with columns named by the user,
// refusing or skipping bad rows; and any text given as recordings, which a table of unknown kind
// with species must not pass as times alone; and any text as a species label.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/recordings/bat_species.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/list_file.h"
#include "core/recordings/recording_source_file.h"
#include "core/recordings/species_groups.h"
#include "core/text/utf8.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A table file's bytes become UTF-8 a library can store, or are refused by line.
    const vane::Outcome<std::string> utf8 = vane::listText(std::string(text), "table.csv", "table");
    if (utf8 ? vane::firstUnstorableByte(*utf8).has_value() : utf8.error().line == 0) {
        std::abort();
    }
    (void)vane::looksLikeClassifierTable(text);
    // Any text as a species label: a pair of any length, a name, a code; always one with itself.
    static const vane::SpeciesGroups groups = vane::defaultSpeciesGroups();
    (void)groups.groupOf(text);
    if (!vane::sameLabel(text, text) || vane::labelKey(text) != vane::labelKey(text)) {
        std::abort();
    }
    const bool unknownWithSpecies = vane::looksLikeUnknownLabelledTable(text);
    const vane::Outcome<vane::RecordingSourceRead> source =
        vane::readRecordingText(text, "recordings.csv", vane::fuzz::berlin());
    // A table with species Vane does not know is read only as the table its titles name.
    if ((!source && source.error().describe().empty()) ||
        (source && unknownWithSpecies &&
         !vane::readClassifierTable(text, "recordings.csv", vane::fuzz::berlin(), {}))) {
        std::abort();
    }
    const vane::NamedColumns named{{"date", "time"}, "species", "p"};
    for (const vane::NamedColumns& columns : {vane::NamedColumns{}, named}) {
        const vane::Outcome<vane::ClassifierTable> table =
            vane::readClassifierTable(text, "table.csv", vane::fuzz::berlin(), columns);
        if (!table && table.error().describe().empty()) {
            std::abort();
        }
        // The desktop's reading lists the rows it cannot read and keeps the others.
        const vane::Outcome<vane::ClassifierTable> skipping = vane::readClassifierTable(
            text, "table.csv", vane::fuzz::berlin(), columns, vane::BadRows::Skip);
        if (table && (!skipping || !skipping->refused.empty() ||
                      skipping->recordings.size() != table->recordings.size())) {
            std::abort();
        }
    }
    return 0;
}
