#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "core/icu_forward.h"
#include "farm/project_options.h"

namespace vane::farm {

// What one turbine's run said and how it ended.
struct TurbineRun {
    int exitStatus = 0;
    std::string log;  // every note and problem, as the commands would have said them
    std::optional<CurtailmentResult> plan{};  // for the farm's report
    PlanSources sources{};
};

// The file names of a turbine's folder, the same every run.
struct TurbineFiles {
    static constexpr const char* analysisTable = "analysis.tsv";
    static constexpr const char* analysisGraph = "analysis.png";
    static constexpr const char* analysisGraphPdf = "analysis.pdf";
    static constexpr const char* yearly = "yearly.png";
    static constexpr const char* planTable = "plan.txt";
    static constexpr const char* planJson = "plan.json";
    static constexpr const char* controller = "controller.csv";
    static constexpr const char* planReport = "plan.pdf";
    static constexpr const char* log = "log.txt";
};

// The zone of the turbine's site: its zone-name, else the process's; none for a name ICU does
// not know.
std::unique_ptr<icu::TimeZone> siteZone(const cli::CurtailOptions& options,
                                        const icu::TimeZone& processZone);

// A folder name for the turbine: its name with every character but letters, digits, '-', '_'
// and '.' made '_'.
std::string turbineFolderName(const std::string& name);

// Writes into `folder` what `vane analyse`, `vane yearly` and `vane curtail` write with the
// turbine's options: the analysis table and graph, the yearly picture, the plan as table, JSON,
// controller table and report, and the log of what they said.
TurbineRun runTurbine(const TurbineOptions& options, const std::filesystem::path& folder,
                      const icu::TimeZone& processZone);

// Runs `count` jobs on up to `threads` threads (at least one), each job by its index; `done` is
// called after each, one call at a time, with the number done so far.
void runInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job,
                   const std::function<void(std::size_t)>& done);

}  // namespace vane::farm
