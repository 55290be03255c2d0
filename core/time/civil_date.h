#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vane {

// A day of the proleptic Gregorian calendar, free of any time zone.
struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValid(const CivilDate& date);

// 1 January is day 1.
int dayOfYear(const CivilDate& date);
CivilDate addDays(const CivilDate& date, long days);

// Strict "YYYY-MM-DD"; nothing before or after it.
std::optional<CivilDate> parseIsoDate(std::string_view text);
std::string formatIsoDate(const CivilDate& date);

}  // namespace vane
