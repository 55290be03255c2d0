#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vane {

// Where and why a list file could not be read. line is 0 when the whole file failed.
struct ListFileError {
    std::string file;
    std::size_t line = 0;
    std::string message;

    // "file:line: message", or "file: message" without a line.
    std::string describe() const;
};

// Text without the UTF-8 byte-order mark that spreadsheet programs put before it.
std::string_view withoutByteOrderMark(std::string_view text);

struct ListFileText {
    std::string text;
    std::optional<ListFileError> error;
};

// The whole file, or why it cannot be read; `kind` names the list in "is a folder, not a ...".
ListFileText readListFile(const std::filesystem::path& path, std::string_view kind);

// The lines of a text, numbered from 1; a final line break ends the last line, it opens none.
class NumberedLines {
  public:
    explicit NumberedLines(std::string_view text) : rest_(text) {}

    // The next line without its LF, or nothing at the end.
    std::optional<std::string_view> next();
    std::size_t number() const { return number_; }

  private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

}  // namespace vane
