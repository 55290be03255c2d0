#include "core/import/wind_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/import/wind_table_split.h"

namespace vane {
namespace {

std::filesystem::path fixture(const char* name) {
    return std::filesystem::path(VANE_IMPORT_FIXTURES) / name;
}

WindFileView load(const char* name, const WindFileSettings& settings = {}) {
    Outcome<WindFileView> loaded = loadWindFile(fixture(name), settings);
    EXPECT_TRUE(loaded) << name << ": " << (loaded ? "" : loaded.error().detail);
    return loaded ? std::move(loaded).value() : WindFileView{};
}

TEST(WindFileTest, AWindowsSemicolonFileIsReadCutAndGuessed) {
    const WindFileView view = load("windows1252_semicolon_crlf.csv");
    EXPECT_EQ(view.encoding, kWindowsLatin1Encoding);
    EXPECT_EQ(view.lineEndingIndex, kLineEndingCrLf);
    EXPECT_TRUE(view.lineEndingGuessed);
    EXPECT_EQ(view.fieldSeparator.title, ";");
    EXPECT_EQ(view.columnTitles, (std::vector<std::string>{"Datum", "Temp °C", "Wind m/s"}));
    EXPECT_EQ(view.guesses.dateTimeItem, 1u);
    EXPECT_EQ(view.guesses.dateFormatIndex, 2u);
    EXPECT_EQ(view.guesses.windItem, 3u);
    EXPECT_EQ(view.table.dataRowCount(), 7u) << "six lines and the empty piece after the last";
    EXPECT_EQ(previewCell(view.table, 0, 2), "3,4") << "decimal commas are kept as written";
    EXPECT_FALSE(view.tableProblem);
    EXPECT_EQ(view.previewText, *view.text) << "a short file is previewed whole";
}

TEST(WindFileTest, EachLineEndingIsGuessedFromItsFile) {
    EXPECT_EQ(load("utf8_comma_lf.csv").lineEndingIndex, kLineEndingLf);
    EXPECT_EQ(load("macroman_cr.csv").lineEndingIndex, kLineEndingCr);
    const WindFileView wide = load("utf16le_bom_tab_crlf.csv");
    EXPECT_EQ(wide.lineEndingIndex, kLineEndingCrLf);
    EXPECT_EQ(wide.fieldSeparator.index, 2);
    EXPECT_EQ(wide.guesses.dateFormatIndex, 0u);
}

TEST(WindFileTest, AChosenLineEndingIsKeptEvenWhenItLeavesCarriageReturns) {
    WindFileSettings settings;
    settings.lineEndingIndex = kLineEndingLf;
    const WindFileView view = load("windows1252_semicolon_crlf.csv", settings);
    EXPECT_FALSE(view.lineEndingGuessed);
    EXPECT_EQ(view.columnTitles.back(), "Wind m/s\r");
    EXPECT_EQ(previewCell(view.table, 0, 2), "3,4\r");
}

TEST(WindFileTest, APreambleIsSkippedByTheStartingLine) {
    WindFileSettings settings;
    settings.startingLineText = "3";
    const WindFileView view = load("preamble_two_lines.csv", settings);
    EXPECT_EQ(view.columnTitles, (std::vector<std::string>{"Datum", "Temp", "Wind"}));
    EXPECT_EQ(view.table.startAt, 2u);
    EXPECT_EQ(previewCell(view.table, 0, 0), "07.06.2012 00:00");
    // The sample row is the file's fourth line, the first data row here.
    EXPECT_EQ(view.guesses.dateFormatIndex, 2u);
}

TEST(WindFileTest, TheHeaderRowIsFoundWhenNobodySetsTheStartingLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"Date;Wind\n01.07.2012 18:00;3\n01.07.2012 18:10;4\n", 1},
        {"Logger 7\nSite: Hof, Bavaria\n\nDate;Wind\n01.07.2012 18:00;3\n", 4},
        {"# export\n# Date and time,Wind speed (m/s)\n2012-07-01T18:00:00,3\n", 2},
        // Nothing fits: the first line, as before.
        {"Date;Wind;\n01.07.2012 18:00;3\n", 1},
        {"1;2\n3;4\n", 1},
        {"", 1},
        {"\n\n\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findStartingLine(c.text, "\n", std::nullopt), c.line) << c.text;
        const WindFileView view = viewWindText(c.text, kUtf8Encoding, EncodingSource::detected, {});
        EXPECT_EQ(view.startingLine, c.line) << c.text;
        EXPECT_TRUE(view.startingLineFound);
    }
    const WindFileView commented =
        viewWindText(cases[2].text, kUtf8Encoding, EncodingSource::detected, {});
    EXPECT_EQ(commented.columnTitles,
              (std::vector<std::string>{"Date and time", "Wind speed (m/s)"}));
    EXPECT_EQ(findStartingLine("a;b\n1,2,3\n", "\n", FieldSeparatorChoice{1, ","}), 1);
}

TEST(WindFileTest, FilesWithoutATableSayWhy) {
    for (const char* name : {"empty.csv", "one_line.csv"}) {
        const WindFileView view = load(name);
        EXPECT_TRUE(view.table.empty()) << name;
        EXPECT_TRUE(view.columnTitles.empty()) << name;
        EXPECT_TRUE(view.tableProblem) << name;
    }
    WindFileSettings beyond;
    beyond.startingLineText = "40";
    EXPECT_NE(
        load("utf8_comma_lf.csv", beyond).tableProblem.value_or(Problem{}).message.find("beyond"),
        std::string::npos);
}

TEST(WindFileTest, ABinaryFileIsReadAsMacOSRomanWithoutHarm) {
    const WindFileView view = load("binary.csv");
    EXPECT_EQ(view.encoding, kMacOSRomanEncoding);
    EXPECT_EQ(view.encodingSource, EncodingSource::fallback);
    for (std::size_t r = 0; r < view.table.dataRowCount(); ++r) {
        for (std::size_t k = 0; k < view.columnTitles.size(); ++k) {
            (void)previewCell(view.table, r, k);
        }
    }
}

TEST(WindFileTest, AnUnreadableFileIsTheProblemWithFileAlert) {
    for (const std::filesystem::path& path :
         {fixture("no-such-file.csv"), std::filesystem::path(VANE_IMPORT_FIXTURES)}) {
        const Outcome<WindFileView> loaded = loadWindFile(path, {});
        ASSERT_FALSE(loaded);
        EXPECT_FALSE(loaded.has_value());
        EXPECT_EQ(loaded.error().title, "Problem with file");
        EXPECT_EQ(loaded.error().message,
                  "The csv file couldn't be read properly. Please send it to Fenmark for further "
                  "examination.");
        EXPECT_NE(loaded.error().detail.find(path.string()), std::string::npos);
    }
}

TEST(WindFileTest, AChosenEncodingRereadsAndPreviewsLess) {
    WindFileSettings settings;
    settings.encoding = kMacOSRomanEncoding;
    const WindFileView view = load("windows1252_umlauts_lf.csv", settings);
    EXPECT_EQ(view.encodingSource, EncodingSource::chosen);
    EXPECT_EQ(view.columnTitles[1], "Auﬂentemperatur ∞C");

    const std::string longText = "Date;Wind\n" + std::string(2000, '1');
    EXPECT_EQ(
        viewWindText(longText, kUtf8Encoding, EncodingSource::detected, {}).previewText.size(),
        1024u);
    EXPECT_EQ(viewWindText(longText, kUtf8Encoding, EncodingSource::chosen, {}).previewText.size(),
              512u);

    settings.encoding = kUtf8Encoding;
    EXPECT_FALSE(loadWindFile(fixture("windows1252_umlauts_lf.csv"), settings));
}

TEST(WindFileTest, ArbitraryBytesNeverLeadOutsideTheTable) {
    std::mt19937 generator(20120601);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "a;,\t\r\n:/.0\xC3\xB6\xF0";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int length = round % 64;
        for (int i = 0; i < length; ++i) {
            bytes +=
                round % 2 == 0 ? static_cast<char>(byte(generator)) : alphabet[pick(generator)];
        }
        const Outcome<DecodedText> read = decodeWithFallback(bytes);
        ASSERT_TRUE(read);
        for (int lineEnding : {kLineEndingLf, kLineEndingCrLf, kLineEndingCr}) {
            for (const char* startingLine : {"-1", "0", "1", "2", "4", "50"}) {
                WindFileSettings settings;
                settings.lineEndingIndex = lineEnding;
                settings.startingLineText = startingLine;
                const WindFileView view =
                    viewWindText(read->text, read->encoding, read->source, settings);
                for (std::size_t r = 0; r < view.table.dataRowCount(); ++r) {
                    for (std::size_t k = 0; k <= view.columnTitles.size(); ++k) {
                        (void)previewCell(view.table, r, k);
                    }
                }
                EXPECT_EQ(!view.tableProblem, view.table.hasHeaderRow());
            }
        }
    }
}

}  // namespace
}  // namespace vane
