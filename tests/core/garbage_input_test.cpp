// Every reader of user files meets damaged and foreign files sooner or later. These tests feed
// each one realistic texts with random damage (bytes flipped, cut, repeated, spliced) and ask
// only that it answers: the sanitizer builds turn any out-of-bounds read into a failure here.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/numerical_compare.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/effort_file.h"
#include "core/curtailment/power_curve.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/binary_copy_rows.h"
#include "core/files/input_file.h"
#include "core/import/column_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/header_lines.h"
#include "core/import/preview_text.h"
#include "core/import/resolve_choices.h"
#include "core/import/split_choices.h"
#include "core/import/text_reading.h"
#include "core/import/wind_dates.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"
#include "core/project/project_file.h"
#include "core/recordings/bat_species.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/file_name_timestamp.h"
#include "core/recordings/guano.h"
#include "core/recordings/list_file.h"
#include "core/recordings/recording_csv.h"
#include "core/recordings/recording_filter.h"
#include "core/recordings/recording_folder_scan.h"
#include "core/recordings/recording_list.h"
#include "core/recordings/recording_source_file.h"
#include "core/recordings/wav_samples.h"
#include "core/signal/spectrogram.h"
#include "core/text/utf8.h"
#include "core/time/date_pattern_parser.h"
#include "core/time/iso_timestamp.h"
#include "core/yearly/session_list.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/temp_path.h"

