// A wind farm's project file from outside: read into turbines with their settings, or refused
// with a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const std::set<std::string, std::less<>> keys = {
        "wind", "recordings", "lat", "lon", "protect", "session", "bats-only"};
    const vane::ProjectReading reading = vane::readProject(text, "farm.toml", keys);
    for (const vane::Problem& problem : reading.problems) {
        if (problem.describe().empty()) {
            std::abort();
        }
    }
    for (const vane::ProjectTurbine& turbine : reading.project.turbines) {
        for (const vane::ProjectSetting& setting : resolvedSettings(reading.project, turbine)) {
            if (!keys.contains(setting.key)) {
                std::abort();
            }
        }
    }
    return 0;
}
