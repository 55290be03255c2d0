#pragma once

#include "cli/command.h"

namespace vane::farm {

// Registers "vane project" with "check" and "run".
void addProjectCommand(CLI::App& app, cli::CommandAction& action);

}  // namespace vane::farm
