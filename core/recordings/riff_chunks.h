#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/outcome/outcome.h"

namespace vane {

// The bytes of one chunk of a RIFF/WAVE file, nothing when a well-formed file has no such
// chunk, or the problem of a file that cannot be walked ("is not a RIFF/WAVE file", said of the
// file it names).
using RiffChunkSearch = Outcome<std::optional<std::string>>;

// Walks the chunk headers of a RIFF/WAVE file without reading the audio, so that looking at
// thousands of long recordings stays cheap. Every size is checked against the file's length
// before it is used: one that runs past the end, whichever it is, makes the file damaged. Chunks
// larger than maxChunkSize are refused rather than read.
RiffChunkSearch findRiffChunk(const std::filesystem::path& file, std::string_view chunkId,
                              std::uint32_t maxChunkSize = 1u << 20);

}  // namespace vane
