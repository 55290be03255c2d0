#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace vane::testing {

// A path of its own for each test and process, so tests may run in parallel (ctest -j, two
// builds at once) without removing each other's files.
inline std::filesystem::path uniqueTempPath(const std::string& stem) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::filesystem::temp_directory_path() /
           (stem + "-" + (test ? test->name() : "") + "-" + std::to_string(::getpid()));
}

}  // namespace vane::testing
