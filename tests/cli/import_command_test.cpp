#include "cli/import_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unicode/timezone.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "cli/library_command.h"
#include "library/library_selection.h"
#include "library/recording_library.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/library/library_backends.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ImportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        options_.library = folder_ / "bats.vanelib";
        options_.session = "Summer";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return folder_ / name;
    }

    int run() {
        out_.str("");
        err_.str("");
        return runImport(options_, *berlin_, out_, err_);
    }

    std::size_t recordingsInLibrary() const {
        return library::readLibrarySelection(options_.library, {}).recordings.size();
    }

    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-import-test");
    ImportOptions options_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ImportCommandTest, ImportsEverySourceWithASummaryPerLabel) {
    options_.sources = {
        write("id.csv",
              "INDIR,OUTDIR,FOLDER,IN FILE,CHANNEL,OFFSET,DURATION,DATE,TIME,AUTO ID*,MATCH RATIO,"
              "MANUAL ID\n"
              "a,b,c,S_20120621_220300.wav,0,1.5,3,2012-06-21,22:03:00,NYCNOC,0.9,\n"
              "a,b,c,S_20120621_220400.wav,0,0,3,2012-06-21,22:04:00,Noise,,\n"
              "a,b,c,S_20120621_220500.wav,0,0,3,2012-06-21,22:05:00,PIPPIP,0.3,PIPNAT\n"
              "a,b,c,S_20120621_220600.wav,0,0,3,2012-06-21,22:06:00,PIPPIP,0.2,\n"),
        write("list.txt", "2012-06-21 23:00:00\n2012-06-21T23:10:00+02:00\n"),
    };
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(),
              "Imported 6 recordings into session \"Summer\" of " + options_.library.string() +
                  "\n"
                  "Per label:\n"
                  "  (no label)\t2\n"
                  "  NYCNOC\t1\n"
                  "  Noise\t1\n"
                  "  PIPNAT\t1\n"
                  "  PIPPIP\t1\n"
                  "Kept, but left out of analyses by default: 1 labelled noise or no ID, 1 with an "
                  "automatic probability below 0.5\n"
                  "Left out: 0 files\n");
    const library::LibrarySelection selection = library::readLibrarySelection(options_.library, {});
    ASSERT_EQ(selection.recordings.size(), 6u);
    // 22:03:00 + 1.5 s in Berlin summer time.
    EXPECT_DOUBLE_EQ(selection.recordings.front().recordingTime, 1340308981.5);
    EXPECT_EQ(selection.labels.name(selection.recordings.front().label), "NYCNOC");
    EXPECT_FLOAT_EQ(selection.recordings.front().probability, 0.9f);

    // A second import adds to the session of that name.
    options_.sources = {write("more.txt", "2012-06-22 23:00:00\n2012-06-22T23:10:00+02:00\n")};
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(recordingsInLibrary(), 8u);
    EXPECT_EQ(library::RecordingLibrary::open(options_.library).sessions().rows.size(), 1u);
}

// Running the same import again, or with one new file, adds only what is new and says so.
TEST_F(ImportCommandTest, ImportingTheSameSourcesAgainSkipsWhatIsThere) {
    options_.sources = {
        write("id.csv",
              "IN FILE,OFFSET,DATE,TIME,AUTO ID*,MATCH RATIO\n"
              "S.wav,0,2012-06-21,22:03:00,NYCNOC,0.9\n"
              "S.wav,1.5,2012-06-21,22:03:00,NYCNOC,0.8\n"),
        write("list.txt", "2012-06-21 23:00:00\n"),
    };
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(recordingsInLibrary(), 3u);

    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "Nothing new: all 3 recordings are in " + options_.library.string() +
                              " already; it is unchanged\n");
    EXPECT_EQ(recordingsInLibrary(), 3u);

    options_.sources.push_back(write("later.txt", "2012-06-21 23:30:00\n"));
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_THAT(out_.str(), HasSubstr("Imported 1 recording into session \"Summer\""));
    EXPECT_THAT(out_.str(), HasSubstr("Skipped 3 recordings already in the library\n"
                                      "Per label:\n  (no label)\t1\n"));
    EXPECT_EQ(recordingsInLibrary(), 4u);
}

