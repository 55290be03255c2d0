#include "core/import/wind_dates.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/import/date_format_items.h"
#include "tests/core/import/wind_table_rows.h"

namespace vane {
namespace {

std::unique_ptr<icu::TimeZone> berlin() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("Europe/Berlin"));
}

// 2012-07-01 18:10 in central European summer time.
constexpr double kSummerEvening = 1341159000.0;

TEST(WindDateReaderTest, ReadsEveryShapeOfStampAtTheZoneGivenUnlessTheStampHasAnOffset) {
    struct Case {
        const char* format;
        const char* zone;
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"dd.MM.yyyy HH:mm", "+0200", "01.07.2012 18:10", kSummerEvening},
        {"dd.MM.yyyy HH:mm:ss", "+0200", "01.07.2012", kSummerEvening - 65400.0},
        {"dd.MM.yyyy HH:mm", "Europe/Berlin", "01.07.2012 18:10", kSummerEvening},
        {"dd.MM.yyyy HH:mm", "", "01.07.2012 18:10", kSummerEvening},
        {"ISO 8601", "+0200", "2012-07-01T18:10", kSummerEvening},
        {"ISO 8601", "+0000", "2012-07-01 18:10:00.5+02:00", kSummerEvening + 0.5},
        {"ISO 8601", "Europe/Berlin", "2012-07-01T16:10:00Z", kSummerEvening},
        {"ISO 8601", "+0200", "2012-07-01T18:10:00+0200", kSummerEvening},
        {"ISO 8601", "+0200", "2012-07-01", std::nullopt},
        {"dd-MMM-yyyy HH:mm:ss", "+0200", "01-Jul-2012 18:10:00", kSummerEvening},
        {"dd-MMM-yyyy HH:mm:ss", "+0200", "01-Jux-2012 18:10:00", std::nullopt},
        {"M/d/yyyy h:mm a", "+0200", "7/1/2012 6:10 PM", kSummerEvening},
        {"M/d/yyyy h:mm a", "+0200", "07/01/2012 06:10 PM", kSummerEvening},
        {"M/d/yyyy H:mm", "+0200", "7/1/2012 18:10", kSummerEvening},
        {"Unix seconds", "+0500", "1341159000", kSummerEvening},
        {"Unix seconds", "Europe/Berlin", " 1341159000.25 ", kSummerEvening + 0.25},
        {"Unix seconds", "+0200", "1341159000x", std::nullopt},
        {"Unix seconds", "+0200", "1e9", std::nullopt},
        {"Unix seconds", "+0200", "-", std::nullopt},
        {"Unix seconds", "+0200", ".5", std::nullopt},
        // Four decimals are good to nine seconds: the minute they stand for.
        {"Excel serial days", "+0200", "41091.7569", kSummerEvening},
        {"Excel serial days", "Europe/Berlin", "41091.756944444", kSummerEvening},
        {"Excel serial days", "+0200", "0.5", std::nullopt},
        {"Excel serial days", "+0200", "99999999", std::nullopt},
        {"M/d/yy H:mm", "+0200", "7/1/12 18:10", kSummerEvening},
        {"M/d/yy H:mm", "+0200", "13/1/12 18:10", std::nullopt},
        {"dd MM yyyy HH:mm", "+0200", "01 07 2012 18:10", kSummerEvening},
        {"dd/MM/yyyy HH:mm:ssxxx", "+0500", "01/07/2012 16:10:00+00:00", kSummerEvening},
        {"dd/MM/yyyy HH:mm:ssxxx", "Europe/Berlin", "01/07/2012 18:10:00+02:00", kSummerEvening},
        {"dd/MM/yyyy HH:mm:ssxxx", "+0200", "01/07/2012 18:10:00", std::nullopt},
        {"yyyy-MM-dd HH:mm:ss", "+0200", "\"2012-07-01 18:10:00\"", kSummerEvening},
        {"ISO 8601", "+0200", "\"2012-07-01T18:10\"", kSummerEvening},
        {"'\"'yyyy-MM-dd HH:mm'\"'", "+0200", "\"2012-07-01 18:10\"", kSummerEvening},
        {"yyyy-MM-dd HH:mm:ss", "+0200", "\"", std::nullopt},
        {"yyyy-MM-dd HH:mm:ss", "+0200", "\"\"", std::nullopt},
    };
    const std::unique_ptr<icu::TimeZone> zone = berlin();
    for (const Case& c : cases) {
        WindDateReader reader(c.format, c.zone, *zone);
        EXPECT_EQ(reader.read(c.text), c.expected)
            << c.format << " / " << c.zone << " / " << c.text;
    }
}

