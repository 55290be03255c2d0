#pragma once

#include <filesystem>
#include <optional>

#include "library/recording_library.h"

namespace vane::library {

// A new library file, written under a hidden name of its own beside the one it is for and given
// that name only once complete, never over a file that came meanwhile: a run stopped halfway
// leaves nothing, and two runs making the same library cannot undo each other's work. Messages
// call it by the name it is for.
class NewLibraryFile {
  public:
    // Throws LibraryError when it cannot be made.
    explicit NewLibraryFile(const std::filesystem::path& file);
    // Removes what was written, journal and all, unless published.
    ~NewLibraryFile();
    NewLibraryFile(const NewLibraryFile&) = delete;
    NewLibraryFile& operator=(const NewLibraryFile&) = delete;

    RecordingLibrary& library() { return *library_; }

    // Closes the library and gives it its name. False when a file of that name came meanwhile
    // (another program made it): then nothing of this one is left. Throws LibraryError when the
    // folder refuses the name.
    bool publish();

  private:
    std::filesystem::path file_;
    std::filesystem::path written_;
    std::optional<RecordingLibrary> library_;
    bool published_ = false;
};

}  // namespace vane::library
