#include "core/files/input_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#include "core/files/huge_pages.h"

namespace vane {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

Problem fileProblem(const std::filesystem::path& path, std::string message) {
    return Problem{.title = "Problem with file",
                   .message = std::move(message),
                   .file = path.string(),
                   .line = 0,
                   .detail = {},
                   .kind = ProblemKind::unreadable};
}

Problem tooLarge(const std::filesystem::path& path, std::uint64_t limit) {
    return fileProblem(path, inputFileTooLargeMessage(limit));
}

}  // namespace

std::string inputFileTooLargeMessage(std::uint64_t limit) {
    return "is too large: Vane reads files up to " + std::to_string(limit / (1024 * 1024)) +
           " MiB (set " + kInputFileLimitVariable + " to a larger number of MiB to raise it)";
}

std::uint64_t inputFileLimit() {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    const char* text = std::getenv(kInputFileLimitVariable);
    std::uint64_t mebibytes = 0;
    if (text != nullptr) {
        const char* end = text + std::strlen(text);
        const auto [at, error] = std::from_chars(text, end, mebibytes);
        if (error != std::errc{} || at != end || mebibytes == 0 || mebibytes > UINT64_MAX / kMiB) {
            mebibytes = 0;
        }
    }
    return (mebibytes == 0 ? kDefaultInputFileLimitMiB : mebibytes) * kMiB;
}

Outcome<std::string> readInputFile(const std::filesystem::path& path, std::string_view kind,
                                   std::uint64_t limit) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (status.type() == std::filesystem::file_type::directory) {
        return fileProblem(path, "is a folder, not a " + std::string(kind));
    }
    std::uintmax_t size = 0;
    if (status.type() == std::filesystem::file_type::regular) {
        size = std::filesystem::file_size(path, code);
        if (code) {
            size = 0;
        } else if (size > limit) {
            return tooLarge(path, limit);
        }
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return fileProblem(path, std::string("cannot be opened: ") + std::strerror(errno));
    }
    // Read in pieces whatever the size claims: a pipe or device has none, and a file may grow.
    constexpr std::size_t kPiece = 1 << 16;
    // Zero bytes at the start are counted rather than kept until another byte comes, so that a
    // device such as /dev/zero reaches the limit at once and without being held.
    std::uint64_t leadingZeros = 0;
    std::array<char, kPiece> piece{};
    std::size_t got = 0;
    std::size_t zeros = 0;
    do {
        got = std::fread(piece.data(), 1, kPiece, file.get());
        zeros = static_cast<std::size_t>(
            std::find_if(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got),
                         [](char c) { return c != '\0'; }) -
            piece.begin());
        leadingZeros += zeros;
        if (leadingZeros > limit) {
            return tooLarge(path, limit);
        }
    } while (zeros == kPiece);
    std::string bytes;
    // Room for the whole file and the piece that finds its end, so that a file of the size it
    // claims is never moved: that copy would double the peak memory of reading it.
    bytes.reserve(static_cast<std::size_t>(std::max<std::uint64_t>(size, leadingZeros)) + kPiece);
    adviseHugePages(bytes.data(), bytes.capacity());
    bytes.assign(static_cast<std::size_t>(leadingZeros), '\0');
    bytes.append(piece.data() + zeros, got - zeros);
    while (got == kPiece) {
        const std::size_t had = bytes.size();
        if (bytes.capacity() < had + kPiece) {
            // Doubling would reach twice the limit just before refusing an endless device; the
            // last step goes to the limit itself.
            std::uint64_t wanted = std::max<std::uint64_t>(2 * bytes.capacity(), had + kPiece);
            if (wanted >= limit) {
                wanted = limit + kPiece;
            }
            bytes.reserve(static_cast<std::size_t>(wanted));
            adviseHugePages(bytes.data() + had, bytes.capacity() - had);
        }
        bytes.resize(had + kPiece);
        got = std::fread(bytes.data() + had, 1, kPiece, file.get());
        bytes.resize(had + got);
        if (bytes.size() > limit) {
            return tooLarge(path, limit);
        }
    }
    if (std::ferror(file.get())) {
        return fileProblem(path,
                           std::string("could not be read to its end: ") + std::strerror(errno));
    }
    return bytes;
}

}  // namespace vane
