#include "core/recordings/list_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/files/input_file.h"
#include "core/import/text_reading.h"
#include "core/text/utf8.h"

namespace vane {

Problem listFileProblem(std::string_view kind, const std::string& file, std::size_t line,
                        std::string message, ProblemKind problemKind) {
    return {"Problem with " + std::string(kind), std::move(message), file, line, {}, problemKind};
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
        return listFileProblem(kind, path.string(), 0, std::move(bytes).error().message,
                               ProblemKind::unreadable);
    }
    return listText(std::move(bytes).value(), path.string(), kind);
}

Outcome<std::string> listText(std::string bytes, const std::string& fileName,
                              std::string_view kind) {
    std::string text;
    if (isValidUtf8(bytes)) {
        text = std::move(bytes);
    } else {
        Outcome<DecodedText> decoded = decodeDetectingEncoding(bytes);
        if (!decoded) {
            const std::size_t bad = firstInvalidUtf8Byte(bytes).value_or(0);
            return listFileProblem(kind, fileName, lineAt(bytes, bad),
                                   "is not UTF-8 text, and no other encoding reads the whole "
                                   "file; save it as UTF-8");
        }
        text = std::move(decoded->text);
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        return listFileProblem(kind, fileName, lineAt(text, nul),
                               "holds a NUL byte, which no text holds; is it a text file?");
    }
    return text;
}

Outcome<void> readListFileInPieces(const std::filesystem::path& path, std::string_view kind,
                                   const std::function<bool(std::string_view)>& read) {
    const std::string fileName = path.string();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return listFileProblem(kind, fileName, 0, "is a folder, not a " + std::string(kind),
                               ProblemKind::unreadable);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return listFileProblem(kind, fileName, 0,
                               std::string("cannot be opened: ") + std::strerror(errno),
                               ProblemKind::unreadable);
    }
    // Pieces keep the memory small, yet a pipe or device without end (or a file past the limit)
    // must still be refused rather than read for ever; a file says its size at once.
    const std::uint64_t limit = inputFileLimit();
    if (std::filesystem::is_regular_file(path, ec) &&
        std::filesystem::file_size(path, ec) > limit && !ec) {
        return listFileProblem(kind, fileName, 0, inputFileTooLargeMessage(limit));
    }
    std::uint64_t total = 0;
    constexpr std::size_t kBlock = 1 << 20;
    std::string buffer;
    std::size_t lineStart = 0;  // of the first line not yet handed on
    while (in) {
        buffer.erase(0, lineStart);
        lineStart = 0;
        const std::size_t had = buffer.size();
        buffer.resize(had + kBlock);
        in.read(buffer.data() + had, static_cast<std::streamsize>(kBlock));
        buffer.resize(had + static_cast<std::size_t>(in.gcount()));
        total += static_cast<std::uint64_t>(in.gcount());
        if (total > limit) {
            return listFileProblem(kind, fileName, 0, inputFileTooLargeMessage(limit),
                                   ProblemKind::unreadable);
        }
        // Only the new bytes are searched: a line without end must not be scanned again and
        // again while it grows.
        const std::size_t lastBreak = std::string_view(buffer).substr(had).rfind('\n');
        if (lastBreak != std::string_view::npos && in) {
            lineStart = had + lastBreak + 1;
            if (!read(std::string_view(buffer).substr(0, lineStart))) {
                return {};
            }
        }
    }
    if (in.bad()) {
        return listFileProblem(kind, fileName, 0, "could not be read to its end",
                               ProblemKind::unreadable);
    }
    read(std::string_view(buffer).substr(lineStart));
    return {};
}

Outcome<ListInput> ListInput::open(const std::filesystem::path& path, std::string_view kind) {
    constexpr std::size_t kLongestHeader = 64 * 1024;
    ListInput input(path);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        input.start_.resize(kLongestHeader);
        in.read(input.start_.data(), static_cast<std::streamsize>(kLongestHeader));
        input.start_.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        Outcome<std::string> bytes = readListFile(path, kind);
        if (!bytes) {
            return std::move(bytes).error();
        }
        input.bytes_ = std::move(bytes).value();
        input.start_ = input.bytes_->substr(0, kLongestHeader);
    }
    return input;
}

Outcome<std::string_view> ListInput::text(std::string_view kind) {
    if (!bytes_) {
        Outcome<std::string> bytes = readListFile(path_, kind);
        if (!bytes) {
            return std::move(bytes).error();
        }
        bytes_ = std::move(bytes).value();
    }
    return std::string_view(*bytes_);
}

Outcome<void> ListInput::readInPieces(std::string_view kind,
                                      const std::function<bool(std::string_view)>& read) {
    if (bytes_) {
        read(*bytes_);
        return {};
    }
    return readListFileInPieces(path_, kind, read);
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
