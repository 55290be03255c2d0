#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "library/library_types.h"
#include "library/postgres_connection.h"
#include "tests/temp_path.h"

namespace vane::testing {

enum class LibraryBackend { Sqlite, Postgresql };

inline void PrintTo(LibraryBackend backend, std::ostream* out) {
    *out << (backend == LibraryBackend::Sqlite ? "SQLite" : "PostgreSQL");
}

inline std::string backendName(const ::testing::TestParamInfo<LibraryBackend>& info) {
    return info.param == LibraryBackend::Sqlite ? "Sqlite" : "Postgresql";
}

// The server the tests may make databases on: VANE_TEST_POSTGRESQL_URL names a database there
// (scripts/with-postgres.sh starts a private one and sets it).
inline const char* testServerUrl() {
    const char* url = std::getenv("VANE_TEST_POSTGRESQL_URL");
    return url && *url ? url : nullptr;
}

inline bool testServerRequired() {
    const char* required = std::getenv("VANE_TEST_POSTGRESQL_REQUIRED");
    return required && std::string(required) == "1";
}

// The same server's URL with another database in it.
inline std::string withDatabase(const std::string& url, const std::string& database) {
    const std::size_t authority = url.find("://") + 3;
    const std::size_t path = url.find('/', authority);
    const std::size_t query = url.find('?', authority);
    const std::string head = url.substr(0, std::min(path, query));
    return head + "/" + database + (query == std::string::npos ? "" : url.substr(query));
}

// The same server's URL, its database and all, for another user (the URL names one).
inline std::string withUser(const std::string& url, const std::string& user) {
    const std::size_t authority = url.find("://") + 3;
    return url.substr(0, authority) + user + url.substr(url.find('@', authority));
}

// A library location of its own for one test: a file in a temporary folder, or a new database
// on the test server, dropped again when the test ends.
class TestLibraryLocation {
  public:
    // Empty `skipReason` after construction: the location is ready.
    TestLibraryLocation(LibraryBackend backend, const std::string& stem)
        : backend_(backend), folder_(uniqueTempPath(stem)) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        if (backend == LibraryBackend::Sqlite) {
            location_ = (folder_ / "bats.vanelib").string();
            return;
        }
        if (!testServerUrl()) {
            skipReason_ =
                "No PostgreSQL server for the library tests: set "
                "VANE_TEST_POSTGRESQL_URL, or run them through "
                "scripts/with-postgres.sh (scripts/test.sh does).";
            return;
        }
        static std::atomic<int> made{0};
        database_ = "vane_test_" + std::to_string(::getpid()) + "_" + std::to_string(made++);
        admin().execute("CREATE DATABASE " + database_);
        location_ = withDatabase(testServerUrl(), database_);
    }
    ~TestLibraryLocation() {
        std::filesystem::remove_all(folder_);
        if (!database_.empty()) {
            try {
                admin().execute("DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
            } catch (const std::exception&) {
                // Left on a server that went away; it goes with the server's folder.
            }
        }
    }
    TestLibraryLocation(const TestLibraryLocation&) = delete;
    TestLibraryLocation& operator=(const TestLibraryLocation&) = delete;

    const std::string& skipReason() const { return skipReason_; }
    const std::string& location() const { return location_; }
    const std::filesystem::path& folder() const { return folder_; }
    LibraryBackend backend() const { return backend_; }

    // A connection of the test's own to the library's database, for what another program (or an
    // older Vane) would do to it.
    library::PostgresConnection connect() const { return library::PostgresConnection(location_); }

  private:
    static library::PostgresConnection admin() {
        return library::PostgresConnection(testServerUrl());
    }

    LibraryBackend backend_;
    std::filesystem::path folder_;
    std::string location_;
    std::string database_;
    std::string skipReason_;
};

// Skips a PostgreSQL case when there is no server, with the reason shown; fails it instead when
// the server was promised (CI, scripts/test.sh).
#define VANE_SKIP_WITHOUT_SERVER(location)               \
    do {                                                 \
        if (!(location).skipReason().empty()) {          \
            if (::vane::testing::testServerRequired()) { \
                FAIL() << (location).skipReason();       \
            }                                            \
            GTEST_SKIP() << (location).skipReason();     \
        }                                                \
    } while (false)

}  // namespace vane::testing
