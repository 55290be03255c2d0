#include "core/recordings/list_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

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
    const std::string fileName = path.string();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return {{}, ListFileError{fileName, 0, "is a folder, not a " + std::string(kind)}};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {
            {},
            ListFileError{fileName, 0, std::string("cannot be opened: ") + std::strerror(errno)}};
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return {{}, ListFileError{fileName, 0, "could not be read to its end"}};
    }
    return {std::move(content).str(), std::nullopt};
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
