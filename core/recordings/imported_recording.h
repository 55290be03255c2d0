#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/time/civil_date.h"

namespace vane {

// A recording as an import reads it, before it is stored: its instant together with the offset
// (and, for times read as local time, the zone) it was read with, so the library can show it as
// the recorder wrote it.
struct ImportedRecording {
    double recordingTime = 0.0;  // seconds since the Unix epoch
    int utcOffsetSeconds = 0;    // in force at recordingTime as read
    std::string timeZone;        // the zone a time without an offset was read in, else empty
    std::string filePath;        // empty when the recording did not come from a file
    std::string label{};         // species or other class; empty when none was given
    std::optional<double> probability{};  // of the automatic label, 0 to 1
    bool manualLabel = false;             // the label was set or confirmed by a person
};

// A row of a list or table left out, with why, in the words a reading that stops would use.
struct RefusedRow {
    std::size_t line = 0;
    std::string reason;
};

// The date of the evening whose night holds the earliest recording, in the recordings' own local
// time: a recording at 02:00 belongs to the night that began the evening before.
std::optional<CivilDate> firstEveningDate(const std::vector<ImportedRecording>& recordings);

// The zone's identifier, such as "Europe/Berlin", as ImportedRecording keeps it.
std::string timeZoneId(const icu::TimeZone& zone);

// Midnight at the start of `date`, at the given offset from UTC.
double startOfDay(const CivilDate& date, int utcOffsetSeconds);

}  // namespace vane
