#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unicode/timezone.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "host/library/library_selection.h"
#include "host/library/recording_library.h"
#include "tests/temp_path.h"

namespace vane::library {
namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class LibraryTest : public ::testing::Test {
  protected:
    std::filesystem::path folder = vane::testing::uniqueTempPath("vane-library-test");
    std::filesystem::path file = folder / "bats.vanelib";

    void SetUp() override {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    static std::vector<ImportedRecording> night(double start, int count) {
        std::vector<ImportedRecording> recordings;
        for (int i = 0; i < count; ++i) {
            recordings.push_back({start + 60.0 * i, 7200, "Europe/Berlin", "r.wav"});
        }
        return recordings;
    }

    // Runs raw SQL on a file, as another program (or an older Vane) would.
    static void rawSql(const std::filesystem::path& target, const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(target.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << message;
        sqlite3_free(message);
        sqlite3_close(db);
    }

    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin
};

TEST_F(LibraryTest, StoresSessionsAndRecordingsAcrossOpens) {
    {
        RecordingLibrary library = RecordingLibrary::create(file);
        // 02:00 the next morning still belongs to the night of the 21st.
        const auto summary = library.importRecordings(
            NewSession{"Forest edge", std::nullopt, 49.6, 11.05, ""}, night(kJune21 + 5 * 3600, 3));
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->imported, 3u);
        EXPECT_EQ(summary->sessionName, "Forest edge");
        ASSERT_TRUE(library.importRecordings(summary->sessionId, night(kJune21, 2)));
        ASSERT_TRUE(library.importRecordings(NewSession{"Pond", 0.0, {}, {}, "dry"}, night(0, 1)));
    }
    const RecordingLibrary library = RecordingLibrary::open(file);
    const std::vector<LibrarySession> sessions = library.sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].name, "Pond");
    EXPECT_EQ(sessions[0].notes, "dry");
    EXPECT_FALSE(sessions[0].latitude);
    const LibrarySession& forest = sessions[1];
    EXPECT_EQ(forest.recordingCount, 5);
    EXPECT_EQ(forest.latitude, 49.6);
    EXPECT_EQ(forest.sampledate, 1340229600.0);  // 2012-06-21 00:00 +02:00

    const auto recordings = library.recordings({forest.id});
    ASSERT_EQ(recordings.size(), 5u);
    EXPECT_EQ(recordings.front().recordingTime, kJune21);  // sorted by time
    EXPECT_EQ(recordings.front().utcOffsetSeconds, 7200);
    EXPECT_EQ(recordings.front().timeZone, "Europe/Berlin");
    EXPECT_EQ(recordings.front().filePath, "r.wav");
    EXPECT_EQ(library.recordings({sessions[0].id, forest.id}).size(), 6u);
    EXPECT_TRUE(library.recordings({}).empty());
}

TEST_F(LibraryTest, AFailedOrCancelledImportLeavesTheLibraryAsItWas) {
    RecordingLibrary library = RecordingLibrary::create(file);
    ASSERT_TRUE(library.importRecordings(NewSession{"Kept"}, night(kJune21, 2)));
    const std::string before = contentOf(file);

    // The third time stamp is not a number: the session and the first two must go too.
    std::vector<ImportedRecording> broken = night(kJune21 + 3600, 3);
    broken[2].recordingTime = std::nan("");
    EXPECT_THROW(library.importRecordings(NewSession{"Broken"}, broken), LibraryError);
    EXPECT_THROW(library.importRecordings(std::int64_t{999}, night(kJune21, 1)), LibraryError);
    EXPECT_THROW(library.importRecordings(NewSession{"Nowhere", 0.0, 95.0, 0.0, ""}, {}),
                 LibraryError);
    // Without recordings there is no first evening to date a new session by.
    EXPECT_THROW(library.importRecordings(NewSession{"Empty"}, {}), LibraryError);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(
        library.importRecordings(NewSession{"Cancelled"}, night(kJune21, 2), stop.get_token()));

    ASSERT_EQ(library.sessions().size(), 1u);
    EXPECT_EQ(library.sessions()[0].recordingCount, 2);
    EXPECT_EQ(contentOf(file), before);
}

