// Makes a library from a recording list, one session per month at one site: the example library
// of the README's screenshot, and a quick way to try vane-desk on one's own list.

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <memory>

#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"
#include "library/library_problem.h"
#include "library/recording_library.h"

namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Make a Vane library from a recording list, one session per month of the evening each "
        "recording belongs to, all at one site.",
        "make_example_library"};
    std::string listFile;
    std::string libraryFile;
    std::string site = "Site";
    std::string zoneName = "UTC";
    double latitude = 0.0;
    double longitude = 0.0;
    app.add_option("LIST", listFile, "Recording list")->required()->check(CLI::ExistingFile);
    app.add_option("LIBRARY", libraryFile, "The library file to make (must not exist)")->required();
    app.add_option("--site", site, "Name of the site, the start of each session's name");
    app.add_option("--lat", latitude, "Latitude of the site in degrees north")->required();
    app.add_option("--lon", longitude, "Longitude of the site in degrees east")->required();
    app.add_option("--tz", zoneName, "Time zone of times without an offset");
    CLI11_PARSE(app, argc, argv);

    const std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneName)));
    // ICU answers an unknown name with GMT under another name; a misspelt zone must not pass.
    if (*zone == icu::TimeZone::getUnknown()) {
        std::cerr << "Bad usage: --tz: unknown time zone \"" << zoneName << "\"\n";
        return 2;
    }
    const vane::RecordingListResult list = vane::readRecordingList(listFile, *zone);
    if (!list) {
        std::cerr << "Problem with recording list: " << list.error().describe() << '\n';
        return 2;
    }
    std::map<std::pair<int, int>, std::vector<vane::ImportedRecording>> months;
    for (const vane::Recording& recording : *list) {
        const int offset = vane::utcOffsetSeconds(recording.recordingTime, *zone);
        const vane::ImportedRecording imported{recording.recordingTime, offset, zoneName, ""};
        const vane::CivilDate evening = *vane::firstEveningDate({imported});
        months[{evening.year, evening.month}].push_back(imported);
    }
    try {
        auto library = vane::library::RecordingLibrary::create(libraryFile);
        for (const auto& [month, recordings] : months) {
            const std::string name =
                site + ", " + kMonthNames[month.second - 1] + " " + std::to_string(month.first);
            library.importRecordings(vane::library::NewSession{name, {}, latitude, longitude},
                                     recordings);
        }
    } catch (const vane::library::LibraryError& error) {
        const vane::Problem problem = vane::library::libraryProblem(error);
        std::cerr << problem.title << ": " << problem.describe() << '\n';
        return 2;
    }
    std::cout << "Made " << libraryFile << ": " << list->size() << " recordings in "
              << months.size() << " sessions.\n";
    return 0;
}
