// vane import run as a person or a script runs it: as processes of their own, two at once, and
// stopped by a signal halfway.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "library/recording_library.h"
#include "tests/temp_path.h"

extern char** environ;

namespace vane {
namespace {

using ::testing::HasSubstr;

class ImportProcessesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // A list of `count` time stamps a second apart from `first` (seconds into 2012-06-01).
    std::filesystem::path list(const std::string& name, int first, int count) const {
        std::ofstream out(folder_ / name);
        char line[32];
        for (int i = first; i < first + count; ++i) {
            std::snprintf(line, sizeof line, "2012-06-%02d %02d:%02d:%02d\n", 1 + i / 86400,
                          i % 86400 / 3600, i % 3600 / 60, i % 60);
            out << line;
        }
        return folder_ / name;
    }

    // Starts `vane import` into the library with the signals at their defaults, as a shell's
    // foreground command has them; its output goes to NAME.out and NAME.err.
    pid_t startImport(const std::string& name, const std::string& session,
                      const std::filesystem::path& source) const {
        const std::string out = (folder_ / (name + ".out")).string();
        const std::string err = (folder_ / (name + ".err")).string();
        const std::string library = library_.string();
        const std::string from = source.string();
        std::vector<const char*> args = {VANE_PROGRAM,    "import",    "--library",
                                         library.c_str(), "--session", session.c_str(),
                                         from.c_str(),    nullptr};
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigemptyset(&signals);
        for (const int signal : {SIGINT, SIGTERM}) {
            sigaddset(&signals, signal);
        }
        posix_spawnattr_setsigdefault(&attributes, &signals);
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        pid_t pid = -1;
        const int failed = posix_spawn(&pid, VANE_PROGRAM, &files, &attributes,
                                       const_cast<char* const*>(args.data()), environ);
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
        EXPECT_EQ(failed, 0) << "cannot start " << VANE_PROGRAM;
        return pid;
    }

    // The exit status, or 1000 plus the signal that ended the process.
    static int finish(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }

    std::string output(const std::string& name) const {
        std::ifstream in(folder_ / name);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Every name in the folder, hidden ones too, but the commands' output.
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::filesystem::path& path = entry.path();
            if (path.extension() != ".out" && path.extension() != ".err") {
                found.insert(path.filename().string());
            }
        }
        return found;
    }

    // Recordings per session name.
    std::map<std::string, std::size_t> sessionsInLibrary() const {
        const library::RecordingLibrary library = library::RecordingLibrary::open(library_);
        std::map<std::string, std::size_t> counts;
        for (const library::LibrarySession& session : library.sessions().rows) {
            counts[session.name] = static_cast<std::size_t>(session.recordingCount);
        }
        return counts;
    }

    // Waits until a name in the folder ends in `suffix`; false when the import ended first.
    bool waitForNameEndingIn(const std::string& suffix, pid_t importer) const {
        for (int tries = 0; tries < 2000; ++tries) {
            for (const std::string& name : names()) {
                if (name.ends_with(suffix)) {
                    return true;
                }
            }
            int status = 0;
            if (::waitpid(importer, &status, WNOHANG) == importer) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-import-processes");
    std::filesystem::path library_ = folder_ / "bats.vanelib";
};

// Both make the new library at the same moment; each reported success must be in it.
TEST_F(ImportProcessesTest, TwoImportsMakingTheSameNewLibraryBothLand) {
    const std::filesystem::path a = list("a.txt", 0, 60'000);
    const std::filesystem::path b = list("b.txt", 60'000, 60'000);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::filesystem::remove(library_);
        const pid_t first = startImport("a", "Site A", a);
        const pid_t second = startImport("b", "Site B", b);
        EXPECT_EQ(finish(first), 0) << output("a.err");
        EXPECT_EQ(finish(second), 0) << output("b.err");
        EXPECT_THAT(output("a.out"),
                    HasSubstr("Imported 60000 recordings into session \"Site A\""));
        EXPECT_THAT(output("b.out"),
                    HasSubstr("Imported 60000 recordings into session \"Site B\""));
        const std::map<std::string, std::size_t> expected = {{"Site A", 60'000},
                                                             {"Site B", 60'000}};
        EXPECT_EQ(sessionsInLibrary(), expected);
        EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "b.txt", "bats.vanelib"}));
    }
}

// Ctrl-C or SIGTERM halfway: the command says so, ends as the signal would, and leaves the
// library as it was (or none) with no file of its own beside it; a file of the user's own named
// like one is left alone.
TEST_F(ImportProcessesTest, AStoppedImportLeavesNothingBehind) {
    const std::filesystem::path big = list("big.txt", 0, 300'000);
    std::ofstream(folder_ / "bats.vanelib.part") << "the user's own\n";
    for (const bool exists : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(exists ? "existing" : "new") + " library, signal " +
                         std::to_string(signal));
            std::filesystem::remove(library_);
            if (exists) {
                ASSERT_EQ(finish(startImport("small", "Site A", list("small.txt", 400'000, 3))), 0);
            }
            const std::set<std::string> before = names();
            const pid_t importer = startImport("big", "Site A", big);
            ASSERT_TRUE(waitForNameEndingIn(exists ? "-journal" : ".unfinished", importer));
            ::kill(importer, signal);
            EXPECT_EQ(finish(importer), 128 + signal);
            EXPECT_THAT(output("big.err"),
                        HasSubstr(exists ? "Stopped: nothing was imported; \"" + library_.string() +
                                               "\" is as it was"
                                         : "Stopped: nothing was imported; \"" + library_.string() +
                                               "\" was not made"));
            EXPECT_EQ(names(), before);
            if (exists) {
                EXPECT_EQ(sessionsInLibrary(), (std::map<std::string, std::size_t>{{"Site A", 3}}));
            }
        }
    }
    EXPECT_EQ(output("bats.vanelib.part"), "the user's own\n");
}

}  // namespace
}  // namespace vane
