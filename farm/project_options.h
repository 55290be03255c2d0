#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/analyse_command.h"
#include "cli/curtail_command.h"
#include "core/outcome/outcome.h"
#include "core/project/project_file.h"

namespace vane::farm {

// The keys a project file takes: the long options of `vane analyse` and `vane curtail` without
// their dashes, read from the commands' own definitions, less those naming output files (the
// project names those itself).
std::set<std::string, std::less<>> projectKeys();

// One turbine's options, resolved as the command line would parse them.
struct TurbineOptions {
    std::string name;
    std::size_t line = 0;
    cli::CurtailOptions curtail{};
    cli::AnalyseOptions analyse{};
    std::vector<std::string> arguments{};  // the command-line arguments the settings make
};

// Parses the turbine's resolved settings with the commands' options; relative paths are taken in
// `projectFolder`. A refused value is a problem naming the file, the turbine's line and why.
Outcome<TurbineOptions> turbineOptions(const Project& project, const ProjectTurbine& turbine,
                                       const std::string& fileName,
                                       const std::filesystem::path& projectFolder);

// The input files a turbine's options name (a folder of recordings by each of its files).
std::vector<std::filesystem::path> turbineInputs(const TurbineOptions& options);

}  // namespace vane::farm
