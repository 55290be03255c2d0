#include "cli/wind_file_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/problem_report.h"
#include "core/files/input_file.h"
#include "core/files/shown_content.h"
#include "core/import/column_names.h"
#include "core/import/missing_markers.h"
#include "core/import/split_choices.h"
#include "core/import/text_encodings.h"
#include "core/import/wind_dates.h"

namespace vane::cli {
namespace {

std::optional<StringEncoding> encodingFromText(const std::string& text) {
    if (!text.empty() &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (text.size() > 10) {
            return std::nullopt;
        }
        const auto number = static_cast<StringEncoding>(std::stoull(text));
        const std::vector<EncodingEntry> offered = allAvailableEncodings();
        const bool isOffered =
            std::any_of(offered.begin(), offered.end(), [number](const EncodingEntry& entry) {
                return static_cast<StringEncoding>(entry.number) == number;
            });
        return isOffered ? std::optional(number) : std::nullopt;
    }
    const std::int32_t number = numberFromLocalizedStringEncodingName(text);
    return number == 0 ? std::nullopt : std::optional(static_cast<StringEncoding>(number));
}

std::optional<int> lineEndingFromText(const std::string& text) {
    if (text == "lf") {
        return kLineEndingLf;
    }
    if (text == "crlf") {
        return kLineEndingCrLf;
    }
    if (text == "cr") {
        return kLineEndingCr;
    }
    return std::nullopt;
}

FieldSeparatorChoice fieldSeparatorFromText(const std::string& text) {
    if (text == "tab" || text == "\t") {
        return {2, std::string(kFieldSeparatorTitles[2])};
    }
    return {0, text};
}

}  // namespace

void addWindFileOptions(CLI::App& command, WindFileOptions& options) {
    command.add_option("--encoding", options.encoding,
                       "Read the wind file in this encoding (name or number below) instead of\n"
                       "detecting it");
    command
        .add_option("--line-ending", options.lineEnding,
                    "lf, crlf or cr; default: crlf if the text holds CR LF, else cr if it holds\n"
                    "CR, else lf")
        ->check(CLI::IsMember({"lf", "crlf", "cr"}));
    command.add_option("--field-separator", options.fieldSeparator,
                       "Text between fields, or tab; default: the most frequent of ';', ',' and\n"
                       "tab in the header line");
    command.add_option("--starting-line", options.startingLine,
                       "Line of the header row, counted from 1; earlier lines are a preamble.\n"
                       "Default: the first line whose fields are mostly no numbers and whose\n"
                       "field count the lines below it share");
    command
        .add_option("--unit-rows", options.unitRows,
                    "Rows under the header row that give each column's unit or processing\n"
                    "(m/s, Avg) and are no data; default: the rows there that name such units")
        ->check(CLI::Range(0, 3));
    command.add_option("--missing", options.missing,
                       "Comma-separated markers of missing readings, left out like readings\n"
                       "that are no number; default: -9999,-7999,-999,9999,NaN,NA,---,(empty)");
    command
        .add_option("--stamps", options.stamps,
                    "begin or end: which end of its measuring step each row's time stamp\n"
                    "marks; default: what the preamble says (\"Time stamps indicate the\n"
                    "beginning of the time step.\"), else end")
        ->check(CLI::IsMember({"begin", "end"}));
}

bool isZoneChoice(std::string_view zone) {
    return isFixedOffsetText(zone) || isZoneName(zone);
}

Problem badZone(std::string_view zone) {
    return badUsage(
        "--zone takes an offset such as +0100 or -0500, or a zone name such as "
        "Europe/Berlin, not \"" +
        shownContent(zone) + "\"");
}

Outcome<WindFileChoices> windFileChoices(const WindFileOptions& options) {
    WindFileChoices chosen;
    TextChoices& text = chosen.text;
    if (options.encoding) {
        const std::optional<StringEncoding> encoding = encodingFromText(*options.encoding);
        if (!encoding) {
            return badUsage("unknown encoding \"" + *options.encoding +
                            "\" (see --help for the list)");
        }
        text.encoding = *encoding;
    }
    if (options.lineEnding) {
        const std::optional<int> lineEnding = lineEndingFromText(*options.lineEnding);
        if (!lineEnding) {
            return badUsage("--line-ending takes lf, crlf or cr, not \"" + *options.lineEnding +
                            "\"");
        }
        text.lineEndingIndex = *lineEnding;
    }
    if (options.fieldSeparator) {
        if (options.fieldSeparator->empty()) {
            return badUsage("--field-separator needs a separator, or tab");
        }
        text.fieldSeparator = fieldSeparatorFromText(*options.fieldSeparator);
    }
    if (options.startingLine) {
        text.startingLine = *options.startingLine;
    }
    if (options.unitRows) {
        text.unitRows = *options.unitRows;
    }
    if (options.missing) {
        chosen.missingMarkers = missingMarkersFromList(*options.missing);
    }
    if (options.stamps) {
        if (*options.stamps != "begin" && *options.stamps != "end") {
            return badUsage("--stamps takes begin or end, not \"" + shownContent(*options.stamps) +
                            "\"");
        }
        chosen.stamps = *options.stamps == "begin" ? StampConvention::begin : StampConvention::end;
    }
    return chosen;
}

Outcome<Chosen<int>> namedColumn(const std::optional<std::string>& name,
                                 const std::vector<std::string>& titles) {
    if (!name) {
        return Chosen<int>();
    }
    const std::optional<int> item = columnItemNamed(*name, titles);
    if (!item) {
        return badUsage(noSuchColumn(*name, titles));
    }
    return Chosen<int>(*item);
}

void sayChoiceNotes(const ResolvedChoices& resolved, const std::vector<std::string>& titles,
                    std::ostream& err) {
    struct Words {
        ChoiceField field;
        const char* title;
        const Chosen<int> WindFileChoices::*column;
        const char* option;
    };
    static constexpr Words kWords[] = {
        {ChoiceField::dateTimeColumn, "Date/time column", &WindFileChoices::dateTimeColumn,
         "--date-column"},
        {ChoiceField::dayColumn, "Day-of-year column", &WindFileChoices::dayColumn,
         "--wind-day-column"},
        {ChoiceField::windColumn, "Wind column", &WindFileChoices::windColumn, "--wind-column"},
        {ChoiceField::temperatureColumn, "Temperature column", &WindFileChoices::temperatureColumn,
         "--temperature-column"},
    };
    for (const ChoiceNote& note : resolved.notes) {
        if (note.field == ChoiceField::stamps) {
            err << "Time stamps: at the "
                << (*resolved.choices.stamps == StampConvention::begin ? "beginning" : "end")
                << " of each step (" << note.why << "; choose otherwise with --stamps)\n";
            continue;
        }
        if (note.field == ChoiceField::timeZone) {
            err << "Zone of the time stamps: " << *resolved.choices.timeZone << " (" << note.why
                << "; choose another with --zone)\n";
            continue;
        }
        const auto words = std::find_if(std::begin(kWords), std::end(kWords),
                                        [&note](const Words& w) { return w.field == note.field; });
        if (words == std::end(kWords)) {
            continue;
        }
        const int item = *(resolved.choices.*(words->column));
        err << words->title << ": " << item << " "
            << shownContent(titles.at(static_cast<std::size_t>(item) - 1)) << " ("
            << (note.untitled ? "no title names one, " : "") << note.why << "; choose another with "
            << words->option << ")\n";
    }
}

std::string encodingListHelp() {
    std::string list = "Encodings (name or number for --encoding):";
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        list += "\n  " + std::to_string(entry.number) + "  " + entry.displayName;
    }
    return list;
}

Outcome<WindFileView> readWindFile(const std::filesystem::path& file, const TextChoices& chosen) {
    // A file that cannot be read at all is said so plainly; only one whose bytes are no text
    // earns the request to send it in.
    Outcome<std::string> bytes = readInputFile(file, "wind file");
    if (!bytes) {
        return std::move(bytes).error();
    }
    return viewWindFileBytes(*std::move(bytes), file, chosen);
}

}  // namespace vane::cli
