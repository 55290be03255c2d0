#include "cli/yearly_command.h"

#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <QImageWriter>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/finite_number.h"
#include "cli/output_paths.h"
#include "cli/problem_report.h"
#include "cli/recording_source.h"
#include "core/files/shown_content.h"
#include "core/time/civil_date.h"
#include "core/time/local_time.h"
#include "core/yearly/activity_raster.h"
#include "core/yearly/bar_raster.h"
#include "core/yearly/picture_notes.h"
#include "core/yearly/picture_years.h"
#include "core/yearly/session_list.h"
#include "graph/offscreen_gui.h"
#include "yearlyview/image_files.h"
#include "yearlyview/raster_image.h"
#include "yearlyview/year_graph_view.h"

namespace vane::cli {
namespace {

std::string writableFormats() {
    std::string list;
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        list += (list.empty() ? "" : ", ") + format.toStdString();
    }
    return list;
}

MarkLocation chosenLocation(const YearlyOptions& options, const std::vector<Session>& sessions) {
    MarkLocation location = markLocation(sessions);
    if (options.latitude) {
        location.latitude = static_cast<float>(*options.latitude);
    }
    if (options.longitude) {
        location.longitude = static_cast<float>(*options.longitude);
    }
    return location;
}

// The raster and the line written on the picture's grid.
struct DrawnPicture {
    Raster raster;
    std::string caption;
};

std::string yearList(const std::vector<int>& years) {
    std::string list;
    for (const int year : years) {
        list += (list.empty() ? "" : ", ") + std::to_string(year);
    }
    return list;
}

std::optional<DrawnPicture> activityPicture(const YearlyOptions& options,
                                            const std::vector<Recording>& recordings,
                                            const std::vector<Session>& sessions,
                                            const icu::TimeZone& zone, std::ostream& err,
                                            int& status) {
    const std::vector<Recording> sorted = sortedByRecordingTime(recordings);
    std::span<const Recording> drawn = sorted;
    if (options.year) {
        drawn = recordingsOfYear(sorted, *options.year, zone);
        if (drawn.empty() && !sorted.empty()) {
            err << "Nothing to draw: no recordings in " << *options.year
                << "; the years with recordings are " << yearList(recordingYears(sorted, zone))
                << '\n';
            status = kExitNoResult;
            return std::nullopt;
        }
        if (drawn.size() < sorted.size()) {
            err << "Recordings left out: " << sorted.size() - drawn.size() << " of "
                << sorted.size() << " lie outside " << *options.year << '\n';
        }
    }
    const MarkLocation location = chosenLocation(options, sessions);
    Outcome<ActivityRaster> result =
        generateImageData(drawn, options.binWidthMinutes, location, zone);
    if (!result && result.error().kind != ProblemKind::nothingFound) {
        status = reportProblem(result.error(), err);
        return std::nullopt;
    }
    if (!result) {
        err << "Nothing to draw: "
            << (options.library ? "the library's sessions hold"
                                : printable(options.recordingList->string()) + " holds")
            << " no recordings\n";
        status = kExitNoResult;
        return std::nullopt;
    }
    for (const std::string& note : activityPictureNotes(*result, drawn)) {
        err << note << '\n';
    }
    return DrawnPicture{std::move(result->raster), yearPictureCaption(result->year, location)};
}

// The recordings and sessions to draw, from the library or from the two lists.
Outcome<LoadedRecordings> drawnRecordings(const YearlyOptions& options, const icu::TimeZone& zone) {
    if (options.library) {
        return loadRecordings(
            {{}, options.library, options.librarySessions, options.named, options.filter}, zone);
    }
    LoadedRecordings loaded;
    if (options.sessionList) {
        SessionListResult list = readSessionList(*options.sessionList, zone);
        if (!list) {
            return std::move(list).error();
        }
        loaded.sessions = std::move(list).value();
    }
    if (!options.bars) {
        Outcome<LoadedRecordings> list = loadRecordings(
            {*options.recordingList, std::nullopt, {}, options.named, options.filter}, zone);
        if (!list) {
            return list;
        }
        loaded.recordings = std::move(list->recordings);
        loaded.leftOutNote = std::move(list->leftOutNote);
    }
    return loaded;
}

std::optional<QString> writeView(const DrawnPicture& picture, bool invert,
                                 const std::filesystem::path& path, const QByteArray& format,
                                 std::ostream& err) {
    yearlyview::YearGraphView view;
    view.setGraphImage(yearlyview::createImageFromGrayscaleWithData(picture.raster, invert));
    view.setCaption(QString::fromStdString(picture.caption));
    if (std::optional<QImage> grid =
            yearlyview::MyCreateCGImageFromFile(yearlyview::kYearGridResource, err)) {
        view.setGridImage(*grid);
    } else {
        err << '\n';
    }
    if (invert) {
        yearlyview::exposureAdjust(view);
    }
    return yearlyview::saveImageFile(view.render(), QString::fromStdString(path.string()), format);
}

}  // namespace

