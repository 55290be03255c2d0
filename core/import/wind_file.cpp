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

Chosen<StringEncoding> encodingChoice(StringEncoding encoding, EncodingSource source) {
    switch (source) {
        case EncodingSource::detected:
            return Chosen<StringEncoding>::guessed(encoding);
        case EncodingSource::fallback:
            return Chosen<StringEncoding>::preset(encoding);
        case EncodingSource::chosen:
            break;
    }
    return encoding;
}

// Cuts the view's text with the user's text choices and guesses the others: the line ending,
// then the header row, then the separator of that row, then the unit rows under it. A view without
// text keeps the choices it had; a cut without a header row keeps the view's column titles.
void cut(WindFileView& view, const TextChoices& chosen) {
    TextChoices& reading = view.reading;
    const auto users = [](const auto& choice, const auto& otherwise) {
        return choice.byUser() ? choice : otherwise;
    };
    if (!view.text) {
        reading.lineEndingIndex = users(chosen.lineEndingIndex, reading.lineEndingIndex);
        reading.fieldSeparator = users(chosen.fieldSeparator, reading.fieldSeparator);
        reading.startingLine = users(chosen.startingLine, reading.startingLine);
        reading.unitRows = users(chosen.unitRows, reading.unitRows);
    } else {
        const std::string_view all(*view.text);
        reading.lineEndingIndex =
            users(chosen.lineEndingIndex, Chosen<int>::guessed(guessLineEnding(all)));
        const std::string_view lineSeparator = lineSeparatorForIndex(*reading.lineEndingIndex);
        const std::optional<FieldSeparatorChoice> separator =
            chosen.fieldSeparator.byUser() ? std::optional(*chosen.fieldSeparator) : std::nullopt;
        reading.startingLine =
            users(chosen.startingLine,
                  Chosen<int>::guessed(findStartingLine(all, lineSeparator, separator)));
        reading.fieldSeparator = users(chosen.fieldSeparator,
                                       Chosen<FieldSeparatorChoice>::guessed(guessFieldSeparator(
                                           headerLine(all, lineSeparator, *reading.startingLine))));
        reading.unitRows =
            users(chosen.unitRows,
                  Chosen<int>::guessed(findUnitRows(all, lineSeparator, *reading.startingLine,
                                                    fieldSeparatorText(*reading.fieldSeparator))));
    }
    const SplitChoices split{*reading.lineEndingIndex, *reading.fieldSeparator,
                             std::to_string(*reading.startingLine), *reading.unitRows};
    view.table =
        view.text ? splitWindText(view.text, split) : splitWindText(std::string_view(), split);
    if (view.table.hasHeaderRow()) {
        view.columnTitles = previewColumnTitles(view.table);
    }
    view.found = guessWindFileColumns(view.columnTitles, view.table);
}

}  // namespace

Outcome<void> usableTable(const WindFileView& view) {
    const std::string problem = startingLineProblem(view.table, *view.reading.startingLine);
    if (problem.empty()) {
        return {};
    }
    return Problem{.title = "Problem with wind file",
                   .message = problem,
                   .file = view.file.string(),
                   .kind = ProblemKind::badInput};
}

WindFileView viewWindText(std::string text, StringEncoding encoding, EncodingSource source,
                          const TextChoices& chosen) {
    WindFileView view;
    view.text = std::make_shared<const std::string>(std::move(text));
    view.reading.encoding = encodingChoice(encoding, source);
    // A read in a chosen encoding stands for the desktop's re-read, which shows less.
    view.previewText =
        previewText(*view.text, source == EncodingSource::chosen ? kPreviewLengthAfterReread
                                                                 : kPreviewLengthAfterLoad);
    cut(view, chosen);
    return view;
}

namespace {

// `view` but its table and what was guessed from it.
WindFileView uncut(const WindFileView& view) {
    WindFileView next;
    next.file = view.file;
    next.text = view.text;
    next.previewText = view.previewText;
    next.reading = view.reading;
    next.columnTitles = view.columnTitles;
    return next;
}

}  // namespace

WindFileView recutWindFile(const WindFileView& view, const TextChoices& chosen) {
    WindFileView next = uncut(view);
    cut(next, chosen);
    return next;
}

WindFileView rereadWindFile(const WindFileView& view, const TextChoices& chosen) {
    WindFileView next = uncut(view);
    next.reading.encoding = chosen.encoding;
    next.text.reset();
    if (Outcome<DecodedText> read = readTextInEncoding(view.file, *chosen.encoding)) {
        next.text = std::make_shared<const std::string>(std::move(read->text));
        next.previewText = previewText(*next.text, kPreviewLengthAfterReread);
    }
    cut(next, chosen);
    return next;
}

Outcome<WindFileView> loadWindFile(const std::filesystem::path& file, const TextChoices& chosen) {
    Outcome<std::string> bytes = readInputFile(file, "wind file");
    if (!bytes) {
        // The message names no file, so the problem names none: the detail holds the path.
        return Problem{.title = kProblemTitle,
                       .message = kProblemMessage,
                       .detail = bytes.error().describe(),
                       .kind = ProblemKind::unreadable};
    }
    return viewWindFileBytes(*std::move(bytes), file, chosen);
}

Outcome<WindFileView> viewWindFileBytes(std::string bytes, const std::filesystem::path& file,
                                        const TextChoices& chosen) {
    Outcome<DecodedText> read = chosen.encoding.byUser()
                                    ? takeInEncoding(std::move(bytes), *chosen.encoding)
                                    : takeWithFallback(std::move(bytes));
    if (!read) {
        return Problem{.title = kProblemTitle,
                       .message = kProblemMessage,
                       .detail = file.string() + ": " + read.error().message,
                       .kind = ProblemKind::unreadable};
    }
    WindFileView view = viewWindText(std::move(read->text), read->encoding, read->source, chosen);
    view.file = file;
    return view;
}

}  // namespace vane
