#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/farm_plan.h"
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
    const FarmPlan* farmPlan = nullptr;  // none: no plan for the whole farm
    PlanSources farmPlanSources{};
    const icu::TimeZone* farmPlanZone = nullptr;  // none: UTC
};

// Writes the farm's report as A4 PDF pages: the summary table of every turbine's plan, the list
// of sites, the farm plan at each turbine, the farm plan's report pages, then each turbine's
// plan report. Written whole and renamed, as every output.
Outcome<void> writeFarmReport(const FarmReportContent& content, const std::filesystem::path& path);

}  // namespace vane::graph
