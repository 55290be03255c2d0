#include "core/recordings/list_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vane {

Problem listFileProblem(std::string_view kind, const std::string& file, std::size_t line,
                        std::string message) {
    return {"Problem with " + std::string(kind), std::move(message), file, line, {}};
}

std::string_view withoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    return text;
}

Outcome<std::string> readListFile(const std::filesystem::path& path, std::string_view kind) {
    const std::string fileName = path.string();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return listFileProblem(kind, fileName, 0, "is a folder, not a " + std::string(kind));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return listFileProblem(kind, fileName, 0,
                               std::string("cannot be opened: ") + std::strerror(errno));
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return listFileProblem(kind, fileName, 0, "could not be read to its end");
    }
    return std::move(content).str();
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
