#pragma once

#include <cstdio>
#include <optional>
#include <ostream>

#include "cli/command.h"
#include "core/icu_forward.h"
#include "core/time/civil_date.h"

namespace vane::cli {

struct SunOptions {
    double latitude = 0.0;
    double longitude = 0.0;
    CivilDate firstDate;
    int days = 1;
    std::optional<double> timeZoneHours;  // absent: the process zone's offset on each day
};

inline constexpr int kMaxSunDays = 36600;

// Writes the table "date<TAB>sunrise<TAB>sunset", one row a day. An invalid query writes no
// table, only the decoder's lines to `err`, and answers exit status 2.
int runSun(const SunOptions& options, const icu::TimeZone& processZone, std::ostream& out,
           std::FILE* err);

// Registers "vane sun"; when it is chosen, `action` runs it.
void addSunCommand(CLI::App& app, CommandAction& action);

}  // namespace vane::cli