namespace vane {
namespace {

constexpr int kDamagedCopies = 400;

// Damaged copies of `seeds`, the same on every run so that a failure can be replayed.
std::vector<std::string> damaged(const std::vector<std::string>& seeds) {
    std::mt19937 random(20120621);
    const std::string specials = std::string("\0\r\n;,\t:.-+ZT\xC3\xA4\xFF\xFE\xEF\xBB\xBF", 20);
    std::vector<std::string> texts = seeds;
    texts.push_back("");
    for (int copy = 0; copy < kDamagedCopies; ++copy) {
        std::string text = seeds[random() % seeds.size()];
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int change = 0; change < changes; ++change) {
            const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
            switch (random() % 6) {
                case 0:  // one byte flipped
                    if (at < text.size()) {
                        text[at] = static_cast<char>(random());
                    }
                    break;
                case 1:  // a separator, line break or odd byte put in
                    text.insert(at, 1, specials[random() % specials.size()]);
                    break;
                case 2:  // cut short
                    text.resize(at);
                    break;
                case 3:  // a piece removed
                    text.erase(at, random() % 16);
                    break;
                case 4:  // a piece repeated
                    text.insert(at, text.substr(at, random() % 32));
                    break;
                default:  // a piece of another seed spliced in
                    const std::string& other = seeds[random() % seeds.size()];
                    text.insert(at, other.substr(random() % (other.size() + 1), random() % 64));
                    break;
            }
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

class GarbageInputTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
};

TEST_F(GarbageInputTest, RecordingAndSessionListsAnswerWithRecordingsOrALineNumber) {
    const std::vector<std::string> seeds = {
        "time\n2012-06-21 21:03:00\n2012-06-21T21:07:00.25+02:00\n# note\n\n2012-06-21 21:15Z\n",
        "2012-06-21 21:03:00,bat1.wav\r\n2012-06-22 01:00:00+0200,bat2.wav\r\n",
        "sampledate,recordings,latitude,longitude\n2012-06-21,57,49.6,11.05\n2012-06-22,12,,\n"};
    for (const std::string& text : damaged(seeds)) {
        const RecordingListResult recordings = parseRecordingList(text, "list.txt", *berlin_);
        if (!recordings) {
            EXPECT_FALSE(recordings.error().describe().empty());
        }
        const SessionListResult sessions = parseSessionList(text, "sessions.csv", *berlin_);
        if (!sessions) {
            EXPECT_FALSE(sessions.error().describe().empty());
        }
        (void)parseIsoTimestamp(text);
    }
}

TEST_F(GarbageInputTest, RecorderMetadataAndFileNamesAreReadOrRefused) {
    const std::vector<std::string> seeds = {
        "GUANO|Version:1.0\nTimestamp:2012-06-21T21:03:00+02:00\nLoc Position:49.6 11.05\n"
        "Species Auto ID:Pipistrellus\n",
        "20120621_210300.wav",
        "SM4BAT_20120621_210300_000.wav",
        "4FE37241.WAV",
        "SM4BAT_0_20120621$210300_123456.w4v",
        "2012-06-21 21-03-00.WAV",
        "time,file\n2012-06-21 21:03:00,a.wav\n\"2012-06-21 21:04:00\",\"b, c.wav\"\n",
        "Date;Time;File\n21.06.2012;21:03:00;a.wav\n"};
    for (const std::string& text : damaged(seeds)) {
        (void)parseGuano(text);
        (void)parseFileNameTimestamp(text);
        const CsvTable table = splitRecordingCsv(text);
        EXPECT_EQ(table.rows.size(), table.lineNumbers.size());
        RecordingColumns columns = guessRecordingColumns(table);
        // A long list is read from its text row by row: the same recordings, or the same line.
        const CsvRecordingsResult fromTable =
            readCsvRecordings(table, columns, *berlin_, "list.csv");
        const CsvRecordingsResult fromText = readCsvRecordings(
            text, guessRecordingColumns(splitRecordingCsv(text, 2)), *berlin_, "list.csv");
        EXPECT_EQ(fromText.has_value(), fromTable.has_value());
        if (fromText && fromTable) {
            EXPECT_EQ(fromText->size(), fromTable->size());
        } else if (!fromText && !fromTable) {
            EXPECT_EQ(fromText.error().describe(), fromTable.error().describe());
        }
        columns.label = 0;
        columns.probability = 2;
        (void)readCsvRecordingsKeepingGoodRows(table, columns, *berlin_, "list.csv");
    }
}

TEST_F(GarbageInputTest, IdentificationTablesAndGroupsFilesAnswerWithRowsOrALine) {
    const std::vector<std::string> seeds = {
        "INDIR,OUTDIR,FOLDER,IN FILE,CHANNEL,OFFSET,DURATION,DATE,TIME,AUTO ID*,MATCH RATIO,"
        "MANUAL ID\r\n\"d:\\a, b\",o,f,S_20120621_220300.wav,0,1.5,3,2012-06-21,22:03:00,NYCNOC,"
        "0.9,\r\n",
        "Filename\tHiF\tLoF\tTimestamp\tMonitoringNight\tSpecies Manual ID\tSppAccp\tProb\n"
        "S_20120621_220300.wav\t50\t30\t\t2012-06-21\tPipnat\tPippip\t0.8\n",
        "\"nom du fichier\";\"temps_debut\";\"tadarida_taxon\";\"tadarida_probabilite\";"
        "\"observateur_taxon\";\"validateur_taxon\"\nCar1-2025-Pass1_20250708_212546_000;"
        "\"1,5\";\"Pippip\";\"0,9\";\"\";\"Pipnat\"\n",
        "when;species;p\n2012-06-21T22:03:00.1234567+100;NYCNOC;0.5\n",
        "location,recordingDate,species,speciesIndividualComment\r\n"
        "N1,2021-06-01 21:30:00,MYOLUC,\"faint, short\"\r\nN1,2021-06-01 21:30:00,Noise,\r\n",
        "Datum;Uhrzeit;AUTO ID*;MANUAL ID;SPECDESCSCI\r\n2021-06-01;21:30;MYOLUC;MYOSEP;\r\n"
        "2021-06-01;;;;Myotis lucifugus\r\n",
        "location,recordingDate,species,speciesIndividualComment,tag source\n"
        "N1,2021-06-01 21:30:00,MYLU,AUTO ID,\nN1,2021-06-01 21:30:00,Mylu/Myvo,Manual ID,manual\n"
        "N1,2021-06-01 21:30:00,Myotis lucifugus,,auto\n",
        "high: NYCNOC, NYCLEI # noctules\nlow: PIP*, Myotis lucifugus, Mylu/Myvo\n"};
    const NamedColumns named{{"when"}, "species", "p"};
    const SpeciesGroups defaultGroups = defaultSpeciesGroups();
    for (const std::string& text : damaged(seeds)) {
        // Read as a table file is: UTF-8 that a library can store, or a line that says why not.
        const Outcome<std::string> utf8 = listText(text, "id.csv", "table");
        if (utf8) {
            EXPECT_FALSE(firstUnstorableByte(*utf8));
        } else {
            EXPECT_GE(utf8.error().line, 1u);
        }
        for (const NamedColumns& columns : {NamedColumns{}, named}) {
            const Outcome<ClassifierTable> table =
                readClassifierTable(text, "id.csv", *berlin_, columns);
            if (!table) {
                EXPECT_FALSE(table.error().describe().empty());
            }
        }
        (void)looksLikeClassifierTable(text);
        // Given as recordings: read, or refused in words; never times alone from a table with
        // species that Vane does not know, which is read only as the table its titles name.
        const Outcome<RecordingSourceRead> source = readRecordingText(text, "in.csv", *berlin_);
        EXPECT_TRUE(source ? !looksLikeUnknownLabelledTable(text) ||
                                 readClassifierTable(text, "in.csv", *berlin_, {}).has_value()
                           : !source.error().describe().empty());
        if (const Outcome<SpeciesGroups> groups = parseSpeciesGroups(text, "groups.txt")) {
            (void)seriesOfLabel(text, &*groups);
            (void)seriesOfLabel(text, &defaultGroups);
        }
        (void)labelKey(text);
        (void)isNoBatLabel(text);
    }
}

TEST_F(GarbageInputTest, PowerCurvesAndEffortFilesAnswerWithValuesOrALine) {
    const std::vector<std::string> seeds = {
        "wind_speed,kW\n3,0\n4,80\n8,840\n12,2000\n25,2000\n",
        "Wind Speed [m/s],Power [W],Cp [-]\n0,-3000,0\n3,0,0\n4,80000,0.4\n25,2000000,0.1\n",
        "# curve\n0;0\r\n3.5;12.5\r\n1e308;1\r\n",
        "start,end\n2012-06-01 20:00,2012-06-02 06:00\n",
        "2012-06-02T20:00:00.5+02:00\t2012-06-03T06:00Z\n\"2012-06-04 20:00\",\"x\"\n",
        "Power curves, 1.225 kg/m\xB3\r\nturbine_type,0.0,0.5,1.0,3.0,4.0\r\nV90-2MW,0,0,0,21000,"
        "84000\r\nE-82,0,,0,25000\r\n\r\n",
        "Leistung [kW];0;2,5;5;7,5;10\nM\xFCller 500;0;0;150;500;500;;\n"};
    for (const std::string& text : damaged(seeds)) {
        std::vector<std::string> turbines = powerCurveTurbines(text);
        turbines.insert(turbines.begin(), {"", "V90-2MW"});
        for (const std::string& turbine : turbines) {
            if (const Outcome<PowerCurve> curve = parsePowerCurve(text, "curve.csv", turbine)) {
                EXPECT_GE(curve->points.size(), 2u);
                for (const double wind : {-1.0, 0.0, 5.0, 1e300}) {
                    EXPECT_TRUE(std::isfinite(curve->kwAt(wind)));
                }
            } else {
                EXPECT_FALSE(curve.error().describe().empty());
            }
        }
        if (const auto effort = parseEffortSpans(text, "effort.csv", *berlin_)) {
            for (const EffortSpan& span : *effort) {
                EXPECT_GT(span.end, span.start);
            }
        } else {
            EXPECT_FALSE(effort.error().describe().empty());
        }
    }
}

TEST_F(GarbageInputTest, ProjectFilesAnswerWithTurbinesOrALine) {
    const std::vector<std::string> seeds = {
        "farm = \"Hohe Leite\"\n[defaults]\nprotect = 90\nsession = [\"A\", \"B\"]\n"
        "[[turbine]]\nname = \"T1\"\nwind = \"t1/wind.csv\"\nlat = 49.5\nbats-only = true\n",
        "# farm\r\n[turbine.\"WEA 2\"]\r\nlat = 4.95e1\r\nlon = -11\r\nsession = "
        "'''\nA\nB'''\r\n[turbine.T3]\nprotect = 0x5A\n",
        "turbine = [{ name = \"T\", lat = 1979-05-27T07:32:00Z }, 3]\n",
        "farm = \"Höhe\" # Fledermäuse\n[turbine.\"Süd\"]\nsession = '''Früh'''\n"};
    const std::set<std::string, std::less<>> keys = {"protect", "session", "wind",
                                                     "lat",     "lon",     "bats-only"};
    for (const std::string& text : damaged(seeds)) {
        const ProjectReading reading = readProject(text, "farm.toml", keys);
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        for (const Problem& problem : reading.problems) {
            EXPECT_FALSE(problem.describe().empty());
            EXPECT_LE(problem.line, lines + 1);
        }
        for (const ProjectTurbine& turbine : reading.project.turbines) {
            for (const ProjectSetting& setting : resolvedSettings(reading.project, turbine)) {
                EXPECT_TRUE(keys.contains(setting.key));
            }
        }
    }
}

TEST_F(GarbageInputTest, DamagedWaveFilesGiveMetadataOrAProblem) {
    const auto chunk = [](std::string id, std::string data) {
        const auto size = static_cast<std::uint32_t>(data.size());
        std::string bytes = std::move(id);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((size >> shift) & 0xFF);
        }
        return bytes + data + (data.size() % 2 == 1 ? std::string(1, '\0') : "");
    };
    const std::string body = "WAVE" + chunk("fmt ", std::string(16, '\1')) +
                             chunk("data", std::string(40, '\0')) +
                             chunk("guan", "GUANO|Version:1.0\nTimestamp:2012-06-21T21:03:00\n");
    const std::string wave = chunk("RIFF", body);
    // Named with a time, which a damaged file must not be imported by.
    const std::filesystem::path file = vane::testing::uniqueTempPath("vane-garbage") +=
        "_20120621_210300.wav";
    std::ofstream(file, std::ios::binary) << wave;
    ASSERT_TRUE(readGuanoFile(file).value_or(std::nullopt).value_or(GuanoMetadata{}).timestamp);
    for (const std::string& bytes : damaged({wave})) {
        std::ofstream(file, std::ios::binary) << bytes;
        const GuanoFileResult read = readGuanoFile(file);
        // Metadata and a problem never come together; a problem always says what it is.
        if (!read) {
            EXPECT_FALSE(read.error().message.empty());
        }
        // A recording or why not, in words; a file that cannot be walked is none.
        const Outcome<RecordingFile> recording = readRecordingFile(file, *berlin_);
        if (!recording) {
            EXPECT_FALSE(recording.error().message.empty());
        }
        EXPECT_TRUE(read || !recording);
    }
    std::filesystem::remove(file);
}

// Sound cut short, of odd bit depths or no rate: read as far as it goes or refused in words, and
// whatever is read draws.
TEST_F(GarbageInputTest, WaveSoundIsReadOrRefusedAndAlwaysDraws) {
    using vane::testing::WavFixture;
    std::vector<float> tone(600);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<float>(std::sin(0.3 * static_cast<double>(i)));
    }
    const std::string sound =
        WavFixture::soundWav(384000, tone, {}, WavFixture::chunk("guan", "GUANO|Version:1.0\n"));
    const auto withFormat = [&](std::size_t at, const std::string& bytes) {
        std::string changed = sound;
        changed.replace(20 + at, bytes.size(), bytes);
        return changed;
    };
    const std::vector<std::string> seeds = {
        sound,
        sound.substr(0, 300),                               // data chunk cut short
        withFormat(4, std::string(4, '\0')),                // sample rate 0
        withFormat(14, WavFixture::littleEndian16(12)),     // 12 bits
        withFormat(14, WavFixture::littleEndian16(24)),     // 24 bits over 16-bit frames
        withFormat(0, WavFixture::littleEndian16(3)),       // floats of 16 bits
        withFormat(2, WavFixture::littleEndian16(0xFFFF)),  // 65535 channels
    };
    for (const std::string& bytes : damaged(seeds)) {
        const Outcome<WavSamples> wav = parseWavSamples(bytes, "damaged.wav");
        if (!wav) {
            EXPECT_FALSE(wav.error().message.empty());
            EXPECT_FALSE(timeExpandedWav(bytes, 10, "damaged.wav"));
            continue;
        }
        EXPECT_GT(wav->sampleRate, 0u);
        const Spectrogram picture = spectrogram(wav->samples, wav->sampleRate, {256, 150000, 50});
        for (const float db : picture.decibels) {
            ASSERT_TRUE(std::isfinite(db));
        }
    }
}

TEST_F(GarbageInputTest, WindFilesSplitIntoPreviewsWhoseCellsAllExist) {
    const std::vector<std::string> seeds = {
        "Date/Time;Wind speed (m/s);Temperature (C);Operating state\r\n"
        "01.04.2012 00:10;5,1;4,6;production\r\n01.04.2012 00:20;5,1;4,0;idle\r\n",
        "logger 7\nstation,x\nDatum,Uhrzeit,Wind\n2012-04-01,00:10,5.1\n2012-04-01,00:20,\n",
        "time\twind\n2012/04/01 00:10\t5.1\r2012/04/01 00:20\t6\r"};
    for (const std::string& bytes : damaged(seeds)) {
        const Outcome<DecodedText> read = decodeDetectingEncoding(bytes);
        const std::string text = read ? read->text : bytes;
        (void)previewText(text, 1024);
        SplitChoices choices;
        choices.lineEndingIndex = guessLineEnding(text);
        choices.fieldSeparator = guessFieldSeparator(text.substr(0, text.find('\n')));
        for (const std::string start : {"1", "3", "0", "-2", "99999999999"}) {
            choices.startingLineText = start;
            const WindTable table = splitWindText(text, choices);
            const std::vector<std::string> titles = previewColumnTitles(table);
            const std::size_t rows = previewRowCount(table);
            for (std::size_t row = 0; row < rows; ++row) {
                for (std::size_t column = 0; column <= titles.size(); ++column) {
                    (void)previewCell(table, row, column);
                }
            }
            (void)guessColumns(titles, table);
        }
    }
}

TEST_F(GarbageInputTest, TheAnalysisScansDamagedWindTablesWithEveryColumnChoice) {
    const std::string seed =
        "Date/Time;Wind;Temp;State\n21.06.2012 21:10;1,2;14,0;run\n21.06.2012 21:20;3,4;13,0;"
        "stop\n21.06.2012 21:30;4,1;12,5;run\n";
    const BatEventList events = {{1340306400.0, 2}, {1340307000.0, 1}, {1340307600.0, 4}};
    SplitChoices choices;
    choices.fieldSeparator = guessFieldSeparator(";");
    for (const std::string& text : damaged({seed})) {
        const WindTable table = splitWindText(text, choices);
        for (int column = 0; column <= 5; ++column) {
            ActivityAnalysisOptions options;
            options.dateTimeColumn = 1;
            options.windColumn = column;
            options.temperatureColumn = 5 - column;
            options.plotTemp = column % 2 == 1;
            options.stateColumn = column == 4 ? 4 : 0;
            options.dateFormat = "dd.MM.yyyy HH:mm";
            options.timeZone = "+0200";
            options.decimalSeparator = ",";
            options.stamps = column % 3 == 0 ? StampConvention::begin : StampConvention::end;
            const ActivityAnalysisResult result =
                analyseActivityAndWind(events, table, options, *berlin_);
            // The plain table always holds its origin line; a per-state table may be empty.
            if (result.hasTable() && !result.legend) {
                EXPECT_NE(("\n" + result.pasteboardText).find("\n0\t0\n"), std::string::npos)
                    << "[" << result.pasteboardText << "] column " << column << " in:\n"
                    << text;
            }
            // The same rows as a curtailment plan's intervals, with any column as the power.
            const TurbineIntervalScan scan =
                turbineIntervals(events, table, options, {.powerColumn = 5 - column}, *berlin_);
            EXPECT_LE(scan.activityMatched, 7);
            CurtailmentOptions plan;
            plan.energyKnown = true;
            plan.temperatureFloor = 13.0;
            const CurtailmentResult curtailment =
                curtailmentResult(scan.intervals, {49.6, 11.05}, plan, *berlin_);
            EXPECT_LE(curtailment.data.activityInNights, scan.activityMatched);
        }
    }
}

// What a server library sends for the recordings it streams: any damage is a message, and no
// row read points outside the bytes received, whole or split at any place.
TEST_F(GarbageInputTest, ServerStreamsGiveRowsWithinTheirBytesOrAMessage) {
    const auto bigEndian = [](std::uint64_t value, int bytes) {
        std::string out;
        for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
            out.push_back(static_cast<char>((value >> shift) & 0xFF));
        }
        return out;
    };
    const auto field = [&](const std::string& bytes) { return bigEndian(bytes.size(), 4) + bytes; };
    const std::string header = std::string("PGCOPY\n\377\r\n\0", 11) + bigEndian(0, 8);
    const std::string row = bigEndian(4, 2) + field(bigEndian(17, 8)) + field(bigEndian(7200, 4)) +
                            field(bigEndian(0x41D3F8C2E9000000ULL, 8)) + field("Nyctalus noctula");
    const std::string nulls = bigEndian(4, 2) + field(bigEndian(18, 8)) + field(bigEndian(0, 4)) +
                              field(bigEndian(0, 8)) + bigEndian(0xFFFFFFFFu, 4);
    const std::string trailer = bigEndian(0xFFFF, 2);
    const std::vector<CopyColumn> columns = {{"id", CopyType::Integer64, false},
                                             {"offset", CopyType::Integer32, false},
                                             {"time", CopyType::Double, false},
                                             {"label", CopyType::Text, true}};
    std::size_t rows = 0;
    std::size_t refused = 0;
    for (const std::string& bytes :
         damaged({header + row + nulls + trailer, header + trailer, header + nulls + row})) {
        for (const std::size_t split : {bytes.size(), bytes.size() / 2, std::size_t{19}}) {
            BinaryCopyReader reader(columns);
            CopyRow fields;
            try {
                const std::string_view whole(bytes);
                for (const std::string_view piece : {whole.substr(0, std::min(split, bytes.size())),
                                                     whole.substr(std::min(split, bytes.size()))}) {
                    reader.take(piece);
                    while (reader.next(fields)) {
                        ++rows;
                        const std::string_view label = fields.text(3);
                        ASSERT_TRUE(label.empty() ||
                                    (label.data() >= bytes.data() &&
                                     label.data() + label.size() <= bytes.data() + bytes.size()));
                        (void)fields.integer(0);
                        (void)fields.number(2);
                    }
                }
                reader.finish();
            } catch (const CopyStreamError& error) {
                ++refused;
                EXPECT_EQ(std::string(error.what()).rfind("the server's data is damaged: ", 0), 0u);
            }
        }
    }
    EXPECT_GT(rows, 0u);
    EXPECT_GT(refused, 0u);
}

