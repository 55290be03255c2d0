#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/icu_forward.h"

namespace vane::plugin {

// The time-zone chooser's items: every UTC offset in use from -1200 to +1400, as "+0100",
// the half and three-quarter hours included.
QStringList timeZoneTitles();

// The system's zone as the chooser's first item, when it has a name a logger's clock can follow
// through summer and winter time ("Europe/Berlin"); none for UTC, fixed offsets or an unknown zone.
std::optional<QString> systemZoneTitle(const icu::TimeZone& systemZone);

}  // namespace vane::plugin
