#include "core/text/column_titles.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vane {
namespace {

TEST(ColumnTitles, AreLowerCasedByUnicodesRulesInEveryLanguage) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Wind Speed (KM/H)", "wind speed (km/h)"},
        {"AUSSENTEMPERATUR", "aussentemperatur"},
        {"ÄUSSERE TEMPERATUR", "äussere temperatur"},
        {"Température", "température"},
        {"", ""},
    };
    for (const auto& [title, lowered] : cases) {
        EXPECT_EQ(lowercaseTitle(title), lowered) << title;
    }
    EXPECT_TRUE(titleContainsAny("Außentemperatur [°C]", {"wind", "temp"}));
    EXPECT_TRUE(titleContainsAny("WMET_HorWdSpd", {"horwdspd"}));
    EXPECT_FALSE(titleContainsAny("Datum", {"date", "time"}));
    EXPECT_FALSE(titleContainsAny("Temp", {}));
}

}  // namespace
}  // namespace vane
