#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/icu_forward.h"
#include "core/recordings/classifier_table.h"

namespace vane::cli {

struct ImportOptions {
    std::filesystem::path library;
    std::string session;
    std::vector<std::filesystem::path> sources;
    std::optional<double> latitude{};
    std::optional<double> longitude{};
    std::optional<std::string> zone{};  // of times without an offset; default the process's
    NamedColumns named{};
};

// Told how many recordings of how many are written, now and then while the library is written.
using ImportProgress = std::function<void(std::size_t done, std::size_t total)>;

// Reads every source and adds all their recordings to the session (made when new) of the library
// (made when new), all or nothing: a new library file appears only once it is complete, and an
// existing one is changed in one transaction. Writes the summary to `out`: how many recordings,
// how many per label, which files were left out and why.
int runImport(const ImportOptions& options, const icu::TimeZone& processZone, std::ostream& out,
              std::ostream& err, const ImportProgress& progress = {});

// Registers "vane import"; when it is chosen, `action` runs it.
void addImportCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
