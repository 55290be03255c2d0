#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/outcome/outcome.h"

namespace vane::farm {

struct ProjectRunOptions {
    std::filesystem::path projectFile;
    std::filesystem::path outFolder;
    unsigned jobs = 0;      // 0: as many as the machine has cores
    bool progress = false;  // a progress line on `err`, rewritten in place
    // After each turbine, one call at a time, on the thread that ran it.
    std::function<void(std::size_t done, std::size_t total)> onProgress{};
    // Once a stop is asked for, no further turbine starts (those running finish their files),
    // and neither the farm's files nor the lock are written.
    std::stop_token stop{};
};

// Exit status of a run stopped on request.
inline constexpr int kExitStopped = 4;

// What a check found of one turbine.
struct TurbineCheck {
    std::string name;
    std::size_t line = 0;
    std::string recordings;  // the list file, or the library and its sessions
    std::string windFile;
    std::vector<std::string> found;  // what the check says of it, line by line
    bool readable = false;           // its inputs could be read
};

struct ProjectCheck {
    std::string farm;
    std::vector<TurbineCheck> turbines;  // every entry that could be read
    std::vector<Problem> problems;       // of the file and its entries, in the order of lines
};

// Reads the project and every turbine's inputs, as `vane project check` does.
ProjectCheck checkProjectInputs(const std::filesystem::path& projectFile,
                                const icu::TimeZone& processZone);

// Says per turbine what was found; every problem is named, all at once. Exit status 0, or 2
// with a problem.
int checkProject(const std::filesystem::path& projectFile, const icu::TimeZone& processZone,
                 std::ostream& out, std::ostream& err);

// Writes every turbine's analysis, yearly picture and plan into its folder of `outFolder`, the
// farm's plan, summary and report, and the lock of what they were made from; says which inputs
// changed since the lock there. The lock of an earlier run is taken away at the start, so that a
// run that did not finish leaves none that vouches for the folder.
int runProject(const ProjectRunOptions& options, const icu::TimeZone& processZone,
               std::ostream& out, std::ostream& err);

// The farm report's name in the output folder.
inline constexpr const char* kFarmReportName = "farm.pdf";

}  // namespace vane::farm
