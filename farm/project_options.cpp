#include "farm/project_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/problem_report.h"

namespace vane::farm {

using cli::addAnalyseOptions;
using cli::addCurtailOptions;
using cli::AnalyseOptions;
using cli::badUsage;
using cli::CurtailOptions;
namespace {

// Outputs of the commands, which a project writes under names of its own.
constexpr std::string_view kOutputKeys[] = {"json", "pdf", "png", "svg", "controller", "help"};

bool isOutputKey(std::string_view key) {
    return std::find(std::begin(kOutputKeys), std::end(kOutputKeys), key) != std::end(kOutputKeys);
}

void addLongNames(const CLI::App& command, std::set<std::string, std::less<>>& keys) {
    for (const CLI::Option* option : command.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            // "turbine" is the project's own table of turbines; its option goes by its other
            // name, power-curve-turbine.
            if (!isOutputKey(name) && name != "turbine") {
                keys.insert(name);
            }
        }
    }
}

// The command-line arguments of the settings; only those `command` knows when given one.
std::vector<std::string> argumentsFor(const std::vector<ProjectSetting>& settings,
                                      const CLI::App* command = nullptr) {
    std::vector<std::string> arguments;
    for (const ProjectSetting& setting : settings) {
        if (command != nullptr && command->get_option_no_throw("--" + setting.key) == nullptr) {
            continue;
        }
        if (setting.isSwitch) {
            if (setting.on) {
                arguments.push_back("--" + setting.key);
            }
            continue;
        }
        for (const std::string& value : setting.values) {
            // One word, so that a value beginning with a dash is no option.
            arguments.push_back("--" + setting.key + "=" + value);
        }
    }
    return arguments;
}

Outcome<void> parseArguments(CLI::App& command, std::vector<std::string> arguments) {
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them from the back
    try {
        command.parse(arguments);
    } catch (const CLI::ParseError& error) {
        return badUsage(error.what());
    }
    return {};
}

void takeIn(const std::filesystem::path& folder, std::filesystem::path& path) {
    if (!path.empty() && path.is_relative()) {
        path = folder / path;
    }
}

void takeIn(const std::filesystem::path& folder, std::optional<std::filesystem::path>& path) {
    // A server's library is a URL, no file.
    if (path && path->string().find("://") == std::string::npos) {
        takeIn(folder, *path);
    }
}

void takeInputsIn(const std::filesystem::path& folder, AnalyseOptions& input) {
    takeIn(folder, input.recordingList);
    takeIn(folder, input.library);
    takeIn(folder, input.windFile);
    takeIn(folder, input.filter.groupsFile);
}

// The line of the setting a message of CLI11's names first ("--protect: Value 200 not in
// range"), or `otherwise`.
std::size_t lineOfOption(const std::string& message, const std::vector<ProjectSetting>& settings,
                         std::size_t otherwise) {
    const std::size_t at = message.find("--");
    if (at == std::string::npos) {
        return otherwise;
    }
    const std::size_t end = message.find_first_of(": =,", at);
    const std::string key =
        message.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
    for (const ProjectSetting& setting : settings) {
        if (setting.key == key) {
            return setting.line;
        }
    }
    return otherwise;
}

}  // namespace

std::set<std::string, std::less<>> projectKeys() {
    std::set<std::string, std::less<>> keys;
    CurtailOptions curtail;
    CLI::App curtailCommand;
    addCurtailOptions(curtailCommand, curtail);
    addLongNames(curtailCommand, keys);
    AnalyseOptions analyse;
    CLI::App analyseCommand;
    addAnalyseOptions(analyseCommand, analyse);
    addLongNames(analyseCommand, keys);
    return keys;
}

Outcome<TurbineOptions> turbineOptions(const Project& project, const ProjectTurbine& turbine,
                                       const std::string& fileName,
                                       const std::filesystem::path& projectFolder) {
    const std::vector<ProjectSetting> settings = resolvedSettings(project, turbine);
    TurbineOptions options{.name = turbine.name, .line = turbine.line};
    CLI::App curtailCommand;
    addCurtailOptions(curtailCommand, options.curtail);
    CLI::App analyseCommand;
    addAnalyseOptions(analyseCommand, options.analyse);
    options.arguments = argumentsFor(settings);
    for (CLI::App* command : {&curtailCommand, &analyseCommand}) {
        if (const Outcome<void> parsed = parseArguments(*command, argumentsFor(settings, command));
            !parsed) {
            return Problem{.title = "Problem with project",
                           .message = "turbine \"" + turbine.name + "\": " + parsed.error().message,
                           .file = fileName,
                           .line = lineOfOption(parsed.error().message, settings, turbine.line),
                           .kind = ProblemKind::badUsage};
        }
    }
    // The farm's report names each turbine's plan as the project does.
    if (!options.curtail.projectName && !project.farmName.empty()) {
        options.curtail.projectName = project.farmName;
    }
    if (!options.curtail.turbineName) {
        options.curtail.turbineName = turbine.name;
    }
    takeInputsIn(projectFolder, options.curtail.input);
    takeIn(projectFolder, options.curtail.powerCurve);
    takeIn(projectFolder, options.curtail.effortFile);
    takeInputsIn(projectFolder, options.analyse);
    return options;
}

std::vector<std::filesystem::path> turbineInputs(const TurbineOptions& options) {
    const CurtailOptions& curtail = options.curtail;
    std::vector<std::filesystem::path> named;
    for (const std::optional<std::filesystem::path>& path :
         {std::optional(curtail.input.recordingList), curtail.input.library,
          std::optional(curtail.input.windFile), curtail.powerCurve, curtail.effortFile,
          curtail.input.filter.groupsFile}) {
        if (path && !path->empty() && path->string().find("://") == std::string::npos) {
            named.push_back(*path);
        }
    }
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& path : named) {
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
            if (entry.is_regular_file(error)) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace vane::farm
