#include "core/time/civil_date.h"

#include <chrono>
#include <cstdio>

#include "core/time/text_fields.h"

namespace vane {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

bool isValid(const CivilDate& date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

int dayOfYear(const CivilDate& date) {
    int days = date.day;
    for (int m = 1; m < date.month; ++m) {
        days += daysInMonth(date.year, m);
    }
    return days;
}

CivilDate addDays(const CivilDate& date, long days) {
    using namespace std::chrono;
    const sys_days start{year{date.year} / month{static_cast<unsigned>(date.month)} /
                         day{static_cast<unsigned>(date.day)}};
    const year_month_day result{start + std::chrono::days{days}};
    return {static_cast<int>(result.year()),
            static_cast<int>(static_cast<unsigned>(result.month())),
            static_cast<int>(static_cast<unsigned>(result.day()))};
}

std::optional<CivilDate> parseIsoDate(std::string_view text) {
    TextCursor cursor{text};
    CivilDate date;
    if (!cursor.readFixedDigits(4, date.year) || !cursor.skip('-') ||
        !cursor.readFixedDigits(2, date.month) || !cursor.skip('-') ||
        !cursor.readFixedDigits(2, date.day) || !cursor.atEnd() || !isValid(date)) {
        return std::nullopt;
    }
    return date;
}

std::string formatIsoDate(const CivilDate& date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

}  // namespace vane
