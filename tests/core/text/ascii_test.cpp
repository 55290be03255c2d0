#include "core/text/ascii.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vane {
namespace {

using namespace std::string_view_literals;

TEST(Ascii, TrimsOnlyTheBlanksAskedFor) {
    struct Case {
        std::string_view text;
        std::string_view blanks;
        std::string_view expected;
    };
    const Case cases[] = {
        {"  2012-06-21 21:03:00\r\n", kBlanks, "2012-06-21 21:03:00"},
        {"\t a b \t", kBlanks, "a b"},
        {"", kBlanks, ""},
        {" \t\r\n", kBlanks, ""},
        {"x", kBlanks, "x"},
        // A quoted field's line break stays when only a line's blanks are trimmed.
        {" two\nlines\n\r ", kLineBlanks, "two\nlines\n"},
        // GUANO values are padded with NUL bytes.
        {"Loc Position: 49.6 11.05\0\0"sv, " \t\r\n\0"sv, "Loc Position: 49.6 11.05"},
        {"49.6\0"sv, kBlanks, "49.6\0"sv},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimmed(c.text, c.blanks), c.expected) << '"' << c.text << '"';
        std::string inPlace(c.text);
        trimInPlace(inPlace, c.blanks);
        EXPECT_EQ(inPlace, c.expected) << '"' << c.text << '"';
    }
}

TEST(Ascii, LowersAsciiLettersOnly) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"DATE", "date"},
        {"Temp °C", "temp °c"},
        {"SampleDate,Recordings", "sampledate,recordings"},
        {".WAV", ".wav"},
        {"ÄÖÜ", "ÄÖÜ"},  // UTF-8 bytes are never changed one by one
        {"", ""},
        {"@[`{", "@[`{"},  // the neighbours of A-Z and a-z
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(asciiLowercase(text), expected) << text;
    }
}

TEST(Ascii, SameLettersIgnoresTheCaseOfAsciiLettersOnly) {
    const struct {
        std::string_view a;
        std::string_view b;
        bool same;
    } cases[] = {
        {"PIPPIP", "pippip", true}, {"Myo", "MYO", true},       {"", "", true},
        {"NYCNOC", "NYCNO", false}, {"NYCNO", "NYCNOC", false}, {"ÄB", "äb", false},
        {"@", "`", false},          {"[", "{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameLetters(c.a, c.b), c.same) << c.a << " " << c.b;
    }
}

}  // namespace
}  // namespace vane
