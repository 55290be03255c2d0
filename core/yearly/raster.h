#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vane {

inline constexpr int kRasterWidth = 720;
inline constexpr int kRasterHeight = 408;
inline constexpr int kRasterBytesPerPixel = 4;
inline constexpr int kRasterBytesPerRow = kRasterWidth * kRasterBytesPerPixel;

// The yearly pictures' pixels: bytes red, green, blue and one unused, top row first, all zero
// (black) to begin with.
struct Raster {
    int width = kRasterWidth;
    int height = kRasterHeight;
    std::vector<std::uint8_t> bytes =
        std::vector<std::uint8_t>(static_cast<std::size_t>(kRasterBytesPerRow) * kRasterHeight);
};

// Which bytes of a pixel a drawing sets; the others keep their value.
enum class PixelBytes {
    GreenBlue,  // activity bars
    RedGreen,   // sun marks and session bars
};

// Sets the chosen bytes of the pixels in the given block of columns and rows to `value`. Only
// the part inside the raster is drawn, so callers may pass blocks that reach beyond it.
void paintBlock(Raster& raster, long long firstColumn, long long columnCount, long long firstRow,
                long long rowCount, PixelBytes bytes, std::uint8_t value);

}  // namespace vane