TEST_F(ImportCommandTest, AnUnreadableSourceLeavesTheLibraryAsItWas) {
    options_.sources = {write("list.txt", "2012-06-21 23:00:00\n")};
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    options_.sources = {folder_ / "list.txt",
                        write("table.csv", "site,when,species\nnorth,21/06/2012 22:00,NYCNOC\n")};
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), HasSubstr("it has the columns \"site\", \"when\", \"species\". Name "
                                      "the time with --time-column NAME"));
    EXPECT_EQ(recordingsInLibrary(), 1u);
    // One whose times read too but no title names: taken as times alone, its species would be
    // lost.
    options_.sources = {write("tags.csv",
                              "location,recorded,species,speciesIndividualComment\n"
                              "north,2012-06-21 22:00:00,MYOLUC,\"faint, short\"\n")};
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), HasSubstr("tags.csv: is no table Vane knows; it has the columns "
                                      "\"location\", \"recorded\", \"species\""));
    EXPECT_EQ(recordingsInLibrary(), 1u);

    // Named, the columns are read: as ISO dates with '/', so the table is rewritten.
    options_.sources = {write("table.csv", "site,when,species\nnorth,2012/06/21 22:00,NYCNOC\n")};
    options_.named = {{"when"}, "species", ""};
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), HasSubstr("table.csv:2: expected a date and time in \"when\""));
    options_.sources = {
        write("table.csv", "site,when,species\nnorth,2012-06-21T22:00+02:00,NYCNOC\n")};
    EXPECT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(recordingsInLibrary(), 2u);
}

// Labels, session names, file names and the values quoted from files come from outside: none may
// drive the terminal or break a line of the summary.
TEST_F(ImportCommandTest, OutsideTextIsPrintedEscaped) {
    const std::filesystem::path cards = folder_ / "card\x1b[2J";
    std::filesystem::create_directories(cards);
    std::ofstream(cards / "\x1b]0;owned\a.wav", std::ios::binary) << "RIFF";
    options_.sources = {write("id.csv",
                              "IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\n"
                              "a.wav,2012-06-21,22:03:00,\x1b[31mNYCNOC,0.9,\n"
                              "b.wav,2012-06-21,22:04:00,\"NYC\nNOC\",0.9,\n"),
                        cards};
    options_.session = "Dune\n3\x1b[2J";
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    const std::string out = out_.str();
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << out;
    EXPECT_THAT(out, HasSubstr("into session \"Dune\\n3\\x1b[2J\" of "));
    EXPECT_THAT(out, HasSubstr("\n  \\x1b[31mNYCNOC\t1\n  NYC\\nNOC\t1\n"));
    EXPECT_THAT(out,
                HasSubstr("card\\x1b[2J/\\x1b]0;owned\\x07.wav: is too short to be a WAV file"));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 6) << out;

    // The same in a refusal: here a GUANO time stamp that is none, quoted from the file.
    std::ofstream(cards / "\x1b]0;owned\a.wav", std::ios::binary)
        << std::string("RIFF\x2a\0\0\0WAVEguan\x1e\0\0\0Timestamp: \x1b[2J2012-06-21 22:", 50);
    options_.sources = {cards};
    ASSERT_EQ(run(), kExitNoResult);
    EXPECT_EQ(err_.str().find('\x1b'), std::string::npos) << err_.str();
    EXPECT_THAT(err_.str(), HasSubstr("GUANO Timestamp \"\\x1b[2J2012-06-21 22:\""));
}

