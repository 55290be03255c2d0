#include "cli/inspect_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/problem_report.h"
#include "core/files/shown_content.h"
#include "core/import/analysis_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/text_encodings.h"
#include "core/import/wind_dates.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"

namespace vane::cli {
namespace {

std::string encodingSourceText(EncodingSource source) {
    switch (source) {
        case EncodingSource::detected:
            return "detected";
        case EncodingSource::fallback:
            return "fallback (detection failed)";
        case EncodingSource::chosen:
            return "chosen";
    }
    return {};
}

// Fields are printed as written, except control characters: a CR left in a field by the
// line ending LF must show, not move the cursor.
std::string visible(std::string_view field) {
    std::string shown;
    shown.reserve(field.size());
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            constexpr std::string_view kHex = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string guessedMark(bool guessed) {
    return guessed ? " (guessed)" : "";
}

std::string columnText(const std::vector<std::string>& titles, std::size_t item) {
    if (item == 0 || item > titles.size()) {
        return "none";
    }
    return std::to_string(item) + " " + visible(titles[item - 1]);
}

// The date/time columns and format to show: the guesses, or what the user named (the format
// then guessed for those columns).
struct DateChoice {
    std::size_t dateItem = 0;
    std::size_t timeItem = 0;
    std::optional<std::size_t> format;
    bool fromValues = false;
};

void printView(const WindFileView& view, const DateChoice& date, std::ostream& out) {
    out << "encoding: " << encodingDisplayName(view.encoding).value_or("unknown") << " ("
        << view.encoding << "), " << encodingSourceText(view.encodingSource) << '\n';
    out << "line-ending: " << kLineEndingTitles.at(static_cast<std::size_t>(view.lineEndingIndex))
        << guessedMark(view.lineEndingGuessed) << '\n';
    const std::string_view separator = fieldSeparatorText(view.fieldSeparator);
    out << "field-separator: " << (separator == "\t" ? "tab" : visible(separator))
        << guessedMark(view.fieldSeparatorGuessed) << '\n';
    out << "starting-line: " << view.startingLine
        << (view.startingLineFound && view.startingLine != 1 ? " (found)" : "") << '\n';

    out << "columns:";
    for (std::size_t k = 0; k < view.columnTitles.size(); ++k) {
        out << (k == 0 ? " " : " | ") << k + 1 << " " << visible(view.columnTitles[k]);
    }
    out << '\n';
    out << "data-rows: " << writtenDataRowCount(view.table) << '\n';
    out << "date-column: " << columnText(view.columnTitles, date.dateItem)
        << (date.fromValues ? " (no title names it; its values read as dates)" : "") << '\n';
    if (date.timeItem > 0) {
        out << "time-column: " << columnText(view.columnTitles, date.timeItem) << '\n';
    }
    // A sheet that guessed nothing keeps its first date format.
    const std::size_t format = date.format.value_or(0);
    out << "date-format: " << format << " " << kDateFormatItems.at(format)
        << (date.format ? " (guessed)" : " (not guessed)") << '\n';
    out << "wind-column: " << columnText(view.columnTitles, view.guesses.windItem);
    if (view.found.windFromUnit) {
        out << " (no title names it; its title says m/s)";
    }
    std::string unit;
    if (view.guesses.windItem > 0 &&
        windSpeedFactor(view.columnTitles.at(view.guesses.windItem - 1), &unit) != 1.0) {
        out << " (" << unit << ", converted to m/s)";
    }
    out << '\n';

    const std::size_t shown = std::min(kInspectPreviewRows, writtenDataRowCount(view.table));
    for (std::size_t r = 0; r < shown; ++r) {
        out << "row " << r + 1 << ":";
        for (std::size_t k = 0; k < view.columnTitles.size(); ++k) {
            out << (k == 0 ? " " : " | ") << visible(previewCell(view.table, r, k));
        }
        out << '\n';
    }
}

}  // namespace

int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err) {
    const Outcome<WindFileSettings> settings = windFileSettings(options.reading);
    if (!settings) {
        return reportProblem(settings.error(), err);
    }
    const Outcome<WindFileView> view = readWindFile(options.windFile, *settings);
    if (!view) {
        return reportProblem(view.error(), err);
    }
    DateChoice date{view->guesses.dateTimeItem, view->found.timeItem, view->guesses.dateFormatIndex,
                    view->found.dateTimeFromValues};
    if (options.dateColumn || options.timeColumn) {
        const std::pair<const std::optional<std::string>*, std::size_t*> named[] = {
            {&options.dateColumn, &date.dateItem}, {&options.timeColumn, &date.timeItem}};
        for (const auto& [text, item] : named) {
            if (!*text) {
                continue;
            }
            const std::optional<int> chosen = columnItemNamed(**text, view->columnTitles);
            if (!chosen) {
                return reportProblem(
                    {.title = "Bad usage", .message = noSuchColumn(**text, view->columnTitles)},
                    err);
            }
            *item = static_cast<std::size_t>(*chosen);
        }
        if (!options.timeColumn) {
            date.timeItem = guessTimeItem(view->columnTitles, date.dateItem);
        }
        date.fromValues = false;
        date.format =
            date.dateItem == 0
                ? std::nullopt
                : guessDateFormatItem(
                      view->table,
                      {date.dateItem - 1,
                       date.timeItem > 0 ? std::optional(date.timeItem - 1) : std::nullopt},
                      std::nullopt);
    }
    printView(*view, date, out);
    // What was found is shown all the same; the file is no table the analysis can read, and the
    // status says so as the analysis's does.
    if (view->tableProblem) {
        return reportProblem(*view->tableProblem, err);
    }
    return kExitSuccess;
}

void addInspectCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<InspectOptions>();
    CLI::App* command = app.add_subcommand(
        "inspect",
        "Read a wind file as the preview sheet does and show what it found: the text\n"
        "encoding, line ending, field separator, the columns, the number of data rows, the\n"
        "guessed date/time column (and time column), date format and wind column, and the\n"
        "first five data rows. The header row is found when --starting-line is not given.\n"
        "Choices not given are detected or guessed; give them to see the file as the analysis\n"
        "will read it with those choices.");
    command->footer(encodingListHelp());
    command->add_option("WIND_FILE", options->windFile, "Delimited text file of measurements")
        ->required();
    addWindFileOptions(*command, options->reading);
    command->add_option("--date-column", options->dateColumn,
                        "Column of the date (and time): number from 1 or header title; the\n"
                        "date format is then guessed for it");
    command->add_option("--time-column", options->timeColumn,
                        "Column of the time of day when the date column holds the date alone;\n"
                        "the format reads both joined by one space");
    command->callback([options, &action] {
        action = [options] { return runInspect(*options, std::cout, std::cerr); };
    });
}

}  // namespace vane::cli
