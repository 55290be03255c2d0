#include "farm/turbine_run.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "cli/analyse_command.h"
#include "cli/curtail_command.h"
#include "cli/problem_report.h"
#include "cli/yearly_command.h"
#include "graph/whole_file.h"

namespace vane::farm {

using cli::AnalyseOptions;
using cli::CurtailOptions;
using cli::kExitSuccess;
using cli::reportProblem;
using cli::runAnalyse;
using cli::runCurtail;
using cli::runYearly;
using cli::YearlyOptions;
namespace {

// The yearly picture of the same recordings at the turbine's site.
YearlyOptions yearlyOptions(const CurtailOptions& curtail, const std::filesystem::path& picture) {
    const AnalyseOptions& input = curtail.input;
    YearlyOptions yearly;
    if (input.library) {
        yearly.library = input.library;
        yearly.librarySessions = input.sessions;
    } else {
        yearly.recordingList = input.recordingList;
    }
    yearly.named = input.named;
    yearly.filter = input.filter;
    yearly.latitude = curtail.latitude;
    yearly.longitude = curtail.longitude;
    yearly.out = picture;
    return yearly;
}

int worse(int status, int other) {
    return std::max(status, other);
}

int writeText(const std::filesystem::path& path, const std::string& text, std::ostream& log) {
    if (const Outcome<void> written = graph::writeWholeTextFile(path, text, "Not saved", "file");
        !written) {
        return reportProblem(written.error(), log);
    }
    return kExitSuccess;
}

}  // namespace

std::unique_ptr<icu::TimeZone> siteZone(const CurtailOptions& options,
                                        const icu::TimeZone& processZone) {
    if (!options.zoneName) {
        return std::unique_ptr<icu::TimeZone>(processZone.clone());
    }
    std::unique_ptr<icu::TimeZone> named(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*options.zoneName)));
    // ICU answers an unknown name with GMT under another name.
    return *named == icu::TimeZone::getUnknown() ? nullptr : std::move(named);
}

std::string turbineFolderName(const std::string& name) {
    std::string folder = name;
    for (char& c : folder) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) {
            c = '_';
        }
    }
    if (folder.empty() || folder == "." || folder == "..") {
        folder = "_" + folder;
    }
    return folder;
}

TurbineRun runTurbine(const TurbineOptions& options, const std::filesystem::path& folder,
                      const icu::TimeZone& processZone) {
    TurbineRun run;
    std::ostringstream log;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        run.exitStatus = reportProblem(
            Problem{.title = "Not saved",
                    .message = "Cannot make the folder " + folder.string() + ": " + error.message(),
                    .kind = ProblemKind::notSaved},
            log);
        run.log = log.str();
        return run;
    }
    // Analysis and picture are read in the site's zone, as the plan is; an unknown zone is
    // refused by the plan.
    std::unique_ptr<icu::TimeZone> zone = siteZone(options.curtail, processZone);
    if (!zone) {
        zone.reset(processZone.clone());
    }

    AnalyseOptions analyse = options.analyse;
    analyse.pngFile = folder / TurbineFiles::analysisGraph;
    analyse.pdfFile = folder / TurbineFiles::analysisGraphPdf;
    std::ostringstream table;
    log << "== analyse\n";
    run.exitStatus = runAnalyse(analyse, *zone, table, log);
    if (!table.str().empty()) {
        run.exitStatus = worse(run.exitStatus,
                               writeText(folder / TurbineFiles::analysisTable, table.str(), log));
    }

    log << "== yearly\n";
    std::ostringstream yearlyOut;
    run.exitStatus = worse(run.exitStatus,
                           runYearly(yearlyOptions(options.curtail, folder / TurbineFiles::yearly),
                                     *zone, yearlyOut, log));

    CurtailOptions curtail = options.curtail;
    curtail.jsonFile = folder / TurbineFiles::planJson;
    curtail.controllerFile = folder / TurbineFiles::controller;
    curtail.pdfFile = folder / TurbineFiles::planReport;
    std::ostringstream plan;
    log << "== curtail\n";
    std::unique_ptr<icu::TimeZone> ownProcessZone(processZone.clone());
    run.exitStatus =
        worse(run.exitStatus,
              runCurtail(curtail, *ownProcessZone, plan, log,
                         [&run](const CurtailmentResult& result, const PlanSources& sources) {
                             run.plan = result;
                             run.sources = sources;
                         }));
    if (!plan.str().empty()) {
        run.exitStatus =
            worse(run.exitStatus, writeText(folder / TurbineFiles::planTable, plan.str(), log));
    }
    run.log = log.str();
    writeText(folder / TurbineFiles::log, run.log, log);
    return run;
}

void runInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& job,
                   const std::function<void(std::size_t)>& done) {
    std::atomic<std::size_t> next{0};
    std::size_t finished = 0;
    std::mutex doneMutex;
    const auto work = [&] {
        for (std::size_t index = next++; index < count; index = next++) {
            job(index);
            const std::lock_guard lock(doneMutex);
            done(++finished);
        }
    };
    const std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), count);
    std::vector<std::jthread> pool;
    for (std::size_t helper = 1; helper < helpers; ++helper) {
        pool.emplace_back(work);
    }
    work();
}

}  // namespace vane::farm
