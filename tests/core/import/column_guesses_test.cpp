#include "core/import/column_guesses.h"

#include <gtest/gtest.h>

#include "core/import/column_choosers.h"
#include "tests/core/import/wind_table_rows.h"
namespace vane {
namespace {

using Titles = std::vector<std::string>;

// A table whose row 3 (the file's fourth line) holds `sample` in column `column`.
WindTable tableWithSample(std::string sample, std::size_t column = 0, std::size_t startAt = 0) {
    test::WindRows rows = {{"Datum", "Wind"}, {"x", "1"}, {"x", "2"}, {"x", "3"}, {"x", "4"}};
    rows[3].resize(std::max<std::size_t>(column + 1, 1));
    rows[3][column] = std::move(sample);
    return test::tableOfRows(rows, startAt);
}

TEST(ColumnChooserItemsTest, ItemZeroMeansNoColumnAndEqualTitlesStaySeparate) {
    const Titles titles = {"Datum", "Wind", "Wind"};
    EXPECT_EQ(columnChooserItems(ColumnChooser::dateTime, titles),
              (Titles{"choose column", "Datum", "Wind", "Wind"}));
    EXPECT_EQ(columnChooserItems(ColumnChooser::temperature, titles)[0], "choose column");
    EXPECT_EQ(columnChooserItems(ColumnChooser::state, titles),
              (Titles{"Optional", "Datum", "Wind", "Wind"}));
    EXPECT_EQ(columnChooserItems(ColumnChooser::wind, {}), (Titles{"choose column"}));
}

TEST(ColumnGuessTest, TheFirstTitleWithAnyKeywordWins) {
    EXPECT_EQ(guessDateTimeItem({"Datum", "Temp", "Wind"}), 1u);
    EXPECT_EQ(guessWindItem({"Datum", "Temp", "Wind"}), 3u);
    EXPECT_EQ(guessDateTimeItem({"Time", "Date"}), 1u);
    EXPECT_EQ(guessDateTimeItem({"Nr", "Update"}), 2u);
    EXPECT_EQ(guessDateTimeItem({"Nr", "Timestamp"}), 2u);
    EXPECT_EQ(guessDateTimeItem({"Nr", "DATE"}), 2u);
    EXPECT_EQ(guessWindItem({"Wind direction", "Wind speed"}), 1u);
    EXPECT_EQ(guessWindItem({"Nr", "SPEED m/s"}), 2u);
    EXPECT_EQ(guessDateTimeItem({"Nr", "Temp"}), 0u);
    EXPECT_EQ(guessWindItem({}), 0u);
}

TEST(DateFormatGuessTest, CountsColonsSlashesAndDots) {
    EXPECT_EQ(dateFormatIndexForSample("12/05/2010 14:30"), 0u);
    EXPECT_EQ(dateFormatIndexForSample("12/05/2010 14:30:00"), 1u);
    EXPECT_EQ(dateFormatIndexForSample("12.05.2010 14:30"), 2u);
    EXPECT_EQ(dateFormatIndexForSample("12.05.2010 14:30:00"), 3u);
    EXPECT_EQ(dateFormatIndexForSample("2010-05-12 14:30"), std::nullopt);
    EXPECT_EQ(dateFormatIndexForSample("201005121430"), std::nullopt);
    EXPECT_EQ(dateFormatIndexForSample(""), std::nullopt);
    // Two slashes take precedence over the dots.
    EXPECT_EQ(dateFormatIndexForSample("12/05/2010 14:30.5."), 0u);
}

TEST(DateFormatGuessTest, SamplesRowThreeOfTheFileWhateverTheStartingLine) {
    EXPECT_EQ(dateSampleField(tableWithSample("12.05.2010 14:30", 0, 2), 1), "12.05.2010 14:30");
    EXPECT_EQ(dateSampleField(tableWithSample("12.05.2010 14:30"), 0), std::nullopt);
    EXPECT_EQ(dateSampleField(tableWithSample("12.05.2010 14:30"), 3), std::nullopt)
        << "row 3 has no third field";

    const WindTable shortTable =
        test::tableOfRows({{"Date"}, {"12.05.2010 14:30"}, {"12.05.2010 14:40"}});
    EXPECT_EQ(dateSampleField(shortTable, 1), std::nullopt);
    EXPECT_EQ(guessColumns({"Date"}, shortTable).dateFormatIndex, std::nullopt);
}

TEST(DateFormatGuessTest, AfterASplitUsesFourRules) {
    const WindTable table = tableWithSample("12.05.2010 14:30:00", 1);
    const ColumnGuesses guesses = guessColumns({"Nr", "Datum", "Wind"}, table);
    EXPECT_EQ(guesses.dateTimeItem, 2u);
    EXPECT_EQ(guesses.dateFormatIndex, 3u);
    EXPECT_EQ(guesses.windItem, 3u);
}

TEST(DateFormatGuessTest, WithoutADateColumnTheWindColumnIsStillGuessed) {
    const ColumnGuesses guesses = guessColumns({"Nr", "Speed"}, tableWithSample("1"));
    EXPECT_EQ(guesses.dateTimeItem, 0u);
    EXPECT_EQ(guesses.dateFormatIndex, std::nullopt);
    EXPECT_EQ(guesses.windItem, 2u);
}

TEST(ColumnGuessTest, TurbineAndExportNamesAreKnownAfterTheOldKeywords) {
    struct Case {
        Titles titles;
        std::size_t wind, time, state, power;
    };
    const Case cases[] = {
        {{"Date", "Time", "Wind speed [m/s]", "Temperature [°C]"}, 3, 2, 0, 0},
        {{"Datum", "Uhrzeit", "Windgeschwindigkeit", "Betrieb"}, 3, 2, 4, 0},
        {{"Date and time", "Wind speed (m/s)", "Power (kW)"}, 2, 0, 0, 3},
        {{"Wind_turbine_name", "Date_time", "Ba_avg", "Ws_avg", "Ot_avg", "P_avg"}, 1, 0, 0, 6},
        {{"Timestamp", "WMET_HorWdSpd", "WMET_EnvTmp", "WTUR_TurSt", "WTUR_W"}, 2, 0, 4, 5},
        {{"timestamp", "wind_speed_ms", "temp_c", "status"}, 2, 0, 4, 0},
        {{"Date_Time", "Speed", "Temperature"}, 2, 0, 0, 0},
        {{"Date", "temp_avg", "Time stamp"}, 0, 0, 0, 0},
        // A met mast: the highest anemometer's mean, never its spread or extreme.
        {{"Date/Time", "Spd40mN", "Spd80mNStd", "Spd80mNMax", "Spd80mN", "Spd80mS", "Dir78mS"},
         5,
         0,
         0,
         0},
        {{"Date/Time", "WS_60m", "WS_80.5mA", "Spd", "Spdm", "Spd80mNorth"}, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string first = c.titles.front() + " ... " + c.titles.back();
        EXPECT_EQ(guessWindItem(c.titles), c.wind) << first;
        EXPECT_EQ(guessTimeItem(c.titles, guessDateTimeItem(c.titles)), c.time) << first;
        EXPECT_EQ(guessStateItem(c.titles), c.state) << first;
        EXPECT_EQ(guessPowerItem(c.titles), c.power) << first;
    }
    std::string unit;
    EXPECT_DOUBLE_EQ(windSpeedFactor("Wind speed (km/h)", &unit), 1.0 / 3.6);
    EXPECT_EQ(unit, "km/h");
    EXPECT_DOUBLE_EQ(windSpeedFactor("Wind speed [kn]", &unit), 1852.0 / 3600.0);
    EXPECT_EQ(unit, "kn");
    EXPECT_EQ(windSpeedFactor("Wind speed (m/s)"), 1.0);
    EXPECT_EQ(windSpeedFactor("Windgeschwindigkeit"), 1.0);
}

TEST(ColumnGuessTest, TheFileSaysWhatNoTitleDoes) {
    // A wind title over text gives way to the next one over numbers.
    const WindFileGuesses scada =
        guessWindFileColumns({"Wind_turbine_name", "Date_time", "Ws_avg"},
                             test::tableOfRows({{"Wind_turbine_name", "Date_time", "Ws_avg"},
                                                {"T1", "2013-01-01T00:00:00+01:00", "3.5"},
                                                {"T1", "2013-01-01T00:10:00+01:00", "NaN"},
                                                {"T1", "2013-01-01T00:20:00+01:00", "4.5"}}));
    EXPECT_EQ(scada.columns.windItem, 3u);
    EXPECT_EQ(scada.columns.dateTimeItem, 2u);
    EXPECT_EQ(scada.columns.dateFormatIndex, 9u);
    EXPECT_FALSE(scada.dateTimeFromValues);

    const WindFileGuesses untitled = guessWindFileColumns(
        {"ts", "v (m/s)"},
        test::tableOfRows(
            {{"ts", "v (m/s)"}, {"3.5", "01-Jul-2012 18:00:00"}, {"4.5", "01-Jul-2012 18:10:00"}}));
    EXPECT_EQ(untitled.columns.dateTimeItem, 2u);
    EXPECT_EQ(untitled.columns.dateFormatIndex, 10u);
    EXPECT_TRUE(untitled.dateTimeFromValues);
    EXPECT_EQ(untitled.columns.windItem, 0u) << "the column of dates is no wind speed";

    const WindFileGuesses split = guessWindFileColumns(
        {"Date", "Time", "m/s"},
        test::tableOfRows({{"Date", "Time", "m/s"}, {"01.07.2012", "18:00:00", "3,5"}}));
    EXPECT_EQ(split.timeItem, 2u);
    EXPECT_EQ(split.columns.dateFormatIndex, 3u);
    EXPECT_EQ(split.columns.windItem, 3u);
    EXPECT_TRUE(split.windFromUnit);
}

TEST(CountStringTest, CountsCaseInsensitiveNonOverlappingOccurrences) {
    EXPECT_EQ(countString("aa", "aaa"), 1u);
    EXPECT_EQ(countString("aa", "aaaa"), 2u);
    EXPECT_EQ(countString(":", "12:30:00"), 2u);
    EXPECT_EQ(countString("wind", "Wind WIND wInD"), 3u);
    EXPECT_EQ(countString("ä", "ÄÄ"), 2u);
    EXPECT_EQ(countString("x", "abc"), 0u);
    EXPECT_EQ(countString("", "abc"), 0u);
    EXPECT_EQ(countString("abc", ""), 0u);
}

TEST(SetOutputColumnsTest, TheSendersFlagSaysWhetherAColumnIsPicked) {
    ColumnFlags flags;
    flags = setOutputColumns(flags, ColumnChooser::wind, 3);
    EXPECT_EQ(flags, (ColumnFlags{false, true, false}));
    flags = setOutputColumns(flags, ColumnChooser::dateTime, 1);
    flags = setOutputColumns(flags, ColumnChooser::temperature, 2);
    EXPECT_EQ(flags, (ColumnFlags{true, true, true}));
    flags = setOutputColumns(flags, ColumnChooser::wind, 0);
    EXPECT_EQ(flags, (ColumnFlags{true, false, true}));
    EXPECT_EQ(setOutputColumns(flags, ColumnChooser::state, 4), flags);
}

}  // namespace
}  // namespace vane
