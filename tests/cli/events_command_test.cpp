#include "cli/events_command.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/temp_path.h"

namespace vane::cli {
namespace {

class EventsCommandTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path list_ = vane::testing::uniqueTempPath("vane-events-command-test");
    std::ostringstream out_;
    std::ostringstream err_;

    void TearDown() override { std::filesystem::remove(list_); }

    int run(const std::string& content, bool counts) {
        std::ofstream(list_) << content;
        return runEvents({list_, counts}, *berlin_, icu::Locale("de_DE"), out_, err_);
    }
};

TEST_F(EventsCommandTest, CountsRecordingsPerBinInLocalTime) {
    EXPECT_EQ(run("2012-06-21 21:15:00\n2012-06-21 21:03:00\n2012-06-21 21:07:00\n", true), 0);
    EXPECT_EQ(out_.str(), "bin_end\tcount\n2012-06-21T21:10:00\t2\n2012-06-21T21:20:00\t1\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(EventsCommandTest, PrintsBinEndsInTheLocaleStyleWithoutCounts) {
    EXPECT_EQ(run("2012-06-21 21:03:00\n2012-06-21 21:07:00\n2012-06-21 21:15:00\n", false), 0);
    EXPECT_EQ(out_.str(), "21.06.12, 21:10\n21.06.12, 21:20\n");
}

TEST_F(EventsCommandTest, SaysHowManyRecordingsLieBeforeTheGrid) {
    EXPECT_EQ(run("2009-06-19 23:00:00\n2012-06-21 21:03:00\n", true), 0);
    EXPECT_EQ(out_.str(), "bin_end\tcount\n2012-06-21T21:10:00\t1\n");
    EXPECT_EQ(err_.str(),
              "Recordings left out: 1 of 2 lie before the first activity bin, which begins "
              "2009-06-20T00:00:00\n");
}

TEST_F(EventsCommandTest, ABadLineStopsWithFileAndLine) {
    EXPECT_EQ(run("2012-06-21 21:03:00\nnot a time\n", true), 2);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str().rfind("Problem with recording list: " + list_.string() + ":2: ", 0), 0u)
        << err_.str();
}

}  // namespace
}  // namespace vane::cli
