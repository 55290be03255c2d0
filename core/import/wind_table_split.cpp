#include "core/import/wind_table_split.h"

#include <algorithm>
#include <stdexcept>

namespace vane {
namespace {

std::size_t startAtForLine(int startingLine, std::size_t rowCount) {
    return startingLine < 1 ? rowCount : static_cast<std::size_t>(startingLine) - 1;
}

}  // namespace

WindTable splitWindText(std::shared_ptr<const std::string> text, const SplitChoices& choices) {
    const int startingLine = integerValue(choices.startingLineText);
    const std::string_view lineSeparator = lineSeparatorForIndex(choices.lineEndingIndex);
    if (!text || text->find(lineSeparator) == std::string::npos) {
        WindTable table;
        table.startAt = startAtForLine(startingLine, 0);
        return table;
    }
    WindTable table(std::move(text), lineSeparator, fieldSeparatorText(choices.fieldSeparator), 0);
    table.startAt = startAtForLine(startingLine, table.rowCount());
    if (choices.unitRows > 0 &&
        table.startAt + static_cast<std::size_t>(choices.unitRows) < table.rowCount()) {
        table.unitRows = static_cast<std::size_t>(choices.unitRows);
        table.startAt += table.unitRows;
    }
    return table;
}

WindTable splitWindText(std::string_view text, const SplitChoices& choices) {
    return splitWindText(std::make_shared<const std::string>(text), choices);
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
    const std::size_t columns = table.fieldCount(table.headerRow());
    titles.reserve(columns);
    for (std::size_t k = 0; k < columns; ++k) {
        std::string_view field = table.field(table.headerRow(), k);
        // Exports that mark the header as a comment: "# Date and time,...".
        if (k == 0 && field.starts_with("# ")) {
            field.remove_prefix(std::min(field.size(), field.find_first_not_of(' ', 1)));
        }
        titles.push_back(previewColumnTitle(field, k));
    }
    // Station exports name fewer columns than their rows carry: the readings past the header are
    // columns all the same, numbered, where the first rows write into them.
    constexpr std::size_t kRowsLooked = 16;
    constexpr std::size_t kMostColumns = 4096;
    std::size_t widest = columns;
    const std::size_t lastLooked = std::min(table.rowCount(), table.startAt + 1 + kRowsLooked);
    for (std::size_t row = table.startAt + 1; row < lastLooked; ++row) {
        for (std::size_t k = std::min(table.fieldCount(row), kMostColumns); k > widest; --k) {
            if (!table.field(row, k - 1).empty()) {
                widest = k;
                break;
            }
        }
    }
    for (std::size_t k = columns; k < widest; ++k) {
        titles.push_back(previewColumnTitle({}, k));
    }
    return titles;
}

std::size_t previewRowCount(const WindTable& table) {
    return table.dataRowCount();
}

std::size_t writtenDataRowCount(const WindTable& table) {
    const std::size_t rows = previewRowCount(table);
    const std::size_t last = table.rowCount() - 1;
    return rows > 0 && table.fieldCount(last) == 1 && table.field(last, 0).empty() ? rows - 1
                                                                                   : rows;
}

std::string_view previewCell(const WindTable& table, std::size_t row, std::size_t column) {
    if (row >= previewRowCount(table)) {
        throw std::out_of_range(
            "Invalid parameter not satisfying: rowIndex >= 0 && rowIndex < [_tableData "
            "count]-startAt -1");
    }
    return table.field(table.startAt + row + 1, column);
}

std::string startingLineProblem(const WindTable& table, int startingLine) {
    if (table.empty()) {
        return "The wind table is empty: the file has no text, or the chosen line ending does "
               "not occur in it.";
    }
    if (startingLine < 1) {
        return "The starting line must be 1 or more, not " + std::to_string(startingLine) + ".";
    }
    if (!table.hasHeaderRow()) {
        return "The starting line " + std::to_string(startingLine) +
               " lies beyond the last line of the file, line " + std::to_string(table.rowCount()) +
               ".";
    }
    return {};
}

bool holdsDataRowWithFields(const WindTable& table, std::size_t fieldsNeeded) {
    // From the end, where a file's last rows are as complete as its first.
    for (std::size_t row = table.rowCount(); row > table.startAt + 1; --row) {
        if (table.fieldCount(row - 1) >= fieldsNeeded) {
            return true;
        }
    }
    return false;
}

}  // namespace vane
