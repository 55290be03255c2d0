#pragma once

#include <stdexcept>

namespace vane::library {

// What an SQLite file or a server refused, in its own words; the library turns it into a
// LibraryError that says what became of the change.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace vane::library