int runYearly(const YearlyOptions& options, const icu::TimeZone& zone, std::ostream& out,
              std::ostream& err) {
    if (const std::optional<std::string> problem = binWidthProblem(options.binWidthMinutes)) {
        return reportProblem(badUsage("--bin: " + *problem), err);
    }
    std::optional<std::filesystem::path> viewPath = options.out;
    if (!viewPath && !options.raster) {
        viewPath = kDefaultYearlyPicture;
    }
    if (const Outcome<void> spared =
            checkNoOutputIsAnInput({{"--recordings", options.recordingList},
                                    {"--sessions", options.sessionList},
                                    {"--library", options.library}},
                                   {{"--out", viewPath}, {"--raster", options.raster}});
        !spared) {
        return reportProblem(spared.error(), err);
    }
    QByteArray viewFormat;
    if (viewPath) {
        viewFormat = yearlyview::imageFormatForPath(QString::fromStdString(viewPath->string()));
        if (viewFormat.isEmpty()) {
            return reportProblem(badUsage("--out: cannot write images of the type of " +
                                          viewPath->string() + "; use one of " + writableFormats()),
                                 err);
        }
    }
    if (options.bars && !options.sessionList && !options.library) {
        return reportProblem(badUsage("--bars draws the sessions of a session list or library; "
                                      "give it with --sessions or --library"),
                             err);
    }
    if (!options.bars && !options.recordingList && !options.library) {
        return reportProblem(badUsage("give the recordings to draw with --recordings or --library"),
                             err);
    }
    const Outcome<LoadedRecordings> toDraw = drawnRecordings(options, zone);
    if (!toDraw) {
        return reportProblem(toDraw.error(), err);
    }
    sayLoadNote(*toDraw, err);
    const LoadedRecordings& drawn = *toDraw;
    sayRecordingsLeftOut(drawn, err);

    const graph::OffscreenGui gui;
    DrawnPicture picture;
    if (options.bars) {
        picture.raster = generateBarGraphImageData(sortedBySampleDate(drawn.sessions), zone).raster;
    } else {
        int status = kExitSuccess;
        std::optional<DrawnPicture> activity =
            activityPicture(options, drawn.recordings, drawn.sessions, zone, err, status);
        if (!activity) {
            return status;
        }
        picture = std::move(*activity);
    }
    const Raster& raster = picture.raster;

    if (viewPath) {
        if (const std::optional<QString> problem =
                writeView(picture, options.invert, *viewPath, viewFormat, err)) {
            return reportProblem({.title = "Problem with image file",
                                  .message = problem->toStdString(),
                                  .file = viewPath->string()},
                                 err);
        }
        out << "Wrote " << viewPath->string() << '\n';
    }
    if (options.raster) {
        if (const std::optional<QString> problem = yearlyview::saveImageFile(
                yearlyview::createImageFromGrayscaleWithData(raster, false),
                QString::fromStdString(options.raster->string()), "ppm")) {
            return reportProblem({.title = "Problem with raster file",
                                  .message = problem->toStdString(),
                                  .file = options.raster->string()},
                                 err);
        }
        out << "Wrote " << options.raster->string() << '\n';
    }
    return kExitSuccess;
}

