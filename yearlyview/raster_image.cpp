#include "yearlyview/raster_image.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace vane::yearlyview {
namespace {

using ByteMap = std::array<std::uint8_t, 256>;

ByteMap decodeMap(DecodeRange range) {
    ByteMap map{};
    for (int byte = 0; byte < 256; ++byte) {
        const double value = range.atZero + (range.atFull - range.atZero) * byte / 255.0;
        map[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(std::lround(value * 255.0));
    }
    return map;
}

}  // namespace

QImage createImageFromGrayscaleWithData(const Raster& raster, bool invertGraph) {
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.bytes.size() <
            static_cast<std::size_t>(raster.width) * raster.height * kRasterBytesPerPixel) {
        return {};
    }
    QImage image(raster.width, raster.height, QImage::Format_RGBX8888);
    const std::size_t rowBytes = static_cast<std::size_t>(raster.width) * kRasterBytesPerPixel;
    const ByteMap red = decodeMap(invertGraph ? kInvertedRed : DecodeRange{0.0, 1.0});
    const ByteMap greenBlue = decodeMap(invertGraph ? kInvertedGreenBlue : DecodeRange{0.0, 1.0});
    for (int row = 0; row < raster.height; ++row) {
        const std::uint8_t* source = raster.bytes.data() + static_cast<std::size_t>(row) * rowBytes;
        std::uint8_t* target = image.scanLine(row);
        for (std::size_t at = 0; at < rowBytes; at += kRasterBytesPerPixel) {
            target[at] = red[source[at]];
            target[at + 1] = greenBlue[source[at + 1]];
            target[at + 2] = greenBlue[source[at + 2]];
            target[at + 3] = 0xFF;  // the unused byte: an opaque pixel for Qt
        }
    }
    return image;
}

}  // namespace vane::yearlyview
