#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vane::library {

// Where a library is kept, as a person names it in one string: a `postgresql://` (or
// `postgres://`) URL names a server's database, anything else a file. The rest of the program asks
// this type which it is, so that the rule lives here only.
class LibraryLocation {
  public:
    // Implicit, so that a file or a URL given as text is a location wherever one is asked for.
    LibraryLocation(std::string named);
    LibraryLocation(const char* named) : LibraryLocation(std::string(named)) {}
    LibraryLocation(const std::filesystem::path& named) : LibraryLocation(named.string()) {}

    bool onServer() const { return onServer_; }
    // The file of a library kept in one; meaningless on a server.
    std::filesystem::path file() const { return named_; }
    // As named: the file's path or the URL, for messages, titles and the list of recent libraries.
    const std::string& text() const { return named_; }
    // As messages show it: a server URL's password, should one be typed, hidden.
    std::string shown() const;
    // "\"<shown>\"", as messages quote it.
    std::string quoted() const { return "\"" + shown() + "\""; }
    // A file that is not there yet; a server's database is never missing in this sense, since its
    // administrator makes it.
    bool isMissingFile() const;

    bool operator==(const LibraryLocation&) const = default;

  private:
    std::string named_;
    bool onServer_;
};

// A connection URL with the password in its user part or its `password=` parameter replaced by
// "***", so that a message never hands it on; any other text as it is.
std::string withPasswordHidden(std::string_view url);

}  // namespace vane::library