// Labels reach the library as UTF-8 whatever the file's encoding; a file no encoding reads, or
// one holding a NUL byte, is refused by file and line, and nothing is imported.
TEST_F(ImportCommandTest, LabelsAreStoredAsUtf8OrTheirFileIsRefusedByLine) {
    using namespace std::string_literals;
    const std::string header = "IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\r\n";
    const auto row = [](int minute, const std::string& label) {
        return "S_" + std::to_string(minute) + ".wav,2012-06-21,22:" + std::to_string(minute) +
               ":00,NYCNOC,0.9," + label + "\r\n";
    };
    const struct {
        const char* name;
        std::string bytes;
    } readable[] = {
        {"latin1.csv", header + row(10, "Myotis sp. \xE4hnlich") + row(11, "Pipistrellus \xB0")},
        {"utf8.csv", "\xEF\xBB\xBF" + header + row(20, "Myotis sp. \u00E4hnlich")},
    };
    for (const auto& table : readable) {
        options_.sources = {write(table.name, table.bytes)};
        ASSERT_EQ(run(), kExitSuccess) << table.name << ": " << err_.str();
    }
    // UTF-16 as a spreadsheet saves "Unicode text": little-endian after its byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (const char c : header + row(30, "NYCLEI")) {
        utf16 += c;
        utf16 += '\0';
    }
    options_.sources = {write("utf16.csv", utf16)};
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    // GUANO is UTF-8; older software wrote Windows Latin 1, and a NUL ends a field.
    vane::testing::WavFixture::write(
        folder_ / "wavs" / "20120621_224000.wav",
        vane::testing::WavFixture::guanoWav("GUANO|Version: 1.0\nSpecies Manual ID: Eptesicus "
                                            "\xE9\n"));
    vane::testing::WavFixture::write(
        folder_ / "wavs" / "20120621_224100.wav",
        vane::testing::WavFixture::guanoWav("GUANO|Version: 1.0\nSpecies Manual ID: MYO\0TIS\n"s));
    options_.sources = {folder_ / "wavs"};
    ASSERT_EQ(run(), kExitSuccess) << err_.str();

    std::multiset<std::string> labels;
    const library::LibrarySelection selection = library::readLibrarySelection(options_.library, {});
    for (const Recording& recording : selection.recordings) {
        labels.insert(std::string(selection.labels.name(recording.label)));
    }
    EXPECT_EQ(labels, (std::multiset<std::string>{"Myotis sp. \u00E4hnlich", "Pipistrellus \u00B0",
                                                  "Myotis sp. \u00E4hnlich", "NYCLEI",
                                                  "Eptesicus \u00E9", "MYO"}));

    const struct {
        const char* name;
        std::string bytes;
        const char* refusal;
    } refused[] = {
        {"nul.csv", header + row(40, "NYCNOC") + row(41, "NYC\0NOC"s),
         "nul.csv:3: holds a NUL byte"},
        {"binary.csv", header + row(42, "NYCNOC") + "\x01\x81\xFF\xFE\x90\x02\r\n",
         "binary.csv:3: is not UTF-8 text, and no other encoding reads the whole file"},
    };
    for (const auto& table : refused) {
        options_.sources = {write(table.name, table.bytes)};
        EXPECT_EQ(run(), kExitBadInput) << table.name;
        EXPECT_THAT(err_.str(), HasSubstr(table.refusal));
    }
    EXPECT_EQ(recordingsInLibrary(), 6u);
}

// On a terminal the import shows where it is, one line rewritten in place; the child's standard
// streams are a pseudo-terminal here, as in a person's shell.
TEST_F(ImportCommandTest, ShowsItsProgressOnATerminal) {
    options_.sources = {write("a.txt", "2012-06-21 23:00:00\n2012-06-21 23:01:00\n"),
                        write("b.txt", "2012-06-21 23:02:00\n")};
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int status = runImport(options_, *berlin_, std::cout, std::cerr);
        std::cout.flush();
        _exit(status);
    }
    std::string shown;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // EIO once the child has closed its side
        }
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitSuccess) << shown;
    const std::string a = (folder_ / "a.txt").string();
    const std::string b = (folder_ / "b.txt").string();
    EXPECT_THAT(
        shown, HasSubstr("\rReading 1 of 2: " + a + "\x1b[K\rReading 2 of 2: " + b + "\x1b[K\r\n"));
    EXPECT_THAT(shown, HasSubstr("\rWriting 3 of 3 recordings\x1b[K\r\n"));
    EXPECT_THAT(shown, HasSubstr("Imported 3 recordings into session \"Summer\""));
    EXPECT_EQ(recordingsInLibrary(), 3u);

    // Not on a terminal: no progress line, only the summary.
    options_.sources.push_back(write("c.txt", "2012-06-21 23:03:00\n"));
    ASSERT_EQ(run(), kExitSuccess);
    EXPECT_EQ(err_.str(), "");
}

