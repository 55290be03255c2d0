#include "core/recordings/classifier_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vane {
namespace {

constexpr double kFirstFile = 1752002746.0;  // 2025-07-08 21:25:46 in Berlin
constexpr int kRows = 36;

// What a fixture row says, and so what reading it must give.
struct FixtureRow {
    int fileSecond = 0;   // after kFirstFile: the time in the file's name and date columns
    double offset = 0.0;  // seconds into the file
    std::string autoLabel;
    std::string manualLabel;  // empty: none
    double probability = 0.0;
};

std::vector<FixtureRow> fixtureRows() {
    const std::vector<std::string> labels = {"NYCNOC", "PIPPIP", "Noise",
                                             "NoID",   "MYODAU", "EPTSER"};
    std::vector<FixtureRow> rows;
    for (int i = 0; i < kRows; ++i) {
        rows.push_back({i * 97, (i % 3) * 1.5, labels[i % labels.size()],
                        i % 7 == 3 ? "PIPNAT" : "", (i % 10) / 10.0});
    }
    return rows;
}

// Local date, time and file-name stamp of a row in Berlin's summer time.
struct LocalText {
    std::string date, time, stamp;
};
LocalText localText(int fileSecond) {
    const int ofDay = 21 * 3600 + 25 * 60 + 46 + fileSecond;
    const int day = 8 + ofDay / 86400;
    const int s = ofDay % 86400;
    char date[16], time[16], stamp[32];
    std::snprintf(date, sizeof date, "2025-07-%02d", day);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    std::snprintf(stamp, sizeof stamp, "202507%02d_%02d%02d%02d", day, s / 3600, s / 60 % 60,
                  s % 60);
    return {date, time, stamp};
}

std::string idCsv(const std::vector<FixtureRow>& rows) {
    std::string text =
        "\xEF\xBB\xBFINDIR,OUTDIR,FOLDER,IN FILE,CHANNEL,OFFSET,DURATION,OUT FILE FS,OUT FILE ZC,"
        "DATE,TIME,HOUR,DATE-12,TIME-12,HOUR-12,AUTO ID*,PULSES,MATCHING,MATCH RATIO,MARGIN,"
        "ALTERNATE 1,ALTERNATE 2,N,Fc,Sc,Dur,Fmax,Fmin,Fmean,TBC,Fk,Tk,S1,Tc,Qual,FILES,MANUAL "
        "ID\r\n";
    for (const FixtureRow& row : rows) {
        const LocalText local = localText(row.fileSecond);
        text += "\"D:\\Bats, north\",D:\\out,night1,S4U01234_" + local.stamp + ".wav,0," +
                std::to_string(row.offset) + ",4.2,,," + local.date + "," + local.time +
                ",21,07/08/2025,09:25:46 PM,9," + row.autoLabel + ",12,8," +
                std::to_string(row.probability) +
                ",0.1,PIPNAT,,12,40.1,-12.0,5.1,48.0,39.0,43.0,90,42.0,2.1,-20,3.2,0.3,1," +
                row.manualLabel + "\r\n";
    }
    return text;
}

std::string speciesSheet(const std::vector<FixtureRow>& rows) {
    std::string text =
        "Filename\tHiF\tLoF\tTimestamp\tMonitoringNight\tSpecies Manual ID\tSppAccp\tProb\t#Maj\t"
        "#Accp\t~Spp\t~Prob\t1st\t2nd\t3rd\t4th\n";
    for (const FixtureRow& row : rows) {
        const LocalText local = localText(row.fileSecond);
        // Every other row leaves the time stamp empty: the file name then gives it.
        const std::string stamp = row.fileSecond % 2 == 0 ? local.date + " " + local.time : "";
        text += "SITE1_" + local.stamp + ".wav\t52\t38\t" + stamp + "\t2025-07-08\t" +
                row.manualLabel + "\t" + row.autoLabel + "\t" + std::to_string(row.probability) +
                "\t5\t4\t\t\tPipnat\tPippip\t\t\n";
    }
    return text;
}

std::string observationsList(const std::vector<FixtureRow>& rows) {
    std::string text =
        "\"nom du fichier\";\"temps_debut\";\"temps_fin\";\"frequence_mediane\";\"tadarida_taxon\";"
        "\"tadarida_probabilite\";\"tadarida_taxon_autre\";\"observateur_taxon\";"
        "\"observateur_probabilite\";\"validateur_taxon\";\"validateur_probabilite\"\n";
    for (const FixtureRow& row : rows) {
        const LocalText local = localText(row.fileSecond);
        std::string offset = std::to_string(row.offset);
        offset.replace(offset.find('.'), 1, ",");  // written with a decimal comma
        // The manual label goes to the validator on even rows and to the observer on odd ones.
        const bool validated = row.fileSecond % 2 == 0;
        text += "\"Car791055-2025-Pass1-Z8-VDN-5_" + local.stamp + "_000\";\"" + offset +
                "\";\"3,2\";\"45\";\"" + row.autoLabel + "\";\"" + std::to_string(row.probability) +
                "\";\"Pippyg\";\"" + (validated ? "" : row.manualLabel) + "\";\"\";\"" +
                (validated ? row.manualLabel : "") + "\";\"\"\n";
    }
    return text;
}

std::string namedTable(const std::vector<FixtureRow>& rows) {
    std::string text = "site;when;species;score\n";
    for (const FixtureRow& row : rows) {
        const LocalText local = localText(row.fileSecond);
        // The named-column table has no manual label: the automatic one is all it gives.
        text += "north;" + local.date + "T" + local.time + ";" + row.autoLabel + ";" +
                std::to_string(row.probability) + "\n";
    }
    return text;
}

struct SourceCase {
    const char* name;
    std::function<std::string(const std::vector<FixtureRow>&)> write;
    ClassifierFormat format;
    NamedColumns named;
    bool usesOffset;
    bool hasManualLabel;
};

TEST(ClassifierTableTest, ReadsEverySourceWithTimesLabelsAndProbabilities) {
    const std::unique_ptr<icu::TimeZone> berlin{icu::TimeZone::createTimeZone("Europe/Berlin")};
    const std::vector<SourceCase> cases = {
        {"id.csv", idCsv, ClassifierFormat::IdCsv, {}, true, true},
        {"species sheet", speciesSheet, ClassifierFormat::SpeciesSheet, {}, false, true},
        {"observations list", observationsList, ClassifierFormat::ObservationsList, {}, true, true},
        {"named columns",
         namedTable,
         ClassifierFormat::NamedColumns,
         {{"when"}, "species", "score"},
         false,
         false},
    };
    const std::vector<FixtureRow> rows = fixtureRows();
    for (const SourceCase& source : cases) {
        SCOPED_TRACE(source.name);
        const Outcome<ClassifierTable> table =
            readClassifierTable(source.write(rows), "table.csv", *berlin, source.named);
        ASSERT_TRUE(table) << table.error().describe();
        EXPECT_EQ(table->format, source.format);
        EXPECT_TRUE(table->hasProbability);
        ASSERT_EQ(table->recordings.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const FixtureRow& row = rows[i];
            const ImportedRecording& read = table->recordings[i];
            const bool manual = source.hasManualLabel && !row.manualLabel.empty();
            EXPECT_DOUBLE_EQ(read.recordingTime,
                             kFirstFile + row.fileSecond + (source.usesOffset ? row.offset : 0.0))
                << "row " << i;
            EXPECT_EQ(read.utcOffsetSeconds, 7200);
            EXPECT_EQ(read.label, manual ? row.manualLabel : row.autoLabel) << "row " << i;
            EXPECT_EQ(read.manualLabel, manual) << "row " << i;
            ASSERT_TRUE(read.probability);
            EXPECT_NEAR(*read.probability, row.probability, 1e-6);
        }
        // The header alone tells a program's table; a named-column table is no program's.
        EXPECT_EQ(looksLikeClassifierTable(source.write({})),
                  source.format != ClassifierFormat::NamedColumns);
    }
}

TEST(ClassifierTableTest, RefusesWhatItCannotRead) {
    const std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::createTimeZone("UTC")};
    const struct {
        const char* text;
        NamedColumns named;
        const char* message;
    } cases[] = {
        {"site,when,species\nnorth,2025-07-08 21:00:00,PIPPIP\n",
         {},
         "table.csv: is no table Vane knows; it has the columns \"site\", \"when\", \"species\". "
         "Name the time with --time-column NAME (twice for a date and a time column), the species "
         "with --label-column NAME and the probability with --probability-column NAME"},
        {"site,when\nnorth,2025-07-08 21:00:00\n",
         {{"time"}},
         "table.csv: no column \"time\"; the table has \"site\", \"when\""},
        {"when,p\n2025-07-08 21:00:00,0.5\nyesterday,0.5\n",
         {{"when"}, "", "p"},
         "table.csv:3: expected a date and time in \"when\", found \"yesterday\""},
        {"when,p\n2025-07-08 21:00:00,75\n",
         {{"when"}, "", "p"},
         "table.csv:2: expected a probability from 0 to 1 in \"p\", found \"75\""},
        {"", {}, "table.csv: is empty"},
    };
    for (const auto& c : cases) {
        const Outcome<ClassifierTable> table =
            readClassifierTable(c.text, "table.csv", *utc, c.named);
        ASSERT_FALSE(table) << c.text;
        EXPECT_EQ(table.error().describe(), c.message);
        // Skipping bad rows, as the desktop does, a row is listed in the same words; a table
        // that cannot be read at all is still refused.
        const Outcome<ClassifierTable> skipping =
            readClassifierTable(c.text, "table.csv", *utc, c.named, BadRows::Skip);
        if (table.error().line == 0) {
            ASSERT_FALSE(skipping) << c.text;
            EXPECT_EQ(skipping.error().describe(), c.message);
        } else {
            ASSERT_TRUE(skipping) << c.text;
            ASSERT_EQ(skipping->refused.size(), 1u);
            EXPECT_EQ("table.csv:" + std::to_string(skipping->refused[0].line) + ": " +
                          skipping->refused[0].reason,
                      c.message);
            EXPECT_EQ(skipping->recordings.size(), skipping->refused[0].line - 2);
        }
    }
    // Comments and blank lines above the header are no part of the table; rows keep the
    // numbers of their lines.
    const std::string commented =
        "# exported 2025-07-08, species by hand\n\nwhen,p\n2025-07-08 "
        "21:00:00,0.5\nyesterday,0.5\n";
    EXPECT_EQ(
        readClassifierTable(commented, "table.csv", *utc, {{"when"}, "", "p"}).error().describe(),
        "table.csv:5: expected a date and time in \"when\", found \"yesterday\"");
}

