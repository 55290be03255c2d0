#include "core/import/wind_table_split.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "core/import/preview_text.h"
#include "tests/core/import/wind_table_rows.h"
namespace vane {
namespace {

const FieldSeparatorChoice kSemicolon{0, ";"};
const FieldSeparatorChoice kTab{2, "Tab"};
using Fields = std::vector<std::string>;

WindTable split(std::string_view text, int lineEnding = kLineEndingLf,
                FieldSeparatorChoice separator = kSemicolon, std::string startingLine = "1") {
    return splitWindText(text, {lineEnding, std::move(separator), std::move(startingLine)});
}

// Blank rows are kept as bits in blocks of 64 rows: runs of them across and within blocks must
// read as before, one empty field each, and filled rows keep their fields.
TEST(WindTableSplitTest, BlankRunsOfAnyLengthAreEmptyRowsBetweenFilledOnes) {
    std::string text;
    test::WindRows expected;
    for (int row = 0; row < 300; ++row) {
        const bool filled = row % 7 == 0 || (row >= 60 && row < 70) || row == 255 || row == 256;
        if (filled) {
            text += std::to_string(row) + ";x";
            expected.push_back({std::to_string(row), "x"});
        } else {
            expected.push_back({""});
        }
        text += '\n';
    }
    expected.push_back({""});
    const WindTable table = split(text);
    EXPECT_EQ(test::rowsOf(table), expected);
    EXPECT_EQ(table.fieldCount(299), 1u);
    EXPECT_EQ(table.fieldCount(256), 2u);
    EXPECT_EQ(table.field(256, 0), "256");
    EXPECT_EQ(table.field(301, 0), "");
    EXPECT_EQ(table.fieldCount(301), 0u);
}

TEST(WindTableSplitTest, EveryPieceIsARowAndEveryFieldIsKeptAsWritten) {
    const WindTable table = split("a;b\n1;2\n");
    const test::WindRows expected = {{"a", "b"}, {"1", "2"}, {""}};
    EXPECT_EQ(test::rowsOf(table), expected);
    EXPECT_EQ(table.startAt, 0u);
    EXPECT_EQ(previewColumnTitles(table), (std::vector<std::string>{"column 1", "column 2"}));
    ASSERT_EQ(previewRowCount(table), 2u);
    EXPECT_EQ(previewCell(table, 0, 1), "2");
    EXPECT_EQ(previewCell(table, 1, 0), "");
    EXPECT_EQ(previewCell(table, 1, 1), "");

    const WindTable blanks = split(" x ;;\n\n\"q;uoted\"");
    const test::WindRows kept = {{" x ", "", ""}, {""}, {"\"q", "uoted\""}};
    EXPECT_EQ(test::rowsOf(blanks), kept);
    // A blank header still has its numbered columns, as many as its rows write into.
    const WindTable blankHeader = split("\n1;2\n\n", kLineEndingLf, kSemicolon, "1");
    EXPECT_EQ(test::rowsOf(blankHeader), (test::WindRows{{""}, {"1", "2"}, {""}, {""}}));
    EXPECT_EQ(previewColumnTitles(blankHeader), (std::vector<std::string>{"column 1", "column 2"}));
    EXPECT_EQ(previewColumnTitles(split("\n1;\n")), std::vector<std::string>{"column 1"});
}

TEST(WindTableSplitTest, CutsAtTheChosenLineEndingOnly) {
    const WindTable lfOverCrLf = split("a;b\r\n1;2\r\n");
    EXPECT_EQ(test::rowsOf(lfOverCrLf)[0], (Fields{"a", "b\r"}));
    EXPECT_EQ(test::rowsOf(split("a;b\r\n1;2", kLineEndingCrLf))[0], (Fields{"a", "b"}));
    EXPECT_EQ(split("a;b\r1;2", kLineEndingCr).rowCount(), 2u);
    EXPECT_TRUE(split("a;b\r1;2\r", kLineEndingLf).empty()) << "no LF: the empty table";
    EXPECT_TRUE(split("").empty());
    EXPECT_TRUE(split("Datum;Wind").empty()) << "one line is not a table";
}

TEST(WindTableSplitTest, FieldSeparatorsFromIndexTwoOnAreTabs) {
    EXPECT_EQ(test::rowsOf(split("a\tb;c\n", kLineEndingLf, kTab))[0], (Fields{"a", "b;c"}));
    EXPECT_EQ(test::rowsOf(split("a\tb;c\n", kLineEndingLf, {7, ";"}))[0], (Fields{"a", "b;c"}));
    EXPECT_EQ(test::rowsOf(split("a, b,c\n", kLineEndingLf, {1, ", "}))[0], (Fields{"a", "b,c"}));
}

TEST(WindTableSplitTest, HeaderTitlesNumberShortFieldsFromOne) {
    const WindTable table = split("Date;Wind speed;;°;T\n1;2;3;4;5\n");
    EXPECT_EQ(previewColumnTitles(table),
              (std::vector<std::string>{"Date", "Wind speed", "column 3", "column 4", "column 5"}));
    EXPECT_EQ(previewColumnTitle("°C", 0), "°C");
}

TEST(WindTableSplitTest, PreambleLinesStayInTheTableButOutOfThePreview) {
    const WindTable table = split("Site X\nLogger 3\nDate;Wind\n01.06.2012 00:00;3,4\n",
                                  kLineEndingLf, kSemicolon, "3");
    EXPECT_EQ(table.rowCount(), 5u);
    EXPECT_EQ(table.startAt, 2u);
    EXPECT_EQ(previewColumnTitles(table), (std::vector<std::string>{"Date", "Wind"}));
    EXPECT_EQ(previewRowCount(table), 2u);
    EXPECT_EQ(previewCell(table, 0, 1), "3,4");
}

TEST(WindTableSplitTest, RowsOfOtherWidthsShowEmptyTextOrTheirFirstFields) {
    const WindTable table = split("a;b;c\n1\n1;2;3;4\n");
    EXPECT_EQ(previewCell(table, 0, 2), "");
    EXPECT_EQ(previewCell(table, 1, 2), "3");
    EXPECT_EQ(previewCell(table, 1, 3), "4");
    // Station files name fewer columns than their rows carry: the rest are numbered.
    EXPECT_EQ(previewColumnTitles(table),
              (std::vector<std::string>{"column 1", "column 2", "column 3", "column 4"}));
    EXPECT_EQ(previewColumnTitles(split("Date;Wind\n1;2;;\n")),
              (std::vector<std::string>{"Date", "Wind"}))
        << "empty trailing fields are no columns";
}

TEST(WindTableSplitTest, AStartingLineOutsideTheTableLeavesNoHeaderAndNoRows) {
    const std::string text = "a;b\n1;2\n3;4\n";  // four rows
    for (const char* line : {"0", "-1", "-2147483648", "5", "6", "99999999999", "x", ""}) {
        const WindTable table = split(text, kLineEndingLf, kSemicolon, line);
        EXPECT_FALSE(table.hasHeaderRow()) << line;
        EXPECT_EQ(previewRowCount(table), 0u) << line;
        EXPECT_TRUE(previewColumnTitles(table).empty()) << line;
        EXPECT_GE(table.startAt, table.rowCount()) << line;
        EXPECT_NE(table.startAt + 1, 0u) << line;
        EXPECT_THROW(previewCell(table, 0, 0), std::out_of_range) << line;
        EXPECT_FALSE(startingLineProblem(table, integerValue(line)).empty()) << line;
    }
    const WindTable last = split(text, kLineEndingLf, kSemicolon, "4");
    EXPECT_TRUE(last.hasHeaderRow());
    EXPECT_EQ(previewRowCount(last), 0u);
    EXPECT_EQ(startingLineProblem(last, 4), "");
    EXPECT_EQ(startingLineProblem(split(text, kLineEndingLf, kSemicolon, "0"), 0),
              "The starting line must be 1 or more, not 0.");
    EXPECT_EQ(startingLineProblem(split(text, kLineEndingLf, kSemicolon, "9"), 9),
              "The starting line 9 lies beyond the last line of the file, line 4.");
}

TEST(WindTableSplitTest, AskingForARowBeyondThePreviewIsRefused) {
    const WindTable table = split("a;b\n1;2\n");
    EXPECT_THROW(previewCell(table, 2, 0), std::out_of_range);
    EXPECT_THROW(previewCell(WindTable{}, 0, 0), std::out_of_range);
}

TEST(IntegerValueTest, ReadsLeadingDigitsLikeATextField) {
    EXPECT_EQ(integerValue("3"), 3);
    EXPECT_EQ(integerValue("  \t+12abc"), 12);
    EXPECT_EQ(integerValue("-4"), -4);
    EXPECT_EQ(integerValue("3.9"), 3);
    EXPECT_EQ(integerValue(""), 0);
    EXPECT_EQ(integerValue("abc"), 0);
    EXPECT_EQ(integerValue("- 4"), 0);
    EXPECT_EQ(integerValue("99999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ(integerValue("-99999999999"), std::numeric_limits<int>::min());
}

TEST(LineEndingTest, GuessesCrLfBeforeCrBeforeLf) {
    EXPECT_EQ(guessLineEnding("a\r\nb\rc\n"), kLineEndingCrLf);
    EXPECT_EQ(guessLineEnding("a\rb\r"), kLineEndingCr);
    EXPECT_EQ(guessLineEnding("a\nb"), kLineEndingLf);
    EXPECT_EQ(guessLineEnding("ab"), kLineEndingLf);
    EXPECT_EQ(lineSeparatorForIndex(kLineEndingCrLf), "\r\n");
    EXPECT_EQ(lineSeparatorForIndex(kLineEndingCr), "\r");
    EXPECT_EQ(lineSeparatorForIndex(-1), "\n");
    EXPECT_EQ(lineSeparatorForIndex(3), "\n");
}

TEST(FieldSeparatorGuessTest, TakesTheMostFrequentOfSemicolonCommaAndTab) {
    EXPECT_EQ(guessFieldSeparator("Date;Temp, °C;Wind").title, ";");
    EXPECT_EQ(guessFieldSeparator("Date,Temp,Wind").title, ",");
    EXPECT_EQ(guessFieldSeparator("Date\tTemp\tWind").index, 2);
    EXPECT_EQ(fieldSeparatorText(guessFieldSeparator("Date\tTemp\tWind")), "\t");
    EXPECT_EQ(guessFieldSeparator("Date").title, ";");
    EXPECT_EQ(guessFieldSeparator("a,b;c").title, ";") << "a tie keeps the earlier";
}

TEST(PreviewTextTest, CutsAtUtf16CodeUnitsWithoutSplittingACharacter) {
    const std::string ascii(2000, 'a');
    EXPECT_EQ(previewText(ascii, kPreviewLengthAfterLoad).size(), 1024u);
    EXPECT_EQ(previewText(ascii, kPreviewLengthAfterReread).size(), 512u);
    EXPECT_EQ(previewText("short", kPreviewLengthAfterLoad), "short");

    std::string degrees;
    for (int i = 0; i < 600; ++i) {
        degrees += "°";  // one unit, two bytes
    }
    EXPECT_EQ(previewText(degrees, kPreviewLengthAfterReread).size(), 1024u);

    const std::string astral = std::string(511, 'a') + "\xF0\x9F\xA6\x87";
    EXPECT_EQ(previewText(astral, 512), std::string(511, 'a'));
    EXPECT_EQ(previewText(astral, 513), astral);
    EXPECT_EQ(previewText("\xF0\x9F", 10), "\xF0\x9F") << "never beyond the text";
}

}  // namespace
}  // namespace vane
