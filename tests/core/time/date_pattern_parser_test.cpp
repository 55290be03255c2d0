#include "core/time/date_pattern_parser.h"

#include <gtest/gtest.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "core/time/local_time.h"

namespace vane {
namespace {

class DatePatternParserTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
};

TEST_F(DatePatternParserTest, ReadsTheOffsetWrittenAfterTheStamp) {
    const DatePatternParser parser("dd.MM.yyyy HH:mmZZZ", *berlin_);
    EXPECT_EQ(parser.parse("21.06.2012 22:10+0000"), utcInstant({{2012, 6, 21}, 22, 10, 0}));
    EXPECT_EQ(parser.parse("21.06.2012 22:10+0200"), utcInstant({{2012, 6, 21}, 20, 10, 0}));
}

TEST_F(DatePatternParserTest, ReadsStampsWithoutOffsetInTheGivenZone) {
    const DatePatternParser parser("dd.MM.yyyy HH:mm", *berlin_);
    EXPECT_EQ(parser.parse("21.06.2012 22:10"), localInstant({{2012, 6, 21}, 22, 10, 0}, *berlin_));
    EXPECT_EQ(parser.parse("21.01.2012 22:10"), utcInstant({{2012, 1, 21}, 21, 10, 0}));
}

TEST_F(DatePatternParserTest, RefusesTextsThatDoNotFitTheWholePattern) {
    const DatePatternParser parser("dd.MM.yyyy HH:mm", *berlin_);
    for (const char* text : {"", "21.06.2012", "21.06.2012 22:10 ", "21.06.2012 22:10\r",
                             "32.06.2012 22:10", "21.13.2012 22:10", "21.06.2012 25:10", "x"}) {
        EXPECT_EQ(parser.parse(text), std::nullopt) << '"' << text << '"';
    }
}

TEST_F(DatePatternParserTest, AnUnterminatedQuoteReadsNothing) {
    const DatePatternParser parser("dd.MM.yyyy 'HH", *berlin_);
    EXPECT_EQ(parser.parse("21.06.2012 22:10"), std::nullopt);
}

// What ICU alone makes of a text, the reference for every shortcut.
std::optional<double> icuParse(const std::string& pattern, const std::string& text,
                               const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8(pattern), icu::Locale::getRoot(),
                                 status);
    format.setLenient(false);
    format.setTimeZone(zone);
    const icu::UnicodeString unicodeText = icu::UnicodeString::fromUTF8(text);
    icu::ParsePosition position(0);
    const UDate date = format.parse(unicodeText, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicodeText.length()) {
        return std::nullopt;
    }
    return date / 1000.0;
}

TEST_F(DatePatternParserTest, AgreesWithIcuOnOffsetsOfADayOrMore) {
    const std::string pattern = "dd.MM.yyyy HH:mmZZZ";
    const DatePatternParser parser(pattern, *berlin_);
    for (const char* offset : {"+2300", "-2359", "+2400", "-2400", "+9900", "+0060", "+0000"}) {
        const std::string text = std::string("21.06.2012 22:10") + offset;
        EXPECT_EQ(parser.parse(text), icuParse(pattern, text, *berlin_)) << text;
    }
    EXPECT_EQ(parser.parse("21.06.2012 22:10+2400"), std::nullopt);
}

TEST_F(DatePatternParserTest, AgreesWithIcuOnEveryKindOfText) {
    const std::string patterns[] = {"dd.MM.yyyy HH:mm",    "dd.MM.yyyy HH:mmZZZ",
                                    "yyyy-MM-dd HH:mm:ss", "dd/MM/yyyy HH:mm:ssZZZ",
                                    "yyyy-MM-dd'T'HH:mm",  "dd.MM.yy HH:mm"};
    std::mt19937 random(28102012);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int accepted = 0;
    for (const std::string& pattern : patterns) {
        const DatePatternParser parser(pattern, *berlin_);
        for (int round = 0; round < 3000; ++round) {
            // Around the changes of daylight saving time, with fields now and then out of range.
            const bool change = round % 3 == 0;
            const int year = round % 50 == 0 ? pick(1500, 1700) : 2012;
            const int month = change ? (round % 2 == 0 ? 3 : 10) : pick(0, 13);
            const int day = change ? pick(24, 31) : pick(0, 32);
            const int hour = change ? pick(0, 4) : pick(0, 24);
            const int minute = pick(0, 60);
            const int second = pick(0, 59);
            char text[96];
            if (pattern[0] == 'y') {
                std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", year, month, day,
                              pattern.find('T') != std::string::npos ? 'T' : ' ', hour, minute,
                              second);
            } else {
                std::snprintf(text, sizeof text, "%02d%c%02d%c%04d %02d:%02d:%02d%s", day,
                              pattern[2], month, pattern[2], year, hour, minute, second,
                              round % 4 == 0   ? "+0200"
                              : round % 4 == 1 ? "-0130"
                                               : "");
            }
            std::string sample = text;
            if (pattern.find(":ss") == std::string::npos && sample.size() > 16) {
                sample.erase(16, 3);  // drop the seconds the pattern does not have
            }
            if (round % 7 == 0) {
                sample.pop_back();
            }
            const std::optional<double> expected = icuParse(pattern, sample, *berlin_);
            EXPECT_EQ(parser.parse(sample), expected) << pattern << " \"" << sample << '"';
            accepted += expected ? 1 : 0;
        }
    }
    EXPECT_GT(accepted, 2000);  // the comparison must cover readable texts too
}

}  // namespace
}  // namespace vane
