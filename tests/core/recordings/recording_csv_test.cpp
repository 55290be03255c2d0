#include "core/recordings/recording_csv.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>

namespace vane {
namespace {

class RecordingCsvTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin

    // Read from the table, and from the text row by row as long lists are: both must agree.
    CsvRecordingsResult readGuessed(std::string_view text) {
        const CsvTable table = splitRecordingCsv(text);
        CsvRecordingsResult fromTable =
            readCsvRecordings(table, guessRecordingColumns(table), *berlin_, "bats.csv");
        const CsvRecordingsResult fromText = readCsvRecordings(
            text, guessRecordingColumns(splitRecordingCsv(text, 2)), *berlin_, "bats.csv");
        EXPECT_EQ(outcomeText(fromText), outcomeText(fromTable)) << text;
        return fromTable;
    }

    static std::string outcomeText(const CsvRecordingsResult& result) {
        if (!result) {
            return result.error().describe();
        }
        std::string text;
        for (const ImportedRecording& r : *result) {
            text += std::to_string(r.recordingTime) + '|' + std::to_string(r.utcOffsetSeconds) +
                    '|' + r.timeZone + '|' + r.filePath + '\n';
        }
        return text;
    }
};

TEST_F(RecordingCsvTest, GuessesDateAndTimeColumnsOfAClassifierOutput) {
    const CsvTable table = splitRecordingCsv(
        "\xEF\xBB\xBFINDIR,OUTDIR,FOLDER,IN FILE,DURATION,DATE,TIME,AUTO ID\r\n"
        "/in,/out,night1,SM4_20120621_210300.wav,2.5,2012-06-21,21:03:00,PIPPIP\r\n"
        "/in,/out,night1,SM4_20120621_210700.wav,1.5,2012-06-21,21:07:00.5,NYCNOC\r\n");
    EXPECT_EQ(table.separator, ',');
    const RecordingColumns columns = guessRecordingColumns(table);
    EXPECT_FALSE(columns.timestamp);
    EXPECT_EQ(columns.date, 5u);
    EXPECT_EQ(columns.time, 6u);
    EXPECT_EQ(columns.file, 3u);
    const CsvRecordingsResult result = readCsvRecordings(table, columns, *berlin_, "bats.csv");
    ASSERT_TRUE(result);
    ASSERT_EQ(result->size(), 2u);
    EXPECT_EQ((*result)[0].recordingTime, kJune21);
    EXPECT_EQ((*result)[0].utcOffsetSeconds, 7200);
    EXPECT_EQ((*result)[0].timeZone, "Europe/Berlin");
    EXPECT_EQ((*result)[0].filePath, "SM4_20120621_210300.wav");
    EXPECT_DOUBLE_EQ((*result)[1].recordingTime, kJune21 + 240.5);
}

TEST_F(RecordingCsvTest, GuessesAFullTimestampColumnWithQuotesAndSemicolons) {
    const CsvRecordingsResult result = readGuessed(
        "species;\"recorded; at\";note\n"
        "Pipistrellus;2012-06-21T19:03:00Z;\"two\nlines\"\n"
        "# a comment\n\n"
        "Nyctalus;\"2012-06-21 21:03\";\"say \"\"hi\"\"\"\n");
    ASSERT_TRUE(result) << result.error().describe();
    ASSERT_EQ(result->size(), 2u);
    EXPECT_EQ((*result)[0].recordingTime, kJune21);
    EXPECT_EQ((*result)[0].timeZone, "");  // read with its own offset
    EXPECT_EQ((*result)[1].recordingTime, kJune21);
    EXPECT_EQ((*result)[1].timeZone, "Europe/Berlin");
}

TEST_F(RecordingCsvTest, AFileWithoutHeaderIsAllData) {
    const CsvTable table = splitRecordingCsv("2012-06-21 21:03:00\n2012-06-21 21:04:00\n");
    EXPECT_FALSE(table.hasHeader);
    EXPECT_EQ(table.columnNames(), std::vector<std::string>{"Column 1"});
    EXPECT_EQ(readGuessed("2012-06-21 21:03:00\n2012-06-21 21:04:00\n")->size(), 2u);
}

TEST_F(RecordingCsvTest, ABadRowStopsTheImportWithItsLine) {
    // The quoted note spans lines 2 and 3, so the bad row begins on line 4.
    const CsvRecordingsResult badTime =
        readGuessed("DATE,TIME,NOTE\n2012-06-21,21:03:00,\"two\nlines\"\n2012-06-21,25:00:00,x\n");
    ASSERT_FALSE(badTime);
    EXPECT_FALSE(badTime.has_value());
    EXPECT_EQ(badTime.error().describe(),
              "bats.csv:4: expected a date and time such as 2012-06-21 21:03:00, found DATE "
              "\"2012-06-21\" and TIME \"25:00:00\"");

    const CsvRecordingsResult shortRow =
        readGuessed("DATE,TIME\n2012-06-21,21:03:00\n2012-06-22\n");
    ASSERT_FALSE(shortRow);
    EXPECT_EQ(shortRow.error().describe(), "bats.csv:3: expected at least 2 fields, found 1");

    // Rows wider than the header: the columns past it are named by their number.
    const CsvRecordingsResult pastTheHeader =
        readGuessed("site;note\nnorth;x;2012-06-21;21:03:00\nsouth;y;2012-06-21;25:00:00\n");
    ASSERT_FALSE(pastTheHeader);
    EXPECT_EQ(pastTheHeader.error().describe(),
              "bats.csv:3: expected a date and time such as 2012-06-21 21:03:00, found Column 3 "
              "\"2012-06-21\" and Column 4 \"25:00:00\"");

    const CsvRecordingsResult nothingChosen = readGuessed("name,size\nx,1\n");
    ASSERT_FALSE(nothingChosen);
    EXPECT_EQ(nothingChosen.error().line, 0u);
}

// The desktop keeps the rows that read and lists the others by line, in the words the strict
// reading stops with; label and probability come from the columns chosen.
TEST_F(RecordingCsvTest, KeepsTheGoodRowsAndListsTheBadOnesWithTheirLines) {
    const CsvTable table = splitRecordingCsv(
        "when,species,p\n"
        "2012-06-21 21:03:00,NYCNOC,0.9\n"
        "21.06.2012 21:04,PIPPIP,0.8\n"
        "# a comment\n"
        "2012-06-21 21:05:00,PIPPIP,\n"
        "2012-06-21 21:06:00,MYODAU,high\n"
        "2012-06-21 21:07:00\n"
        "2012-06-21 21:08:00,,0,25\n");
    RecordingColumns columns = guessRecordingColumns(table);
    columns.label = 1;
    columns.probability = 2;
    const auto read = readCsvRecordingsKeepingGoodRows(table, columns, *berlin_, "bats.csv");
    ASSERT_TRUE(read) << read.error().describe();
    ASSERT_EQ(read->recordings.size(), 3u);
    EXPECT_EQ(read->recordings[0].recordingTime, kJune21);
    EXPECT_EQ(read->recordings[0].label, "NYCNOC");
    EXPECT_EQ(read->recordings[0].probability, 0.9);
    EXPECT_FALSE(read->recordings[0].manualLabel);
    EXPECT_EQ(read->recordings[1].label, "PIPPIP");
    EXPECT_FALSE(read->recordings[1].probability);
    // The unquoted decimal comma splits the field: the probability reads "0".
    EXPECT_EQ(read->recordings[2].label, "");
    EXPECT_EQ(read->recordings[2].probability, 0.0);
    ASSERT_EQ(read->refused.size(), 3u);
    EXPECT_EQ(read->refused[0].line, 3u);
    EXPECT_EQ(read->refused[0].reason,
              "expected a date and time such as 2012-06-21 21:03:00, found when \"21.06.2012 "
              "21:04\"");
    EXPECT_EQ(read->refused[1].line, 6u);
    EXPECT_EQ(read->refused[1].reason, "expected a probability from 0 to 1 in p, found \"high\"");
    EXPECT_EQ(read->refused[2].line, 7u);
    EXPECT_EQ(read->refused[2].reason, "expected at least 3 fields, found 1");

    // The strict reading stops at the first of them.
    const CsvRecordingsResult strict = readCsvRecordings(table, columns, *berlin_, "bats.csv");
    ASSERT_FALSE(strict);
    EXPECT_EQ(strict.error().line, 3u);
    EXPECT_FALSE(readCsvRecordingsKeepingGoodRows(table, {}, *berlin_, "bats.csv"));
}

}  // namespace
}  // namespace vane
