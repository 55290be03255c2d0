#include "core/recordings/duplicate_recordings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/recordings/times_imported_before.h"

namespace vane {
namespace {

constexpr double kT = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin

ImportedRecording at(double time, std::string path, std::string label = "",
                     std::optional<double> probability = std::nullopt) {
    return ImportedRecording{time,       7200, "Europe/Berlin", std::move(path), std::move(label),
                             probability};
}

TEST(DuplicateRecordingsTest, FindsWhatIsStoredAlreadyAndNothingElse) {
    const struct {
        const char* name;
        std::vector<StoredRecordingKey> stored;
        std::vector<ImportedRecording> incoming;
        std::vector<std::size_t> duplicates;
    } cases[] = {
        {"the same folder again",
         {{"/d/a.wav", kT, true}, {"/d/b.wav", kT + 60, true}},
         {at(kT, "/d/a.wav"), at(kT + 60, "/d/b.wav"), at(kT + 120, "/d/c.wav")},
         {0, 1}},
        {"the same file into another session, read in another zone",
         {{"/d/a.wav", kT, false, 3600}},
         {at(kT - 3600, "/d/a.wav")},
         {0}},
        {"the same path at another time: a card used again, into another session",
         {{"/card/a.wav", kT, false, 7200}},
         {at(kT + 86400, "/card/a.wav")},
         {}},
        {"the same path and time, another label: another card in the same place",
         {{"/card/a.wav", kT, false, 7200, "MYOLUC", 0.9}},
         {at(kT, "/card/a.wav", "PIPPIP", 0.9)},
         {}},
        {"the same path and time, another probability",
         {{"/card/a.wav", kT, false, 7200, "MYOLUC", 0.9}},
         {at(kT, "/card/a.wav", "MYOLUC", 0.8)},
         {}},
        {"the same path and time, no label",
         {{"/card/a.wav", kT, false, 7200, "MYOLUC", 0.9}},
         {at(kT, "/card/a.wav")},
         {}},
        {"the same path, time and metadata",
         {{"/card/a.wav", kT, false, 7200, "MYOLUC", 0.9}},
         {at(kT, "/card/a.wav", "MYOLUC", 0.9)},
         {0}},
        {"a copy of the file elsewhere, into the same session",
         {{"/d/a.wav", kT, true}},
         {at(kT, "/copy/a.wav")},
         {0}},
        {"a copy of the file elsewhere, into another session",
         {{"/d/a.wav", kT, false}},
         {at(kT, "/copy/a.wav")},
         {}},
        {"another recording of the same name at another time",
         {{"/d/a.wav", kT, true}, {"/d/a.wav", kT + 5, true}},
         {at(kT + 10, "/d/a.wav")},
         {}},
        {"a long file split at offsets, again",
         {{"S.wav", kT, false, 7200}, {"S.wav", kT + 1.5, false, 7200}},
         {at(kT, "S.wav"), at(kT + 1.5, "S.wav"), at(kT + 3, "S.wav")},
         {0, 1}},
        {"a list of times into the same session again",
         {{"", kT, true}, {"", kT, true}},
         {at(kT, ""), at(kT, ""), at(kT + 1, "")},
         {0, 1}},
        {"a list of times into another session", {{"", kT, false}}, {at(kT, "")}, {}},
        {"the same time twice in one list", {}, {at(kT, ""), at(kT, "")}, {}},
        {"the same folder given twice in one import",
         {},
         {at(kT, "/d/a.wav"), at(kT + 60, "/d/b.wav"), at(kT, "/d/a.wav")},
         {2}},
        {"a millisecond apart is another recording",
         {{"x.wav", kT, true}, {"x.wav", kT + 9, true}},
         {at(kT + 0.001, "x.wav"), at(kT + 0.0001, "x.wav")},
         {1}},
        {"folders without a file name repeat each other, not the times without a file",
         {},
         {at(kT, ""), at(kT, "/d/"), at(kT, ""), at(kT, "/e/")},
         {3}},
        {"Windows paths name the file after the backslash",
         {{"C:\\d\\a.wav", kT, true}},
         {at(kT, "/mnt/d/a.wav")},
         {0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(duplicateRecordings(c.stored, c.incoming), c.duplicates) << c.name;
    }
}

TEST(TimesImportedBeforeTest, NamesTheSessionHoldingAtLeastHalfOfTheStampsWithoutFiles) {
    // Session 1 holds the list; session 2 a detector sharing one stamp; session 3 only files.
    const std::vector<StoredTime> stored = {{1, kT}, {1, kT + 60},  {1, kT + 90.0004},
                                            {2, kT}, {2, kT + 500}, {3, kT + 60}};
    const struct {
        const char* what;
        std::vector<ImportedRecording> incoming;
        std::optional<std::int64_t> session;
        std::size_t sameTimes;
    } cases[] = {
        {"the list again, its stamps to the millisecond",
         {at(kT, ""), at(kT + 60, ""), at(kT + 90, "")},
         1,
         3},
        {"exactly half", {at(kT + 60, ""), at(kT + 7, "")}, 1, 1},
        {"under half", {at(kT, ""), at(kT + 7, ""), at(kT + 8, "")}, std::nullopt, 0},
        {"files are known by their paths, not here",
         {at(kT, "/a.wav"), at(kT + 60, "/b.wav")},
         std::nullopt,
         0},
        {"nothing stored at those times", {at(kT + 1000, "")}, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const std::optional<TimesImportedBefore> found = timesImportedBefore(stored, c.incoming);
        ASSERT_EQ(found.has_value(), c.session.has_value()) << c.what;
        if (found) {
            EXPECT_EQ(found->sessionId, *c.session) << c.what;
            EXPECT_EQ(found->sameTimes, c.sameTimes) << c.what;
        }
    }
    EXPECT_FALSE(spanOfTimesWithoutFile({at(kT, "/a.wav")}).has_value());
    EXPECT_EQ(spanOfTimesWithoutFile({at(kT + 5, ""), at(kT, "/a.wav"), at(kT + 2, "")}),
              std::pair(kT + 2, kT + 5));
}

}  // namespace
}  // namespace vane
