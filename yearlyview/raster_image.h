#pragma once

#include <QImage>

#include "core/yearly/raster.h"

namespace vane::yearlyview {

// The colour each byte value stands for when the picture is inverted: red runs from 1.0 (byte 0)
// to 0.3 (byte 255), green and blue from 1.0 to 0.6, so the black ground turns white.
struct DecodeRange {
    double atZero = 1.0;
    double atFull = 1.0;
};
inline constexpr DecodeRange kInvertedRed{1.0, 0.3};
inline constexpr DecodeRange kInvertedGreenBlue{1.0, 0.6};

// The image of a yearly raster (bytes red, green, blue, unused), read as it stands or through
// the inverting decode ranges. The image holds its own copy of the pixels. A raster whose bytes
// do not fill its size gives a null image.
QImage createImageFromGrayscaleWithData(const Raster& raster, bool invertGraph);

}  // namespace vane::yearlyview
