#include "core/recordings/classifier_table.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "core/files/shown_content.h"
#include "core/recordings/csv_rows.h"
#include "core/recordings/file_name_timestamp.h"
#include "core/recordings/list_file.h"
#include "core/text/ascii.h"
#include "core/text/column_titles.h"
#include "core/time/iso_timestamp.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

// Header names as compared: lower case, so "Auto ID*" and "AUTO ID*" are one column.
class Header {
  public:
    explicit Header(const std::vector<std::string>& names) : names_(names) {
        for (const std::string& name : names) {
            lowered_.push_back(lowercaseTitle(name));
        }
    }

    std::optional<std::size_t> find(std::string_view name) const {
        const auto it = std::find(lowered_.begin(), lowered_.end(), lowercaseTitle(name));
        return it == lowered_.end() ? std::nullopt
                                    : std::optional<std::size_t>(it - lowered_.begin());
    }
    std::optional<std::size_t> findPrefix(std::string_view prefix) const {
        const std::string key = lowercaseTitle(prefix);
        for (std::size_t c = 0; c < lowered_.size(); ++c) {
            if (lowered_[c].starts_with(key)) {
                return c;
            }
        }
        return std::nullopt;
    }
    bool has(std::string_view name) const { return find(name).has_value(); }
    const std::vector<std::string>& names() const { return names_; }

  private:
    std::vector<std::string> names_;
    std::vector<std::string> lowered_;
};

std::optional<ClassifierFormat> recognise(const Header& header) {
    if (header.has("IN FILE") && header.has("DATE") && header.has("TIME") &&
        header.findPrefix("AUTO ID")) {
        return ClassifierFormat::IdCsv;
    }
    if (header.has("Filename") && (header.has("Species Manual ID") || header.has("SppAccp"))) {
        return ClassifierFormat::SpeciesSheet;
    }
    if (header.has("nom du fichier") && header.has("tadarida_taxon")) {
        return ClassifierFormat::ObservationsList;
    }
    return std::nullopt;
}

// A table from its header on: blank lines and '#' comments above it, as lists have them, are
// left out, and counted so that rows keep the numbers of their lines in the file.
struct FromHeader {
    std::string_view text;
    std::size_t firstLine = 1;
};
FromHeader fromHeader(std::string_view text) {
    FromHeader table{withoutByteOrderMark(text)};
    while (!table.text.empty()) {
        const std::size_t end = table.text.find('\n');
        const std::string_view line = table.text.substr(0, end);
        if (!trimmed(line).empty() && !line.starts_with('#')) {
            break;
        }
        table.text.remove_prefix(end == std::string_view::npos ? table.text.size() : end + 1);
        ++table.firstLine;
    }
    return table;
}

// The header row, as the rows of the table are read (a quoted title may hold a line break).
std::vector<std::string> headerOf(std::string_view text) {
    const FromHeader table = fromHeader(text);
    CsvRows rows(table.text, detectCsvSeparator(table.text));
    std::vector<std::string> header;
    rows.next(header);
    return header;
}

std::string inQuotes(std::string_view text) {
    return "\"" + shownContent(text) + "\"";
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + inQuotes(name);
    }
    return text;
}

// Where each field of one format is; a column that is absent stays empty.
struct Layout {
    std::optional<std::size_t> timestamp, date, time, offset, file;
    std::vector<std::size_t> labelsByPrecedence;  // the first filled one wins
    std::size_t manualFrom = 0;                   // labels before this index were set by a person
    std::optional<std::size_t> probability;
    // A tag table's columns that may say who set a row's tag, and those that tell recordings at
    // the same time apart (the recorder's place).
    std::vector<std::size_t> tagSetters, places;
};

