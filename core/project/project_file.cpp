#include "core/project/project_file.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "core/project/toml_guard.h"

// The parser is compiled here alone, instrumented with the rest when fuzzed, and answers its
// errors as values.
#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

namespace vane {
namespace {

class ProblemList {
  public:
    ProblemList(std::string fileName, std::vector<Problem>& problems)
        : fileName_(std::move(fileName)), problems_(problems) {}

    void add(std::size_t line, std::string message) {
        problems_.push_back(Problem{.title = "Problem with project",
                                    .message = std::move(message),
                                    .file = fileName_,
                                    .line = line,
                                    .kind = ProblemKind::badInput});
    }

  private:
    std::string fileName_;
    std::vector<Problem>& problems_;
};

std::size_t lineOf(const toml::node& node) {
    return node.source().begin.line;
}
std::size_t lineOf(const toml::key& key) {
    return key.source().begin.line;
}

// A table's entries in the order of the file; the parser keeps them sorted by key.
std::vector<std::pair<const toml::key*, const toml::node*>> inFileOrder(const toml::table& table) {
    std::vector<std::pair<const toml::key*, const toml::node*>> entries;
    for (const auto& [key, node] : table) {
        entries.emplace_back(&key, &node);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const toml::source_position& first = a.first->source().begin;
        const toml::source_position& second = b.first->source().begin;
        return first.line != second.line ? first.line < second.line : first.column < second.column;
    });
    return entries;
}

std::string shortestText(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("nan");
}

// The command line's text of one scalar, or none for a kind no option takes.
std::optional<std::string> scalarText(const toml::node& node) {
    if (const auto* text = node.as_string()) {
        return text->get();
    }
    if (const auto* integer = node.as_integer()) {
        return std::to_string(integer->get());
    }
    if (const auto* number = node.as_floating_point()) {
        return shortestText(number->get());
    }
    return std::nullopt;
}

std::optional<ProjectSetting> settingOf(const toml::key& key, const toml::node& node,
                                        ProblemList& problems) {
    ProjectSetting setting{.key = std::string(key.str()), .line = lineOf(key)};
    if (const auto* flag = node.as_boolean()) {
        setting.isSwitch = true;
        setting.on = flag->get();
        return setting;
    }
    if (const auto* array = node.as_array()) {
        for (const toml::node& item : *array) {
            const std::optional<std::string> text = scalarText(item);
            if (!text) {
                problems.add(lineOf(item), "\"" + setting.key +
                                               "\" takes a list of texts or numbers, not of "
                                               "tables, lists, dates or true/false");
                return std::nullopt;
            }
            setting.values.push_back(*text);
        }
        return setting;
    }
    const std::optional<std::string> text = scalarText(node);
    if (!text) {
        problems.add(setting.line, "\"" + setting.key +
                                       "\" takes a text, a number, true/false or a list, not " +
                                       (node.is_table() ? "a table" : "a date"));
        return std::nullopt;
    }
    setting.values.push_back(*text);
    return setting;
}

// The settings of one table; `name` is left to the caller.
std::vector<ProjectSetting> settingsOf(const toml::table& table, const std::string& where,
                                       const std::set<std::string, std::less<>>& knownKeys,
                                       ProblemList& problems) {
    std::vector<ProjectSetting> settings;
    for (const auto& [keyEntry, nodeEntry] : inFileOrder(table)) {
        const toml::key& key = *keyEntry;
        const toml::node& node = *nodeEntry;
        if (key.str() == "name") {
            continue;
        }
        if (!knownKeys.contains(key.str())) {
            problems.add(lineOf(key), "unknown key \"" + std::string(key.str()) + "\" in " + where +
                                          " (the keys are the long options of vane analyse "
                                          "and vane curtail, without their dashes)");
            continue;
        }
        if (std::optional<ProjectSetting> setting = settingOf(key, node, problems)) {
            settings.push_back(std::move(*setting));
        }
    }
    return settings;
}

void readTurbines(const toml::node& node, const std::set<std::string, std::less<>>& knownKeys,
                  Project& project, ProblemList& problems) {
    const auto addTurbine = [&](const toml::table& table, std::string name, std::size_t line) {
        project.turbines.push_back(ProjectTurbine{
            .name = name,
            .line = line,
            .settings = settingsOf(table, "turbine \"" + name + "\"", knownKeys, problems)});
    };
    if (const auto* list = node.as_array()) {
        for (const toml::node& item : *list) {
            const auto* table = item.as_table();
            if (table == nullptr) {
                problems.add(lineOf(item), "each [[turbine]] must be a table");
                continue;
            }
            const auto* name = table->get_as<std::string>("name");
            if (name == nullptr || name->get().empty()) {
                problems.add(lineOf(item), "a [[turbine]] without a name (give name = \"...\")");
                addTurbine(*table, "turbine at line " + std::to_string(lineOf(item)), lineOf(item));
                continue;
            }
            addTurbine(*table, name->get(), lineOf(item));
        }
        return;
    }
    if (const auto* tables = node.as_table()) {
        for (const auto& [keyEntry, item] : inFileOrder(*tables)) {
            const toml::key& key = *keyEntry;
            const auto* table = item->as_table();
            if (table == nullptr) {
                problems.add(lineOf(key), "\"turbine." + std::string(key.str()) +
                                              "\" must be a table [turbine." +
                                              std::string(key.str()) + "]");
                continue;
            }
            addTurbine(*table, std::string(key.str()), lineOf(key));
        }
        return;
    }
    problems.add(lineOf(node), "\"turbine\" must be [[turbine]] or [turbine.NAME] tables");
}

}  // namespace

