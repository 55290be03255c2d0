#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vane {

// Reads a delimited text row by row without holding the whole table, for files of a million
// rows: '"' quotes a field (which may then span lines and hold the separator), "" is a quote
// inside one, and blanks around a field are dropped. Blank lines are skipped.
class CsvRows {
  public:
    // `firstLine` is the number of the text's first line in its file.
    CsvRows(std::string_view text, char separator, std::size_t firstLine = 1)
        : rest_(text), separator_(separator), nextLine_(firstLine) {}

    // The next row's fields into `fields` (reusing its strings), or false at the end.
    bool next(std::vector<std::string>& fields);
    // The line the last row began on, counted from 1.
    std::size_t line() const { return rowLine_; }
    // How far through the text the reader is, 0 to 1.
    double progress(std::size_t totalSize) const;

  private:
    std::string_view rest_;
    char separator_;
    std::size_t nextLine_;
    std::size_t rowLine_ = 0;
};

// The most frequent of ',', ';' and tab in the first line; ',' when there is none.
char detectCsvSeparator(std::string_view text);

}  // namespace vane