TEST(WindDateReaderTest, ANamedZoneTakesTheRepeatedAutumnHourInFileOrder) {
    const std::unique_ptr<icu::TimeZone> zone = berlin();
    WindDateReader reader("yyyy-MM-dd HH:mm", "Europe/Berlin", *zone);
    const std::pair<const char*, double> rows[] = {
        {"2012-10-28 01:50", 1351381800.0}, {"2012-10-28 02:00", 1351382400.0},
        {"2012-10-28 02:50", 1351385400.0}, {"2012-10-28 02:00", 1351386000.0},
        {"2012-10-28 02:50", 1351389000.0}, {"2012-10-28 03:00", 1351389600.0},
    };
    for (const auto& [text, instant] : rows) {
        EXPECT_EQ(reader.read(text), instant) << text;
    }
    // The hour the spring change skips is read with the offset before it.
    WindDateReader spring("yyyy-MM-dd HH:mm", "Europe/Berlin", *zone);
    EXPECT_EQ(spring.read("2012-03-25 02:30"), 1332639000.0);
    EXPECT_EQ(spring.read("2012-03-25 03:00"), 1332637200.0);
}

TEST(DateFormatGuessTest, TakesTheItemThatReadsEverySampledRowForward) {
    const auto column = [](std::vector<std::string> stamps) {
        std::vector<std::vector<std::string>> rows{{"Date"}};
        for (std::string& stamp : stamps) {
            rows.push_back({std::move(stamp)});
        }
        return test::tableOfRows(rows);
    };
    const DateColumns first{0, std::nullopt};
    // Day first unless a day above 12 says otherwise.
    EXPECT_EQ(
        guessDateFormatItem(column({"01/07/2012 18:10", "02/07/2012 18:10"}), first, std::nullopt),
        0u);
    EXPECT_EQ(
        guessDateFormatItem(column({"07/12/2012 18:10", "07/13/2012 18:10"}), first, std::nullopt),
        7u);
    // Times that go back are no reading: month first gives 1 July, then 2 June.
    EXPECT_EQ(
        guessDateFormatItem(column({"07/01/2012 18:10", "06/02/2012 18:10"}), first, std::nullopt),
        0u);
    EXPECT_EQ(guessDateFormatItem(column({"2012-07-01 18:10", "2012-07-01 18:20"}), first, 0u), 5u)
        << "a preferred item that reads nothing gives way";
    EXPECT_EQ(guessDateFormatItem(column({"3.5", "4.5"}), first, std::nullopt), std::nullopt)
        << "readings are no times from 1980 to 2100";
    EXPECT_EQ(guessDateFormatItem(column({"41091.75", "41091.76"}), first, std::nullopt, true),
              std::nullopt)
        << "numbers are dates only where a title says so";
    EXPECT_EQ(guessDateFormatItem(column({"41091.75", "41091.76"}), first, std::nullopt), 17u);
    EXPECT_EQ(guessDateFormatItem(column({"", "2012-07-01 18:10", "x"}), first, std::nullopt),
              std::nullopt);
    EXPECT_EQ(guessDateFormatItem(test::tableOfRows({{"Date", "Time"}, {"01.07.2012", "18:10"}}),
                                  {0, 1}, std::nullopt),
              2u);
}

TEST(DateFormatGuessTest, TheUnreadableRowIsNamedWithAPatternThatReadsIt) {
    const WindTable table = test::tableOfRows(
        {{"Date", "Wind"}, {"01.07.2012 18:10", "3"}, {"2012-07-01 18:20:00", "4"}, {"x"}});
    EXPECT_EQ(unreadableDateNote(table, 2, {0, std::nullopt}, "dd.MM.yyyy HH:mm"),
              "first at line 3: \"2012-07-01 18:20:00\" does not read as dd.MM.yyyy HH:mm; "
              "yyyy-MM-dd HH:mm:ss reads it");
    EXPECT_EQ(unreadableDateNote(table, 3, {0, 1}, "dd.MM.yyyy HH:mm"),
              "first at line 4: \"x \" does not read as dd.MM.yyyy HH:mm (the row has too few "
              "fields)");
    EXPECT_EQ(dateFormatItemReading("1341159000"), 16u);
    EXPECT_EQ(dateFormatItemReading("tomorrow"), std::nullopt);
}

}  // namespace
}  // namespace vane
