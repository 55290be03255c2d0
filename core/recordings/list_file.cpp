#include "core/recordings/list_file.h"

#include "core/files/input_file.h"

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
    Outcome<std::string> bytes = readInputFile(path, kind);
    if (!bytes) {
        return listFileProblem(kind, path.string(), 0, std::move(bytes).error().message);
    }
    return bytes;
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
