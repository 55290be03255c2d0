#include "plugin/time_zone_titles.h"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <string>

#include "core/time/utc_offset.h"

namespace vane::plugin {

QStringList timeZoneTitles() {
    QStringList titles;
    for (const int offset : utcOffsetsInUse()) {
        titles << QString::fromStdString(formatUtcOffset(offset));
    }
    return titles;
}

std::optional<QString> systemZoneTitle(const icu::TimeZone& systemZone) {
    icu::UnicodeString id;
    systemZone.getID(id);
    std::string name;
    id.toUTF8String(name);
    // Region/City names follow their region's changes; Etc/ names are fixed offsets or unknown.
    if (name.find('/') == std::string::npos || name.rfind("Etc/", 0) == 0) {
        return std::nullopt;
    }
    return QString::fromStdString(name);
}

}  // namespace vane::plugin
