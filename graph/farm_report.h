#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "core/icu_forward.h"
#include "core/outcome/outcome.h"

namespace vane::graph {

struct FarmTurbineReport {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    const CurtailmentResult* result = nullptr;  // none: the turbine has no plan
    PlanSources sources{};
    const icu::TimeZone* zone = nullptr;  // the site's; none: UTC
};

struct FarmReportContent {
    std::string farmName;
    std::vector<FarmTurbineReport> turbines;
};

// Writes the farm's report as A4 PDF pages: the summary table of every turbine's plan, the list
// of sites, then each turbine's plan report. Written whole and renamed, as every output.
Outcome<void> writeFarmReport(const FarmReportContent& content, const std::filesystem::path& path);

}  // namespace vane::graph
