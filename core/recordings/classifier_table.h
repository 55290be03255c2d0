#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"
#include "core/recordings/imported_recording.h"

namespace vane {

// The tables identification programs write, one row per recording, told apart by their header.
enum class ClassifierFormat {
    IdCsv,             // DATE, TIME, OFFSET, AUTO ID*, MATCH RATIO, MANUAL ID, ...
    SpeciesSheet,      // Filename, Timestamp, Species Manual ID, SppAccp, ...
    ObservationsList,  // "nom du fichier";"temps_debut";"tadarida_taxon";...
    NamedColumns,      // any other table, with the columns the user named
    TitledColumns,     // any other table whose time and species columns their titles name
};

// The columns of a table no program wrote, as the user names them (by header name).
struct NamedColumns {
    std::vector<std::string> time;  // one full time stamp, or a date column and a time column
    std::string label{};            // optional
    std::string probability{};      // optional, 0 to 1

    bool given() const { return !time.empty(); }
};

// The format whose header this is, or nothing for a table no known program writes.
std::optional<ClassifierFormat> recogniseClassifierHeader(const std::vector<std::string>& header);

// Whether the first line of `text` is the header of a known identification program's table.
bool looksLikeClassifierTable(std::string_view text);

// Whether the first line of `text` that is neither blank nor a '#' comment is the header of a
// table with species that no known program wrote (a column named like "species", "taxon",
// "label", "SPECDESCSCI", "scientific name", "MANUAL ID"), such as one row per tag. Read as
// times alone its labels would be lost, so readClassifierTable() reads it where titles name its
// time column too, and otherwise refuses it with its columns unless they are named; once Vane
// knows its kind, the header is recognised before this.
bool looksLikeUnknownLabelledTable(std::string_view text);

struct ClassifierTable {
    ClassifierFormat format = ClassifierFormat::NamedColumns;
    std::vector<ImportedRecording> recordings;  // in file order
    bool hasProbability = false;                // the table has a probability column
    std::vector<RefusedRow> refused{};          // with BadRows::Skip, the rows left out
};

// What a row that cannot be read does: refuse the whole table (the command line, all or
// nothing), or go into the list of rows left out (the desktop, which shows that list).
enum class BadRows { Refuse, Skip };

inline constexpr std::string_view kClassifierTableKind = "recording table";

// Reads every row of the table in `text`. Times without an offset are local time in `zone`. A
// manual label (the validator's over the observer's) wins over the automatic one. The format is
// recognised from the header unless `named` names the columns; a table that is neither is
// refused with the columns it has and the options that name them. A row that cannot be read
// refuses the whole table with its line, so nothing is half imported.
Outcome<ClassifierTable> readClassifierTable(std::string_view text, const std::string& fileName,
                                             const icu::TimeZone& zone,
                                             const NamedColumns& named = {},
                                             BadRows badRows = BadRows::Refuse);

}  // namespace vane
