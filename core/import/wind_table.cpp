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

std::size_t countSeparators(std::string_view text, std::string_view separator) {
    std::size_t count = 0;
    for (std::size_t at = nextSeparator(text, 0, separator); at < text.size();
         at = nextSeparator(text, at + separator.size(), separator)) {
        ++count;
    }
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
    const std::size_t rows = countSeparators(all, lineSeparator) + 1;
    rowStarts_.reserve(rows);
    firstFields_.reserve(rows + 1);
    std::size_t lineStart = 0;
    while (true) {
        const std::size_t lineEnd = nextSeparator(all, lineStart, lineSeparator);
        const std::string_view line = all.substr(0, lineEnd);
        rowStarts_.push_back(static_cast<std::uint32_t>(lineStart));
        firstFields_.push_back(static_cast<std::uint32_t>(fieldEnds_.size()));
        if (!fieldSeparator.empty()) {
            for (std::size_t at = nextSeparator(line, lineStart, fieldSeparator); at < lineEnd;
                 at = nextSeparator(line, at + fieldSeparator.size(), fieldSeparator)) {
                fieldEnds_.push_back(static_cast<std::uint32_t>(at));
            }
        }
        fieldEnds_.push_back(static_cast<std::uint32_t>(lineEnd));
        if (rowStarts_.size() == 1) {
            // The header's width stands for every row's, so the offsets are allocated once.
            const std::size_t mostFields =
                fieldSeparator.empty() ? rows : all.size() / fieldSeparator.size() + rows;
            fieldEnds_.reserve(std::min(fieldEnds_.size() * rows, mostFields));
        }
        if (lineEnd == all.size()) {
            break;
        }
        lineStart = lineEnd + lineSeparator.size();
    }
    firstFields_.push_back(static_cast<std::uint32_t>(fieldEnds_.size()));
}

std::size_t WindTable::fieldCount(std::size_t row) const {
    return row < rowCount() ? firstFields_[row + 1] - firstFields_[row] : 0;
}

std::string_view WindTable::field(std::size_t row, std::size_t column) const {
    if (column >= fieldCount(row)) {
        return {};
    }
    const std::size_t index = firstFields_[row] + column;
    const std::size_t begin =
        column == 0 ? rowStarts_[row] : fieldEnds_[index - 1] + fieldSeparatorLength_;
    return std::string_view(*text_).substr(begin, fieldEnds_[index] - begin);
}

}  // namespace vane
