// A WAVE file's chunks and the GUANO metadata in them: the bytes are read once as the GUANO
// text and once as a whole file, whose chunk walk checks every size against the file, and as
// the recording an import takes from it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "core/recordings/file_name_timestamp.h"
#include "core/recordings/guano.h"
#include "core/recordings/recording_folder_scan.h"
#include "core/recordings/riff_chunks.h"
#include "fuzz/fuzz_zone.h"

namespace {

// The readers take a path, so each input becomes this file; it goes when the fuzzer ends.
class ScratchFile {
  public:
    ScratchFile()
        : path_(std::filesystem::temp_directory_path() /
                ("vane-guano-riff-fuzzer-" + std::to_string(::getpid()) + ".wav")) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

const std::filesystem::path& scratchFile() {
    static const ScratchFile file;
    return file.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)vane::parseGuano(bytes);
    (void)vane::parseFileNameTimestamp(bytes.substr(0, 256));
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // A refused file is always said to be refused in words.
    const vane::RiffChunkSearch chunk = vane::findRiffChunk(scratchFile(), "guan", 1u << 16);
    if (!chunk && chunk.error().message.empty()) {
        std::abort();
    }
    const vane::GuanoFileResult file = vane::readGuanoFile(scratchFile());
    if (!file && file.error().message.empty()) {
        std::abort();
    }
    // As an import reads it: a recording or why not, and a damaged file is none.
    const vane::Outcome<vane::RecordingFile> recording =
        vane::readRecordingFile(scratchFile(), vane::fuzz::berlin());
    if ((!recording && recording.error().message.empty()) || (!file && recording)) {
        std::abort();
    }
    return 0;
}
