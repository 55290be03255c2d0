#pragma once

// Wind files as loggers, met masts and turbine controllers export them, each with recordings
// over its rows and the options that read it by hand: shared by every test that reads them.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cli/analyse_command.h"
#include "core/time/civil_date.h"

namespace vane::testing {

// 2012-07-01 18:00 in central European summer time.
constexpr long kFirstRow = 1341158400;
constexpr long kBerlinSummer = 7200;

struct Wall {
    CivilDate date;
    int hour = 0;
    int minute = 0;
};

inline Wall wallTime(long instant, long offset = kBerlinSummer) {
    const long local = instant + offset;
    const long day = local / 86400;
    return {addDays(CivilDate{}, day), static_cast<int>(local % 86400 / 3600),
            static_cast<int>(local % 3600 / 60)};
}

inline std::string printed(const char* format, auto... values) {
    char text[96];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// A reading every row, with the gaps loggers write among them.
inline std::string windReading(std::size_t row, double factor = 1.0) {
    switch (row) {
        case 5:
            return "-9999";
        case 7:
            return "NaN";
        case 9:
            return "";
        default:
            return printed("%.2f", (static_cast<double>(row % 12) * 0.5 + 0.3) * factor);
    }
}

struct Shape {
    const char* name;
    std::string preamble;  // lines before the header, each with its line break
    std::string header;    // and the rows of units under it
    std::function<std::string(long instant, std::size_t row)> row;
    std::vector<std::string> inspected;  // lines `vane inspect` must show
    std::function<void(cli::AnalyseOptions&)> byHand;
    long step = 600;  // seconds between rows
    std::size_t rows = 36;
    const char* lineBreak = "\n";
    bool finalBreak = true;
    bool latin1 = false;  // the text's characters up to U+00FF written as one byte each
};

// `text` with its two-byte UTF-8 sequences of U+0080 to U+00FF as Latin-1 bytes.
inline std::string latin1(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size()) {
            bytes += static_cast<char>(((byte & 0x03) << 6) | (text[++i] & 0x3F));
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

inline std::vector<Shape> shapes() {
    return {
        {"iso_with_a_space",
         "",
         "timestamp,wind_speed_ms,temp_c,status",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%04d-%02d-%02d %02d:%02d:00,", w.date.year, w.date.month, w.date.day,
                            w.hour, w.minute) +
                    windReading(r) + ",14.2,OK";
         },
         {"starting-line: 1\n", "date-column: 1 timestamp\n",
          "date-format: 4 yyyy-MM-dd HH:mm:ss (guessed)\n", "wind-column: 2 wind_speed_ms\n"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 1;
             o.dateColumn = "timestamp";
             o.dateFormat = "yyyy-MM-dd HH:mm:ss";
             o.windColumn = "wind_speed_ms";
             o.zone = "+0200";
         }},
        {"date_and_time_apart",
         "",
         "Date;Time;Wind speed [m/s];Temperature [°C]",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             std::string reading = windReading(r);
             std::replace(reading.begin(), reading.end(), '.', ',');
             return printed("%02d.%02d.%04d;%02d:%02d:00;", w.date.day, w.date.month, w.date.year,
                            w.hour, w.minute) +
                    reading + ";14,2";
         },
         {"date-column: 1 Date\n", "time-column: 2 Time\n",
          "date-format: 3 dd.MM.yyyy HH:mm:ss (guessed)\n", "wind-column: 3 Wind speed [m/s]\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.windTimeColumn = "Time";
             o.dateFormat = "dd.MM.yyyy HH:mm:ss";
             o.windColumn = "3";
             o.decimal = ",";
         }},
        {"preamble_and_commented_header",
         "# Wind farm data set\n# Turbine: WT 1\n# Rated power: 2050 kW, hub height: 100 m\n"
         "# Period: 2012-07-01, 2012-07-02\n#\n# Times are local time\n# Readings are "
         "10-minute means\n# Source: SCADA export\n\n",
         "# Date and time,Wind speed (m/s),Wind direction (°),Nacelle position (°),Power (kW)",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%04d-%02d-%02dT%02d:%02d:00,", w.date.year, w.date.month, w.date.day,
                            w.hour, w.minute) +
                    windReading(r) + ",225,224,410";
         },
         {"starting-line: 10 (found)\n", "date-column: 1 Date and time\n",
          "date-format: 6 yyyy-MM-dd'T'HH:mm:ss (guessed)\n", "wind-column: 2 Wind speed (m/s)\n"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 10;
             o.windFileOptions.fieldSeparator = ",";
             o.dateColumn = "1";
             o.dateFormat = "yyyy-MM-dd'T'HH:mm:ss";
             o.windColumn = "2";
             o.zone = "+0200";
         }},
        {"scada_with_offsets",
         "",
         "Wind_turbine_name;Date_time;Ba_avg;Ws_avg;Wa_avg;Ot_avg;P_avg",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("R80711;%04d-%02d-%02dT%02d:%02d:00+02:00;-1;", w.date.year,
                            w.date.month, w.date.day, w.hour, w.minute) +
                    windReading(r) + ";225;14.2;410";
         },
         {"date-column: 2 Date_time\n", "date-format: 9 ISO 8601 (guessed)\n",
          "wind-column: 4 Ws_avg\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date_time";
             o.dateFormat = "ISO 8601";
             o.windColumn = "Ws_avg";
             o.zone = "+0000";  // the offsets in the stamps win
         }},
        {"iec_names",
         "",
         "Timestamp,WMET_HorWdSpd,WMET_EnvTmp,WTUR_TurSt,WTUR_W",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%04d-%02d-%02d %02d:%02d,", w.date.year, w.date.month, w.date.day,
                            w.hour, w.minute) +
                    windReading(r) + ",14.2,1,410";
         },
         {"date-column: 1 Timestamp\n", "date-format: 5 yyyy-MM-dd HH:mm (guessed)\n",
          "wind-column: 2 WMET_HorWdSpd\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Timestamp";
             o.dateFormat = "yyyy-MM-dd HH:mm";
             o.windColumn = "WMET_HorWdSpd";
         }},
        {"month_names_untitled_date",
         "",
         "ts,Wind_speed,Power,Ambient_temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%02d-Jul-%04d %02d:%02d:00,", w.date.day, w.date.year, w.hour,
                            w.minute) +
                    windReading(r) + ",410,14.2";
         },
         {"date-column: 1 ts (no title names it; its values read as dates)\n",
          "date-format: 10 dd-MMM-yyyy HH:mm:ss (guessed)\n", "wind-column: 2 Wind_speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "ts";
             o.dateFormat = "dd-MMM-yyyy HH:mm:ss";
             o.windColumn = "Wind_speed";
         }},
        {"consultant_day_first",
         "",
         "Date_Time;Speed;Temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%02d/%02d/%04d %02d:%02d;", w.date.day, w.date.month, w.date.year,
                            w.hour, w.minute) +
                    windReading(r) + ";14.2";
         },
         {"date-column: 1 Date_Time\n", "date-format: 0 dd/MM/yyyy HH:mm (guessed)\n",
          "wind-column: 2 Speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date_Time";
             o.dateFormat = "dd/MM/yyyy HH:mm";
             o.windColumn = "Speed";
         }},
        {"us_twelve_hour",
         "",
         "Date,Wind Speed,Temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%02d/%02d/%04d %d:%02d %s,", w.date.month, w.date.day, w.date.year,
                            (w.hour + 11) % 12 + 1, w.minute, w.hour < 12 ? "AM" : "PM") +
                    windReading(r) + ",14.2";
         },
         {"date-column: 1 Date\n", "date-format: 12 M/d/yyyy h:mm a (guessed)\n",
          "wind-column: 2 Wind Speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.dateFormat = "M/d/yyyy h:mm a";
             o.windColumn = "Wind Speed";
         }},
        {"us_twenty_four_hour_daily",
         "",
         "Date,Wind Speed,Temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%d/%d/%04d %d:%02d,", w.date.month, w.date.day, w.date.year, w.hour,
                            w.minute) +
                    windReading(r) + ",14.2";
         },
         {"date-column: 1 Date\n", "date-format: 14 M/d/yyyy H:mm (guessed)\n",
          "wind-column: 2 Wind Speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.dateFormat = "M/d/yyyy H:mm";
             o.windColumn = "Wind Speed";
         },
         86400,
         30},
        {"unix_seconds_in_knots",
         "",
         "unix_time,Wind speed (kn),Temperature",
         [](long t, std::size_t r) {
             return std::to_string(t) + "," + windReading(r, 3600.0 / 1852.0) + ",14.2";
         },
         {"date-column: 1 unix_time\n", "date-format: 16 Unix seconds (guessed)\n",
          "wind-column: 2 Wind speed (kn) (kn, converted to m/s)\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "unix_time";
             o.dateFormat = "Unix seconds";
             o.windColumn = "2";
         }},
        {"excel_days_in_kmh",
         "",
         "Date;Wind speed (km/h);Temperature",
         [](long t, std::size_t r) {
             const double days = 25569.0 + static_cast<double>(t + kBerlinSummer) / 86400.0;
             return printed("%.4f;", days) + windReading(r, 3.6) + ";14.2";
         },
         {"date-column: 1 Date\n", "date-format: 17 Excel serial days (guessed)\n",
          "wind-column: 2 Wind speed (km/h) (km/h, converted to m/s)\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.dateFormat = "Excel serial days";
             o.windColumn = "2";
             o.zone = "Europe/Berlin";
         }},
        {"us_two_digit_years_unpadded",
         "",
         "Date,Wind Speed,Temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%d/%d/%02d %d:%02d,", w.date.month, w.date.day, w.date.year % 100,
                            w.hour, w.minute) +
                    windReading(r) + ",14.2";
         },
         {"line-ending: CR LF (guessed)\n", "date-column: 1 Date\n",
          "date-format: 18 M/d/yy H:mm (guessed)\n", "wind-column: 2 Wind Speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.dateFormat = "M/d/yy H:mm";
             o.windColumn = "Wind Speed";
         },
         600,
         36,
         "\r\n"},
        {"day_month_year_apart_by_spaces",
         "",
         "Date;Wind speed;Temperature",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%02d %02d %04d %02d:%02d;", w.date.day, w.date.month, w.date.year,
                            w.hour, w.minute) +
                    windReading(r) + ";14.2";
         },
         {"date-column: 1 Date\n", "date-format: 20 dd MM yyyy HH:mm (guessed)\n",
          "wind-column: 2 Wind speed\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date";
             o.dateFormat = "dd MM yyyy HH:mm";
             o.windColumn = "Wind speed";
         }},
        {"wind_resource_export_with_offsets",
         "Latitude = N 0.000000\nLongitude = E 0.000000\nElevation = 120 m\n"
         "Calm threshold = 0 m/s\nIncluded flags: <Unflagged data>\n"
         "Excluded flags: Icing, Tower shadow\n"
         "Time stamps indicate the beginning of the time step.\n\n",
         "Date/Time\tSpeed 80 m A [m/s]\tSpeed 80 m A SD [m/s]\tDirection 78 m [°]"
         "\tTemperature 2 m [°C]",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t, 0);
             return printed("%02d/%02d/%04d %02d:%02d:00+00:00\t", w.date.day, w.date.month,
                            w.date.year, w.hour, w.minute) +
                    windReading(r) + "\t0.41\t225\t14.2";
         },
         {"field-separator: tab (guessed)\n", "starting-line: 9 (found)\n",
          "date-column: 1 Date/Time\n", "date-format: 22 dd/MM/yyyy HH:mm:ssxxx (guessed)\n",
          "wind-column: 2 Speed 80 m A [m/s]\n",
          "stamps: begin (the preamble says \"Time stamps indicate the beginning of the time "
          "step.\")\n"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 9;
             o.windFileOptions.stamps = "begin";
             o.windFileOptions.fieldSeparator = "tab";
             o.dateColumn = "Date/Time";
             o.dateFormat = "dd/MM/yyyy HH:mm:ssxxx";
             o.windColumn = "2";
             o.zone = "+0500";  // the offsets in the stamps win
         },
         600,
         36,
         "\r\n"},
        {"logger_toa5_with_unit_rows",
         "\"TOA5\",\"CR1000_Mast\",\"CR1000\",\"12345\",\"CR1000.Std.27\",\"CPU:mast.CR1\","
         "\"4242\",\"Table10\"\n",
         "\"TIMESTAMP\",\"RECORD\",\"BattV_Min\",\"PTemp_C_Avg\",\"WindDir\",\"WS_ms_Std\","
         "\"WS_ms_Avg\",\"AirTC_Avg\"\n"
         "\"TS\",\"RN\",\"Volts\",\"Deg C\",\"Deg\",\"Metres/Second\",\"Metres/Second\","
         "\"Deg C\"\n"
         "\"\",\"\",\"Min\",\"Avg\",\"Smp\",\"Std\",\"Avg\",\"Avg\"",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("\"%04d-%02d-%02d %02d:%02d:00\",%zu,12.6,31.5,225,0.41,", w.date.year,
                            w.date.month, w.date.day, w.hour, w.minute, r) +
                    windReading(r) + ",14.2";
         },
         {"starting-line: 2 (found)\n", "unit-rows: 2 (found)\n", "date-column: 1 \"TIMESTAMP\"\n",
          "date-format: 4 yyyy-MM-dd HH:mm:ss (guessed)\n",
          "wind-column: 7 \"WS_ms_Avg\" (its unit row says \"Metres/Second\")\n",
          "temperature-column: 8 \"AirTC_Avg\" (its unit row says \"Deg C\")\n"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 2;
             o.windFileOptions.unitRows = 2;
             o.dateColumn = "1";
             o.dateFormat = "yyyy-MM-dd HH:mm:ss";
             o.windColumn = "7";
         },
         600,
         36,
         "\r\n"},
        {"met_mast_sensor_names",
         "",
         "Date/Time,Spd40mN,Spd60mN,Spd80mNStd,Spd80mNMax,Spd80mN,Spd80mS,Dir78mS,T2m,RH2m,P2m",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             return printed("%04d-%02d-%02d %02d:%02d,4.1,4.6,0.8,7.9,", w.date.year, w.date.month,
                            w.date.day, w.hour, w.minute) +
                    windReading(r) + ",5.0,225,14.2,81,1002";
         },
         {"date-format: 5 yyyy-MM-dd HH:mm (guessed)\n",
          "wind-column: 6 Spd80mN (the highest anemometer's mean speed)\n"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Date/Time";
             o.dateFormat = "yyyy-MM-dd HH:mm";
             o.windColumn = "Spd80mN";
         }},
        {"logger_preamble_in_mph_with_bare_cr",
         "Site,Mast 7\nLogger Serial,2210\nTime Zone,0\nLatitude,43.0889\nLongitude,-89.4125\n"
         "Units,English\n\n[Channel01]\nDescription,NRG #40 Anemometer\nHeight,66\nUnits,mph\n\n"
         "[Channel02]\nDescription,NRG #200P Wind Vane\nHeight,60\nUnits,°\n\nRaw Header\n"
         "0A1B2C3D4E5F60718293A4B5C6D7E8F9\n00112233445566778899AABBCCDDEEFF\n\n",
         "Time Stamp,Average Speed,Speed Standard Deviation,Average Direction [°]",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t, 0);
             return printed("%d/%d/%02d %d:%02d,", w.date.month, w.date.day, w.date.year % 100,
                            w.hour, w.minute) +
                    windReading(r, 3600.0 / 1609.344) + ",0.86,113";
         },
         {"line-ending: CR (guessed)\n", "starting-line: 22 (found)\n",
          "date-format: 18 M/d/yy H:mm (guessed)\n",
          "wind-column: 2 Average Speed (mph, converted to m/s)\n", "| 4 Average Direction [°]\n",
          "zone: +0000 (the preamble says \"Time Zone,0\")\n"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 22;
             o.zone = "+0000";
             o.windFileOptions.encoding = "ISO Latin 1";
             o.dateColumn = "Time Stamp";
             o.dateFormat = "M/d/yy H:mm";
             o.windColumn = "Average Speed";
         },
         600,
         36,
         "\r",
         false,
         true},
        {"typical_year_hourly_with_hour_24",
         "724666,\"DENVER/CENTENNIAL [GOLDEN - NREL]\",CO,-7.0,39.742,-105.179,1829\n",
         "Date (MM/DD/YYYY),Time (HH:MM),ETR (W/m^2),GHI (W/m^2),GHI source,Dry-bulb (C),"
         "Dry-bulb source,RHum (%),Pressure (mbar),Wdir (degrees),Wspd (m/s),Wspd source\n"
         // A typical year takes each month from another year: June from 1976 here.
         "06/30/1976,22:00,0,0,1,16.1,A,40,820,200,3.1,A\n"
         "06/30/1976,23:00,0,0,1,15.0,A,42,820,210,2.6,A\n"
         "06/30/1976,24:00,0,0,1,14.4,A,45,820,210,2.1,A",
         [](long t, std::size_t r) {
             // The hour ending at midnight is the day's hour 24.
             const Wall w = wallTime(t);
             const Wall day = w.hour == 0 && w.minute == 0 ? wallTime(t - 3600) : w;
             return printed("%02d/%02d/%04d,%02d:%02d,0,0,1,14.2,A,81,1002,225,", day.date.month,
                            day.date.day, day.date.year, w.hour == 0 ? 24 : w.hour, w.minute) +
                    windReading(r) + ",A";
         },
         {"starting-line: 2 (found)\n", "date-column: 1 Date (MM/DD/YYYY)\n",
          "time-column: 2 Time (HH:MM)\n",
          "date-format: 7 MM/dd/yyyy HH:mm (guessed) (the column titles spell it out)\n",
          "wind-column: 11 Wspd (m/s)\n", "temperature-column: 6 Dry-bulb (C)"},
         [](cli::AnalyseOptions& o) {
             o.windFileOptions.startingLine = 2;
             o.dateColumn = "1";
             o.windTimeColumn = "2";
             o.dateFormat = "MM/dd/yyyy HH:mm";
             o.windColumn = "Wspd (m/s)";
         },
         3600,
         36,
         "\r\n"},
        {"station_year_day_of_year_and_clock_with_ragged_rows",
         "",
         // The header names fewer columns than the rows carry (a quality flag at the end), and
         // one row lacks its last field, the wind speed.
         "Year,DOY,HHMM,Avg Temperature @ 2m [deg C],Avg Wind Speed @ 80m [m/s]",
         [](long t, std::size_t r) {
             const Wall w = wallTime(t);
             const std::string head =
                 printed("%d,%d,%d,14.2", w.date.year, dayOfYear(w.date), w.hour * 100 + w.minute);
             switch (r) {
                 case 5:
                     return head + ",-7999,0";
                 case 9:
                     return head;
                 default:
                     return head + "," + windReading(r) + ",0";
             }
         },
         {"columns: 1 Year | 2 DOY | 3 HHMM | 4 Avg Temperature @ 2m [deg C] | 5 Avg Wind Speed "
          "@ 80m [m/s] | 6 column 6\n",
          "date-column: 1 Year\n",
          "day-column: 2 DOY (beside the year, with the clock as HHMM in the column after it)\n",
          "time-column: 3 HHMM\n", "date-format: 23 yyyy D HHmm (guessed)\n",
          "wind-column: 5 Avg Wind Speed @ 80m [m/s]\n", "-7999"},
         [](cli::AnalyseOptions& o) {
             o.dateColumn = "Year";
             o.windDayColumn = "DOY";
             o.windTimeColumn = "3";
             o.dateFormat = "yyyy D HHmm";
             o.windColumn = "5";
         },
         600,
         48},
    };
}

// Writes the shape's wind file as wind.csv and a recording five minutes before each row's stamp
// as recordings.txt into `folder`.
// The line breaks of the preamble and header are written as the shape's.
inline void writeShape(const Shape& shape, const std::filesystem::path& folder) {
    std::string wind;
    for (const char c : shape.preamble + shape.header) {
        wind += c == '\n' ? std::string(shape.lineBreak) : std::string(1, c);
    }
    std::string recordings;
    for (std::size_t r = 0; r < shape.rows; ++r) {
        const long t = kFirstRow + static_cast<long>(r) * shape.step;
        wind += shape.lineBreak + shape.row(t, r);
        const Wall w = wallTime(t - 300, 0);
        recordings += printed("%04d-%02d-%02dT%02d:%02d:00Z\n", w.date.year, w.date.month,
                              w.date.day, w.hour, w.minute);
    }
    if (shape.finalBreak) {
        wind += shape.lineBreak;
    }
    std::ofstream(folder / "wind.csv", std::ios::binary) << (shape.latin1 ? latin1(wind) : wind);
    std::ofstream(folder / "recordings.txt", std::ios::binary) << recordings;
}

}  // namespace vane::testing
