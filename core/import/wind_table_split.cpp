#include "core/import/wind_table_split.h"

#include <algorithm>
#include <stdexcept>

namespace vane {
namespace {

std::size_t countOccurrences(std::string_view text, std::string_view separator) {
    std::size_t count = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, at + separator.size())) {
        ++count;
    }
    return count;
}

// Each field is copied exactly once, from the text into its own string; the row is sized first
// so that no field is moved by a growing vector.
WindRow splitLine(std::string_view line, std::string_view separator) {
    WindRow fields;
    if (separator.empty()) {
        fields.emplace_back(line);
        return fields;
    }
    fields.reserve(countOccurrences(line, separator) + 1);
    std::size_t start = 0;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, start)) {
        fields.emplace_back(line.substr(start, at - start));
        start = at + separator.size();
    }
    fields.emplace_back(line.substr(start));
    return fields;
}

std::size_t startAtForLine(int startingLine, std::size_t rowCount) {
    return startingLine < 1 ? rowCount : static_cast<std::size_t>(startingLine) - 1;
}

}  // namespace

WindTable splitWindText(std::string_view text, const SplitChoices& choices) {
    const int startingLine = integerValue(choices.startingLineText);
    const std::string_view lineSeparator = lineSeparatorForIndex(choices.lineEndingIndex);
    const std::size_t breaks = text.empty() ? 0 : countOccurrences(text, lineSeparator);
    WindTable table;
    if (breaks == 0) {
        table.startAt = startAtForLine(startingLine, 0);
        return table;
    }
    const std::string_view fieldSeparator = fieldSeparatorText(choices.fieldSeparator);
    table.rows.reserve(breaks + 1);
    const std::size_t headerAt = startAtForLine(startingLine, breaks + 1);
    // An empty line other than the header holds no field at all, which reads the same (every
    // cell empty) and costs no allocation: a file of blank lines must not take gigabytes.
    const auto addRow = [&](std::string_view line) {
        if (line.empty() && table.rows.size() != headerAt) {
            table.rows.emplace_back();
        } else {
            table.rows.push_back(splitLine(line, fieldSeparator));
        }
    };
    std::size_t start = 0;
    for (std::size_t at = text.find(lineSeparator); at != std::string_view::npos;
         at = text.find(lineSeparator, start)) {
        addRow(text.substr(start, at - start));
        start = at + lineSeparator.size();
    }
    addRow(text.substr(start));
    table.startAt = startAtForLine(startingLine, table.rows.size());
    return table;
}

std::string previewColumnTitle(std::string_view headerField, std::size_t columnIndex) {
    // Length in UTF-16 units, not bytes: a header "°" is one character and gets a numbered title.
    std::size_t units = 0;
    for (const char c : headerField) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    }
    if (units > 1) {
        return std::string(headerField);
    }
    return "column " + std::to_string(columnIndex + 1);
}

std::vector<std::string> previewColumnTitles(const WindTable& table) {
    std::vector<std::string> titles;
    if (!table.hasHeaderRow()) {
        return titles;
    }
    const WindRow& header = table.rows[table.startAt];
    titles.reserve(header.size());
    for (std::size_t k = 0; k < header.size(); ++k) {
        titles.push_back(previewColumnTitle(header[k], k));
    }
    return titles;
}

std::size_t previewRowCount(const WindTable& table) {
    return table.dataRowCount();
}

std::string_view previewCell(const WindTable& table, std::size_t row, std::size_t column) {
    if (row >= previewRowCount(table)) {
        throw std::out_of_range(
            "Invalid parameter not satisfying: rowIndex >= 0 && rowIndex < [_tableData "
            "count]-startAt -1");
    }
    const WindRow& fields = table.rows[table.startAt + row + 1];
    if (column >= fields.size()) {
        return "";
    }
    return fields[column];
}

std::string startingLineProblem(const WindTable& table, int startingLine) {
    if (table.rows.empty()) {
        return "The wind table is empty: the file has no text, or the chosen line ending does "
               "not occur in it.";
    }
    if (startingLine < 1) {
        return "The starting line must be 1 or more, not " + std::to_string(startingLine) + ".";
    }
    if (!table.hasHeaderRow()) {
        return "The starting line " + std::to_string(startingLine) +
               " lies beyond the last line of the file, line " + std::to_string(table.rows.size()) +
               ".";
    }
    return {};
}

}  // namespace vane
