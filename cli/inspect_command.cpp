#include "cli/inspect_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/problem_report.h"
#include "core/files/shown_content.h"
#include "core/import/column_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/resolve_choices.h"
#include "core/import/text_encodings.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"

namespace vane::cli {
namespace {

std::string encodingSourceText(ChoiceSource source) {
    switch (source) {
        case ChoiceSource::guessed:
            return "detected";
        case ChoiceSource::preset:
            return "fallback (detection failed)";
        case ChoiceSource::user:
        case ChoiceSource::open:
            break;
    }
    return "chosen";
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

template <typename T>
std::string guessedMark(const Chosen<T>& choice) {
    return choice.byUser() ? "" : " (guessed)";
}

std::string columnText(const std::vector<std::string>& titles, const Chosen<int>& column) {
    if (*column <= 0 || static_cast<std::size_t>(*column) > titles.size()) {
        return "none";
    }
    return std::to_string(*column) + " " + visible(titles[static_cast<std::size_t>(*column) - 1]);
}

// " (no title names it; its values read as dates)" for a column the guess found otherwise.
std::string noteOn(const ResolvedChoices& resolved, ChoiceField field) {
    for (const ChoiceNote& note : resolved.notes) {
        if (note.field == field) {
            return std::string(" (") + (note.untitled ? "no title names it; " : "") + note.why +
                   ")";
        }
    }
    return {};
}

void printView(const WindFileView& view, const ResolvedChoices& resolved, std::ostream& out) {
    const WindFileChoices& choices = resolved.choices;
    const TextChoices& text = choices.text;
    out << "encoding: " << encodingDisplayName(*text.encoding).value_or("unknown") << " ("
        << *text.encoding << "), " << encodingSourceText(text.encoding.source()) << '\n';
    out << "line-ending: " << kLineEndingTitles.at(static_cast<std::size_t>(*text.lineEndingIndex))
        << guessedMark(text.lineEndingIndex) << '\n';
    const std::string_view separator = fieldSeparatorText(*text.fieldSeparator);
    out << "field-separator: " << (separator == "\t" ? "tab" : visible(separator))
        << guessedMark(text.fieldSeparator) << '\n';
    out << "starting-line: " << *text.startingLine
        << (!text.startingLine.byUser() && *text.startingLine != 1 ? " (found)" : "") << '\n';
    if (*text.unitRows > 0 || text.unitRows.byUser()) {
        out << "unit-rows: " << *text.unitRows << (text.unitRows.byUser() ? "" : " (found)")
            << '\n';
    }

    out << "columns:";
    for (std::size_t k = 0; k < view.columnTitles.size(); ++k) {
        out << (k == 0 ? " " : " | ") << k + 1 << " " << visible(view.columnTitles[k]);
    }
    out << '\n';
    out << "data-rows: " << writtenDataRowCount(view.table) << '\n';
    out << "date-column: " << columnText(view.columnTitles, choices.dateTimeColumn)
        << noteOn(resolved, ChoiceField::dateTimeColumn) << '\n';
    if (*choices.dayColumn > 0) {
        out << "day-column: " << columnText(view.columnTitles, choices.dayColumn)
            << noteOn(resolved, ChoiceField::dayColumn) << '\n';
    }
    if (*choices.timeColumn > 0) {
        out << "time-column: " << columnText(view.columnTitles, choices.timeColumn) << '\n';
    }
    const auto format = static_cast<std::size_t>(
        std::find(kDateFormatItems.begin(), kDateFormatItems.end(), *choices.dateFormat) -
        kDateFormatItems.begin());
    out << "date-format: " << format << " " << *choices.dateFormat
        << (choices.dateFormat.source() == ChoiceSource::guessed ? " (guessed)" : " (not guessed)")
        << noteOn(resolved, ChoiceField::dateFormat) << '\n';
    out << "wind-column: " << columnText(view.columnTitles, choices.windColumn)
        << noteOn(resolved, ChoiceField::windColumn);
    if (!choices.windUnit->empty()) {
        out << " (" << *choices.windUnit << ", converted to m/s)";
    }
    out << '\n';
    out << "temperature-column: " << columnText(view.columnTitles, choices.temperatureColumn)
        << noteOn(resolved, ChoiceField::temperatureColumn) << '\n';
    // Never taken without being asked: one curve per state, or a plan's energy, is the user's wish.
    const std::pair<const char*, std::size_t> offered[] = {
        {"state-column", guessStateItem(view.columnTitles)},
        {"power-column", guessPowerItem(view.columnTitles)}};
    for (const auto& [key, item] : offered) {
        out << key << ": "
            << columnText(view.columnTitles, Chosen<int>::guessed(static_cast<int>(item)));
        if (item > 0) {
            out << " (its title says so; taken with --" << key << ")";
        }
        out << '\n';
    }
    out << "decimal-separator: " << *choices.decimalSeparator
        << guessedMark(choices.decimalSeparator) << '\n';
    out << "missing:";
    for (std::size_t k = 0; k < choices.missingMarkers->size(); ++k) {
        const std::string& marker = (*choices.missingMarkers)[k];
        out << (k == 0 ? " " : ", ") << (marker.empty() ? "(empty)" : visible(marker));
    }
    out << (choices.missingMarkers.byUser() ? "" : " (the usual markers; others with --missing)")
        << '\n';
    out << "zone: ";
    if (choices.timeZone.source() == ChoiceSource::preset) {
        out << "not said (read at --zone, else at this computer's offset at the first recording)";
    } else {
        out << *choices.timeZone << (choices.timeZone.byUser() ? " (--zone)" : "");
    }
    out << noteOn(resolved, ChoiceField::timeZone) << '\n';
    out << "stamps: " << (*choices.stamps == StampConvention::begin ? "begin" : "end");
    if (choices.stamps.source() == ChoiceSource::preset) {
        out << " (the usual; --stamps begin when each stamp starts its step)";
    }
    out << noteOn(resolved, ChoiceField::stamps) << '\n';

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
    Outcome<WindFileChoices> chosen = windFileChoices(options.reading);
    if (!chosen) {
        return reportProblem(chosen.error(), err);
    }
    const Outcome<WindFileView> view = readWindFile(options.windFile, chosen->text);
    if (!view) {
        return reportProblem(view.error(), err);
    }
    const std::pair<const std::optional<std::string>&, Chosen<int>&> columns[] = {
        {options.dateColumn, chosen->dateTimeColumn},
        {options.timeColumn, chosen->timeColumn},
        {options.dayColumn, chosen->dayColumn}};
    for (const auto& [name, column] : columns) {
        const Outcome<Chosen<int>> named = namedColumn(name, view->columnTitles);
        if (!named) {
            return reportProblem(named.error(), err);
        }
        column = *named;
    }
    if (options.zone) {
        if (!isZoneChoice(*options.zone)) {
            return reportProblem(badZone(*options.zone), err);
        }
        chosen->timeZone = *options.zone;
    }
    printView(*view, resolveChoices(*view, *chosen, {.needsTemperature = true}), out);
    // What was found is shown all the same; the file is no table the analysis can read, and the
    // status says so as the analysis's does.
    if (const Outcome<void> usable = usableTable(*view); !usable) {
        return reportProblem(usable.error(), err);
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
    command->add_option("--day-column", options->dayColumn,
                        "Column of the day of the year when the date column holds the year\n"
                        "alone and --time-column the clock as HHMM; read as \"yyyy D HHmm\"");
    command->add_option(
        "--zone", options->zone,
        "UTC offset of the time stamps, +HHMM, or a zone name such as\n"
        "Europe/Berlin, as analyse takes it; default: the preamble's \"Time Zone\"\n"
        "line, if any");
    command->callback([options, &action] {
        action = [options] { return runInspect(*options, std::cout, std::cerr); };
    });
}

}  // namespace vane::cli