// Tables no program wrote keep their species where titles name the time and species columns.
TEST(ClassifierTableTest, ReadsTablesWhoseTitlesNameTheTimeAndTheSpecies) {
    const std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::createTimeZone("UTC")};
    constexpr double kNine = 1752008400.0;  // 2025-07-08 21:00 UTC
    const struct {
        const char* text;
        std::vector<std::string> labels;
        std::vector<bool> manual;
    } cases[] = {
        {"site,Date,Time,Species\r\nnorth,2025-07-08,21:00:00,Pipistrellus nathusii\r\n",
         {"Pipistrellus nathusii"},
         {false}},
        {"DateTime;SPECDESCSCI;Count\n2025-07-08T21:00:00;Nyctalus noctula;2\n",
         {"Nyctalus noctula"},
         {false}},
        {"Timestamp,scientific name\n2025-07-08 21:00:00,Myotis lucifugus\n",
         {"Myotis lucifugus"},
         {false}},
        {"Date/Time,AUTO ID*,MANUAL ID\n2025-07-08 21:00:00,MYOLUC,MYOSEP\n"
         "2025-07-08 21:00:00,MYOLUC,\n",
         {"MYOSEP", "MYOLUC"},
         {true, false}},
        {"recordingDate,startTime,species,speciesIndividualNumber,speciesIndividualComment\n"
         "2025-07-08 21:00:00,12.5,Mylu/Myvo,1,\"faint, short\"\n",
         {"Mylu/Myvo"},
         {false}},
        {"Datum,Uhrzeit,SppAccp\n2025-07-08,21:00,NYCNOC\n", {"NYCNOC"}, {false}},
    };
    for (const auto& c : cases) {
        const Outcome<ClassifierTable> table = readClassifierTable(c.text, "t.csv", *utc, {});
        ASSERT_TRUE(table) << c.text << table.error().describe();
        EXPECT_EQ(table->format, ClassifierFormat::TitledColumns);
        EXPECT_TRUE(looksLikeUnknownLabelledTable(c.text)) << c.text;
        ASSERT_EQ(table->recordings.size(), c.labels.size()) << c.text;
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            EXPECT_DOUBLE_EQ(table->recordings[i].recordingTime, kNine) << c.text;
            EXPECT_EQ(table->recordings[i].label, c.labels[i]) << c.text;
            EXPECT_EQ(table->recordings[i].manualLabel, c.manual[i]) << c.text;
        }
    }
    // One row per tag, each saying who set it: where a person tagged a recording, the
    // classifier's tags of it give way; a person's two tags of one recording are both kept.
    const Outcome<ClassifierTable> tags = readClassifierTable(
        "location,recordingDate,method,species,speciesIndividualComment,internal_tag_id\n"
        "north,2025-07-08 21:00:00,1SPT,MYLU,AUTO ID,1\n"
        "north,2025-07-08 21:00:00,1SPT,MYSE,Manual ID,2\n"
        "south,2025-07-08 21:00:00,1SPT,EPFU,AUTO ID,3\n"
        "north,2025-07-08 21:10:00,1SPT,LACI,auto_id,4\n"
        "north,2025-07-08 21:20:00,1SPT,LABO,MANUAL ID,5\n"
        "north,2025-07-08 21:20:00,1SPT,LANO,Manual ID,6\n"
        "north,2025-07-08 21:20:00,1SPT,EPFU,AUTO ID,7\n"
        "north,2025-07-08 21:30:00,1SPT,Noise,\"wind, rain\",8\n",
        "tags.csv", *utc, {});
    ASSERT_TRUE(tags) << tags.error().describe();
    std::vector<std::pair<std::string, bool>> read;
    for (const ImportedRecording& recording : tags->recordings) {
        read.emplace_back(recording.label, recording.manualLabel);
    }
    EXPECT_EQ(read, (std::vector<std::pair<std::string, bool>>{{"MYSE", true},
                                                               {"EPFU", false},
                                                               {"LACI", false},
                                                               {"LABO", true},
                                                               {"LANO", true},
                                                               {"Noise", false}}));

    // A title that names the species but none that names the time: still the user's to name.
    EXPECT_FALSE(readClassifierTable("site,when,SPECIES\nnorth,2025-07-08 21:00:00,NYCNOC\n",
                                     "t.csv", *utc, {}));
}

TEST(ClassifierTableTest, ReadsDateAndTimeColumnsNamedByTheUser) {
    const std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::createTimeZone("UTC")};
    const Outcome<ClassifierTable> table =
        readClassifierTable("Day,Clock,Who\n2025/07/08,21:00:00.1234567+100,NYCNOC\n", "t.csv",
                            *utc, {{"Day", "Clock"}, "Who", ""});
    ASSERT_TRUE(table) << table.error().describe();
    ASSERT_EQ(table->recordings.size(), 1u);
    EXPECT_NEAR(table->recordings[0].recordingTime, 1752004800.1234567, 1e-6);
    EXPECT_EQ(table->recordings[0].label, "NYCNOC");
    EXPECT_FALSE(table->recordings[0].probability);
    EXPECT_FALSE(table->hasProbability);
}

}  // namespace
}  // namespace vane
