#include "library/new_library_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "library/sqlite_library_store.h"

namespace vane::library {
namespace {

std::string describe(const std::filesystem::path& file) {
    return "\"" + file.string() + "\"";
}

// Unforeseeable, so that neither another run nor anyone else holds it already.
std::filesystem::path hiddenNameBeside(const std::filesystem::path& file) {
    std::random_device random;
    const auto draw = [&random] { return static_cast<unsigned long long>(random()); };
    char tag[17];
    std::snprintf(tag, sizeof tag, "%08llx%08llx", draw() & 0xFFFFFFFFULL, draw() & 0xFFFFFFFFULL);
    std::filesystem::path hidden = file;
    hidden.replace_filename("." + file.filename().string() + "." + tag + ".unfinished");
    return hidden;
}

std::filesystem::path journalOf(const std::filesystem::path& file) {
    return std::filesystem::path(file.string() + "-journal");
}

// Renames without replacing; where the file system cannot say so in one step, a hard link does
// the same. Answers errno, 0 on success.
int renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return errno;
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

NewLibraryFile::NewLibraryFile(const std::filesystem::path& file)
    : file_(file), written_(hiddenNameBeside(file)) {
    library_.emplace(RecordingLibrary(file_, createSqliteStore(written_, file_)));
}

NewLibraryFile::~NewLibraryFile() {
    library_.reset();
    if (!published_) {
        std::error_code ignored;
        std::filesystem::remove(written_, ignored);
        std::filesystem::remove(journalOf(written_), ignored);
    }
}

bool NewLibraryFile::publish() {
    library_.reset();
    const int error = renameWithoutReplacing(written_, file_);
    if (error == EEXIST) {
        return false;
    }
    if (error != 0) {
        throw LibraryError(describe(file_) + " cannot be made: " + std::strerror(error));
    }
    published_ = true;
    return true;
}

}  // namespace vane::library
