#pragma once

#include <cstdio>

namespace vane {

// Bits of SolposRecord::function_mask. Each selects one computation step; the steps
// themselves always run in a fixed order that differs from the bit order, so a caller
// must set the bits of every step a wanted output depends on.
inline constexpr int SOLPOS_DOY_INPUT = 0x0001;  // set: day_of_year in, month/day out
inline constexpr int SOLPOS_GEOMETRY = 0x0002;
inline constexpr int SOLPOS_ZENITH = 0x0004;
inline constexpr int SOLPOS_SUNSET_HOUR_ANGLE = 0x0008;
inline constexpr int SOLPOS_SHADOWBAND = 0x0010;
inline constexpr int SOLPOS_SOLAR_TIME = 0x0020;
inline constexpr int SOLPOS_SUNRISE_SUNSET = 0x0040;
inline constexpr int SOLPOS_AZIMUTH = 0x0080;
inline constexpr int SOLPOS_REFRACTION = 0x0100;
inline constexpr int SOLPOS_AIRMASS = 0x0200;
inline constexpr int SOLPOS_PRIME = 0x0400;
inline constexpr int SOLPOS_TILT = 0x0800;
inline constexpr int SOLPOS_ETR = 0x1000;
inline constexpr int SOLPOS_ALL = 0xFFFF;

// Inputs, intermediates and outputs of one solar position calculation. Angles are in
// degrees, times of day in minutes from local midnight unless noted. Call S_init before
// setting the inputs. Intermediate and output fields are only meaningful after S_solpos
// returned 0 with the step's bit set; the member zeros only keep them from being
// indeterminate.
struct SolposRecord {
    int day = 0;            // in/out: day of month, 1-31
    int day_of_year = 0;    // in/out: 1-366, 1 January = 1
    int function_mask = 0;  // SOLPOS_* bits of the steps to run
    int hour = 0;           // 0-24
    int interval = 0;       // seconds; the given time ends the interval, its midpoint is used
    int minute = 0;         // 0-59
    int month = 0;          // in/out: 1-12
    int second = 0;         // 0-59
    int year = 0;           // four digits
    float air_mass = 0.0f;  // relative optical air mass
    float air_mass_pressure = 0.0f;
    float aspect = 0.0f;         // panel azimuth, north 0, east 90
    float azimuth = 0.0f;        // north 0, east 90, south 180, west 270
    float cos_incidence = 0.0f;  // on the panel
    float cos_zenith = 0.0f;     // of the refracted zenith
    float day_angle = 0.0f;
    float declination = 0.0f;
    float ecliptic_longitude = 0.0f;
    float obliquity = 0.0f;
    float ecliptic_time = 0.0f;  // days from noon 1 January 2000
    float elevation_unrefracted = 0.0f;
    float elevation_refracted = 0.0f;
    float equation_of_time = 0.0f;  // minutes
    float earth_radius_vector = 0.0f;
    float extraterrestrial_horizontal = 0.0f;  // W/m^2
    float extraterrestrial_normal = 0.0f;      // W/m^2
    float extraterrestrial_tilted = 0.0f;      // W/m^2
    float greenwich_sidereal_time = 0.0f;      // hours
    float hour_angle = 0.0f;                   // -180 to 180
    float julian_day = 0.0f;                   // minus 2,400,000
    float latitude = 0.0f;                     // north positive
    float longitude = 0.0f;                    // east positive
    float local_sidereal_time = 0.0f;
    float mean_anomaly = 0.0f;
    float mean_longitude = 0.0f;
    float right_ascension = 0.0f;
    float pressure = 0.0f;  // millibars
    float prime_factor = 0.0f;
    float shadowband_correction = 0.0f;
    float shadowband_width = 0.0f;
    float shadowband_radius = 0.0f;  // same unit as the width
    float shadowband_sky_factor = 0.0f;
    float solar_constant = 0.0f;  // W/m^2
    float sunset_hour_angle = 0.0f;
    // Minutes from local midnight in time_zone, possibly outside 0-1440. 2999 when the sun
    // does not rise that day, -2999 when it does not set.
    float sunrise = 0.0f;
    // -2999 when the sun does not rise that day, 2999 when it does not set.
    float sunset = 0.0f;
    float temperature = 0.0f;  // degrees Celsius
    float tilt = 0.0f;         // panel tilt from horizontal
    float time_zone = 0.0f;    // hours east of Greenwich
    float true_solar_time = 0.0f;
    float solar_time_offset = 0.0f;  // true solar time minus local standard time, minutes
    float unprime_factor = 0.0f;
    float universal_time = 0.0f;  // hours
    float zenith_unrefracted = 0.0f;
    float zenith_refracted = 0.0f;
};

// Sets every input field to its default (out-of-range markers for the inputs the caller
// must supply) and function_mask to SOLPOS_ALL. Intermediate and output fields are left
// untouched.
void S_init(SolposRecord& record);

// Runs the steps selected by record.function_mask. Returns 0 on success, otherwise the
// bit set of failed input checks, in which case the record is left exactly as it was.
long S_solpos(SolposRecord& record);

// Writes one explanatory line per bit set in an S_solpos error code, in ascending bit
// order, with the offending field's current value. A zero code writes nothing.
void S_decode(long code, const SolposRecord& record, std::FILE* out = stderr);

}  // namespace vane
