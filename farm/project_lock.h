#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane::farm {

struct LockedInput {
    std::string path;
    std::uintmax_t size = 0;
    std::string sha256;  // lower-case hex
};

struct LockedTurbine {
    std::string name;
    std::vector<std::string> arguments{};  // the options resolved for it, as command-line words
};

// What a project run was made from, so that it can be repeated and its inputs checked later.
struct ProjectLock {
    std::string version{};
    std::string farm{};
    std::vector<LockedInput> inputs{};  // by path, each once
    std::vector<LockedTurbine> turbines{};
};

inline constexpr const char* kProjectLockName = "project.lock.json";

// The file's path, size and SHA-256, read in pieces.
Outcome<LockedInput> lockedInput(const std::filesystem::path& file);

// The lock as JSON, its keys and lists in a fixed order.
std::string lockJson(const ProjectLock& lock);

// A lock written by lockJson; none when `text` is no such lock.
std::optional<ProjectLock> parseLock(const std::string& text);

// One line for each difference a user must hear of: inputs changed, new or gone, turbines whose
// options changed, another version of Vane. Empty when `now` repeats `before`.
std::vector<std::string> lockChanges(const ProjectLock& before, const ProjectLock& now);

}  // namespace vane::farm