void addYearlyCommand(CLI::App& app, CommandAction& action) {
    struct Arguments {
        YearlyOptions options;
        std::filesystem::path recordingList;
        std::filesystem::path sessionList;
        std::filesystem::path out;
        std::filesystem::path raster;
        double latitude = 0.0;
        double longitude = 0.0;
        int year = 0;
    };
    const auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "yearly",
        "Draw the yearly activity picture: one year of recordings, nights from January to\n"
        "December from left to right, the time of night from 16:00 to 09:00 from top to\n"
        "bottom, each activity bin a bar that grows brighter with its number of recordings,\n"
        "with the sunset and sunrise of the site marked for every day. The year is that of\n"
        "the first recording (or --year); its last night is 25 to 26 December (24 to 25 in\n"
        "leap years), and later recordings are not drawn. Writes the picture with its grid,\n"
        "the year and the site to --out, and the bare 720 x 408 picture to --raster.");
    command->footer(
        "A recording list has one ISO 8601 time stamp per line (see 'vane events --help').\n"
        "A session list is CSV with the header sampledate,recordings,latitude,longitude:\n"
        "  sampledate,recordings,latitude,longitude\n"
        "  2012-06-21,57,49.6,11.05\n"
        "  2012-06-22,12,,\n"
        "The site of the marks is --lat/--lon, else the first session's, else 49.6 N 11.05 E.\n"
        "--library FILE takes both the recordings and the sessions of a Vane library (as\n"
        "vane-desk writes it): of the sessions named with --session NAME (repeatable), or of all.\n"
        "Files are written through a temporary file that replaces the old one when complete.\n" +
        std::string(kRecordingFilterHelp) +
        "\n"
        "Example:\n"
        "  TZ=Europe/Berlin vane yearly --recordings examples/recordings.txt --lat 49.6 \\\n"
        "      --lon 11.05 --out yearly.png\n");
    CLI::Option* recordings = command->add_option("--recordings", arguments->recordingList,
                                                  "Recording list to draw (not with --bars)");
    command
        ->add_option("--bin", arguments->options.binWidthMinutes,
                     "Bin width in whole minutes, 1 to 1440; 5, 10, 15, 30 or 60 fit the\n"
                     "picture's 2.5-minute rows")
        ->default_val(10);
    CLI::Option* latitude =
        command
            ->add_option("--lat", arguments->latitude,
                         "Latitude of the site in degrees, north positive\n(default: the first "
                         "session's, else 49.6)")
            ->check(finiteNumber())
            ->check(CLI::Range(-90.0, 90.0));
    CLI::Option* longitude =
        command
            ->add_option("--lon", arguments->longitude,
                         "Longitude of the site in degrees, east positive\n(default: the first "
                         "session's, else 11.05)")
            ->check(finiteNumber())
            ->check(CLI::Range(-180.0, 180.0));
    CLI::Option* sessions = command->add_option(
        "--sessions", arguments->sessionList,
        "Session list (CSV): the first session gives the site;\n--bars draws them");
    addLibraryOptions(*command, recordings, arguments->options.library,
                      arguments->options.librarySessions, false);
    command->get_option("--library")->excludes(sessions);
    addNamedColumnOptions(*command, arguments->options.named);
    addRecordingFilterOptions(*command, arguments->options.filter);
    CLI::Option* year =
        command
            ->add_option("--year", arguments->year,
                         "Draw the recordings of this year (local time); default: the year\n"
                         "of the first recording")
            ->check(CLI::Range(1, 9999));
    command
        ->add_flag("--bars", arguments->options.bars,
                   "Draw one bar per session, as high as its number of recordings, instead\n"
                   "of the activity picture")
        ->excludes(year);
    command->add_flag("--invert", arguments->options.invert,
                      "Inverted colours: white ground, red bars, blue marks");
    CLI::Option* out = command->add_option(
        "--out", arguments->out,
        std::string("Picture with its grid, 765 x 440, in the format its extension names\n"
                    "(PNG without one; also JPEG, BMP and whatever else Qt writes here).\n"
                    "Default: ") +
            kDefaultYearlyPicture + " when --raster is not given either");
    CLI::Option* raster =
        command->add_option("--raster", arguments->raster,
                            "The bare 720 x 408 picture as binary PPM (P6), for scripts and tests");

    command->callback(
        [arguments, recordings, latitude, longitude, sessions, out, raster, year, &action] {
            action = [arguments, recordings, latitude, longitude, sessions, out, raster, year] {
                YearlyOptions options = arguments->options;
                if (*recordings) {
                    options.recordingList = arguments->recordingList;
                }
                if (*latitude) {
                    options.latitude = arguments->latitude;
                }
                if (*longitude) {
                    options.longitude = arguments->longitude;
                }
                if (*sessions) {
                    options.sessionList = arguments->sessionList;
                }
                if (*year) {
                    options.year = arguments->year;
                }
                if (*out) {
                    options.out = arguments->out;
                }
                if (*raster) {
                    options.raster = arguments->raster;
                }
                return runYearly(options, *processTimeZone(), std::cout, std::cerr);
            };
        });
}

}  // namespace vane::cli
