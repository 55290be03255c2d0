#include "plugin/time_zone_titles.h"

#include "core/time/utc_offset.h"

namespace vane::plugin {

QStringList timeZoneTitles() {
    QStringList titles;
    for (const int offset : utcOffsetsInUse()) {
        titles << QString::fromStdString(formatUtcOffset(offset));
    }
    return titles;
}

}  // namespace vane::plugin
