#include "core/curtailment/power_curve.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vane {
namespace {

using ::testing::HasSubstr;

// Three turbines in W as a spreadsheet exports them: a preamble line with a Latin-1 '³', CR LF,
// an empty field, a blank line and a row short of fields.
constexpr const char* kThreeTurbines =
    "Power curves at 1.225 kg/m\xB3, from the data sheets\r\n"
    "turbine_type,0.0,1.0,2.0,3.0,4.0,5.0\r\n"
    "V90-2MW,0,0,0,21000,84000,\r\n"
    "E-82 E2,0,0,3000,25000,82000,174000\r\n"
    "\r\n"
    "N117/2400,0,0,0,23000\r\n";

TEST(PowerCurveTest, ReadsEitherShapeInTheUnitItsTitleOrItsValuesSay) {
    const struct {
        const char* name;
        const char* text;
        const char* turbine;
        std::vector<std::pair<double, double>> kwAt;  // wind speed, kW
        const char* unitBegins;
        const char* turbineRead;
    } cases[] = {
        {"kW without a header", "3,0\n5,200\n7,600\n", "", {{6.0, 400.0}}, "kW, as no title", ""},
        {"kW with extra columns",
         "Wind Speed [m/s],Power [kW],Cp [-]\n3,0,0\n5,200,0.41\n7,600,0.45\n",
         "",
         {{6.0, 400.0}},
         "kW, as the title",
         ""},
        {"W by the title",
         "Wind Speed [m/s],Power [W]\n3,0\n5,200\n7,600\n",
         "",
         {{6.0, 0.4}},
         "W, as the title",
         ""},
        {"W in words",
         "wind;Power in watts\n3;0\n5;200000\n7;600000\n",
         "",
         {{6.0, 400.0}},
         "W,",
         ""},
        {"MW by the title",
         "Wind [m/s],P (MW)\n3,0\n5,0.2\n7,0.6\n",
         "",
         {{6.0, 400.0}},
         "MW,",
         ""},
        {"W by the values of a long table",
         "wind,power\n3,0\n5,200000\n7,600000\n",
         "",
         {{6.0, 400.0}},
         "W, as no title names the unit, and the highest value, 600000, is above 30000",
         ""},
        {"bare CR line ends", "3,0\r5,200\r7,600", "", {{6.0, 400.0}}, "kW", ""},
        // Manufacturers' sheets give one column per air density: a long table, its first taken.
        {"a column per air density",
         "Wind speed [m/s],1.225,1.2,1.15\n3,20,19,18\n5,200,190,180\n7,600,570,540\n",
         "",
         {{6.0, 400.0}},
         "kW",
         ""},
        {"a table of one turbine needs no name",
         "turbine_type,3,4,5,6\nV90-2MW,0,100,300,600\n",
         "",
         {{5.5, 450.0}, {2.0, 0.0}, {7.0, 0.0}},
         "kW, as no title names the unit, and the highest value, 600, is not above 30000",
         "V90-2MW"},
        {"the row named, whatever its case, in W by the table's values",
         kThreeTurbines,
         "e-82 e2",
         {{1.5, 1.5}, {3.5, 53.5}, {5.0, 174.0}},
         "W, as no title names the unit, and the highest value, 174000, is above 30000",
         "E-82 E2"},
        {"an empty field is no point",
         kThreeTurbines,
         " V90-2MW ",
         {{3.5, 52.5}, {4.0, 84.0}, {4.5, 0.0}},
         "W,",
         "V90-2MW"},
        {"a row short of fields ends early",
         kThreeTurbines,
         "N117/2400",
         {{2.5, 11.5}, {3.0, 23.0}, {3.5, 0.0}},
         "W,",
         "N117/2400"},
        {"title in kW, ';' and decimal commas, a Latin-1 name and trailing separators",
         "Leistung [kW];0;2,5;5;7,5\nM\xFCller 500;0;0;150;500;;\nOther;0;0;1;2\n",
         "m\xC3\xBCller 500",
         {{6.25, 325.0}},
         "kW, as the title",
         "M\xC3\xBCller 500"},
        {"tabs and a title in MW",
         "Power (MW)\t0\t5\t10\t15\nX\t0\t0.5\t2\t2\n",
         "",
         {{7.5, 1250.0}},
         "MW",
         "X"},
        {"a preamble row of numbers gives way to the wind speeds",
         "Air density,1.225,1.2,1.15\nturbine_type,0,5,10,15\nA,0,100,2000,2000\n",
         "",
         {{7.5, 1050.0}},
         "kW",
         "A"},
    };
    for (const auto& c : cases) {
        const Outcome<PowerCurve> curve = parsePowerCurve(c.text, "curve.csv", c.turbine);
        ASSERT_TRUE(curve) << c.name << ": " << curve.error().describe();
        for (const auto& [wind, kw] : c.kwAt) {
            EXPECT_NEAR(curve->kwAt(wind), kw, 1e-9) << c.name << " at " << wind;
        }
        EXPECT_THAT(curve->unit, ::testing::StartsWith(c.unitBegins)) << c.name;
        EXPECT_EQ(curve->turbine, c.turbineRead) << c.name;
    }
}

TEST(PowerCurveTest, ATurbinesDrawBelowCutInIsNoOutputLost) {
    const Outcome<PowerCurve> curve =
        parsePowerCurve("Wind Speed [m/s],Power [kW]\n0,-3\n2,-3\n3,0\n4,100\n", "curve.csv");
    ASSERT_TRUE(curve) << curve.error().describe();
    for (const double wind : {0.0, 1.0, 2.0, 2.5, 3.0}) {
        EXPECT_EQ(curve->kwAt(wind), 0.0) << wind;
    }
    EXPECT_DOUBLE_EQ(curve->kwAt(3.5), 50.0);
}

TEST(PowerCurveTest, RefusesWithTheLineAndTheTurbinesTheTableHolds) {
    const struct {
        const char* name;
        const char* text;
        const char* turbine;
        const char* message;
    } cases[] = {
        {"several turbines, none named", kThreeTurbines, "",
         "curve.csv: the table holds the curves of 3 turbines; name one (--turbine, or "
         "power-curve-turbine in a project): \"V90-2MW\", \"E-82 E2\", \"N117/2400\""},
        {"a turbine not in the table", kThreeTurbines, "V112",
         "curve.csv: no turbine \"V112\" in the table; it holds \"V90-2MW\", \"E-82 E2\", "
         "\"N117/2400\""},
        {"a turbine named for a long table", "wind,kW\n3,0\n5,200\n", "V90",
         "the turbine \"V90\" is named, but the file holds one curve"},
        {"wind speeds of the title falling", "turbine_type,0,3,2,4\nV90,0,0,100,200\n", "",
         "curve.csv:1: the wind speeds of the title row must rise from column to column, not "
         "\"2\" after \"3\""},
        {"wind speed of the title out of range", "turbine_type,0,3,4,400\nV90,0,0,100,200\n", "",
         "curve.csv:1: the wind speeds of the title row must be 0 to 100 m/s, not \"400\""},
        {"a value that is no number", "turbine_type,0,3,4,5\nV90,0,n/a,100,200\n", "V90",
         "curve.csv:2: turbine \"V90\": \"n/a\" at 3 m/s is no power"},
        {"more values than wind speeds", "turbine_type,0,3,4,5\nV90,0,0,100,200,300\n", "",
         "curve.csv:2: turbine \"V90\": 5 values, but the title row (line 1) gives 4 wind "
         "speeds"},
        {"no rows", "# curves\nturbine_type,0,3,4,5\n", "",
         "curve.csv:2: no turbine's row below the title row of wind speeds"},
        {"a turbine named twice", "turbine_type,0,3,4,5\nV90,0,0,1,2\nv90,0,0,3,4\n", "V90",
         "curve.csv:3: two rows name the turbine \"V90\", on lines 2 and 3"},
        {"kW beyond any turbine", "Power [kW],0,3,4,5\nV90,0,0,100,2000000\n", "",
         "curve.csv:2: turbine \"V90\": a power of at most 1000000 kW is expected, not "
         "\"2000000\" at 5 m/s"},
        {"no power above 0", "turbine_type,0,3,4,5\nV90,0,0,-1,0\n", "",
         "curve.csv: no power above 0 kW in the row of turbine \"V90\""},
        {"one point", "turbine_type,0,3,4,5\nV90,,,2000\n", "",
         "curve.csv: turbine \"V90\" needs at least two points"},
        {"long table beyond any turbine in kW", "wind,Power [kW]\n3,0\n5,2000000\n", "",
         "curve.csv:3: a wind speed of 0 to 100 m/s and a power of at most 1000000 kW"},
    };
    for (const auto& c : cases) {
        const Outcome<PowerCurve> curve = parsePowerCurve(c.text, "curve.csv", c.turbine);
        ASSERT_FALSE(curve) << c.name;
        EXPECT_THAT(curve.error().describe(), HasSubstr(c.message)) << c.name;
        EXPECT_EQ(curve.error().title, "Bad power curve") << c.name;
    }
}

TEST(PowerCurveTest, ListsTheTurbinesOfAWideTableOnly) {
    EXPECT_EQ(powerCurveTurbines(kThreeTurbines),
              (std::vector<std::string>{"V90-2MW", "E-82 E2", "N117/2400"}));
    EXPECT_EQ(powerCurveTurbines("Leistung [kW];0;2,5;5\nM\xFCller;0;1;2\n"),
              std::vector<std::string>{"M\xC3\xBCller"});
    EXPECT_TRUE(powerCurveTurbines("wind,kW\n3,0\n5,200\n").empty());
    EXPECT_TRUE(powerCurveTurbines("Wind,1.225,1.2,1.15\n3,20,19,18\n").empty());
}

}  // namespace
}  // namespace vane