ProjectReading readProject(std::string_view text, const std::string& fileName,
                           const std::set<std::string, std::less<>>& knownKeys) {
    ProjectReading reading;
    ProblemList problems(fileName, reading.problems);
    const Outcome<std::string> guarded = guardedToml(text, fileName);
    if (!guarded) {
        reading.problems.push_back(guarded.error());
        return reading;
    }
    toml::parse_result parsed = toml::parse(*guarded, fileName);
    if (!parsed) {
        const toml::parse_error& error = parsed.error();
        problems.add(error.source().begin.line,
                     "not a TOML file as expected: " + std::string(error.description()));
        return reading;
    }
    const toml::table& root = parsed.table();
    for (const auto& [keyEntry, nodeEntry] : inFileOrder(root)) {
        const toml::key& key = *keyEntry;
        const toml::node& node = *nodeEntry;
        if (key.str() == "farm") {
            if (const auto* name = node.as_string()) {
                reading.project.farmName = name->get();
            } else {
                problems.add(lineOf(key), "\"farm\" takes the farm's name as a text");
            }
        } else if (key.str() == "defaults") {
            if (const auto* table = node.as_table()) {
                if (table->contains("name")) {
                    problems.add(lineOf(*table->get("name")),
                                 "[defaults] holds no name; each turbine has its own");
                }
                reading.project.defaults = settingsOf(*table, "[defaults]", knownKeys, problems);
            } else {
                problems.add(lineOf(key), "\"defaults\" must be a table [defaults]");
            }
        } else if (key.str() == "turbine") {
            readTurbines(node, knownKeys, reading.project, problems);
        } else {
            problems.add(lineOf(key), "unknown key \"" + std::string(key.str()) +
                                          "\" (a project holds farm, [defaults] and turbines; "
                                          "options go under [defaults] or a turbine)");
        }
    }
    if (reading.project.turbines.empty() && reading.problems.empty()) {
        problems.add(0, "no turbine: add a [[turbine]] table with a name");
    }
    std::map<std::string, std::size_t> seen;
    for (const ProjectTurbine& turbine : reading.project.turbines) {
        if (const auto [where, added] = seen.emplace(turbine.name, turbine.line); !added) {
            problems.add(turbine.line, "a second turbine named \"" + turbine.name +
                                           "\" (the first at line " +
                                           std::to_string(where->second) + ")");
        }
    }
    std::stable_sort(reading.problems.begin(), reading.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return reading;
}

std::vector<ProjectSetting> resolvedSettings(const Project& project,
                                             const ProjectTurbine& turbine) {
    std::vector<ProjectSetting> settings;
    for (const ProjectSetting& shared : project.defaults) {
        const bool overridden =
            std::any_of(turbine.settings.begin(), turbine.settings.end(),
                        [&](const ProjectSetting& own) { return own.key == shared.key; });
        if (!overridden) {
            settings.push_back(shared);
        }
    }
    settings.insert(settings.end(), turbine.settings.begin(), turbine.settings.end());
    return settings;
}

}  // namespace vane
