#include "core/import/resolve_choices.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/wind_file_choices_text.h"

namespace vane {
namespace {

// A German logger's export: date and time in one column, decimal commas.
constexpr const char* kGerman =
    "Datum/Zeit;Windgeschwindigkeit;Temp;Status\n"
    "21.06.2012 22:00;0,8;14,2;idle\n21.06.2012 22:10;1,2;13,9;idle\n"
    "21.06.2012 22:20;3,4;13,1;run\n21.06.2012 22:30;4,1;-0,4;run\n";
// Date and time apart beside a stamp of their own, the speed in km/h with points, the
// temperature with commas.
constexpr const char* kApart =
    "Date;Time;Stamp;Speed (km/h);Air temp\n"
    "01.07.2012;18:00;2012-07-01 18:00:00;12.6;14,2\n01.07.2012;18:10;2012-07-01 "
    "18:10:00;3.5;14,1\n"
    "01.07.2012;18:20;2012-07-01 18:20:00;10.1;14,0\n01.07.2012;18:30;2012-07-01 "
    "18:30:00;9.9;13,8\n";
// No title names the date, the wind column says only its unit.
constexpr const char* kUntitled =
    "ts,m/s,x\n2012-07-01 18:00:00,3.5,1\n2012-07-01 18:10:00,3.6,1\n"
    "2012-07-01 18:20:00,3.7,1\n2012-07-01 18:30:00,3.8,1\n";

std::string notesOf(const ResolvedChoices& resolved) {
    std::string notes;
    for (const ChoiceNote& note : resolved.notes) {
        notes += (notes.empty() ? "" : "; ") + std::to_string(static_cast<int>(note.field)) + " " +
                 (note.untitled ? "untitled, " : "") + note.why;
    }
    return notes;
}

TEST(ResolveChoices, TheUsersChoiceWinsAndTheGuessesFollowIt) {
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const double summer = 1340308800.0;  // 2012-06-21 20:00 UTC
    const auto dateField = std::to_string(static_cast<int>(ChoiceField::dateTimeColumn));
    const auto windField = std::to_string(static_cast<int>(ChoiceField::windColumn));
    const auto temperatureField = std::to_string(static_cast<int>(ChoiceField::temperatureColumn));
    struct Case {
        const char* name;
        const char* text;
        std::function<void(WindFileChoices&, ChoiceContext&)> set;
        std::vector<std::string> shown;  // parts of describeChoices()
        std::string notes;
    };
    const Case cases[] = {
        {"nothing set: the file's guesses, the usual values for the rest",
         kGerman,
         [](WindFileChoices&, ChoiceContext&) {},
         {"date 1 guessed", "time 0 preset", "wind 2 guessed", "temperature 0 preset",
          "state 0 preset", "format 'dd.MM.yyyy HH:mm' guessed", "zone '+0200' preset",
          "offset 0 preset", "decimal ',' guessed",
          "missing '-9999,-7999,-999,9999,NaN,NA,---,' preset", "unit '' preset",
          "separator ';' guessed", "startingLine 1 guessed"},
         ""},
        {"every choice the user set stays, however the file looks",
         kGerman,
         [](WindFileChoices& c, ChoiceContext&) {
             c.dateTimeColumn = 4;
             c.timeColumn = 3;
             c.windColumn = 3;
             c.temperatureColumn = 2;
             c.stateColumn = 1;
             c.dateFormat = std::string("yyyy");
             c.timeZone = std::string("Europe/Berlin");
             c.timeOffsetMinutes = -10;
             c.decimalSeparator = std::string(".");
             c.missingMarkers = std::vector<std::string>{"x"};
             c.windUnit = std::string("kn");
         },
         {"date 4 user", "time 3 user", "wind 3 user", "temperature 2 user", "state 1 user",
          "format 'yyyy' user", "zone 'Europe/Berlin' user", "offset -10 user", "decimal '.' user",
          "missing 'x' user", "unit 'kn' user"},
         ""},
        {"a date column named by hand brings its time column and its format",
         kApart,
         [](WindFileChoices& c, ChoiceContext&) { c.dateTimeColumn = 1; },
         {"date 1 user", "time 2 guessed", "format 'dd.MM.yyyy HH:mm' guessed"},
         ""},
        {"a stamp named by hand needs no time column",
         kApart,
         [](WindFileChoices& c, ChoiceContext&) { c.dateTimeColumn = 3; },
         {"date 3 user", "time 0 preset", "format 'yyyy-MM-dd HH:mm:ss' guessed"},
         ""},
        {"named columns no format reads keep the file's own format",
         kApart,
         [](WindFileChoices& c, ChoiceContext&) { c.dateTimeColumn = 5; },
         {"date 5 user", "time 0 preset", "format 'dd.MM.yyyy HH:mm' preset"},
         ""},
        {"the wind unit follows the wind column's title",
         kApart,
         [](WindFileChoices&, ChoiceContext&) {},
         {"wind 4 guessed", "unit 'km/h' guessed", "temperature 0 preset", "decimal '.' guessed"},
         ""},
        {"classing the temperature takes its column and its separator",
         kApart,
         [](WindFileChoices&, ChoiceContext& context) { context.classesTemperature = true; },
         {"temperature 5 guessed", "decimal ',' guessed"},
         temperatureField + " guessed from its title"},
        {"with a state column the wind speed is classed all the same",
         kGerman,
         [](WindFileChoices& c, ChoiceContext& context) {
             c.stateColumn = 4;
             context.classesTemperature = true;
         },
         {"temperature 0 preset", "decimal ',' guessed"},
         ""},
        {"a temperature floor reads the temperature but classes the wind speed",
         kApart,
         [](WindFileChoices&, ChoiceContext& context) { context.needsTemperature = true; },
         {"temperature 5 guessed", "decimal '.' guessed"},
         temperatureField + " guessed from its title"},
        {"columns no title names are said",
         kUntitled,
         [](WindFileChoices&, ChoiceContext&) {},
         {"date 1 guessed", "wind 2 guessed", "format 'yyyy-MM-dd HH:mm:ss' guessed"},
         dateField + " untitled, its values read as dates; " + windField +
             " untitled, its title says m/s"},
        {"and not once the user named them",
         kUntitled,
         [](WindFileChoices& c, ChoiceContext&) {
             c.dateTimeColumn = 1;
             c.windColumn = 2;
         },
         {"date 1 user", "wind 2 user", "format 'yyyy-MM-dd HH:mm:ss' guessed"},
         ""},
        {"without the recordings' zone the zone is UTC",
         kGerman,
         [](WindFileChoices&, ChoiceContext& context) { context.zone = nullptr; },
         {"zone '+0000' preset"},
         ""},
    };
    for (const Case& c : cases) {
        const WindFileView view = viewWindText(c.text, kUtf8Encoding, EncodingSource::detected, {});
        WindFileChoices chosen;
        ChoiceContext context{.zone = berlin.get(), .firstRecording = summer};
        c.set(chosen, context);
        const ResolvedChoices resolved = resolveChoices(view, chosen, context);
        const std::string line = testing::describeChoices(resolved.choices);
        for (const std::string& part : c.shown) {
            EXPECT_NE(line.find(part), std::string::npos) << c.name << ": " << part << "\n" << line;
        }
        EXPECT_EQ(notesOf(resolved), c.notes) << c.name;
        EXPECT_EQ(resolved.choices.text, view.reading) << c.name;
    }
}

}  // namespace
}  // namespace vane
