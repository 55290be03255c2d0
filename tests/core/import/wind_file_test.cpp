#include "core/import/wind_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/import/wind_table_split.h"

namespace vane {
namespace {

std::filesystem::path fixture(const char* name) {
    return std::filesystem::path(VANE_IMPORT_FIXTURES) / name;
}

WindFileView load(const char* name, const TextChoices& chosen = {}) {
    Outcome<WindFileView> loaded = loadWindFile(fixture(name), chosen);
    EXPECT_TRUE(loaded) << name << ": " << (loaded ? "" : loaded.error().detail);
    return loaded ? std::move(loaded).value() : WindFileView{};
}

TEST(WindFileTest, AWindowsSemicolonFileIsReadCutAndGuessed) {
    const WindFileView view = load("windows1252_semicolon_crlf.csv");
    EXPECT_EQ(*view.reading.encoding, kWindowsLatin1Encoding);
    EXPECT_EQ(*view.reading.lineEndingIndex, kLineEndingCrLf);
    EXPECT_FALSE(view.reading.lineEndingIndex.byUser());
    EXPECT_EQ(view.reading.fieldSeparator->title, ";");
    EXPECT_EQ(view.columnTitles, (std::vector<std::string>{"Datum", "Temp °C", "Wind m/s"}));
    EXPECT_EQ(view.found.columns.dateTimeItem, 1u);
    EXPECT_EQ(view.found.columns.dateFormatIndex, 2u);
    EXPECT_EQ(view.found.columns.windItem, 3u);
    EXPECT_EQ(view.table.dataRowCount(), 7u) << "six lines and the empty piece after the last";
    EXPECT_EQ(previewCell(view.table, 0, 2), "3,4") << "decimal commas are kept as written";
    EXPECT_TRUE(usableTable(view));
    EXPECT_EQ(view.previewText, *view.text) << "a short file is previewed whole";
}

TEST(WindFileTest, EachLineEndingIsGuessedFromItsFile) {
    EXPECT_EQ(*load("utf8_comma_lf.csv").reading.lineEndingIndex, kLineEndingLf);
    EXPECT_EQ(*load("macroman_cr.csv").reading.lineEndingIndex, kLineEndingCr);
    const WindFileView wide = load("utf16le_bom_tab_crlf.csv");
    EXPECT_EQ(*wide.reading.lineEndingIndex, kLineEndingCrLf);
    EXPECT_EQ(wide.reading.fieldSeparator->index, 2);
    EXPECT_EQ(wide.found.columns.dateFormatIndex, 0u);
}

TEST(WindFileTest, AChosenLineEndingIsKeptEvenWhenItLeavesCarriageReturns) {
    TextChoices chosen;
    chosen.lineEndingIndex = kLineEndingLf;
    const WindFileView view = load("windows1252_semicolon_crlf.csv", chosen);
    EXPECT_TRUE(view.reading.lineEndingIndex.byUser());
    EXPECT_EQ(view.columnTitles.back(), "Wind m/s\r");
    EXPECT_EQ(previewCell(view.table, 0, 2), "3,4\r");
}

TEST(WindFileTest, APreambleIsSkippedByTheStartingLine) {
    TextChoices chosen;
    chosen.startingLine = 3;
    const WindFileView view = load("preamble_two_lines.csv", chosen);
    EXPECT_EQ(view.columnTitles, (std::vector<std::string>{"Datum", "Temp", "Wind"}));
    EXPECT_EQ(view.table.startAt, 2u);
    EXPECT_EQ(previewCell(view.table, 0, 0), "07.06.2012 00:00");
    // The sample row is the file's fourth line, the first data row here.
    EXPECT_EQ(view.found.columns.dateFormatIndex, 2u);
}

TEST(WindFileTest, TheHeaderRowIsFoundWhenNobodySetsTheStartingLine) {
    struct Case {
        const char* text;
        int line;
        int unitRows = 0;
        const char* speedUnit = "";  // the preamble declares
    };
    const Case cases[] = {
        {"Date;Wind\n01.07.2012 18:00;3\n01.07.2012 18:10;4\n", 1},
        {"Logger 7\nSite: Hof, Bavaria\n\nDate;Wind\n01.07.2012 18:00;3\n", 4},
        {"# export\n# Date and time,Wind speed (m/s)\n2012-07-01T18:00:00,3\n", 2},
        // A block of keys and values is no header, however alike its lines.
        {"Site,Mast 7\nSerial,2210\nLatitude,43.1\nUnits,mph\n[Channel01]\nHeight,66\n"
         "Time Stamp,Speed\n7/1/12 18:00,6.7\n7/1/12 18:10,6.9\n",
         7, 0, "mph"},
        {"Units = km/h\nUnits = mph\n\nDate,Speed\n2012-07-01 18:00,3\n", 4},
        {"\"TOA5\",\"a\",\"b\"\n\"TIMESTAMP\",\"WS\",\"T\"\n\"TS\",\"m/s\",\"Deg C\"\n"
         "\"\",\"Avg\",\"Smp\"\n\"2012-07-01 18:00:00\",3,14\n",
         2, 2},
        {"Date,Wind\n,[m/s]\n2012-07-01 18:00,3\n2012-07-01 18:10,4\n", 1, 1},
        // Rows of text under the header are data unless they name units above numbers.
        {"Date,State,Mode\n2012-07-01,run,auto\n2012-07-01,stop,auto\n", 1},
        {"Date,Wind,State\n,Avg,run\n,Avg,stop\n", 1},
        {"Date,Wind\nTS,m/s\n\n2012-07-01 18:00,3\n", 1},
        // Nothing fits: the first line, as before.
        {"Date;Wind;\n01.07.2012 18:00;3\n", 1},
        {"1;2\n3;4\n", 1},
        {"", 1},
        {"\n\n\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findStartingLine(c.text, "\n", std::nullopt), c.line) << c.text;
        const WindFileView view = viewWindText(c.text, kUtf8Encoding, EncodingSource::detected, {});
        EXPECT_EQ(*view.reading.startingLine, c.line) << c.text;
        EXPECT_EQ(view.reading.startingLine.source(), ChoiceSource::guessed);
        EXPECT_EQ(*view.reading.unitRows, c.unitRows) << c.text;
        EXPECT_EQ(view.table.startAt, static_cast<std::size_t>(c.line - 1 + c.unitRows)) << c.text;
        EXPECT_EQ(declaredSpeedUnit(c.text, "\n", c.line), c.speedUnit) << c.text;
    }
    TextChoices none;
    none.unitRows = 0;
    EXPECT_EQ(recutWindFile(
                  viewWindText(cases[5].text, kUtf8Encoding, EncodingSource::detected, {}), none)
                  .table.startAt,
              1u)
        << "the user's count of unit rows wins";
    const WindFileView commented =
        viewWindText(cases[2].text, kUtf8Encoding, EncodingSource::detected, {});
    EXPECT_EQ(commented.columnTitles,
              (std::vector<std::string>{"Date and time", "Wind speed (m/s)"}));
    EXPECT_EQ(findStartingLine("a;b\n1,2,3\n", "\n", FieldSeparatorChoice{1, ","}), 1);
}

// The zone and the stamp convention a preamble declares, or nothing where it is silent, says
// something else or contradicts itself.
TEST(WindFileTest, APreambleDeclaresTheZoneAndWhichEndOfTheStepTheStampsMark) {
    struct Case {
        const char* preamble;
        std::optional<std::string> offset;
        std::optional<StampConvention> stamps;
    };
    const Case cases[] = {
        {"Time Zone,0\n", "+0000", std::nullopt},
        {"Time zone = UTC+1\n", "+0100", std::nullopt},
        {"TimeZone,-05:00\n", "-0500", std::nullopt},
        {"Time Zone,+5.5\n", "+0530", std::nullopt},
        {"time_zone;+0200\n", "+0200", std::nullopt},
        {"Time Zone,GMT\n", "+0000", std::nullopt},
        {"Time Zone,Central\n", std::nullopt, std::nullopt},
        {"Time Zone,15\n", std::nullopt, std::nullopt},
        {"Time Zone,1\nTime Zone,2\n", std::nullopt, std::nullopt},
        {"Zone,1\n", std::nullopt, std::nullopt},
        {"Time stamps indicate the beginning of the time step.\n", std::nullopt,
         StampConvention::begin},
        {"Timestamp: interval beginning\n", std::nullopt, StampConvention::begin},
        {"Time stamps mark the period end\n", std::nullopt, StampConvention::end},
        {"Period end,2012-07-02\n", std::nullopt, std::nullopt},  // a date, no convention
        {"Time: period start\nTime: period end\n", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string text = std::string(c.preamble) + "Date,Wind\n2012-07-01 18:00,3\n";
        const int header = static_cast<int>(std::count(text.begin(), text.end(), '\n')) - 1;
        const std::optional<DeclaredZone> zone = declaredZone(text, "\n", header);
        EXPECT_EQ(zone ? std::optional(zone->offset) : std::nullopt, c.offset) << c.preamble;
        const std::optional<DeclaredStamps> stamps = declaredStamps(text, "\n", header);
        EXPECT_EQ(stamps ? std::optional(stamps->convention) : std::nullopt, c.stamps)
            << c.preamble;
    }
    // Lines below the header are data, whatever they say.
    EXPECT_FALSE(declaredZone("Date,Wind\nTime Zone,0\n", "\n", 1));
}

TEST(WindFileTest, FilesWithoutATableSayWhy) {
    for (const char* name : {"empty.csv", "one_line.csv"}) {
        const WindFileView view = load(name);
        EXPECT_TRUE(view.table.empty()) << name;
        EXPECT_TRUE(view.columnTitles.empty()) << name;
        EXPECT_FALSE(usableTable(view)) << name;
    }
    TextChoices beyond;
    beyond.startingLine = 40;
    const Outcome<void> usable = usableTable(load("utf8_comma_lf.csv", beyond));
    ASSERT_FALSE(usable);
    EXPECT_NE(usable.error().message.find("beyond"), std::string::npos);
}

TEST(WindFileTest, ABinaryFileIsReadAsMacOSRomanWithoutHarm) {
    const WindFileView view = load("binary.csv");
    EXPECT_EQ(*view.reading.encoding, kMacOSRomanEncoding);
    EXPECT_EQ(view.reading.encoding.source(), ChoiceSource::preset);
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
    TextChoices chosen;
    chosen.encoding = kMacOSRomanEncoding;
    const WindFileView view = load("windows1252_umlauts_lf.csv", chosen);
    EXPECT_TRUE(view.reading.encoding.byUser());
    EXPECT_EQ(view.columnTitles[1], "Auﬂentemperatur ∞C");

    const std::string longText = "Date;Wind\n" + std::string(2000, '1');
    EXPECT_EQ(
        viewWindText(longText, kUtf8Encoding, EncodingSource::detected, {}).previewText.size(),
        1024u);
    EXPECT_EQ(viewWindText(longText, kUtf8Encoding, EncodingSource::chosen, {}).previewText.size(),
              512u);

    chosen.encoding = kUtf8Encoding;
    EXPECT_FALSE(loadWindFile(fixture("windows1252_umlauts_lf.csv"), chosen));
}

TEST(WindFileTest, TheSheetCutsAgainKeepingTheUsersChoicesAndTheLastColumns) {
    const WindFileView loaded = load("utf8_comma_lf.csv");
    TextChoices chosen;
    chosen.lineEndingIndex = kLineEndingCr;  // the file has none: no table
    const WindFileView cut = recutWindFile(loaded, chosen);
    EXPECT_TRUE(cut.table.empty());
    EXPECT_TRUE(cut.reading.lineEndingIndex.byUser());
    EXPECT_EQ(cut.columnTitles, loaded.columnTitles) << "the choosers keep their items";
    EXPECT_EQ(cut.text, loaded.text) << "the same text, not read again";

    chosen.lineEndingIndex.reset();
    const WindFileView again = recutWindFile(cut, chosen);
    EXPECT_EQ(*again.reading.lineEndingIndex, kLineEndingLf) << "guessed again";
    EXPECT_EQ(again.table.rowCount(), loaded.table.rowCount());
}

TEST(WindFileTest, TheSheetRereadsInTheUsersEncodingOrKeepsWhatItShowed) {
    const WindFileView loaded = load("windows1252_semicolon_crlf.csv");
    // UTF-8 the file is not: no text, no rows, and the choices stay as they were shown.
    TextChoices chosen;
    chosen.encoding = kUtf8Encoding;
    chosen.startingLine = 2;
    const WindFileView unreadable = rereadWindFile(loaded, chosen);
    EXPECT_FALSE(unreadable.text);
    EXPECT_TRUE(unreadable.table.empty());
    EXPECT_EQ(unreadable.previewText, loaded.previewText);
    EXPECT_EQ(*unreadable.reading.lineEndingIndex, kLineEndingCrLf);
    EXPECT_EQ(*unreadable.reading.startingLine, 2);
    EXPECT_EQ(recutWindFile(unreadable, {}).reading, unreadable.reading);

    chosen.encoding = kMacOSRomanEncoding;
    const WindFileView roman = rereadWindFile(unreadable, chosen);
    ASSERT_TRUE(roman.text);
    EXPECT_TRUE(roman.reading.encoding.byUser());
    EXPECT_EQ(roman.columnTitles.back(), "3,4") << "the header row is the user's line 2";
    EXPECT_TRUE(roman.previewText.starts_with("Datum;Temp ∞C"));
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
            for (const int startingLine : {-1, 0, 1, 2, 4, 50}) {
                TextChoices chosen;
                chosen.lineEndingIndex = lineEnding;
                chosen.startingLine = startingLine;
                const WindFileView view =
                    viewWindText(read->text, read->encoding, read->source, chosen);
                for (std::size_t r = 0; r < view.table.dataRowCount(); ++r) {
                    for (std::size_t k = 0; k <= view.columnTitles.size(); ++k) {
                        (void)previewCell(view.table, r, k);
                    }
                }
                EXPECT_EQ(usableTable(view).has_value(), view.table.hasHeaderRow());
            }
        }
    }
}

}  // namespace
}  // namespace vane
