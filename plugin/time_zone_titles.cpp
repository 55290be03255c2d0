#include "plugin/time_zone_titles.h"

#include <array>

namespace vane::plugin {

QStringList timeZoneTitles() {
    // Minutes east of UTC.
    static constexpr std::array kOffsets = {
        -720, -660, -600, -570, -540, -480, -420, -360, -300, -240, -210, -180, -120,
        -60,  0,    60,   120,  180,  210,  240,  270,  300,  330,  345,  360,  390,
        420,  480,  525,  540,  570,  600,  630,  660,  720,  765,  780,  825,  840,
    };
    QStringList titles;
    for (const int offset : kOffsets) {
        const int magnitude = offset < 0 ? -offset : offset;
        titles << QStringLiteral("%1%2%3")
                      .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                      .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                      .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
    }
    return titles;
}

}  // namespace vane::plugin