// An import killed halfway leaves the file and its journal; opening rolls the change back, says
// so, and the library reads as before the import.
TEST_F(LibraryTest, ALibraryLeftByAKilledImportOpensAsItWasBefore) {
    {
        RecordingLibrary library = RecordingLibrary::create(file);
        library.importRecordings(NewSession{"Pond"}, night(kJune21, 3));
    }
    const std::filesystem::path left = folder / "left.vanelib";
    {
        Database writer(file, Database::Mode::ReadWrite);
        writer.execute(
            "PRAGMA cache_size = 1; BEGIN IMMEDIATE;"
            "INSERT INTO sessions (name, sample_date) VALUES ('Half', 0);"
            "DELETE FROM recordings;");
        std::filesystem::copy_file(file, left);
        std::filesystem::copy_file(folder / "bats.vanelib-journal",
                                   folder / "left.vanelib-journal");
    }
    RecordingLibrary library = RecordingLibrary::open(left);
    EXPECT_TRUE(library.undoneUnfinishedChange());
    EXPECT_FALSE(std::filesystem::exists(folder / "left.vanelib-journal"));
    const std::vector<LibrarySession> sessions = library.sessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, "Pond");
    EXPECT_EQ(library.recordings({sessions[0].id}).size(), 3u);
    EXPECT_FALSE(RecordingLibrary::open(file).undoneUnfinishedChange());
}

TEST_F(LibraryTest, ANewSessionIsDatedByItsEarliestRecordingInThatRecordingsOffset) {
    RecordingLibrary library = RecordingLibrary::create(file);
    // A list that is not in time order and spans the start of summer time: the first one is
    // 2012-04-01 21:00 +02:00, the earliest 2012-03-24 21:00 +01:00.
    const std::vector<ImportedRecording> recordings = {{1333306800.0, 7200, "Europe/Berlin", ""},
                                                       {1332619200.0, 3600, "Europe/Berlin", ""}};
    const auto summary = library.importRecordings(NewSession{"Spring"}, recordings);
    ASSERT_TRUE(summary);
    EXPECT_EQ(library.sessions().at(0).sampledate, 1332543600.0);  // 2012-03-24 00:00 +01:00
}

TEST_F(LibraryTest, MigratesAnOlderLibraryForwardKeepingItsData) {
    rawSql(file,
           "CREATE TABLE sessions (id INTEGER PRIMARY KEY, name TEXT NOT NULL, sample_date REAL "
           "NOT NULL, latitude REAL, longitude REAL);"
           "CREATE TABLE recordings (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL "
           "REFERENCES sessions(id) ON DELETE CASCADE, recording_time REAL NOT NULL, utc_offset "
           "INTEGER NOT NULL, file_path TEXT);"
           "INSERT INTO sessions VALUES (1, 'Old', 0, 49.6, 11.05);"
           "INSERT INTO recordings VALUES (1, 1, 1340305380, 7200, NULL);"
           "PRAGMA application_id = 1447120453; PRAGMA user_version = 1;");
    RecordingLibrary library = RecordingLibrary::open(file);
    ASSERT_EQ(library.sessions().size(), 1u);
    EXPECT_EQ(library.sessions()[0].notes, "");
    EXPECT_EQ(library.recordings({1})[0].timeZone, "");
    // What the migration added can be written, and foreign keys hold.
    LibrarySession session = library.sessions()[0];
    session.notes = "migrated";
    library.updateSession(session);
    library.removeSessions({1});
    EXPECT_TRUE(library.recordings({1}).empty());
    EXPECT_EQ(RecordingLibrary::open(file).sessions().size(), 0u);
}

// Every row of both tables with the type of each value, as SQLite holds them.
std::string rowsOf(const std::filesystem::path& file) {
    const Database database(file, Database::Mode::ReadOnly);
    std::string rows;
    for (const char* sql :
         {"SELECT quote(id) || quote(name) || quote(sample_date) || quote(latitude) || "
          "quote(longitude) || quote(notes) FROM sessions ORDER BY id",
          "SELECT quote(id) || quote(session_id) || quote(recording_time) || quote(utc_offset) || "
          "quote(time_zone) || quote(file_path) || quote(label) || quote(probability) || "
          "quote(manual_label) FROM recordings ORDER BY id"}) {
        Statement select(database, sql);
        while (select.step()) {
            rows += select.textAt(0) + '\n';
        }
    }
    return rows;
}

