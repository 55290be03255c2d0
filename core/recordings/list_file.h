#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/outcome/outcome.h"

namespace vane {

// Text without the UTF-8 byte-order mark that spreadsheet programs put before it.
std::string_view withoutByteOrderMark(std::string_view text);

// The whole file as UTF-8 text (see listText), or why it cannot be read; `kind` names the list in
// "is a folder, not a ..." and in the problem's title, "Problem with <kind>".
Outcome<std::string> readListFile(const std::filesystem::path& path, std::string_view kind);

// The bytes of a list as UTF-8 text: as they are when they are UTF-8, else converted from the
// encoding a byte-order mark or the charset detector names. Refused, naming the file and the line,
// when no encoding reads them, or when they hold a NUL byte.
Outcome<std::string> listText(std::string bytes, const std::string& fileName,
                              std::string_view kind);

// Why line `line` (0: the whole file) of the list `kind` in `file` does not read, or, as
// ProblemKind::unreadable, why the file cannot be read at all.
Problem listFileProblem(std::string_view kind, const std::string& file, std::size_t line,
                        std::string message, ProblemKind problemKind = ProblemKind::badInput);

// Reads the file in blocks that end at a line break (the last one where the file ends) and hands
// each to `read`, which answers whether to go on; the file is never held whole. The error when it
// cannot be read, as readListFile() gives it.
Outcome<void> readListFileInPieces(const std::filesystem::path& path, std::string_view kind,
                                   const std::function<bool(std::string_view)>& read);

// A list file that is read once. A pipe, FIFO or device gives its bytes only once, so they are
// read whole (up to the size limit) when it is opened and every read after takes them; a file on
// disk is read where it lies, in pieces where the reader takes them so. Whatever reads it, looks at
// its first line and then reads it, sees the same bytes.
class ListInput {
  public:
    // The error of a pipe or device that cannot be read, in the words of readListFile().
    static Outcome<ListInput> open(const std::filesystem::path& path, std::string_view kind);

    const std::filesystem::path& path() const { return path_; }
    // Its first bytes, enough for any header (64 KiB); empty when unreadable.
    std::string_view start() const { return start_; }
    // The whole text; `kind` names the list in the problem, as in readListFile().
    Outcome<std::string_view> text(std::string_view kind);
    // As readListFileInPieces().
    Outcome<void> readInPieces(std::string_view kind,
                               const std::function<bool(std::string_view)>& read);

  private:
    explicit ListInput(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path path_;
    std::optional<std::string> bytes_;  // once read whole
    std::string start_;
};

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
