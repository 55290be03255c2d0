#include "core/import/wind_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "core/files/huge_pages.h"

namespace vane {
namespace {

constexpr std::size_t kLargestText = std::numeric_limits<std::int32_t>::max();

// Where `separator` next occurs in `text` from `from` on, or text.size(); memchr finds the
// candidates, which keeps the common one-byte separators at memory speed.
std::size_t nextSeparator(std::string_view text, std::size_t from, std::string_view separator) {
    const char first = separator.front();
    while (from < text.size()) {
        const void* found = std::memchr(text.data() + from, first, text.size() - from);
        if (found == nullptr) {
            return text.size();
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        if (separator.size() == 1 || text.compare(at, separator.size(), separator) == 0) {
            return at;
        }
        from = at + 1;
    }
    return text.size();
}

struct LineCount {
    std::size_t lines = 0;
    std::size_t blankLines = 0;
};

LineCount countLines(std::string_view text, std::string_view separator) {
    LineCount count;
    std::size_t lineStart = 0;
    for (std::size_t at = nextSeparator(text, 0, separator); at < text.size();
         at = nextSeparator(text, lineStart, separator)) {
        ++count.lines;
        count.blankLines += at == lineStart ? 1 : 0;
        lineStart = at + separator.size();
    }
    ++count.lines;
    count.blankLines += lineStart == text.size() ? 1 : 0;
    return count;
}

}  // namespace

WindTable::WindTable(std::shared_ptr<const std::string> text, std::string_view lineSeparator,
                     std::string_view fieldSeparator, std::size_t startAt)
    : startAt(startAt), text_(std::move(text)), fieldSeparator_(fieldSeparator) {
    if (!text_ || text_->size() >= kLargestText || lineSeparator.empty() ||
        fieldSeparator.size() >= kLargestText) {
        text_.reset();
        return;
    }
    const std::string_view all(*text_);
    const LineCount count = countLines(all, lineSeparator);
    rowBounds_.reserve(2 * (count.lines - count.blankLines));
    adviseHugePages(rowBounds_.data(), rowBounds_.capacity() * sizeof(rowBounds_[0]));
    blocks_.reserve((count.lines + 63) / 64);
    std::size_t lineStart = 0;
    while (true) {
        const std::size_t lineEnd = nextSeparator(all, lineStart, lineSeparator);
        if (rowCount_ % 64 == 0) {
            blocks_.push_back({0, static_cast<std::uint32_t>(rowBounds_.size() / 2)});
        }
        // A blank line keeps no bounds at all: a file of nothing but line breaks must cost a
        // bit a line, not a row's worth of offsets.
        if (lineEnd > lineStart) {
            blocks_.back().filled |= std::uint64_t{1} << (rowCount_ % 64);
            rowBounds_.push_back(static_cast<std::uint32_t>(lineStart));
            rowBounds_.push_back(static_cast<std::uint32_t>(lineEnd));
        }
        ++rowCount_;
        if (lineEnd == all.size()) {
            break;
        }
        lineStart = lineEnd + lineSeparator.size();
    }
}

std::optional<std::size_t> WindTable::filledIndex(std::size_t row) const {
    const RowBlock& block = blocks_[row / 64];
    const std::uint64_t bit = std::uint64_t{1} << (row % 64);
    if ((block.filled & bit) == 0) {
        return std::nullopt;
    }
    return block.filledBefore + static_cast<std::size_t>(std::popcount(block.filled & (bit - 1)));
}

std::string_view WindTable::filledRow(std::size_t filled) const {
    const std::uint32_t begin = rowBounds_[2 * filled];
    return std::string_view(*text_).substr(begin, rowBounds_[2 * filled + 1] - begin);
}

std::size_t WindTable::fieldCount(std::size_t row) const {
    if (row >= rowCount()) {
        return 0;
    }
    const std::optional<std::size_t> filled = filledIndex(row);
    // A blank line is one empty field, as is a row when no field separator cuts it.
    if (!filled || fieldSeparator_.empty()) {
        return 1;
    }
    const std::string_view line = filledRow(*filled);
    std::size_t fields = 1;
    for (std::size_t at = nextSeparator(line, 0, fieldSeparator_); at < line.size();
         at = nextSeparator(line, at + fieldSeparator_.size(), fieldSeparator_)) {
        ++fields;
    }
    return fields;
}

std::string_view WindTable::field(std::size_t row, std::size_t column) const {
    if (row >= rowCount()) {
        return {};
    }
    const std::optional<std::size_t> filled = filledIndex(row);
    if (!filled) {
        return {};
    }
    const std::string_view line = filledRow(*filled);
    if (fieldSeparator_.empty()) {
        return column == 0 ? line : std::string_view();
    }
    std::size_t begin = 0;
    for (std::size_t index = 0;; ++index) {
        const std::size_t end = nextSeparator(line, begin, fieldSeparator_);
        if (index == column) {
            return line.substr(begin, end - begin);
        }
        if (end == line.size()) {
            return {};
        }
        begin = end + fieldSeparator_.size();
    }
}

}  // namespace vane
