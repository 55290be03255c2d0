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

}  // namespace

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
    view.startingLine = integerValue(settings.startingLineText);
    view.fieldSeparatorGuessed = !settings.fieldSeparator.has_value();
    view.fieldSeparator = settings.fieldSeparator.value_or(guessFieldSeparator(
        headerLine(all, lineSeparatorForIndex(view.lineEndingIndex), view.startingLine)));

    view.table = splitWindText(
        view.text, {view.lineEndingIndex, view.fieldSeparator, settings.startingLineText});
    view.columnTitles = previewColumnTitles(view.table);
    view.guesses = guessColumns(view.columnTitles, view.table);
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
    TextRead read = settings.encoding ? takeInEncoding(std::move(bytes), *settings.encoding)
                                      : takeWithFallback(std::move(bytes));
    if (!read.text) {
        return Problem{.title = kProblemTitle,
                       .message = kProblemMessage,
                       .detail = file.string() + ": " + read.error};
    }
    WindFileView view = viewWindText(std::move(*read.text), read.encoding, read.source, settings);
    view.file = file;
    if (view.tableProblem) {
        view.tableProblem->file = file.string();
    }
    return view;
}

}  // namespace vane
