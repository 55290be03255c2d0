#pragma once

#include <filesystem>
#include <ostream>

#include "cli/command.h"

namespace vane::cli {

struct LibraryCopyOptions {
    std::filesystem::path from;
    std::filesystem::path to;
};

// Copies a whole library into a new one (a file or a server's database, either way) and says how
// many sessions and recordings went over.
int runLibraryCopy(const LibraryCopyOptions& options, std::ostream& out, std::ostream& err);

// Registers "vane library copy FROM TO".
void addLibraryCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