TEST_F(GarbageInputTest, DatePatternsAndNumberOrderTakeAnyText) {
    const std::vector<std::string> seeds = {"21.06.2012 21:10", "2012-06-21T21:10:00",
                                            "06/21/12 9:10 PM", "class 10.5 of 20"};
    const std::vector<std::string> texts = damaged(seeds);
    for (const std::string pattern :
         {"dd.MM.yyyy HH:mm", "yyyy-MM-dd'T'HH:mm:ss", "MM/dd/yy h:mm a"}) {
        const DatePatternParser parser(pattern, *berlin_);
        for (const std::string& text : texts) {
            (void)parser.parse(text);
        }
    }
    for (std::size_t k = 1; k < texts.size(); ++k) {
        const int forward = numericalCompare(texts[k - 1], texts[k]);
        const int backward = numericalCompare(texts[k], texts[k - 1]);
        EXPECT_EQ(forward, -backward) << "\"" << texts[k - 1] << "\" and \"" << texts[k] << "\"";
    }
}

// The readers a file without options goes through: the header row found, the columns and date
// format guessed from the values, a date and a time column joined, every chooser item and a named
// zone, missing markers, and the message that names the first unreadable row.
TEST_F(GarbageInputTest, WindFilesReadWithoutOptionsAnswerWithGuessesOrAnAlert) {
    const std::vector<std::string> seeds = {
        "# export\n# Rated: 2 MW, 100 m\n\n# Date and time,Wind speed (km/h),Power (kW)\n"
        "2012-07-01T18:00:00+02:00,12.6,410\n2012-07-01T18:10:00Z,-9999,NaN\n",
        "Date;Time;Wind speed [m/s]\n01.07.2012;18:00:00;3,5\n01.07.2012;18:10:00;---\n",
        "ts,Wind_speed\n01-Jul-2012 18:00:00,3.5\n7/1/2012 6:10 PM,4\n41091.7569,\n1341159000,5\n",
        "\"TOA5\",\"st\",\"CR1000\"\r\n\"TIMESTAMP\",\"WS_ms_Std\",\"WS_ms_Avg\"\r\n\"TS\",\"m/"
        "s\",\"m/s\"\r\n"
        "\"\",\"Std\",\"Avg\"\r\n\"2012-07-01 18:00:00\",0.4,5.2\r\n\"2012-07-01 "
        "18:10:00\",0.4,\"NAN\"\r\n",
        "Site,Mast 7\rUnits,mph\r\rRaw Header\r0A1B2C\r\rTime Stamp,Average Speed,Dir [\xb0]\r"
        "7/1/12 18:00,6.7,113\r7/1/12 18:10,6.9,115",
        "Calm threshold = 0 m/s\n\nDate/Time\tSpeed [m/s]\n01/07/2012 16:00:00+00:00\t5.2\n"
        "01 07 2012 16:10\t5.4\n",
        "724666,\"DENVER/CENTENNIAL\",CO,-7.0,39.742\r\nDate (MM/DD/YYYY),Time (HH:MM),"
        "Dry-bulb (C),Wspd (m/s)\r\n06/30/1976,24:00,14.4,2.1\r\n07/01/1989,01:00,14.0,2.4\r\n",
        "Time Zone,UTC-05:30\nTime stamps indicate the beginning of the time step.\n\n"
        "TIMESTAMP,PTemp_C_Avg,AirTC_Avg,WS_ms_Avg\nTS,Deg C,Deg C,m/s\n,Avg,Avg,Avg\n"
        "2012-07-01 24:00,30,14,-7999\n2012-07-02 00:10,30,14,3.1\n",
        "Year,DOY,HHMM,Avg Wind Speed @ 80m [m/s]\n2012,183,1600,5.2,0\n2012,183,1610\n"
        "2012,183,2350,-7999,1\n2012,184,0,3.1,0\n2012,184,5,3.3\n"};
    const BatEventList events = {{1341158400.0, 2}, {1341159000.0, 1}};
    for (const std::string& bytes : damaged(seeds)) {
        const Outcome<DecodedText> read = decodeWithFallback(bytes);
        const DecodedText decoded = read.value_or(DecodedText{});
        const WindFileView view = viewWindText(decoded.text, decoded.encoding, decoded.source, {});
        (void)findStartingLine(bytes, "\n", FieldSeparatorChoice{1, ","});
        (void)findUnitRows(bytes, "\r\n", 2, ",");
        (void)declaredSpeedUnit(bytes, "\r", 5);
        (void)declaredZone(bytes, "\n", 4);
        (void)declaredStamps(bytes, "\r\n", 3);
        if (!usableTable(view)) {
            continue;
        }
        (void)resolveChoices(view, {}, {.zone = berlin_.get(), .needsTemperature = true});
        TextChoices unitRows;
        unitRows.unitRows = 3;
        (void)recutWindFile(view, unitRows);
        for (std::size_t item = 0; item < kDateFormatItems.size(); item += 3) {
            ActivityAnalysisOptions options;
            options.dateTimeColumn = static_cast<int>(view.found.columns.dateTimeItem);
            options.timeColumn = item % 2 == 0 ? static_cast<int>(view.found.timeItem) : 7;
            options.dayColumn = item % 3 == 0 ? static_cast<int>(view.found.dayItem) : 9;
            options.windColumn = std::max(1, static_cast<int>(view.found.columns.windItem));
            options.stateColumn = item == 9 ? 2 : 0;
            options.dateFormat = kDateFormatItems[item];
            options.timeZone = item % 2 == 0 ? "Europe/Berlin" : "+0200";
            options.windUnit = item == 3 ? "km/h" : "";
            options.stamps = item % 2 == 0 ? StampConvention::begin : StampConvention::end;
            (void)analyseActivityAndWind(events, view.table, options, *berlin_);
            WindDateReader reader(kDateFormatItems[item], "America/New_York", *berlin_);
            for (std::size_t row = 0; row < view.table.rowCount(); ++row) {
                (void)reader.read(view.table.field(row, 0));
                (void)unreadableDateNote(view.table, row, {0, 1}, kDateFormatItems[item]);
                (void)unreadableDateNote(view.table, row, {0, 2, 1}, kDateFormatItems[item]);
            }
        }
    }
}