Outcome<Layout> layoutOf(ClassifierFormat format, const Header& header, const NamedColumns& named) {
    Layout layout;
    const auto take = [&](std::optional<std::size_t> column) {
        if (column) {
            layout.labelsByPrecedence.push_back(*column);
        }
    };
    switch (format) {
        case ClassifierFormat::IdCsv:
            layout.date = header.find("DATE");
            layout.time = header.find("TIME");
            layout.offset = header.find("OFFSET");
            layout.file = header.find("IN FILE");
            take(header.find("MANUAL ID"));
            layout.manualFrom = layout.labelsByPrecedence.size();
            take(header.findPrefix("AUTO ID"));
            layout.probability = header.find("MATCH RATIO");
            return layout;
        case ClassifierFormat::SpeciesSheet:
            layout.timestamp = header.find("Timestamp");
            layout.file = header.find("Filename");
            take(header.find("Species Manual ID"));
            layout.manualFrom = layout.labelsByPrecedence.size();
            take(header.find("SppAccp"));
            layout.probability = header.find("Prob");
            return layout;
        case ClassifierFormat::ObservationsList:
            layout.file = header.find("nom du fichier");
            layout.offset = header.find("temps_debut");
            take(header.find("validateur_taxon"));
            take(header.find("observateur_taxon"));
            layout.manualFrom = layout.labelsByPrecedence.size();
            take(header.find("tadarida_taxon"));
            layout.probability = header.find("tadarida_probabilite");
            return layout;
        case ClassifierFormat::NamedColumns:
        case ClassifierFormat::TitledColumns:
            break;
    }
    std::vector<std::size_t> time;
    for (const std::string& name : named.time) {
        const auto column = header.find(name);
        if (!column) {
            return Problem{
                "Problem with recording table",
                "no column " + inQuotes(name) + "; the table has " + joined(header.names()),
                {},
                0,
                {},
                ProblemKind::badUsage};
        }
        time.push_back(*column);
    }
    if (time.size() == 1) {
        layout.timestamp = time[0];
    } else if (time.size() == 2) {
        layout.date = time[0];
        layout.time = time[1];
    } else {
        return Problem{"Problem with recording table",
                       "--time-column names one time stamp column, or a date column and a time "
                       "column",
                       {},
                       0,
                       {},
                       ProblemKind::badUsage};
    }
    for (const auto& [name, target] :
         {std::pair{&named.label, 0}, std::pair{&named.probability, 1}}) {
        if (name->empty()) {
            continue;
        }
        const auto column = header.find(*name);
        if (!column) {
            return Problem{
                "Problem with recording table",
                "no column " + inQuotes(*name) + "; the table has " + joined(header.names()),
                {},
                0,
                {},
                ProblemKind::badUsage};
        }
        if (target == 0) {
            layout.labelsByPrecedence.push_back(*column);
        } else {
            layout.probability = column;
        }
    }
    return layout;
}

// Titles of species columns a person fills ("MANUAL ID", "Species Manual ID") and those any
// source fills; a person's label wins.
bool isManualSpeciesTitle(const std::string& lowered) {
    return lowered.find("manual") != std::string::npos || lowered == "validateur_taxon";
}

bool isSpeciesTitle(const std::string& lowered) {
    return isManualSpeciesTitle(lowered) || lowered.starts_with("auto id") || lowered == "label" ||
           lowered == "specdescsci" || lowered == "scientific name" ||
           lowered == "scientific_name" || lowered == "sppaccp" || lowered == "spp" ||
           lowered.find("species") != std::string::npos ||
           lowered.find("taxon") != std::string::npos;
}

