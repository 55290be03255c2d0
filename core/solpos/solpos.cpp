#include "core/solpos/solpos.h"

#include <cmath>

namespace vane {

namespace {

// Deliberately the 32-bit values; 57.29578f is 57.295780181884766.
constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.29578f;

// Days before each month (index 1-12), common year then leap year.
constexpr int month_days[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

// Sines and cosines shared by several steps, computed at most once per S_solpos call.
struct SolposTrig {
    float cos_declination = 1.0f;
    float cos_hour_angle = 1.0f;
    float cos_latitude = 1.0f;
    float sin_declination = -999.0f;  // below -900: not filled yet
    float sin_latitude = 1.0f;
};

bool is_leap_year(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Into [0, period), negative x included (dates before 2000 give negative ecliptic times).
double reduce(double x, double period) {
    double r = x - period * std::trunc(x / period);
    if (r < 0.0) {
        r += period;
    }
    return r;
}

double sin_deg(double degrees) {
    return std::sin(degrees * kDegToRad);
}

double cos_deg(double degrees) {
    return std::cos(degrees * kDegToRad);
}

void localtrig(const SolposRecord& r, SolposTrig& trig) {
    if (trig.sin_declination >= -900.0f) {
        return;
    }
    trig.sin_declination = 1.0f;
    trig.cos_declination = static_cast<float>(cos_deg(r.declination));
    trig.cos_hour_angle = static_cast<float>(cos_deg(r.hour_angle));
    trig.cos_latitude = static_cast<float>(cos_deg(r.latitude));
    trig.sin_declination = static_cast<float>(sin_deg(r.declination));
    trig.sin_latitude = static_cast<float>(sin_deg(r.latitude));
}

long validate(const SolposRecord& r) {
    const int mask = r.function_mask;
    long code = 0;
    // Real inputs are compared so that a value that is not a number fails its check.

    if (mask & SOLPOS_GEOMETRY) {
        if (r.year < 1950 || r.year > 2050) {
            code |= 0x00001;
        }
        if (!(mask & SOLPOS_DOY_INPUT)) {
            if (r.month < 1 || r.month > 12) {
                code |= 0x00002;
            }
            if (r.day < 1 || r.day > 31) {
                code |= 0x00004;
            }
        } else if (r.day_of_year < 1 || r.day_of_year > 366) {
            code |= 0x00008;
        }
        if (r.hour < 0 || r.hour > 24) {
            code |= 0x00010;
        }
        if (r.minute < 0 || r.minute > 59) {
            code |= 0x00020;
        }
        if (r.second < 0 || r.second > 59) {
            code |= 0x00040;
        }
        // Midnight may be written as 24:00:00, but nothing later.
        if (r.hour == 24 && r.minute > 0) {
            code |= 0x00010 | 0x00020;
        }
        if (r.hour == 24 && r.second > 0) {
            code |= 0x00010 | 0x00040;
        }
        if (!(std::fabs(r.time_zone) <= 12.0f)) {
            code |= 0x00080;
        }
        if (r.interval < 0 || r.interval > 28800) {
            code |= 0x00100;
        }
        if (!(std::fabs(r.latitude) <= 90.0f)) {
            code |= 0x00200;
        }
        if (!(std::fabs(r.longitude) <= 180.0f)) {
            code |= 0x00400;
        }
    }

    if ((mask & SOLPOS_REFRACTION) && !(std::fabs(r.temperature) <= 100.0f)) {
        code |= 0x00800;
    }
    // The upper bounds below are checked whatever the mask holds; only the lower bounds
    // belong to their step.
    if (!(r.pressure <= 2000.0f) || ((mask & SOLPOS_REFRACTION) && r.pressure < 0.0f)) {
        code |= 0x01000;
    }
    if (mask & SOLPOS_TILT) {
        if (!(std::fabs(r.tilt) <= 180.0f)) {
            code |= 0x02000;
        }
        if (!(std::fabs(r.aspect) <= 360.0f)) {
            code |= 0x04000;
        }
    }
    const bool shadowband = (mask & SOLPOS_SHADOWBAND) != 0;
    if (!(r.shadowband_width <= 100.0f) || (shadowband && r.shadowband_width < 1.0f)) {
        code |= 0x08000;
    }
    if (!(r.shadowband_radius <= 100.0f) || (shadowband && r.shadowband_radius < 1.0f)) {
        code |= 0x10000;
    }
    if (shadowband && !(std::fabs(r.shadowband_sky_factor) <= 1.0f)) {
        code |= 0x20000;
    }
    return code;
}

// Out-of-range dates can only reach here when geometry is off (nothing then uses them);
// they are left alone rather than indexing outside the table.
void convert_date(SolposRecord& r) {
    const int(&days)[13] = month_days[is_leap_year(r.year) ? 1 : 0];
    if (r.function_mask & SOLPOS_DOY_INPUT) {
        if (r.day_of_year < 1 || r.day_of_year > 366) {
            return;
        }
        int m = 12;
        while (days[m] >= r.day_of_year) {
            --m;
        }
        r.month = m;
        r.day = r.day_of_year - days[m];
    } else {
        if (r.month < 1 || r.month > 12) {
            return;
        }
        r.day_of_year = month_days[0][r.month] + r.day;
        if (is_leap_year(r.year) && r.month > 2) {
            ++r.day_of_year;
        }
    }
}

void geometry(SolposRecord& r) {
    const double day_angle = 360.0 * (r.day_of_year - 1) / 365.0;
    r.day_angle = static_cast<float>(day_angle);
    r.earth_radius_vector = static_cast<float>(
        1.000110 + 0.034221 * cos_deg(day_angle) + 0.001280 * sin_deg(day_angle) +
        0.000719 * cos_deg(2.0 * day_angle) + 0.000077 * sin_deg(2.0 * day_angle));

    const double universal_time =
        (r.hour * 3600.0 + r.minute * 60.0 + r.second - r.interval / 2.0) / 3600.0 - r.time_zone;
    r.universal_time = static_cast<float>(universal_time);

    // Whole days since the 1949 epoch, counting one leap day per four years.
    const int delta = r.year - 1949;
    const double leap = std::trunc(delta * 0.25);
    const double julian_day =
        32916.5 + 365.0 * delta + leap + r.day_of_year + universal_time / 24.0;
    r.julian_day = static_cast<float>(julian_day);
    // Taken from the unrounded value: as a float the Julian day only resolves minutes.
    const double t = julian_day - 51545.0;
    r.ecliptic_time = static_cast<float>(t);

    const double mean_longitude = reduce(280.46 + 0.9856474 * t, 360.0);
    const double mean_anomaly = reduce(357.528 + 0.9856003 * t, 360.0);
    r.mean_longitude = static_cast<float>(mean_longitude);
    r.mean_anomaly = static_cast<float>(mean_anomaly);

    const double ecliptic_longitude =
        reduce(mean_longitude + 1.915 * sin_deg(mean_anomaly) + 0.020 * sin_deg(2.0 * mean_anomaly),
               360.0);
    r.ecliptic_longitude = static_cast<float>(ecliptic_longitude);

    const double obliquity = 23.439 - 0.0000004 * t;
    r.obliquity = static_cast<float>(obliquity);

    r.declination =
        static_cast<float>(kRadToDeg * std::asin(sin_deg(obliquity) * sin_deg(ecliptic_longitude)));

    double right_ascension =
        kRadToDeg *
        std::atan2(cos_deg(obliquity) * sin_deg(ecliptic_longitude), cos_deg(ecliptic_longitude));
    if (right_ascension < 0.0) {
        right_ascension += 360.0;
    }
    r.right_ascension = static_cast<float>(right_ascension);

    const double greenwich_sidereal_time =
        reduce(6.697375 + 0.0657098242 * t + universal_time, 24.0);
    r.greenwich_sidereal_time = static_cast<float>(greenwich_sidereal_time);

    const double local_sidereal_time = reduce(greenwich_sidereal_time * 15.0 + r.longitude, 360.0);
    r.local_sidereal_time = static_cast<float>(local_sidereal_time);

    double hour_angle = local_sidereal_time - right_ascension;
    if (hour_angle < -180.0) {
        hour_angle += 360.0;
    } else if (hour_angle > 180.0) {
        hour_angle -= 360.0;
    }
    r.hour_angle = static_cast<float>(hour_angle);
}

void zenith(SolposRecord& r, SolposTrig& trig) {
    localtrig(r, trig);
    double c = trig.cos_declination * trig.cos_latitude * trig.cos_hour_angle +
               trig.sin_declination * trig.sin_latitude;
    if (std::fabs(c) > 1.0) {
        c = c >= 0.0 ? 1.0 : -1.0;
    }
    double angle = std::acos(c) * kRadToDeg;
    // Far below the horizon the exact depth is of no use to any later step.
    if (angle > 99.0) {
        angle = 99.0;
    }
    r.zenith_unrefracted = static_cast<float>(angle);
    r.elevation_unrefracted = static_cast<float>(90.0 - angle);
}

void sunset_hour_angle(SolposRecord& r, SolposTrig& trig) {
    localtrig(r, trig);
    const double p = static_cast<double>(trig.cos_declination) * trig.cos_latitude;
    double angle = 0.0;
    if (std::fabs(p) >= 0.001) {
        // cos(90.833 deg): rise and set are taken when the sun's centre is 0.833 deg below
        // the horizon (mean refraction plus the solar radius).
        const double c =
            (-0.014543898 - static_cast<double>(trig.sin_latitude) * trig.sin_declination) / p;
        if (c < -1.0) {
            angle = 180.0;
        } else if (c > 1.0) {
            angle = 0.0;
        } else {
            angle = std::acos(c) * kRadToDeg;
        }
    } else if ((r.declination >= 0.0f && r.latitude > 0.0f) ||
               (r.declination < 0.0f && r.latitude < 0.0f)) {
        // At a pole the formula degenerates: it is either polar day or polar night.
        angle = 180.0;
    }
    r.sunset_hour_angle = static_cast<float>(angle);
}

void shadowband(SolposRecord& r, SolposTrig& trig) {
    localtrig(r, trig);
    const double cos_decl = trig.cos_declination;
    const double p =
        0.6366198 * r.shadowband_width / r.shadowband_radius * cos_decl * cos_decl * cos_decl;
    const double t1 = static_cast<double>(trig.sin_latitude) * trig.sin_declination *
                      r.sunset_hour_angle * kDegToRad;
    const double t2 = cos_decl * trig.cos_latitude * sin_deg(r.sunset_hour_angle);
    r.shadowband_correction =
        static_cast<float>(r.shadowband_sky_factor + 1.0 / (1.0 - p * (t1 + t2)));
}

void solar_time(SolposRecord& r) {
    const double true_solar_time = (r.hour_angle + 180.0) * 4.0;
    r.true_solar_time = static_cast<float>(true_solar_time);
    double offset =
        true_solar_time - 60.0 * r.hour - r.minute - r.second / 60.0 + r.interval / 120.0;
    while (offset > 720.0) {
        offset -= 1440.0;
    }
    while (offset < -720.0) {
        offset += 1440.0;
    }
    r.solar_time_offset = static_cast<float>(offset);
    r.equation_of_time = static_cast<float>(offset + 60.0 * r.time_zone - 4.0 * r.longitude);
}

void sunrise_sunset(SolposRecord& r) {
    const double h = r.sunset_hour_angle;
    if (h <= 1.0) {
        r.sunrise = 2999.0f;
        r.sunset = -2999.0f;
    } else if (h >= 179.0) {
        r.sunrise = -2999.0f;
        r.sunset = 2999.0f;
    } else {
        r.sunrise = static_cast<float>(720.0 - 4.0 * h - r.solar_time_offset);
        r.sunset = static_cast<float>(720.0 + 4.0 * h - r.solar_time_offset);
    }
}

void azimuth(SolposRecord& r, SolposTrig& trig) {
    localtrig(r, trig);
    const double e = r.elevation_unrefracted;
    const double q = cos_deg(e) * trig.cos_latitude;
    double angle = 180.0;
    // Near the zenith or at a pole the direction is undefined; south is as good as any.
    if (std::fabs(q) >= 0.001) {
        double c = (sin_deg(e) * trig.sin_latitude - trig.sin_declination) / q;
        if (c > 1.0) {
            c = 1.0;
        } else if (c < -1.0) {
            c = -1.0;
        }
        angle = 180.0 - std::acos(c) * kRadToDeg;
        if (r.hour_angle > 0.0f) {
            angle = 360.0 - angle;
        }
    }
    r.azimuth = static_cast<float>(angle);
}

void refraction(SolposRecord& r) {
    const double e = r.elevation_unrefracted;
    double correction = 0.0;
    if (e <= 85.0) {
        const double t = std::tan(e * kDegToRad);
        if (e >= 5.0) {
            correction = 58.1 / t - 0.07 / (t * t * t) + 0.000086 / (t * t * t * t * t);
        } else if (e >= -0.575) {
            correction = 1735.0 + e * (-518.2 + e * (103.4 + e * (-12.79 + e * 0.711)));
        } else {
            correction = -20.774 / t;
        }
        // The formulas give arc seconds for standard air; scale to the local density.
        correction *= (r.pressure * 283.0) / (1013.0 * (273.0 + r.temperature));
        correction /= 3600.0;
    }
    double elevation = e + correction;
    if (elevation < -9.0) {
        elevation = -9.0;
    }
    r.elevation_refracted = static_cast<float>(elevation);
    r.zenith_refracted = static_cast<float>(90.0 - elevation);
    r.cos_zenith = static_cast<float>(cos_deg(r.zenith_refracted));
}

void air_mass(SolposRecord& r) {
    const double z = r.zenith_refracted;
    if (z > 93.0) {
        r.air_mass = -1.0f;
        r.air_mass_pressure = -1.0f;
        return;
    }
    const double am = 1.0 / (cos_deg(z) + 0.50572 * std::pow(96.07995 - z, -1.6364));
    r.air_mass = static_cast<float>(am);
    r.air_mass_pressure = static_cast<float>(am * r.pressure / 1013.0);
}

void prime(SolposRecord& r) {
    const double unprime = 1.031 * std::exp(-1.4 / (0.9 + 9.4 / r.air_mass)) + 0.1;
    r.unprime_factor = static_cast<float>(unprime);
    r.prime_factor = static_cast<float>(1.0 / unprime);
}

void extraterrestrial(SolposRecord& r) {
    if (r.cos_zenith > 0.0f) {
        r.extraterrestrial_normal = r.solar_constant * r.earth_radius_vector;
        r.extraterrestrial_horizontal = r.extraterrestrial_normal * r.cos_zenith;
    } else {
        r.extraterrestrial_normal = 0.0f;
        r.extraterrestrial_horizontal = 0.0f;
    }
}

void tilt(SolposRecord& r) {
    const double cos_incidence =
        r.cos_zenith * cos_deg(r.tilt) +
        sin_deg(r.zenith_refracted) * sin_deg(r.tilt) *
            (cos_deg(r.azimuth) * cos_deg(r.aspect) + sin_deg(r.azimuth) * sin_deg(r.aspect));
    r.cos_incidence = static_cast<float>(cos_incidence);
    r.extraterrestrial_tilted =
        cos_incidence > 0.0 ? static_cast<float>(cos_incidence * r.extraterrestrial_normal) : 0.0f;
}

}  // namespace

void S_init(SolposRecord& record) {
    record.day = -99;
    record.day_of_year = -999;
    record.function_mask = SOLPOS_ALL;
    record.hour = -99;
    record.interval = 0;
    record.minute = -99;
    record.month = -99;
    record.second = -99;
    record.year = -99;
    record.aspect = 180.0f;
    record.latitude = -99.0f;
    record.longitude = -999.0f;
    record.pressure = 1013.0f;
    record.shadowband_width = 7.6f;
    record.shadowband_radius = 31.7f;
    record.shadowband_sky_factor = 0.04f;
    record.solar_constant = 1367.0f;
    record.temperature = 15.0f;
    record.tilt = 0.0f;
    record.time_zone = -99.0f;
}

long S_solpos(SolposRecord& record) {
    const long code = validate(record);
    if (code != 0) {
        return code;
    }

    convert_date(record);

    const int mask = record.function_mask;
    SolposTrig trig;
    if (mask & SOLPOS_GEOMETRY) {
        geometry(record);
    }
    if (mask & SOLPOS_ZENITH) {
        zenith(record, trig);
    }
    if (mask & SOLPOS_SUNSET_HOUR_ANGLE) {
        sunset_hour_angle(record, trig);
    }
    if (mask & SOLPOS_SHADOWBAND) {
        shadowband(record, trig);
    }
    if (mask & SOLPOS_SOLAR_TIME) {
        solar_time(record);
    }
    if (mask & SOLPOS_SUNRISE_SUNSET) {
        sunrise_sunset(record);
    }
    if (mask & SOLPOS_AZIMUTH) {
        azimuth(record, trig);
    }
    if (mask & SOLPOS_REFRACTION) {
        refraction(record);
    }
    if (mask & SOLPOS_AIRMASS) {
        air_mass(record);
    }
    if (mask & SOLPOS_PRIME) {
        prime(record);
    }
    if (mask & SOLPOS_ETR) {
        extraterrestrial(record);
    }
    if (mask & SOLPOS_TILT) {
        tilt(record);
    }
    return 0;
}

void S_decode(long code, const SolposRecord& record, std::FILE* out) {
    const SolposRecord& r = record;
    if (code & 0x00001) {
        std::fprintf(out, "S_decode ==> Please fix the year: %d [1950-2050]\n", r.year);
    }
    if (code & 0x00002) {
        std::fprintf(out, "S_decode ==> Please fix the month: %d\n", r.month);
    }
    if (code & 0x00004) {
        std::fprintf(out, "S_decode ==> Please fix the day-of-month: %d\n", r.day);
    }
    if (code & 0x00008) {
        std::fprintf(out, "S_decode ==> Please fix the day-of-year: %d\n", r.day_of_year);
    }
    if (code & 0x00010) {
        std::fprintf(out, "S_decode ==> Please fix the hour: %d\n", r.hour);
    }
    if (code & 0x00020) {
        std::fprintf(out, "S_decode ==> Please fix the minute: %d\n", r.minute);
    }
    if (code & 0x00040) {
        std::fprintf(out, "S_decode ==> Please fix the second: %d\n", r.second);
    }
    if (code & 0x00080) {
        std::fprintf(out, "S_decode ==> Please fix the time zone: %f\n", r.time_zone);
    }
    if (code & 0x00100) {
        std::fprintf(out, "S_decode ==> Please fix the interval: %d\n", r.interval);
    }
    if (code & 0x00200) {
        std::fprintf(out, "S_decode ==> Please fix the latitude: %f\n", r.latitude);
    }
    if (code & 0x00400) {
        std::fprintf(out, "S_decode ==> Please fix the longitude: %f\n", r.longitude);
    }
    if (code & 0x00800) {
        std::fprintf(out, "S_decode ==> Please fix the temperature: %f\n", r.temperature);
    }
    if (code & 0x01000) {
        std::fprintf(out, "S_decode ==> Please fix the pressure: %f\n", r.pressure);
    }
    if (code & 0x02000) {
        std::fprintf(out, "S_decode ==> Please fix the tilt: %f\n", r.tilt);
    }
    if (code & 0x04000) {
        std::fprintf(out, "S_decode ==> Please fix the aspect: %f\n", r.aspect);
    }
    if (code & 0x08000) {
        std::fprintf(out, "S_decode ==> Please fix the shadowband width: %f\n", r.shadowband_width);
    }
    if (code & 0x10000) {
        std::fprintf(out, "S_decode ==> Please fix the shadowband radius: %f\n",
                     r.shadowband_radius);
    }
    if (code & 0x20000) {
        std::fprintf(out, "S_decode ==> Please fix the shadowband sky factor: %f\n",
                     r.shadowband_sky_factor);
    }
}

}  // namespace vane
