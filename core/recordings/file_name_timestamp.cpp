#include "core/recordings/file_name_timestamp.h"

#include "core/time/text_fields.h"

namespace vane {
namespace {

constexpr std::size_t kMaxTailDigits = 6;

std::string_view withoutExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

// The stamp must run to the end of the name, apart from the microseconds tail.
std::optional<FileNameTimestamp> readStampAt(std::string_view stem, std::size_t start) {
    TextCursor cursor{stem.substr(start)};
    FileNameTimestamp stamp;
    LocalDateTime& local = stamp.local;
    if (!cursor.readFixedDigits(4, local.date.year) ||
        !cursor.readFixedDigits(2, local.date.month) ||
        !cursor.readFixedDigits(2, local.date.day) || !(cursor.skip('_') || cursor.skip('$')) ||
        !cursor.readFixedDigits(2, local.hour) || !cursor.readFixedDigits(2, local.minute) ||
        !cursor.readFixedDigits(2, local.second)) {
        return std::nullopt;
    }
    if (cursor.skip('_')) {
        int microseconds = 0;
        const std::string_view tail = stem.substr(start + 16);
        if (tail.empty() || tail.size() > kMaxTailDigits ||
            !cursor.readFixedDigits(tail.size(), microseconds)) {
            return std::nullopt;
        }
        stamp.fraction = microseconds / 1e6;
    }
    if (!cursor.atEnd() || !isValid(local.date) || local.hour > 23 || local.minute > 59 ||
        local.second > 59) {
        return std::nullopt;
    }
    return stamp;
}

}  // namespace

std::optional<FileNameTimestamp> parseFileNameTimestamp(std::string_view fileName) {
    const std::string_view stem = withoutExtension(fileName);
    for (std::size_t start = 0; start < stem.size(); ++start) {
        if (start > 0 && stem[start - 1] != '_') {
            continue;
        }
        if (auto stamp = readStampAt(stem, start)) {
            return stamp;
        }
    }
    return std::nullopt;
}

}  // namespace vane
