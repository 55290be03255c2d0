#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vane {

// The outcome of looking for one chunk of a RIFF/WAVE file. Exactly one of the three holds:
// the chunk's bytes, "not there" (a well-formed file without it), or a problem saying why the
// file could not be walked.
struct RiffChunkSearch {
    std::optional<std::string> data;
    std::string problem;  // empty unless the file is not a readable RIFF/WAVE file
};

// Walks the chunk headers of a RIFF/WAVE file without reading the audio, so that looking at
// thousands of long recordings stays cheap. Every size is checked against the file's length
// before it is used; chunks larger than maxChunkSize are refused rather than read.
RiffChunkSearch findRiffChunk(const std::filesystem::path& file, std::string_view chunkId,
                              std::uint32_t maxChunkSize = 1u << 20);

}  // namespace vane