// A tag table's "speciesIndividualNumber" or "speciesIndividualComment" names no species.
bool isSpeciesDetailTitle(const std::string& lowered) {
    for (const std::string_view detail : {"number", "count", "comment", "note", "prob", "score"}) {
        if (lowered.find(detail) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A tag table's column that may say who set the tag: "speciesIndividualComment" holding
// "Manual ID" or "AUTO ID", "tag source", "method".
bool isTagSetterTitle(const std::string& lowered) {
    return titleContainsAny(
        lowered, {"comment", "method", "source", "tagged", "verif", "id type", "tag type"});
}

bool isPlaceTitle(const std::string& lowered) {
    return titleContainsAny(lowered, {"location", "site", "station", "deployment", "recorder"});
}

enum class TagSetter { unsaid, person, classifier };

TagSetter tagSetterOf(std::string_view value) {
    std::string said = asciiLowercase(trimmed(value));
    std::replace_if(
        said.begin(), said.end(), [](char c) { return c == '_' || c == '-'; }, ' ');
    for (const std::string_view person : {"manual id", "manual", "manual tag", "person", "human"}) {
        if (said == person) {
            return TagSetter::person;
        }
    }
    for (const std::string_view classifier :
         {"auto id", "auto", "automatic", "auto tag", "autotag", "classifier", "recognizer"}) {
        if (said == classifier) {
            return TagSetter::classifier;
        }
    }
    return TagSetter::unsaid;
}

// The time and species columns of a table no program wrote, from their titles: one time stamp
// ("Timestamp", "DateTime", "Date/Time", "recordingDate") or a date and a "Time" column, and
// the species columns, a person's first; nothing unless both are there.
std::optional<Layout> titledLayout(const std::vector<std::string>& names) {
    Layout layout;
    std::vector<std::size_t> automatic;
    for (std::size_t c = 0; c < names.size(); ++c) {
        const std::string lowered = lowercaseTitle(names[c]);
        const bool date = titleContainsAny(lowered, {"date", "datum"});
        if (lowered.find("timestamp") != std::string::npos ||
            (date && titleContainsAny(lowered, {"time", "zeit"}))) {
            layout.timestamp = layout.timestamp.value_or(c);
        } else if (date) {
            layout.date = layout.date.value_or(c);
        } else if (lowered == "time" || lowered == "zeit" || lowered == "uhrzeit") {
            // A whole title only: "startTime" in a tag table is the tag's place in the recording.
            layout.time = layout.time.value_or(c);
        } else if (isSpeciesTitle(lowered) && !isSpeciesDetailTitle(lowered)) {
            (isManualSpeciesTitle(lowered) ? layout.labelsByPrecedence : automatic).push_back(c);
        } else if (isTagSetterTitle(lowered)) {
            layout.tagSetters.push_back(c);
        } else if (isPlaceTitle(lowered)) {
            layout.places.push_back(c);
        }
    }
    if (layout.timestamp) {
        layout.date.reset();
        layout.time.reset();
    } else if (layout.date && !layout.time) {
        std::swap(layout.timestamp, layout.date);
    }
    layout.manualFrom = layout.labelsByPrecedence.size();
    layout.labelsByPrecedence.insert(layout.labelsByPrecedence.end(), automatic.begin(),
                                     automatic.end());
    if ((!layout.timestamp && !(layout.date && layout.time)) || layout.labelsByPrecedence.empty()) {
        return std::nullopt;
    }
    return layout;
}

std::string dateWithDashes(std::string_view date) {
    std::string text(date);
    std::replace(text.begin(), text.end(), '/', '-');
    return text;
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

struct RowTime {
    double instant = 0.0;
    int utcOffsetSeconds = 0;
    bool local = true;
};

std::optional<RowTime> timeOf(const Layout& layout, const std::vector<std::string>& row,
                              const icu::TimeZone& zone) {
    std::optional<RowTime> found;
    const auto fromStamp = [&](const std::optional<IsoTimestamp>& stamp) {
        if (stamp) {
            const double instant = toInstant(*stamp, zone);
            found =
                RowTime{instant, stamp->utcOffsetSeconds.value_or(utcOffsetSeconds(instant, zone)),
                        !stamp->utcOffsetSeconds};
        }
    };
    if (layout.timestamp) {
        fromStamp(parseIsoTimestamp(row[*layout.timestamp]));
    } else if (layout.date && layout.time) {
        fromStamp(parseIsoTimestamp(dateWithDashes(row[*layout.date]) + " " + row[*layout.time]));
    }
    if (!found && layout.file) {
        if (const auto stamp = parseFileNameTimestamp(baseName(row[*layout.file]))) {
            const double instant = stamp->utc ? utcInstant(stamp->local) + stamp->fraction
                                              : localInstant(stamp->local, zone) + stamp->fraction;
            found = RowTime{instant, stamp->utc ? 0 : utcOffsetSeconds(instant, zone), !stamp->utc};
        }
    }
    if (found && layout.offset && !row[*layout.offset].empty()) {
        const auto seconds = parseDecimal(row[*layout.offset]);
        if (!seconds || *seconds < 0) {
            return std::nullopt;
        }
        found->instant += *seconds;
    }
    return found;
}

std::string timeColumnsOf(const Layout& layout, const Header& header) {
    std::vector<std::string> names;
    for (const auto& column : {layout.timestamp, layout.date, layout.time, layout.file}) {
        if (column) {
            names.push_back(header.names()[*column]);
        }
    }
    return joined(names);
}

std::string timeValuesOf(const Layout& layout, const std::vector<std::string>& row) {
    std::vector<std::string> values;
    for (const auto& column : {layout.timestamp, layout.date, layout.time, layout.file}) {
        if (column) {
            values.push_back(row[*column]);
        }
    }
    return joined(values);
}

// A tag table's rows of one recording: where a person tagged it, the classifier's tags give way,
// as a manual label wins in one row. `tagged[i]` names the recording of row i (none without a
// column that says who set the tags).
void keepPersonsTags(std::vector<ImportedRecording>& recordings,
                     const std::vector<std::string>& tagged) {
    if (tagged.size() != recordings.size()) {
        return;
    }
    std::set<std::string_view> byPerson;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (recordings[i].manualLabel) {
            byPerson.insert(tagged[i]);
        }
    }
    if (byPerson.empty()) {
        return;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (recordings[i].manualLabel || !byPerson.contains(tagged[i])) {
            recordings[kept++] = std::move(recordings[i]);
        }
    }
    recordings.resize(kept);
}

}  // namespace

std::optional<ClassifierFormat> recogniseClassifierHeader(const std::vector<std::string>& header) {
    return recognise(Header(header));
}

bool looksLikeClassifierTable(std::string_view text) {
    return recogniseClassifierHeader(headerOf(text)).has_value();
}

bool looksLikeUnknownLabelledTable(std::string_view text) {
    const std::vector<std::string> header = headerOf(text);
    if (header.size() < 2 || recogniseClassifierHeader(header)) {
        return false;
    }
    return std::any_of(header.begin(), header.end(), [](const std::string& name) {
        return isSpeciesTitle(lowercaseTitle(name));
    });
}

Outcome<ClassifierTable> readClassifierTable(std::string_view text, const std::string& fileName,
                                             const icu::TimeZone& zone, const NamedColumns& named,
                                             BadRows badRows) {
    const FromHeader body = fromHeader(text);
    CsvRows rows(body.text, detectCsvSeparator(body.text), body.firstLine);
    std::vector<std::string> fields;
    const auto problem = [&](std::size_t line, std::string message) {
        return Problem{"Problem with recording table", std::move(message), fileName, line, {},
                       ProblemKind::badInput};
    };
    if (!rows.next(fields)) {
        return problem(0, "is empty");
    }
    const Header header(fields);
    ClassifierTable table;
    if (named.given()) {
        table.format = ClassifierFormat::NamedColumns;
    } else if (const auto format = recognise(header)) {
        table.format = *format;
    } else if (titledLayout(header.names())) {
        table.format = ClassifierFormat::TitledColumns;
    } else {
        return problem(0,
                       "is no table Vane knows; it has the columns " + joined(header.names()) +
                           ". Name the time with --time-column NAME (twice for a date and a time "
                           "column), the species with --label-column NAME and the probability with "
                           "--probability-column NAME");
    }
    Outcome<Layout> layout = table.format == ClassifierFormat::TitledColumns
                                 ? Outcome<Layout>(*titledLayout(header.names()))
                                 : layoutOf(table.format, header, named);
    if (!layout) {
        Problem why = std::move(layout).error();
        why.file = fileName;
        return why;
    }
    table.hasProbability = layout->probability.has_value();
    std::size_t needed = 0;
    for (const auto& column : {layout->timestamp, layout->date, layout->time, layout->offset,
                               layout->file, layout->probability}) {
        needed = std::max(needed, column.value_or(0) + 1);
    }
    for (const auto* columns :
         {&layout->labelsByPrecedence, &layout->tagSetters, &layout->places}) {
        for (const std::size_t column : *columns) {
            needed = std::max(needed, column + 1);
        }
    }
    // Which recording each row tags, where a row may say who set its tag.
    std::vector<std::string> tagged;
    const std::string zoneName = timeZoneId(zone);
    while (rows.next(fields)) {
        // Spreadsheets drop empty fields at a row's end; they read as empty.
        if (fields.size() < needed) {
            fields.resize(needed);
        }
        const std::optional<RowTime> time = timeOf(*layout, fields, zone);
        if (!time) {
            std::string why = "expected a date and time in " + timeColumnsOf(*layout, header) +
                              ", found " + timeValuesOf(*layout, fields);
            if (badRows == BadRows::Refuse) {
                return problem(rows.line(), std::move(why));
            }
            table.refused.push_back({rows.line(), std::move(why)});
            continue;
        }
        ImportedRecording recording{time->instant, time->utcOffsetSeconds,
                                    time->local ? zoneName : std::string(),
                                    layout->file ? fields[*layout->file] : std::string()};
        for (std::size_t i = 0; i < layout->labelsByPrecedence.size(); ++i) {
            const std::string& label = fields[layout->labelsByPrecedence[i]];
            if (!label.empty()) {
                recording.label = label;
                recording.manualLabel = i < layout->manualFrom;
                break;
            }
        }
        for (const std::size_t column : layout->tagSetters) {
            const TagSetter setter = tagSetterOf(fields[column]);
            if (!recording.label.empty() && setter != TagSetter::unsaid) {
                recording.manualLabel = setter == TagSetter::person;
                break;
            }
        }
        if (layout->probability && !fields[*layout->probability].empty()) {
            const auto probability = parseDecimal(fields[*layout->probability]);
            if (!probability || *probability < 0.0 || *probability > 1.0) {
                std::string why = "expected a probability from 0 to 1 in " +
                                  inQuotes(header.names()[*layout->probability]) + ", found " +
                                  inQuotes(fields[*layout->probability]);
                if (badRows == BadRows::Refuse) {
                    return problem(rows.line(), std::move(why));
                }
                table.refused.push_back({rows.line(), std::move(why)});
                continue;
            }
            recording.probability = probability;
        }
        if (!layout->tagSetters.empty()) {
            std::string recordingKey = timeValuesOf(*layout, fields);
            for (const std::size_t column : layout->places) {
                recordingKey += "\n" + fields[column];
            }
            tagged.push_back(std::move(recordingKey));
        }
        table.recordings.push_back(std::move(recording));
    }
    keepPersonsTags(table.recordings, tagged);
    return table;
}

}  // namespace vane
