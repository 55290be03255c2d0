#include "core/import/analysis_guesses.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/import/column_names.h"
#include "core/import/split_choices.h"
#include "core/import/wind_table_split.h"
#include "tests/core/import/wind_table_rows.h"

namespace vane {
namespace {

const std::vector<std::string> kTitles = {"Datum/Zeit", "Windgeschwindigkeit", "Temp", "Status",
                                          "status"};

TEST(AnalysisGuesses, AColumnIsNamedByNumberOrTitle) {
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"1", 1},
        {"5", 5},
        {"0", std::nullopt},
        {"6", std::nullopt},
        {"0002", 2},
        {"99999999999", std::nullopt},  // too many digits for a column, and no title
        {"Temp", 3},
        {"windgeschwindigkeit", 2},  // ignoring case when no title is exactly that
        {"status", 5},               // the exact title before the one that differs in case
        {"STATUS", 4},
        {"Temp ", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto& [text, item] : cases) {
        EXPECT_EQ(columnItemNamed(text, kTitles), item) << text;
    }
}

TEST(AnalysisGuesses, TheTemperatureColumnIsTheFirstTitledSo) {
    const std::pair<std::vector<std::string>, int> cases[] = {
        {kTitles, 3},
        {{"Datum", "Außentemperatur °C", "TEMP2"}, 2},
        {{"Datum", "Wind"}, 0},
        {{"Date/Time", "Spd80mN", "T2m", "RH2m"}, 3},
        {{"Date/Time", "Spd80mN", "T_10m"}, 3},
        {{"Date/Time", "Tm", "T_m", "Tx2m", "T2"}, 0},
        {{}, 0},
    };
    for (const auto& [titles, item] : cases) {
        EXPECT_EQ(guessTemperatureItem(titles), item) << (titles.empty() ? "" : titles[1]);
    }
    EXPECT_EQ(guessTemperatureItem({"Date", "PTemp_C_Avg", "Wind"}), 2) << "no other: the panel's";
    EXPECT_EQ(guessTemperatureItem({"Date", "Dry-bulb (C)", "Dew-point (C)"}), 2);
}

// A logger's unit rows tell the air temperature from its panel's and from a dew point.
TEST(AnalysisGuesses, UnitRowsTellTheAirTemperature) {
    const auto withUnitRows = [](const test::WindRows& rows) {
        SplitChoices choices;
        choices.fieldSeparator = guessFieldSeparator(",");
        choices.unitRows = 2;
        std::string text;
        for (const std::vector<std::string>& row : rows) {
            for (std::size_t k = 0; k < row.size(); ++k) {
                text += (k == 0 ? "" : ",") + row[k];
            }
            text += "\n";
        }
        return splitWindText(text + "2012-07-01 18:00,1,2,3\n", choices);
    };
    const std::pair<test::WindRows, int> cases[] = {
        {{{"TIMESTAMP", "PTemp_C_Avg", "AirTC_Avg"}, {"TS", "Deg C", "Deg C"}, {"", "Avg", "Avg"}},
         3},
        {{{"TIMESTAMP", "Dew", "T_air", "Temp"},
          {"TS", "°C", "Celsius", "°C"},
          {"", "Avg", "Max", "Avg"}},
         4},
        {{{"TIMESTAMP", "AirTC_Std", "T_air"}, {"TS", "Deg C", "Deg C"}, {"", "Std", "Avg"}}, 3},
        {{{"TIMESTAMP", "WS"}, {"TS", "m/s"}, {"", "Avg"}}, 0},
    };
    for (const auto& [rows, item] : cases) {
        const WindTable table = withUnitRows(rows);
        EXPECT_EQ(guessTemperatureItem(rows.front(), table), item) << rows.front()[1];
    }
}

TEST(AnalysisGuesses, ACommaIsTheSeparatorOnlyWhenNoReadingHasAPoint) {
    const WindTable german =
        test::tableOfRows({{"Datum", "Wind"}, {"21.06.2012", "0,8"}, {"21.06.2012", "1"}});
    const WindTable mixed = test::tableOfRows({{"Datum", "Wind"}, {"1", "0,8"}, {"2", "1.5"}});
    const WindTable ragged = test::tableOfRows({{"Datum", "Wind"}, {"1"}, {"2", "3,5"}});
    // The preamble above the header is never read.
    const WindTable preamble =
        test::tableOfRows({{"Logger", "v1.2"}, {"Datum", "Wind"}, {"1", "2,5"}}, 1);
    const WindTable empty;
    const struct {
        const WindTable& table;
        int item;
        const char* separator;
    } cases[] = {
        {german, 2, ","}, {german, 1, "."}, {german, 0, "."},   {german, 3, "."},
        {mixed, 2, "."},  {ragged, 2, ","}, {preamble, 2, ","}, {empty, 2, "."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(guessDecimalSeparator(c.table, c.item), c.separator) << c.item;
    }
}

}  // namespace
}  // namespace vane
