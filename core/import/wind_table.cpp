#include "core/import/wind_table.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

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
    : startAt(startAt),
      text_(std::move(text)),
      fieldSeparatorLength_(static_cast<std::uint32_t>(fieldSeparator.size())) {
    if (!text_ || text_->size() >= kLargestText || lineSeparator.empty() ||
        fieldSeparator.size() >= kLargestText) {
        text_.reset();
        return;
    }
    const std::string_view all(*text_);
    const LineCount count = countLines(all, lineSeparator);
    const std::size_t filledLines = count.lines - count.blankLines;
    firstBounds_.reserve(filledLines + 1);
    blocks_.reserve((count.lines + 63) / 64);
    std::size_t lineStart = 0;
    bool widthKnown = false;
    while (true) {
        const std::size_t lineEnd = nextSeparator(all, lineStart, lineSeparator);
        if (rowCount_ % 64 == 0) {
            blocks_.push_back({0, static_cast<std::uint32_t>(firstBounds_.size())});
        }
        // A blank line keeps no bounds at all: a file of nothing but line breaks must cost a
        // bit a line, not a row's worth of offsets.
        if (lineEnd > lineStart) {
            blocks_.back().filled |= std::uint64_t{1} << (rowCount_ % 64);
            firstBounds_.push_back(static_cast<std::uint32_t>(bounds_.size()));
            const std::string_view line = all.substr(0, lineEnd);
            bounds_.push_back(static_cast<std::uint32_t>(lineStart));
            if (!fieldSeparator.empty()) {
                for (std::size_t at = nextSeparator(line, lineStart, fieldSeparator); at < lineEnd;
                     at = nextSeparator(line, at + fieldSeparator.size(), fieldSeparator)) {
                    bounds_.push_back(static_cast<std::uint32_t>(at));
                }
            }
            bounds_.push_back(static_cast<std::uint32_t>(lineEnd));
            if (!widthKnown) {
                // The first row's width stands for every filled row's, so the offsets are
                // allocated once.
                widthKnown = true;
                const std::size_t mostBounds =
                    (fieldSeparator.empty() ? 0 : all.size() / fieldSeparator.size()) +
                    2 * filledLines;
                bounds_.reserve(std::min(bounds_.size() * filledLines, mostBounds));
            }
        }
        ++rowCount_;
        if (lineEnd == all.size()) {
            break;
        }
        lineStart = lineEnd + lineSeparator.size();
    }
    firstBounds_.push_back(static_cast<std::uint32_t>(bounds_.size()));
}

std::optional<std::size_t> WindTable::filledIndex(std::size_t row) const {
    const RowBlock& block = blocks_[row / 64];
    const std::uint64_t bit = std::uint64_t{1} << (row % 64);
    if ((block.filled & bit) == 0) {
        return std::nullopt;
    }
    return block.filledBefore + static_cast<std::size_t>(std::popcount(block.filled & (bit - 1)));
}

std::size_t WindTable::fieldCount(std::size_t row) const {
    if (row >= rowCount()) {
        return 0;
    }
    const std::optional<std::size_t> filled = filledIndex(row);
    // A blank line is one empty field.
    return filled ? firstBounds_[*filled + 1] - firstBounds_[*filled] - 1 : 1;
}

std::string_view WindTable::field(std::size_t row, std::size_t column) const {
    if (row >= rowCount()) {
        return {};
    }
    const std::optional<std::size_t> filled = filledIndex(row);
    if (!filled || column >= firstBounds_[*filled + 1] - firstBounds_[*filled] - 1) {
        return {};
    }
    const std::size_t first = firstBounds_[*filled];
    const std::size_t begin =
        column == 0 ? bounds_[first] : bounds_[first + column] + fieldSeparatorLength_;
    return std::string_view(*text_).substr(begin, bounds_[first + column + 1] - begin);
}

}  // namespace vane
