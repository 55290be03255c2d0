#include "core/recordings/riff_chunks.h"

#include <array>
#include <fstream>

#include "core/files/shown_content.h"

namespace vane {
namespace {

constexpr std::uint64_t kChunkHeaderSize = 8;

std::uint32_t littleEndian32(const char* bytes) {
    const auto byte = [bytes](int i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]));
    };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// Said of the file: "<file>: is not a RIFF/WAVE file".
Problem damaged(const std::filesystem::path& file, std::string message) {
    return {
        .title = "Problem with recording", .message = std::move(message), .file = file.string()};
}

}  // namespace

RiffChunkSearch findRiffChunk(const std::filesystem::path& file, std::string_view chunkId,
                              std::uint32_t maxChunkSize) {
    std::error_code ec;
    const std::uint64_t fileSize = std::filesystem::file_size(file, ec);
    if (ec) {
        return damaged(file, "cannot be read: " + ec.message());
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return damaged(file, "cannot be opened");
    }
    std::array<char, 12> header{};
    if (fileSize < header.size() || !in.read(header.data(), header.size())) {
        return damaged(file, "is too short to be a WAV file");
    }
    if (std::string_view(header.data(), 4) != "RIFF" ||
        std::string_view(header.data() + 8, 4) != "WAVE") {
        return damaged(file, "is not a RIFF/WAVE file");
    }
    // Recorders that stop mid-write leave the RIFF size wrong, so the file's own length bounds
    // the walk instead.
    std::uint64_t offset = header.size();
    while (offset + kChunkHeaderSize <= fileSize) {
        std::array<char, kChunkHeaderSize> chunkHeader{};
        in.seekg(static_cast<std::streamoff>(offset));
        if (!in.read(chunkHeader.data(), chunkHeader.size())) {
            return damaged(file, "could not be read at byte " + std::to_string(offset));
        }
        const std::string_view id(chunkHeader.data(), 4);
        const std::uint64_t size = littleEndian32(chunkHeader.data() + 4);
        const std::uint64_t dataStart = offset + kChunkHeaderSize;
        // A chunk cut short is a file cut short (or overwritten): what it and the chunks after
        // it held, such as the metadata recorders append, is gone.
        if (size > fileSize - dataStart) {
            return damaged(
                file, "has a '" + shownContent(id) + "' chunk of " + std::to_string(size) +
                          " bytes that runs past the end of the file (" + std::to_string(fileSize) +
                          " bytes): it is damaged or cut short");
        }
        if (id == chunkId) {
            if (size > maxChunkSize) {
                return damaged(file, "has a '" + std::string(chunkId) +
                                         "' chunk too large to be metadata (" +
                                         std::to_string(size) + " bytes)");
            }
            std::string data(size, '\0');
            if (!in.read(data.data(), static_cast<std::streamsize>(size))) {
                return damaged(file, "could not be read at byte " + std::to_string(dataStart));
            }
            return std::optional(std::move(data));
        }
        // Chunks are padded to an even length.
        offset = dataStart + size + (size & 1u);
    }
    return std::optional<std::string>();
}

}  // namespace vane
