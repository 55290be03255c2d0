#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane {

// One key of a project file as the command line would take it: `--key value...`, or for a
// switch `--key` when on. Numbers keep the digits they were written with.
struct ProjectSetting {
    std::string key;
    std::vector<std::string> values{};  // one per value; several for an array
    bool isSwitch = false;              // a true/false value
    bool on = false;
    std::size_t line = 0;
};

struct ProjectTurbine {
    std::string name;
    std::size_t line = 0;  // where its table starts
    std::vector<ProjectSetting> settings{};
};

// A wind farm's project: what every turbine shares and what each has of its own.
struct Project {
    std::string farmName;
    std::vector<ProjectSetting> defaults{};
    std::vector<ProjectTurbine> turbines{};
};

// The project and every problem found in it, all at once; a turbine with a problem is still
// listed (its damaged keys left out), so that the others are checked as well.
struct ProjectReading {
    Project project;
    std::vector<Problem> problems{};
};

// Reads a TOML project file: `farm = "NAME"`, a table [defaults] and the turbines as
// [[turbine]] tables with a `name`, or as [turbine.NAME] tables. A key is accepted only among
// `knownKeys`; the problems name the file, the line and the key.
ProjectReading readProject(std::string_view text, const std::string& fileName,
                           const std::set<std::string, std::less<>>& knownKeys);

// The turbine's settings: each default its table does not name, then its own, in file order.
std::vector<ProjectSetting> resolvedSettings(const Project& project, const ProjectTurbine& turbine);

}  // namespace vane
