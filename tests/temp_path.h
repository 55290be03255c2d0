#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace vane::testing {

// A folder of this test process's own under an unforeseeable name (made by mkdtemp, so no one
// can put a file or link there first), removed with all it holds when the process ends. A child
// forked from the process leaves it to its parent.
inline const std::filesystem::path& processTempFolder() {
    struct Folder {
        std::filesystem::path path;
        pid_t owner = ::getpid();

        Folder() {
            std::string name =
                (std::filesystem::temp_directory_path() / "vane-test-XXXXXX").string();
            if (::mkdtemp(name.data()) == nullptr) {
                throw std::runtime_error("cannot make a temporary folder for the tests");
            }
            path = name;
        }
        ~Folder() {
            if (::getpid() == owner) {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        }
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
    };
    static const Folder folder;
    return folder.path;
}

// A path of its own for each test, so tests may run in parallel (ctest -j, two builds at once)
// without removing each other's files. A parameterised test's name holds '/', which must not
// make a folder of its own.
inline std::filesystem::path uniqueTempPath(const std::string& stem) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "-" + test->name() : "";
    std::replace(name.begin(), name.end(), '/', '-');
    return processTempFolder() / (stem + "-" + name);
}

}  // namespace vane::testing