// A device or pipe never ends by itself, and an oversized file must not take the machine's memory:
// every reader stops at the limit and says how to raise it.
TEST_F(GarbageInputTest, EndlessAndOversizedFilesEndInTooLarge) {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    const Outcome<std::string> zeros = readInputFile("/dev/zero", "recording list", kMiB);
    ASSERT_FALSE(zeros);
    EXPECT_EQ(zeros.error().describe(),
              "/dev/zero: is too large: Vane reads files up to 1 MiB (set VANE_MAX_FILE_MB to a "
              "larger number of MiB to raise it)");

    // The zero bytes a device gives without end are not held, yet a file's own are kept.
    const std::filesystem::path zeroed = vane::testing::uniqueTempPath("vane-garbage-zeroed");
    for (const std::string& bytes :
         {std::string(1, '\0'), std::string(64 * 1024, '\0'), std::string(64 * 1024, '\0') + "x",
          std::string(200 * 1024 + 3, '\0') + "a\nb" + std::string(70 * 1024, '\0'),
          "\0\0\0time\n" + std::string(100 * 1024, 'x')}) {
        std::ofstream(zeroed, std::ios::binary) << bytes;
        const Outcome<std::string> read = readInputFile(zeroed, "wind file", kMiB);
        ASSERT_TRUE(read);
        EXPECT_TRUE(*read == bytes) << bytes.size();
    }
    std::ofstream(zeroed, std::ios::binary) << std::string(kMiB + 1, '\0');
    EXPECT_FALSE(readInputFile(zeroed, "wind file", kMiB));
    std::filesystem::remove(zeroed);

    const std::filesystem::path big = vane::testing::uniqueTempPath("vane-garbage-big");
    std::ofstream(big, std::ios::binary) << std::string(2 * kMiB, '\n');
    EXPECT_FALSE(readInputFile(big, "wind file", kMiB));
    const Outcome<std::string> whole = readInputFile(big, "wind file", 2 * kMiB);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), 2 * kMiB);

    ::setenv(kInputFileLimitVariable, "1", 1);
    EXPECT_EQ(inputFileLimit(), kMiB);
    const RecordingListResult list = readRecordingList("/dev/zero", *berlin_);
    ASSERT_FALSE(list);
    EXPECT_NE(list.error().describe().find("too large"), std::string::npos);
    const SessionListResult sessions = readSessionList(big, *berlin_);
    ASSERT_FALSE(sessions);
    EXPECT_NE(sessions.error().describe().find("too large"), std::string::npos);
    ::setenv(kInputFileLimitVariable, "lots", 1);
    EXPECT_EQ(inputFileLimit(), kDefaultInputFileLimitMiB * kMiB);
    ::unsetenv(kInputFileLimitVariable);
    EXPECT_EQ(inputFileLimit(), kDefaultInputFileLimitMiB * kMiB);
    std::filesystem::remove(big);
}

