#pragma once

// Where a night and a time of night lie in the yearly pictures. Night n fills the columns 2n and
// 2n + 1 and runs from the evening of day of year n to the morning of day n + 1; the time of
// night runs from 16:00 at the top to 09:00 at the bottom in five-minute steps of two rows.

namespace vane::yearly_layout {

inline constexpr int kColumnsPerNight = 2;
inline constexpr int kRowsPerStep = 2;
inline constexpr int kMinutesPerStep = 5;
inline constexpr int kRowsPerHour = kRowsPerStep * 60 / kMinutesPerStep;
inline constexpr int kFirstEveningHour = 16;  // the top row
inline constexpr int kLastMorningHour = 9;    // the bottom edge

inline constexpr bool isEveningHour(int hour) {
    return hour >= kFirstEveningHour;
}
inline constexpr bool isMorningHour(int hour) {
    return hour >= 0 && hour < kLastMorningHour;
}

// Five-minute steps from 16:00; integer division truncates toward zero as in C++.
inline constexpr int eveningStep(int hour, int minute) {
    return (60 * hour + minute - 60 * kFirstEveningHour) / kMinutesPerStep;
}
inline constexpr int morningStep(int hour, int minute) {
    return (60 * hour + minute + 60 * (24 - kFirstEveningHour)) / kMinutesPerStep;
}
inline constexpr int firstRowOfStep(int step) {
    return kRowsPerStep * step;
}

// Columns of the evening of day of year `day`, and of its morning (the night before).
inline constexpr int eveningColumn(int dayOfYear) {
    return kColumnsPerNight * dayOfYear;
}
inline constexpr int morningColumn(int dayOfYear) {
    return kColumnsPerNight * (dayOfYear - 1);
}

// The top row of a whole hour of the picture's clock, 16 to 24 and 0 to 9.
inline constexpr int rowOfHour(int hour) {
    return isEveningHour(hour) || hour == 24 ? firstRowOfStep(eveningStep(hour, 0))
                                             : firstRowOfStep(morningStep(hour, 0));
}

}  // namespace vane::yearly_layout