TEST_F(LibraryTest, RemovedRowsArePutBackExactly) {
    RecordingLibrary library = RecordingLibrary::create(file);
    std::vector<ImportedRecording> labelled = night(kJune21, 3);
    labelled[0].label = "NYCNOC";
    labelled[0].probability = 0.75;
    labelled[1].manualLabel = true;
    labelled[2].timeZone = "";
    const auto pond =
        library.importRecordings(NewSession{"Pond", {}, 49.6, 11.05, "dry"}, labelled);
    const auto forest = library.importRecordings(NewSession{"Forest"}, night(kJune21 + 86400, 2));
    ASSERT_TRUE(pond && forest);
    // A row written by an older version, with NULLs where this one writes nothing else.
    rawSql(file,
           "INSERT INTO recordings (session_id, recording_time, utc_offset) "
           "VALUES (1, 1340305999, 7200)");
    const std::string before = rowsOf(file);

    const RemovedRows sessions = library.removeSessions({pond->sessionId});
    EXPECT_EQ(sessions.sessions.size(), 1u);
    EXPECT_EQ(sessions.recordings.size(), 4u);
    EXPECT_EQ(library.sessions().size(), 1u);
    const RemovedRows recordings = library.removeRecordings({4, 5});
    EXPECT_EQ(recordings.recordings.size(), 2u);
    EXPECT_EQ(library.sessions()[0].recordingCount, 0);
    library.restoreRows(recordings);
    library.restoreRows(sessions);
    EXPECT_EQ(rowsOf(file), before);

    // An id taken again by a later import is not overwritten; nothing is put back then.
    const RemovedRows last = library.removeRecordings({6});
    ASSERT_TRUE(library.importRecordings(forest->sessionId, night(kJune21 + 7200, 1)));
    const std::string taken = rowsOf(file);
    EXPECT_THROW(library.restoreRows(last), LibraryError);
    EXPECT_EQ(rowsOf(file), taken);
}

// A session imported in the wrong zone is read again in the right one: the recorder's clock stays,
// the instants and the sample date move; times with their own offset stay as they are.
TEST_F(LibraryTest, ASessionReadAgainInAnotherZoneIsPutBackExactly) {
    RecordingLibrary library = RecordingLibrary::create(file);
    std::vector<ImportedRecording> recordings = night(kJune21, 2);
    recordings.push_back({kJune21 + 600, 7200, "", "own-offset.wav"});
    const auto pond = library.importRecordings(NewSession{"Pond"}, recordings);
    ASSERT_TRUE(pond);
    EXPECT_EQ(library.sessionTimeZones(pond->sessionId), std::vector<std::string>{"Europe/Berlin"});
    const std::string before = rowsOf(file);

    const std::unique_ptr<icu::TimeZone> london(icu::TimeZone::createTimeZone("Europe/London"));
    const SessionTimes was = library.rereadSessionInZone(pond->sessionId, *london);
    EXPECT_EQ(was.recordings.size(), 2u);
    const LibrarySession session = library.sessions().at(0);
    EXPECT_EQ(session.sampledate, 1340229600.0 + 3600);  // 2012-06-21 00:00 +01:00
    const auto moved = library.recordings({pond->sessionId});
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].recordingTime, kJune21 + 600);  // its own offset: unchanged
    EXPECT_EQ(moved[0].timeZone, "");
    EXPECT_EQ(moved[1].recordingTime, kJune21 + 3600);
    EXPECT_EQ(moved[1].utcOffsetSeconds, 3600);
    EXPECT_EQ(moved[1].timeZone, "Europe/London");
    EXPECT_EQ(library.sessionTimeZones(pond->sessionId), std::vector<std::string>{"Europe/London"});

    library.restoreSessionTimes(was);
    EXPECT_EQ(rowsOf(file), before);
    EXPECT_THROW(library.rereadSessionInZone(999, *london), LibraryError);
}

