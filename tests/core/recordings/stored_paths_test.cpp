#include "core/recordings/stored_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vane {
namespace {

TEST(StoredPathsTest, RelativeNamesAreTakenInTheFolderAndOthersKeptAsWritten) {
    const struct {
        const char* written;
        const char* stored;
    } cases[] = {
        {"S_20120621_220300.wav", "/survey/cardA/S_20120621_220300.wav"},
        {"./night1/a.wav", "/survey/cardA/night1/a.wav"},
        {"night1/../a.wav", "/survey/cardA/a.wav"},
        {"../cardB//a.wav", "/survey/cardB/a.wav"},
        {"/data/a.wav", "/data/a.wav"},
        {"C:\\Data\\a.wav", "C:\\Data\\a.wav"},
        {"d:/data/a.wav", "d:/data/a.wav"},
        {"\\\\server\\bats\\a.wav", "\\\\server\\bats\\a.wav"},
        {"", ""},
    };
    std::vector<ImportedRecording> recordings;
    for (const auto& c : cases) {
        recordings.push_back({0.0, 0, "", c.written});
    }
    anchorFilePaths(recordings, "/survey/cardA");
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        EXPECT_EQ(recordings[i].filePath, cases[i].stored) << cases[i].written;
    }
}

}  // namespace
}  // namespace vane
