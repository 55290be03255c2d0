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
        const std::string_view tail = stem.substr(start + 16);
        if (tail.empty() || tail.size() > kMaxTailDigits ||
            !cursor.readFraction(kMaxTailDigits, stamp.fraction)) {
            return std::nullopt;
        }
    }
    if (!cursor.atEnd() || !isValid(local.date) || local.hour > 23 || local.minute > 59 ||
        local.second > 59) {
        return std::nullopt;
    }
    return stamp;
}

// From 2000-01-01 to the end of 2099: a name of eight decimal digits such as a bare date reads
// as a time before 2000 and so is not taken for Unix time.
std::optional<FileNameTimestamp> readHexUnixTime(std::string_view stem) {
    constexpr std::size_t kHexDigits = 8;
    constexpr long long kFirst = 946684800LL;
    constexpr long long kLast = 4102444799LL;
    constexpr long long kSecondsPerDay = 86400;
    if (stem.size() != kHexDigits) {
        return std::nullopt;
    }
    long long seconds = 0;
    for (const char c : stem) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        seconds = seconds * 16 + digit;
    }
    if (seconds < kFirst || seconds > kLast) {
        return std::nullopt;
    }
    FileNameTimestamp stamp;
    stamp.utc = true;
    stamp.local.date = addDays(CivilDate{}, static_cast<long>(seconds / kSecondsPerDay));
    const long long ofDay = seconds % kSecondsPerDay;
    stamp.local.hour = static_cast<int>(ofDay / 3600);
    stamp.local.minute = static_cast<int>(ofDay / 60 % 60);
    stamp.local.second = static_cast<int>(ofDay % 60);
    return stamp;
}

}  // namespace

std::optional<FileNameTimestamp> parseFileNameTimestamp(std::string_view fileName) {
    const std::string_view stem = withoutExtension(fileName);
    if (auto stamp = readHexUnixTime(stem)) {
        return stamp;
    }
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
