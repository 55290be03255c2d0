#include "core/recordings/list_file.h"

#include "core/files/input_file.h"

namespace vane {

std::string ListFileError::describe() const {
    if (line == 0) {
        return file + ": " + message;
    }
    return file + ":" + std::to_string(line) + ": " + message;
}

std::string_view withoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    return text;
}

ListFileText readListFile(const std::filesystem::path& path, std::string_view kind) {
    Outcome<std::string> bytes = readInputFile(path, kind);
    if (!bytes) {
        return {{}, ListFileError{path.string(), 0, std::move(bytes).error().message}};
    }
    return {std::move(bytes).value(), std::nullopt};
}

std::optional<std::string_view> NumberedLines::next() {
    if (rest_.empty()) {
        return std::nullopt;
    }
    ++number_;
    const std::size_t end = rest_.find('\n');
    const std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return line;
}

}  // namespace vane
