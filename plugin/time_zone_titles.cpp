#include "plugin/time_zone_titles.h"

#include <array>

namespace vane::plugin {

QStringList timeZoneTitles() {
    // Minutes east of UTC: every offset a zone has used since 2000, summer times included, so
    // that older measurements (Caracas -0430 until 2016, Newfoundland's -0230 every summer)
    // find their zone too.
    static constexpr std::array kOffsets = {
        -720, -660, -600, -570, -540, -480, -420, -360, -300, -270, -240, -210, -180, -150, -120,
        -60,  0,    60,   120,  180,  210,  240,  270,  300,  330,  345,  360,  390,  420,  480,
        510,  525,  540,  570,  585,  600,  630,  660,  690,  720,  765,  780,  825,  840,
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
