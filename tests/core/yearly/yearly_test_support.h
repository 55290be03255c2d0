#pragma once

#include <unicode/timezone.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/recordings/recording.h"
#include "core/time/local_time.h"
#include "core/yearly/raster.h"

namespace vane::testing_support {

struct Rgbx {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused = 0;
    friend bool operator==(const Rgbx&, const Rgbx&) = default;
};

inline Rgbx pixel(const Raster& raster, int column, int row) {
    const std::size_t at = static_cast<std::size_t>(row) * kRasterBytesPerRow +
                           static_cast<std::size_t>(column) * kRasterBytesPerPixel;
    return {raster.bytes.at(at), raster.bytes.at(at + 1), raster.bytes.at(at + 2),
            raster.bytes.at(at + 3)};
}

// The rows of `column` whose blue byte is set: where activity bars lie (marks leave blue alone).
inline std::vector<int> rowsWithBlue(const Raster& raster, int column) {
    std::vector<int> rows;
    for (int row = 0; row < raster.height; ++row) {
        if (pixel(raster, column, row).blue != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

inline std::size_t pixelsWithBlue(const Raster& raster) {
    std::size_t count = 0;
    for (std::size_t i = 2; i < raster.bytes.size(); i += kRasterBytesPerPixel) {
        count += raster.bytes[i] != 0 ? 1 : 0;
    }
    return count;
}

inline std::vector<int> rowRange(int first, int last) {
    std::vector<int> rows;
    for (int row = first; row <= last; ++row) {
        rows.push_back(row);
    }
    return rows;
}

// Wall-clock times in Berlin, where the pictures' examples are set.
class BerlinClock {
  public:
    const icu::TimeZone& zone() const { return *zone_; }

    double at(int year, int month, int day, int hour, int minute, int second = 0) const {
        return localInstant({{year, month, day}, hour, minute, second}, *zone_);
    }

    std::vector<Recording> recordings(std::initializer_list<double> times) const {
        std::vector<Recording> list;
        for (const double time : times) {
            list.push_back({time});
        }
        return list;
    }

  private:
    std::unique_ptr<icu::TimeZone> zone_{icu::TimeZone::createTimeZone("Europe/Berlin")};
};

}  // namespace vane::testing_support
