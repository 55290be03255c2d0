#include "core/yearly/raster.h"

#include <algorithm>

namespace vane {

void paintBlock(Raster& raster, long long firstColumn, long long columnCount, long long firstRow,
                long long rowCount, PixelBytes bytes, std::uint8_t value) {
    if (columnCount <= 0 || rowCount <= 0) {
        return;
    }
    // Clip in 64 bits before narrowing, so far-off blocks cannot wrap around into the picture.
    const long long left = std::max(0LL, firstColumn);
    const long long right = std::min<long long>(raster.width, firstColumn + columnCount);
    const long long top = std::max(0LL, firstRow);
    const long long bottom = std::min<long long>(raster.height, firstRow + rowCount);
    if (left >= right || top >= bottom) {
        return;
    }
    const std::size_t firstByte = bytes == PixelBytes::GreenBlue ? 1 : 0;
    const std::size_t rowBytes = static_cast<std::size_t>(raster.width) * kRasterBytesPerPixel;
    for (long long row = top; row < bottom; ++row) {
        for (long long column = left; column < right; ++column) {
            const std::size_t pixel = static_cast<std::size_t>(row) * rowBytes +
                                      static_cast<std::size_t>(column) * kRasterBytesPerPixel;
            if (pixel + kRasterBytesPerPixel > raster.bytes.size()) {
                return;
            }
            raster.bytes[pixel + firstByte] = value;
            raster.bytes[pixel + firstByte + 1] = value;
        }
    }
}

}  // namespace vane
