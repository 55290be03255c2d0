#include "core/curtailment/controller_table.h"

#include <cmath>

#include "core/text/fixed_decimals.h"

namespace vane {

std::string controllerTable(const CurtailmentResult& result) {
    const CurtailmentData& data = result.data;
    const int parts = std::max(data.parts, 1);
    std::string table = "month,reference,start_min,end_min,cut_in_ms,temperature_floor_c\n";
    const std::string floor =
        result.temperatureFloor ? fixedDecimals(*result.temperatureFloor, 1) : std::string();
    for (int month = 1; month <= 12; ++month) {
        double seconds = 0.0;
        int nights = 0;
        for (const NightActivity& night : data.nights) {
            if (night.month == month) {
                seconds += night.seconds;
                ++nights;
            }
        }
        if (nights == 0) {
            continue;
        }
        const double minutes = seconds / nights / 60.0;
        // Minutes of boundary k after sunset, and before sunrise, rounded once so that
        // neighbouring windows meet.
        const auto afterSunset = [&](int k) {
            return std::lround(minutes * k / parts) - data.minutesBeforeSunset;
        };
        const auto beforeSunrise = [&](int k) {
            return std::lround(minutes * (parts - k) / parts) - data.minutesAfterSunrise;
        };
        const auto cutInOf = [&](int part) {
            const auto index = static_cast<std::size_t>((month - 1) * parts + part);
            return index < result.tailored.cells.size() ? result.tailored.cells[index].cutIn : 0.0;
        };
        for (int first = 0; first < parts;) {
            int last = first;
            while (last + 1 < parts && cutInOf(last + 1) == cutInOf(first)) {
                ++last;
            }
            const bool reachesSunrise = last == parts - 1;
            table +=
                std::to_string(month) + (reachesSunrise ? ",sunrise," : ",sunset,") +
                std::to_string(reachesSunrise ? beforeSunrise(first) : afterSunset(first)) + ',' +
                std::to_string(reachesSunrise ? beforeSunrise(last + 1) : afterSunset(last + 1)) +
                ',' + fixedDecimals(cutInOf(first), 1) + ',' + floor + '\n';
            first = last + 1;
        }
    }
    return table;
}

}  // namespace vane
