#include "cli/inspect_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/problem_report.h"
#include "core/import/date_format_items.h"
#include "core/import/text_encodings.h"
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

void printView(const WindFileView& view, std::ostream& out) {
    out << "encoding: " << encodingDisplayName(view.encoding).value_or("unknown") << " ("
        << view.encoding << "), " << encodingSourceText(view.encodingSource) << '\n';
    out << "line-ending: " << kLineEndingTitles.at(static_cast<std::size_t>(view.lineEndingIndex))
        << guessedMark(view.lineEndingGuessed) << '\n';
    const std::string_view separator = fieldSeparatorText(view.fieldSeparator);
    out << "field-separator: " << (separator == "\t" ? "tab" : visible(separator))
        << guessedMark(view.fieldSeparatorGuessed) << '\n';
    out << "starting-line: " << view.startingLine << '\n';

    out << "columns:";
    for (std::size_t k = 0; k < view.columnTitles.size(); ++k) {
        out << (k == 0 ? " " : " | ") << k + 1 << " " << visible(view.columnTitles[k]);
    }
    out << '\n';
    out << "data-rows: " << previewRowCount(view.table) << '\n';
    out << "date-column: " << columnText(view.columnTitles, view.guesses.dateTimeItem) << '\n';
    // A sheet that guessed nothing keeps its first date format.
    const std::size_t format = view.guesses.dateFormatIndex.value_or(0);
    out << "date-format: " << format << " " << kDateFormatItems.at(format)
        << (view.guesses.dateFormatIndex ? " (guessed)" : " (not guessed)") << '\n';
    out << "wind-column: " << columnText(view.columnTitles, view.guesses.windItem) << '\n';

    const std::size_t shown = std::min(kInspectPreviewRows, previewRowCount(view.table));
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
    printView(*view, out);
    // Not a failure: the preview still shows what the file holds.
    if (view->tableProblem) {
        err << "No data rows: " << view->tableProblem->message << '\n';
    }
    return kExitSuccess;
}

void addInspectCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<InspectOptions>();
    CLI::App* command = app.add_subcommand(
        "inspect",
        "Read a wind file as the preview sheet does and show what it found: the text\n"
        "encoding, line ending, field separator, the columns, the number of data rows, the\n"
        "guessed date/time column, date format and wind column, and the first five data rows.\n"
        "Choices not given are detected or guessed; give them to see the file as the analysis\n"
        "will read it with those choices.");
    command->footer(encodingListHelp());
    command->add_option("WIND_FILE", options->windFile, "Delimited text file of measurements")
        ->required();
    addWindFileOptions(*command, options->reading);
    command->callback([options, &action] {
        action = [options] { return runInspect(*options, std::cout, std::cerr); };
    });
}

}  // namespace vane::cli
