#pragma once

#include <QStringList>

namespace vane::plugin {

// The time-zone chooser's items: every UTC offset in use from -1200 to +1400, as "+0100",
// the half and three-quarter hours included.
QStringList timeZoneTitles();

}  // namespace vane::plugin