// The import is stopped by SIGKILL halfway through writing, in a child process, as a user's
// kill or a power cut would stop it: the library must hold all or nothing.
TEST_F(ImportCommandTest, KilledHalfwayLeavesAllOrNothing) {
    std::string list;
    for (int i = 0; i < 60'000; ++i) {
        list += "2012-06-21T22:00:" + std::to_string(10 + i % 40) + "+02:00\n";
    }
    options_.sources = {write("big.txt", list)};
    for (const bool libraryExists : {false, true}) {
        SCOPED_TRACE(libraryExists ? "existing library" : "new library");
        std::filesystem::remove(options_.library);
        std::size_t before = 0;
        if (libraryExists) {
            ImportOptions small = options_;
            small.sources = {write("small.txt", "2012-06-21 21:00:00\n")};
            std::ostringstream ignored;
            ASSERT_EQ(runImport(small, *berlin_, ignored, ignored), kExitSuccess);
            before = 1;
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::ostringstream ignored;
            runImport(options_, *berlin_, ignored, ignored,
                      [](std::size_t done, std::size_t total) {
                          if (done >= total / 2) {
                              raise(SIGKILL);
                          }
                      });
            _exit(0);  // not reached when the kill came
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        if (libraryExists) {
            EXPECT_EQ(recordingsInLibrary(), before);
        } else {
            EXPECT_FALSE(std::filesystem::exists(options_.library));
        }
        // Run to its end, the same import takes everything.
        ASSERT_EQ(run(), kExitSuccess) << err_.str();
        EXPECT_EQ(recordingsInLibrary(), before + 60'000);
    }
}

// vane import and vane library copy on a file and on a server, through the commands' entries.
class LibraryCommandsTest : public ::testing::TestWithParam<vane::testing::LibraryBackend> {
  protected:
    void SetUp() override {
        place = std::make_unique<vane::testing::TestLibraryLocation>(GetParam(),
                                                                     "vane-library-commands");
        VANE_SKIP_WITHOUT_SERVER(*place);
    }
    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(place->folder() / name, std::ios::binary) << text;
        return place->folder() / name;
    }

    std::unique_ptr<vane::testing::TestLibraryLocation> place;
    std::unique_ptr<icu::TimeZone> berlin{icu::TimeZone::createTimeZone("Europe/Berlin")};
};

TEST_P(LibraryCommandsTest, ImportsIntoTheSessionOfItsNameAndCopiesTheLibrary) {
    ImportOptions options;
    options.library = place->location();
    options.session = "Summer";
    std::ostringstream out;
    std::ostringstream err;
    options.sources = {write("a.txt", "2012-06-21 21:00:00\n2012-06-21 21:05:00\n")};
    ASSERT_EQ(runImport(options, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_THAT(out.str(),
                HasSubstr("Imported 2 recordings into session \"Summer\" of " + place->location()));
    options.sources = {write("b.txt", "2012-06-22 21:00:00\n")};
    ASSERT_EQ(runImport(options, *berlin, out, err), kExitSuccess) << err.str();
    const library::LibrarySelection all = library::readLibrarySelection(place->location(), {});
    EXPECT_EQ(all.sessions.size(), 1u);
    EXPECT_EQ(all.recordings.size(), 3u);

    const std::filesystem::path copy = place->folder() / "copy.vanelib";
    out.str("");
    ASSERT_EQ(runLibraryCopy({place->location(), copy}, out, err), kExitSuccess) << err.str();
    EXPECT_EQ(out.str(), "Copied 1 session with 3 recordings from " + place->location() + " to " +
                             copy.string() + "\n");
    EXPECT_EQ(library::readLibrarySelection(copy, {}).recordings.size(), 3u);
    err.str("");
    EXPECT_EQ(runLibraryCopy({place->location(), copy}, out, err), kExitBadInput);
    EXPECT_THAT(err.str(), HasSubstr("already exists"));
}

// Recorders of one make name their files alike: two cards imported each from its own folder as
// "." are two sessions, and the library keeps each file by its absolute path.
TEST_P(LibraryCommandsTest, TwoCardsWithTheSameFileNamesImportedFromTheirFoldersStayApart) {
    const std::filesystem::path workingFolder = std::filesystem::current_path();
    const std::filesystem::path cards = place->folder() / "cards";
    for (const char* card : {"A", "B"}) {
        for (const char* name : {"20240601_220000.WAV", "20240601_220100.WAV"}) {
            vane::testing::WavFixture::write(cards / card / name,
                                             vane::testing::WavFixture::wav(""));
        }
    }
    // The library file is named from each card's folder too, as a person in a shell would.
    const bool onServer = library::LibraryLocation(place->location()).onServer();
    for (const char* card : {"A", "B"}) {
        std::filesystem::current_path(cards / card);
        ImportOptions options;
        options.library = onServer ? std::filesystem::path(place->location())
                                   : std::filesystem::path("../../bats.vanelib");
        options.session = std::string("Site ") + card;
        options.sources = {"."};
        std::ostringstream out;
        std::ostringstream err;
        const int status = runImport(options, *berlin, out, err);
        std::filesystem::current_path(workingFolder);
        ASSERT_EQ(status, kExitSuccess) << err.str();
        EXPECT_THAT(out.str(), HasSubstr("Imported 2 recordings into session \"Site " +
                                         std::string(card) + "\""));
    }
    const library::RecordingLibrary library = library::RecordingLibrary::open(place->location());
    const std::vector<library::LibrarySession> sessions = library.sessions().rows;
    ASSERT_EQ(sessions.size(), 2u);
    std::vector<std::string> paths;
    for (const library::LibraryRecording& recording :
         library.recordings({sessions[0].id, sessions[1].id}).rows) {
        paths.push_back(recording.filePath);
    }
    std::sort(paths.begin(), paths.end());
    const std::filesystem::path canonical = std::filesystem::canonical(cards);
    EXPECT_EQ(paths, (std::vector<std::string>{(canonical / "A/20240601_220000.WAV").string(),
                                               (canonical / "A/20240601_220100.WAV").string(),
                                               (canonical / "B/20240601_220000.WAV").string(),
                                               (canonical / "B/20240601_220100.WAV").string()}));
}

// A list of time stamps has no file to know it by: imported again as a session of its own it is
// stored again, and the user is told where the same stamps are already.
TEST_P(LibraryCommandsTest, ATimeStampListImportedAgainIsStoredWithAWarning) {
    const std::filesystem::path list = place->folder() / "stamps.txt";
    const std::filesystem::path otherDetector = place->folder() / "other.txt";
    std::ofstream(list) << "2024-06-01 22:00:00\n2024-06-01 22:00:00\n2024-06-01 22:01:00\n"
                           "2024-06-01 22:02:30\n";
    std::ofstream(otherDetector) << "2024-06-01 22:00:00\n2024-06-01 23:00:00\n"
                                    "2024-06-01 23:10:00\n2024-06-01 23:20:00\n";
    const auto import = [&](const std::filesystem::path& source, const std::string& session) {
        ImportOptions options;
        options.library = place->location();
        options.session = session;
        options.sources = {source};
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runImport(options, *berlin, out, err), kExitSuccess) << err.str();
        return out.str();
    };
    EXPECT_THAT(import(list, "Night one"), Not(HasSubstr("Warning:")));
    EXPECT_THAT(import(otherDetector, "Second detector"), Not(HasSubstr("Warning:")));
    const std::string again = import(list, "Night one again");
    EXPECT_THAT(again, HasSubstr("Imported 4 recordings into session \"Night one again\""));
    EXPECT_THAT(again, HasSubstr("Warning: 4 of the 4 time stamps without a file are in session "
                                 "\"Night one\" already."));
    EXPECT_EQ(library::RecordingLibrary::open(place->location()).sessions().rows.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Backends, LibraryCommandsTest,
                         ::testing::Values(vane::testing::LibraryBackend::Sqlite,
                                           vane::testing::LibraryBackend::Postgresql),
                         vane::testing::backendName);

}  // namespace
}  // namespace vane::cli
