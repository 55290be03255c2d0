#pragma once

#include <filesystem>
#include <ostream>

#include "cli/command.h"
#include "core/icu_forward.h"

namespace vane::cli {

struct ProjectRunOptions {
    std::filesystem::path projectFile;
    std::filesystem::path outFolder;
    unsigned jobs = 0;      // 0: as many as the machine has cores
    bool progress = false;  // a progress line on `err`, rewritten in place
};

// Reads the project and every turbine's inputs and says per turbine what was found; every
// problem is named, all at once. Exit status 0, or 2 with a problem.
int checkProject(const std::filesystem::path& projectFile, const icu::TimeZone& processZone,
                 std::ostream& out, std::ostream& err);

// Writes every turbine's analysis, yearly picture and plan into its folder of `outFolder`, and
// the lock of what they were made from; says which inputs changed since the lock there.
int runProject(const ProjectRunOptions& options, const icu::TimeZone& processZone,
               std::ostream& out, std::ostream& err);

// Registers "vane project" with "check" and "run".
void addProjectCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
