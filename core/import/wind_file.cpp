#include "core/import/wind_file.h"

#include "core/files/input_file.h"
#include "core/import/preview_text.h"
#include "core/import/wind_table_split.h"

namespace vane {
namespace {

constexpr const char* kProblemTitle = "Problem with file";
constexpr const char* kProblemMessage =
    "The csv file couldn't be read properly. Please send it to Fenmark for further examination.";

// The line at `startingLine` (from 1) cut by `lineSeparator`, or the first line when the text
// has no such line; found without splitting the whole text.
std::string_view headerLine(std::string_view text, std::string_view lineSeparator,
                            int startingLine) {
    std::string_view first = text.substr(0, text.find(lineSeparator));
    if (startingLine < 1) {
        return first;
    }
    std::size_t start = 0;
    for (int line = 1; line < startingLine; ++line) {
        const std::size_t at = text.find(lineSeparator, start);
        if (at == std::string_view::npos) {
            return first;
        }
        start = at + lineSeparator.size();
    }
    return text.substr(start, text.find(lineSeparator, start) - start);
}

std::size_t fieldCountOf(std::string_view line, std::string_view separator) {
    if (separator.empty()) {
        return 1;
    }
    std::size_t count = 1;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, at + separator.size())) {
        ++count;
    }
    return count;
}

bool looksLikeNumber(std::string_view field) {
    const std::size_t start = field.find_first_not_of(" \"'");
    if (start == std::string_view::npos) {
        return false;
    }
    field.remove_prefix(start);
    if ((field.front() == '+' || field.front() == '-' || field.front() == '.') &&
        field.size() > 1) {
        field.remove_prefix(1);
    }
    return field.front() >= '0' && field.front() <= '9';
}

bool mostlyTitles(std::string_view line, std::string_view separator) {
    std::size_t fields = 0;
    std::size_t titles = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end =
            separator.empty() ? std::string_view::npos : line.find(separator, start);
        const std::string_view field = line.substr(start, end - start);
        ++fields;
        titles +=
            !looksLikeNumber(field) && field.find_first_not_of(" \"'\r") != std::string_view::npos
                ? 1
                : 0;
        if (end == std::string_view::npos) {
            break;
        }
        start = end + separator.size();
    }
    return 2 * titles > fields;
}

}  // namespace

int findStartingLine(std::string_view text, std::string_view lineSeparator,
                     const std::optional<FieldSeparatorChoice>& separator) {
    constexpr std::size_t kLinesLooked = 64;
    constexpr std::size_t kRowsBelowCompared = 5;
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; lines.size() < kLinesLooked && start <= text.size();) {
        const std::size_t end = text.find(lineSeparator, start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos || lineSeparator.empty()) {
            break;
        }
        start = end + lineSeparator.size();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const FieldSeparatorChoice choice = separator.value_or(guessFieldSeparator(lines[i]));
        const std::string_view fieldSeparator = fieldSeparatorText(choice);
        const std::size_t fields = fieldCountOf(lines[i], fieldSeparator);
        if (fields < 2 || !mostlyTitles(lines[i], fieldSeparator)) {
            continue;
        }
        std::size_t compared = 0;
        bool same = true;
        for (std::size_t k = i + 1; k < lines.size() && compared < kRowsBelowCompared; ++k) {
            if (lines[k].empty()) {
                continue;
            }
            ++compared;
            same = same && fieldCountOf(lines[k], fieldSeparator) == fields;
        }
        if (same && compared > 0) {
            return static_cast<int>(i) + 1;
        }
    }
    return 1;
}

WindFileView viewWindText(std::string text, StringEncoding encoding, EncodingSource source,
                          const WindFileSettings& settings) {
    WindFileView view;
    view.text = std::make_shared<const std::string>(std::move(text));
    const std::string_view all(*view.text);
    view.encoding = encoding;
    view.encodingSource = source;
    // A read in a chosen encoding stands for the desktop's re-read, which shows less.
    view.previewText = previewText(all, source == EncodingSource::chosen ? kPreviewLengthAfterReread
                                                                         : kPreviewLengthAfterLoad);
    view.lineEndingGuessed = !settings.lineEndingIndex.has_value();
    view.lineEndingIndex = settings.lineEndingIndex.value_or(guessLineEnding(all));
    view.startingLineFound = !settings.startingLineText.has_value();
    view.startingLine = settings.startingLineText
                            ? integerValue(*settings.startingLineText)
                            : findStartingLine(all, lineSeparatorForIndex(view.lineEndingIndex),
                                               settings.fieldSeparator);
    view.fieldSeparatorGuessed = !settings.fieldSeparator.has_value();
    view.fieldSeparator = settings.fieldSeparator.value_or(guessFieldSeparator(
        headerLine(all, lineSeparatorForIndex(view.lineEndingIndex), view.startingLine)));

    view.table = splitWindText(
        view.text, {view.lineEndingIndex, view.fieldSeparator,
                    settings.startingLineText.value_or(std::to_string(view.startingLine))});
    view.columnTitles = previewColumnTitles(view.table);
    view.found = guessWindFileColumns(view.columnTitles, view.table);
    view.guesses = view.found.columns;
    if (std::string problem = startingLineProblem(view.table, view.startingLine);
        !problem.empty()) {
        view.tableProblem =
            Problem{.title = "Problem with wind file", .message = std::move(problem)};
    }
    return view;
}

Outcome<WindFileView> loadWindFile(const std::filesystem::path& file,
                                   const WindFileSettings& settings) {
    Outcome<std::string> bytes = readInputFile(file, "wind file");
    if (!bytes) {
        // The message names no file, so the problem names none: the detail holds the path.
        return Problem{
            .title = kProblemTitle, .message = kProblemMessage, .detail = bytes.error().describe()};
    }
    return viewWindFileBytes(*std::move(bytes), file, settings);
}

Outcome<WindFileView> viewWindFileBytes(std::string bytes, const std::filesystem::path& file,
                                        const WindFileSettings& settings) {
    Outcome<DecodedText> read = settings.encoding
                                    ? takeInEncoding(std::move(bytes), *settings.encoding)
                                    : takeWithFallback(std::move(bytes));
    if (!read) {
        return Problem{.title = kProblemTitle,
                       .message = kProblemMessage,
                       .detail = file.string() + ": " + read.error().message};
    }
    WindFileView view = viewWindText(std::move(read->text), read->encoding, read->source, settings);
    view.file = file;
    if (view.tableProblem) {
        view.tableProblem->file = file.string();
    }
    return view;
}

}  // namespace vane
