#include "core/import/wind_table.h"

#include <algorithm>
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
    firstBounds_.reserve(count.lines + 1);
    std::size_t lineStart = 0;
    bool widthKnown = false;
    while (true) {
        const std::size_t lineEnd = nextSeparator(all, lineStart, lineSeparator);
        firstBounds_.push_back(static_cast<std::uint32_t>(bounds_.size()));
        // A blank line keeps no bounds at all: a file of nothing but line breaks must cost a
        // few bytes a line, not a row's worth of offsets.
        if (lineEnd > lineStart) {
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
        if (lineEnd == all.size()) {
            break;
        }
        lineStart = lineEnd + lineSeparator.size();
    }
    firstBounds_.push_back(static_cast<std::uint32_t>(bounds_.size()));
}

std::size_t WindTable::fieldCount(std::size_t row) const {
    if (row >= rowCount()) {
        return 0;
    }
    const std::size_t bounds = firstBounds_[row + 1] - firstBounds_[row];
    return bounds == 0 ? 1 : bounds - 1;  // a blank line is one empty field
}

std::string_view WindTable::field(std::size_t row, std::size_t column) const {
    if (column >= fieldCount(row) || firstBounds_[row + 1] == firstBounds_[row]) {
        return {};
    }
    const std::size_t first = firstBounds_[row];
    const std::size_t begin =
        column == 0 ? bounds_[first] : bounds_[first + column] + fieldSeparatorLength_;
    return std::string_view(*text_).substr(begin, bounds_[first + column + 1] - begin);
}

}  // namespace vane
