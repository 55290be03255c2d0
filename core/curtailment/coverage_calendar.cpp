#include "core/curtailment/coverage_calendar.h"

#include <cstdio>

namespace vane {
char coverageMark(const NightCoverage& night) {
    if (!night.monitored) {
        return '-';
    }
    if (night.windShare < kWindGapShare) {
        return '!';
    }
    return night.activity > 0 ? '#' : '.';
}

std::string coverageCalendar(const std::vector<NightCoverage>& nights) {
    if (nights.empty()) {
        return {};
    }
    std::string text =
        "Coverage, a night a character at its day of the month (# bats recorded, . none, ! wind "
        "readings missing for more than a tenth of the night, - detector not recording):\n";
    int year = 0;
    int month = 0;
    std::string line;
    const auto finish = [&] {
        if (!line.empty()) {
            text += line + '\n';
        }
    };
    for (const NightCoverage& night : nights) {
        if (night.date.year != year || night.date.month != month) {
            finish();
            year = night.date.year;
            month = night.date.month;
            char head[16];
            std::snprintf(head, sizeof head, "%04d-%02d  ", year, month);
            line = head;
        }
        const std::size_t at = 9 + static_cast<std::size_t>(night.date.day - 1);
        if (line.size() <= at) {
            line.resize(at + 1, ' ');
        }
        line[at] = coverageMark(night);
    }
    finish();
    return text;
}

}  // namespace vane
