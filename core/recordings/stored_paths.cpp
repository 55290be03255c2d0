#include "core/recordings/stored_paths.h"

#include <cctype>
#include <string_view>

namespace vane {
namespace {

bool isAbsoluteAnywhere(std::string_view path) {
    const bool windowsDrive = path.size() >= 2 &&
                              std::isalpha(static_cast<unsigned char>(path[0])) != 0 &&
                              path[1] == ':';
    return path.starts_with('/') || path.starts_with('\\') || windowsDrive;
}

}  // namespace

std::filesystem::path canonicalPath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::canonical(path, ec);
    return ec ? path : canonical;
}

std::filesystem::path tableFolder(const std::filesystem::path& table) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::canonical(table, ec);
    if (!ec && std::filesystem::is_regular_file(canonical, ec)) {
        return canonical.parent_path();
    }
    return canonicalPath(std::filesystem::current_path(ec));
}

void anchorFilePaths(std::vector<ImportedRecording>& recordings,
                     const std::filesystem::path& folder) {
    const std::string prefix = (folder / "").string();
    for (ImportedRecording& recording : recordings) {
        std::string& path = recording.filePath;
        if (path.empty() || isAbsoluteAnywhere(path)) {
            continue;
        }
        // Most names need only the folder before them; a table of millions is read on.
        const bool plain =
            path != "." && path != ".." && !path.starts_with("./") && !path.starts_with("../") &&
            path.find("/./") == std::string::npos && path.find("/../") == std::string::npos &&
            path.find("//") == std::string::npos && !path.ends_with("/.") && !path.ends_with("/..");
        path = plain ? prefix + path : (folder / path).lexically_normal().string();
    }
}

Outcome<RecordingSourceRead> readRecordingSourceToStore(const std::filesystem::path& path,
                                                        const icu::TimeZone& zone,
                                                        const NamedColumns& named) {
    std::error_code ec;
    const std::filesystem::path canonical = canonicalPath(path);
    if (std::filesystem::is_directory(canonical, ec) || isRecordingFileName(canonical)) {
        return readRecordingSource(canonical, zone, named);
    }
    // A table is read by the name it was given, which its messages show.
    Outcome<RecordingSourceRead> read = readRecordingSource(path, zone, named);
    if (read) {
        anchorFilePaths(read->recordings, tableFolder(path));
    }
    return read;
}

}  // namespace vane