// A fraction of 35 digits or more once stopped the process inside ICU with a division by zero.
TEST_F(GarbageInputTest, OverlongDigitRunsAreRefusedByEveryDatePattern) {
    std::vector<std::string> patterns(kDateFormatItems.begin(), kDateFormatItems.end());
    patterns.insert(patterns.end(), {"yyyy-MM-dd HH:mm:ss.SSS", "dd.MM.yyyy HH:mm:ss.S",
                                     "yyyyMMddHHmmssSSS", "S", "ss.SSSSSSSSS"});
    for (const std::string& pattern : patterns) {
        const DatePatternParser parser(pattern, *berlin_);
        for (const std::size_t digits : {35u, 36u, 40u, 400u}) {
            const std::string fraction(digits, '5');
            for (const std::string& text :
                 {"2012-06-21 21:10:00." + fraction, "21.06.2012 21:10:00." + fraction, fraction,
                  "20120621211000" + fraction, "00." + fraction}) {
                EXPECT_FALSE(parser.parse(text)) << pattern << " took " << text;
            }
        }
    }
    const DatePatternParser milliseconds("yyyy-MM-dd HH:mm:ss.SSS", *berlin_);
    EXPECT_EQ(milliseconds.parse("2012-06-21 21:10:00.500"), 1340305800.5);
}

}  // namespace
}  // namespace vane