TEST_F(LibraryTest, MigratesALibraryWithoutLabelsKeepingEveryRecording) {
    std::filesystem::copy_file(VANE_LIBRARY_VERSION_2, file);
    const std::vector<LibrarySession> before = [&] {
        // What the old library held, read without the program's migration.
        std::vector<LibrarySession> sessions;
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(
            db,
            "SELECT s.name, (SELECT COUNT(*) FROM recordings r WHERE r.session_id "
            "= s.id), (SELECT user_version FROM pragma_user_version) FROM sessions s "
            "ORDER BY s.id",
            -1, &statement, nullptr);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            LibrarySession session;
            session.name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            session.recordingCount = sqlite3_column_int64(statement, 1);
            EXPECT_EQ(sqlite3_column_int(statement, 2), 2);
            sessions.push_back(session);
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return sessions;
    }();
    ASSERT_EQ(before.size(), 3u);

    RecordingLibrary library = RecordingLibrary::open(file);
    const std::vector<LibrarySession> after = library.sessions();
    ASSERT_EQ(after.size(), before.size());
    std::vector<std::int64_t> ids;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(after[i].recordingCount, before[i].recordingCount);
        ids.push_back(after[i].id);
        total += after[i].recordingCount;
    }
    EXPECT_EQ(total, 100);
    const std::vector<LibraryRecording> recordings = library.recordings(ids);
    ASSERT_EQ(recordings.size(), 100u);
    for (const LibraryRecording& recording : recordings) {
        EXPECT_EQ(recording.label, "");
        EXPECT_FALSE(recording.probability);
        EXPECT_FALSE(recording.manualLabel);
        EXPECT_EQ(recording.timeZone, "Europe/Berlin");
    }
    // The migrated library takes labelled recordings beside the old ones.
    std::vector<ImportedRecording> labelled = night(1340305380.0, 3);
    labelled[0].label = "NYCNOC";
    labelled[0].probability = 0.75;
    labelled[1].label = "Noise";
    labelled[2].label = "PIPPIP";
    labelled[2].manualLabel = true;
    ASSERT_TRUE(library.importRecordings(ids.front(), labelled));
    const LibrarySelection selection = readLibrarySelection(file, {after.front().name});
    ASSERT_EQ(selection.recordings.size(), static_cast<std::size_t>(before[0].recordingCount) + 3);
    std::size_t labelledSeen = 0;
    for (const Recording& recording : selection.recordings) {
        const std::string& label = selection.labels.name(recording.label);
        if (label == "NYCNOC") {
            EXPECT_FLOAT_EQ(recording.probability, 0.75f);
            EXPECT_FALSE(recording.manualLabel);
        } else if (label == "PIPPIP") {
            EXPECT_TRUE(recording.manualLabel);
            EXPECT_FALSE(recording.hasProbability());
        } else if (label.empty()) {
            EXPECT_FALSE(recording.hasProbability());
            continue;
        }
        ++labelledSeen;
    }
    EXPECT_EQ(labelledSeen, 3u);
    EXPECT_EQ(RecordingLibrary::open(file).recordings(ids).size(), 103u);
}

TEST_F(LibraryTest, RefusesFilesItCannotOwnAndLeavesThemUntouched) {
    const auto expectRefused = [](const std::filesystem::path& target, const char* why) {
        const std::string before = contentOf(target);
        try {
            RecordingLibrary::open(target);
            ADD_FAILURE() << target << " was opened";
        } catch (const LibraryError& error) {
            EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
        }
        EXPECT_EQ(contentOf(target), before);
    };
    const auto text = folder / "notes.txt";
    std::ofstream(text) << "not a database, just some words that are long enough to matter\n";
    expectRefused(text, "is not a Vane library");
    const auto empty = folder / "empty.vanelib";
    std::ofstream{empty};
    expectRefused(empty, "is not a Vane library");
    const auto other = folder / "other.sqlite";
    rawSql(other, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    expectRefused(other, "is not a Vane library");
    RecordingLibrary::create(file);
    rawSql(file, "PRAGMA user_version = 99;");
    expectRefused(file, "newer version of Vane");

    EXPECT_THROW(RecordingLibrary::open(folder / "missing.vanelib"), LibraryError);
    EXPECT_THROW(RecordingLibrary::create(text), LibraryError);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing.vanelib"));
}

TEST_F(LibraryTest, SelectionReadsNamedSessionsOrAll) {
    {
        RecordingLibrary library = RecordingLibrary::create(file);
        library.importRecordings(NewSession{"A", 100.0, 49.6, 11.05, ""}, night(kJune21, 2));
        library.importRecordings(NewSession{"B", 200.0, {}, {}, ""}, night(kJune21 + 30, 1));
    }
    const LibrarySelection all = readLibrarySelection(file, {});
    EXPECT_EQ(all.recordings.size(), 3u);
    ASSERT_EQ(all.sessions.size(), 2u);
    EXPECT_EQ(all.sessions[0].recordingCount, 2);
    EXPECT_EQ(all.sessions[0].latitude, 49.6);
    EXPECT_EQ(all.sessions[1].sampledate, 200.0);

    const LibrarySelection b = readLibrarySelection(file, {"B"});
    ASSERT_EQ(b.recordings.size(), 1u);
    EXPECT_EQ(b.recordings[0].recordingTime, kJune21 + 30);
    try {
        readLibrarySelection(file, {"C"});
        ADD_FAILURE();
    } catch (const LibraryError& error) {
        EXPECT_NE(std::string(error.what()).find("no session named \"C\" (it has \"A\", \"B\")"),
                  std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace vane::library
