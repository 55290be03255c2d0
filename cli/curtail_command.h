#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/analyse_command.h"
#include "cli/command.h"
#include "core/curtailment/curtailment_data.h"
#include "core/curtailment/curtailment_result.h"
#include "core/icu_forward.h"

namespace vane::cli {

struct CurtailOptions {
    AnalyseOptions input;  // recordings, wind file and its columns, exactly as analyse reads them
    double latitude = 0.0;
    double longitude = 0.0;
    std::optional<std::string> zoneName;  // of the site; default: the process's zone
    double protectPercent = 90.0;
    int nightParts = 10;
    int minutesBeforeSunset = 0;
    int minutesAfterSunrise = 0;
    std::optional<std::string> powerColumn;  // number from 1 or title
    std::optional<std::filesystem::path> powerCurve;
    std::optional<std::string> powerCurveTurbine;  // the row of a table of several turbines
    std::optional<double> temperatureFloor;
    std::optional<std::filesystem::path> effortFile;
    PlanFit fit = PlanFit::model;
    int minCellActivity = 0;
    // Named in the report's head and the JSON.
    std::optional<std::string> projectName;
    std::optional<std::string> turbineName;
    std::optional<std::string> detectorName;
    std::optional<std::filesystem::path> controllerFile;
    std::optional<std::filesystem::path> jsonFile;
    std::optional<std::filesystem::path> pdfFile;
    std::optional<std::filesystem::path> pngFile;
};

// What a caller keeps of a plan besides its files (a farm's report).
using PlanKeeper = std::function<void(const CurtailmentResult&, const PlanSources&)>;

// Makes the blanket and the tailored plan and writes the tailored one as a table, the summary
// and estimate lines and the held-out years to `out`, notes to `err`, and the files asked for;
// hands the plan to `keep` when there is one.
int runCurtail(const CurtailOptions& options, const icu::TimeZone& processZone, std::ostream& out,
               std::ostream& err, const PlanKeeper& keep = {});

// Adds every option of "vane curtail" to `command`, filling `options`; the project file takes
// the same, by their long names.
void addCurtailOptions(CLI::App& command, CurtailOptions& options);

// Registers "vane curtail"; when it is chosen, `action` runs it.
void addCurtailCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
